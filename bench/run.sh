#!/usr/bin/env bash
# Builds the release benchmarks and runs each one, printing its measured ratios beside the
# targets. A benchmark is a script bench/<name>.sh printing rows with report (bench/lib.sh);
# add its name to the list below.
set -euo pipefail
cd "$(dirname "$0")/.."
benchmarks=(zip_extract download)

bash scripts/install-deps.sh linux
log=build/bench-build.log
mkdir -p build
if ! { cmake --preset linux-release -DTOVRENKUR_BENCH=ON &&
  cmake --build --preset linux-release; } >"$log" 2>&1; then
  tail -n 40 "$log"
  exit 1
fi
source bench/lib.sh
# The rows that show the cost of serving the form's window need a display: a private one when
# there is none.
if [ -z "${DISPLAY:-}" ]; then
  source scripts/xvfb.sh
  xvfb_start build/bench-xvfb.log
  trap xvfb_stop EXIT
fi
report "what" "measured" "target" "verdict"
status=0
for name in "${benchmarks[@]}"; do
  bash "bench/$name.sh" || status=1
done
exit $status
