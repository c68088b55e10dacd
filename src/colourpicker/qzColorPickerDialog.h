#pragma once

#include "UPlatform.h"
#include "UfrmColorPicker.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

// The colour picker as a dialog object that keeps its settings from one run to the next: the
// caller sets Color, calls Execute and on true reads Color back.
class TqzColorPickerDialog {
public:
    explicit TqzColorPickerDialog(QWidget* owner = nullptr) : Owner(owner) {}

    // The name of custom slot 0 .. 15 in CustomColors: "ColorA" .. "ColorP".
    static std::string CustomColorName(int slot);

    // Shows the picker modally. On OK (true) Color, ColorMode and CustomColors hold what the
    // user left; otherwise all three are as they were.
    bool Execute();

    TColor Color = 0; // a system colour comes back as a plain RGB value
    TColorMode ColorMode = TColorMode::cm_Hue;
    // "ColorA=0000FF" .. "ColorP=...": the colour value in at least six upper-case hexadecimal
    // digits, blue in the highest byte. A missing slot is black.
    std::vector<std::string> CustomColors;
    std::string Title = "Color Picker 1.04"; // UTF-8
    int32_t Left = 128;                      // where the form was when it last closed
    int32_t Top = 128;
    QPointer<QWidget> Owner; // parent of each form

private:
    std::string CustomValue(int slot) const;
    void SetCustomValue(int slot, const std::string& value);
};

// The program's one picker: black, hue mode, its own title.
TqzColorPickerDialog ProgramColorDialog(QWidget* owner = nullptr);

// The colour choice of IDialogs through the picker: presets the picker's Color with `color`,
// runs it and writes the choice back on OK.
bool ChooseColorWithPicker(TqzColorPickerDialog& dialog, int32_t& color);

// Every colour choice through one shared picker; the other dialogs are the inner ones.
class TPickerDialogs : public IDialogs {
public:
    TPickerDialogs(IDialogs& inner, TqzColorPickerDialog& picker)
        : Inner_(inner), Picker_(picker) {}
    std::string OpenFile(const TFileDialogOptions& options) override {
        return Inner_.OpenFile(options);
    }
    std::string SaveFile(const TFileDialogOptions& options) override {
        return Inner_.SaveFile(options);
    }
    bool ChooseFont(TFontChoice& font) override { return Inner_.ChooseFont(font); }
    bool ChooseColor(int32_t& color) override { return ChooseColorWithPicker(Picker_, color); }

private:
    IDialogs& Inner_;
    TqzColorPickerDialog& Picker_;
};
