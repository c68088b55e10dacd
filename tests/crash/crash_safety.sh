#!/usr/bin/env bash
# crash_safety.sh <crash_saver> [runs=200]
# The program's start-up and save commands (crash_saver) over one folder of 60 notes, killed
# with SIGKILL at a random moment, again and again. After every kill check_folder.py reads what
# was left with parsers of its own (every file one whole generation, old or new), and the next
# start must load it all without a complaint.
set -euo pipefail
driver=$1
runs=${2:-200}
notes=60
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
export VORN_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
export USERNAME=tester QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
mkdir -m 700 "$work/runtime"
state="$work/state.json"

fail() {
    echo "FAILED after $1 kills: $2"
    echo "--- the driver's last lines:"
    tail -n 5 "$work/log"
    echo "--- its errors:"
    grep -v "does not support raise" "$work/err" | tail -n 40
    exit 1
}

check() { # check <kills so far> [<pid of the killed driver>]
    local result
    result=$(/usr/bin/python3 "$here/check_folder.py" "$VORN_HOME" "$notes" "$state" "$work/log" \
        ${2:+"$2"}) || fail "$1" "$result"
}

# wait_for <word> <n>: until the driver has printed n lines starting with the word.
wait_for() {
    for _ in $(seq 3000); do
        [ "$(grep -c "^$1 " "$work/log")" -ge "$2" ] && return
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.01
    done
    fail "$((run - 1))" "the driver did not print \"$1\" $2 times"
}

sleep_ms() { sleep "$(printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)))"; }

start=$SECONDS
"$driver" create "$notes" >"$work/log" 2>"$work/err" || fail 0 "the first start failed"
check 0

for run in $(seq "$runs"); do
    : >"$work/log" # before the start: no line of the last run may count for this one
    "$driver" run "$notes" >"$work/log" 2>"$work/err" &
    pid=$!
    choice=$((RANDOM % 20))
    if [ "$choice" -lt 2 ]; then
        # Now and then while it starts: reading the files must leave them as they are.
        sleep_ms $((RANDOM % 250))
    elif [ "$choice" -lt 11 ]; then
        # Anywhere in the loop, most of whose time goes to changing the notes.
        wait_for saving 1
        sleep_ms $((50 + RANDOM % 651))
    else
        # While the save commands of the first, second or third generation write the files.
        wait_for writing $((1 + RANDOM % 3))
        sleep_ms $((RANDOM % 15))
    fi
    kill -KILL "$pid" 2>/dev/null || true
    rc=0
    { wait "$pid"; } 2>/dev/null || rc=$?
    killed=$pid
    pid=
    [ "$rc" = 137 ] || fail "$((run - 1))" "the driver ended by itself (status $rc) before the kill"
    check "$run" "$killed"
done

# The last kill's files through the start-up once more.
"$driver" verify "$notes" >"$work/log" 2>"$work/err" || fail "$runs" "the last start failed"
grep -q '^loaded' "$work/log" || fail "$runs" "the last start did not load the notes"

/usr/bin/python3 "$here/check_folder.py" --summary "$state"
echo "every kill left whole files: $runs runs in $((SECONDS - start)) s"
