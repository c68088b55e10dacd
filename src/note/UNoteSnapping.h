#pragma once

#include "UScreenFunctions.h"

#include <cstdint>

class TBoxController;
class TScreenSnapper;

// The smallest note that resizing leaves.
constexpr int32_t MinNoteWidth = 64;
constexpr int32_t MinNoteHeight = 36;

// The snapping aids in force for a gesture, as the control panel shows them.
struct TSnapSettings {
    bool Grid = false;
    bool Edges = true;
    bool Notes = false;
    int32_t GridX = 8; // whole pixels, at least 1
    int32_t GridY = 8;
};

// The nearest grid line, an exact half going to the even one. A spacing below 1 leaves the
// value as it is.
int64_t NearestGridLine(int64_t value, int32_t spacing);
// The same as a screen coordinate.
int32_t GridPosition(int64_t value, int32_t spacing);
// A length on the grid: whole spacings plus one, so that a window whose left edge lies on a grid
// line has its last column on one too.
int32_t GridLength(int64_t value, int32_t spacing);

// Everything one pointer move of a gesture snaps against.
struct TSnapTargets {
    const TSnapSettings& Settings;
    const TBoxController& Notes;
    const TScreenSnapper& Screen;
};

// Where a window dragged to (`left`, `top`) comes to rest: the grid alone when it is on,
// otherwise the other notes' edges and then the monitors' edges, which therefore win.
TPoint SnappedPosition(const TSnapTargets& targets, int32_t id, int64_t left, int64_t top,
                       int32_t width, int32_t height);

struct TSize {
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const TSize&) const = default;
};

// The size a window at (`left`, `top`) resized to `width` x `height` takes, snapped as a move
// is and never below the smallest note.
TSize SnappedSize(const TSnapTargets& targets, int32_t id, int32_t left, int32_t top, int64_t width,
                  int64_t height);
