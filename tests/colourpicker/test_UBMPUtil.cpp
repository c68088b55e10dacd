#include "UBMPUtil.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Prepares the one plane buffer for a picture and frees it again at the end of the test.
class PlaneBufferFor {
public:
    explicit PlaneBufferFor(const TBitmap24& bitmap) : Ready(BeginPlaneBuffer(bitmap)) {}
    ~PlaneBufferFor() { EndPlaneBuffer(); }
    const bool Ready;
};

constexpr TRGBBytes kBlack{0, 0, 0};
constexpr TRGBBytes kWhite{255, 255, 255};
constexpr TRGBBytes kRed{255, 0, 0};

// Pixels addressed as the pictures are described: x to the right, y upwards from the bottom.
TRGBBytes At(const TBitmap24& bitmap, int x, int yUp) {
    return bitmap.Pixel(x, bitmap.Height - 1 - yUp);
}

TEST(PlaneFill, CornersOfEachMode) {
    struct Case {
        const char* Name;
        std::function<bool(TBitmap24&)> Fill;
        TRGBBytes BottomLeft, BottomRight, TopLeft, TopRight;
    };
    const Case cases[] = {
        {"hue 0: saturation across, value up", [](TBitmap24& b) { return FillPlaneForHue(b, 0); },
         kBlack, kBlack, kWhite, kRed},
        {"hue 1/3", [](TBitmap24& b) { return FillPlaneForHue(b, 1.0 / 3); }, kBlack, kBlack,
         kWhite, TRGBBytes{0, 255, 0}},
        {"saturation 1: hue across, value up",
         [](TBitmap24& b) { return FillPlaneForSaturation(b, 1); }, kBlack, kBlack, kRed, kRed},
        {"saturation 0 is grey throughout",
         [](TBitmap24& b) { return FillPlaneForSaturation(b, 0); }, kBlack, kBlack, kWhite, kWhite},
        {"value 1: hue across, saturation up", [](TBitmap24& b) { return FillPlaneForValue(b, 1); },
         kWhite, kWhite, kRed, kRed},
        {"value 0.5", [](TBitmap24& b) { return FillPlaneForValue(b, 0.5); },
         TRGBBytes{128, 128, 128}, TRGBBytes{128, 128, 128}, TRGBBytes{128, 0, 0},
         TRGBBytes{128, 0, 0}},
        {"red 200: green across, blue up", [](TBitmap24& b) { return FillPlaneForRed(b, 200); },
         TRGBBytes{200, 0, 0}, TRGBBytes{200, 255, 0}, TRGBBytes{200, 0, 255},
         TRGBBytes{200, 255, 255}},
        {"green 100: red across, blue up", [](TBitmap24& b) { return FillPlaneForGreen(b, 100); },
         TRGBBytes{0, 100, 0}, TRGBBytes{255, 100, 0}, TRGBBytes{0, 100, 255},
         TRGBBytes{255, 100, 255}},
        {"blue 50: red across, green up", [](TBitmap24& b) { return FillPlaneForBlue(b, 50); },
         TRGBBytes{0, 0, 50}, TRGBBytes{255, 0, 50}, TRGBBytes{0, 255, 50},
         TRGBBytes{255, 255, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TBitmap24 plane(256, 256);
        const PlaneBufferFor buffer(plane);
        ASSERT_TRUE(buffer.Ready);
        ASSERT_TRUE(c.Fill(plane));
        EXPECT_EQ(At(plane, 0, 0), c.BottomLeft);
        EXPECT_EQ(At(plane, 255, 0), c.BottomRight);
        EXPECT_EQ(At(plane, 0, 255), c.TopLeft);
        EXPECT_EQ(At(plane, 255, 255), c.TopRight);
    }
}

TEST(PlaneFill, EveryPixelOfAnRGBPlaneHoldsItsCoordinates) {
    TBitmap24 plane(256, 256);
    const PlaneBufferFor buffer(plane);
    ASSERT_TRUE(buffer.Ready);
    ASSERT_TRUE(FillPlaneForRed(plane, 17));
    int wrong = 0;
    for (int yUp = 0; yUp < 256; ++yUp)
        for (int x = 0; x < 256; ++x)
            if (!(At(plane, x, yUp) ==
                  TRGBBytes{17, static_cast<uint8_t>(x), static_cast<uint8_t>(yUp)}))
                ++wrong;
    EXPECT_EQ(wrong, 0);
}

TEST(PlaneFill, EveryPixelOfAnHSVPlaneIsTheHSVConversionOfItsPlace) {
    enum Plane { Hue, Saturation, Value };
    for (const Plane plane : {Hue, Saturation, Value}) {
        for (const double fixed : {0.0, 0.1, 1.0 / 6, 0.5, 0.77, 1.0}) {
            SCOPED_TRACE(testing::Message() << "plane " << plane << ", fixed " << fixed);
            TBitmap24 picture(256, 256);
            const PlaneBufferFor buffer(picture);
            ASSERT_TRUE(buffer.Ready);
            ASSERT_TRUE(plane == Hue          ? FillPlaneForHue(picture, fixed)
                        : plane == Saturation ? FillPlaneForSaturation(picture, fixed)
                                              : FillPlaneForValue(picture, fixed));
            int wrong = 0;
            for (int yUp = 0; yUp < 256; ++yUp) {
                for (int x = 0; x < 256; ++x) {
                    const double across = x / 255.0;
                    const double up = yUp / 255.0;
                    const TRGBBytes expected = plane == Hue ? HSVToRGBBytes(fixed, across, up)
                                               : plane == Saturation
                                                   ? HSVToRGBBytes(across, fixed, up)
                                                   : HSVToRGBBytes(across, up, fixed);
                    if (!(At(picture, x, yUp) == expected))
                        ++wrong;
                }
            }
            EXPECT_EQ(wrong, 0);
        }
    }
}

TEST(PlaneFill, RefillsTheSamePictureWithANewFixedComponent) {
    TBitmap24 plane(256, 256);
    const PlaneBufferFor buffer(plane);
    ASSERT_TRUE(buffer.Ready);
    ASSERT_TRUE(FillPlaneForBlue(plane, 0));
    ASSERT_TRUE(FillPlaneForBlue(plane, 255));
    EXPECT_EQ(At(plane, 10, 20), (TRGBBytes{10, 20, 255}));
}

TEST(PlaneFill, ATallerPictureHasThePlaneAtItsBottom) {
    TBitmap24 plane(300, 280);
    const PlaneBufferFor buffer(plane);
    ASSERT_TRUE(buffer.Ready);
    ASSERT_TRUE(FillPlaneForGreen(plane, 9));
    EXPECT_EQ(plane.Pixel(0, 279), (TRGBBytes{0, 9, 0}));
    EXPECT_EQ(plane.Pixel(255, 24), (TRGBBytes{255, 9, 255}));
    EXPECT_EQ(plane.Pixel(299, 0), kBlack) << "outside the plane the picture stays";
}

TEST(PlaneBuffer, RefusesPicturesTooSmallForAPlane) {
    for (const auto& [width, height] : {std::pair{255, 256}, {256, 255}, {0, 0}, {32, 256}}) {
        SCOPED_TRACE(testing::Message() << width << 'x' << height);
        const TBitmap24 small(width, height);
        EXPECT_FALSE(BeginPlaneBuffer(small));
        EndPlaneBuffer();
    }
}

TEST(PlaneBuffer, FillsWithoutAPreparedBufferLeaveThePictureAlone) {
    TBitmap24 plane(256, 256);
    {
        const PlaneBufferFor buffer(plane);
        ASSERT_TRUE(buffer.Ready);
    }
    EXPECT_FALSE(FillPlaneForRed(plane, 255));
    EXPECT_FALSE(FillPlaneForHue(plane, 0));
    EXPECT_EQ(At(plane, 255, 255), kBlack);
}

TEST(Slider, HueSliderIsRedAtTheBottomAndAtTheTop) {
    TBitmap24 strip(32, 256);
    ASSERT_TRUE(FillHueSlider(strip, 1, 1));
    for (int x = 0; x < 32; ++x) {
        SCOPED_TRACE(x);
        EXPECT_EQ(At(strip, x, 0), kRed);
        EXPECT_EQ(At(strip, x, 255), kRed);
    }
    EXPECT_EQ(At(strip, 0, 85), (TRGBBytes{0, 255, 0})) << "a third of the way up is green";
    EXPECT_EQ(At(strip, 31, 170), (TRGBBytes{0, 0, 255})) << "two thirds up is blue";
}

TEST(Slider, EachRunsFromItsMinimumAtTheBottomToItsMaximumAtTheTop) {
    struct Case {
        const char* Name;
        std::function<bool(TBitmap24&)> Fill;
        TRGBBytes Bottom, Row100, Top;
    };
    const Case cases[] = {
        {"saturation at hue 0, value 1", [](TBitmap24& b) { return FillSaturationSlider(b, 0, 1); },
         kWhite, TRGBBytes{255, 155, 155}, kRed},
        {"value at hue 0, saturation 1", [](TBitmap24& b) { return FillValueSlider(b, 0, 1); },
         kBlack, TRGBBytes{100, 0, 0}, kRed},
        {"red at green 10, blue 20", [](TBitmap24& b) { return FillRedSlider(b, 10, 20); },
         TRGBBytes{0, 10, 20}, TRGBBytes{100, 10, 20}, TRGBBytes{255, 10, 20}},
        {"green at red 10, blue 20", [](TBitmap24& b) { return FillGreenSlider(b, 10, 20); },
         TRGBBytes{10, 0, 20}, TRGBBytes{10, 100, 20}, TRGBBytes{10, 255, 20}},
        {"blue at red 10, green 20", [](TBitmap24& b) { return FillBlueSlider(b, 10, 20); },
         TRGBBytes{10, 20, 0}, TRGBBytes{10, 20, 100}, TRGBBytes{10, 20, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TBitmap24 strip(32, 256);
        ASSERT_TRUE(c.Fill(strip));
        for (const int x : {0, 31}) {
            EXPECT_EQ(At(strip, x, 0), c.Bottom);
            EXPECT_EQ(At(strip, x, 100), c.Row100);
            EXPECT_EQ(At(strip, x, 255), c.Top);
        }
    }
}

TEST(Slider, WritesOnlyTheLeft32Columns) {
    TBitmap24 wide(40, 256);
    ASSERT_TRUE(FillRedSlider(wide, 255, 255));
    EXPECT_EQ(wide.Pixel(31, 0), kWhite);
    EXPECT_EQ(wide.Pixel(32, 0), kBlack);
}

TEST(Slider, RefusesPicturesSmallerThan32By256) {
    for (const auto& [width, height] : {std::pair{31, 256}, {32, 255}, {0, 0}}) {
        SCOPED_TRACE(testing::Message() << width << 'x' << height);
        TBitmap24 small(width, height);
        EXPECT_FALSE(FillHueSlider(small, 1, 1));
        EXPECT_FALSE(FillBlueSlider(small, 1, 1));
    }
}

} // namespace
