#include "UGraphics.h"

#include "URandom.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(SplitColor, ChannelsAndIgnoredTopByte) {
    EXPECT_EQ(SplitColor(0x00FF8040), (TRGBBytes{0x40, 0x80, 0xFF}));
    EXPECT_EQ(SplitColor(0x12FF8040), (TRGBBytes{0x40, 0x80, 0xFF}));
    EXPECT_EQ(SplitColor(DefaultNoteColor), (TRGBBytes{197, 233, 141}));
    EXPECT_EQ(SplitColor(-16777208), (TRGBBytes{8, 0, 0})) << "a system colour is a bit pattern";
    EXPECT_EQ(PackColor(197, 233, 141), DefaultNoteColor);
}

TEST(HSVToRGBBytes, KnownColoursAndRounding) {
    const struct {
        const char* name;
        double h, s, v;
        TRGBBytes rgb;
    } rows[] = {
        {"grey 127.5 rounds to even", 0, 0, 0.5, {128, 128, 128}},
        {"red", 0, 1, 1, {255, 0, 0}},
        {"hue 1 is hue 0", 1, 1, 1, {255, 0, 0}},
        {"yellow", 1.0 / 6, 1, 1, {255, 255, 0}},
        {"green", 2.0 / 6, 1, 1, {0, 255, 0}},
        {"cyan", 0.5, 1, 1, {0, 255, 255}},
        {"blue", 4.0 / 6, 1, 1, {0, 0, 255}},
        {"magenta", 5.0 / 6, 1, 1, {255, 0, 255}},
        {"black", 0.3, 0.7, 0, {0, 0, 0}},
        {"half saturation", 0, 0.5, 1, {255, 128, 128}}, // 127.5 -> 128
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(HSVToRGBBytes(row.h, row.s, row.v), row.rgb);
    }
    EXPECT_EQ(HSVToColor(1, 1, 1), HSVToColor(0, 1, 1));
    EXPECT_EQ(HSVToColor(0, 1, 1), 255);
    EXPECT_EQ(HSVToColor(4.0 / 6, 1, 1), 0xFF0000);
}

TEST(RandomColor, NeverGreyNorDarkAndRepeatableFromASeed) {
    RandomSeed(42);
    std::vector<TColor> first;
    for (int i = 0; i < 2000; ++i) {
        const TColor color = RandomColor();
        first.push_back(color);
        const TRGBBytes rgb = SplitColor(color);
        const int high = std::max({rgb.Red, rgb.Green, rgb.Blue});
        const int low = std::min({rgb.Red, rgb.Green, rgb.Blue});
        ASSERT_GE(high, 128) << "value above 0.5";
        ASSERT_LE(low, high - high / 4 + 1) << "saturation above 0.25";
        ASSERT_EQ(color & 0xFF000000, 0);
    }
    RandomSeed(42);
    for (const TColor color : first)
        ASSERT_EQ(RandomColor(), color);
}

TEST(RandomInt, StaysInItsRange) {
    RandomSeed(7);
    for (int i = 0; i < 1000; ++i) {
        const int32_t value = RandomInt(896);
        ASSERT_GE(value, 0);
        ASSERT_LT(value, 896);
    }
    EXPECT_EQ(RandomInt(0), 0);
    EXPECT_EQ(RandomInt(-5), 0) << "a screen smaller than the margin gives 0";
}

TEST(ShiftColor, ClampsEachChannel) {
    const struct {
        const char* name;
        TColor in;
        int amount;
        TColor out;
    } rows[] = {
        {"white stays white", 16777215, 40, 16777215},
        {"black stays black", 0, -50, 0},
        {"3 - 5 gives 0", PackColor(3, 100, 253), -5, PackColor(0, 95, 248)},
        {"253 + 5 gives 255", PackColor(3, 100, 253), 5, PackColor(8, 105, 255)},
        {"note colour darker", PackColor(200, 100, 30), -50, PackColor(150, 50, 0)},
        {"system colour gives negative channels, clamped", -16777208, 40, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ShiftColor(row.in, row.amount), row.out);
    }
}
