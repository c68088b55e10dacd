#include "UNoteSnapping.h"
#include "UTBoxController.h"
#include "qzScreenSnapper.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// Two 1920 x 1080 monitors side by side, the first with a 40-pixel taskbar at its bottom.
std::vector<TMonitor> TwoMonitors() {
    return {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
            {{1920, 0, 3840, 1080}, {1920, 0, 3840, 1080}}};
}

TScreenSnapper Snapper() {
    TScreenSnapper snapper;
    snapper.Refresh(TwoMonitors());
    return snapper;
}

class Registry : public IBoxRegistry {
public:
    int GetBoxCount() const override { return static_cast<int>(Boxes.size()); }
    TBox GetBox(int index) const override { return Boxes[static_cast<size_t>(index)]; }
    std::vector<TBox> Boxes;
};

TEST(TScreenSnapper, RefreshListsBoundsThenDifferingWorkAreas) {
    const TScreenSnapper snapper = Snapper();
    EXPECT_EQ(snapper.LeftEdges(), (std::vector<int32_t>{0, 1920}));
    EXPECT_EQ(snapper.RightEdges(), (std::vector<int32_t>{1920, 3840}));
    EXPECT_EQ(snapper.TopEdges(), (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(snapper.BottomEdges(), (std::vector<int32_t>{1080, 1040, 1080}));

    TScreenSnapper refreshed = snapper;
    refreshed.Refresh({{{0, 0, 800, 600}, {0, 0, 800, 600}}});
    EXPECT_EQ(refreshed.LeftEdges(), std::vector<int32_t>{0});
    EXPECT_EQ(refreshed.BottomEdges(), std::vector<int32_t>{600});
}

TEST(TScreenSnapper, SnapPositionPullsToNearEdgesLastPassWinning) {
    const TScreenSnapper snapper = Snapper();
    const struct {
        const char* what;
        int32_t x, y, width, height;
        int32_t wantX, wantY;
    } rows[] = {
        {"bottom 1045 rests on the taskbar", 500, 845, 100, 200, 500, 840},
        {"bottom 1048 still pulled to 1040", 500, 848, 100, 200, 500, 840},
        {"bottom 1049 near neither 1040 nor 1080", 500, 849, 100, 200, 500, 849},
        {"right edge 6 short is pulled flush", 1614, 300, 300, 200, 1620, 300},
        {"right edge 9 short stays", 1611, 300, 300, 200, 1611, 300},
        {"left edge 8 away is pulled", 8, 300, 300, 200, 0, 300},
        {"nearly screen-wide: the right pass wins", 3, 300, 1912, 200, 8, 300},
        {"an edge of the other monitor attracts too", 1925, 300, 300, 200, 1920, 300},
        {"far from every edge", 700, 400, 100, 100, 700, 400},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        int32_t x = row.x;
        int32_t y = row.y;
        snapper.SnapPosition(x, y, row.width, row.height);
        EXPECT_EQ(x, row.wantX);
        EXPECT_EQ(y, row.wantY);
    }
}

TEST(TScreenSnapper, SnapSizePullsRightAndBottomEdges) {
    const TScreenSnapper snapper = Snapper();
    int32_t width = 1415;
    int32_t height = 743;
    snapper.SnapSize(500, 300, width, height); // right 1915, bottom 1043
    EXPECT_EQ(width, 1420);
    EXPECT_EQ(height, 740);
    width = 1400;
    height = 600;
    snapper.SnapSize(500, 300, width, height);
    EXPECT_EQ(width, 1400);
    EXPECT_EQ(height, 600);
}

TEST(TScreenSnapper, ExtremeCoordinatesDoNotOverflow) {
    const TScreenSnapper snapper = Snapper();
    int32_t x = INT32_MAX;
    int32_t y = INT32_MIN;
    snapper.SnapPosition(x, y, INT32_MAX, INT32_MAX);
    EXPECT_EQ(x, INT32_MAX);
    int32_t width = INT32_MAX;
    int32_t height = INT32_MAX;
    snapper.SnapSize(INT32_MAX, INT32_MIN, width, height);
    EXPECT_EQ(width, INT32_MAX);
}

TEST(TBoxController, SnapPositionAgainstAnotherNote) {
    Registry registry;
    registry.Boxes = {{1, 100, 2000, 200, 50, false}}; // right 300, far from the mover's rows
    const TBoxController boxes(registry);
    const struct {
        const char* what;
        int32_t candidate;
        int32_t want;
    } rows[] = {
        {"outlines overlap at the other's last column", 303, 299},
        {"right edges aligned", 146, 150},
        {"left edges aligned", 96, 100},
        {"right edge at 304 is pulled to 300", 154, 150},
        {"last column on the other's first column", -52, -49},
        {"too far", 40, 40},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        int32_t x = row.candidate;
        int32_t y = 500;
        boxes.SnapPosition(2, x, y, 150, 100);
        EXPECT_EQ(x, row.want);
        EXPECT_EQ(y, 500);
    }
    // the moving note itself does not attract
    int32_t x = 96;
    int32_t y = 500;
    boxes.SnapPosition(1, x, y, 150, 100);
    EXPECT_EQ(x, 96);
    // nor does an empty registry
    Registry empty;
    TBoxController(empty).SnapPosition(2, x, y, 150, 100);
    EXPECT_EQ(x, 96);
}

TEST(TBoxController, SnapSizeAgainstAnotherNote) {
    Registry registry;
    registry.Boxes = {{1, 100, 2000, 200, 50, false}};
    const TBoxController boxes(registry);
    const struct {
        int32_t candidate;
        int32_t want;
    } rows[] = {{97, 101}, {303, 300}, {304, 304}, {296, 300}, {90, 90}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.candidate);
        int32_t width = row.candidate;
        int32_t height = 100;
        boxes.SnapSize(2, 0, 500, width, height);
        EXPECT_EQ(width, row.want);
        EXPECT_EQ(height, 100);
    }
    // the vertical tests work the same way
    int32_t width = 50;
    int32_t height = 1502; // bottom 2002, near the other's top 2000
    boxes.SnapSize(2, 0, 500, width, height);
    EXPECT_EQ(height, 1501);
}

TEST(Grid, PositionsGoToTheNearestLineHalvesToTheEvenOne) {
    const struct {
        int64_t candidate;
        int32_t spacing;
        int32_t want;
    } rows[] = {
        {13, 8, 16},
        {12, 8, 16},
        {20, 8, 16},
        {28, 8, 32},
        {11, 8, 8},
        {0, 8, 0},
        {-4, 8, 0},
        {-12, 8, -16},
        {-13, 8, -16},
        {-11, 8, -8},
        {7, 1, 7},
        {15, 10, 20},
        {25, 10, 20},
        {-5, 10, 0},
        {7, 0, 7},
        {7, -3, 7}, // spacings below 1 leave the value
        {int64_t{INT32_MAX} + 100, 8, INT32_MAX},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.candidate << " on " << row.spacing);
        EXPECT_EQ(GridPosition(row.candidate, row.spacing), row.want);
    }
}

