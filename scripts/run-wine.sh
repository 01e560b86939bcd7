#!/usr/bin/env bash
# Builds the Windows program and starts the real TovrenKur.exe under Wine, in a sandbox prefix
# under build/wine-run (never ~/.wine), from a setup package with stand-ins, with Chrome 105 for
# the prefix's user and a loopback HTTPS mirror of the driver server, so that a whole installation
# can be clicked through. The prefix is kept between runs so that the next start is
# quick; --fresh makes a new one. It runs as on a Turkish Windows, as its users have and as the
# acceptance suite runs it (the window's MS Sans Serif is then the Turkish code page's bitmap
# face); --english runs it as on an English one, where Wine falls back to another face.
# With a display, the window opens there and the script waits until the program ends. Without
# one, the program runs on a private Xvfb display: the script saves a screenshot of it to
# build/wine-run/screenshot.png and then ends the program. Where this machine cannot run 32-bit
# programs (or TOVRENKUR_WINE_ARCH=x64), the x64 test build runs instead, in build/wine-run-x64.
# Usage: run-wine.sh [--fresh] [--english]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

fresh=0
turkish=1
for argument in "$@"; do
  case "$argument" in
    --fresh) fresh=1 ;;
    --turkish) turkish=1 ;; # the default; kept for older command lines
    --english) turkish=0 ;;
    *)
      echo "usage: $0 [--fresh] [--english]" >&2
      exit 2
      ;;
  esac
done

bash scripts/install-deps.sh all
source scripts/wine-prefix.sh
source scripts/xvfb.sh
# The product's i686 build where this machine runs 32-bit programs, else the x64 test build.
WP_ARCH=$(wp_arches | head -n 1)
preset=$(wp_preset "$WP_ARCH")
sandbox=$root/build/wine-run
if [ "$WP_ARCH" = x64 ]; then
  echo "run-wine: running the x64 build (this machine cannot run 32-bit programs, or" \
    "TOVRENKUR_WINE_ARCH says so); its prefix is build/wine-run-x64"
  sandbox=$root/build/wine-run-x64
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
exe=$root/build/$preset/TovrenKur.exe
if [ ! -f "$exe" ]; then
  echo "run-wine: $exe is not built: the $preset preset has no TovrenKur target yet" >&2
  exit 1
fi

if [ "$fresh" = 1 ] || [ ! -f "$sandbox/wp/system.reg" ]; then
  echo "run-wine: making a Wine prefix in $sandbox (about 15 s)"
  wp_create "$sandbox"
elif [ ! -f "$sandbox/wp/drive_c/windows/Fonts/marlett.ttf" ]; then
  wp_fonts "$sandbox/wp"  # a prefix kept from before prefixes got their fonts
fi
wp_env "$sandbox"

# The setup package, unpacked into the user's Downloads folder under a name with blanks and
# Turkish letters: the program with small stand-ins for what it installs. The application is a
# stand-in that records its command line (in Tovren.exe.komut beside the installed copy); the
# component MSCOMCTL.OCX is a real registrable DLL, so regsvr32 really runs.
user=$(wine cmd /c 'echo %USERNAME%' </dev/null 2>/dev/null | tr -d '\r')
package="$WINEPREFIX/drive_c/users/$user/Downloads/Tovren Kurulum (Ayşe)"
rm -rf "$package"
mkdir -p "$package/Tovren Bileşenleri" "$package/Tovren-Selvane"
cp "$exe" "$package/TovrenKur.exe"
tests=$root/build/$preset/tests
cp "$tests/tk_recorder.exe" "$package/Tovren.exe"
printf 'çalışma kitabı\r\n' >"$package/DATA.xlsx"
printf 'echo Chrome ayarlari yapildi > "%%~dp0kurulum-betigi.txt"\r\n' \
  >"$package/Tovren-Selvane/install.cmd"
for component in msvbvm60.dll MSSTDFMT.DLL shell32.dll MSCOMCTL.DEP MSCOMCTL.SRG wmp.dll; do
  printf 'bileşen %s\r\n' "$component" >"$package/Tovren Bileşenleri/$component"
done
cp "$tests/tk_register_probe.dll" "$package/Tovren Bileşenleri/MSCOMCTL.OCX"

# Chrome 105 for this user, the browser-automation component's test double registered under the
# driver class (its calls are recorded in C:\automation-calls.txt), and the driver mirror's test CA
# trusted by this prefix only.
wine reg add 'HKCU\Software\Google\Chrome\BLBeacon' /v version /d 105.0.5195.102 /f \
  </dev/null >/dev/null 2>&1
cp "$tests/automation_double.dll" "$WINEPREFIX/drive_c/automation_double.dll"
clsid='HKCR\CLSID\{0277FC34-FD1B-4616-BB19-5D556733E8C9}\InprocServer32'
wine reg add "$clsid" /ve /d 'C:\automation_double.dll' /f </dev/null >/dev/null 2>&1
wine reg add "$clsid" /v ThreadingModel /d Apartment /f </dev/null >/dev/null 2>&1
certs=$root/build/sandbox-certs
python3 tests/support/driver_mirror.py certs --certs "$certs"
wine "$tests/trust_test_ca.exe" "$certs/ca.der" </dev/null >/dev/null 2>&1

# The driver mirror on the port the windows build names, ended by its PID when this script ends.
mirror=$sandbox/mirror
mkdir -p "$mirror/105.0.5195.52"
python3 tests/support/driver_mirror.py archive --out "$mirror/105.0.5195.52/chromedriver_win32.zip" \
  "chromedriver.exe=sürücü (deneme)"
rm -f "$sandbox/mirror.pid"
python3 tests/support/driver_mirror.py serve --port 47443 --root "$mirror" --certs "$certs" \
  --log "$sandbox/mirror.log" --pid-file "$sandbox/mirror.pid" >/dev/null 2>&1 &
mirror_pid=$!
for ((k = 0; k < 100; k++)); do [ -f "$sandbox/mirror.pid" ] && break; sleep 0.1; done
windows_package='C:\users\'"$user"'\Downloads\Tovren Kurulum (Ayşe)\TovrenKur.exe'

# A window manager, when there is one, should frame the window; Xvfb has none.
managed=N
[ -n "${DISPLAY:-}" ] && managed=Y
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f </dev/null >/dev/null 2>&1

# Only Wine runs under the Turkish locale; the host's tools here keep theirs.
start_program() {
  (
    if [ "$turkish" = 1 ]; then wp_turkish "$sandbox"; fi
    exec wine "$windows_package" </dev/null
  )
}

if [ -n "${DISPLAY:-}" ]; then
  trap 'kill "$mirror_pid" 2>/dev/null; wp_kill "$sandbox"' EXIT
  start_program
  exit 0
fi

trap 'kill "$mirror_pid" 2>/dev/null; wp_kill "$sandbox"; xvfb_stop' EXIT
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
