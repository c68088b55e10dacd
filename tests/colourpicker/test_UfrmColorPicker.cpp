#include "UfrmColorPicker.h"

#include "TestApplication.h"
#include "UQtColors.h"
#include "qzColorPickerDialog.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr TColor kPureRed = 0x0000FF;
constexpr TColor kPureBlue = 0xFF0000;

void Click(QWidget& widget, Qt::MouseButton button) {
    const QPointF at(widget.width() / 2.0, widget.height() / 2.0);
    const QPointF global = widget.mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, button, button, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, button, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

void DoubleClick(QWidget& widget) {
    Click(widget, Qt::LeftButton);
    const QPointF at(widget.width() / 2.0, widget.height() / 2.0);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, widget.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &twice);
    Click(widget, Qt::LeftButton);
}

void Key(QWidget& widget, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

// Runs the dialog and, once its form is up, hands the form to `drive`, which closes it. A form
// still open after five seconds is cancelled and the test fails.
bool RunPicker(TqzColorPickerDialog& dialog, const std::function<void(TfrmColorPicker&)>& drive) {
    bool driven = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TfrmColorPicker*>(QApplication::activeModalWidget());
        if (form == nullptr)
            return;
        driven = true;
        drive(*form);
    });
    bool timedOut = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<TfrmColorPicker*>(widget))
                form->reject();
    });
    watchdog.start(5000);
    const bool result = dialog.Execute();
    EXPECT_TRUE(driven) << "the picker was not shown modally";
    EXPECT_FALSE(timedOut) << "the picker did not close";
    return result;
}

class Picker : public ::testing::Test {
protected:
    Picker() { EnsureApplication(); }

