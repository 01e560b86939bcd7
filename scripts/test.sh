#!/usr/bin/env bash
# Builds and runs every test: the Linux build (logic on the fake platform, the substitute's
# contract), then the Windows build under a throw-away Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh all

cmake --preset linux >/dev/null
cmake --build --preset linux
ctest --preset linux
# The zip reader under libFuzzer for a bounded time: no crash, nothing outside the destination.
bash scripts/fuzz-zip.sh 60
