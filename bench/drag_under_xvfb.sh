#!/usr/bin/env bash
# One pointer move of a note drag with 1,024 shown notes and snapping to notes and screen edges
# on, under a real X server: starts its own Xvfb (one 3840 x 1080 screen, which the program
# sees as two 1920 x 1080 monitors; no window manager) and runs bench_drag on it, which prints
# the median and 95th percentile per move of the snapping alone and of the whole move.
#
#   bench/drag_under_xvfb.sh [<bench_drag> [<moves>]]
set -euo pipefail
bench=$(realpath "${1:-build/bench/bench/bench_drag}")
moves=${2:-2000}

for tool in Xvfb xdpyinfo timeout; do
    command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done

work=$(mktemp -d)
xvfb=
cleanup() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Our own X server on the first free display from :97 on; another program may take a display
# between the look and the start, so one that does not come up is left for the next.
display=
for n in $(seq 97 149); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 3840x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
        # Alive too: the server answering might be someone else's that won the display.
        xdpyinfo -display ":$n" >/dev/null 2>&1 && kill -0 "$xvfb" 2>/dev/null &&
            { display=:$n; break; }
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$display" ] && break
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    xvfb=
done
[ -n "$display" ] || { echo "Xvfb did not start on any free display"; cat "$work/xvfb.log"; exit 1; }
echo "Xvfb on $display, 3840x1080x24, no window manager"

# Five minutes at most; the program bounds its own waits and passes well below that.
(
    unset WAYLAND_DISPLAY
    mkdir -m 700 "$work/runtime"
    export DISPLAY="$display" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
    exec timeout 300 "$bench" "$moves"
)