    // The pad or strip as the paint box shows it.
    static QImage Drawn(const TfrmColorPicker& form, bool pad) {
        QImage image(pad ? 256 : 32, 256, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        if (pad)
            form.DrawPad(painter);
        else
            form.DrawStrip(painter);
        return image;
    }
};

TEST_F(Picker, OkHandsBackColourModeAndCustomColours) {
    TqzColorPickerDialog dialog = ProgramColorDialog();
    EXPECT_EQ(dialog.Title, "1.02 颜色选择器");
    dialog.Color = 0x123456;
    dialog.CustomColors = {"ColorA=0000FF"};
    QString caption;
    TColor openedWith = -1;
    TColor slotA = -1;
    const bool ok = RunPicker(dialog, [&](TfrmColorPicker& form) {
        caption = form.windowTitle();
        openedWith = form.CurrentColor();
        slotA = form.CustomColor(0);
        form.rbModes[4]->click();
        form.edtHex->setText(QStringLiteral("a0b0c0"));
        form.btnDefineCustomColor->click(); // slot 0
        form.btnOk->click();
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(caption, QStringLiteral("1.02 颜色选择器"));
    EXPECT_EQ(openedWith, 0x123456);
    EXPECT_EQ(slotA, kPureRed) << "ColorA=0000FF is pure red";
    EXPECT_EQ(dialog.Color, 0xC0B0A0);
    EXPECT_EQ(dialog.ColorMode, TColorMode::cm_Green);
    ASSERT_EQ(dialog.CustomColors.size(), 16u);
    EXPECT_EQ(dialog.CustomColors[0], "ColorA=C0B0A0");
    EXPECT_EQ(dialog.CustomColors[15], "ColorP=000000");

    // The stored colour reads back as the same colour at the next run, and clicking it applies.
    TColor next = -1;
    TRGBBytes applied;
    const bool again = RunPicker(dialog, [&](TfrmColorPicker& form) {
        next = form.CustomColor(0);
        Click(*form.CustomSwatches[0], Qt::LeftButton);
        applied = form.Rgb();
        form.btnCancel->click();
    });
    EXPECT_FALSE(again);
    EXPECT_EQ(next, 0xC0B0A0);
    EXPECT_EQ(applied, (TRGBBytes{0xA0, 0xB0, 0xC0}));
}

TEST_F(Picker, CancelLeavesEverythingAsItWas) {
    TqzColorPickerDialog dialog;
    dialog.Color = 0x336699;
    dialog.ColorMode = TColorMode::cm_Red;
    dialog.CustomColors = {"ColorA=0000FF", "Other=1"};
    const std::vector<std::string> before = dialog.CustomColors;
    const bool ok = RunPicker(dialog, [](TfrmColorPicker& form) {
        form.SetCurrentColor(0xFFFFFF);
        for (int i = 0; i < 5; ++i)
            form.btnDefineCustomColor->click();
        form.rbModes[0]->click();
        form.btnCancel->click();
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(dialog.Color, 0x336699);
    EXPECT_EQ(dialog.ColorMode, TColorMode::cm_Red);
    EXPECT_EQ(dialog.CustomColors, before);
}

TEST_F(Picker, KeysAndButtonsThatCloseTheForm) {
    struct Case {
        const char* Name;
        std::function<void(TfrmColorPicker&)> Close;
        bool Ok;
    };
    const Case cases[] = {
        {"OK", [](TfrmColorPicker& form) { form.btnOk->click(); }, true},
        {"Cancel", [](TfrmColorPicker& form) { form.btnCancel->click(); }, false},
        {"Enter", [](TfrmColorPicker& form) { Key(form, Qt::Key_Return); }, true},
        {"Escape", [](TfrmColorPicker& form) { Key(form, Qt::Key_Escape); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TqzColorPickerDialog dialog;
        dialog.Color = 0x010203;
        const bool ok = RunPicker(dialog, [&](TfrmColorPicker& form) {
            form.SetCurrentColor(0x0A0B0C);
            c.Close(form);
        });
        EXPECT_EQ(ok, c.Ok);
        EXPECT_EQ(dialog.Color, c.Ok ? 0x0A0B0C : 0x010203);
    }
}

TEST_F(Picker, OpensWhereItLastClosed) {
    TqzColorPickerDialog dialog;
    EXPECT_EQ(dialog.Left, 128);
    EXPECT_EQ(dialog.Top, 128);
    dialog.Left = 200;
    dialog.Top = 150;
    QPoint openedAt;
    RunPicker(dialog, [&](TfrmColorPicker& form) {
        openedAt = form.pos();
        form.move(300, 310);
        form.btnCancel->click();
    });
    EXPECT_EQ(openedAt, QPoint(200, 150));
    EXPECT_EQ(dialog.Left, 300);
    EXPECT_EQ(dialog.Top, 310);
}

TEST_F(Picker, ChooseColorWithPickerStartsWithTheGivenColourAndWritesBackOnOk) {
    TqzColorPickerDialog dialog = ProgramColorDialog();
    int32_t color = 0x445566;
    TColor openedWith = -1;
    bool ok = RunPicker(dialog, [&](TfrmColorPicker& form) {
        openedWith = form.CurrentColor();
        form.btnCancel->click();
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(openedWith, 0); // the dialog's own colour, not yet preset

    QTimer::singleShot(0, [&] {
        if (auto* form = qobject_cast<TfrmColorPicker*>(QApplication::activeModalWidget())) {
            openedWith = form->CurrentColor();
            form->edtHex->setText(QStringLiteral("000080"));
            form->btnOk->click();
        }
    });
    ok = ChooseColorWithPicker(dialog, color);
    EXPECT_TRUE(ok);
    EXPECT_EQ(openedWith, 0x445566);
    EXPECT_EQ(color, 0x800000);
}

TEST_F(Picker, ASystemColourOpensAsItsCurrentValueAndComesBackPlain) {
    TqzColorPickerDialog dialog;
    dialog.Color = -16777208; // window text
    const TColor shown =
        FromQColor(QApplication::palette().color(QPalette::Active, QPalette::WindowText));
    TColor openedWith = -1;
    ASSERT_TRUE(RunPicker(dialog, [&](TfrmColorPicker& form) {
        openedWith = form.CurrentColor();
        form.btnOk->click();
    }));
    EXPECT_EQ(openedWith, shown);
    EXPECT_EQ(dialog.Color, shown);
    EXPECT_GE(dialog.Color, 0);
}

TEST_F(Picker, DefiningSeventeenTimesWrapsToSlotZero) {
    TfrmColorPicker form;
    for (int i = 1; i <= 17; ++i) {
        form.SetCurrentColor(i);
        form.btnDefineCustomColor->click();
    }
    EXPECT_EQ(form.CustomColor(0), 17);
    for (int slot = 1; slot < 16; ++slot)
        EXPECT_EQ(form.CustomColor(slot), slot + 1) << slot;
    EXPECT_EQ(form.SelectedCustom(), 1);
    EXPECT_EQ(form.CustomSwatches[0]->Color(), 17) << "the swatch shows the new colour";
}

TEST_F(Picker, RightClickSelectsACustomSlotWithoutChangingTheColour) {
    TfrmColorPicker form;
    form.SetCustomColor(5, 0x00FF00);
    form.SetCurrentColor(0x123456);
    Click(*form.CustomSwatches[5], Qt::RightButton);
    EXPECT_EQ(form.SelectedCustom(), 5);
    EXPECT_EQ(form.CurrentColor(), 0x123456);
    form.btnDefineCustomColor->click();
    EXPECT_EQ(form.CustomColor(5), 0x123456);
    EXPECT_EQ(form.SelectedCustom(), 6);

    Click(*form.CustomSwatches[2], Qt::LeftButton);
    EXPECT_EQ(form.SelectedCustom(), 2);
    EXPECT_EQ(form.CurrentColor(), 0) << "slot 2 is black";
}

TEST_F(Picker, BasicSwatchClickAppliesItsColour) {
    TfrmColorPicker form;
    Click(*form.BasicSwatches[8], Qt::LeftButton); // 0000FF: pure red
    EXPECT_EQ(form.CurrentColor(), kPureRed);
    EXPECT_EQ(form.SelectedBasic(), 8);
    EXPECT_EQ(form.edtHex->text(), QStringLiteral("FF0000"));
    EXPECT_EQ(form.spnModes[0]->value(), 0);
    EXPECT_EQ(form.spnModes[1]->value(), 100);
    Click(*form.BasicSwatches[47], Qt::RightButton);
    EXPECT_EQ(form.CurrentColor(), kPureRed) << "only the left button applies a swatch";
}

TEST_F(Picker, HexFieldReadsRedGreenBlueAndKeepsTheTypedText) {
    struct Case {
        const char* Text;
        TColor Expected;
    };
    const Case cases[] = {
        {"FF", kPureBlue}, {"ff8000", 0x0080FF}, {"12G4", 0},
        {"", 0},           {"00ff00", 0x00FF00}, {"FFFFFF", 0xFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        TfrmColorPicker form;
        form.SetCurrentColor(0x808080);
        form.edtHex->setText(QString::fromLatin1(c.Text));
        EXPECT_EQ(form.CurrentColor(), c.Expected);
        EXPECT_EQ(form.edtHex->text(), QString::fromLatin1(c.Text));
        EXPECT_EQ(form.pnlSelectedColor->Color(), c.Expected);
        const TRGBBytes rgb = SplitColor(c.Expected);
        EXPECT_EQ(form.spnModes[3]->value(), rgb.Red);
        EXPECT_EQ(form.spnModes[5]->value(), rgb.Blue);
    }
}

TEST_F(Picker, SpinFieldsChangeTheColour) {
    struct Case {
        const char* Name;
        int Field;
        int Value;
        TRGBBytes Expected;
    };
    // From pure red.
    const Case cases[] = {
        {"hue 120", 0, 120, {0, 255, 0}},  {"saturation 0", 1, 0, {255, 255, 255}},
        {"value 50", 2, 50, {128, 0, 0}},  {"red 10", 3, 10, {10, 0, 0}},
        {"green 20", 4, 20, {255, 20, 0}}, {"blue 30", 5, 30, {255, 0, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TfrmColorPicker form;
        form.SetCurrentColor(kPureRed);
        form.spnModes[static_cast<size_t>(c.Field)]->setValue(c.Value);
        EXPECT_EQ(form.Rgb(), c.Expected);
        EXPECT_EQ(SplitColor(form.CurrentColor()), c.Expected);
    }
}

TEST_F(Picker, TopOfTheHueStripShowsAs359) {
    TfrmColorPicker form;
    form.SetCurrentColor(kPureRed);
    form.PickStrip(0);
    EXPECT_DOUBLE_EQ(form.Hue(), 1);
    EXPECT_EQ(form.spnModes[0]->value(), 359);
    EXPECT_EQ(form.CurrentColor(), kPureRed);
    form.PickStrip(-40);
    EXPECT_DOUBLE_EQ(form.Hue(), 1) << "above the strip picks its top";
    form.PickStrip(400);
    EXPECT_DOUBLE_EQ(form.Hue(), 0) << "below the strip picks its bottom";
    EXPECT_EQ(form.spnModes[0]->value(), 0);
}

TEST_F(Picker, PadPicksAreClampedToItsEdges) {
    struct Case {
        const char* Name;
        TColorMode Mode;
        int X, Y;
        TRGBBytes Expected;
    };
    // From pure red.
    const Case cases[] = {
        {"hue mode: right top is full saturation and value",
         TColorMode::cm_Hue,
         300,
         -5,
         {255, 0, 0}},
        {"hue mode: left is grey", TColorMode::cm_Hue, -9, 0, {255, 255, 255}},
        {"hue mode: bottom is black", TColorMode::cm_Hue, 100, 900, {0, 0, 0}},
        {"value mode: hue across, saturation up", TColorMode::cm_Value, 85, 255, {255, 255, 255}},
        {"red mode: green across, blue up", TColorMode::cm_Red, 300, -5, {255, 255, 255}},
        {"red mode beyond the bottom left", TColorMode::cm_Red, -10, 300, {255, 0, 0}},
        {"green mode", TColorMode::cm_Green, 10, 245, {10, 0, 10}},
        {"blue mode", TColorMode::cm_Blue, 10, 245, {10, 10, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TfrmColorPicker form;
        form.SetCurrentColor(kPureRed);
        form.SetColorMode(c.Mode);
        form.PickPad(c.X, c.Y);
        EXPECT_EQ(form.Rgb(), c.Expected);
    }
}

TEST_F(Picker, RadioButtonsSetTheMode) {
    TfrmColorPicker form;
    for (int mode = 5; mode >= 0; --mode) {
        form.rbModes[static_cast<size_t>(mode)]->click();
        EXPECT_EQ(form.ColorMode(), static_cast<TColorMode>(mode));
    }
    form.SetColorMode(TColorMode::cm_Blue);
    EXPECT_TRUE(form.rbModes[5]->isChecked());
}

TEST_F(Picker, RedrawsOnlyThePictureThatChanged) {
    TfrmColorPicker form;
    form.SetCurrentColor(kPureRed);
    form.show();
    const int pad = form.PadFills();
    const int strip = form.StripFills();
    form.PickPad(10, 20); // saturation and value: the strip changes
    EXPECT_EQ(form.PadFills(), pad);
    EXPECT_EQ(form.StripFills(), strip + 1);
    form.PickStrip(100); // hue: the pad changes
    EXPECT_EQ(form.PadFills(), pad + 1);
    EXPECT_EQ(form.StripFills(), strip + 1);
    form.rbModes[3]->click(); // a new mode redraws both
    EXPECT_EQ(form.PadFills(), pad + 2);
    EXPECT_EQ(form.StripFills(), strip + 2);
}

TEST_F(Picker, PicturesFollowTheModeAndTheColour) {
    TfrmColorPicker form;
    form.SetCurrentColor(0x00FF00); // green: hue 1/3
    form.show();
    const TBitmap24& pad = form.PadPicture();
    EXPECT_EQ(pad.Pixel(255, 0), (TRGBBytes{0, 255, 0})) << "the pad in the hue of green";
    EXPECT_EQ(pad.Pixel(0, 0), (TRGBBytes{255, 255, 255}));
    EXPECT_EQ(form.StripPicture().Pixel(0, 255), (TRGBBytes{255, 0, 0}));

    form.rbModes[3]->click();
    EXPECT_EQ(pad.Pixel(0, 255), (TRGBBytes{0, 0, 0})) << "red 0: green and blue 0 at the corner";
    EXPECT_EQ(pad.Pixel(255, 0), (TRGBBytes{0, 255, 255}));
    EXPECT_EQ(form.StripPicture().Pixel(0, 0), (TRGBBytes{255, 255, 0}));
}

TEST_F(Picker, MarkersAreGreyOnDarkColoursAndBlackOtherwise) {
    struct Case {
        const char* Name;
        std::function<void(TfrmColorPicker&)> Set; // pure red at some value, in hue mode
        int Y;                                     // of the pad marker's centre
        QRgb Expected;
    };
    const QRgb grey = qRgb(0x80, 0x80, 0x80);
    const QRgb black = qRgb(0, 0, 0);
    const Case cases[] = {
        {"red 84: value 0.329", [](TfrmColorPicker& form) { form.SetCurrentColor(84); }, 255 - 84,
         grey},
        {"value field 33: exactly 0.33",
         [](TfrmColorPicker& form) { form.spnModes[2]->setValue(33); }, 255 - 84, grey},
        {"red 85: value 0.333", [](TfrmColorPicker& form) { form.SetCurrentColor(85); }, 255 - 85,
         black},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TfrmColorPicker form;
        form.SetCurrentColor(kPureRed);
        form.show();
        c.Set(form);
        // Saturation 1: the pad marker is centred at x 255, its left edge at 251.
        const QImage pad = Drawn(form, true);
        EXPECT_EQ(pad.pixel(251, c.Y), c.Expected);
        EXPECT_EQ(pad.pixel(251, c.Y - 4), c.Expected);
        EXPECT_NE(pad.pixel(250, c.Y), c.Expected) << "the square is 9 pixels wide";
        // Hue 0: the strip marker is centred on the bottom row, from x 12 to 20.
        const QImage strip = Drawn(form, false);
        EXPECT_EQ(strip.pixel(12, 251), c.Expected);
        EXPECT_EQ(strip.pixel(20, 251), c.Expected);
        EXPECT_NE(strip.pixel(21, 251), c.Expected);
    }
}

TEST_F(Picker, DoubleClickOnTheWebColourAppliesIt) {
    TfrmColorPicker form;
    form.SetCurrentColor(PackColor(25, 26, 230));
    EXPECT_EQ(SplitColor(form.pnlWebColor->Color()), (TRGBBytes{0, 51, 255}));
    DoubleClick(*form.pnlWebColor);
    EXPECT_EQ(form.Rgb(), (TRGBBytes{0, 51, 255}));
}

} // namespace
