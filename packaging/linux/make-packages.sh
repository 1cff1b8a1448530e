#!/usr/bin/env bash
# Builds the Linux program in BUILD as it is released (Release, -O2, with
# the hardening Debian builds its packages with; no tests, no benchmarks)
# and makes its Debian package and tarball (packages.cmake) in OUT:
#   packaging/linux/make-packages.sh BUILD OUT
# Used by ./release and by the packages' test (tests/packages/debian.sh).
set -euo pipefail
build=$1 out=$2
source=$(cd "$(dirname "$0")/../.." && pwd)
cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_CXX_FLAGS="-D_FORTIFY_SOURCE=2 -fstack-protector-strong" -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro,-z,now" \
  -DVARNOK_TESTS=OFF -DVARNOK_BENCH=OFF -DVARNOK_SANITIZE=OFF >/dev/null
cmake --build "$build"
rm -f "$out"/*.deb "$out"/*.tar.gz
(cd "$build" && cpack -G "DEB;TGZ" -B "$out" >/dev/null)
