#!/usr/bin/env bash
# TovrenKur.exe's size, and its start-to-window time under Wine beside an empty Win32 window
# program's, measured in the same run, in a throw-away prefix with its own Xvfb display.
# Targets: the exe under 640 KB; start-to-window within 1.2 times the empty window's.
# A second baseline, the empty window with TovrenKur.exe's manifest and OleInitialize, shows what
# a start-up with OLE costs (TovrenKur.exe leaves OLE to the Continue action). A third, a window
# of the form's shape (the manifest, the 19 child controls of the same classes at their places,
# no scan, no fonts), separates what the program adds over a window of its own shape from what
# Wine charges for 19 controls: target within 1.10 times it. Each program's imports are printed
# beside its figures. Where this machine cannot run 32-bit programs, all of it is the x64 build.
# Usage: bench/start_time_win.sh [RUNS]   (builds the Windows test preset first)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
source scripts/wine-prefix.sh
source scripts/xvfb.sh
WP_ARCH=$(wp_arches | head -n 1)
preset=$(wp_preset "$WP_ARCH")
build=build/$preset
out=$build/bench
tool=i686-w64-mingw32
[ "$WP_ARCH" = x64 ] && tool=x86_64-w64-mingw32
echo "architecture: $WP_ARCH (preset $preset)"

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target TovrenKur inspector >/dev/null
mkdir -p "$out"
# The baselines are built with the same compiler and flags as the product.
cxx=("$tool-g++-posix" -std=c++20 -O2 -municode -mwindows -static -s -Isrc)
"${cxx[@]}" bench/empty_window_win.cpp -o "$out/empty_window.exe"
(cd src/platform/windows && echo '1 24 "tovrenkur.manifest"' |
  "$tool-windres" -O coff -o "$OLDPWD/$out/manifest.o")
"${cxx[@]}" -DWITH_OLE bench/empty_window_win.cpp "$out/manifest.o" -lole32 \
  -o "$out/empty_window_v6.exe"
"${cxx[@]}" -DWITH_CONTROLS bench/empty_window_win.cpp src/app/form_description.cpp \
  "$out/manifest.o" -o "$out/form_shape.exe"

wp_session bench
scratch=$WP_SESSION
wp_env "$scratch"
wp_warm
# Wine's desktop process ends about a second after the last window closes and starts again
# with the next one; a window kept open throughout leaves it running, as Windows' shell is.
wine notepad </dev/null >/dev/null 2>&1 &
sleep 2

winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }
inspector=$build/tests/inspector.exe
names=(empty empty_v6 shape product)
exes=("$out/empty_window.exe" "$out/empty_window_v6.exe" "$out/form_shape.exe" "$build/TovrenKur.exe")
titles=("Empty window" "Empty window" "Empty window" "Tovren Kurulum işlemlerine hoşgeldiniz.")

load_start=$(cut -d' ' -f1 /proc/loadavg)
# The programs start in turn, so that all meet the same machine load; the first round (cold
# caches) is not counted.
for ((round = 0; round <= runs; round++)); do
  for k in 0 1 2 3; do
    ms=$(timeout 60 wine "$inspector" time-window "$(winpath "${exes[k]}")" "${titles[k]}" 20000 \
      </dev/null | sed -n 's/.*"ms":\([0-9.]*\).*/\1/p')
    [ -n "$ms" ] || { echo "the window of ${exes[k]} did not appear" >&2; exit 1; }
    ((round > 0)) && echo "$ms" >>"$scratch/${names[k]}"
  done
done

# The DLLs an exe imports, in lower case, on one line.
imports() {
  "$tool-objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]' |
    sort | paste -sd' '
}
# Prints "median minimum" of a file of numbers.
stats() { sort -n "$1" | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print m, v[1] }'; }
read -r e_med e_min < <(stats "$scratch/empty")
read -r v_med v_min < <(stats "$scratch/empty_v6")
read -r s_med s_min < <(stats "$scratch/shape")
read -r p_med p_min < <(stats "$scratch/product")
awk -v size="$(stat -c %s "$build/TovrenKur.exe")" -v esize="$(stat -c %s "${exes[0]}")" \
  -v runs="$runs" -v em="$e_med" -v en="$e_min" -v vm="$v_med" -v vn="$v_min" \
  -v sm="$s_med" -v sn="$s_min" -v pm="$p_med" -v pn="$p_min" -v loadavg="$load_start at the start, $(cut -d' ' -f1 /proc/loadavg) at the end" \
  -v ei="$(imports "${exes[0]}")" -v vi="$(imports "${exes[1]}")" -v si="$(imports "${exes[2]}")" \
  -v pi="$(imports "${exes[3]}")" \
  'BEGIN {
  printf "TovrenKur.exe size:           %7.1f KB  (target < 640 KB: %s)\n", size / 1024,
    size < 640 * 1024 ? "met" : "MISSED"
  printf "empty_window.exe size:        %7.1f KB\n\n", esize / 1024
  printf "start to window under Wine, %d starts each (load average %s):\n", runs, loadavg
  printf "                               median   fastest     imports\n"
  printf "  empty Win32 window          %7.1f   %7.1f ms  %s\n", em, en, ei
  printf "  empty window, manifest+OLE  %7.1f   %7.1f ms  %s\n", vm, vn, vi
  printf "  form-shaped window          %7.1f   %7.1f ms  %s\n", sm, sn, si
  printf "  TovrenKur.exe               %7.1f   %7.1f ms  %s\n", pm, pn, pi
  printf "  ratio to the empty window   %7.2f   %7.2f     (target <= 1.20: %s)\n", pm / em,
    pn / en, pm / em <= 1.2 ? "met" : "MISSED"
  printf "  ratio to manifest+OLE       %7.2f   %7.2f\n", pm / vm, pn / vn
  printf "ratio to the same-controls window: %.2f  (medians; fastest %.2f; target <= 1.10: %s)\n",
    pm / sm, pn / sn, pm / sm <= 1.1 ? "met" : "MISSED"
}'
