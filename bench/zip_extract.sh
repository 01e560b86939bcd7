#!/usr/bin/env bash
# Extraction of a 100 MB archive of a few thousand files: the program's zip reader (one thread,
# CRC checks and safety rules on) beside `unzip -o` in the same run, best of three rounds each,
# both from a warm page cache into fresh folders. Prints time and peak-memory rows; with a
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

best_ours="" best_unzip="" rss_ours=0 rss_unzip=0
for round in 1 2 3; do
  rm -rf "$data/ours" "$data/unzip" && mkdir -p "$data/ours" "$data/unzip"
  measure ours "$bench" "$archive" "$data/ours"
  measure theirs unzip -o -q "$archive" -d "$data/unzip"
  if [ -z "$best_ours" ] || [ "$(verdict "$ours_seconds" '<' "$best_ours")" = ok ]; then
    best_ours=$ours_seconds
  fi
  if [ -z "$best_unzip" ] || [ "$(verdict "$theirs_seconds" '<' "$best_unzip")" = ok ]; then
    best_unzip=$theirs_seconds
  fi
  rss_ours=$(echo "if ($ours_rss_mb > $rss_ours) $ours_rss_mb else $rss_ours" | bc -l)
  rss_unzip=$theirs_rss_mb
done
if ! diff -r -q "$data/ours" "$data/unzip" >/dev/null; then
  report "zip: extracted trees" "differ from unzip's" "identical" MISSED
  exit 1
fi
rm -rf "$data/ours" "$data/unzip"

ratio=$(printf '%.2f' "$(echo "$best_ours / $best_unzip" | bc -l)")
report "zip: time / unzip -o time" \
  "$(printf '%.2f s / %.2f s = %s' "$best_ours" "$best_unzip" "$ratio")" "<= 0.70" \
  "$(verdict "$ratio" '<=' 0.70)"
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
