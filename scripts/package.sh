#!/usr/bin/env bash
# Installs what is missing, builds Tovalo for /usr in ./build-deb (or
# $TOVALO_PACKAGE_DIR) and makes a Debian package of it with cpack, its
# library dependencies found by dpkg-shlibdeps; then lintian checks it.
# Install the result with: sudo apt install ./build-deb/tovalo_*.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
build=${TOVALO_PACKAGE_DIR:-$top/build-deb}
# The helper's installed path is compiled in, so the prefix is the one the package uses.
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DTOVALO_BUILD_TESTS=OFF -DTOVALO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -- -j"$(nproc)"
rm -f "$build"/tovalo_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/tovalo_*.deb)
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb"
fi
echo "$deb"
