#pragma once

#include "UGraphics.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The colours of the Appearance tab: gradients over the notes and over the preview strip, the
// average colour of a piece of the screen.

// One colour per note for `count` notes from `start` to `end`: the first gets `start` exactly
// and, with two or more, the last gets `end` exactly. Channels are rounded half to even.
std::vector<TColor> GradientColors(TColor start, TColor end, size_t count);

// One colour per column of a strip `width` pixels wide: each step is a width-th of the way, so
// the last column stops one step short of `end`. Empty for a width below 1.
std::vector<TColor> GradientPreviewColumns(TColor start, TColor end, int width);

// Which end of the gradient a release at `x` on a strip `width` pixels wide edits: the left
// half (x < width div 2) edits the start.
enum class TGradientEnd { Start, End };
TGradientEnd GradientEndAt(int x, int width);

// Rows of 24-bit pixels, red then green then blue, `Stride` bytes from one row to the next.
struct TPixelView {
    const uint8_t* Data = nullptr;
    int Width = 0;
    int Height = 0;
    std::ptrdiff_t Stride = 0;
};

// The average of every pixel, per channel rounded half to even; nothing for an empty view.
std::optional<TColor> AverageColor(const TPixelView& pixels);
