#!/usr/bin/env bash
# The product as a vendor makes it: scripts/release.sh builds TovrenKur.exe (warnings as errors)
# and signs it with a throw-away certificate made here. The hash file must match, the signature
# must verify against the throw-away CA, and the signed exe must start under Wine to its window.
# Where this machine cannot run 32-bit programs, the same release flags built for x64 start
# instead (and the check says so). The host check that release.sh runs must itself reject the
# test build, which names the mirror.
# Usage: release_check.sh OUT WINE_SCRATCH   (a prefix made by scripts/wine-prefix.sh; DISPLAY set;
#        the Windows test build of the architecture that Wine runs here, for its inspector)
set -euo pipefail
cd "$(dirname "$0")/../.."
out=$1 wine_scratch=$2
keys=$out/keys
rm -rf "$out" && mkdir -p "$keys"

# A CA and a code-signing certificate under it, in a PKCS#12 file whose password is in a file.
(
  cd "$keys"
  openssl req -x509 -newkey rsa:2048 -nodes -days 7 -subj "/CN=TovrenKur Signing Test CA" \
    -keyout ca.key -out ca.pem -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign
  openssl req -newkey rsa:2048 -nodes -subj "/CN=TovrenKur Test Vendor" -keyout signer.key \
    -out signer.csr
  printf '%s\n' basicConstraints=CA:FALSE keyUsage=critical,digitalSignature \
    extendedKeyUsage=codeSigning >signer.ext
  openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 7 \
    -extfile signer.ext -out signer.pem
  openssl rand -hex 16 >password
  openssl pkcs12 -export -in signer.pem -inkey signer.key -certfile ca.pem \
    -passout file:password -out signer.pfx
) >"$out/keys.log" 2>&1

bash scripts/release.sh --werror --dist "$out/dist" --sign "$keys/signer.pfx" \
  --password-file "$keys/password"
(cd "$out/dist" && sha256sum --quiet -c SHA256SUMS)
osslsigncode verify -CAfile "$keys/ca.pem" -in "$out/dist/TovrenKur.exe" >"$out/verify.log" 2>&1 ||
  { cat "$out/verify.log"; echo "release check: the signature does not verify" >&2; exit 1; }
source scripts/wine-prefix.sh
WP_ARCH=$(wp_arches | head -n 1)
tests=build/$(wp_preset "$WP_ARCH")
faults=$(python3 scripts/check_product_exe.py "$tests/TovrenKur.exe" 2>&1 || true)
[[ $faults == *"loopback address localhost"* ]] ||
  { echo "release check: the host check let the loopback test build pass" >&2; exit 1; }

exe=$out/dist/TovrenKur.exe
if [ "$WP_ARCH" = x64 ]; then
  echo "release check: this machine cannot run 32-bit programs; starting the x64 build of the" \
    "release flags instead of the signed i686 exe"
  preset=$(wp_preset x64 release)
  cmake --preset "$preset" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
  cmake --build --preset "$preset" --target TovrenKur >/dev/null
  exe=build/$preset/TovrenKur.exe
fi
wp_env "$wine_scratch"
timeout 90 wine "$tests/tests/inspector.exe" time-window "Z:$(realpath "$exe" | tr / '\\')" \
  "Tovren Kurulum işlemlerine hoşgeldiniz." 30000 </dev/null ||
  { echo "release check: the $WP_ARCH release exe showed no window under Wine" >&2; exit 1; }
echo "release check passed: hash, signature and start under Wine ($WP_ARCH)"
