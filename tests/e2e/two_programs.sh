#!/usr/bin/env bash
# Two copies of the built program on one desktop, each with its own VORN_HOME and port, both
# listening: a note of the first goes through its menu and the send dialog to the second, which
# shows it read-only with the sender's size, colour and font within a few seconds; each address
# book then holds the other.
set -euo pipefail
vorn=$1
source "$(dirname "$0")/desktop.sh"
start_desktop 270 330 xwininfo

free_port() {
    /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
portA=$(free_port)
portB=$(free_port)
while [ "$portB" = "$portA" ]; do portB=$(free_port); done
host=$(hostname)

# <home> <user> <port> <panel x>: settings that listen at start, the panel clear of the notes.
prepare() {
    mkdir -p "$1/vornnotes"
    printf '[Strings]\r\nsIdentity=%s\r\nsPort=%s\r\n[Booleans]\r\nbNetworking=1\r\n[Integers]\r\niLastX=%s\r\niLastY=400\r\n' \
        "$2" "$3" "$4" >"$1/vorn.ini"
}
prepare "$work/a" alice "$portA" 20
prepare "$work/b" bob "$portB" 640
# Alice has one note: 200 x 150, colour 9300421, 11-point DejaVu Serif in colour 255.
printf 'Hello Bob\r\n.a line that begins with a dot' >"$work/a/vornnotes/vornnote0001.txt"
cat >"$work/a/vornnotes.xml" <<'EOF'
<?xml version="1.0" encoding="ISO-8859-1" standalone="yes" ?>

<vorn>
    <note id="1" left="100" top="100" width="200" height="150" minimized="0" systemnote="0" chat="0" readonly="0" ontop="0" color="9300421" fontsize="11" fontcolor="255" fontname="DejaVu Serif" />
</vorn>
EOF

start() { # <home> <log>
    VORN_HOME="$1" XDG_CONFIG_HOME="$1/config" "$vorn" >"$2" 2>&1 &
    pids+=($!)
    last_pid=$!
}
start "$work/a" "$work/a.log"
pidA=$last_pid
start "$work/b" "$work/b.log"
pidB=$last_pid

# Both listen once their ports accept connections.
for port in "$portA" "$portB"; do
    for _ in $(seq 100); do
        /usr/bin/python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1).close()" \
            2>/dev/null && break
        sleep 0.1
    done
done

# Alice's note: the 200 x 150 window of the first program.
note=
for _ in $(seq 100); do
    for candidate in $(xdotool search --onlyvisible --pid "$pidA" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$candidate")"
        if [ "$WIDTH" = 200 ] && [ "$HEIGHT" = 150 ]; then note=$candidate; break 2; fi
    done
    sleep 0.2
done
[ -n "$note" ] || { echo "alice's note did not appear"; cat "$work/a.log"; exit 1; }
echo "alice's note at $X,$Y; alice listens on $portA, bob on $portB"

# The menu box, then the send entry by its accelerator, then the address and Enter.
xdotool mousemove $((X + 8)) $((Y + 8)) click 1
sleep 0.7
xdotool key s
dialog=
for _ in $(seq 50); do
    dialog=$(xdotool search --onlyvisible --name "发送VornNote" 2>/dev/null | head -1 || true)
    [ -n "$dialog" ] && break
    sleep 0.1
done
[ -n "$dialog" ] || { echo "the send dialog did not open"; cat "$work/a.log"; exit 1; }
import -window root "$work/send_dialog.png" 2>/dev/null || true
xdotool type --delay 20 "127.0.0.1:$portB"
xdotool key Return
sent=$(date +%s.%N)

# Bob's new note: a note file holding alice's text and the Sender line.
received=
for _ in $(seq 60); do
    received=$(grep -l -a "Hello Bob" "$work/b/vornnotes/"*.txt 2>/dev/null | head -1 || true)
    [ -n "$received" ] && break
    sleep 0.1
done
arrived=$(date +%s.%N)
[ -n "$received" ] || { echo "bob received nothing"; cat "$work/a.log" "$work/b.log"; exit 1; }
delay=$(/usr/bin/python3 -c "print(round($arrived - $sent, 2))")
echo "bob's note arrived after ${delay} s"

fail=0
expect_text=$(printf 'Hello Bob\r\n.a line that begins with a dot\r\n\r\n')
head -c ${#expect_text} "$received" | cmp -s - <(printf '%s' "$expect_text") ||
    { echo "bob's note does not start with alice's text"; od -c "$received" | head; fail=1; }
grep -a "\[Sender: alice@$host:$portA\]" "$received" >/dev/null ||
    { echo "no Sender line naming alice"; cat "$received"; fail=1; }
/usr/bin/python3 -c "import sys; sys.exit(0 if $delay <= 2.5 else 1)" ||
    { echo "the note took longer than the receive timer's period"; fail=1; }

# Bob's window: 200 x 150, read-only (its grip and body paint as such), shown on the screen.
window=
for _ in $(seq 30); do
    for candidate in $(xdotool search --onlyvisible --pid "$pidB" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$candidate")"
        if [ "$WIDTH" = 200 ] && [ "$HEIGHT" = 150 ]; then window=$candidate; break 2; fi
    done
    sleep 0.1
done
[ -n "$window" ] || { echo "bob has no 200 x 150 note window"; fail=1; }
import -window root "$work/received.png" 2>/dev/null || true
[ -n "${VORN_SHOTS:-}" ] && cp "$work"/*.png "$VORN_SHOTS"/ 2>/dev/null

# Both programs end on SIGTERM, saving index and settings.
kill -TERM "$pidA" "$pidB"
for _ in $(seq 100); do
    kill -0 "$pidA" 2>/dev/null || kill -0 "$pidB" 2>/dev/null || break
    sleep 0.1
done
id=$(basename "$received" .txt | sed 's/vornnote0*//')
grep -a "<note id=\"$id\" .*width=\"200\" height=\"150\" .*readonly=\"-1\" .*color=\"9300421\" fontsize=\"11\" fontcolor=\"255\" fontname=\"DejaVu Serif\"" \
    "$work/b/vornnotes.xml" >/dev/null ||
    { echo "bob's record lacks alice's size, colour, font or the read-only flag"; cat "$work/b/vornnotes.xml"; fail=1; }
grep -a -i -x "bob@$host:$portB" <(tr -d '\r' <"$work/a/addrbook.txt") >/dev/null ||
    { echo "alice's address book lacks bob"; cat "$work/a/addrbook.txt"; fail=1; }
grep -a -i -x "alice@$host:$portA" <(tr -d '\r' <"$work/b/addrbook.txt") >/dev/null ||
    { echo "bob's address book lacks alice"; cat "$work/b/addrbook.txt"; fail=1; }
grep -a "^sLastSend=bob@$host:$portB" "$work/a/vorn.ini" >/dev/null ||
    { echo "alice did not remember bob as the last address"; fail=1; }
[ "$fail" = 0 ] && echo "the note went from alice to bob, and each address book holds the other"
exit "$fail"
