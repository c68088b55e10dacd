#pragma once

// The desktop that the drag benchmarks move a note over: two 1920 x 1080 monitors side by
// side, the first with a 40-pixel taskbar along its bottom, and 1,024 notes of 128 x 128
// spread over both work areas. The dragged note travels back and forth across both monitors
// in steps of a few pixels, as a pointer does, a little past the outer edges at the turns so
// that screen edges catch it as well as the other notes.

#include "UPlatform.h"
#include "UScreenFunctions.h"
#include "UTBoxController.h"

#include <cstdint>
#include <vector>

namespace DragDesktop {

constexpr int kNotes = 1024;
constexpr int32_t kMonitorWidth = 1920;
constexpr int32_t kMonitorHeight = 1080;
constexpr int32_t kTaskbarHeight = 40;
constexpr int32_t kNoteSize = 128;
// Past the outer edges at the turns: more than the screen edges' snap distance.
constexpr int32_t kOvershoot = 16;

inline std::vector<TMonitor> Monitors() {
    return {{{0, 0, kMonitorWidth, kMonitorHeight},
             {0, 0, kMonitorWidth, kMonitorHeight - kTaskbarHeight}},
            {{kMonitorWidth, 0, 2 * kMonitorWidth, kMonitorHeight},
             {kMonitorWidth, 0, 2 * kMonitorWidth, kMonitorHeight}}};
}

// Note number index + 1, on the monitors in turn, spread by two coprime strides so that few
// notes share a place; each lies wholly inside its monitor's work area.
inline TBox NoteBox(int index) {
    const bool second = index % 2 != 0;
    const int32_t workHeight = second ? kMonitorHeight : kMonitorHeight - kTaskbarHeight;
    return {index + 1,
            (second ? kMonitorWidth : 0) + (index * 97) % (kMonitorWidth - kNoteSize),
            (index * 61) % (workHeight - kNoteSize),
            kNoteSize,
            kNoteSize,
            false};
}

// A triangle wave: `travelled` pixels back and forth between low and high.
inline int32_t Bounce(int64_t travelled, int32_t low, int32_t high) {
    const int64_t span = int64_t{high} - low;
    const int64_t phase = travelled % (2 * span);
    return static_cast<int32_t>(low + (phase <= span ? phase : 2 * span - phase));
}

// Where the dragged note's top-left corner is asked to go on move number `step`: 5 pixels
// across and 3 down or up per move, so the horizontal and vertical turns fall apart.
inline TPoint DragPlace(int step) {
    return {Bounce(int64_t{step} * 5, -kOvershoot, 2 * kMonitorWidth - kNoteSize + kOvershoot),
            Bounce(int64_t{step} * 3, -kOvershoot, kMonitorHeight - kNoteSize + kOvershoot)};
}

} // namespace DragDesktop
