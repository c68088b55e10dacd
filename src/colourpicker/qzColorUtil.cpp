#include "qzColorUtil.h"

#include <algorithm>

TColor WebSafeColor(int red, int green, int blue) {
    const auto snap = [](int channel) {
        const int level = static_cast<int>(channel * 5 / 255.0 + 0.5);
        return level * 51;
    };
    return PackColor(snap(red), snap(green), snap(blue));
}

THSV RGBToHSV255(int red, int green, int blue) {
    const double r = red;
    const double g = green;
    const double b = blue;
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    const double delta = max - min;
    THSV hsv;
    hsv.V = max;
    hsv.S = max != 0 ? delta * 255 / max : 0;
    if (hsv.S == 0)
        return hsv;
    double h = 0;
    if (r == max)
        h = (g - b) / delta;
    else if (g == max)
        h = 2 + (b - r) / delta;
    else
        h = 4 + (r - g) / delta;
    h *= 60;
    if (h < 0)
        h += 360;
    hsv.H = 255 * h / 360;
    return hsv;
}

THSV RGBToHSV(int red, int green, int blue) {
    const THSV scaled = RGBToHSV255(red, green, blue);
    return {scaled.H / 255, scaled.S / 255, scaled.V / 255};
}

int32_t HexToInt(std::string_view text) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    text = text.substr(0, 8);
    // Summed unsigned: eight digits wrap to the 32-bit pattern they spell.
    uint32_t sum = 0;
    uint32_t weight = 1;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        char c = *it;
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        const size_t digit = kDigits.find(c);
        if (digit == std::string_view::npos)
            return 0;
        sum += static_cast<uint32_t>(digit) * weight;
        weight *= 16;
    }
    return static_cast<int32_t>(sum);
}
