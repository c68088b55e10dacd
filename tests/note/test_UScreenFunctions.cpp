#include "UScreenFunctions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// A 1920 x 1080 primary monitor with a 40-pixel taskbar at the bottom and a 1280 x 1024
// monitor to its right without one.
const std::vector<TMonitor> kSideBySide = {
    {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
    {{1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}},
};

// A monitor left of and above the primary one, with a panel along its left edge.
const std::vector<TMonitor> kNegative = {
    {{0, 0, 1024, 768}, {0, 0, 1024, 738}},
    {{-1280, -200, 0, 824}, {-1232, -200, 0, 824}},
};

// Two equal monitors; the first has a 200-pixel dock along its right edge.
const std::vector<TMonitor> kRightDock = {
    {{0, 0, 1000, 1000}, {0, 0, 800, 1000}},
    {{1000, 0, 2000, 1000}, {1000, 0, 2000, 1000}},
};

const std::vector<TMonitor> kNone;

TRect Box(int32_t left, int32_t top, int32_t width, int32_t height) {
    return {left, top, left + width, top + height};
}

} // namespace

TEST(PointInBox, LastColumnAndRowInsideOnePastOutside) {
    const struct {
        int32_t x, y;
        bool inside;
    } rows[] = {
        {10, 20, true}, {109, 69, true}, {110, 20, false}, {10, 70, false},
        {9, 20, false}, {10, 19, false}, {60, 45, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
        EXPECT_EQ(PointInBox(row.x, row.y, 10, 20, 100, 50), row.inside);
    }
    EXPECT_FALSE(PointInBox(10, 20, 10, 20, 0, 0)) << "an empty box holds no point";
    EXPECT_TRUE(PointInBox(2000000000, 5, 100, 0, kMax, 10)) << "right edge beyond 32 bits";
}

TEST(PointInRect, RightAndBottomCoordinatesCountAsInside) {
    const TRect rect{10, 20, 110, 70};
    EXPECT_TRUE(PointInRect(110, 70, rect));
    EXPECT_TRUE(PointInRect(10, 20, rect));
    EXPECT_FALSE(PointInRect(111, 70, rect));
    EXPECT_FALSE(PointInRect(110, 71, rect));
    EXPECT_FALSE(PointInRect(9, 20, rect));
    EXPECT_FALSE(PointInRect(10, 19, rect));
}

TEST(PointOnScreen, WorkAreasOfAllMonitors) {
    const struct {
        const char* name;
        const std::vector<TMonitor>& monitors;
        int32_t x, y;
        bool on;
    } rows[] = {
        {"one past the last column of the work area", kNegative, 1024, 500, true},
        {"two past the last column", kNegative, 1025, 500, false},
        {"bottom coordinate of the work area", kSideBySide, 100, 1040, true},
        {"on the taskbar", kSideBySide, 100, 1041, false},
        {"second monitor", kSideBySide, 3000, 1000, true},
        {"one past the second monitor's right coordinate", kSideBySide, 3201, 0, false},
        {"right monitor below its bottom coordinate", kSideBySide, 2500, 1030, false},
        {"negative monitor's work area", kNegative, -1232, -200, true},
        {"negative monitor's left panel", kNegative, -1233, 0, false},
        {"above the primary, beside the negative monitor", kNegative, 10, -1, false},
        {"no monitors", kNone, 0, 0, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(PointOnScreen(row.monitors, row.x, row.y), row.on);
    }
}

TEST(RectOnScreen, AllFourCornersOnSomeWorkArea) {
    const struct {
        const char* name;
        const std::vector<TMonitor>& monitors;
        int32_t left, top, width, height;
        bool on;
    } rows[] = {
        {"straddling both monitors", kSideBySide, 1800, 100, 300, 200, true},
        {"last column one past the work area counts as inside", kSideBySide, 0, 0, 3201, 1025,
         true},
        {"two past the work area", kSideBySide, 0, 0, 3202, 1025, false},
        {"bottom-left corner on the taskbar", kSideBySide, 100, 900, 200, 142, false},
        {"bottom-right corner below the right monitor", kSideBySide, 1800, 900, 300, 130, false},
        {"on the negative monitor", kNegative, -1000, -150, 300, 200, true},
        {"overlapping the negative monitor's panel", kNegative, -1240, 0, 300, 200, false},
        {"width beyond 32 bits", kSideBySide, 100, 100, kMax, 10, false},
        {"no monitors", kNone, 0, 0, 10, 10, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RectOnScreen(row.monitors, row.left, row.top, row.width, row.height), row.on);
    }
}

TEST(NearestMonitor, LargestOverlapThenSmallestDistanceTiesToTheEarlier) {
    const struct {
        const char* name;
        const std::vector<TMonitor>& monitors;
        TRect window;
        int expected;
    } rows[] = {
        {"mostly on the second monitor", kSideBySide, Box(1900, 100, 300, 200), 1},
        {"mostly on the first monitor", kSideBySide, Box(1700, 100, 300, 200), 0},
        {"equal overlap goes to the earlier", kSideBySide, Box(1820, 100, 200, 200), 0},
        {"overlap wins over an earlier monitor it does not touch", kNegative,
         Box(-300, 100, 200, 100), 1},
        {"overlap counts the bounds, not the work area", kRightDock, Box(750, 0, 400, 100), 0},
        {"off screen to the right, nearest is the second", kSideBySide, Box(4000, 500, 100, 100),
         1},
        {"off screen below the primary's bottom and the right monitor", kSideBySide,
         Box(1500, 2000, 100, 100), 0},
        {"off screen far left and up", kNegative, Box(-5000, -5000, 100, 100), 1},
        {"equal distance goes to the earlier", kRightDock, Box(900, 1100, 200, 10), 0},
        {"far beyond 32-bit sums", kNegative, Box(kMax - 10, kMax - 10, 10, 10), 0},
        {"far negative", kNegative, Box(kMin, kMin, 10, 10), 1},
        {"empty list", kNone, Box(0, 0, 10, 10), -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(NearestMonitor(row.monitors, row.window), row.expected);
    }
}

TEST(MoveOntoScreen, KeepsSizeAndShiftsIntoTheNearestWorkArea) {
    const struct {
        const char* name;
        const std::vector<TMonitor>& monitors;
        TRect window;
        TPoint expected;
    } rows[] = {
        {"already inside stays", kSideBySide, Box(100, 100, 200, 150), {100, 100}},
        {"50 pixels over the right edge moves 50 left",
         kSideBySide,
         Box(3050, 100, 200, 150),
         {3000, 100}},
        {"hanging over the taskbar moves up", kSideBySide, Box(100, 1000, 200, 150), {100, 890}},
        {"bigger than the work area aligns left and top",
         kSideBySide,
         Box(500, 300, 2500, 1500),
         {0, 0}},
        {"bigger than a work area with a left panel aligns to the panel",
         kNegative,
         Box(-1300, -300, 1400, 1200),
         {-1232, -200}},
        {"left of the leftmost work area", kNegative, Box(-2000, 100, 200, 100), {-1232, 100}},
        {"above the top", kSideBySide, Box(2000, -400, 200, 100), {2000, 0}},
        {"off to the right of both, onto the nearer",
         kSideBySide,
         Box(4000, 500, 300, 200),
         {2900, 500}},
        {"at the end of the coordinate range",
         kNegative,
         Box(kMax - 300, kMax - 200, 300, 200),
         {724, 538}},
        {"wider than the 32-bit range", kNegative, TRect{kMin, kMin, kMax, kMax}, {-1232, -200}},
        {"no monitors keeps its place", kNone, Box(-5000, 7000, 10, 10), {-5000, 7000}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MoveOntoScreen(row.monitors, row.window), row.expected);
    }
}

TEST(MoveOntoScreen, NoteOfARemovedMonitorLandsOnTheNearestRemainingOne) {
    // Three monitors in a row; the right one is unplugged while a note sits on it.
    const std::vector<TMonitor> before = {
        {{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}},
        {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
        {{1920, 0, 3840, 1080}, {1920, 0, 3840, 1080}},
    };
    const std::vector<TMonitor> after(before.begin(), before.begin() + 2);
    const TRect note = Box(3000, 950, 300, 120);
    ASSERT_TRUE(RectOnScreen(before, note.Left, note.Top, note.Width(), note.Height()));
    ASSERT_FALSE(RectOnScreen(after, note.Left, note.Top, note.Width(), note.Height()));

    const TPoint moved = MoveOntoScreen(after, note);
    EXPECT_EQ(moved, (TPoint{1620, 920}));
    EXPECT_TRUE(RectOnScreen(after, moved.X, moved.Y, note.Width(), note.Height()));
}
