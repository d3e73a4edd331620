# Scenarios of a book that reopens where it was left: the page, its scroll position and the
# window's place, kept in %APPDATA%\Brisomel between runs; --fresh; a damaged state file.
# Sourced by scenario.sh, whose helpers (pack, start_book, drv, screenshot, ...) they use.

# A start page whose first line is a large link to a long second page.
make_remember_book() {
  local site="$work/site" i
  mkdir -p "$site"
  {
    echo "<html><head><title>Start</title></head><body bgcolor=white>"
    echo "<p><a href=\"page2.htm\"><font size=7>Onward</font></a></p>"
    for i in $(seq 1 40); do echo "<p>Line $i of the start page.</p>"; done
    echo "</body></html>"
  } >"$site/index.htm"
  {
    echo "<html><body bgcolor=\"#e0e0ff\"><h1>Second page</h1>"
    for i in $(seq 1 300); do echo "<p>Line $i of the second page.</p>"; done
    echo "</body></html>"
  } >"$site/page2.htm"
  pack "$site" "$work/book.exe" >/dev/null || fail "could not pack the book"
}

state_files() { find "$WINEPREFIX/drive_c/users" -path '*/Brisomel/book-*.ini' 2>/dev/null; }

# The page under the toolbar, cropped from a screenshot by the window's client area: inside
# the viewer's border (which shows the focus) and left of the scroll bar.
page_shot() {  # page_shot HWND NAME -> path of the crop
  local shot cl ct cr cb
  shot=$(screenshot "$2")
  read -r _ _ _ _ cl ct cr cb <<<"$(drv rects "$1")"
  convert "$shot" -crop "$((cr - cl - 24))x$((cb - ct - 49 - 24))+$((cl + 4))+$((ct + 49 + 4))" \
    +repage "$work/$2-page.png"
  echo "$work/$2-page.png"
}
same_picture() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1)" = 0 ]; }

open_book() {  # open_book [ARGS...]: starts the book, sets hwnd and book_pid
  run "$work/book.exe" "$@" >>"$work/book.log" 2>&1 &
  book_pid=$!
  hwnd=$(wait_window 1 | head -n 1)
  sleep 2
}

close_book() {  # closes the window as its close button would and waits for the program's end
  drv close "$hwnd" || fail "could not close the window"
  drv wait-gone "$hwnd" 20000 || fail "the window stayed after closing"
  local _i
  for _i in $(seq 1 200); do
    kill -0 "$book_pid" 2>/dev/null || return 0
    sleep 0.1
  done
  fail "the program still runs after closing"
}

# First run: the start page, then the link to the second page. Sets start_page.
first_run_to_second_page() {
  open_book
  start_page=$(page_shot "$hwnd" start)
  drv mouse "$hwnd" click 40 75 || fail "no click on the link"
  sleep 2
  same_picture "$start_page" "$(page_shot "$hwnd" second)" && fail "the link was not followed"
  return 0
}

scenario_remember_page() {
  make_remember_book
  [ -z "$(state_files)" ] || fail "a state file before the first run"
  first_run_to_second_page
  drv key "$hwnd" 0x22  # Page Down, twice
  drv key "$hwnd" 0x22
  sleep 1
  drv move "$hwnd" 60 40 || fail "could not move the window"
  sleep 1
  left=$(page_shot "$hwnd" left)
  bounds=$(drv rect "$hwnd")
  close_book
  file=$(state_files)
  [ "$(wc -l <<<"$file")" = 1 ] && [ -n "$file" ] || fail "expected one state file, got: $file"
  note "state file $(basename "$file"): $(tr '\n' ' ' <"$file")"
  grep -qx 'page=page2.htm' "$file" || fail "the state does not name the second page"
  scroll=$(sed -n 's/^scroll=//p' "$file")
  [ "${scroll:-0}" -gt 0 ] || fail "the state keeps no scroll position"
  grep -qx "window=${bounds// /,}" "$file" || fail "the state does not keep the window at $bounds"

  open_book
  [ "$(drv rect "$hwnd")" = "$bounds" ] || fail "the window is at $(drv rect "$hwnd"), not $bounds"
  same_picture "$left" "$(page_shot "$hwnd" reopened)" ||
    fail "the second page does not show as it was left ($work/reopened.png)"
  note "reopened at the second page, scrolled to $scroll, the window at $bounds"
  drv click "$hwnd" Home || fail "could not click Home"
  sleep 2
  same_picture "$start_page" "$(page_shot "$hwnd" home)" || fail "Home did not show the start page"
  note "Home shows the start page"
  close_book
  grep -qx 'page=index.htm' "$file" || fail "the state after Home does not name the start page"
}

