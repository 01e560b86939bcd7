#!/usr/bin/env bash
# Builds the zip reader's libFuzzer target (preset fuzz: Debian's clang) and runs it for a bounded
# time (default 60 s) on a seed corpus of the zip tests' archives. Usage: fuzz-zip.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
out=build/fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p "$out/corpus"
python3 tests/zip/make_zip_fixtures.py --dir "$out/seeds"

if ! "$out/tests/fuzz/zip_reader_fuzz" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -max_len=262144 -artifact_prefix="$out/" "$out/corpus" "$out/seeds" >"$out/fuzz.log" 2>&1; then
  tail -n 60 "$out/fuzz.log"
  echo "zip fuzzing found a failure (the input is saved in $out)" >&2
  exit 1
fi
grep -E "^#[0-9]+.*DONE|^Done" "$out/fuzz.log" | tail -n 2