TEST(Grid, LengthsAreWholeSpacingsPlusOne) {
    const struct {
        int64_t candidate;
        int32_t spacing;
        int32_t want;
    } rows[] = {{100, 8, 97}, {96, 8, 97}, {95, 8, 89}, {104, 8, 105}, {50, 1, 51}, {50, 0, 50}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.candidate << " on " << row.spacing);
        EXPECT_EQ(GridLength(row.candidate, row.spacing), row.want);
    }
}

// The procedures that a drag and a resize run, with another note and two monitors to snap to.
class Gesture : public ::testing::Test {
protected:
    Gesture() {
        registry.Boxes = {{1, 100, 2000, 200, 50, false}};
        screen.Refresh(TwoMonitors());
    }
    TPoint Move(int64_t left, int64_t top, int32_t width = 150, int32_t height = 100) const {
        return SnappedPosition({settings, boxes, screen}, 2, left, top, width, height);
    }
    TSize Resize(int32_t left, int32_t top, int64_t width, int64_t height) const {
        return SnappedSize({settings, boxes, screen}, 2, left, top, width, height);
    }

    Registry registry;
    TBoxController boxes{registry};
    TScreenSnapper screen;
    TSnapSettings settings{false, false, false, 8, 8};
};

TEST_F(Gesture, MoveUsesTheGridAloneOtherwiseNotesThenScreenEdges) {
    EXPECT_EQ(Move(303, 500), (TPoint{303, 500})) << "nothing on";

    settings.Notes = true;
    EXPECT_EQ(Move(303, 500), (TPoint{299, 500}));
    EXPECT_EQ(Move(146, 500), (TPoint{150, 500}));

    // A note pulled to the other note's left edge at 100 and near the screen's left edge at 0
    // too: the screen edge is applied last and wins.
    settings.Edges = true;
    EXPECT_EQ(Move(96, 500, 5, 100), (TPoint{100, 500})) << "only the note edge is near";
    registry.Boxes = {{1, 6, 2000, 200, 50, false}};
    EXPECT_EQ(Move(4, 500), (TPoint{0, 500})) << "the note pulls to 6, the screen back to 0";

    // With the grid on, neither notes nor edges count.
    settings.Grid = true;
    EXPECT_EQ(Move(4, 845), (TPoint{0, 848}));
    EXPECT_EQ(Move(13, 28), (TPoint{16, 32}));
    settings.GridX = 10;
    EXPECT_EQ(Move(15, -12), (TPoint{20, -16}));
}

TEST_F(Gesture, ResizeSnapsTheSameWayAndNeverGoesBelow64By36) {
    EXPECT_EQ(Resize(0, 500, 97, 100), (TSize{97, 100}));
    settings.Notes = true;
    EXPECT_EQ(Resize(0, 500, 97, 100), (TSize{101, 100}));
    EXPECT_EQ(Resize(0, 500, 303, 100), (TSize{300, 100}));
    EXPECT_EQ(Resize(0, 500, 304, 100), (TSize{304, 100}));

    // Edges after notes: a right edge near both the other note's (300) and the monitor's
    // (1920) is impossible, so check that the screen edge acts on what the notes left.
    settings.Edges = true;
    EXPECT_EQ(Resize(1700, 840, 215, 196), (TSize{220, 200}));

    settings.Grid = true;
    EXPECT_EQ(Resize(0, 500, 100, 303), (TSize{97, 297}));

    for (const bool grid : {false, true}) {
        settings.Grid = grid;
        SCOPED_TRACE(grid ? "grid" : "edges and notes");
        EXPECT_EQ(Resize(0, 500, -5000, 3), (TSize{64, 36}));
        EXPECT_EQ(Resize(0, 500, 63, 35), (TSize{64, 36}));
    }
}

} // namespace
