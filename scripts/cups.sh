#!/usr/bin/env bash
# A throwaway CUPS scheduler for the tests, on a socket of its own, with
# queues whose printer is a folder: each job's document lands there as sent.
#   scripts/cups.sh start DIR QUEUE...  starts it in DIR, adds the queues,
#                                       prints the socket to put in CUPS_SERVER
#   scripts/cups.sh stop DIR            stops it and removes DIR
# Queue Q writes job 9 to DIR/jobs/Q/job-000009 (whole: written aside, then
# renamed). The queues are raw: what the till sends is what arrives.
# Nothing waits long: the scheduler has 30 s to answer, and it stops by
# itself after KVT_CUPS_LIFETIME seconds (300) should nobody stop it.
set -euo pipefail
umask 022  # the scheduler refuses a backend or folder others may write
cmd=${1:?start|stop}
dir=${2:?folder}
shift 2

stop() {
  if [ -f "$dir/pid" ]; then
    pid=$(cat "$dir/pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  rm -rf "$dir"
}

case "$cmd" in
  start)
    cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
    [ -x "$cupsd" ] || { echo "cupsd not found (scripts/deps.sh installs cups)" >&2; exit 1; }
    stop
    mkdir -p "$dir"/{etc,bin/backend,spool,cache,state,log,tmp,jobs}
    dir=$(cd "$dir" && pwd)
    sock=$dir/sock
    [ ${#sock} -lt 100 ] || { echo "socket path too long: $sock" >&2; exit 1; }
    # The system's helpers and filters; the folder printer is ours.
    for d in daemon filter notifier; do ln -s "/usr/lib/cups/$d" "$dir/bin/$d"; done
    cp /etc/cups/raw.types /etc/cups/raw.convs "$dir/etc/" 2>/dev/null || true
    cat >"$dir/bin/backend/kvtfolder" <<'BACKEND'
#!/bin/sh
# kvtfolder:/path: the job's document, as sent, into the folder.
[ $# -eq 0 ] && { echo 'direct kvtfolder "Unknown" "Job folder"'; exit 0; }
folder=${DEVICE_URI#kvtfolder:}
if [ $# -ge 6 ]; then cat "$6"; else cat; fi >"$folder/.job-$1" || exit 1
mv "$folder/.job-$1" "$folder/job-$(printf %06d "$1")"
BACKEND
    # Owned by the scheduler's user and closed to others, as it insists;
    # run as root, the backend then runs as root and may write the folder.
    chmod 0700 "$dir/bin/backend/kvtfolder"
    cat >"$dir/etc/cupsd.conf" <<CONF
Listen $sock
LogLevel info
Browsing Off
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cat >"$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
ServerBin $dir/bin
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
CONF
    # Detached from the caller's output, so that whoever waits for this
    # script's output does not wait for the scheduler.
    setsid timeout "${KVT_CUPS_LIFETIME:-300}" "$cupsd" -f -c "$dir/etc/cupsd.conf" \
      -s "$dir/etc/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
    echo $! >"$dir/pid"
    up=""
    for _ in $(seq 300); do
      if timeout 5 lpstat -h "$sock" -r 2>/dev/null | grep -q "is running"; then up=1; break; fi
      kill -0 "$(cat "$dir/pid")" 2>/dev/null || break
      sleep 0.1
    done
    if [ -z "$up" ]; then
      cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
      echo "the private CUPS scheduler did not start" >&2
      stop
      exit 1
    fi
    for q in "$@"; do
      mkdir -p "$dir/jobs/$q"
      timeout 30 lpadmin -h "$sock" -p "$q" -E -v "kvtfolder:$dir/jobs/$q" 2>"$dir/log/lpadmin.out" ||
        { cat "$dir/log/lpadmin.out" >&2; stop; exit 1; }
    done
    echo "$sock"
    ;;
  stop) stop ;;
  *) echo "usage: $0 start DIR QUEUE... | stop DIR" >&2; exit 2 ;;
esac
