#!/usr/bin/env bash
# Draws the sample book's corner image (examples/book/rhcorner.gif) with ImageMagick: a small
# lighthouse, 48 x 36 pixels, whose lamp flashes. The reader shows it at the right end of the
# toolbar; a book without one gets the reader's built-in image. The output is committed.
set -euo pipefail
out="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/examples/book/rhcorner.gif"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
frame() {  # frame NAME LAMP-COLOUR [BEAM-POLYGON...]
  local beams=() p
  for p in "${@:3}"; do beams+=(-fill '#FFF2A0' -draw "polygon $p"); done
  convert -size 48x36 xc:'#1A2A5A' "${beams[@]}" \
    -fill '#2A6A3A' -draw 'rectangle 0,32 47,35' \
    -fill white -draw 'polygon 19,33 29,33 27,12 21,12' \
    -fill '#C03030' -draw 'rectangle 20,18 28,21' -draw 'rectangle 20,26 28,29' \
    -fill "$2" -draw 'rectangle 21,7 27,12' \
    -fill '#303030' -draw 'polygon 19,7 29,7 24,2' "$tmp/$1.gif"
}
frame dark '#806020'
frame lit '#FFE060' '24,9 0,3 0,15' '24,9 47,3 47,15'
convert -delay 100 "$tmp/dark.gif" -delay 30 "$tmp/lit.gif" -loop 0 "$out"
echo "$out"
