#!/usr/bin/env bash
# Builds the till optimised, without sanitizers or tests, in build-package/
# and makes the Debian package of it there:
#   scripts/package.sh        -> prints the path of build-package/kvtpos_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh >&2
# -Wno-restrict: GCC 12 warns falsely about std::string copies at -O3.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVT_SANITIZE=OFF \
  -DCMAKE_CXX_FLAGS=-Wno-restrict -DKVT_TESTS=OFF -DKVT_BENCH=OFF >&2
cmake --build build-package >&2
rm -f build-package/kvtpos_*.deb
(cd build-package && cpack -G DEB >&2)
ls build-package/kvtpos_*.deb
