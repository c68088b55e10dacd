#include "UNoteSnapping.h"

#include "UTBoxController.h"
#include "qzScreenSnapper.h"

#include <algorithm>

namespace {

// Division rounding toward minus infinity, for negative coordinates too.
int64_t FloorDiv(int64_t value, int64_t divisor) {
    const int64_t quotient = value / divisor;
    return value % divisor != 0 && value < 0 ? quotient - 1 : quotient;
}

} // namespace

int64_t NearestGridLine(int64_t value, int32_t spacing) {
    if (spacing < 1)
        return value;
    int64_t lines = FloorDiv(value, spacing);
    const int64_t rest = value - lines * spacing; // 0 <= rest < spacing
    if (2 * rest > spacing || (2 * rest == spacing && lines % 2 != 0))
        ++lines;
    return lines * spacing;
}

int32_t GridPosition(int64_t value, int32_t spacing) {
    return ClampToInt32(NearestGridLine(value, spacing));
}

int32_t GridLength(int64_t value, int32_t spacing) {
    if (spacing < 1)
        return ClampToInt32(value);
    return ClampToInt32(value / spacing * spacing + 1);
}

TPoint SnappedPosition(const TSnapTargets& targets, int32_t id, int64_t left, int64_t top,
                       int32_t width, int32_t height) {
    const TSnapSettings& settings = targets.Settings;
    if (settings.Grid)
        return {GridPosition(left, settings.GridX), GridPosition(top, settings.GridY)};
    int32_t x = ClampToInt32(left);
    int32_t y = ClampToInt32(top);
    if (settings.Notes)
        targets.Notes.SnapPosition(id, x, y, width, height);
    if (settings.Edges)
        targets.Screen.SnapPosition(x, y, width, height);
    return {x, y};
}

TSize SnappedSize(const TSnapTargets& targets, int32_t id, int32_t left, int32_t top, int64_t width,
                  int64_t height) {
    const TSnapSettings& settings = targets.Settings;
    int32_t w = 0;
    int32_t h = 0;
    if (settings.Grid) {
        w = GridLength(width, settings.GridX);
        h = GridLength(height, settings.GridY);
    } else {
        w = ClampToInt32(width);
        h = ClampToInt32(height);
        if (settings.Notes)
            targets.Notes.SnapSize(id, left, top, w, h);
        if (settings.Edges)
            targets.Screen.SnapSize(left, top, w, h);
    }
    return {std::max(w, MinNoteWidth), std::max(h, MinNoteHeight)};
}
