#!/usr/bin/env bash
# The demo till script of ./run.sh, on a fresh demo store: the cashier logs in
# with the keys alone and every screen it opens is there. Run by CTest with
# the build's program folder and the script as arguments.
set -euo pipefail
bin=$1
script=$2
store=$(mktemp -d)
trap 'rm -rf "$store"' EXIT
cd "$store"
printf '[KVTSQL Connection One]\nTranslate=SQLITE\nDataPath=kvtpos.db\n' > KVTSQL.ini
printf '[KVTEXE]\nPOSTill=1\n' > KVT32.ini
printf '[Point of Sale]\nMachineType=TILL\nDefaultStore=MAIN\nDefaultTill=1\n' > kvtlocal.ini
"$bin/kvtpos-db" demo >/dev/null
"$bin/kvtpos-script" --database '.\KVTSQL.ini' "$script"
# The same script through the Qt screens, drawn offscreen, with pictures.
rm -rf kvtpos.db kvtpos.db-* kvtpos.db.lock*
"$bin/kvtpos-db" demo >/dev/null
QT_QPA_PLATFORM=offscreen "$bin/kvtpos-script" --database '.\KVTSQL.ini' --pictures pictures "$script"
ls pictures/*.png >/dev/null
