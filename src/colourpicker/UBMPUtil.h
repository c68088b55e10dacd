#pragma once

#include "UGraphics.h"

#include <cstdint>
#include <vector>

// A 24-bit picture as plain bytes: rows from the top, each pixel red, green, blue, each row
// padded to a multiple of four bytes (the layout QImage::Format_RGB888 takes as it is).
struct TBitmap24 {
    TBitmap24() = default;
    TBitmap24(int width, int height); // black

    int Width = 0;
    int Height = 0;
    int Stride = 0; // bytes per row
    std::vector<uint8_t> Bits;

    // Column x, row y from the top; both inside the picture.
    TRGBBytes Pixel(int x, int y) const;
    void SetPixel(int x, int y, TRGBBytes rgb);
};

// The plane pictures are computed into one off-screen buffer and copied onto the picture whole.
// There is one buffer for the whole program: BeginPlaneBuffer prepares it for a picture of at
// least 256 x 256 (false for a smaller one, which the fills would overrun), EndPlaneBuffer frees
// it, and a second BeginPlaneBuffer replaces it. The buffer is not synchronised: all of this
// runs on the user-interface thread only.
bool BeginPlaneBuffer(const TBitmap24& bitmap);
void EndPlaneBuffer();

// 256 x 256 planes with x to the right and y upwards from the bottom row; HSV components on the
// unit scale. Each returns false, leaving the picture alone, when no plane buffer is prepared.
bool FillPlaneForHue(TBitmap24& bitmap, double h);        // saturation across, value up
bool FillPlaneForSaturation(TBitmap24& bitmap, double s); // hue across, value up
bool FillPlaneForValue(TBitmap24& bitmap, double v);      // hue across, saturation up
bool FillPlaneForRed(TBitmap24& bitmap, uint8_t red);     // green across, blue up
bool FillPlaneForGreen(TBitmap24& bitmap, uint8_t green); // red across, blue up
bool FillPlaneForBlue(TBitmap24& bitmap, uint8_t blue);   // red across, green up

// Sliders of 32 x 256: the varying component at i / 255 (or i) in the row i from the bottom.
// False, leaving the picture alone, when it is smaller than that.
bool FillHueSlider(TBitmap24& bitmap, double s, double v);
bool FillSaturationSlider(TBitmap24& bitmap, double h, double v);
bool FillValueSlider(TBitmap24& bitmap, double h, double s);
bool FillRedSlider(TBitmap24& bitmap, uint8_t green, uint8_t blue);
bool FillGreenSlider(TBitmap24& bitmap, uint8_t red, uint8_t blue);
bool FillBlueSlider(TBitmap24& bitmap, uint8_t red, uint8_t green);
