#!/usr/bin/env bash
# Throw-away Wine prefixes for tests and demo runs. Everything lives in one scratch folder:
# SCRATCH/home (HOME) and SCRATCH/wp (WINEPREFIX), never the user's ~/.wine.
#
# Source it for the functions (wp_arches, wp_preset, wp_env, wp_turkish, wp_create, wp_fonts,
# wp_warm, wp_save, wp_restore, wp_kill, wp_session), or run it as a command:
#   wine-prefix.sh create SCRATCH       a fresh prefix, ready for windows without a window manager
#   wine-prefix.sh save SCRATCH TAR     stop the prefix's programs and tar it
#   wine-prefix.sh restore TAR SCRATCH  a fresh copy of a saved prefix (about 4 s against 15 s)
#   wine-prefix.sh kill SCRATCH         end every Wine process of that prefix
#   wine-prefix.sh env SCRATCH [tr]     print the variables to export (tr: Turkish Windows)
#   wine-prefix.sh arches               the Windows builds this machine's Wine runs, best first
# Every wait is bounded; a failure prints what went wrong and returns non-zero.
#
# Architectures. The product is i686, but some machines cannot execute 32-bit programs at all, and
# there Debian's wine (which always picks the 32-bit loader when wine32 is installed) fails. There
# the Windows tests run on the x64 build, every Wine call going through the 64-bit loader.
# TOVRENKUR_WINE_ARCH (i686 or x64) forces the answer, so both paths can be run on any machine.
# WP_ARCH is the architecture that wp_env sets this shell up for (default: the first answer).
WP_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Prints the architectures to test, one a line: "i686" and "x64" where 32-bit programs run,
# else "x64" alone.
wp_arches() {
  case "${TOVRENKUR_WINE_ARCH:-}" in
    i686 | x64) echo "$TOVRENKUR_WINE_ARCH" ;;
    "") if wp_runs_32bit; then printf 'i686\nx64\n'; else echo x64; fi ;;
    *)
      echo "wine-prefix: TOVRENKUR_WINE_ARCH must be i686 or x64, not '$TOVRENKUR_WINE_ARCH'" >&2
      return 1
      ;;
  esac
}

# Whether this machine can run the 32-bit Wine loader (and so any 32-bit program).
wp_runs_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The CMake preset of the Windows test build for ARCH, and of the release build with "release".
wp_preset() {
  local arch=$1 kind=${2:-}
  local name=windows${kind:+-$kind}
  [ "$arch" = x64 ] && name=$name-x64
  echo "$name"
}

# The variables that put Wine into SCRATCH. A UTF-8 locale is required: without one, Wine turns
# every non-ASCII file name into question marks. Call it in a subshell when the caller's own
# HOME matters.
wp_env() {
  local scratch=$1
  [ -n "${WP_ARCH:-}" ] || WP_ARCH=$(wp_arches | head -n 1)
  export WP_ARCH
  if [ "$WP_ARCH" = x64 ]; then
    # wine, and wine-stable which wineboot and the other tools start, run the 64-bit loader.
    mkdir -p "$scratch/bin"
    ln -sf "$WP_SCRIPTS/wine64" "$scratch/bin/wine"
    ln -sf "$WP_SCRIPTS/wine64" "$scratch/bin/wine-stable"
    export PATH="$scratch/bin:$PATH" WINELOADER=/usr/lib/wine/wine64
  fi
  export HOME="$scratch/home" WINEPREFIX="$scratch/wp" WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d"
  export LANG=C.UTF-8
  unset LC_ALL LOCPATH
}

# Turkish Windows for the Wine programs started from this shell: code pages 1254 and 857, "Evet"
# and "Hayır" on message boxes. The host has no Turkish locale installed, so it is compiled into
# SCRATCH/locale once (about 2 s). Only Wine should run under it: the host's own tools would start
# matching "i" and "I" the Turkish way.
wp_turkish() {
  local scratch=$1
  if [ ! -d "$scratch/locale/tr_TR.UTF-8" ]; then
    mkdir -p "$scratch/locale"
    localedef -i tr_TR -f UTF-8 "$scratch/locale/tr_TR.UTF-8" 2>/dev/null || {
      echo "wine-prefix: cannot build the Turkish locale (is the 'locales' package there?)" >&2
      return 1
    }
  fi
  export LOCPATH="$scratch/locale" LANG=tr_TR.UTF-8
  unset LC_ALL
}

# Runs a command under a time limit with no terminal input; its output goes to SCRATCH/wine.log.
_wp_run() {
  local seconds=$1
  shift
  timeout "$seconds" "$@" </dev/null >>"$(dirname "$WINEPREFIX")/wine.log" 2>&1
}

