#!/usr/bin/env bash
# The demo till script of ./run.sh, played as ./run.sh plays it: on a fresh
# copy of the demo store each time (scripts/demo-store.sh). The cashier logs
# in with the keys alone and every screen it opens is there; played again,
# through the Qt screens drawn offscreen with pictures, the transcript is the
# same line for line, and the documents previewed are written beside the
# pictures. Run by CTest with the build's program folder and the
# repository as arguments.
set -euo pipefail
bin=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

play() {  # play FOLDER [kvtpos-script options]
  local store=$work/$1
  shift
  "$root/scripts/demo-store.sh" "$bin" "$store" >/dev/null
  (cd "$store" && "$bin/kvtpos-script" --database '.\KVTSQL.ini' "$@" "$root/schema/demo/till.kvts")
}

play first >"$work/first.txt"
QT_QPA_PLATFORM=offscreen play second --pictures "$work/pictures" >"$work/second.txt"
ls "$work"/pictures/*.png >/dev/null
# Beside the pictures, the receipts as text and the invoice as a PDF too.
grep -q "TOTAL" "$work"/pictures/preview-*-receipt.txt
invoice=$(ls "$work"/pictures/preview-*-invoice.pdf)
[[ $(pdftotext "${invoice%%$'\n'*}" -) == *"Sold to:"* ]]
diff "$work/first.txt" <(sed '/ pictures (offscreen) in /,$d' "$work/second.txt")
