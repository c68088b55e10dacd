#!/usr/bin/env bash
# The built program in Xvfb with openbox, in a fresh VORN_HOME: the first start shows the
# welcome note; text typed into it and a drag of its title bar survive a SIGTERM, because the
# program saves the texts, the settings and the notes index before it ends.
set -euo pipefail
vorn=$1
source "$(dirname "$0")/desktop.sh"
start_desktop 130 199

home="$work/home"
mkdir -p "$home"
# Without a system tray the control panel stays on the screen: keep it clear of the notes.
printf '[Integers]\r\niLastX=860\r\niLastY=420\r\n' >"$home/vorn.ini"
VORN_HOME="$home" XDG_CONFIG_HOME="$work/config" USERNAME=tester "$vorn" >"$work/vorn.log" 2>&1 &
vornpid=$!
pids+=($vornpid)

# The welcome note is the 400 x 200 window among the program's windows.
window=
for _ in $(seq 100); do
    for candidate in $(xdotool search --onlyvisible --class vorn 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$candidate")"
        if [ "$WIDTH" = 400 ] && [ "$HEIGHT" = 200 ]; then window=$candidate; break 2; fi
    done
    sleep 0.2
done
[ -n "$window" ] || { echo "no welcome note appeared"; cat "$work/vorn.log"; exit 1; }
echo "welcome note at $X,$Y size ${WIDTH}x$HEIGHT"
[ "$WIDTH" = 400 ] && [ "$HEIGHT" = 200 ] || { echo "the welcome note is not 400 x 200"; exit 1; }
[ "$X" = 440 ] && [ "$Y" = 300 ] || { echo "the welcome note is not centred"; exit 1; }
[ -f "$home/vornnotes/vornnote0001.txt" ] || { echo "no note file for the welcome note"; exit 1; }

# Type at the start of the body, then drag the title bar by 340, 200 to (100, 100).
xdotool mousemove 445 321 click 1
sleep 0.3
xdotool type --delay 20 "Typed by the test. "
xdotool mousemove 700 308 mousedown 1 mousemove 650 280 sleep 0.1 mousemove 500 200 sleep 0.1 \
    mousemove 360 108 sleep 0.2 mouseup 1
for _ in $(seq 50); do
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$X" = 100 ] && [ "$Y" = 100 ] && break
    sleep 0.1
done
[ "$X" = 100 ] && [ "$Y" = 100 ] || { echo "the drag left the note at $X,$Y"; exit 1; }
sleep 0.5 # let the program take in the last keys before it is told to stop

kill -TERM "$vornpid"
for _ in $(seq 100); do kill -0 "$vornpid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$vornpid" 2>/dev/null; then echo "the program did not end on SIGTERM"; exit 1; fi

fail=0
grep -q "Typed by the test. Welcome to Vorn v2.04b" "$home/vornnotes/vornnote0001.txt" ||
    { echo "the typed text was not saved"; fail=1; }
grep -q '<note id="1" left="100" top="100" width="400" height="200" ' "$home/vornnotes.xml" ||
    { echo "the index does not hold the note's place"; cat "$home/vornnotes.xml"; fail=1; }
grep -q '^sIdentity=tester' "$home/vorn.ini" || { echo "the settings were not saved"; fail=1; }
[ "$fail" = 0 ] && echo "typed text, place and settings survived SIGTERM"
exit "$fail"
