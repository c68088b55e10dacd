#pragma once

#include "UGraphics.h"

#include <cstdint>
#include <string_view>

// Hue, saturation and value. On the unit scale all three lie in 0 .. 1 (hue 1 is the same as
// 0); on the 255 scale hue lies in 0 .. 255 (excluding 255) and the others in 0 .. 255.
struct THSV {
    double H = 0;
    double S = 0;
    double V = 0;
};

// Each channel moved to the nearest of 0, 51, 102, 153, 204 and 255: the 216-colour web palette.
TColor WebSafeColor(int red, int green, int blue);

// Channels 0 .. 255. A grey has hue 0; on ties of the largest channel red wins over green and
// green over blue.
THSV RGBToHSV255(int red, int green, int blue);
THSV RGBToHSV(int red, int green, int blue);

// Up to the first eight characters read as hexadecimal digits (either letter case) into a
// 32-bit pattern, so eight digits from 8 up give negative numbers. Any other character, or an
// empty text, gives 0.
int32_t HexToInt(std::string_view text);
