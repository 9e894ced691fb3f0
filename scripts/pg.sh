#!/usr/bin/env bash
# A throwaway PostgreSQL server on loopback for the tests:
#   scripts/pg.sh start DIR   creates and starts a cluster in DIR, prints the
#                             connection string (host is DIR, the socket folder)
#   scripts/pg.sh restart DIR stops it at once, as a crash would, and starts
#                             it again (KVT_PG_DOWN: seconds it stays down)
#   scripts/pg.sh stop DIR    stops it and removes DIR
# The port is KVT_PG_PORT, or the first free one from 54329 on. As root the
# server runs as user postgres.
# fsync is off (a throwaway server) unless KVT_PG_FSYNC=on (benchmarks).
set -euo pipefail
cmd=${1:?start|restart|stop}
dir=${2:?folder}
port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
if [ -n "${KVT_PG_PORT:-}" ]; then
  port=$KVT_PG_PORT
else
  port=54329
  while port_in_use "$port" && [ "$port" -lt 54429 ]; do port=$((port + 1)); done
fi

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bindir/initdb" ] || { echo "PostgreSQL server binaries not found (scripts/deps.sh installs them)" >&2; exit 1; }

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

case "$cmd" in
  start)
    if [ -f "$dir/data/postmaster.pid" ]; then
      as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres "$dir"
    as_owner "$bindir/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C --no-sync >"$dir/initdb.log" 2>&1 \
      || { cat "$dir/initdb.log" >&2; exit 1; }
    as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=${KVT_PG_FSYNC:-off} -c max_connections=200" \
      start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    echo "$port" > "$dir/port"
    echo "host=$dir port=$port user=postgres dbname=postgres"
    ;;
  restart)
    # Stopped at once, as a crash would (no shutdown checkpoint), then
    # started again on the same port and socket folder.
    port=$(cat "$dir/port")
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    sleep "${KVT_PG_DOWN:-0}"
    as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=${KVT_PG_FSYNC:-off} -c max_connections=200" \
      start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    ;;
  stop)
    if [ -d "$dir/data" ]; then
      as_owner "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
  *) echo "usage: $0 start|restart|stop DIR" >&2; exit 2 ;;
esac
