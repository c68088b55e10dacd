#include "UfrmColorPicker.h"

#include "UConvert.h"
#include "UQtColors.h"
#include "qzColorUtil.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kPlane = 256;

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QImage ImageOf(const TBitmap24& bitmap) {
    return QImage(bitmap.Bits.data(), bitmap.Width, bitmap.Height, bitmap.Stride,
                  QImage::Format_RGB888);
}

int ToByte(double unit) {
    return static_cast<int>(std::clamp(RoundHalfEven(unit * 255), 0.0, 255.0));
}

QRect HighlightRect(int index, int groupTop) {
    return {446 + 20 * (index % 8), groupTop + 20 * (index / 8), 20, 20};
}

struct TModeRow {
    const char* Name;
    const char* Caption;
    const char* Unit; // nullptr: no unit label
    const char* UnitName;
    int Top;
    int Maximum;
};

constexpr TModeRow kModeRows[6] = {
    {"Hue", "H", "\xC2\xB0", "Label3", 58, 359}, {"Sat", "S", "%", "Label1", 82, 100},
    {"Value", "V", "%", "Label2", 106, 100},     {"Red", "R", nullptr, nullptr, 134, 255},
    {"Green", "G", nullptr, nullptr, 158, 255},  {"Blue", "B", nullptr, nullptr, 182, 255},
};

} // namespace

// Colour values, blue in the highest byte, row by row.
const std::array<TColor, TfrmColorPicker::kBasicCount> TfrmColorPicker::kBasicColors = {
    0x8080FF, 0x80FFFF, 0x80FF80, 0x80FF00, 0xFFFF80, 0xFF8000, 0xC080FF, 0xFF80FF,
    0x0000FF, 0x00FFFF, 0x00FF80, 0x40FF00, 0xFFFF00, 0xC08000, 0xC08080, 0xFF00FF,
    0x404080, 0x4080FF, 0x00FF00, 0x808000, 0x804000, 0xFF8080, 0x400080, 0x8000FF,
    0x000080, 0x0080FF, 0x008000, 0x408000, 0xFF0000, 0xA00000, 0x800080, 0xFF0080,
    0x000040, 0x004080, 0x004000, 0x404000, 0x800000, 0x400000, 0x400040, 0x800040,
    0x000000, 0x008080, 0x408080, 0x808080, 0x808040, 0xC0C0C0, 0x404040, 0xFFFFFF,
};

TColorPanel::TColorPanel(QWidget* parent, int tag) : QFrame(parent), Tag_(tag) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAutoFillBackground(true);
    SetColor(0);
}

void TColorPanel::SetColor(TColor color) {
    Color_ = color;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    setPalette(palette);
}

void TColorPanel::mousePressEvent(QMouseEvent* event) {
    Q_EMIT Pressed();
    event->accept();
}

void TColorPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT Clicked();
    event->accept();
}

void TColorPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Q_EMIT DoubleClicked();
    event->accept();
}

TPaintBox::TPaintBox(QWidget* parent, std::function<void(QPainter&)> draw)
    : QWidget(parent), Draw_(std::move(draw)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Draw_(painter);
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    Q_EMIT Pressed(event->position().toPoint());
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton)
        Q_EMIT Moved(event->position().toPoint());
}

void TPaintBox::mouseReleaseEvent(QMouseEvent*) {
    Q_EMIT Released();
}

TfrmColorPicker::TfrmColorPicker(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmColorPicker"));
    setWindowTitle(Text("颜色选择器"));
    setFixedSize(609, 266);
    BuildControls();
    SetCurrentColor(0);
    SetColorMode(TColorMode::cm_Hue);
    Pad_ = TBitmap24(kPlane, kPlane);
    Strip_ = TBitmap24(32, kPlane);
    Ready_ = BeginPlaneBuffer(Pad_);
    if (!Ready_) {
        QMessageBox::critical(this, windowTitle(),
                              Text("Color Picker cannot initialize off-screen buffers"));
        return;
    }
    BuildSwatches();
}

TfrmColorPicker::~TfrmColorPicker() {
    if (Ready_)
        EndPlaneBuffer();
}

