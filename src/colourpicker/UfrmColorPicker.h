#pragma once

#include "UBMPUtil.h"
#include "UGraphics.h"

#include <QDialog>
#include <QFrame>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The pad and strip component the picker shows, in the order of the radio buttons.
enum class TColorMode { cm_Hue, cm_Sat, cm_Value, cm_Red, cm_Green, cm_Blue };

// A sunken panel showing one colour: the selected and web colours and the swatches.
class TColorPanel : public QFrame {
    Q_OBJECT

public:
    TColorPanel(QWidget* parent, int tag);

    int Tag() const { return Tag_; }
    TColor Color() const { return Color_; }
    void SetColor(TColor color);

Q_SIGNALS:
    void Pressed();       // any button
    void Clicked();       // left button pressed and released over the panel
    void DoubleClicked(); // left button

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int Tag_;
    TColor Color_ = 0;
};

// The pad or the strip: paints through the form's drawing routine, hands the pointer back.
class TPaintBox : public QWidget {
    Q_OBJECT

public:
    TPaintBox(QWidget* parent, std::function<void(QPainter&)> draw);

Q_SIGNALS:
    void Pressed(QPoint at);
    void Moved(QPoint at); // only while a button is held
    void Released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<void(QPainter&)> Draw_;
};

// The colour picker form, made anew for every run of the picker dialog.
class TfrmColorPicker : public QDialog {
    Q_OBJECT

public:
    static constexpr int kBasicCount = 48;
    static constexpr int kCustomCount = 16;
    static constexpr int kCustomTagBase = 1000;
    static const std::array<TColor, kBasicCount> kBasicColors;

    explicit TfrmColorPicker(QWidget* parent = nullptr);
    ~TfrmColorPicker() override;

    // False when the off-screen buffer could not be prepared: the form has no swatches then and
    // must not be shown.
    bool Ready() const { return Ready_; }

    // A system colour (negative) becomes the RGB value it has now.
    void SetCurrentColor(TColor color);
    TColor CurrentColor() const { return Current_; }
    void SetColorMode(TColorMode mode);
    TColorMode ColorMode() const { return Mode_; }
    TColor CustomColor(int slot) const;
    void SetCustomColor(int slot, TColor color);
    int SelectedBasic() const { return SelectedBasic_; }
    int SelectedCustom() const { return SelectedCustom_; }

    double Hue() const { return Hue_; }
    double Saturation() const { return Saturation_; }
    double Value() const { return Value_; }
    TRGBBytes Rgb() const { return {Red_, Green_, Blue_}; }

    // The pictures with their markers, as the paint boxes show them.
    void DrawPad(QPainter& painter) const;
    void DrawStrip(QPainter& painter) const;
    const TBitmap24& PadPicture() const { return Pad_; }
    const TBitmap24& StripPicture() const { return Strip_; }
    // How often each picture has been refilled, to see that a change refills only what it must.
    int PadFills() const { return PadFills_; }
    int StripFills() const { return StripFills_; }

    // Picking at a point of the pad or a height of the strip, in their own pixels.
    void PickPad(int x, int y);
    void PickStrip(int y);

    QFrame* pnlXY;
    TPaintBox* pbXY;
    QFrame* pnlZ;
    TPaintBox* pbZ;
    QLabel* Label4;
    TColorPanel* pnlSelectedColor;
    QLabel* Label5;
    TColorPanel* pnlWebColor;
    std::array<QRadioButton*, 6> rbModes{}; // rbHue, rbSat, rbValue, rbRed, rbGreen, rbBlue
    std::array<QSpinBox*, 6> spnModes{};    // spnHue .. spnBlue
    QLabel* Label6;
    QLineEdit* edtHex;
    std::array<TColorPanel*, kBasicCount> BasicSwatches{};
    std::array<TColorPanel*, kCustomCount> CustomSwatches{};
    QPushButton* btnDefineCustomColor;
    QPushButton* btnCancel;
    QPushButton* btnOk;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildControls();
    void BuildSwatches();
    void RefreshDisplays();
    void FinishChange();
    // After a pick on the pad or the strip: the other components follow, then the pictures.
    void FinishPick();
    void RedrawFull();
    void RedrawIncremental();
    void FillPad();
    void FillStrip();
    void RememberPrevious();
    double Component(int index) const; // 0 .. 5 in mode order, HSV on the unit scale
    double PreviousComponent(int index) const;
    void SetFromHSV();
    void SetFromRGB();
    void OnSpinChanged(int tag, int value);
    void OnHexChanged();
    void OnModeToggled(int tag, bool checked);
    void OnSwatchClicked(TColorPanel* swatch);
    void OnCustomPressed(TColorPanel* swatch);
    void OnDefineCustomColor();
    void OnWebColorDoubleClicked();
    QColor MarkerColor() const;

    TColor Current_ = 0;
    TColorMode Mode_ = TColorMode::cm_Hue;
    double Hue_ = 0, Saturation_ = 0, Value_ = 0;
    uint8_t Red_ = 0, Green_ = 0, Blue_ = 0;
    double PrevHue_ = 0, PrevSaturation_ = 0, PrevValue_ = 0;
    uint8_t PrevRed_ = 0, PrevGreen_ = 0, PrevBlue_ = 0;
    int SelectedBasic_ = 0;
    int SelectedCustom_ = 0;
    std::array<TColor, kCustomCount> Custom_{};
    TBitmap24 Pad_;
    TBitmap24 Strip_;
    bool SettingMode_ = false;
    bool TypingHex_ = false;
    bool DraggingPad_ = false;
    bool DraggingStrip_ = false;
    bool Ready_ = false;
    int PadFills_ = 0;
    int StripFills_ = 0;
};
