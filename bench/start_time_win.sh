#!/usr/bin/env bash
# TovrenKur.exe's size, and its start-to-window time under Wine beside an empty Win32 window
# program's, measured in the same run, in a throw-away prefix with its own Xvfb display.
# Targets: the exe under 512 KB; start-to-window within 1.2 times the empty window's.
# Usage: bench/start_time_win.sh [RUNS]   (builds the windows preset first)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}
build=build/windows

cmake --preset windows >/dev/null
cmake --build --preset windows --target TovrenKur inspector >/dev/null
mkdir -p "$build/bench"
# The baseline is built with the same compiler and flags as the product.
i686-w64-mingw32-g++-posix -std=c++20 -O2 -municode -mwindows -static -s -Isrc \
  bench/empty_window_win.cpp -o "$build/bench/empty_window.exe"

source scripts/wine-prefix.sh
source scripts/xvfb.sh
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tovrenkur-bench.XXXXXX")
cleanup() {
  wp_kill "$scratch"
  xvfb_stop
  rm -rf "$scratch"
}
trap cleanup EXIT
wp_create "$scratch"
xvfb_start "$scratch/xvfb.log"
wp_env "$scratch"
wp_warm

winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }
inspector=$build/tests/inspector.exe
product=$(winpath "$build/TovrenKur.exe")
empty=$(winpath "$build/bench/empty_window.exe")
title="Tovren Kurulum işlemlerine hoşgeldiniz."

# One start of each, alternating, so that both meet the same machine load; the first round
# (cold caches) is not counted.
measure() {
  timeout 60 wine "$inspector" time-window "$1" "$2" 20000 </dev/null |
    sed -n 's/.*"ms":\([0-9.]*\).*/\1/p'
}
: >"$scratch/product" && : >"$scratch/empty"
for ((round = 0; round <= runs; round++)); do
  e=$(measure "$empty" "Empty window")
  p=$(measure "$product" "$title")
  [ -n "$e" ] && [ -n "$p" ] || { echo "a window did not appear" >&2; exit 1; }
  if ((round > 0)); then
    echo "$e" >>"$scratch/empty"
    echo "$p" >>"$scratch/product"
  fi
done

median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
size=$(stat -c %s "$build/TovrenKur.exe")
empty_size=$(stat -c %s "$build/bench/empty_window.exe")
me=$(median "$scratch/empty")
mp=$(median "$scratch/product")
awk -v size="$size" -v esize="$empty_size" -v me="$me" -v mp="$mp" -v runs="$runs" 'BEGIN {
  printf "TovrenKur.exe size:        %7.1f KB   (target < 512 KB: %s)\n", size / 1024,
    size < 512 * 1024 ? "met" : "MISSED"
  printf "empty_window.exe size:     %7.1f KB\n", esize / 1024
  printf "start to window, median of %d starts under Wine:\n", runs
  printf "  empty Win32 window:      %7.1f ms\n", me
  printf "  TovrenKur.exe:           %7.1f ms\n", mp
  printf "  ratio:                   %7.2f      (target <= 1.20: %s)\n", mp / me,
    mp / me <= 1.2 ? "met" : "MISSED"
}'
