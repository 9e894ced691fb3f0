#!/usr/bin/env bash
# Makes a demo store's folder, or completes one, with the build's programs:
#   scripts/demo-store.sh BIN DIR
# BIN is the build's program folder; the folder itself is made by the
# store set-up the package installs (kvtpos-store, copied there by the build).
set -euo pipefail
bin=${1:?the program folder of the build}
dir=${2:?the folder of the store}
exec "$bin/kvtpos-store" --demo "$dir"
