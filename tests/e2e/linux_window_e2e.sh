#!/usr/bin/env bash
# The real TovrenKur on Linux under an Xvfb of its own: for a drive C with missing components and
# for one with all of them, the window's size, title and colours, the list of missing components
# as drawn, and "Kurulumdan Çık" ending the process. Screenshots stay in the output folder.
# Usage: linux_window_e2e.sh <TovrenKur executable> <output folder>
set -euo pipefail
source "$(dirname "$0")/../../scripts/xvfb.sh"
exe=$(realpath "$1")
out=$2
rm -rf "$out"
mkdir -p "$out"
out=$(realpath "$out")

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  xvfb_stop
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

xvfb_start "$out/xvfb.log" || fail "Xvfb did not start"

# Pixels of the table at 96 DPI.
px() { echo $(($1 * 96 / 1440)); }

pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }

# The number of text lines drawn inside a rectangle (x y w h) of a screenshot: rows holding dark
# pixels, counted in bands.
text_lines() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace Gray -threshold 50% -negate \
    -scale "1x$5!" -depth 8 txt:- |
    awk -F'[()]' 'NR > 1 { dark = ($2 + 0 > 0); if (dark && !was) n++; was = dark } END { print n + 0 }'
}

# run_case NAME SYSTEM-FOLDER EXPECTED-LINES COMPONENTS...
run_case() {
  local name=$1 folder=$2 expected=$3
  shift 3
  local home="$out/$name/home"
  local system="$home/.tovrenkur/drive_c/Windows/$folder"
  mkdir -p "$system"
  for component in "$@"; do : >"$system/$component"; done

  HOME="$home" "$exe" >"$out/$name.log" 2>&1 &
  local pid=$!
  pids+=("$pid")
  local wid=""
  find_window() { wid=$(xdotool search --onlyvisible --class TovrenKur 2>/dev/null | head -n1); [ -n "$wid" ]; }
  wait_for 20 find_window || fail "$name: no window ($(cat "$out/$name.log"))"

  # Drawn once the panel shows its light red.
  local shot="$out/$name.png"
  drawn() { import -window "$wid" "$shot" 2>/dev/null && [ "$(pixel "$shot" 84 100)" = "srgb(255,128,128)" ]; }
  wait_for 10 drawn || fail "$name: the panel is not light red ($(pixel "$shot" 84 100))"

  xdotool getwindowgeometry "$wid" | grep -q "Geometry: 424x328" ||
    fail "$name: $(xdotool getwindowgeometry "$wid")"
  [ "$(xdotool getwindowname "$wid")" = "Tovren Kurulum işlemlerine hoşgeldiniz." ] ||
    fail "$name: title $(xdotool getwindowname "$wid")"
  [ "$(pixel "$shot" 40 100)" = "srgb(0,120,215)" ] || fail "$name: side bar $(pixel "$shot" 40 100)"
  [ "$(pixel "$shot" "$(px 240)" "$(px 240)")" = "srgb(0,0,0)" ] || fail "$name: no frame"

  # Text13's inside, below its 2-pixel border.
  local lines
  lines=$(text_lines "$shot" $(($(px 1320) + 3)) $(($(px 1320) + 3)) $(($(px 4695) - 6)) $(($(px 1425) - 6)))
  [ "$lines" = "$expected" ] || fail "$name: Text13 shows $lines lines, expected $expected"

  # Click "Kurulumdan Çık" in its middle; the program must end by itself.
  xdotool mousemove --window "$wid" $(px $((3240 + 1335 / 2))) $(px $((4440 + 375 / 2))) click 1
  wait_for 10 eval "! kill -0 $pid 2>/dev/null" || fail "$name: still running after the click"
  local code=0
  wait "$pid" || code=$?
  [ "$code" -eq 0 ] || fail "$name: exit code $code"
  echo "ok: $name ($lines missing listed), screenshot $shot"
}

run_case missing SysWOW64 4 msvbvm60.dll shell32.dll wmp.dll
run_case present System32 0 msvbvm60.dll MSSTDFMT.DLL shell32.dll MSCOMCTL.OCX MSCOMCTL.DEP \
  MSCOMCTL.SRG wmp.dll
