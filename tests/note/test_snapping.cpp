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

} // namespace
