#include "UBMPUtil.h"

#include "UConvert.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int kPlaneSize = 256;
constexpr int kSliderWidth = 32;

int StrideOf(int width) {
    return (width * 3 + 3) / 4 * 4;
}

// The one plane buffer, laid out like the picture it was prepared for.
struct TPlaneBuffer {
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    std::vector<uint8_t> Bits;
};
TPlaneBuffer PlaneBuffer;

bool Prepared() {
    return !PlaneBuffer.Bits.empty();
}

// Fills the buffer through rgbAt(x, yUp) and copies it onto the picture in one go, clipped to
// the smaller of the two.
template <class TRgbAt>
bool FillPlane(TBitmap24& bitmap, TRgbAt rgbAt) {
    if (!Prepared())
        return false;
    for (int yUp = 0; yUp < kPlaneSize; ++yUp) {
        // Rows count upwards from the bottom of the picture.
        uint8_t* row = PlaneBuffer.Bits.data() +
                       static_cast<size_t>(PlaneBuffer.Height - 1 - yUp) * PlaneBuffer.Stride;
        for (int x = 0; x < kPlaneSize; ++x) {
            const TRGBBytes rgb = rgbAt(x, yUp);
            row[x * 3] = rgb.Red;
            row[x * 3 + 1] = rgb.Green;
            row[x * 3 + 2] = rgb.Blue;
        }
    }
    const int height = std::min(PlaneBuffer.Height, bitmap.Height);
    const size_t rowBytes = static_cast<size_t>(std::min(PlaneBuffer.Width, bitmap.Width)) * 3;
    if (bitmap.Stride == PlaneBuffer.Stride && rowBytes == static_cast<size_t>(bitmap.Width) * 3) {
        std::memcpy(bitmap.Bits.data(), PlaneBuffer.Bits.data(),
                    static_cast<size_t>(height) * bitmap.Stride);
        return true;
    }
    for (int y = 0; y < height; ++y)
        std::memcpy(bitmap.Bits.data() + static_cast<size_t>(y) * bitmap.Stride,
                    PlaneBuffer.Bits.data() + static_cast<size_t>(y) * PlaneBuffer.Stride,
                    rowBytes);
    return true;
}

template <class TColorAt>
bool FillSlider(TBitmap24& bitmap, TColorAt colorAt) {
    if (bitmap.Width < kSliderWidth || bitmap.Height < kPlaneSize)
        return false;
    for (int i = 0; i < kPlaneSize; ++i) {
        const TRGBBytes rgb = SplitColor(colorAt(i));
        for (int x = 0; x < kSliderWidth; ++x)
            bitmap.SetPixel(x, kPlaneSize - 1 - i, rgb);
    }
    return true;
}

TRGBBytes Bytes(int red, int green, int blue) {
    return {static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue)};
}

// HSVToRGB scales every channel by the value: each is v, v (1 - s), v (1 - s f) or
// v (1 - s (1 - f)). The planes compute the factors once per column and multiply by the value
// per pixel, with the same operations in the same order as HSVToRGBBytes, so the bytes are the
// same; calling it for each of the 65,536 pixels would take several times as long.
struct TUnitRGB {
    double R = 1;
    double G = 1;
    double B = 1;
};

TUnitRGB PerValue(double h, double s) {
    if (s == 0)
        return {1, 1, 1};
    if (h == 1)
        h = 0;
    const double h6 = 6 * h;
    const int i = static_cast<int>(h6);
    const double f = h6 - i;
    const double p = 1 - s;
    const double q = 1 - s * f;
    const double t = 1 - s * (1 - f);
    switch (i) {
    case 1:
        return {q, 1, p};
    case 2:
        return {p, 1, t};
    case 3:
        return {p, q, 1};
    case 4:
        return {t, p, 1};
    case 5:
        return {1, p, q};
    default:
        return {1, t, p};
    }
}

uint8_t UnitToByte(double unit) {
    return static_cast<uint8_t>(std::clamp(RoundHalfEven(unit * 255), 0.0, 255.0));
}

TRGBBytes TimesValue(const TUnitRGB& factors, double v) {
    return {UnitToByte(v * factors.R), UnitToByte(v * factors.G), UnitToByte(v * factors.B)};
}

} // namespace

