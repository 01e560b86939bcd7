#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing TovrenKur need. Idempotent and
# quiet when everything is already there. Usage: install-deps.sh [linux|windows|release|all]
set -euo pipefail
what=${1:-all}

linux_pkgs=(cmake make g++ pkg-config libgtest-dev libfltk1.3-dev libcurl4-openssl-dev zlib1g-dev
  fonts-dejavu-core fonts-dejavu-extra xvfb xauth x11-apps imagemagick zip unzip openssl python3
  xdotool clang clang-format libclang-rt-dev time bc)
windows_pkgs=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev googletest
  zip wine wine32 wine64 fonts-wine locales xvfb xauth xdotool imagemagick osslsigncode)
# What scripts/release.sh needs to build and sign the product, without Wine.
release_pkgs=(cmake make git python3 g++-mingw-w64-i686 libz-mingw-w64-dev osslsigncode)

pkgs=()
case "$what" in
  linux) pkgs=("${linux_pkgs[@]}") ;;
  windows) pkgs=("${windows_pkgs[@]}") ;;
  release) pkgs=("${release_pkgs[@]}") ;;
  all) pkgs=("${linux_pkgs[@]}" "${windows_pkgs[@]}") ;;
  *) echo "usage: $0 [linux|windows|release|all]" >&2; exit 2 ;;
esac

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [[ " ${missing[*]} " == *" wine32 "* ]] && ! dpkg --print-foreign-architectures | grep -q i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" \
  >/dev/null
