# Scenarios of books whose pages live in folders, and the time a big book takes to start.
# Sourced by scenario.sh, whose helpers (pack, start_book, drv, screenshot, ...) they use.

# The colour of one pixel of a picture, as six hexadecimal digits.
pixel_hex() { convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }

# How many pixels of the page area of the main window's screenshot have this colour.
count_colour() {  # count_colour SHOT HWND RRGGBB
  local cl ct cr cb
  read -r _ _ _ _ cl ct cr cb <<<"$(drv rects "$2")"
  convert "$1" -crop "$((cr - cl))x$((cb - ct - 49))+$cl+$((ct + 49))" +repage \
    -fill black +opaque "#$3" -fill white -opaque "#$3" -format '%[fx:round(mean*w*h)]' info:
}

# The page's background at a client point of the main window, left of any text.
background_at() {  # background_at SHOT HWND
  local cl ct
  read -r _ _ _ _ cl ct _ _ <<<"$(drv rects "$2")"
  pixel_hex "$1" $((cl + 300)) $((ct + 300))
}

scenario_folders() {
  # index.htm leads into a/b/page.htm, which shows ../../img/pic.gif and leads back to
  # ../../index.htm: both pages show the picture, and the links work both ways.
  site="$work/site"
  mkdir -p "$site/a/b" "$site/img"
  convert -size 64x64 xc:'#ff0000' "$site/img/pic.gif"
  cat >"$site/index.htm" <<'HTML'
<html><body bgcolor=white><a href="a/b/page.htm"><img src="img/pic.gif" border=0></a>
<p>The start page. Its picture leads into a folder two levels down.</body></html>
HTML
  cat >"$site/a/b/page.htm" <<'HTML'
<html><body bgcolor="#c0ffc0"><a href="../../index.htm"><img src="../../img/pic.gif" border=0></a>
<p>A page two folders down. Its picture comes from the book's img folder and leads back.</body></html>
HTML
  pack "$site" "$work/book.exe"
  start_book "$work/book.exe" "$work/book.log"
  hwnd=$(wait_window 1 | head -n 1)
  sleep 2
  dir=$(private_dirs)
  check_extracted "$dir" "$site"
  local shot red
  shot=$(screenshot folders-start)
  red=$(count_colour "$shot" "$hwnd" ff0000)
  [ "$red" -ge 4000 ] || fail "the start page does not show its picture ($red red pixels, $shot)"
  [ "$(background_at "$shot" "$hwnd")" = FFFFFF ] || fail "the start page is not shown ($shot)"
  drv mouse "$hwnd" click 40 90 || fail "no click on the start page's picture"
  sleep 2
  shot=$(screenshot folders-page)
  [ "$(background_at "$shot" "$hwnd")" = C0FFC0 ] || fail "the link into a/b/ was not followed ($shot)"
  red=$(count_colour "$shot" "$hwnd" ff0000)
  [ "$red" -ge 4000 ] || fail "a/b/page.htm does not show ../../img/pic.gif ($red red pixels, $shot)"
  note "a/b/page.htm shows ../../img/pic.gif"
  drv mouse "$hwnd" click 40 90 || fail "no click on the page's picture"
  sleep 2
  shot=$(screenshot folders-back)
  [ "$(background_at "$shot" "$hwnd")" = FFFFFF ] || fail "the link back to ../../index.htm was not followed ($shot)"
  note "the links led into the folder and back"
  exit_book "$hwnd" "$book_pid"
  [ -z "$(private_dirs)" ] || fail "left behind: $(private_dirs)"
}

