#include "UGraphics.h"

#include "UConvert.h"
#include "URandom.h"

#include <algorithm>

TRGBBytes SplitColor(TColor color) {
    const auto bits = static_cast<uint32_t>(color);
    return {static_cast<uint8_t>(bits & 0xFF), static_cast<uint8_t>((bits & 0xFF00) >> 8),
            static_cast<uint8_t>((bits & 0xFF0000) >> 16)};
}

TColor PackColor(int red, int green, int blue) {
    return static_cast<TColor>((static_cast<uint32_t>(red) & 0xFF) |
                               ((static_cast<uint32_t>(green) & 0xFF) << 8) |
                               ((static_cast<uint32_t>(blue) & 0xFF) << 16));
}

TRGBUnit HSVToRGB(double h, double s, double v) {
    if (s == 0)
        return {v, v, v};
    if (h == 1)
        h = 0;
    const double h6 = 6 * h;
    const int i = static_cast<int>(h6);
    const double f = h6 - i;
    const double p = v * (1 - s);
    const double q = v * (1 - s * f);
    const double t = v * (1 - s * (1 - f));
    switch (i) {
    case 1:
        return {q, v, p};
    case 2:
        return {p, v, t};
    case 3:
        return {p, q, v};
    case 4:
        return {t, p, v};
    case 5:
        return {v, p, q};
    default: // 0; a hue outside 0 .. 1 is no caller's
        return {v, t, p};
    }
}

TRGBBytes HSVToRGBBytes(double h, double s, double v) {
    const TRGBUnit rgb = HSVToRGB(h, s, v);
    const auto toByte = [](double unit) {
        return static_cast<uint8_t>(std::clamp(RoundHalfEven(unit * 255), 0.0, 255.0));
    };
    return {toByte(rgb.R), toByte(rgb.G), toByte(rgb.B)};
}

TColor HSVToColor(double h, double s, double v) {
    const TRGBBytes bytes = HSVToRGBBytes(h, s, v);
    return PackColor(bytes.Red, bytes.Green, bytes.Blue);
}

TColor RandomColor() {
    const double hue = RandomFloat();
    const double saturation = 1 - 0.75 * RandomFloat();
    const double value = 1 - 0.5 * RandomFloat();
    return HSVToColor(hue, saturation, value);
}

TColor ShiftColor(TColor color, int amount) {
    // Truncating div and mod, so a system colour (negative) gives negative channels, clamped.
    const int red = color % 256;
    const int green = (color / 256) % 256;
    const int blue = ((color / 256) / 256) % 256;
    const auto shifted = [amount](int channel) { return std::clamp(channel + amount, 0, 255); };
    return PackColor(shifted(red), shifted(green), shifted(blue));
}
