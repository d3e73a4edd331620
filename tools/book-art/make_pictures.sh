#!/usr/bin/env bash
# Draws the sample book's still pictures with ImageMagick: a harbour at dusk as a JPEG
# (examples/book/harbour.jpg) and a row of signal flags as a 256-colour Windows bitmap
# (examples/book/flags.bmp). The outputs are committed.
set -euo pipefail
book="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/examples/book"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Harbour: a dusk sky over a rippled sea, the sun low, a pier and a lighthouse against it.
convert -size 240x90 gradient:'#203870-#F0A060' "$tmp/sky.png"
convert -size 240x60 gradient:'#304A78-#0E1A38' \
  \( -size 12x30 xc: -seed 7 +noise Random -channel G -separate +channel -resize '240x60!' \
     -level 20%,80% \) -compose Overlay -composite "$tmp/sea.png"
convert "$tmp/sky.png" "$tmp/sea.png" -append \
  -fill '#FFD890' -draw 'circle 70,86 70,74' \
  -fill '#F8C070' -draw 'rectangle 56,92 84,94' -draw 'rectangle 62,98 78,99' \
  -fill '#101418' -draw 'rectangle 150,84 240,92' -draw 'polygon 196,84 206,84 204,40 198,40' \
  -draw 'rectangle 196,34 206,40' -draw 'polygon 194,34 208,34 201,28' \
  -fill '#FFF0B0' -draw 'rectangle 198,35 204,39' \
  -strip -quality 80 -sampling-factor 2x2 "$book/harbour.jpg"

# Signal flags on a halyard, in the palette of a 256-colour bitmap.
convert -size 208x56 xc:'#DCE8F0' -stroke '#404040' -draw 'line 0,8 207,8' -stroke none \
  -fill '#F0F0F0' -draw 'rectangle 8,12 44,44' -fill '#2040A0' -draw 'rectangle 17,20 35,36' \
  -fill '#E0C020' -draw 'rectangle 58,12 94,44' -fill '#202020' -draw 'rectangle 58,12 76,28' \
  -draw 'rectangle 76,28 94,44' \
  -fill '#C02020' -draw 'rectangle 108,12 144,44' -fill '#F0F0F0' -draw 'polygon 108,12 114,12 144,38 144,44 138,44 108,18' \
  -fill '#2040A0' -draw 'rectangle 158,12 200,44' -fill '#F0F0F0' -draw 'polygon 188,12 200,12 200,44 188,44 180,28' \
  -stroke '#404040' -draw 'line 26,8 26,12' -draw 'line 76,8 76,12' -draw 'line 126,8 126,12' \
  -draw 'line 179,8 179,12' \
  -type Palette -colors 16 -compress None "BMP3:$book/flags.bmp"
echo "$book/harbour.jpg"
echo "$book/flags.bmp"
