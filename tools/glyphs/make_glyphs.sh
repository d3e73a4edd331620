#!/usr/bin/env bash
# Draws the toolbar glyphs with ImageMagick: the reader's built-in set (program resources in
# src/shell/res/) and the sample book's own set (examples/book/4*.bmp), which looks clearly
# different so that a screenshot tells them apart. Each glyph is one 24-bit BMP holding four
# 32 x 32 images side by side: up, disabled, down, held. The bottom-left pixel of the bitmap is
# the transparent colour. Also writes the program icon.
#
#   tools/glyphs/make_glyphs.sh        rewrites the committed bitmaps
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Shapes on a 32 x 32 grid, in ImageMagick draw syntax.
declare -A shape=(
  [back]="polygon 3,16 15,4 15,11 28,11 28,21 15,21 15,28"
  [fwd]="polygon 28,16 16,4 16,11 3,11 3,21 16,21 16,28"
  [open]="polygon 3,8 11,8 14,11 28,11 28,27 3,27"
  [home]="polygon 16,3 29,15 25,15 25,28 7,28 7,15 3,15"
  [search]="circle 13,13 13,5 line 18,18 28,28 line 19,18 28,27 line 18,19 27,28"
  [print]="rectangle 4,13 27,24 rectangle 9,3 22,13 rectangle 9,24 22,29"
  [exit]="rectangle 8,3 24,29 line 24,3 24,29"
)
names=(back fwd open home search print exit)

# glyph NAME FILL STROKE BACKGROUND DISABLED OUT
glyph() {
  local name=$1 fill=$2 stroke=$3 bg=$4 disabled=$5 out=$6
  local extra=""
  [ "$name" = search ] && fill=none
  [ "$name" = exit ] && extra="fill $stroke circle 20,16 20,14"
  convert -size 32x32 xc:none +antialias -fill "$fill" -stroke "$stroke" -strokewidth 2 \
    -draw "${shape[$name]}" ${extra:+-draw "$extra"} "$work/sym.png"
  convert "$work/sym.png" -background "$bg" -flatten "$work/up.png"
  convert "$work/sym.png" -fill "$disabled" -colorize 100 -background "$bg" -flatten "$work/dis.png"
  convert "$work/sym.png" -modulate 55 -background "$bg" -flatten "$work/down.png"
  convert "$work/sym.png" -modulate 100,40 -background "$bg" -flatten "$work/held.png"
  convert "$work/up.png" "$work/dis.png" "$work/down.png" "$work/held.png" +append \
    -alpha off -type TrueColor "BMP3:$out"
}

# Built-in: navy outlines on light blue, plain grey when disabled, transparent magenta around.
for n in "${names[@]}"; do
  glyph "$n" '#6080C0' '#000080' '#FF00FF' '#808080' "$root/src/shell/res/$n.bmp"
done

# The sample book: one bright colour per button, black outlines, a warm grey when disabled,
# transparent lime around.
declare -A colour=([back]='#20C020' [fwd]='#20C020' [open]='#F0B000' [home]='#E02020'
                   [search]='#0070FF' [print]='#A0A0A0' [exit]='#B06020')
for n in "${names[@]}"; do
  glyph "$n" "${colour[$n]}" '#000000' '#00FF00' '#B09870' "$root/examples/book/4$n.bmp"
done

# The program icon: an open book.
convert -size 32x32 xc:none +antialias -fill '#FFFFF0' -stroke '#000080' -strokewidth 2 \
  -draw "polygon 2,8 15,6 15,27 2,28" -draw "polygon 30,8 17,6 17,27 30,28" \
  -fill '#000080' -draw "rectangle 15,5 17,28" "$work/icon32.png"
convert "$work/icon32.png" -resize 16x16 "$work/icon16.png"
convert "$work/icon32.png" "$work/icon16.png" "$root/src/shell/res/brisomel.ico"
