#include "qzColorPickerDialog.h"

#include "UConvert.h"
#include "qzColorUtil.h"

#include <cstdio>

std::string TqzColorPickerDialog::CustomColorName(int slot) {
    std::string name = "Color";
    name += static_cast<char>('A' + slot);
    return name;
}

std::string TqzColorPickerDialog::CustomValue(int slot) const {
    const std::string name = CustomColorName(slot);
    for (const std::string& line : CustomColors) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos && SameTextAscii(line.substr(0, equals), name))
            return line.substr(equals + 1);
    }
    return {};
}

void TqzColorPickerDialog::SetCustomValue(int slot, const std::string& value) {
    const std::string name = CustomColorName(slot);
    std::string entry = name;
    entry += '=';
    entry += value;
    for (std::string& line : CustomColors) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos && SameTextAscii(line.substr(0, equals), name)) {
            line = entry;
            return;
        }
    }
    CustomColors.push_back(entry);
}

bool TqzColorPickerDialog::Execute() {
    TfrmColorPicker form(Owner);
    if (!form.Ready())
        return false; // the form has said why and cannot work
    form.move(Left, Top);
    form.SetCurrentColor(Color);
    form.setWindowTitle(QString::fromStdString(Title));
    form.SetColorMode(ColorMode);
    for (int slot = 0; slot < TfrmColorPicker::kCustomCount; ++slot)
        form.SetCustomColor(slot, HexToInt(CustomValue(slot)));

    const bool ok = form.exec() == QDialog::Accepted;
    if (ok) {
        Color = form.CurrentColor();
        ColorMode = form.ColorMode();
        for (int slot = 0; slot < TfrmColorPicker::kCustomCount; ++slot) {
            char hex[12];
            std::snprintf(hex, sizeof hex, "%.6X", static_cast<unsigned>(form.CustomColor(slot)));
            SetCustomValue(slot, hex);
        }
    }
    Left = form.x();
    Top = form.y();
    return ok;
}

TqzColorPickerDialog ProgramColorDialog(QWidget* owner) {
    TqzColorPickerDialog dialog(owner);
    dialog.Color = 0;
    dialog.ColorMode = TColorMode::cm_Hue;
    dialog.Title = "1.02 颜色选择器";
    return dialog;
}

bool ChooseColorWithPicker(TqzColorPickerDialog& dialog, int32_t& color) {
    dialog.Color = color;
    if (!dialog.Execute())
        return false;
    color = dialog.Color;
    return true;
}
