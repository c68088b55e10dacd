#!/usr/bin/env bash
# The built program on a desktop with a system tray (Xvfb, openbox, trayer): it starts with only
# its tray icon, the tray menu shows the control panel at its stored place, the hide button
# takes it away, it comes back at the same place, and the place is saved.
set -euo pipefail
vorn=$1
source "$(dirname "$0")/desktop.sh"
start_desktop 200 260 trayer xwininfo

start_tray

home="$work/home"
mkdir -p "$home"
printf '[Integers]\r\niLastX=300\r\niLastY=200\r\n[Strings]\r\nsIdentity=tester\r\n' >"$home/vorn.ini"
VORN_HOME="$home" XDG_CONFIG_HOME="$work/config" "$vorn" >"$work/vorn.log" 2>&1 &
vornpid=$!
pids+=($vornpid)

# Waits until the panel is in that state; prints what it is at the end.
wait_panel() {
    local want=$1 now=
    for _ in $(seq 50); do
        now=$(panel_state)
        case "$now" in "$want"*) break ;; esac
        sleep 0.1
    done
    echo "$now"
}
# The tray's icon is the one the tray window holds once the program has docked it.
icon=
for _ in $(seq 200); do
    icon=$(tray_icon)
    # grep reads to the end: an early exit would fail the pipe under pipefail
    [ -n "$icon" ] && xwininfo -root -tree | grep -i '"vorn"' >/dev/null && break
    icon=
    sleep 0.2
done
[ -n "$icon" ] || { echo "no tray icon was docked"; cat "$work/vorn.log"; exit 1; }

state=$(panel_state)
case "$state" in "" | IsUnMapped*) ;; *) echo "the panel is on the screen at start: $state"; exit 1 ;; esac

# The tray menu's second entry (the first is the disabled product label) shows the panel. A
# busy machine may take a while to open the menu, so the keys are tried again.
show_panel() {
    local state=
    for _ in 1 2 3; do
        # shellcheck disable=SC2086
        xdotool mousemove $icon click 3
        sleep 1
        xdotool key Down Return
        state=$(wait_panel IsViewable)
        case "$state" in IsViewable*) break ;; esac
        xdotool key Escape
    done
}
show_panel
state=$(panel_state)
[ "$state" = "IsViewable 300 200" ] || { echo "the tray menu showed the panel as: $state"; exit 1; }

# The hide button sits at the right of the bottom bar.
xdotool mousemove 650 480 click 1
state=$(wait_panel IsUnMapped)
case "$state" in IsUnMapped*) ;; *) echo "the hide button left the panel: $state"; exit 1 ;; esac
grep -q '^iLastX=300' "$home/vorn.ini" && grep -q '^iLastY=200' "$home/vorn.ini" ||
    { echo "hiding did not save the place"; cat "$home/vorn.ini"; exit 1; }

show_panel
state=$(panel_state)
[ "$state" = "IsViewable 300 200" ] || { echo "shown again, the panel is: $state"; exit 1; }

kill -TERM "$vornpid"
for _ in $(seq 100); do kill -0 "$vornpid" 2>/dev/null || break; sleep 0.1; done
grep -q '^iLastX=300' "$home/vorn.ini" && grep -q '^iLastY=200' "$home/vorn.ini" ||
    { echo "the place was not saved at the end"; cat "$home/vorn.ini"; exit 1; }
echo "tray icon docked; the panel came and went at 300,200 and kept its place"