TBitmap24::TBitmap24(int width, int height)
    : Width(std::max(width, 0)), Height(std::max(height, 0)), Stride(StrideOf(Width)),
      Bits(static_cast<size_t>(Stride) * Height, 0) {}

TRGBBytes TBitmap24::Pixel(int x, int y) const {
    const uint8_t* p = Bits.data() + static_cast<size_t>(y) * Stride + static_cast<size_t>(x) * 3;
    return {p[0], p[1], p[2]};
}

void TBitmap24::SetPixel(int x, int y, TRGBBytes rgb) {
    uint8_t* p = Bits.data() + static_cast<size_t>(y) * Stride + static_cast<size_t>(x) * 3;
    p[0] = rgb.Red;
    p[1] = rgb.Green;
    p[2] = rgb.Blue;
}

bool BeginPlaneBuffer(const TBitmap24& bitmap) {
    if (bitmap.Width < kPlaneSize || bitmap.Height < kPlaneSize ||
        bitmap.Bits.size() < static_cast<size_t>(bitmap.Stride) * bitmap.Height ||
        bitmap.Stride < bitmap.Width * 3)
        return false;
    PlaneBuffer.Width = bitmap.Width;
    PlaneBuffer.Height = bitmap.Height;
    PlaneBuffer.Stride = bitmap.Stride;
    PlaneBuffer.Bits.assign(bitmap.Bits.begin(),
                            bitmap.Bits.begin() +
                                static_cast<std::ptrdiff_t>(bitmap.Stride) * bitmap.Height);
    return true;
}

void EndPlaneBuffer() {
    PlaneBuffer = {};
}

bool FillPlaneForHue(TBitmap24& bitmap, double h) {
    std::array<TUnitRGB, kPlaneSize> columns;
    for (int x = 0; x < kPlaneSize; ++x)
        columns[static_cast<size_t>(x)] = PerValue(h, x / 255.0);
    return FillPlane(bitmap, [&columns](int x, int y) {
        return TimesValue(columns[static_cast<size_t>(x)], y / 255.0);
    });
}

bool FillPlaneForSaturation(TBitmap24& bitmap, double s) {
    std::array<TUnitRGB, kPlaneSize> columns;
    for (int x = 0; x < kPlaneSize; ++x)
        columns[static_cast<size_t>(x)] = PerValue(x / 255.0, s);
    return FillPlane(bitmap, [&columns](int x, int y) {
        return TimesValue(columns[static_cast<size_t>(x)], y / 255.0);
    });
}

bool FillPlaneForValue(TBitmap24& bitmap, double v) {
    return FillPlane(bitmap,
                     [v](int x, int y) { return TimesValue(PerValue(x / 255.0, y / 255.0), v); });
}

bool FillPlaneForRed(TBitmap24& bitmap, uint8_t red) {
    return FillPlane(bitmap, [red](int x, int y) { return Bytes(red, x, y); });
}

bool FillPlaneForGreen(TBitmap24& bitmap, uint8_t green) {
    return FillPlane(bitmap, [green](int x, int y) { return Bytes(x, green, y); });
}

bool FillPlaneForBlue(TBitmap24& bitmap, uint8_t blue) {
    return FillPlane(bitmap, [blue](int x, int y) { return Bytes(x, y, blue); });
}

bool FillHueSlider(TBitmap24& bitmap, double s, double v) {
    return FillSlider(bitmap, [s, v](int i) { return HSVToColor(i / 255.0, s, v); });
}

bool FillSaturationSlider(TBitmap24& bitmap, double h, double v) {
    return FillSlider(bitmap, [h, v](int i) { return HSVToColor(h, i / 255.0, v); });
}

bool FillValueSlider(TBitmap24& bitmap, double h, double s) {
    return FillSlider(bitmap, [h, s](int i) { return HSVToColor(h, s, i / 255.0); });
}

bool FillRedSlider(TBitmap24& bitmap, uint8_t green, uint8_t blue) {
    return FillSlider(bitmap, [green, blue](int i) { return PackColor(i, green, blue); });
}

bool FillGreenSlider(TBitmap24& bitmap, uint8_t red, uint8_t blue) {
    return FillSlider(bitmap, [red, blue](int i) { return PackColor(red, i, blue); });
}

bool FillBlueSlider(TBitmap24& bitmap, uint8_t red, uint8_t green) {
    return FillSlider(bitmap, [red, green](int i) { return PackColor(red, green, i); });
}
