#!/usr/bin/env bash
# Start-up with 1,024 notes against the floor of what the window system costs.
#
#   bench/startup_vs_floor.sh <vorn> <bench_floor_windows> [<bench_save_sequence>]
#
# Makes a program folder with 1,024 short note files and their index (128 x 128 notes at varied
# places on a 1280 x 800 screen, a few in other colours), starts its own Xvfb (no window
# manager), and runs each program five times with VORN_REPORT_MAPPED=1024: the time from just
# before exec to the moment the 1,024th window was exposed, and the peak resident memory then.
# Reports the best time and the median peak memory of each, and the ratios program / floor
# against the goals: time <= 1.3 x floor, memory <= 1.15 x floor.
# With a third argument it also runs the save-sequence benchmark (goal: < 100 ms).
set -euo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 <path to vorn> <path to bench_floor_windows> [<path to bench_save_sequence>]"
    exit 2
fi
vorn=$(realpath "$1")
floor=$(realpath "$2")
saves=${3:+$(realpath "$3")}
notes=1024
runs=5
width=1280
height=800
size=128

for tool in Xvfb xdpyinfo python3; do
    command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done

work=$(mktemp -d)
xvfb=
cleanup() {
    if [ -n "${tray:-}" ]; then
        kill "$tray" 2>/dev/null || true
    fi
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# The program folder: settings that skip the welcome note, the note files, the index.
template="$work/template"
mkdir -p "$template/vornnotes"
printf '[Strings]\r\nsIdentity=bench\r\n' >"$template/vorn.ini"
{
    printf '<?xml version="1.0" encoding="ISO-8859-1" standalone="yes" ?>\r\n\r\n<vorn>\r\n'
    for id in $(seq 1 "$notes"); do
        printf 'Note %d\r\nBuy milk\r\n' "$id" >"$template/vornnotes/vornnote$(printf '%04d' "$id").txt"
        left=$(((id * 97) % (width - size)))
        top=$(((id * 61) % (height - size)))
        color=9300421
        case $((id % 64)) in
        7) color=8454143 ;;
        23) color=16777088 ;;
        41) color=16744703 ;;
        esac
        printf '    <note id="%d" left="%d" top="%d" width="%d" height="%d" minimized="0"' \
            "$id" "$left" "$top" "$size" "$size"
        printf ' systemnote="0" chat="0" readonly="0" ontop="0" color="%d" fontsize="8"' "$color"
        printf ' fontcolor="0" fontname="MS Sans Serif" />\r\n'
    done
    printf '</vorn>\r\n'
} >"$template/vornnotes.xml"
echo "program folder: $notes note files, index $(stat -c %s "$template/vornnotes.xml") bytes"

# Our own X server on the first free display from :150 on.
display=
for n in $(seq 150 250); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
        display=:$n
        break
    fi
done
[ -n "$display" ] || { echo "no free display"; exit 1; }
Xvfb "$display" -screen 0 "${width}x${height}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.1
done
xdpyinfo -display "$display" >/dev/null 2>&1 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
echo "Xvfb on $display, ${width}x${height}x24, no window manager"
# A desktop usually has a system tray, and with one the control panel stays hidden at start.
# Without trayer (or with BENCH_TRAY=0) the panel is shown, as on a desktop without a tray.
tray=
if [ "${BENCH_TRAY:-1}" = 1 ] && command -v trayer >/dev/null; then
    DISPLAY="$display" trayer --edge top --align right --widthtype request --height 24 \
        >/dev/null 2>&1 &
    tray=$!
    sleep 1
    echo "system tray: trayer"
else
    echo "system tray: none (the control panel is shown at start)"
fi

