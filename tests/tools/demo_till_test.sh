#!/usr/bin/env bash
# The demo till script of ./run.sh, played as ./run.sh plays it: on a fresh
# copy of the demo store each time (scripts/demo-store.sh). The cashier logs
# in with the keys alone and every screen it opens is there; played again,
# through the Qt screens drawn offscreen with pictures, the transcript is the
# same line for line, and the documents previewed are written beside the
# pictures. Played twice more on the store it left, as a store that keeps
# its sales plays it day after day, it holds as well. Run by CTest with the
# build's program folder and the repository as arguments.
set -euo pipefail
bin=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

replay() {  # replay FOLDER [kvtpos-script options]: on the store as it is
  local store=$work/$1
  shift
  (cd "$store" && "$bin/kvtpos-script" --database '.\KVTSQL.ini' "$@" "$root/schema/demo/till.kvts")
}

play() {  # play FOLDER [kvtpos-script options]: on a fresh demo store
  "$root/scripts/demo-store.sh" "$bin" "$work/$1" >/dev/null
  replay "$@"
}

play first >"$work/first.txt"
for again in 1 2; do
  replay first >"$work/again.txt" || {
    tail -20 "$work/again.txt"
    exit 1
  }
done
QT_QPA_PLATFORM=offscreen play second --pictures "$work/pictures" >"$work/second.txt"
ls "$work"/pictures/*.png >/dev/null
grep -q "TOTAL" "$work"/pictures/preview-*-receipt.txt  # and the documents as text
[[ $(pdftotext "$(ls "$work"/pictures/preview-*-invoice.pdf | head -n 1)" -) == *"Sold to:"* ]]
diff "$work/first.txt" <(sed '/ pictures (offscreen) in /,$d' "$work/second.txt")
