# Helpers that the benchmark scripts share: timing with peak memory, and one printed row per
# measured ratio, so that bench/run.sh prints every benchmark in one table.

# measure NAME COMMAND...: runs COMMAND under /usr/bin/time -v; sets NAME_seconds (wall clock)
# and NAME_rss_mb (peak resident memory). Fails when the command fails.
measure() {
  local name=$1 log start end
  shift
  log=$(mktemp)
  start=$(date +%s.%N)
  if ! /usr/bin/time -v "$@" >/dev/null 2>"$log"; then
    cat "$log" >&2
    rm -f "$log"
    return 1
  fi
  end=$(date +%s.%N)
  printf -v "${name}_seconds" '%s' "$(echo "$end - $start" | bc -l)"
  printf -v "${name}_rss_mb" '%s' \
    "$(awk '/Maximum resident set size/ {printf "%.1f", $NF / 1024}' "$log")"
  rm -f "$log"
}

# report WHAT MEASURED TARGET_TEXT VERDICT: one row of the table.
report() {
  printf '%-38s %-24s %-14s %s\n' "$1" "$2" "$3" "$4"
}

# verdict VALUE OP LIMIT: "ok" or "MISSED" for VALUE <= / < / >= LIMIT (decimal numbers).
verdict() {
  if [ "$(echo "$1 $2 $3" | bc -l)" = 1 ]; then echo ok; else echo MISSED; fi
}
