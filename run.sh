#!/usr/bin/env bash
# Builds the till and starts it on the demo store: the host shell kvthost,
# with the point-of-sale module, on an SQLite database made on first use.
# The store's folder is build/demo-store (its settings files, the database,
# the pictures). Without a display it runs the demo till script instead
# (schema/demo/till.kvts) through the same screens, prints the transcript,
# and writes a picture of each screen shown.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVT_SANITIZE=ON >/dev/null
cmake --build build

bin=$root/build/bin
store=$root/build/demo-store
missing=()
[ -x "$bin/kvthost" ] || missing+=("the host shell kvthost")
[ -f "$bin/libkvtpos.so" ] || missing+=("the point-of-sale module libkvtpos.so")
[ -x "$bin/kvtpos-db" ] || missing+=("kvtpos-db, which makes the demo database")
[ -x "$bin/kvtpos-script" ] || missing+=("kvtpos-script, which runs till scripts")

# The store's folder: this computer is till 1 of store MAIN, and starts
# selling (the login) as soon as the host is up.
mkdir -p "$store"
cd "$store"
[ -f KVTSQL.ini ] || printf '[KVTSQL Connection One]\nTranslate=SQLITE\nDataPath=kvtpos.db\n' > KVTSQL.ini
[ -f KVT32.ini ] || printf '[KVTEXE]\nPOSTill=1\n' > KVT32.ini
[ -f kvtlocal.ini ] ||
  printf '[Point of Sale]\nMachineType=TILL\nDefaultStore=MAIN\nDefaultTill=1\n' > kvtlocal.ini
if [ ! -f kvtpos.db ]; then
  if [ -x "$bin/kvtpos-db" ]; then
    echo "Making the demo store's database in $store/kvtpos.db"
    "$bin/kvtpos-db" demo || { rm -f kvtpos.db; echo "The demo database could not be made."; }
  else
    echo "No demo database: kvtpos-db is not built."
  fi
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo
  echo "Not built yet, so the till is incomplete:"
  for m in "${missing[@]}"; do echo "  - $m"; done
  echo
fi

# Sanitizer reports of the desktop libraries (fonts, X) are not the till's.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  if [ ! -x "$bin/kvthost" ]; then
    echo "Nothing to start without kvthost."
    exit 1
  fi
  echo "Starting kvthost in $store"
  exec "$bin/kvthost"
fi

# No display: the demo till script, on the Qt screens drawn offscreen.
if [ ! -x "$bin/kvtpos-script" ]; then
  echo "No display, and no kvtpos-script to run the demo till script with."
  exit 1
fi
echo "No display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): running the demo till script"
echo "$root/schema/demo/till.kvts on the demo store instead of opening the till's window."
echo
pictures=$store/pictures
rm -rf "$pictures"
set +e
QT_QPA_PLATFORM=offscreen "$bin/kvtpos-script" --database '.\KVTSQL.ini' --pictures "$pictures" \
  "$root/schema/demo/till.kvts"
rc=$?
set -e
echo
echo "Pictures of the screens shown are in $pictures"
exit $rc