# One run: prints "<milliseconds from exec to the last window exposed> <VmHWM kB>".
run_once() {
    local name=$1
    shift
    local home="$work/home"
    rm -rf "$home"
    cp -r "$template" "$home"
    (
        unset WAYLAND_DISPLAY
        export DISPLAY="$display" QT_QPA_PLATFORM=xcb VORN_HOME="$home"
        export VORN_REPORT_MAPPED="$notes"
        date +%s%N >"$work/start"
        exec "$@"
    ) >"$work/out" 2>"$work/err" &
    local pid=$!
    # The program ends by itself once its windows are on the screen; two minutes at most.
    for _ in $(seq 1200); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" || true
    local start line
    start=$(cat "$work/start")
    line=$(grep '^mapped ' "$work/out" | head -n 1 || true)
    if [ -z "$line" ]; then
        echo "$name did not report $notes exposed windows" >&2
        cat "$work/err" >&2
        exit 1
    fi
    read -r _ _ stamp hwm <<<"$line"
    echo "$(((stamp - start) / 1000)) $hwm" # microseconds
}

# The two programs take turns, so that a slow spell of the machine hits both alike.
: >"$work/floor.txt"
: >"$work/vorn.txt"
for round in $(seq 1 "$runs"); do
    floor_run=$(run_once floor "$floor" "$notes") || exit 1
    vorn_run=$(run_once vorn "$vorn") || exit 1
    echo "$floor_run" >>"$work/floor.txt"
    echo "$vorn_run" >>"$work/vorn.txt"
    awk -v r="$round" -v f="$floor_run" -v v="$vorn_run" 'BEGIN {
        split(f, a, " "); split(v, b, " ")
        printf "run %d: floor %7.1f ms %7d kB   vorn %7.1f ms %7d kB\n", r, a[1] / 1000, a[2],
            b[1] / 1000, b[2] }'
done

python3 - "$work/floor.txt" "$work/vorn.txt" "$notes" <<'PY'
import statistics, sys
def load(path):
    rows = [line.split() for line in open(path) if line.strip()]
    return [int(t) / 1000 for t, _ in rows], [int(m) for _, m in rows]
ft, fm = load(sys.argv[1])
vt, vm = load(sys.argv[2])
notes = int(sys.argv[3])
floor_time, vorn_time = min(ft), min(vt)
floor_mem, vorn_mem = statistics.median(fm), statistics.median(vm)
tr, mr = vorn_time / floor_time, vorn_mem / floor_mem
def verdict(ok):
    return "met" if ok else "NOT met"
print(f"{notes} windows exposed, best of {len(ft)} (time) and median (peak memory):")
print(f"floor (bench_floor_windows): {floor_time:8.1f} ms  {floor_mem:9.0f} kB VmHWM")
print(f"vorn:                        {vorn_time:8.1f} ms  {vorn_mem:9.0f} kB VmHWM")
print(f"time   vorn / floor = {tr:.2f}   (goal <= 1.30: {verdict(tr <= 1.30)})")
print(f"memory vorn / floor = {mr:.2f}   (goal <= 1.15: {verdict(mr <= 1.15)})")
print(f"memory over the floor: {(vorn_mem - floor_mem) / notes:.1f} kB per note window")
PY

if [ -n "$saves" ]; then
    echo "save sequence with $notes open notes (bench_save_sequence, best of 3):"
    "$saves" --benchmark_format=json --benchmark_repetitions=3 >"$work/saves.json" \
        2>"$work/saves.err" || { cat "$work/saves.err"; exit 1; }
    python3 - "$work/saves.json" <<'PY'
import json, sys
runs = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type") == "iteration":
        scale = {"s": 1000, "ms": 1, "us": 1e-3, "ns": 1e-6}[b["time_unit"]]
        name = b["run_name"].split("/")[0]
        runs[name] = min(runs.get(name, float("inf")), b["real_time"] * scale)
all_modified = runs["BM_SaveEverything_AllModified"]
none_modified = runs["BM_SaveEverything_NoneModified"]
print(f"SaveEverything, 1024 texts modified: {all_modified:8.1f} ms   (goal < 100 ms: "
      f"{'met' if all_modified < 100 else 'NOT met'})")
print(f"SaveEverything, nothing modified:    {none_modified:8.1f} ms")
PY
fi
