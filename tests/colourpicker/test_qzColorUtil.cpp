#include "qzColorUtil.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(RGBToHSV255, ScalesHueSaturationAndValueTo255) {
    struct Case {
        const char* Name;
        int R, G, B;
        double H, S, V;
    };
    const Case cases[] = {
        {"red", 255, 0, 0, 0, 255, 255},
        {"blue", 0, 0, 255, 170, 255, 255},
        {"grey has no hue", 128, 128, 128, 0, 0, 128},
        {"yellow: red wins the tie", 255, 255, 0, 42.5, 255, 255},
        {"black", 0, 0, 0, 0, 0, 0},
        {"magenta: a negative hue wraps", 255, 0, 255, 212.5, 255, 255},
        {"dark half-saturated green", 50, 100, 50, 85, 127.5, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const THSV hsv = RGBToHSV255(c.R, c.G, c.B);
        EXPECT_DOUBLE_EQ(hsv.H, c.H);
        EXPECT_DOUBLE_EQ(hsv.S, c.S);
        EXPECT_DOUBLE_EQ(hsv.V, c.V);
    }
}

TEST(RGBToHSV, IsTheUnitScale) {
    struct Case {
        const char* Name;
        int R, G, B;
        double H, S, V;
    };
    const Case cases[] = {
        {"red", 255, 0, 0, 0, 1, 1},
        {"blue", 0, 0, 255, 2.0 / 3, 1, 1},
        {"grey", 128, 128, 128, 0, 0, 128.0 / 255},
        {"yellow", 255, 255, 0, 1.0 / 6, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const THSV hsv = RGBToHSV(c.R, c.G, c.B);
        EXPECT_DOUBLE_EQ(hsv.H, c.H);
        EXPECT_DOUBLE_EQ(hsv.S, c.S);
        EXPECT_DOUBLE_EQ(hsv.V, c.V);
    }
}

TEST(RGBToHSV, GoesBackToTheSameBytesForEveryGreyAndPrimaryLevel) {
    for (int level = 0; level <= 255; ++level) {
        SCOPED_TRACE(level);
        for (const TRGBBytes rgb :
             {TRGBBytes{static_cast<uint8_t>(level), 0, 0},
              TRGBBytes{0, static_cast<uint8_t>(level), 0},
              TRGBBytes{0, 0, static_cast<uint8_t>(level)},
              TRGBBytes{static_cast<uint8_t>(level), static_cast<uint8_t>(level),
                        static_cast<uint8_t>(255 - level)}}) {
            const THSV hsv = RGBToHSV(rgb.Red, rgb.Green, rgb.Blue);
            EXPECT_EQ(HSVToRGBBytes(hsv.H, hsv.S, hsv.V), rgb);
        }
    }
}

TEST(HexToInt, ReadsUpToEightDigitsOfEitherCase) {
    struct Case {
        const char* Text;
        int32_t Expected;
    };
    const Case cases[] = {
        {"ff8000", 16744448},
        {"FF8000", 16744448},
        {"FF", 255},
        {"aBc", 0xABC},
        {"12G4", 0},
        {"123456789", 0x12345678}, // the ninth digit is not read
        {"12345678G", 0x12345678}, // nor is a bad ninth character
        {"FFFFFFFF", -1},
        {"80000000", INT32_MIN},
        {"7FFFFFFF", INT32_MAX},
        {"", 0},
        {" FF", 0},
        {"-1", 0},
        {"0x10", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(HexToInt(c.Text), c.Expected);
    }
}

TEST(WebSafeColor, MovesEachChannelToTheNearestMultipleOf51) {
    struct Case {
        int R, G, B;
        TRGBBytes Expected;
    };
    const Case cases[] = {
        {25, 26, 230, {0, 51, 255}},      {127, 128, 0, {102, 153, 0}},
        {255, 255, 255, {255, 255, 255}}, {0, 0, 0, {0, 0, 0}},
        {76, 77, 178, {51, 102, 153}},    {179, 229, 230, {204, 204, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.R << ',' << c.G << ',' << c.B);
        EXPECT_EQ(SplitColor(WebSafeColor(c.R, c.G, c.B)), c.Expected);
    }
}

} // namespace
