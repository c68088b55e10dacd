# Sourced by the end-to-end tests: a work folder removed at the end, and an X desktop of its
# own (Xvfb at 1280 x 800 with openbox) on the first free display of a range.
#
#   start_desktop <first display> <last display> <tool>...

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

start_desktop() {
    local first=$1 last=$2 tool n display=
    shift 2
    for tool in Xvfb openbox xdotool xprop "$@"; do
        command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
    done
    for n in $(seq "$first" "$last"); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=:$n; break; fi
    done
    [ -n "$display" ] || { echo "no free display"; exit 1; }
    Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    export DISPLAY=$display
    for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
    openbox >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep 'window id' >/dev/null && break
        sleep 0.1
    done
    # The program under test talks to this display, whatever platform the unit tests chose.
    unset QT_QPA_PLATFORM
}
