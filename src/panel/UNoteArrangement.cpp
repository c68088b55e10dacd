#include "UNoteArrangement.h"

#include "UNoteSnapping.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int64_t Int32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t Int32Max = std::numeric_limits<int32_t>::max();

int32_t Clamped(int64_t value) {
    return static_cast<int32_t>(std::clamp(value, Int32Min, Int32Max));
}

// The block of `columns` x `rows` notes, centred on the notes' bounds and then snapped.
void ArrangeBlock(std::vector<TNotePlace>& notes, int32_t columns, int32_t rows, bool snap,
                  int32_t gridX, int32_t gridY) {
    const int64_t width = int64_t{ArrangePitch} * columns + 1;
    const int64_t height = int64_t{ArrangePitch} * rows + 1;
    const TNotesBounds bounds = GetNotesBounds(notes);
    // Integer division truncates toward zero, also for negative sums.
    int32_t left = Clamped((int64_t{bounds.MinLeft} + bounds.MaxRight - width) / 2);
    int32_t top = Clamped((int64_t{bounds.MinTop} + bounds.MaxBottom - height) / 2);
    if (snap) {
        left = RoundToGrid(left, gridX);
        top = RoundToGrid(top, gridY);
    }
    PlaceNotes(notes, left, top, columns);
}

} // namespace

int32_t RoundToGrid(int32_t value, int32_t spacing) {
    if (spacing < 1)
        return value;
    int64_t result = NearestGridLine(value, spacing);
    // The line beyond the coordinate range gives way to the last one inside it.
    if (result > Int32Max)
        result -= spacing;
    else if (result < Int32Min)
        result += spacing;
    return static_cast<int32_t>(result);
}

TNotesBounds GetNotesBounds(const std::vector<TNotePlace>& notes) {
    TNotesBounds bounds{2147483647, 2147483647, -2147483647, -2147483647};
    for (const TNotePlace& note : notes) {
        bounds.MinLeft = std::min(bounds.MinLeft, note.Left);
        bounds.MinTop = std::min(bounds.MinTop, note.Top);
        bounds.MaxRight = std::max(bounds.MaxRight, Clamped(int64_t{note.Left} + ArrangePitch));
        bounds.MaxBottom = std::max(bounds.MaxBottom, Clamped(int64_t{note.Top} + ArrangePitch));
    }
    return bounds;
}

void PlaceNotes(std::vector<TNotePlace>& notes, int32_t left, int32_t top, int32_t columns) {
    if (columns < 1)
        return;
    for (size_t i = 0; i < notes.size(); ++i) {
        const auto index = static_cast<int64_t>(i);
        notes[i].Left = Clamped(left + index % columns * ArrangePitch);
        notes[i].Top = Clamped(top + index / columns * ArrangePitch);
    }
}

int32_t ClusterColumns(int32_t count) {
    if (count < 1)
        return 0;
    // The smallest c with c * c >= count, which is the integer part of sqrt(count - 1) + 1,
    // without trusting a floating-point root near perfect squares.
    auto columns = static_cast<int64_t>(std::sqrt(static_cast<double>(count)));
    while (columns * columns < count)
        ++columns;
    while (columns > 1 && (columns - 1) * (columns - 1) >= count)
        --columns;
    return static_cast<int32_t>(columns);
}

int32_t ClusterRows(int32_t count) {
    if (count < 1)
        return 0;
    const int32_t columns = ClusterColumns(count);
    return (count + columns - 1) / columns;
}

void ArrangeInCluster(std::vector<TNotePlace>& notes, bool snap, int32_t gridX, int32_t gridY) {
    if (notes.empty())
        return;
    const auto count = static_cast<int32_t>(notes.size());
    ArrangeBlock(notes, ClusterColumns(count), ClusterRows(count), snap, gridX, gridY);
}

void ArrangeHorizontally(std::vector<TNotePlace>& notes, bool snap, int32_t gridX, int32_t gridY) {
    if (notes.empty())
        return;
    ArrangeBlock(notes, static_cast<int32_t>(notes.size()), 1, snap, gridX, gridY);
}

void ArrangeVertically(std::vector<TNotePlace>& notes, bool snap, int32_t gridX, int32_t gridY) {
    if (notes.empty())
        return;
    ArrangeBlock(notes, 1, static_cast<int32_t>(notes.size()), snap, gridX, gridY);
}