scenario_remember_fresh() {
  # A window left maximised opens maximised, over its remembered page, and one left in full
  # screen at a zoom opens so; --fresh starts at the start page in the default window at 100%,
  # and the state is written after it too.
  make_remember_book
  first_run_to_second_page
  drv maximize "$hwnd" || fail "could not maximise the window"
  sleep 2
  [ "$(drv zoomed "$hwnd")" = 1 ] || fail "the window did not maximise"
  maximized=$(drv rect "$hwnd")
  close_book
  file=$(state_files)
  note "state file: $(tr '\n' ' ' <"$file")"
  grep -qx 'maximized=1' "$file" || fail "the state does not keep the window maximised"
  grep -qx 'window=140,80,800,600' "$file" || fail "the state does not keep the normal rectangle"

  open_book
  [ "$(drv zoomed "$hwnd")" = 1 ] && [ "$(drv rect "$hwnd")" = "$maximized" ] ||
    fail "the window is at $(drv rect "$hwnd"), not maximised at $maximized"
  note "reopened maximised at $maximized"
  # A zoom and full screen are kept too; the window placement kept is the one full screen
  # leaves for.
  drv activate "$hwnd" || fail "could not activate the window"
  drv key "$hwnd" 0xBB ctrl || fail "could not press Ctrl+="
  drv key "$hwnd" 0x7A || fail "could not press F11"
  sleep 1
  zoomed_full=$(page_shot "$hwnd" zoomed-full)
  close_book
  note "state file: $(tr '\n' ' ' <"$file")"
  grep -qx 'zoom=110' "$file" || fail "the state does not keep the zoom"
  grep -qx 'fullscreen=1' "$file" && grep -qx 'maximized=1' "$file" ||
    fail "the state does not keep full screen over the maximised window"
  open_book
  [ "$(drv rect "$hwnd")" = "0 0 1024 768" ] || fail "the window is at $(drv rect "$hwnd"), not full screen"
  same_picture "$zoomed_full" "$(page_shot "$hwnd" zoomed-full-again)" ||
    fail "the page does not show at the zoom it was left at ($work/zoomed-full-again-page.png)"
  note "reopened in full screen at 110%"
  drv key "$hwnd" 0x1B || fail "could not press Esc"
  sleep 1
  [ "$(drv zoomed "$hwnd")" = 1 ] || fail "leaving full screen did not give the maximised window back"
  close_book

  open_book --fresh
  [ "$(drv rect "$hwnd")" = "140 80 800 600" ] || fail "--fresh placed the window at $(drv rect "$hwnd")"
  same_picture "$start_page" "$(page_shot "$hwnd" fresh)" || fail "--fresh did not start at the start page"
  note "--fresh starts at the start page in the default window"
  close_book
  grep -qx 'page=index.htm' "$file" || fail "the state was not written after --fresh"
  grep -qx 'maximized=0' "$file" && grep -qx 'zoom=100' "$file" ||
    fail "the state after --fresh keeps the maximised window or the zoom"
}

scenario_remember_damaged() {
  make_remember_book
  first_run_to_second_page
  close_book
  file=$(state_files)
  [ -n "$file" ] || fail "no state file"
  head -c 3000 /dev/urandom >"$file"
  cp "$file" "$work/damaged.ini"
  open_book
  drv wait-dialog Brisomel 1000 >/dev/null 2>&1 && fail "a damaged state file raised a message"
  same_picture "$start_page" "$(page_shot "$hwnd" damaged)" ||
    fail "with a damaged state file the book did not open at its start page"
  note "a damaged state file is passed over: the start page shows, no message"
  close_book
  head -n 1 "$file" | grep -qx '# Brisomel reading state' || fail "the damaged state file was not replaced"
  grep -qx 'page=index.htm' "$file" || fail "the replaced state does not name the start page"
  note "the damaged state file was replaced at close"
}
