#include "qzScreenSnapper.h"

#include <cstdint>

namespace {

void AddEdge(std::vector<int32_t>& edges, int32_t bounds, int32_t workArea) {
    edges.push_back(bounds);
    if (workArea != bounds)
        edges.push_back(workArea);
}

} // namespace

void TScreenSnapper::Refresh(const std::vector<TMonitor>& monitors) {
    LeftEdges_.clear();
    TopEdges_.clear();
    RightEdges_.clear();
    BottomEdges_.clear();
    for (const TMonitor& monitor : monitors) {
        AddEdge(LeftEdges_, monitor.Bounds.Left, monitor.WorkArea.Left);
        AddEdge(RightEdges_, monitor.Bounds.Right, monitor.WorkArea.Right);
        AddEdge(TopEdges_, monitor.Bounds.Top, monitor.WorkArea.Top);
        AddEdge(BottomEdges_, monitor.Bounds.Bottom, monitor.WorkArea.Bottom);
    }
}

void TScreenSnapper::SnapPosition(int32_t& x, int32_t& y, int32_t width, int32_t height) const {
    for (const int32_t edge : LeftEdges_)
        if (IsNear(edge, x))
            x = edge;
    for (const int32_t edge : TopEdges_)
        if (IsNear(edge, y))
            y = edge;
    for (const int32_t edge : RightEdges_)
        if (IsNear(edge, int64_t{x} + width))
            x = ClampToInt32(int64_t{edge} - width);
    for (const int32_t edge : BottomEdges_)
        if (IsNear(edge, int64_t{y} + height))
            y = ClampToInt32(int64_t{edge} - height);
}

void TScreenSnapper::SnapSize(int32_t left, int32_t top, int32_t& width, int32_t& height) const {
    for (const int32_t edge : RightEdges_)
        if (IsNear(edge, int64_t{left} + width))
            width = ClampToInt32(int64_t{edge} - left);
    for (const int32_t edge : BottomEdges_)
        if (IsNear(edge, int64_t{top} + height))
            height = ClampToInt32(int64_t{edge} - top);
}
