#!/usr/bin/env bash
# The package as a store computer gets it: made by scripts/package.sh,
# unpacked into a temporary root, its files and declared dependencies checked,
# and its own tools run there on a new store folder: the demo store made,
# the demo till script played, and an older database upgraded with nothing lost.
set -euo pipefail
cd "$(dirname "$0")/../.."
deb=$(scripts/package.sh)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
fail() {
  echo "package test: $*" >&2
  exit 1
}

lib=$root/usr/lib/kvtpos
for f in usr/bin/kvthost usr/bin/kvtpos-db usr/bin/kvtpos-script usr/bin/kvtpos-store \
  usr/bin/kvtpos-till usr/lib/kvtpos/libkvtpos.so usr/lib/kvtpos/libkvtinv.so \
  usr/share/applications/kvtpos.desktop usr/share/icons/hicolor/scalable/apps/kvtpos.svg \
  usr/share/kvtpos/demo/till.kvts; do
  [ -e "$root/$f" ] || fail "$f is not in $deb"
done
# Nothing of the development tree: no tests, no benchmarks, no build paths.
stray=$(find "$root" -name '*_test' -o -name '*_bench' -o -name '*.a' -o -name '*.h')
[ -z "$stray" ] || fail "files that do not belong in a store's package: $stray"
for f in "$lib"/*; do
  [[ $(file -b "$f") == ELF* ]] || continue
  runpath=$(readelf -d "$f" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
  [ "$runpath" = '$ORIGIN' ] || fail "$(basename "$f") looks for its libraries in '$runpath'"
done

# Every system library a program or module links is a declared dependency.
depends=$(dpkg-deb -f "$deb" Depends)
needed=$(for f in "$lib"/*; do readelf -d "$f" 2>/dev/null; done |
  sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort -u)
for so in $needed; do
  [ -e "$lib/$so" ] && continue
  # awk reads to the end: a reader that stops early would fail the pipe.
  path=$(ldconfig -p | awk -v so="$so" '$1 == so && !found { print $NF; found = 1 }')
  [ -n "$path" ] || fail "$so is linked but not on this system"
  pkg=$(dpkg -S "$(readlink -f "$path")" 2>/dev/null | awk -F: 'NR == 1 { print $1 }') ||
    pkg=$(dpkg -S "$path" | awk -F: 'NR == 1 { print $1 }')
  case "$pkg" in libc6 | libgcc-s1 | libstdc++6) continue ;; esac
  grep -qw "$pkg" <<<"$depends" || fail "$so (package $pkg) is linked but Depends says: $depends"
done
for pkg in libqt6widgets6 libsqlite3-0 libpq5; do
  grep -qw "$pkg" <<<"$depends" || fail "Depends lacks $pkg: $depends"
done

# First run on a store computer: the demo store in a folder of its own, the
# demo till played by the installed tools on it.
store=$root/store
"$root/usr/bin/kvtpos-store" --demo "$store" >/dev/null
for f in KVTSQL.ini KVT32.ini kvtlocal.ini kvtpos.db; do
  [ -f "$store/$f" ] || fail "kvtpos-store --demo made no $f"
done
(cd "$store" && "$root/usr/bin/kvtpos-script" --database '.\KVTSQL.ini' \
  "$root/usr/share/kvtpos/demo/till.kvts" >"$root/transcript.txt") ||
  fail "the demo till script failed on the installed till: $(tail -20 "$root/transcript.txt")"

# A newer package on an older store: the missing table comes back, the
# version is recorded, the sales already there stay, and it says so.
db=$store/kvtpos.db
sales=$(sqlite3 "$db" 'SELECT COUNT(*) FROM KVTPOS1')
version=$(sqlite3 "$db" 'SELECT MAX(VERSION) FROM KVTSCHEMA')
sqlite3 "$db" "DROP TABLE KVTCOM14; UPDATE KVTSCHEMA SET VERSION = $((version - 1))"
out=$("$root/usr/bin/kvtpos-store" "$store")
grep -q "schema upgraded from version $((version - 1)) to $version" <<<"$out" ||
  fail "an older store's database was not reported upgraded: $out"
[ "$(sqlite3 "$db" 'SELECT COUNT(*) FROM KVTPOS1')" = "$sales" ] || fail "the upgrade lost sales"
sqlite3 "$db" 'SELECT COUNT(*) FROM KVTCOM14' >/dev/null || fail "the upgrade did not add KVTCOM14 back"
echo "package test: $(basename "$deb") installs, runs the demo and upgrades an older store"
