#!/usr/bin/env bash
# Draws the sample book's animated lighthouse (examples/book/beacon.gif) with ImageMagick: a
# tower on a night sky whose beam shines right, goes dark briefly, shines left, goes dark. The
# output is committed.
set -euo pipefail
out="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/examples/book/beacon.gif"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
frame() {  # frame NAME [BEAM-POLYGON]
  local beam=()
  if [ $# -gt 1 ]; then beam=(-fill '#FFF2A0' -draw "polygon $2"); fi
  convert -size 120x90 xc:'#1A2A5A' "${beam[@]}" \
    -fill white -draw 'polygon 52,88 68,88 64,22 56,22' \
    -fill '#C03030' -draw 'rectangle 55,40 65,48' -draw 'rectangle 54,64 66,72' \
    -fill '#FFE060' -draw 'rectangle 54,12 66,22' \
    -fill '#303030' -draw 'polygon 52,12 68,12 60,4' \
    -fill '#2A6A3A' -draw 'rectangle 0,84 120,90' "$tmp/$1.gif"
}
frame right '60,16 120,2 120,34'
frame dark
frame left '60,16 0,2 0,34'
convert -loop 0 -delay 60 "$tmp/right.gif" -delay 20 "$tmp/dark.gif" -delay 60 "$tmp/left.gif" \
  -delay 20 "$tmp/dark.gif" "$out"
echo "$out"
