#!/usr/bin/env bash
# Builds the Windows program and starts the real TovrenKur.exe under Wine, in a sandbox prefix
# under build/wine-run (never ~/.wine). The prefix is kept between runs so that the next start is
# quick; --fresh makes a new one. --turkish runs it as on a Turkish Windows.
# With a display, the window opens there and the script waits until the program ends. Without
# one, the program runs on a private Xvfb display: the script saves a screenshot of it to
# build/wine-run/screenshot.png and then ends the program.
# Usage: run-wine.sh [--fresh] [--turkish]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

fresh=0
turkish=0
for argument in "$@"; do
  case "$argument" in
    --fresh) fresh=1 ;;
    --turkish) turkish=1 ;;
    *)
      echo "usage: $0 [--fresh] [--turkish]" >&2
      exit 2
      ;;
  esac
done

bash scripts/install-deps.sh windows
cmake --preset windows >/dev/null
cmake --build --preset windows
exe=$root/build/windows/TovrenKur.exe
if [ ! -f "$exe" ]; then
  echo "run-wine: $exe is not built: the windows preset has no TovrenKur target yet" >&2
  exit 1
fi

source scripts/wine-prefix.sh
source scripts/xvfb.sh
sandbox=$root/build/wine-run
if [ "$fresh" = 1 ] || [ ! -f "$sandbox/wp/system.reg" ]; then
  echo "run-wine: making a Wine prefix in $sandbox (about 15 s)"
  wp_create "$sandbox"
fi
wp_env "$sandbox"

# The program runs from a folder of drive C, as from an unpacked setup package.
package="$WINEPREFIX/drive_c/Kurulum"
mkdir -p "$package"
cp "$exe" "$package/TovrenKur.exe"

# A window manager, when there is one, should frame the window; Xvfb has none.
managed=N
[ -n "${DISPLAY:-}" ] && managed=Y
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f </dev/null >/dev/null 2>&1

# Only Wine runs under the Turkish locale; the host's tools here keep theirs.
start_program() {
  (
    if [ "$turkish" = 1 ]; then wp_turkish "$sandbox"; fi
    exec wine 'C:\Kurulum\TovrenKur.exe' </dev/null
  )
}

if [ -n "${DISPLAY:-}" ]; then
  trap 'wp_kill "$sandbox"' EXIT
  start_program
  exit 0
fi

trap 'wp_kill "$sandbox"; xvfb_stop' EXIT
xvfb_start "$sandbox/xvfb.log"
start_program >>"$sandbox/wine.log" 2>&1 &
program=$!
# Wait (bounded) for the window, then give it a moment to paint.
window=
for ((tries = 0; tries < 300; tries++)); do
  window=$(xdotool search --name 'Tovren Kurulum' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  kill -0 "$program" 2>/dev/null || {
    echo "run-wine: TovrenKur.exe ended before showing its window (see $sandbox/wine.log)" >&2
    exit 1
  }
  sleep 0.1
done
sleep 1
if [ -n "$window" ]; then
  import -window "$window" "$sandbox/screenshot.png"
else
  echo "run-wine: no window titled 'Tovren Kurulum' appeared within 30 s; taking the screen" >&2
  import -window root "$sandbox/screenshot.png"
fi
echo "run-wine: no display here; the window is in $sandbox/screenshot.png"
