#include "UTBoxController.h"

#include "qzScreenSnapper.h"

namespace {

// The four tests of one axis for a moving window at `start` of length `length` against the
// other window's sides `near` and `far` (one past its last pixel).
int32_t SnapStart(int32_t start, int32_t length, int64_t near, int64_t far) {
    int64_t value = start;
    if (TBoxController::IsNear(near, value))
        value = near;
    if (TBoxController::IsNear(near, value + length))
        value = near - length + 1;
    if (TBoxController::IsNear(far - 1, value))
        value = far - 1;
    if (TBoxController::IsNear(far, value + length))
        value = far - length;
    return ClampToInt32(value);
}

// The two tests of one axis for a window being resized from `start` to `length`.
int32_t SnapLength(int32_t start, int32_t length, int64_t near, int64_t far) {
    int64_t value = length;
    if (TBoxController::IsNear(near, start + value))
        value = near - start + 1;
    if (TBoxController::IsNear(far - 1, start + value))
        value = far - start;
    return ClampToInt32(value);
}

} // namespace

void TBoxController::SnapPosition(int32_t id, int32_t& x, int32_t& y, int32_t width,
                                  int32_t height) const {
    const int count = GetBoxCount();
    for (int i = 0; i < count; ++i) {
        const TBox box = GetBox(i);
        if (box.Id == id)
            continue;
        x = SnapStart(x, width, box.Left, int64_t{box.Left} + box.Width);
        y = SnapStart(y, height, box.Top, int64_t{box.Top} + box.Height);
    }
}

void TBoxController::SnapSize(int32_t id, int32_t left, int32_t top, int32_t& width,
                              int32_t& height) const {
    const int count = GetBoxCount();
    for (int i = 0; i < count; ++i) {
        const TBox box = GetBox(i);
        if (box.Id == id)
            continue;
        width = SnapLength(left, width, box.Left, int64_t{box.Left} + box.Width);
        height = SnapLength(top, height, box.Top, int64_t{box.Top} + box.Height);
    }
}
