#include "UColorSchemes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr TColor White = 0xFFFFFF;

TColor Grey(int level) {
    return PackColor(level, level, level);
}

TEST(ColorSchemes, GradientOverNotes) {
    const struct {
        const char* name;
        TColor start, end;
        size_t count;
        std::vector<TColor> expected;
    } cases[] = {
        {"none", 0, White, 0, {}},
        {"one note takes the start", PackColor(1, 2, 3), White, 1, {PackColor(1, 2, 3)}},
        {"two notes take the ends",
         PackColor(9, 8, 7),
         PackColor(70, 80, 90),
         2,
         {PackColor(9, 8, 7), PackColor(70, 80, 90)}},
        // a step of 127.5: the middle is 127.5, which rounds to the even 128
        {"black to white over three", 0, White, 3, {0, Grey(128), White}},
        // red steps 80, green -66.67, blue 33.33: each channel on its own
        {"channels apart",
         PackColor(10, 200, 30),
         PackColor(250, 0, 130),
         4,
         {PackColor(10, 200, 30), PackColor(90, 133, 63), PackColor(170, 67, 97),
          PackColor(250, 0, 130)}},
        // the top byte of a system colour is no channel
        {"top byte ignored",
         static_cast<TColor>(0x80000000u | 0x000010),
         0x000030,
         3,
         {0x10, 0x20, 0x30}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GradientColors(c.start, c.end, c.count), c.expected);
    }
}

TEST(ColorSchemes, PreviewColumns) {
    const std::vector<TColor> strip = GradientPreviewColumns(0, White, 375);
    ASSERT_EQ(strip.size(), 375u);
    EXPECT_EQ(strip.front(), 0);
    EXPECT_EQ(strip[187], Grey(127)) << "255 * 187 / 375 = 127.16";
    EXPECT_EQ(strip.back(), Grey(254)) << "one step short of the end: 254.32";

    // steps of 0.5, 1.5 and 2.5 in the second column all land on even neighbours
    EXPECT_EQ(GradientPreviewColumns(0, PackColor(1, 3, 5), 2),
              (std::vector<TColor>{0, PackColor(0, 2, 2)}));
    EXPECT_EQ(GradientPreviewColumns(PackColor(200, 0, 100), PackColor(0, 200, 100), 4),
              (std::vector<TColor>{PackColor(200, 0, 100), PackColor(150, 50, 100),
                                   PackColor(100, 100, 100), PackColor(50, 150, 100)}));
    EXPECT_TRUE(GradientPreviewColumns(0, White, 0).empty());
    EXPECT_TRUE(GradientPreviewColumns(0, White, -3).empty());
}

TEST(ColorSchemes, ReleaseChoosesEnd) {
    const struct {
        int x, width;
        TGradientEnd expected;
    } cases[] = {
        {0, 375, TGradientEnd::Start}, {186, 375, TGradientEnd::Start},
        {187, 375, TGradientEnd::End}, {374, 375, TGradientEnd::End},
        {4, 10, TGradientEnd::Start},  {5, 10, TGradientEnd::End},
        {0, 1, TGradientEnd::End},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << " of " << c.width);
        EXPECT_EQ(GradientEndAt(c.x, c.width), c.expected);
    }
}

// Rows of RGB pixels with a padded stride, the padding full of bytes that must not count.
struct TBuffer {
    TBuffer(int width, int height, const std::vector<TRGBBytes>& pixels)
        : Width(width), Height(height), Stride(3 * width + 5),
          Bytes(static_cast<size_t>(Stride * height), 0xEE) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const TRGBBytes& p = pixels[static_cast<size_t>(y * width + x)];
                uint8_t* at = Bytes.data() + y * Stride + 3 * x;
                at[0] = p.Red;
                at[1] = p.Green;
                at[2] = p.Blue;
            }
        }
    }
    TPixelView View() const { return {Bytes.data(), Width, Height, Stride}; }
    int Width, Height;
    std::ptrdiff_t Stride;
    std::vector<uint8_t> Bytes;
};

TEST(ColorSchemes, AverageColor) {
    const struct {
        const char* name;
        int width, height;
        std::vector<TRGBBytes> pixels;
        TColor expected;
    } cases[] = {
        {"one pixel", 1, 1, {{10, 20, 30}}, PackColor(10, 20, 30)},
        {"all channels apart",
         2,
         2,
         {{0, 0, 255}, {4, 100, 255}, {8, 0, 0}, {12, 100, 0}},
         PackColor(6, 50, 128)},
        // 0.5 rounds to 0, 1.5 to 2, 2.5 to 2
        {"halves to even", 2, 1, {{0, 1, 2}, {1, 2, 3}}, PackColor(0, 2, 2)},
        {"a title bar", 17, 16, std::vector<TRGBBytes>(17 * 16, TRGBBytes{255, 128, 1}),
         PackColor(255, 128, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TBuffer buffer(c.width, c.height, c.pixels);
        EXPECT_EQ(AverageColor(buffer.View()), c.expected);
    }

    const TBuffer empty(0, 4, {});
    EXPECT_EQ(AverageColor(empty.View()), std::nullopt);
    EXPECT_EQ(AverageColor({nullptr, 3, 3, 9}), std::nullopt);
}

} // namespace
