#include "UColorSchemes.h"

#include "UConvert.h"

#include <array>

namespace {

std::array<double, 3> Channels(TColor color) {
    const TRGBBytes bytes = SplitColor(color);
    return {static_cast<double>(bytes.Red), static_cast<double>(bytes.Green),
            static_cast<double>(bytes.Blue)};
}

// start + i * step per channel, rounded half to even and packed.
TColor Blend(const std::array<double, 3>& start, const std::array<double, 3>& step, double i) {
    std::array<int, 3> channel{};
    for (size_t c = 0; c < 3; ++c)
        channel[c] = static_cast<int>(RoundHalfEven(start[c] + i * step[c]));
    return PackColor(channel[0], channel[1], channel[2]);
}

std::array<double, 3> Steps(const std::array<double, 3>& start, const std::array<double, 3>& end,
                            double parts) {
    std::array<double, 3> step{};
    for (size_t c = 0; c < 3; ++c)
        step[c] = (end[c] - start[c]) / parts;
    return step;
}

} // namespace

std::vector<TColor> GradientColors(TColor start, TColor end, size_t count) {
    std::vector<TColor> colors;
    if (count == 0)
        return colors;
    const std::array<double, 3> first = Channels(start);
    // A single note would take the whole step; it only ever gets i = 0, so the start.
    const double parts = count >= 2 ? static_cast<double>(count - 1) : 1.0;
    const std::array<double, 3> step = Steps(first, Channels(end), parts);
    colors.reserve(count);
    for (size_t i = 0; i < count; ++i)
        colors.push_back(Blend(first, step, static_cast<double>(i)));
    return colors;
}

std::vector<TColor> GradientPreviewColumns(TColor start, TColor end, int width) {
    std::vector<TColor> columns;
    if (width < 1)
        return columns;
    const std::array<double, 3> first = Channels(start);
    const std::array<double, 3> step = Steps(first, Channels(end), width);
    columns.reserve(static_cast<size_t>(width));
    for (int i = 0; i < width; ++i)
        columns.push_back(Blend(first, step, i));
    return columns;
}

TGradientEnd GradientEndAt(int x, int width) {
    return x < width / 2 ? TGradientEnd::Start : TGradientEnd::End;
}

std::optional<TColor> AverageColor(const TPixelView& pixels) {
    if (pixels.Data == nullptr || pixels.Width < 1 || pixels.Height < 1)
        return std::nullopt;
    std::array<uint64_t, 3> sum{};
    for (int x = 0; x < pixels.Width; ++x) {
        for (int y = 0; y < pixels.Height; ++y) {
            const uint8_t* pixel = pixels.Data + y * pixels.Stride + std::ptrdiff_t{3} * x;
            for (size_t c = 0; c < 3; ++c)
                sum[c] += pixel[c];
        }
    }
    const double count = static_cast<double>(pixels.Width) * pixels.Height;
    std::array<int, 3> channel{};
    for (size_t c = 0; c < 3; ++c)
        channel[c] = static_cast<int>(RoundHalfEven(static_cast<double>(sum[c]) / count));
    return PackColor(channel[0], channel[1], channel[2]);
}
