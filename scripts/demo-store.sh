#!/usr/bin/env bash
# Makes a demo store's folder, or completes one:
#   scripts/demo-store.sh BIN DIR
# BIN is the build's program folder (kvtpos-db). In DIR: KVTSQL.ini (the
# embedded SQLite database kvtpos.db), KVT32.ini (POSTill=1: this computer is
# a till, and the login opens as soon as the host is up), kvtlocal.ini (till 1
# of store MAIN), and the database with the demo store loaded. Files already
# there are kept, so a store's own sales and settings survive.
set -euo pipefail
bin=${1:?the program folder of the build}
dir=${2:?the folder of the store}
mkdir -p "$dir"
cd "$dir"
[ -f KVTSQL.ini ] || printf '[KVTSQL Connection One]\nTranslate=SQLITE\nDataPath=kvtpos.db\n' > KVTSQL.ini
[ -f KVT32.ini ] || printf '[KVTEXE]\nPOSTill=1\n' > KVT32.ini
[ -f kvtlocal.ini ] ||
  printf '[Point of Sale]\nMachineType=TILL\nDefaultStore=MAIN\nDefaultTill=1\n' > kvtlocal.ini
if [ ! -f kvtpos.db ]; then
  if ! "$bin/kvtpos-db" demo; then
    rm -f kvtpos.db kvtpos.db-* kvtpos.db.lock*
    echo "The demo database could not be made in $dir." >&2
    exit 1
  fi
fi