# A fresh prefix in SCRATCH (which may exist; a prefix already there is replaced).
wp_create() {
  local scratch=$1
  wp_kill "$scratch"
  rm -rf "$scratch/wp" "$scratch/home"
  mkdir -p "$scratch/home"
  (
    wp_env "$scratch"
    _wp_run 180 wineboot -i || { echo "wine-prefix: wineboot failed, see $scratch/wine.log" >&2; exit 1; }
    _wp_run 60 wineserver -w
    # No window manager under Xvfb: unmanaged windows show at once and end at once (a managed
    # one delays its process's exit by about 2 s).
    _wp_run 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f ||
      { echo "wine-prefix: cannot set the X11 driver, see $scratch/wine.log" >&2; exit 1; }
    _wp_run 60 wineserver -w
    _wp_real_user_folders "$WINEPREFIX"
    _wp_fill_syswow64 "$WINEPREFIX"
    wp_fonts "$WINEPREFIX" || exit 1
  )
}

# Puts fonts-wine's files into PREFIX's Fonts folder. This Wine does not read their folder by
# itself: without them the caption buttons read "0 1 r" (no Marlett) and Tahoma and MS Sans Serif
# fall back to another face. With them, windows look as they do on Windows.
wp_fonts() {
  local prefix=$1 fonts=/usr/share/wine/fonts
  if [ ! -d "$fonts" ]; then
    echo "wine-prefix: $fonts is missing (is fonts-wine installed?)" >&2
    return 1
  fi
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp "$fonts"/* "$prefix/drive_c/windows/Fonts/"
}

# A fresh prefix links Desktop, Documents, Downloads... to $HOME: a program writing its desktop
# would write into the host's home folder. Real folders keep everything inside the prefix.
_wp_real_user_folders() {
  local prefix=$1 link
  while IFS= read -r -d '' link; do
    rm -f "$link"
    mkdir -p "$link"
  done < <(find "$prefix/drive_c/users" -mindepth 2 -maxdepth 2 -type l -print0)
}

# Where 32-bit programs cannot run, wineboot leaves SysWOW64 empty, unlike any 64-bit Windows. The
# scan's tests count on the two system DLLs among the seven being there (Wine's own, as on a
# Windows that has them), so they are copied in from System32; elsewhere nothing changes.
_wp_fill_syswow64() {
  local windows=$1/drive_c/windows name
  [ -d "$windows/syswow64" ] || return 0
  for name in shell32.dll wmp.dll; do
    [ -e "$windows/syswow64/$name" ] || cp "$windows/system32/$name" "$windows/syswow64/$name"
  done
}

# Starts the prefix's wineserver for good and its services with their output discarded. Without
# it the first Wine program of a ctest run starts the services, which inherit that program's
# output pipe and keep ctest waiting. Afterwards a test program starts in well under 0.1 s.
wp_warm() {
  _wp_run 60 wineserver -p
  _wp_run 60 wine cmd /c exit
}

# Ends every Wine process of SCRATCH's prefix, and its wineserver (harmless when none runs).
wp_kill() {
  local scratch=$1
  [ -d "$scratch/wp" ] || return 0
  (
    wp_env "$scratch"
    timeout 30 wineserver -k </dev/null >/dev/null 2>&1
    timeout 30 wineserver -w </dev/null >/dev/null 2>&1
  ) || true
}

# Saves SCRATCH's prefix (with its home) into TAR. Ends the prefix's programs first, so that the
# registry files on disk are complete.
wp_save() {
  local scratch=$1 tar=$2
  wp_kill "$scratch"
  tar -C "$scratch" -cf "$tar" wp home
}

# A fresh copy of a saved prefix in SCRATCH, replacing any prefix there.
wp_restore() {
  local tar=$1 scratch=$2
  wp_kill "$scratch"
  rm -rf "$scratch/wp" "$scratch/home"
  mkdir -p "$scratch"
  tar -C "$scratch" -xf "$tar"
}

# A throw-away session for a script: a new scratch folder (its path in WP_SESSION) with a fresh
# prefix and a private Xvfb display, both removed when the script exits, whatever happens.
# Needs scripts/xvfb.sh sourced as well. Usage: wp_session NAME (a word for the folder's name).
wp_session() {
  WP_SESSION=$(mktemp -d "${TMPDIR:-/tmp}/tovrenkur-$1.XXXXXX")
  # Prefixes that the caller restores under the session's folder are ended with it.
  trap 'for d in "$WP_SESSION" "$WP_SESSION"/*/; do wp_kill "$d"; done; xvfb_stop; rm -rf "$WP_SESSION"' EXIT
  wp_create "$WP_SESSION"
  xvfb_start "$WP_SESSION/xvfb.log"
}

# Command form.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  command=${1:-}
  case "$command" in
    create) wp_create "$2" ;;
    save) wp_save "$2" "$3" ;;
    restore) wp_restore "$2" "$3" ;;
    kill) wp_kill "$2" ;;
    arches) wp_arches ;;
    env)
      wp_env "$2"
      [ "${3:-}" = tr ] && wp_turkish "$2"
      for name in HOME WINEPREFIX WINEDEBUG WINEDLLOVERRIDES LANG LOCPATH PATH WINELOADER WP_ARCH; do
        [ -n "${!name:-}" ] && printf 'export %s=%q\n' "$name" "${!name}"
      done
      ;;
    *)
      sed -n '2,14p' "$0" >&2
      exit 2
      ;;
  esac
fi
