#pragma once

#include <cstdint>

// A colour value: red in bits 0-7, green in 8-15, blue in 16-23. Negative values are the
// platform's system colours.
using TColor = int32_t;

constexpr TColor DefaultNoteColor = 9300421; // red 197, green 233, blue 141

struct TRGBBytes {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    bool operator==(const TRGBBytes&) const = default;
};

struct TRGBUnit {
    double R = 0;
    double G = 0;
    double B = 0;
};

TRGBBytes SplitColor(TColor color);
TColor PackColor(int red, int green, int blue); // each channel masked to 8 bits

// Hue, saturation and value on the unit scale (hue 1 is the same as 0).
TRGBUnit HSVToRGB(double h, double s, double v);
TRGBBytes HSVToRGBBytes(double h, double s, double v);
TColor HSVToColor(double h, double s, double v);

// A random colour that is never grey and never dark: saturation in (0.25, 1], value in (0.5, 1].
TColor RandomColor();

// Adds the amount to each channel, clamped to 0 .. 255.
TColor ShiftColor(TColor color, int amount);
