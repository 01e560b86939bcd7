#!/usr/bin/env bash
# Builds the zip reader's libFuzzer target with Debian's clang and runs it for a bounded time
# (default 60 s) on a seed corpus of the zip tests' archives. Usage: fuzz-zip.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
out=build/fuzz
mkdir -p "$out/corpus"

clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Isrc tests/fuzz/zip_reader_fuzz.cpp src/procedures/zip_reader.cpp src/procedures/zip_format.cpp \
  src/procedures/zip_names.cpp src/platform/error.cpp src/platform/text.cpp \
  src/platform/posix/cp857_posix.cpp -lz -o "$out/zip_reader_fuzz"
python3 tests/procedures/make_zip_fixtures.py --dir "$out/seeds"

if ! "$out/zip_reader_fuzz" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -max_len=262144 -artifact_prefix="$out/" "$out/corpus" "$out/seeds" >"$out/fuzz.log" 2>&1; then
  tail -n 60 "$out/fuzz.log"
  echo "zip fuzzing found a failure (the input is saved in $out)" >&2
  exit 1
fi
grep -E "^#[0-9]+.*DONE|^Done" "$out/fuzz.log" | tail -n 2
