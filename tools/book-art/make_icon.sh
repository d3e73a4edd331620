#!/usr/bin/env bash
# Draws the sample book's icon (examples/book.ico) with ImageMagick: the book's lighthouse on a
# night-blue rounded square, its lamp lit and a beam each way, at 256, 48, 32 and 16 pixels.
# scripts/run packs the book with it. The output is committed.
set -euo pipefail
out="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/examples/book.ico"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Drawn once at 256 pixels; the smaller sizes are scaled down from it.
convert -size 256x256 xc:none \
  -fill '#1A2A5A' -draw 'roundrectangle 8,8 247,247 40,40' \
  -fill '#FFF2A0' -draw 'polygon 128,70 16,40 16,100' -draw 'polygon 128,70 240,40 240,100' \
  -fill '#2A6A3A' -draw 'rectangle 8,216 247,232' -draw 'roundrectangle 8,200 247,247 40,40' \
  -fill white -draw 'polygon 100,224 156,224 144,88 112,88' \
  -fill '#C03030' -draw 'rectangle 108,120 148,136' -draw 'rectangle 104,176 152,192' \
  -fill '#FFE060' -draw 'rectangle 110,56 146,88' \
  -fill '#303030' -draw 'polygon 100,56 156,56 128,24' \
  "$tmp/256.png"
for size in 48 32 16; do
  convert "$tmp/256.png" -resize "${size}x${size}" "$tmp/$size.png"
done
convert "$tmp/256.png" "$tmp/48.png" "$tmp/32.png" "$tmp/16.png" -depth 8 "$out"
echo "$out"