void TfrmColorPicker::BuildControls() {
    const auto label = [this](const char* name, const QString& text, int left, int top) {
        auto* result = new QLabel(text, this);
        result->setObjectName(QString::fromLatin1(name));
        result->move(left, top);
        result->adjustSize();
        return result;
    };

    pnlXY = new QFrame(this);
    pnlXY->setObjectName(QStringLiteral("pnlXY"));
    pnlXY->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlXY->setGeometry(4, 4, 258, 258);
    pbXY = new TPaintBox(pnlXY, [this](QPainter& painter) { DrawPad(painter); });
    pbXY->setObjectName(QStringLiteral("pbXY"));
    pbXY->setGeometry(1, 1, kPlane, kPlane);
    connect(pbXY, &TPaintBox::Pressed, this, [this](QPoint at) {
        DraggingPad_ = true;
        PickPad(at.x(), at.y());
    });
    connect(pbXY, &TPaintBox::Moved, this, [this](QPoint at) {
        if (DraggingPad_)
            PickPad(at.x(), at.y());
    });
    connect(pbXY, &TPaintBox::Released, this, [this] { DraggingPad_ = false; });

    pnlZ = new QFrame(this);
    pnlZ->setObjectName(QStringLiteral("pnlZ"));
    pnlZ->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlZ->setGeometry(268, 4, 34, 258);
    pbZ = new TPaintBox(pnlZ, [this](QPainter& painter) { DrawStrip(painter); });
    pbZ->setObjectName(QStringLiteral("pbZ"));
    pbZ->setGeometry(1, 1, 32, kPlane);
    connect(pbZ, &TPaintBox::Pressed, this, [this](QPoint at) {
        DraggingStrip_ = true;
        PickStrip(at.y());
    });
    connect(pbZ, &TPaintBox::Moved, this, [this](QPoint at) {
        if (DraggingStrip_)
            PickStrip(at.y());
    });
    connect(pbZ, &TPaintBox::Released, this, [this] { DraggingStrip_ = false; });

    Label4 = label("Label4", QStringLiteral("ColorXXX"), 312, 4);
    pnlSelectedColor = new TColorPanel(this, -1);
    pnlSelectedColor->setObjectName(QStringLiteral("pnlSelectedColor"));
    pnlSelectedColor->setGeometry(308, 20, 64, 32);
    Label5 = label("Label5", QStringLiteral("Web Color"), 376, 4);
    pnlWebColor = new TColorPanel(this, -1);
    pnlWebColor->setObjectName(QStringLiteral("pnlWebColor"));
    pnlWebColor->setGeometry(372, 20, 64, 32);
    connect(pnlWebColor, &TColorPanel::DoubleClicked, this,
            &TfrmColorPicker::OnWebColorDoubleClicked);

    for (int tag = 0; tag < 6; ++tag) {
        const TModeRow& row = kModeRows[tag];
        auto* radio = new QRadioButton(QString::fromLatin1(row.Caption), this);
        radio->setObjectName(QStringLiteral("rb") + QString::fromLatin1(row.Name));
        radio->setProperty("tag", tag);
        radio->setGeometry(312, row.Top, 36, 21);
        connect(radio, &QRadioButton::toggled, this,
                [this, tag](bool checked) { OnModeToggled(tag, checked); });
        rbModes[static_cast<size_t>(tag)] = radio;

        auto* spin = new QSpinBox(this);
        spin->setObjectName(QStringLiteral("spn") + QString::fromLatin1(row.Name));
        spin->setProperty("tag", tag);
        spin->setRange(0, row.Maximum);
        spin->setGeometry(350, row.Top, 60, 21);
        connect(spin, &QSpinBox::valueChanged, this,
                [this, tag](int value) { OnSpinChanged(tag, value); });
        spnModes[static_cast<size_t>(tag)] = spin;

        if (row.Unit != nullptr)
            label(row.UnitName, Text(row.Unit), 414, row.Top + 3);
    }
    rbModes[0]->setChecked(true);

    Label6 = label("Label6", Text("十六进制 #"), 312, 213);
    edtHex = new QLineEdit(QStringLiteral("000000"), this);
    edtHex->setObjectName(QStringLiteral("edtHex"));
    edtHex->setMaxLength(6);
    edtHex->setGeometry(376, 210, 60, 21);
    connect(edtHex, &QLineEdit::textChanged, this, &TfrmColorPicker::OnHexChanged);

    label("Label7", Text("基本颜色"), 448, 4);
    label("Label8", Text("自定义的颜色"), 448, 144);
    auto* hint = new QLabel(Text("左键单击选择，右键单击选择无颜色覆盖"), this);
    hint->setObjectName(QStringLiteral("Label9"));
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint->setGeometry(448, 200, 153, 33);

    btnDefineCustomColor = new QPushButton(Text("定义自定义的颜色"), this);
    btnDefineCustomColor->setObjectName(QStringLiteral("btnDefineCustomColor"));
    btnDefineCustomColor->setGeometry(312, 237, 121, 25);
    btnDefineCustomColor->setAutoDefault(false);
    connect(btnDefineCustomColor, &QPushButton::clicked, this,
            &TfrmColorPicker::OnDefineCustomColor);

    // Escape rejects a QDialog by itself; Enter goes to the default button.
    btnCancel = new QPushButton(Text("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(448, 237, 75, 25);
    btnCancel->setAutoDefault(false);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    btnOk = new QPushButton(Text("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(528, 237, 75, 25);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmColorPicker::BuildSwatches() {
    for (int i = 0; i < kBasicCount; ++i) {
        auto* swatch = new TColorPanel(this, i);
        swatch->setObjectName(QStringLiteral("swBasic%1").arg(i));
        swatch->setGeometry(448 + 20 * (i % 8), 20 + 20 * (i / 8), 16, 16);
        swatch->SetColor(kBasicColors[static_cast<size_t>(i)]);
        connect(swatch, &TColorPanel::Clicked, this, [this, swatch] { OnSwatchClicked(swatch); });
        BasicSwatches[static_cast<size_t>(i)] = swatch;
    }
    for (int i = 0; i < kCustomCount; ++i) {
        auto* swatch = new TColorPanel(this, kCustomTagBase + i);
        swatch->setObjectName(QStringLiteral("swCustom%1").arg(i));
        swatch->setGeometry(448 + 20 * (i % 8), 160 + 20 * (i / 8), 16, 16);
        swatch->SetColor(Custom_[static_cast<size_t>(i)]);
        connect(swatch, &TColorPanel::Pressed, this, [this, swatch] { OnCustomPressed(swatch); });
        connect(swatch, &TColorPanel::Clicked, this, [this, swatch] { OnSwatchClicked(swatch); });
        CustomSwatches[static_cast<size_t>(i)] = swatch;
    }
}

void TfrmColorPicker::SetCurrentColor(TColor color) {
    if (color < 0)
        color = FromQColor(ToQColor(color));
    // The top byte of a positive value names nothing here; only the channels count.
    color &= 0xFFFFFF;
    const TRGBBytes rgb = SplitColor(color);
    Red_ = rgb.Red;
    Green_ = rgb.Green;
    Blue_ = rgb.Blue;
    SetFromRGB();
    Current_ = color;
    RefreshDisplays();
}

void TfrmColorPicker::SetColorMode(TColorMode mode) {
    const int index = std::clamp(static_cast<int>(mode), 0, 5);
    Mode_ = static_cast<TColorMode>(index);
    SettingMode_ = true;
    rbModes[static_cast<size_t>(index)]->setChecked(true);
    SettingMode_ = false;
}

TColor TfrmColorPicker::CustomColor(int slot) const {
    if (slot < 0 || slot >= kCustomCount)
        return 0;
    return Custom_[static_cast<size_t>(slot)];
}

void TfrmColorPicker::SetCustomColor(int slot, TColor color) {
    if (slot < 0 || slot >= kCustomCount)
        return;
    Custom_[static_cast<size_t>(slot)] = color;
    if (CustomSwatches[static_cast<size_t>(slot)] != nullptr)
        CustomSwatches[static_cast<size_t>(slot)]->SetColor(color);
}

void TfrmColorPicker::SetFromHSV() {
    const TRGBBytes rgb = HSVToRGBBytes(Hue_, Saturation_, Value_);
    Red_ = rgb.Red;
    Green_ = rgb.Green;
    Blue_ = rgb.Blue;
}

void TfrmColorPicker::SetFromRGB() {
    const THSV hsv = RGBToHSV(Red_, Green_, Blue_);
    Hue_ = hsv.H;
    Saturation_ = hsv.S;
    Value_ = hsv.V;
}

void TfrmColorPicker::RefreshDisplays() {
    pnlSelectedColor->SetColor(Current_);
    pnlWebColor->SetColor(WebSafeColor(Red_, Green_, Blue_));
    const int values[6] = {
        static_cast<int>(RoundHalfEven(Hue_ * 360)),
        static_cast<int>(RoundHalfEven(Saturation_ * 100)),
        static_cast<int>(RoundHalfEven(Value_ * 100)),
        Red_,
        Green_,
        Blue_,
    };
    for (size_t i = 0; i < 6; ++i) {
        const QSignalBlocker blocker(spnModes[i]);
        spnModes[i]->setValue(values[i]); // the range keeps hue 1 at 359
    }
    if (!TypingHex_) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02X%02X%02X", Red_, Green_, Blue_);
        const QSignalBlocker blocker(edtHex);
        edtHex->setText(QString::fromLatin1(hex));
    }
}

void TfrmColorPicker::FinishChange() {
    Current_ = PackColor(Red_, Green_, Blue_);
    RefreshDisplays();
    RedrawIncremental();
}

void TfrmColorPicker::OnSpinChanged(int tag, int value) {
    switch (tag) {
    case 0:
        Hue_ = value / 360.0;
        break;
    case 1:
        Saturation_ = value / 100.0;
        break;
    case 2:
        Value_ = value / 100.0;
        break;
    case 3:
        Red_ = static_cast<uint8_t>(value);
        break;
    case 4:
        Green_ = static_cast<uint8_t>(value);
        break;
    default:
        Blue_ = static_cast<uint8_t>(value);
        break;
    }
    if (tag < 3)
        SetFromHSV();
    else
        SetFromRGB();
    FinishChange();
}

void TfrmColorPicker::OnHexChanged() {
    TypingHex_ = true;
    const auto value = static_cast<uint32_t>(HexToInt(edtHex->text().toStdString()));
    Red_ = static_cast<uint8_t>(value >> 16);
    Green_ = static_cast<uint8_t>(value >> 8);
    Blue_ = static_cast<uint8_t>(value);
    SetFromRGB();
    FinishChange();
    TypingHex_ = false;
}

void TfrmColorPicker::FinishPick() {
    // The hue, saturation and value modes pick HSV components, the others RGB ones.
    if (static_cast<int>(Mode_) < 3)
        SetFromHSV();
    else
        SetFromRGB();
    FinishChange();
}

void TfrmColorPicker::PickPad(int x, int y) {
    x = std::clamp(x, 0, 255);
    y = std::clamp(y, 0, 255);
    const double across = x / 255.0;
    const double up = (255 - y) / 255.0;
    const auto acrossByte = static_cast<uint8_t>(x);
    const auto upByte = static_cast<uint8_t>(255 - y);
    switch (Mode_) {
    case TColorMode::cm_Hue:
        Saturation_ = across;
        Value_ = up;
        break;
    case TColorMode::cm_Sat:
        Hue_ = across;
        Value_ = up;
        break;
    case TColorMode::cm_Value:
        Hue_ = across;
        Saturation_ = up;
        break;
    case TColorMode::cm_Red:
        Green_ = acrossByte;
        Blue_ = upByte;
        break;
    case TColorMode::cm_Green:
        Red_ = acrossByte;
        Blue_ = upByte;
        break;
    case TColorMode::cm_Blue:
        Red_ = acrossByte;
        Green_ = upByte;
        break;
    }
    FinishPick();
}

void TfrmColorPicker::PickStrip(int y) {
    y = std::clamp(y, 0, 255);
    const double up = (255 - y) / 255.0;
    const auto upByte = static_cast<uint8_t>(255 - y);
    switch (Mode_) {
    case TColorMode::cm_Hue:
        Hue_ = up;
        break;
    case TColorMode::cm_Sat:
        Saturation_ = up;
        break;
    case TColorMode::cm_Value:
        Value_ = up;
        break;
    case TColorMode::cm_Red:
        Red_ = upByte;
        break;
    case TColorMode::cm_Green:
        Green_ = upByte;
        break;
    case TColorMode::cm_Blue:
        Blue_ = upByte;
        break;
    }
    FinishPick();
}

double TfrmColorPicker::Component(int index) const {
    const double values[6] = {Hue_,
                              Saturation_,
                              Value_,
                              static_cast<double>(Red_),
                              static_cast<double>(Green_),
                              static_cast<double>(Blue_)};
    return values[index];
}

double TfrmColorPicker::PreviousComponent(int index) const {
    const double values[6] = {PrevHue_,
                              PrevSaturation_,
                              PrevValue_,
                              static_cast<double>(PrevRed_),
                              static_cast<double>(PrevGreen_),
                              static_cast<double>(PrevBlue_)};
    return values[index];
}

namespace {

// The strip's component and the pad's two (across, up), by mode.
constexpr int kStripComponent[6] = {0, 1, 2, 3, 4, 5};
constexpr int kPadAcross[6] = {1, 0, 0, 4, 3, 3};
constexpr int kPadUp[6] = {2, 2, 1, 5, 5, 4};

} // namespace

void TfrmColorPicker::FillPad() {
    switch (Mode_) {
    case TColorMode::cm_Hue:
        FillPlaneForHue(Pad_, Hue_);
        break;
    case TColorMode::cm_Sat:
        FillPlaneForSaturation(Pad_, Saturation_);
        break;
    case TColorMode::cm_Value:
        FillPlaneForValue(Pad_, Value_);
        break;
    case TColorMode::cm_Red:
        FillPlaneForRed(Pad_, Red_);
        break;
    case TColorMode::cm_Green:
        FillPlaneForGreen(Pad_, Green_);
        break;
    case TColorMode::cm_Blue:
        FillPlaneForBlue(Pad_, Blue_);
        break;
    }
    ++PadFills_;
}

void TfrmColorPicker::FillStrip() {
    switch (Mode_) {
    case TColorMode::cm_Hue:
        FillHueSlider(Strip_, Saturation_, Value_);
        break;
    case TColorMode::cm_Sat:
        FillSaturationSlider(Strip_, Hue_, Value_);
        break;
    case TColorMode::cm_Value:
        FillValueSlider(Strip_, Hue_, Saturation_);
        break;
    case TColorMode::cm_Red:
        FillRedSlider(Strip_, Green_, Blue_);
        break;
    case TColorMode::cm_Green:
        FillGreenSlider(Strip_, Red_, Blue_);
        break;
    case TColorMode::cm_Blue:
        FillBlueSlider(Strip_, Red_, Green_);
        break;
    }
    ++StripFills_;
}

void TfrmColorPicker::RememberPrevious() {
    PrevHue_ = Hue_;
    PrevSaturation_ = Saturation_;
    PrevValue_ = Value_;
    PrevRed_ = Red_;
    PrevGreen_ = Green_;
    PrevBlue_ = Blue_;
}

void TfrmColorPicker::RedrawFull() {
    FillPad();
    FillStrip();
    RememberPrevious();
    pbXY->update();
    pbZ->update();
}

void TfrmColorPicker::RedrawIncremental() {
    const int mode = static_cast<int>(Mode_);
    const auto changed = [this](int index) { return Component(index) != PreviousComponent(index); };
    if (changed(kStripComponent[mode]))
        FillPad();
    if (changed(kPadAcross[mode]) || changed(kPadUp[mode]))
        FillStrip();
    pbXY->update();
    pbZ->update();
    RememberPrevious();
}

QColor TfrmColorPicker::MarkerColor() const {
    return Value_ <= 0.33 ? QColor(0x80, 0x80, 0x80) : QColor(0, 0, 0);
}

void TfrmColorPicker::DrawPad(QPainter& painter) const {
    painter.drawImage(0, 0, ImageOf(Pad_));
    const int mode = static_cast<int>(Mode_);
    const auto scaled = [this, mode](int index) {
        const double value = Component(index);
        return mode < 3 ? ToByte(value) : static_cast<int>(value);
    };
    const int x = scaled(kPadAcross[mode]);
    const int y = 255 - scaled(kPadUp[mode]);
    painter.setPen(MarkerColor());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(x - 4, y - 4, 8, 8); // 9 x 9 pixels
}

void TfrmColorPicker::DrawStrip(QPainter& painter) const {
    painter.drawImage(0, 0, ImageOf(Strip_));
    const int mode = static_cast<int>(Mode_);
    const double value = Component(kStripComponent[mode]);
    const int y = 255 - (mode < 3 ? ToByte(value) : static_cast<int>(value));
    painter.setPen(MarkerColor());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(12, y - 4, 8, 8); // x 12 to 20
}

void TfrmColorPicker::OnModeToggled(int tag, bool checked) {
    if (!checked || SettingMode_)
        return;
    SetColorMode(static_cast<TColorMode>(tag));
    RedrawFull();
}

void TfrmColorPicker::OnSwatchClicked(TColorPanel* swatch) {
    SetCurrentColor(swatch->Color());
    RedrawIncremental();
    if (swatch->Tag() < kCustomTagBase)
        SelectedBasic_ = swatch->Tag();
    else
        SelectedCustom_ = swatch->Tag() - kCustomTagBase;
    update();
}

void TfrmColorPicker::OnCustomPressed(TColorPanel* swatch) {
    SelectedCustom_ = swatch->Tag() - kCustomTagBase;
    update();
}

void TfrmColorPicker::OnDefineCustomColor() {
    SetCustomColor(SelectedCustom_, Current_);
    SelectedCustom_ = (SelectedCustom_ + 1) % kCustomCount;
    update();
}

void TfrmColorPicker::OnWebColorDoubleClicked() {
    SetCurrentColor(pnlWebColor->Color());
    RedrawIncremental();
}

void TfrmColorPicker::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    RefreshDisplays();
    RedrawFull();
}

void TfrmColorPicker::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    // The whole form is repainted, so a highlight that moved leaves nothing behind.
    for (const QRect& rect :
         {HighlightRect(SelectedBasic_, 18), HighlightRect(SelectedCustom_, 158)}) {
        QPen pen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}
