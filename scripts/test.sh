#!/usr/bin/env bash
# Builds and runs every test: the Linux build (logic on the fake platform, the substitute's
# contract), then the Windows builds (i686 and x64, or x64 alone where 32-bit programs cannot run)
# under throw-away Wine prefixes with their own Xvfb display, then the product as
# scripts/release.sh makes it, signed. Every build treats a warning as an error.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh all

failed=0
# The repository's .clang-format, with Debian's clang-format 14.
find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
  xargs -0 clang-format --dry-run --Werror || failed=1

# The presets hold the warning flags; CI adds only that a warning fails the build.
werror=-DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --preset linux "$werror" >/dev/null
cmake --build --preset linux
ctest --preset linux || failed=1
# The substitute's release build (the benchmarks'), whose optimiser warns of other things.
cmake --preset linux-release "$werror" >/dev/null
cmake --build --preset linux-release || failed=1
# The zip reader under libFuzzer for a bounded time: no crash, nothing outside the destination.
bash scripts/fuzz-zip.sh 60 || failed=1

# Windows: every test program runs under Wine (the preset's emulator), in prefixes that this run
# makes for itself and removes at the end, whatever happens. The product is i686; where this
# machine cannot run 32-bit programs the same suite runs on the x64 build, and where it can, on
# both, so that the fallback never rots.
source scripts/wine-prefix.sh
source scripts/xvfb.sh
arches=$(wp_arches)
if [ -n "${TOVRENKUR_WINE_ARCH:-}" ]; then
  echo "TOVRENKUR_WINE_ARCH=$TOVRENKUR_WINE_ARCH: the Windows suite runs on that build only."
elif ! wp_runs_32bit; then
  echo "This machine cannot run 32-bit programs: the Windows suite runs on the x64 build only."
fi
wp_session test
scratch=$WP_SESSION
# Tests that need a prefix of their own (a scenario that changes the system folder) restore this
# copy into a scratch folder of theirs: wp_restore "$TK_WINE_PREFIX_TAR" <their folder>.
wp_save "$scratch" "$scratch/prefix.tar"
export TK_WINE_PREFIX_TAR="$scratch/prefix.tar"
for arch in $arches; do
  preset=$(wp_preset "$arch")
  echo "Windows suite for $arch (preset $preset):"
  cmake --preset "$preset" "$werror" >/dev/null
  cmake --build --preset "$preset"
  run=$scratch/$arch
  wp_restore "$TK_WINE_PREFIX_TAR" "$run"
  (
    WP_ARCH=$arch
    wp_env "$run"
    wp_warm
    ctest --preset "$preset"
  ) || failed=1
  # The platform's contract once more as on a Turkish Windows (code pages 1254/857), where the
  # program's users are: names with ş, ı and İ must behave the same.
  echo "Windows platform contract for $arch under the Turkish locale:"
  (
    WP_ARCH=$arch
    wp_env "$run"
    wp_turkish "$run"
    ctest --preset "$preset" -L platform
  ) || failed=1
  wp_kill "$run"
done

# The product: built from a clean folder as a vendor builds it, named hosts checked, signed with a
# throw-away certificate, verified, and started under Wine.
started=$SECONDS
bash tests/release/release_check.sh "$scratch/release" "$scratch/$(wp_arches | head -n 1)" || failed=1
echo "release build and checks: $((SECONDS - started)) s"
exit $failed
