#!/usr/bin/env bash
# Builds the till and starts it on the demo store.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVT_SANITIZE=ON >/dev/null
cmake --build build

if [ ! -x build/bin/kvthost ]; then
  echo
  echo "The till itself (kvthost) is not built yet. What exists now is the platform layer:"
  ls build/bin
  echo "Run ./test.sh to build and test it."
  exit 0
fi
