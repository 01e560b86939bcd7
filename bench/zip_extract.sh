#!/usr/bin/env bash
# Extraction of a 100 MB archive of a few thousand files: the program's zip reader (one thread,
# CRC checks and safety rules on) beside `unzip -o` in the same run, best of three rounds each,
# both from a warm page cache into fresh folders, on the disk and in memory (/dev/shm), where
# each file created costs the disk's own time for both. Prints time and peak-memory rows; with a
# display, also the cost of serving the form's window during the work.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
bench=${BENCH_BUILD:-build/linux-release}/bench/zip_extract_bench
data=build/bench-data
archive=$data/bench.zip

# On a fresh clone nothing has made the data folder yet.
mkdir -p "$data"
[ -f "$archive" ] || python3 bench/make_bench_zip.py "$archive" >/dev/null
cat "$archive" >/dev/null

# compare WHERE FOLDER TARGET: ours beside unzip -o into FOLDER, one row with its target.
rss_ours=0 rss_unzip=0
compare() {
  local where=$1 folder=$2 target=$3 best_ours="" best_unzip=""
  for round in 1 2 3; do
    rm -rf "$folder/ours" "$folder/unzip" && mkdir -p "$folder/ours" "$folder/unzip"
    # Untimed: neither pays for the other's writeback.
    sync
    measure ours "$bench" "$archive" "$folder/ours"
    sync
    measure theirs unzip -o -q "$archive" -d "$folder/unzip"
    if [ -z "$best_ours" ] || [ "$(verdict "$ours_seconds" '<' "$best_ours")" = ok ]; then
      best_ours=$ours_seconds
    fi
    if [ -z "$best_unzip" ] || [ "$(verdict "$theirs_seconds" '<' "$best_unzip")" = ok ]; then
      best_unzip=$theirs_seconds
    fi
    rss_ours=$(echo "if ($ours_rss_mb > $rss_ours) $ours_rss_mb else $rss_ours" | bc -l)
    rss_unzip=$theirs_rss_mb
  done
  if ! diff -r -q "$folder/ours" "$folder/unzip" >/dev/null; then
    report "zip ($where): extracted trees" "differ from unzip's" "identical" MISSED
    exit 1
  fi
  rm -rf "$folder/ours" "$folder/unzip"
  local ratio
  ratio=$(printf '%.2f' "$(echo "$best_ours / $best_unzip" | bc -l)")
  report "zip ($where): time / unzip -o time" \
    "$(printf '%.2f s / %.2f s = %s' "$best_ours" "$best_unzip" "$ratio")" "<= $target" \
    "$(verdict "$ratio" '<=' "$target")"
}

compare disk "$data" 0.85
if [ -d /dev/shm ]; then
  memory=$(mktemp -d /dev/shm/tk-bench.XXXXXX)
  compare /dev/shm "$memory" 0.60
  rm -rf "$memory"
fi
report "zip: peak RSS (unzip: ${rss_unzip} MB)" "${rss_ours} MB" "< 16 MB" \
  "$(verdict "$rss_ours" '<' 16)"

# The reader serving the form's window (and, past a second, the progress window over it) beside
# the reader alone, on an archive large enough for the progress window to show: the extraction's
# own times, best of five interleaved rounds, into memory (tmpfs) where there is one, so that the
# disk's writeback does not drown what serving the window costs.
[ -n "${DISPLAY:-}" ] || exit 0
large=$data/bench-300.zip
[ -f "$large" ] || python3 bench/make_bench_zip.py "$large" 300 >/dev/null
cat "$large" >/dev/null
served=$(mktemp -d /dev/shm/tk-bench.XXXXXX 2>/dev/null || mktemp -d "$data/served.XXXXXX")
trap 'rm -rf "$served"' EXIT
declare -A best=()
for round in 1 2 3 4 5; do
  for mode in alone --window; do
    rm -rf "${served:?}"/*
    took=$("$bench" "$large" "$served" ${mode#alone})
    if [ -z "${best[$mode]:-}" ] || [ "$(verdict "$took" '<' "${best[$mode]}")" = ok ]; then
      best[$mode]=$took
    fi
  done
done
ratio=$(printf '%.3f' "$(echo "${best[--window]} / ${best[alone]}" | bc -l)")
report "zip: window served / alone (300 MB)" \
  "$(printf '%.2f s / %.2f s = %s' "${best[--window]}" "${best[alone]}" "$ratio")" "<= 1.02" \
  "$(verdict "$ratio" '<=' 1.02)"
