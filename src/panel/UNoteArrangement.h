#pragma once

#include <cstdint>
#include <vector>

// Gathering rolled-up notes into a compact block. A rolled-up note is a 17 x 17 square; the
// block puts them on a 16-pixel lattice so that neighbours share their border line.

constexpr int32_t ArrangePitch = 16;

// The top-left corner of one rolled-up note on the screen.
struct TNotePlace {
    int32_t Left = 0;
    int32_t Top = 0;
    bool operator==(const TNotePlace&) const = default;
};

// The box that holds the notes, each counted as a 16 x 16 square whatever its real size. With
// no notes the minimums stay at 2147483647 and the maximums at -2147483647.
struct TNotesBounds {
    int32_t MinLeft = 0;
    int32_t MinTop = 0;
    int32_t MaxRight = 0;
    int32_t MaxBottom = 0;
    bool operator==(const TNotesBounds&) const = default;
};

// The nearest multiple of the spacing, an exact half going to the even multiple. A spacing below
// 1 leaves the value as it is; a multiple beyond the 32-bit range gives the nearest one inside.
int32_t RoundToGrid(int32_t value, int32_t spacing);

TNotesBounds GetNotesBounds(const std::vector<TNotePlace>& notes);

// Fills rows of `columns` notes from left to right, and the rows from top to bottom, starting
// at (left, top). Places that would leave the 32-bit range stop at its edge.
void PlaceNotes(std::vector<TNotePlace>& notes, int32_t left, int32_t top, int32_t columns);

// The columns and rows of the near-square block that holds `count` notes.
int32_t ClusterColumns(int32_t count);
int32_t ClusterRows(int32_t count);

// The notes, in their order, become a block centred on the box around their current places:
// near-square, one row or one column. With `snap` the block's corner goes to the grid.
void ArrangeInCluster(std::vector<TNotePlace>& notes, bool snap, int32_t gridX, int32_t gridY);
void ArrangeHorizontally(std::vector<TNotePlace>& notes, bool snap, int32_t gridX, int32_t gridY);
void ArrangeVertically(std::vector<TNotePlace>& notes, bool snap, int32_t gridX, int32_t gridY);
