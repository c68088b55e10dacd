#include "UScreenFunctions.h"

#include <algorithm>
#include <cstdint>

namespace {

// Corners and edges such as left + width - 1 can leave the 32-bit range; all sums are done in
// 64 bits so that a far-off window is simply off screen.
bool InRect(int64_t x, int64_t y, const TRect& rect) {
    return rect.Left <= x && x <= rect.Right && rect.Top <= y && y <= rect.Bottom;
}

bool OnScreen(const std::vector<TMonitor>& monitors, int64_t x, int64_t y) {
    return std::any_of(monitors.begin(), monitors.end(),
                       [x, y](const TMonitor& monitor) { return InRect(x, y, monitor.WorkArea); });
}

// Length of the overlap of [a0, a1) and [b0, b1); 0 when they do not overlap.
uint64_t Overlap(int32_t a0, int32_t a1, int32_t b0, int32_t b1) {
    const int64_t length = int64_t{std::min(a1, b1)} - int64_t{std::max(a0, b0)};
    return length > 0 ? static_cast<uint64_t>(length) : 0;
}

// Gap between [a0, a1) and [b0, b1); 0 when they touch or overlap.
uint64_t Gap(int32_t a0, int32_t a1, int32_t b0, int32_t b1) {
    const int64_t gap = std::max({int64_t{b0} - a1, int64_t{a0} - b1, int64_t{0}});
    return static_cast<uint64_t>(gap);
}

} // namespace

bool PointInBox(int32_t x, int32_t y, int32_t left, int32_t top, int32_t width, int32_t height) {
    return left <= x && int64_t{x} <= int64_t{left} + width - 1 && top <= y &&
           int64_t{y} <= int64_t{top} + height - 1;
}

bool PointInRect(int32_t x, int32_t y, const TRect& rect) {
    return InRect(x, y, rect);
}

bool PointOnScreen(const std::vector<TMonitor>& monitors, int32_t x, int32_t y) {
    return OnScreen(monitors, x, y);
}

bool RectOnScreen(const std::vector<TMonitor>& monitors, int32_t left, int32_t top, int32_t width,
                  int32_t height) {
    const int64_t right = int64_t{left} + width - 1;
    const int64_t bottom = int64_t{top} + height - 1;
    return OnScreen(monitors, left, top) && OnScreen(monitors, right, top) &&
           OnScreen(monitors, left, bottom) && OnScreen(monitors, right, bottom);
}

int NearestMonitor(const std::vector<TMonitor>& monitors, const TRect& window) {
    // Areas and squared distances of 32-bit rectangles need up to 65 bits.
    using Wide = unsigned __int128;
    int best = -1;
    Wide bestArea = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const TRect& bounds = monitors[i].Bounds;
        const Wide area = Wide{Overlap(window.Left, window.Right, bounds.Left, bounds.Right)} *
                          Overlap(window.Top, window.Bottom, bounds.Top, bounds.Bottom);
        if (area > bestArea) {
            bestArea = area;
            best = static_cast<int>(i);
        }
    }
    if (best >= 0)
        return best;

    Wide bestDistance = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const TRect& bounds = monitors[i].Bounds;
        const Wide dx = Gap(window.Left, window.Right, bounds.Left, bounds.Right);
        const Wide dy = Gap(window.Top, window.Bottom, bounds.Top, bounds.Bottom);
        const Wide distance = dx * dx + dy * dy;
        if (best < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

TPoint MoveOntoScreen(const std::vector<TMonitor>& monitors, const TRect& window) {
    const int nearest = NearestMonitor(monitors, window);
    if (nearest < 0)
        return {window.Left, window.Top};
    const TRect& area = monitors[static_cast<size_t>(nearest)].WorkArea;

    int64_t left = window.Left;
    int64_t top = window.Top;
    if (window.Right > area.Right)
        left += int64_t{area.Right} - window.Right;
    if (left < area.Left)
        left = area.Left;
    if (window.Bottom > area.Bottom)
        top += int64_t{area.Bottom} - window.Bottom;
    if (top < area.Top)
        top = area.Top;
    // Either unchanged, or shifted to end at the work area's right edge but not before its
    // left edge: both stay in the 32-bit range.
    return {static_cast<int32_t>(left), static_cast<int32_t>(top)};
}
