#!/usr/bin/env bash
# Builds the benchmarks (release, Linux substitute) and runs each one; every benchmark prints its
# ratios beside their targets. Not part of scripts/test.sh: timings need a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh linux
# GNU time measures the peak RSS of each run.
[ -x /usr/bin/time ] || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq time >/dev/null

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTOVRENKUR_TESTS=OFF -DTOVRENKUR_BENCH=ON \
  >/dev/null
cmake --build build/bench -j2 >/dev/null

python3 bench/download_bench.py build/bench/bench/download_bench 200
