# Scenarios of a book's own identity: its title and icon.
# Sourced by scenario.sh, whose helpers (pack, start_book, drv, screenshot, ...) they use.

scenario_book_title() {
  # A book packed with --title and --icon, in Wine's virtual desktop (which draws the window
  # frames, so the caption bar shows): the caption bar and the window's title carry the title,
  # the program file carries the icon at each of its sizes, and the caption bar shows its small
  # one.
  run reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  run reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  site=$(make_site)
  # One colour per size, so that the size Windows picks shows in its middle pixel.
  convert -size 16x16 xc:'#c00000' -size 32x32 xc:'#00a000' -size 48x48 xc:'#0000c0' \
    "$work/book.ico"
  title='Harbour Guide — Гавань'
  pack "$site" "$work/book.exe" --title "$title" --icon "$work/book.ico" >"$work/pack.log" ||
    fail "the packer refused the title and icon: $(cat "$work/pack.log")"
  note "packer: $(tr '\n' '|' <"$work/pack.log")"
  local size want got
  for size in 16:c00000 32:00a000 48:0000c0; do
    want="${size%%:*}x${size%%:*} ${size#*:}"
    got=$(drv icon "Z:$work/book.exe" "${size%%:*}") || fail "no icon read from the book"
    [ "$got" = "$want" ] || fail "the book's icon at ${size%%:*} pixels is $got, not $want"
  done
  note "the written book carries the icon at 16, 32 and 48 pixels"

  start_book "$work/book.exe" "$work/book.log"
  hwnd=$(wait_window 1 | head -n 1)
  sleep 2
  drv activate "$hwnd"
  sleep 1
  got=$(drv caption "$hwnd")
  [ "$got" = "$title" ] || fail "the window's title is \"$got\", not \"$title\""
  shot=$(screenshot caption-title)
  # The caption bar's text: white letters over the navy end of the bar, left of its middle.
  read -r wl wt _ _ cl ct cr _ <<<"$(drv rects "$hwnd")"
  convert "$shot" -crop "$(((cr - cl) / 2))x$((ct - wt - 8))+$cl+$((wt + 4))" +repage "$work/bar.png"
  white=$(convert "$work/bar.png" -fill black +opaque white -fill white -opaque white \
    -format '%[fx:round(mean*w*h)]' info:)
  [ "$white" -gt 150 ] || fail "the caption bar shows no title text ($shot)"
  # As wide as the title, well past where "Brisomel" would end.
  read -r text_width _ <<<"$(convert "$work/bar.png" -fill black +opaque white -format '%@' info: |
    tr 'x+' '  ')"
  [ "$text_width" -ge 110 ] || fail "the caption text is $text_width pixels wide, too short for the title ($shot)"
  note "the caption bar shows the title: $white white pixels, $text_width wide ($work/bar.png)"
  # Its small icon at its left end: the icon's 16-pixel image.
  red=$(convert "$work/bar.png" -crop 24x24+0+0 +repage -fill black +opaque '#c00000' \
    -fill white -opaque '#c00000' -format '%[fx:round(mean*w*h)]' info:)
  [ "$red" -ge 200 ] || fail "the caption bar does not show the book's small icon ($shot)"
  drv close "$hwnd" || fail "could not close the window"
  drv wait-gone "$hwnd" 20000 || fail "the window stayed after closing"
}
