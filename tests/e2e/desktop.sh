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
    # -noreset: the server would otherwise reset whenever its last client leaves, as each probe
    # below does, and turn the next client (openbox) away while it resets.
    Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    pids+=($!)
    export DISPLAY=$display
    # A busy machine may take a while; without the server or the window manager nothing that
    # follows means anything.
    for _ in $(seq 200); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
    xdotool getmouselocation >/dev/null 2>&1 || { echo "Xvfb did not come up on $display"; exit 1; }
    openbox >"$work/openbox.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep 'window id' >/dev/null && break
        sleep 0.1
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep 'window id' >/dev/null ||
        { echo "openbox did not come up on $display"; cat "$work/openbox.log"; exit 1; }
    # The program under test talks to this display, whatever platform the unit tests chose.
    unset QT_QPA_PLATFORM
}

# Runs a command every 0.1 s until it succeeds, for at most <seconds>; fails when time is up.
#
#   poll <seconds> <command>...
poll() {
    local limit=$1 end
    shift
    end=$((SECONDS + limit))
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

# "<left> <top> <width> <height>" of a window's client area on the screen, nothing once it is gone.
geometry() {
    { xwininfo -id "$1" 2>/dev/null || true; } | awk '
        /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF } END { if (x != "") print x, y, w, h }'
}

# "<map state> <left> <top>" of the control panel (its client area), or nothing while it has no window.
panel_state() {
    { xwininfo -name "Vorn v2.04b" 2>/dev/null || true; } | awk '
        /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /Map State/ { state = $NF } END { if (state != "") print state, x, y }'
}

# The whole screen into <file>, for a person to look at afterwards; a failed grab is no failure.
screenshot() {
    import -window root "$1" 2>/dev/null || true
}

# A system tray at the top right (trayer). A program looks for the tray as it starts, so the tray
# must be up by then.
start_tray() {
    trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
    pids+=($!)
    poll 10 eval 'xdotool search --onlyvisible --class trayer >/dev/null 2>&1' ||
        { echo "trayer did not come up"; exit 1; }
    sleep 0.5 # it takes the tray selection just after its window shows
}

# "<x> <y>" of the centre of the icon docked in the tray, nothing while no icon is docked.
tray_icon() {
    local candidate icon= X Y WIDTH HEIGHT SCREEN WINDOW
    for candidate in $(xdotool search --class trayer 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$candidate")"
        if [ "$WIDTH" -ge 16 ] && [ "$WIDTH" -le 64 ] && [ "$HEIGHT" -le 64 ]; then
            icon="$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
        fi
    done
    [ -n "$icon" ] && echo "$icon"
    return 0
}
