# The reader's zoom and full screen, driven by keys. Sourced by scenario.sh, whose helpers
# (pack, start_book, drv, screenshot, ...) it uses, and folders.sh's pixel helpers.

# How many pixels of the page area of the main window's screenshot are not white.
ink_count() {  # ink_count SHOT HWND
  local cl ct cr cb
  read -r _ _ _ _ cl ct cr cb <<<"$(drv rects "$2")"
  convert "$1" -crop "$((cr - cl - 30))x$((cb - ct - 60))+$cl+$((ct + 49))" +repage \
    -fill black +opaque "#ffffff" -fill white -opaque "#ffffff" -negate \
    -format '%[fx:round(mean*w*h)]' info:
}

scenario_zoom() {
  # A white page with a few words. Ctrl+= and Ctrl with the keypad's plus zoom to 125%: the
  # text covers about 1.25^2 as many pixels. F11 lays the window over the whole screen with
  # no caption and no toolbar (the page's white reaches the top edge); Esc puts it back where
  # it was.
  site="$work/site"
  mkdir -p "$site"
  cat >"$site/index.htm" <<'HTML'
<html><head><title>Zoom</title></head><body bgcolor=white text=black>
<p>Words that grow with the zoom.<p>Another line of them, and a third one below.
<p>The end of the page.</body></html>
HTML
  pack "$site" "$work/book.exe"
  start_book "$work/book.exe" "$work/book.log"
  hwnd=$(wait_window 1 | head -n 1)
  sleep 2
  drv activate "$hwnd" || fail "could not activate the window"
  local shot before after
  shot=$(screenshot zoom-100)
  before=$(ink_count "$shot" "$hwnd")
  [ "$before" -gt 200 ] || fail "no text on the page ($shot)"
  drv key "$hwnd" 0xBB ctrl || fail "could not press Ctrl+="
  drv key "$hwnd" 0x6B ctrl || fail "could not press Ctrl with the keypad's plus"
  sleep 1
  shot=$(screenshot zoom-125)
  after=$(ink_count "$shot" "$hwnd")
  note "figure: $before text pixels at 100%, $after at 125%"
  [ $((after * 100)) -gt $((before * 135)) ] || fail "Ctrl+Plus did not make the text larger ($before -> $after, $shot)"
  drv key "$hwnd" 0x30 ctrl || fail "could not press Ctrl+0"
  sleep 1
  shot=$(screenshot zoom-reset)
  after=$(ink_count "$shot" "$hwnd")
  [ $((after * 100)) -lt $((before * 110)) ] || fail "Ctrl+0 did not go back to 100% ($before -> $after, $shot)"

  local windowed full restored
  windowed=$(drv rect "$hwnd")
  drv key "$hwnd" 0x7A || fail "could not press F11"
  sleep 1
  full=$(drv rects "$hwnd")
  shot=$(screenshot zoom-full-screen)
  note "full screen: $full (windowed: $windowed)"
  [ "$full" = "0 0 1024 768 0 0 1024 768" ] || fail "F11 did not cover the screen with the client area: $full ($shot)"
  [ "$(pixel_hex "$shot" 600 3)" = FFFFFF ] || fail "the toolbar or caption still shows in full screen ($shot)"
  drv key "$hwnd" 0x1B || fail "could not press Esc"
  sleep 1
  restored=$(drv rect "$hwnd")
  shot=$(screenshot zoom-restored)
  [ "$restored" = "$windowed" ] || fail "Esc did not restore the window: $restored, was $windowed ($shot)"
  drv key "$hwnd" 0x7A && sleep 1 && drv key "$hwnd" 0x7A || fail "could not press F11 twice"
  sleep 1
  restored=$(drv rect "$hwnd")
  [ "$restored" = "$windowed" ] || fail "F11 again did not restore the window: $restored, was $windowed"
  note "F11 covered the screen; Esc and F11 again restored $windowed"
}
