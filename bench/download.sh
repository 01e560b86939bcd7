#!/usr/bin/env bash
# A 200 MB download from a loopback server: the program's request beside `curl -o` in the same
# run, interleaved rounds; prints throughput and peak-memory lines with their targets.
set -euo pipefail
cd "$(dirname "$0")/.."
python3 bench/download_bench.py "${BENCH_BUILD:-build/linux-release}/bench/download_bench" 200