scenario_unsafe_entry() {
  # A book one of whose entries is named ../evil.htm: it is named in the archive message and
  # written nowhere; the rest of the book opens.
  site="$work/site"
  mkdir -p "$site/xx"
  echo '<html><body bgcolor=white>The start page of a book with a bad entry.</body></html>' >"$site/index.htm"
  echo 'EVIL' >"$site/xx/evil.htm"
  pack "$site" "$work/book.exe"
  # The same number of bytes, in the local header and in the central directory.
  perl -0777 -pi -e 's{xx/evil\.htm}{../evil.htm}g' "$work/book.exe"
  grep -qa '\.\./evil\.htm' "$work/book.exe" || fail "the entry was not renamed"
  start_book "$work/book.exe" "$work/book.log"
  local texts
  texts=$(drv wait-dialog "Archive error.." 60000) || fail "no \"Archive error..\" message"
  grep -qx 'These files of the book could not be written:' <<<"$texts" &&
    grep -qx '\.\./evil\.htm' <<<"$texts" || fail "the message does not name ../evil.htm: $texts"
  screenshot unsafe-message >/dev/null
  drv dialog-click "Archive error.." OK || fail "could not press OK"
  hwnd=$(wait_window 1 | head -n 1)
  sleep 1
  dir=$(private_dirs)
  [ -f "$dir/index.htm" ] || fail "the rest of the book was not extracted"
  [ -z "$(find "$WINEPREFIX" "$work" -name evil.htm ! -path "$site/*")" ] ||
    fail "evil.htm was written: $(find "$WINEPREFIX" "$work" -name evil.htm ! -path "$site/*")"
  note "../evil.htm was named and written nowhere"
  exit_book "$hwnd" "$book_pid"
  [ -z "$(private_dirs)" ] || fail "left behind: $(private_dirs)"
}

# A site as the extraction benchmark makes it: seventy 1 MB pages in ten folders and thirty-six
# 1 MB pictures that do not compress, about 50 MB packed. Its start page is the tiny book's, so
# that the two start in the same time but for what the book's size adds.
make_big_site() {  # make_big_site SITE START_PAGE
  local site=$1 i
  mkdir -p "$site/pictures"
  awk 'BEGIN {
    srand(7); split("the reader window book of and chapter section <b> </b> <td> </td>", w, " ")
    n = 0
    while (n < 1048576) {
      line = "<p>"
      for (k = 0; k < 12; k++) line = line w[int(rand() * 12) + 1] " " int(rand() * 1000) " "
      line = line "<a href=\"page" int(rand() * 70) ".htm\">next</a></p>"
      print line; n += length(line) + 1
    }
  }' >"$work/text.htm"
  cp "$2" "$site/index.htm"
  for i in $(seq 0 69); do
    mkdir -p "$site/chapter$((i % 10))"
    { echo "<html><body><h1>Page $i</h1>"; cat "$work/text.htm"; } >"$site/chapter$((i % 10))/page$i.htm"
  done
  for i in $(seq 0 35); do head -c 1048576 /dev/urandom >"$site/pictures/pic$i.jpg"; done
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Milliseconds from starting a book to its start page painted, the median of three starts.
time_start() {  # time_start BOOK
  local attempt ms hwnd times=()
  for attempt in 1 2 3; do
    # Into a file: the book inherits the driver's output, and a pipe would stay open with it.
    run "$driver" start-timed "$(winepath_of "$1")" 4 120 336699 180000 >"$work/timed.out" \
      2>>"$work/driver.log" || fail "$1 showed no start page"
    read -r ms hwnd < <(tr -d '\r' <"$work/timed.out")
    times+=("$ms")
    drv close "$hwnd" >/dev/null
    drv wait-gone "$hwnd" 30000 || fail "the book did not close"
    for _ in $(seq 1 100); do
      [ -z "$(private_dirs)" ] && break
      sleep 0.2
    done
  done
  printf '%s\n' "${times[@]}" | median
}

winepath_of() { echo "Z:$(tr / '\\' <<<"$1")"; }

scenario_start_time() {
  # Start to start page painted, for the 50 MB book and for a tiny one, against unzip's time for
  # the same archive natively. A figure, not a timed assertion.
  local tiny="$work/tiny" big="$work/big" t0 t1 unzip_times=() attempt
  mkdir -p "$tiny"
  echo '<html><body bgcolor="#336699" text=white>A tiny book.</body></html>' >"$tiny/index.htm"
  make_big_site "$big" "$tiny/index.htm"
  pack "$tiny" "$work/tiny.exe" >/dev/null
  pack "$big" "$work/big.exe" >/dev/null
  note "big book: $(du -m "$work/big.exe" | cut -f1) MB"
  time_start "$work/tiny.exe" >/dev/null  # Wine's first start in a fresh prefix is slower
  local tiny_ms big_ms unzip_ms
  tiny_ms=$(time_start "$work/tiny.exe")
  big_ms=$(time_start "$work/big.exe")
  for attempt in 1 2 3; do
    rm -rf "$work/unzipped"
    t0=$(date +%s%N)
    unzip -o -q "$work/big.exe" -d "$work/unzipped" 2>/dev/null || [ $? = 1 ] || fail "unzip failed"
    t1=$(date +%s%N)
    unzip_times+=($(((t1 - t0) / 1000000)))
  done
  rm -rf "$work/unzipped"
  unzip_ms=$(printf '%s\n' "${unzip_times[@]}" | median)
  local ratio
  ratio=$(awk -v b="$big_ms" -v t="$tiny_ms" -v u="$unzip_ms" 'BEGIN { printf "%.2f", b / (t + u) }')
  echo "START big_book ${big_ms} ms, tiny_book ${tiny_ms} ms, unzip ${unzip_ms} ms:" \
    "big / (tiny + unzip) = $ratio (goal: 1.5 or less)"
}
