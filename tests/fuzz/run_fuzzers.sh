#!/usr/bin/env bash
# Runs every fuzz target of a VORN_FUZZ build for a bounded time each and fails when one finds a
# crash, a leak, undefined behaviour, a timeout or a broken property.
#   tests/fuzz/run_fuzzers.sh <build dir> [seconds per target, default 20]
# Each target starts from its seeds in tests/fuzz/corpus/<name>, which libFuzzer only reads: the
# units it finds and any crashing input go to a temporary folder, kept when a target fails.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 <build dir> [seconds]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
targets=(xml notes_index ini tokenizer compact address smtp)

work=$(mktemp -d "${TMPDIR:-/tmp}/vorn-fuzz-run.XXXXXX")
failed=()
for name in "${targets[@]}"; do
    program=$build/tests/fuzz/fuzz_$name
    seeds=$here/corpus/$name
    if [ ! -x "$program" ]; then
        echo "fuzz_$name: not built in $build" >&2
        failed+=("$name")
        continue
    fi
    mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
    log=$work/$name/log
    status=0
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$program" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
        -artifact_prefix="$work/$name/artifacts/" \
        "$work/$name/corpus" "$seeds" >"$log" 2>&1 || status=$?
    runs=$(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" | tail -1 || true)
    if [ "$status" -ne 0 ]; then
        echo "fuzz_$name: FAILED (exit $status)"
        grep -E 'ERROR|SUMMARY|Property failed|runtime error|Test unit written' "$log" | head -20
        failed+=("$name")
    else
        echo "fuzz_$name: ${runs:-no run count in its output}"
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz targets failed: ${failed[*]}; logs and inputs in $work" >&2
    exit 1
fi
rm -rf "$work"
echo "all ${#targets[@]} fuzz targets ran ${seconds} s each without a finding"
