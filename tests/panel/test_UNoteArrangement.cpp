#include "UNoteArrangement.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using TPlaces = std::vector<TNotePlace>;

const TPlaces FiveNotes{{100, 100}, {300, 120}, {200, 400}, {150, 250}, {500, 300}};

TEST(NoteArrangement, ClusterColumnsAndRows) {
    const struct {
        int32_t count, columns, rows;
    } cases[] = {{1, 1, 1},  {2, 2, 1}, {3, 2, 2},      {4, 2, 2},      {5, 3, 2},     {6, 3, 2},
                 {7, 3, 3},  {9, 3, 3}, {10, 4, 3},     {17, 5, 4},     {16, 4, 4},    {25, 5, 5},
                 {26, 6, 5}, {0, 0, 0}, {1023, 32, 32}, {1024, 32, 32}, {1025, 33, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(ClusterColumns(c.count), c.columns);
        EXPECT_EQ(ClusterRows(c.count), c.rows);
    }
}

TEST(NoteArrangement, BoundsCountEveryNoteAsSixteenSquare) {
    EXPECT_EQ(GetNotesBounds(FiveNotes), (TNotesBounds{100, 100, 516, 416}));
    EXPECT_EQ(GetNotesBounds({{-40, 7}}), (TNotesBounds{-40, 7, -24, 23}));
    EXPECT_EQ(GetNotesBounds({}), (TNotesBounds{2147483647, 2147483647, -2147483647, -2147483647}));
}

TEST(NoteArrangement, RoundToGridGoesToNearestLineHalvesToEven) {
    const struct {
        int32_t value, spacing, expected;
    } cases[] = {
        {283, 8, 280},
        {284, 8, 288},
        {276, 8, 272},
        {280, 8, 280},
        {-4, 8, 0},
        {-12, 8, -16},
        {-13, 8, -16},
        {241, 8, 240},
        {5, 10, 0},
        {15, 10, 20},
        {100, 0, 100},
        {100, -3, 100},
        {7, 1, 7},
        // the nearest line beyond the 32-bit range is replaced by the nearest one inside it
        {2147483647, 1000, 2147483000},
        {-2147483647 - 1, 1000, -2147483000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " on " << c.spacing);
        EXPECT_EQ(RoundToGrid(c.value, c.spacing), c.expected);
    }
}

TEST(NoteArrangement, PlaceNotesFillsRowsLeftToRight) {
    TPlaces notes(7);
    PlaceNotes(notes, -10, 50, 3);
    EXPECT_EQ(notes,
              (TPlaces{{-10, 50}, {6, 50}, {22, 50}, {-10, 66}, {6, 66}, {22, 66}, {-10, 82}}));
}

TEST(NoteArrangement, FiveNotesWorkedExample) {
    TPlaces cluster = FiveNotes;
    ArrangeInCluster(cluster, false, 8, 8);
    EXPECT_EQ(cluster, (TPlaces{{283, 241}, {299, 241}, {315, 241}, {283, 257}, {299, 257}}));

    TPlaces snapped = FiveNotes;
    ArrangeInCluster(snapped, true, 8, 8);
    EXPECT_EQ(snapped, (TPlaces{{280, 240}, {296, 240}, {312, 240}, {280, 256}, {296, 256}}));

    // each axis snaps to its own spacing
    TPlaces uneven = FiveNotes;
    ArrangeInCluster(uneven, true, 100, 7);
    EXPECT_EQ(uneven.front(), (TNotePlace{300, 238}));
}

TEST(NoteArrangement, RowAndColumnKeepListOrder) {
    // one row: W = 81, H = 17, so (616 - 81) div 2 = 267 and (516 - 17) div 2 = 249
    TPlaces row = FiveNotes;
    ArrangeHorizontally(row, false, 8, 8);
    EXPECT_EQ(row, (TPlaces{{267, 249}, {283, 249}, {299, 249}, {315, 249}, {331, 249}}));

    // one column: W = 17, H = 81, so (616 - 17) div 2 = 299 and (516 - 81) div 2 = 217
    TPlaces column = FiveNotes;
    ArrangeVertically(column, false, 8, 8);
    EXPECT_EQ(column, (TPlaces{{299, 217}, {299, 233}, {299, 249}, {299, 265}, {299, 281}}));

    TPlaces snappedRow = FiveNotes;
    ArrangeHorizontally(snappedRow, true, 10, 10);
    EXPECT_EQ(snappedRow.front(), (TNotePlace{270, 250}));
}

TEST(NoteArrangement, SmallAndEdgeCases) {
    using TArrange = void (*)(TPlaces&, bool, int32_t, int32_t);
    const struct {
        const char* name;
        TArrange arrange;
    } ways[] = {{"cluster", ArrangeInCluster},
                {"horizontal", ArrangeHorizontally},
                {"vertical", ArrangeVertically}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        TPlaces single{{100, 100}};
        way.arrange(single, false, 8, 8);
        EXPECT_EQ(single, (TPlaces{{99, 99}})) << "(100 + 116 - 17) div 2";

        // (-3 + 13 - 17) = -7, and -7 div 2 is -3, not -4
        TPlaces negative{{-3, -3}};
        way.arrange(negative, false, 8, 8);
        EXPECT_EQ(negative, (TPlaces{{-3, -3}}));

        TPlaces none;
        way.arrange(none, true, 8, 8);
        EXPECT_TRUE(none.empty());

        // a spacing that is no spacing leaves the block where it is centred
        TPlaces noGrid{{100, 100}};
        way.arrange(noGrid, true, 0, -1);
        EXPECT_EQ(noGrid, (TPlaces{{99, 99}}));
    }

    TPlaces two{{0, 0}, {200, 0}};
    ArrangeInCluster(two, false, 8, 8);
    EXPECT_EQ(two[0].Top, two[1].Top) << "two notes make one row";
    EXPECT_EQ(two[1].Left - two[0].Left, 16);
}

TEST(NoteArrangement, ArrangedBlockCreepsUpLeftUnlessSnapped) {
    TPlaces block = FiveNotes;
    ArrangeInCluster(block, false, 8, 8);
    TPlaces again = block;
    ArrangeInCluster(again, false, 8, 8);
    for (size_t i = 0; i < block.size(); ++i)
        EXPECT_EQ(again[i], (TNotePlace{block[i].Left - 1, block[i].Top - 1})) << i;

    TPlaces snapped = FiveNotes;
    ArrangeInCluster(snapped, true, 8, 8);
    TPlaces snappedAgain = snapped;
    ArrangeInCluster(snappedAgain, true, 8, 8);
    EXPECT_EQ(snappedAgain, snapped);
}

TEST(NoteArrangement, FarCoordinatesStayInRange) {
    constexpr int32_t Max = std::numeric_limits<int32_t>::max();
    constexpr int32_t Min = std::numeric_limits<int32_t>::min();
    TPlaces far{{Max, Max}, {Max, Max}, {Max, Max}};
    ArrangeHorizontally(far, false, 8, 8);
    // (2 * Max - 49) div 2 = Max - 25; the third note would lie past the range
    EXPECT_EQ(far, (TPlaces{{Max - 25, Max - 9}, {Max - 9, Max - 9}, {Max, Max - 9}}));

    TPlaces low{{Min, Min}};
    ArrangeInCluster(low, true, 8, 8);
    EXPECT_EQ(low, (TPlaces{{Min, Min}}));
}

} // namespace
