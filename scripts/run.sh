#!/usr/bin/env bash
# Builds TovrenKur for Linux and starts it in a sandbox under build/sandbox: its own HOME, so drive
# C is build/sandbox/home/.tovrenkur/drive_c, never the user's. Without a display it runs under
# Xvfb, saves a screenshot of the window, says where, and ends the program.
# Usage: run.sh [--wine]   (--wine: the Windows build under Wine, by scripts/run-wine.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ "${1:-}" = "--wine" ]; then
  if [ ! -f scripts/run-wine.sh ]; then
    echo "scripts/run-wine.sh is missing: the Wine run is not available in this checkout." >&2
    exit 1
  fi
  shift
  exec bash scripts/run-wine.sh "$@"
fi

bash scripts/install-deps.sh linux
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release

# A fresh sandbox on every run, so the scan always meets the same drive C: a 64-bit Windows
# whose SysWOW64 lacks four of the seven components.
sandbox=$root/build/sandbox
rm -rf "$sandbox"
system=$sandbox/home/.tovrenkur/drive_c/Windows/SysWOW64
mkdir -p "$system"
for component in msvbvm60.dll shell32.dll wmp.dll; do : >"$system/$component"; done

# The setup package: the program with what it installs beside it (placeholders).
setup=$sandbox/setup
mkdir -p "$setup/Tovren Bileşenleri" "$setup/Tovren-Selvane"
cp build/linux-release/bin/TovrenKur "$setup/"
for component in msvbvm60.dll MSSTDFMT.DLL shell32.dll MSCOMCTL.OCX MSCOMCTL.DEP MSCOMCTL.SRG \
  wmp.dll; do
  : >"$setup/Tovren Bileşenleri/$component"
done
printf '#!/bin/sh\n# Stands in for the application in this demo.\nexit 0\n' >"$setup/Tovren.exe"
chmod +x "$setup/Tovren.exe"
: >"$setup/DATA.xlsx"
: >"$setup/Tovren-Selvane/install.cmd"

if [ -n "${DISPLAY:-}" ]; then
  # The X server's cookie stays where it was before HOME moves.
  export XAUTHORITY=${XAUTHORITY:-$HOME/.Xauthority}
  HOME=$sandbox/home exec "$setup/TovrenKur"
fi

# No display: an Xvfb of our own.
source scripts/xvfb.sh
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  xvfb_stop
}
trap cleanup EXIT
wait_for() {
  local seconds=$1; shift
  for ((k = 0; k < seconds * 10; k++)); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}

xvfb_start "$sandbox/xvfb.log"

HOME=$sandbox/home "$setup/TovrenKur" &
app=$!
pids+=("$app")
wid=""
find_window() { wid=$(xdotool search --onlyvisible --class TovrenKur 2>/dev/null | head -n1); [ -n "$wid" ]; }
wait_for 20 find_window || { echo "TovrenKur showed no window" >&2; exit 1; }

mkdir -p build/screenshots
shot=$root/build/screenshots/run.png
# The window is drawn once its light red panel is there.
drawn() {
  import -window "$wid" "$shot" 2>/dev/null &&
    [ "$(convert "$shot" -format '%[pixel:p{84,100}]' info:)" = "srgb(255,128,128)" ]
}
wait_for 10 drawn || echo "The window may not be fully drawn yet." >&2
echo "No display: TovrenKur ran under Xvfb; screenshot of its window: $shot"
kill "$app"
