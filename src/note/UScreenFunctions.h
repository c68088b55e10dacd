#pragma once

#include "UPlatform.h"

#include <cstdint>
#include <vector>

// Whether windows are visible on some monitor, over a plain list of monitors in the platform's
// order. Rectangles have exclusive right and bottom coordinates.

// left <= x <= left + width - 1 and top <= y <= top + height - 1.
bool PointInBox(int32_t x, int32_t y, int32_t left, int32_t top, int32_t width, int32_t height);
// left <= x <= right and top <= y <= bottom: the right and bottom coordinates count as inside.
bool PointInRect(int32_t x, int32_t y, const TRect& rect);
// PointInRect for the work area of at least one monitor.
bool PointOnScreen(const std::vector<TMonitor>& monitors, int32_t x, int32_t y);
// PointOnScreen for all four corners (left, top), (left + width - 1, top), ... ; the corners may
// lie on different monitors.
bool RectOnScreen(const std::vector<TMonitor>& monitors, int32_t left, int32_t top, int32_t width,
                  int32_t height);

// The monitor nearest to a window rectangle: the one its rectangle overlaps most, else the one
// closest to it. -1 only when there is no monitor at all.
int NearestMonitor(const std::vector<TMonitor>& monitors, const TRect& window);

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TPoint&) const = default;
};

// The top-left corner that moves the window, keeping its size, into the work area of the
// monitor nearest to it: overhangs to the right and bottom are shifted back, then the left and
// top edges are kept inside. The window's own place when there is no monitor.
TPoint MoveOntoScreen(const std::vector<TMonitor>& monitors, const TRect& window);
