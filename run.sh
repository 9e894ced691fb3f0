#!/usr/bin/env bash
# Builds the till and starts it on the demo store: the host shell kvthost,
# with the point-of-sale module, on an SQLite database made on first use.
# The store's folder is build/demo-store (its settings files, the database,
# the pictures); what is sold there stays from one run to the next. Without a
# display it runs the demo till script instead (schema/demo/till.kvts)
# through the same screens, on a fresh copy of the demo store made for the
# run, so every run prints the same transcript; it writes a picture of each
# screen shown, and each document previewed (an invoice also as a PDF).
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
if [ -x "$bin/kvtpos-db" ]; then
  [ -f "$store/kvtpos.db" ] || echo "Making the demo store's database in $store/kvtpos.db"
  scripts/demo-store.sh "$bin" "$store" || true
else
  echo "No demo database: kvtpos-db is not built."
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
  cd "$store"
  exec "$bin/kvthost"
fi

# No display: the demo till script, on the Qt screens drawn offscreen.
if [ ! -x "$bin/kvtpos-script" ] || [ ! -x "$bin/kvtpos-db" ]; then
  echo "No display, and no kvtpos-script and kvtpos-db to run the demo till script with."
  exit 1
fi
echo "No display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): running the demo till script"
echo "$root/schema/demo/till.kvts on a fresh copy of the demo store instead of opening the till's window."
echo
# The script logs in and opens screens; played on the store itself, each run
# would find what the last one left. Its copy is made anew every time.
played=$store/scripted
pictures=$store/pictures
rm -rf "$played" "$pictures"
scripts/demo-store.sh "$bin" "$played" >/dev/null
cd "$played"
set +e
QT_QPA_PLATFORM=offscreen "$bin/kvtpos-script" --database '.\KVTSQL.ini' --pictures "$pictures" \
  "$root/schema/demo/till.kvts"
rc=$?
set -e
echo
echo "Pictures of the screens shown, and the documents previewed (text; an invoice also as PDF), are in $pictures"
exit $rc
