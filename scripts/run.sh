#!/usr/bin/env bash
# Builds TovrenKur for Linux and starts it in a sandbox under build/sandbox: its own HOME (so drive
# C is build/sandbox/home/.tovrenkur/drive_c, never the user's), a setup package with stand-ins,
# Chrome 105 for the sandbox user and a loopback HTTPS mirror of the driver server, so that a
# whole installation can be clicked through. Without a display it runs under Xvfb, saves a
# screenshot of the window, says where, and ends the program.
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
# The demo build downloads the driver from a loopback mirror and trusts the mirror's test CA,
# which only this sandbox has; the product build trusts the system's store and nothing else.
certs=$root/build/sandbox-certs
python3 tests/support/driver_mirror.py certs --certs "$certs"
cmake --preset linux-demo >/dev/null
cmake --build --preset linux-demo

# A fresh sandbox on every run: a user "Ayşe Işık" whose desktop is "Masaüstü", Chrome 105, and
# a 64-bit Windows whose SysWOW64 lacks four of the seven components.
sandbox=$root/build/sandbox
rm -rf "$sandbox"
home=$sandbox/home
system=$home/.tovrenkur/drive_c/Windows/SysWOW64
mkdir -p "$system" "$home/Masaüstü" "$home/.config/google-chrome"
for component in msvbvm60.dll shell32.dll wmp.dll; do : >"$system/$component"; done
printf 'XDG_DESKTOP_DIR="$HOME/Masaüstü"\n' >"$home/.config/user-dirs.dirs"
printf '105.0.5195.102' >"$home/.config/google-chrome/Last Version"

# The setup package, unpacked into a folder with blanks and Turkish letters: the program with
# small stand-ins for what it installs.
setup="$home/İndirilenler/Tovren Kurulum"
mkdir -p "$setup/Tovren Bileşenleri" "$setup/Tovren-Selvane"
cp build/linux-demo/bin/TovrenKur "$setup/"
for component in msvbvm60.dll MSSTDFMT.DLL shell32.dll MSCOMCTL.OCX MSCOMCTL.DEP MSCOMCTL.SRG \
  wmp.dll; do
  printf 'bileşen %s\n' "$component" >"$setup/Tovren Bileşenleri/$component"
done
printf '#!/bin/sh\n# Stands in for the application: records that it ran.\necho "Tovren çalıştı: $0" >>"$HOME/tovren-calisti.txt"\n' \
  >"$setup/Tovren.exe"
chmod +x "$setup/Tovren.exe"
printf 'çalışma kitabı\n' >"$setup/DATA.xlsx"
# Read by cmd.exe on Windows and by /bin/sh here: one line both understand.
printf 'echo Chrome ayarlari yapildi > kurulum-betigi.txt\n' >"$setup/Tovren-Selvane/install.cmd"

# The driver mirror: the table's path for Chrome 105, a real archive, on the port the demo build
# names; ended by its PID when this script ends.
mirror=$sandbox/mirror
mkdir -p "$mirror/105.0.5195.52"
python3 tests/support/driver_mirror.py archive --out "$mirror/105.0.5195.52/chromedriver_win32.zip" \
  "chromedriver.exe=sürücü (deneme)"
python3 tests/support/driver_mirror.py serve --port 47445 --root "$mirror" --certs "$certs" \
  --log "$sandbox/mirror.log" --pid-file "$sandbox/mirror.pid" >/dev/null 2>&1 &
mirror_pid=$!
trap 'kill "$mirror_pid" 2>/dev/null || true' EXIT
for ((k = 0; k < 100; k++)); do [ -f "$sandbox/mirror.pid" ] && break; sleep 0.1; done

if [ -n "${DISPLAY:-}" ]; then
  # The X server's cookie stays where it was before HOME moves.
  export XAUTHORITY=${XAUTHORITY:-$HOME/.Xauthority}
  (cd "$setup" && HOME=$home "$setup/TovrenKur")
  exit 0
fi

# No display: an Xvfb of our own.
source scripts/xvfb.sh
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  kill "$mirror_pid" 2>/dev/null || true
  xvfb_stop
}
trap cleanup EXIT

xvfb_start "$sandbox/xvfb.log"

(cd "$setup" && exec env HOME="$home" "$setup/TovrenKur") &
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
