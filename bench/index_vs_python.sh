#!/usr/bin/env bash
# Loads and saves a 100,000-record notes index with our store and parses the same file with
# Python's xml.etree.ElementTree (the reference), then prints the figures and the ratios.
# Goals: load <= 0.5 x reference, save <= 0.25 x reference, 1,024 lookups < 1 ms.
set -euo pipefail
bench=${1:-build/bench/bench/bench_storage}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
index="$work/vornnotes.xml"

"$bench" --write-index="$index"
echo "index: $(stat -c %s "$index") bytes, $(grep -c '<note ' "$index") records"

reference=$(python3 - "$index" <<'PY'
import sys, time, xml.etree.ElementTree as ET
best = min((lambda t: (ET.parse(sys.argv[1]), time.perf_counter() - t)[1])(time.perf_counter())
           for _ in range(5))
print(best * 1000)
PY
)

# Best of five on both sides: this machine's timings vary from run to run.
VORN_BENCH_INDEX="$index" "$bench" --benchmark_format=json --benchmark_repetitions=5 \
    >"$work/ours.json"

python3 - "$work/ours.json" "$reference" <<'PY'
import json, sys
runs = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type") == "iteration":
        scale = {"ms": 1, "us": 1e-3, "ns": 1e-6}[b["time_unit"]]
        name = b["run_name"].split("/")[0]
        runs[name] = min(runs.get(name, float("inf")), b["real_time"] * scale)
def ms(name):
    return runs[name]
ref = float(sys.argv[2])
load, save, get = ms("BM_IndexLoad"), ms("BM_IndexSave"), ms("BM_Get1024")
print(f"Python ElementTree.parse (reference): {ref:8.1f} ms")
print(f"our load:                             {load:8.1f} ms  ratio {load / ref:.2f} (goal <= 0.50)")
print(f"our save:                             {save:8.1f} ms  ratio {save / ref:.2f} (goal <= 0.25)")
print(f"1,024 Get calls:                      {get * 1000:8.1f} us (goal < 1000 us)")
PY
