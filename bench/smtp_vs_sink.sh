#!/usr/bin/env bash
# Messages per second of Vorn's SMTP server under Postfix's load generator smtp-source, beside
# Postfix's smtp-sink under the same load. smtp-sink reads each message and throws it away, so
# it is about as fast as an SMTP server on this machine gets. Goal: with 8 sessions at least
# half of smtp-sink's rate.
#   bench/smtp_vs_sink.sh <bench_smtp_server>
# Everything runs on 127.0.0.1 on free ports; every run has a time limit.
set -euo pipefail

host_program=${1:?usage: $0 <bench_smtp_server>}
messages=${VORN_SMTP_MESSAGES:-10000}
limit=120 # seconds for one smtp-source run
source_program=/usr/sbin/smtp-source
sink_program=/usr/sbin/smtp-sink
python=/usr/bin/python3

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

free_port() {
    "$python" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Waits up to 10 s until something listens on the port.
wait_listening() {
    "$python" - "$1" <<'EOF'
import socket, sys, time
deadline = time.monotonic() + 10
while time.monotonic() < deadline:
    try:
        socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=1).close()
        sys.exit(0)
    except OSError:
        time.sleep(0.05)
sys.exit(1)
EOF
}

# Prints messages per second of one smtp-source run: <port> <sessions>.
load() {
    local start end
    start=$(date +%s.%N)
    timeout "$limit" "$source_program" -s "$2" -m "$messages" -l 1024 \
        -f a@example.org -t b@example.org "127.0.0.1:$1" >"$work/source.log" 2>&1 || {
        echo "smtp-source failed against port $1:" >&2
        cat "$work/source.log" >&2
        return 1
    }
    end=$(date +%s.%N)
    awk -v n="$messages" -v a="$start" -v b="$end" 'BEGIN { printf "%.0f", n / (b - a) }'
}

# The reference. smtp-sink refuses to run as root without a user to switch to.
sink_port=$(free_port)
sink_user=()
[ "$(id -u)" -eq 0 ] && sink_user=(-u nobody)
"$sink_program" "${sink_user[@]}" "127.0.0.1:$sink_port" 256 >/dev/null 2>&1 &
pids+=($!)
wait_listening "$sink_port"
sink_1=$(load "$sink_port" 1)
sink_8=$(load "$sink_port" 8)

# Ours, on a port it picks itself; it ends once both runs' messages were delivered.
timeout $((2 * limit + 30)) "$host_program" 0 $((2 * messages)) $((2 * limit + 20)) \
    >"$work/host.log" 2>&1 &
host_pid=$!
pids+=("$host_pid")
host_port=
for _ in $(seq 200); do
    host_port=$(sed -n 's/^port //p' "$work/host.log")
    [ -n "$host_port" ] && break
    sleep 0.05
done
[ -n "$host_port" ] || { echo "bench_smtp_server did not start:" >&2; cat "$work/host.log" >&2; exit 1; }
vorn_1=$(load "$host_port" 1)
vorn_8=$(load "$host_port" 8)
wait "$host_pid" || { echo "Vorn's server lost messages:" >&2; cat "$work/host.log" >&2; exit 1; }

echo "SMTP messages per second, smtp-source -m $messages -l 1024, one connection per message:"
printf '  %-28s %8s %8s\n' "" "1 sess." "8 sess."
printf '  %-28s %8s %8s\n' "Postfix smtp-sink" "$sink_1" "$sink_8"
printf '  %-28s %8s %8s\n' "Vorn TSmtpServer" "$vorn_1" "$vorn_8"
awk -v a="$vorn_1" -v b="$sink_1" -v c="$vorn_8" -v d="$sink_8" 'BEGIN {
    printf "  ratio Vorn / smtp-sink: %.2f with 1 session, %.2f with 8 (goal: at least 0.50 with 8)\n", a / b, c / d }'
