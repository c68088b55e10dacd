#pragma once

#include "UPlatform.h"

#include <cstdint>
#include <vector>

// A coordinate computed in 64 bits, brought back into the 32-bit range.
inline int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(value < INT32_MIN   ? INT32_MIN
                                : value > INT32_MAX ? INT32_MAX
                                                    : value);
}

// Pulls a moving or resized window to the edges of the monitors. The edges are whole lines:
// an edge of one monitor attracts a window wherever it is, also on another monitor.
class TScreenSnapper {
public:
    static constexpr int32_t SnapDistance = 8;

    // Rebuilds the edge lists from the monitors: each monitor's bounds, then its work area
    // where that differs.
    void Refresh(const std::vector<TMonitor>& monitors);
    static bool IsNear(int64_t a, int64_t b) { return (a > b ? a - b : b - a) <= SnapDistance; }

    // Every near edge replaces the value in turn, left, top, right then bottom edges, so the
    // last near edge wins and the right and bottom passes win over the left and top ones.
    void SnapPosition(int32_t& x, int32_t& y, int32_t width, int32_t height) const;
    // The right and bottom edges of a window being resized.
    void SnapSize(int32_t left, int32_t top, int32_t& width, int32_t& height) const;

    const std::vector<int32_t>& LeftEdges() const { return LeftEdges_; }
    const std::vector<int32_t>& TopEdges() const { return TopEdges_; }
    const std::vector<int32_t>& RightEdges() const { return RightEdges_; }
    const std::vector<int32_t>& BottomEdges() const { return BottomEdges_; }

private:
    std::vector<int32_t> LeftEdges_;
    std::vector<int32_t> TopEdges_;
    std::vector<int32_t> RightEdges_;
    std::vector<int32_t> BottomEdges_;
};
