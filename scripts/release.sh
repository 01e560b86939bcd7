#!/usr/bin/env bash
# Builds the product, TovrenKur.exe (preset windows-release: the real driver host, no tests), from
# a clean build folder and writes DIST/TovrenKur.exe and DIST/SHA256SUMS (DIST is dist/ unless
# --dist says otherwise). The same commit gives the same bytes in any clone: the PE time stamp is
# the commit's time (SOURCE_DATE_EPOCH when it is set) and no build path reaches the binary.
# --sign adds an Authenticode SHA-256 signature with osslsigncode; the certificate's password is
# read from FILE, never taken on the command line. --werror fails the build on any compiler warning.
# Usage: release.sh [--sign CERT.pfx --password-file FILE [--timestamp URL]] [--dist DIR] [--werror]
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  sed -n '2,8p' "$0" >&2
  exit 2
}
certificate="" password_file="" timestamp="" dist=dist werror=OFF
while [ $# -gt 0 ]; do
  case "$1" in
    --sign) certificate=${2:-}; shift 2 || usage ;;
    --password-file) password_file=${2:-}; shift 2 || usage ;;
    --timestamp) timestamp=${2:-}; shift 2 || usage ;;
    --dist) dist=${2:-}; shift 2 || usage ;;
    --werror) werror=ON; shift ;;
    *) usage ;;
  esac
done
if [ -n "$certificate" ] || [ -n "$password_file" ] || [ -n "$timestamp" ]; then
  [ -f "$certificate" ] && [ -f "$password_file" ] || {
    echo "release: --sign needs an existing CERT.pfx and --password-file FILE" >&2
    exit 2
  }
fi
[ -n "$dist" ] || usage

bash scripts/install-deps.sh release
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || {
    echo "release: not a git checkout; set SOURCE_DATE_EPOCH to the source's time" >&2
    exit 1
  }
fi
export SOURCE_DATE_EPOCH
if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "release: the work tree has uncommitted changes: this exe is not the commit's" >&2
fi

build=build/windows-release
rm -rf "$build"
cmake --preset windows-release -DCMAKE_COMPILE_WARNING_AS_ERROR="$werror" >/dev/null
cmake --build --preset windows-release
# A product that names a loopback mirror or a build path is never written to DIST.
python3 scripts/check_product_exe.py "$build/TovrenKur.exe"

mkdir -p "$dist"
rm -f "$dist/TovrenKur.exe" "$dist/SHA256SUMS"
if [ -n "$certificate" ]; then
  # -readpass: the password never appears in a process list or a log.
  osslsigncode sign -pkcs12 "$certificate" -readpass "$password_file" -h sha256 -n TovrenKur \
    ${timestamp:+-ts "$timestamp"} -in "$build/TovrenKur.exe" -out "$dist/TovrenKur.exe" >/dev/null
else
  cp "$build/TovrenKur.exe" "$dist/TovrenKur.exe"
fi
(cd "$dist" && sha256sum TovrenKur.exe >SHA256SUMS)

echo "release: $dist/TovrenKur.exe ($(stat -c %s "$dist/TovrenKur.exe") bytes)"
echo "release: $(cat "$dist/SHA256SUMS")"
if [ -z "$certificate" ]; then
  echo "release: $dist/TovrenKur.exe is unsigned: Windows SmartScreen will warn users who start" \
    "it (sign it with --sign CERT.pfx --password-file FILE)"
fi
