#!/usr/bin/env bash
# One end-to-end scenario, run by CTest in the Win32 build:
#   scenario.sh NAME SOURCE_DIR BUILD_DIR
# Each run gets its own folder under BUILD_DIR/e2e/NAME, its own Wine prefix (copied from a
# template made once) and its own Xvfb display, and ends its Wine processes with the prefix's
# own wineserver -k. The build's reader decides the architecture (win32 or win64): every Windows
# program goes through scripts/wine-run, which picks the Wine loader to match.
# Screenshots are kept there as PNG; the script prints their paths.
set -euo pipefail
name=$1
src=$(cd "$2" && pwd)
build=$(cd "$3" && pwd)
work="$build/e2e/$name"
reader="$build/brisomel.exe"
driver="$build/brisomel-driver.exe"

fail() {
  echo "FAIL [$name]: $*" >&2
  exit 1
}
note() { echo "[$name] $*"; }

rm -rf "$work"
mkdir -p "$work"

# --- Wine prefix: a template made once, copied for each run -------------------------------
template="$build/e2e/prefix-template"
(
  flock 9
  if [ ! -f "$template/system.reg" ]; then
    rm -rf "$template"
    # Any program of the build's architecture makes a prefix of that architecture.
    WINEPREFIX="$template" "$src/scripts/wine-run" "$driver" windows >/dev/null 2>&1 || true
    WINEPREFIX="$template" "$src/scripts/wine-run" --server -w || true
  fi
) 9>"$build/e2e/template.lock"
export WINEPREFIX="$work/prefix"
# Hard links keep the copy cheap (the template is large); the registry files, which Wine
# rewrites, are real copies.
cp -al "$template" "$WINEPREFIX"
for f in "$template"/*.reg; do cp --remove-destination "$f" "$WINEPREFIX/"; done

# --- X display ----------------------------------------------------------------------------
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
cleanup() {
  "$src/scripts/wine-run" --server -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$WINEPREFIX"  # screenshots and logs stay
}
trap cleanup EXIT
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"

run() { "$src/scripts/wine-run" "$@"; }
drv() { run "$driver" "$@" 2>>"$work/driver.log" | tr -d '\r'; }

temp_root() {  # the prefix's temporary directories (the user's, and the system's)
  find "$WINEPREFIX/drive_c/users" "$WINEPREFIX/drive_c/windows" -maxdepth 4 -type d -iname temp
}
# The books' private directories, one per line.
private_dirs() {
  local t
  for t in $(temp_root); do
    find "$t" -mindepth 1 -maxdepth 1 -type d -name 'brisomel-*'
  done | sort
}

# --- Books ----------------------------------------------------------------------------------
make_site() {
  local site="$work/site"
  mkdir -p "$site/sub"
  {
    echo "<html><head><title>Start</title></head><body><h1>Start page</h1>"
    for i in $(seq 1 200); do echo "<p>Line $i of the start page, <a href=\"page2.htm\">next</a>.</p>"; done
    echo "</body></html>"
  } >"$site/index.htm"
  echo "<html><body>Second page</body></html>" >"$site/page2.htm"
  echo "<html><body>A page in a folder</body></html>" >"$site/sub/deep.htm"
  head -c 70000 /dev/urandom >"$site/noise.bin"
  seq 1 60000 >"$site/numbers.txt"
  : >"$site/empty.txt"
  local g
  for g in 4back 4fwd 4home 4search 4print 4exit; do cp "$src/examples/book/$g.bmp" "$site/"; done
  echo "$site"
}

make_wav() {  # make_wav FILE: one second of a 500 Hz tone, 8-bit mono at 8000 samples a second
  local n=8000 i
  le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
  le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }
  {
    printf 'RIFF'; le32 $((36 + n)); printf 'WAVEfmt '; le32 16
    le16 1; le16 1; le32 8000; le32 8000; le16 1; le16 8
    printf 'data'; le32 "$n"
    for ((i = 0; i < n / 16; i++)); do printf '\xc0\xc0\xc0\xc0\xc0\xc0\xc0\xc0\x40\x40\x40\x40\x40\x40\x40\x40'; done
  } >"$1"
}

pack() {  # pack SITE BOOK [--obfuscate]
  if [ -x "$src/build/linux/brisomel-pack" ]; then
    "$src/build/linux/brisomel-pack" "$1" -o "$2" --reader "$reader" "${@:3}"
  else
    run "$build/brisomel-pack.exe" "$1" -o "$2" --reader "$reader" "${@:3}"
  fi
}

start_book() {  # start_book BOOK LOG; sets book_pid
  run "$1" >"$2" 2>&1 &
  book_pid=$!
}

# --- Checks ---------------------------------------------------------------------------------
check_extracted() {  # check_extracted DIR SITE: every file of the site at its path, byte for byte
  local f n=0
  while IFS= read -r f; do
    cmp -s "$f" "$1/${f#"$2"/}" || fail "${f#"$2"/} not extracted exactly into $1"
    n=$((n + 1))
  done < <(find "$2" -type f)
  note "extracted $n files exactly into $(basename "$1")"
}

button_line() { grep "^$2 " <<<"$1" || fail "no button $2"; }

check_start_state() {  # check_start_state BUTTONS
  local b enabled
  for b in Back Forward Open Home Search Print Exit; do
    enabled=$(button_line "$1" "$b" | cut -d' ' -f3)
    case $b in
      Back | Forward) [ "$enabled" = 0 ] || fail "$b should start disabled" ;;
      *) [ "$enabled" = 1 ] || fail "$b should start enabled" ;;
    esac
  done
}

# check_glyph SHOT BUTTONS TEXT BMP: the button shows image 0 (1 when disabled) of BMP, compared
# on the bitmap's opaque pixels (its bottom-left colour is transparent).
check_glyph() {
  local shot=$1 line text=$3 bmp=$4 t="$work/glyph-$3"
  line=$(button_line "$2" "$text")
  local enabled x y w h
  read -r _ _ enabled x y w h <<<"$line"
  local index=$((1 - enabled))
  local gw gh
  gw=$(($(identify -format %w "$bmp") / 4))
  gh=$(identify -format %h "$bmp")
  local transparent
  transparent=$(convert "$bmp" -format "%[pixel:p{0,$((gh - 1))}]" info:)
  convert "$bmp" -crop "${gw}x${gh}+$((index * gw))+0" +repage -alpha off "$t-want.png"
  convert "$shot" -crop "${gw}x${gh}+$((x + (w - gw) / 2))+$((y + (h - gh) / 2))" +repage -alpha off "$t-seen.png"
  convert "$t-want.png" -fill white +opaque "$transparent" -fill black -opaque "$transparent" "$t-mask.png"
  local opaque bad
  opaque=$(convert "$t-mask.png" -format '%[fx:round(mean*w*h)]' info:)
  bad=$(convert "$t-seen.png" "$t-want.png" -compose difference -composite -colorspace gray \
          -threshold 0 "$t-mask.png" -compose multiply -composite -format '%[fx:round(mean*w*h)]' info:)
  [ "$opaque" -gt 50 ] || fail "$text: glyph $bmp has too few opaque pixels"
  if [ "$bad" -ne 0 ]; then
    mismatch="$text: $bad of $opaque glyph pixels differ from $(basename "$bmp") (see $shot)"
    return 1
  fi
}

# check_glyphs BUTTONS SOURCE: every button shows its glyph, SOURCE naming a site folder or
# "builtin". A window that has not finished painting gets a few more chances.
check_glyphs() {
  local shot b ok attempt
  for attempt in 1 2 3 4 5; do
    shot=$(screenshot window)
    ok=1
    for b in Back Forward Open Home Search Print Exit; do
      if [ "$2" = builtin ]; then
        check_glyph "$shot" "$1" "$b" "$(builtin_glyph "$b")" || { ok=0; break; }
      else
        check_glyph "$shot" "$1" "$b" "$(book_glyph "$b" "$2")" || { ok=0; break; }
      fi
    done
    [ $ok = 1 ] && return 0
    sleep 2
  done
  fail "$mismatch"
}

screenshot() {  # screenshot NAME -> path
  local shot="$work/$1.png"
  import -window root "$shot"
  echo "screenshot: $shot" >&2
  echo "$shot"
}

builtin_glyph() {  # builtin_glyph TEXT -> built-in bitmap file
  case $1 in
    Back) echo "$src/src/shell/res/back.bmp" ;;
    Forward) echo "$src/src/shell/res/fwd.bmp" ;;
    Open) echo "$src/src/shell/res/open.bmp" ;;
    Home) echo "$src/src/shell/res/home.bmp" ;;
    Search) echo "$src/src/shell/res/search.bmp" ;;
    Print) echo "$src/src/shell/res/print.bmp" ;;
    Exit) echo "$src/src/shell/res/exit.bmp" ;;
  esac
}
book_glyph() {  # book_glyph TEXT SITE -> the site's bitmap, or the built-in one when absent
  local f
  case $1 in
    Back) f=4back ;; Forward) f=4fwd ;; Open) f=4open ;; Home) f=4home ;;
    Search) f=4search ;; Print) f=4print ;; Exit) f=4exit ;;
  esac
  if [ -f "$2/$f.bmp" ]; then echo "$2/$f.bmp"; else builtin_glyph "$1"; fi
}

wait_window() {  # wait_window COUNT -> handles
  drv wait-windows "$1" 60000 || fail "fewer than $1 main windows appeared"
}

exit_book() {  # exit_book HWND PID: click Exit like a user and wait for the program to end
  drv click "$1" Exit || fail "could not click Exit"
  drv wait-gone "$1" 20000 || fail "the window stayed after Exit"
  local _i
  for _i in $(seq 1 200); do
    kill -0 "$2" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$2" 2>/dev/null && fail "the program still runs after Exit"
  return 0
}

# Runs one book made from a site and checks what a user sees and what it leaves behind.
check_book_round_trip() {  # check_book_round_trip BOOK SITE
  start_book "$1" "$work/book.log"
  local hwnd
  hwnd=$(wait_window 1 | head -n 1)
  sleep 1
  local dirs
  dirs=$(private_dirs)
  [ "$(wc -l <<<"$dirs")" = 1 ] && [ -n "$dirs" ] || fail "expected one private directory, got: $dirs"
  check_extracted "$dirs" "$2"
  local buttons
  buttons=$(drv buttons "$hwnd")
  check_start_state "$buttons"
  check_glyphs "$buttons" "$2"
  exit_book "$hwnd" "$book_pid"
  [ -z "$(private_dirs)" ] || fail "left behind: $(private_dirs)"
  local t
  for t in $(temp_root); do
    [ -z "$(find "$t" -maxdepth 1 -type f \( -name '*.htm' -o -name '*.bmp' -o -name '*.txt' -o -name '*.bin' \))" ] ||
      fail "files left in $t"
  done
  note "after Exit no file and no directory is left"
}

# A private CUPS server with a cups-pdf printer as the default printer, started for this run
# and stopped at its end. Sets `out`, the folder the PDFs land in, and touches before-print.
start_cups_printer() {
  cups="$work/cups"
  mkdir -p "$cups/etc" "$cups/spool/tmp" "$cups/cache" "$cups/state" "$cups/log"
  printf '%s\n' "Listen $cups/cups.sock" "LogLevel warn" "WebInterface No" "Browsing Off" \
    "<Location />" "  Order allow,deny" "  Allow all" "</Location>" >"$cups/etc/cupsd.conf"
  printf '%s\n' "ServerRoot $cups/etc" "RequestRoot $cups/spool" "TempDir $cups/spool/tmp" \
    "CacheDir $cups/cache" "StateDir $cups/state" "AccessLog $cups/log/access_log" \
    "ErrorLog $cups/log/error_log" "PageLog $cups/log/page_log" "ServerBin /usr/lib/cups" \
    "DataDir /usr/share/cups" "User lp" "Group lp" "Sandboxing Relaxed" \
    >"$cups/etc/cups-files.conf"
  chmod -R a+rwX "$cups"
  /usr/sbin/cupsd -f -c "$cups/etc/cupsd.conf" -s "$cups/etc/cups-files.conf" \
    2>"$cups/log/cupsd.err" &
  cupsd_pid=$!
  trap 'kill $cupsd_pid 2>/dev/null || true; wait $cupsd_pid 2>/dev/null || true; cleanup' EXIT
  export CUPS_SERVER="$cups/cups.sock"
  for _ in $(seq 1 50); do
    [ -S "$CUPS_SERVER" ] && break
    sleep 0.1
  done
  lpadmin -p BrisomelPDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null ||
    fail "could not add the cups-pdf printer"
  lpadmin -d BrisomelPDF || fail "could not make the cups-pdf printer the default"
  # cups-pdf writes to the PDF folder of the job's user.
  out="$HOME/PDF"
  mkdir -p "$out"
  touch "$work/before-print"
}

# --- Scenarios ------------------------------------------------------------------------------
case $name in
  packed_book)
    site=$(make_site)
    pack "$site" "$work/book.exe"
    check_book_round_trip "$work/book.exe" "$site"
    ;;
  obfuscated)
    site=$(make_site)
    pack "$site" "$work/book.exe" --obfuscate
    check_book_round_trip "$work/book.exe" "$site"
    ;;
  stock_zip)
    site=$(make_site)
    # The start page first and compressed at level 9: its local header then carries exactly the
    # bytes the reader searches for. No directory entries.
    (cd "$site" && zip -q -9 -D -X "$work/site.zip" index.htm $(find . -type f ! -name index.htm | sed 's|^\./||'))
    cat "$reader" "$work/site.zip" >"$work/book.exe"
    check_book_round_trip "$work/book.exe" "$site"
    ;;
  no_archive)
    cp "$reader" "$work/book.exe"
    start_book "$work/book.exe" "$work/book.log"
    hwnd=$(wait_window 1 | head -n 1)
    sleep 1
    for d in $(private_dirs); do
      [ -z "$(find "$d" -type f \( -name '*.htm' -o -name '*.bmp' \))" ] || fail "a book without archive extracted files into $d"
    done
    buttons=$(drv buttons "$hwnd")
    check_start_state "$buttons"
    check_glyphs "$buttons" builtin
    exit_book "$hwnd" "$book_pid"
    [ -z "$(private_dirs)" ] || fail "left behind: $(private_dirs)"
    note "opened with built-in glyphs, extracted nothing, left nothing"
    ;;
  two_books)
    site=$(make_site)
    pack "$site" "$work/book.exe"
    start_book "$work/book.exe" "$work/book1.log"
    pid1=$book_pid
    first=$(wait_window 1 | head -n 1)
    start_book "$work/book.exe" "$work/book2.log"
    pid2=$book_pid
    second=$(wait_window 2 | grep -vx "$first" | head -n 1)
    [ -n "$second" ] || fail "no second window"
    # Both open at the same place: drag the second one down, clear of the first one's toolbar.
    drv move "$second" 181 420 || fail "could not move the second window"
    sleep 1
    dirs=$(private_dirs)
    [ "$(wc -l <<<"$dirs")" = 2 ] || fail "expected two private directories, got: $dirs"
    for d in $dirs; do check_extracted "$d" "$site"; done
    screenshot two-books >/dev/null
    exit_book "$first" "$pid1"
    left=$(private_dirs)
    [ "$(wc -l <<<"$left")" = 1 ] && [ -n "$left" ] || fail "after closing one book: $left"
    grep -qx "$left" <<<"$dirs" || fail "unexpected directory $left"
    check_extracted "$left" "$site"
    note "closing one book left the other's files intact"
    drv caption "$second" | grep -qx Start || fail "the second book's window is gone"
    exit_book "$second" "$pid2"
    [ -z "$(private_dirs)" ] || fail "left behind: $(private_dirs)"
    ;;
  damaged_book)
    site=$(make_site)
    pack "$site" "$work/book.exe"
    # Flip one byte inside noise.bin's data: its first name in the book is its local header's.
    name_at=$(grep -obUa 'noise\.bin' "$work/book.exe" | head -n 1 | cut -d: -f1)
    at=$((name_at + 9 + 1000))
    byte=$(od -An -tu1 -j "$at" -N1 "$work/book.exe" | tr -d ' ')
    printf "$(printf '\\%03o' $((byte ^ 0xFF)))" |
      dd of="$work/book.exe" bs=1 seek="$at" conv=notrunc status=none
    start_book "$work/book.exe" "$work/book.log"
    texts=$(drv wait-dialog "Archive error.." 60000) || fail "no \"Archive error..\" message"
    grep -q 'noise\.bin' <<<"$texts" || fail "the message does not name noise.bin: $texts"
    grep -v 'noise\.bin' <<<"$texts" | grep -Eq 'index\.htm|numbers\.txt' &&
      fail "the message names intact files: $texts"
    screenshot message >/dev/null
    drv dialog-click "Archive error.." OK || fail "could not press OK"
    hwnd=$(wait_window 1 | head -n 1)
    sleep 1
    dir=$(private_dirs)
    [ -f "$dir/noise.bin" ] || fail "the damaged file should stay"
    rm -f "$site/noise.bin"
    check_extracted "$dir" "$site"
    note "the damaged entry was named once and the others came out exactly"
    exit_book "$hwnd" "$book_pid"
    [ -z "$(private_dirs)" ] || fail "left behind: $(private_dirs)"
    ;;
  print_no_printer)
    # Print with no printer installed: the printer error is shown and the reader goes on.
    site=$(make_site)
    pack "$site" "$work/book.exe"
    start_book "$work/book.exe" "$work/book.log"
    hwnd=$(wait_window 1 | head -n 1)
    sleep 1
    drv click "$hwnd" Print || fail "could not click Print"
    texts=$(drv wait-dialog Brisomel 30000) || fail "no printer error shown"
    grep -q 'Printer selected is not valid' <<<"$texts" || fail "unexpected message: $texts"
    screenshot printer-error >/dev/null
    drv dialog-click Brisomel OK || fail "could not press OK"
    sleep 1
    [ -n "$(drv caption "$hwnd")" ] || fail "the window went away after the printer error"
    note "the printer error was shown and the reader went on"
    exit_book "$hwnd" "$book_pid"
    ;;
  print_cups)
    # A real print path: a private CUPS server with a cups-pdf printer as the default printer,
    # started here and stopped at the end; the reader prints a page of several sheets with a
    # table and an image, and the PDF's pages are turned into PNG and checked.
    start_cups_printer
    site="$work/site"
    mkdir -p "$site"
    cp "$src/examples/book/4print.bmp" "$site/printer.bmp"
    {
      echo "<html><head><title>Printed</title></head><body>"
      echo "<h1>Printed page</h1><img src=\"printer.bmp\"> an image"
      echo "<table border=1><tr><td>Cell one</td><td>Cell two</td></tr></table>"
      for i in $(seq 1 120); do echo "<p>Paragraph $i of the printed page.</p>"; done
      echo "</body></html>"
    } >"$site/index.htm"
    pack "$site" "$work/book.exe"
    start_book "$work/book.exe" "$work/book.log"
    hwnd=$(wait_window 1 | head -n 1)
    sleep 1
    drv click "$hwnd" Print || fail "could not click Print"
    pdf=""
    for _ in $(seq 1 120); do
      pdf=$(find "$out" -name '*.pdf' -newer "$work/before-print" | head -n 1)
      [ -n "$pdf" ] && ! lpstat -o 2>/dev/null | grep -q BrisomelPDF && break
      sleep 0.5
    done
    screenshot after-print >/dev/null
    [ -n "$pdf" ] || fail "no PDF was printed"
    mv "$pdf" "$work/printed.pdf"
    pdftoppm -r 50 -png "$work/printed.pdf" "$work/sheet"
    sheets=$(find "$work" -name 'sheet-*.png' | wc -l)
    [ "$sheets" -ge 3 ] || fail "expected at least three sheets, got $sheets"
    # Ink stays inside the 2 cm margins (39 pixels at 50 dpi).
    for png in "$work"/sheet-*.png; do
      box=$(convert "$png" -fuzz 10% -trim -format '%X %Y %w %h %W %H' info: | tr -d '+')
      read -r x y w h W H <<<"$box"
      [ "$x" -ge 36 ] && [ "$y" -ge 36 ] && [ $((x + w)) -le $((W - 36)) ] &&
        [ $((y + h)) -le $((H - 36)) ] || fail "ink outside the margins on $(basename "$png"): $box"
    done
    note "printed $sheets sheets to cups-pdf within the margins"
    exit_book "$hwnd" "$book_pid"
    ;;
  viewer)
    # The start page (text, an animated GIF that is an image map, a table and a form) in the
    # page viewer, driven like a reader: scroll, hover, select and copy, follow a link and come
    # back, and watch the GIF animate.
    site="$work/site"
    mkdir -p "$site"
    cp "$src/src/html/images/resources/rhcorner.gif" "$site/anim.gif"
    {
      echo "<html><head><title>Viewer</title></head><body bgcolor=white>"
      echo "<map name=\"m\"><area shape=rect coords=\"0,0,48,36\" href=\"page2.htm\"></map>"
      echo "<img src=\"anim.gif\" align=right usemap=\"#m\" border=0>Select these words please<br><br>"
      echo "<a href=\"page2.htm\">Go to the second page</a>"
      echo "<table border=1><tr><th>Table</th><th>head</th></tr><tr><td colspan=2>a cell over two columns</td></tr></table>"
      echo "<form>A form: <input type=text name=q value=\"typed text\"> <input type=checkbox checked> <input type=submit></form>"
      for i in $(seq 1 150); do echo "<p>Paragraph $i of the start page.</p>"; done
      echo "</body></html>"
    } >"$site/index.htm"
    echo "<html><body bgcolor=white><h1>Second page</h1><a href=\"index.htm\">back</a></body></html>" >"$site/page2.htm"
    pack "$site" "$work/book.exe"
    start_book "$work/book.exe" "$work/book.log"
    hwnd=$(wait_window 1 | head -n 1)
    sleep 2
    differ() {  # differ A B REGION: pixels that differ inside REGION (WxH+X+Y)
      convert "$1" -crop "$3" +repage "$work/differ-a.png"
      convert "$2" -crop "$3" +repage "$work/differ-b.png"
      compare -metric AE "$work/differ-a.png" "$work/differ-b.png" null: 2>&1 | cut -d' ' -f1
    }
    # The viewer's area on the screen: the client area below the toolbar.
    start=$(screenshot viewer-start)
    # The GIF steps: a series of shots of the page, at least two of them different.
    prev=$start
    changes=0
    for i in 1 2 3 4; do
      sleep 0.3
      shot=$(screenshot "viewer-gif-$i")
      [ "$(differ "$prev" "$shot" 800x500+140+150)" != 0 ] && changes=$((changes + 1))
      prev=$shot
    done
    [ $changes -ge 1 ] || fail "the GIF did not animate (see $work/viewer-gif-*.png)"
    note "the GIF changed in $changes of 4 steps"
    drv mouse "$hwnd" move 60 83 || fail "no pointer move"
    screenshot viewer-hover >/dev/null
    drv mouse "$hwnd" drag 12 62 150 62 || fail "no drag"
    screenshot viewer-selected >/dev/null
    drv key "$hwnd" 0x43 ctrl
    copied=$(drv clipboard)
    grep -q "Select" <<<"$copied" || fail "the clipboard holds \"$copied\""
    note "copied: $copied"
    drv mouse "$hwnd" dblclick 75 64 || fail "no double click"
    screenshot viewer-word >/dev/null
    drv key "$hwnd" 0x43 ctrl
    [ "$(drv clipboard)" = "these" ] || fail "a double click on \"these\" copied \"$(drv clipboard)\""
    note "a double click selected the word \"these\""
    drv key "$hwnd" 0x22
    scrolled=$(screenshot viewer-scrolled)
    [ "$(differ "$start" "$scrolled" 700x400+150+200)" != 0 ] || fail "Page Down did not scroll"
    drv key "$hwnd" 0x24
    sleep 1
    drv mouse "$hwnd" click 60 83 || fail "no click"
    sleep 1
    linked=$(screenshot viewer-second-page)
    buttons=$(drv buttons "$hwnd")
    [ "$(button_line "$buttons" Back | cut -d' ' -f3)" = 1 ] || fail "Back is not enabled after a link ($linked)"
    drv click "$hwnd" Back || fail "could not click Back"
    sleep 1
    back=$(screenshot viewer-back)
    [ "$(button_line "$(drv buttons "$hwnd")" Forward | cut -d' ' -f3)" = 1 ] || fail "Forward is not enabled after Back ($back)"
    # The animated picture is also an image map whose one area leads to the second page.
    drv mouse "$hwnd" click 740 72 || fail "no click on the map"
    sleep 1
    mapped=$(screenshot viewer-image-map)
    [ "$(differ "$linked" "$mapped" 600x300+150+160)" = 0 ] || fail "the image map did not lead to the second page ($mapped)"
    note "the image map's area led to the second page"
    exit_book "$hwnd" "$book_pid"
    [ -z "$(private_dirs)" ] || fail "left behind: $(private_dirs)"
    ;;
  frames)
    # A three-frame book: a navigation frame whose links target the content frame, and a
    # nested set of content and footer. Links are followed across frames, the border between
    # navigation and content is dragged, and Back and Forward walk the frames' history.
    site="$work/site"
    mkdir -p "$site"
    cat >"$site/index.htm" <<'HTML'
<html><head><title>Framed book</title></head>
<frameset cols="200,*"><frame name="nav" src="nav.htm">
<frameset rows="*,80"><frame name="content" src="chapter1.htm"><frame name="foot" src="foot.htm"></frameset>
</frameset></html>
HTML
    echo '<body bgcolor=white><a href="chapter2.htm" target="content">Chapter 2</a><p>Contents</body>' >"$site/nav.htm"
    echo '<body bgcolor="#ffffe0"><h1>Chapter 1</h1><p>The first chapter.</body>' >"$site/chapter1.htm"
    echo '<body bgcolor="#e0ffe0"><a href="chapter3.htm">Chapter 3</a><h1>Chapter 2</h1></body>' >"$site/chapter2.htm"
    echo '<body bgcolor="#e0e0ff"><h1>Chapter 3</h1><p>The last chapter.</body>' >"$site/chapter3.htm"
    echo '<body bgcolor=silver><i>The footer</i></body>' >"$site/foot.htm"
    pack "$site" "$work/book.exe"
    start_book "$work/book.exe" "$work/book.log"
    hwnd=$(wait_window 1 | head -n 1)
    sleep 2
    differ() {  # differ A B REGION: pixels that differ inside REGION (WxH+X+Y)
      convert "$1" -crop "$3" +repage "$work/differ-a.png"
      convert "$2" -crop "$3" +repage "$work/differ-b.png"
      compare -metric AE "$work/differ-a.png" "$work/differ-b.png" null: 2>&1 | cut -d' ' -f1
    }
    start=$(screenshot frames-start)
    [ "$(button_line "$(drv buttons "$hwnd")" Back | cut -d' ' -f3)" = 0 ] || fail "Back is enabled at the start ($start)"
    # The navigation frame's link (top left of the client area below the toolbar).
    drv mouse "$hwnd" click 30 64 || fail "no click in the navigation frame"
    sleep 1
    second=$(screenshot frames-chapter2)
    [ "$(button_line "$(drv buttons "$hwnd")" Back | cut -d' ' -f3)" = 1 ] || fail "Back is not enabled after a link in a frame ($second)"
    # The content frame's own link, at its top left.
    drv mouse "$hwnd" click 240 64 || fail "no click in the content frame"
    sleep 1
    third=$(screenshot frames-chapter3)
    [ "$(differ "$second" "$third" 300x100+400+170)" != 0 ] || fail "the content frame did not follow its link ($third)"
    # The border between navigation and content, dragged 100 pixels to the right.
    drv mouse "$hwnd" drag 200 300 300 300 || fail "no drag"
    sleep 1
    dragged=$(screenshot frames-dragged)
    [ "$(differ "$third" "$dragged" 80x100+360+400)" != 0 ] || fail "the border did not move ($dragged)"
    drv click "$hwnd" Back || fail "could not click Back"
    sleep 1
    drv click "$hwnd" Back || fail "could not click Back"
    sleep 1
    back=$(screenshot frames-back)
    buttons=$(drv buttons "$hwnd")
    [ "$(button_line "$buttons" Back | cut -d' ' -f3)" = 0 ] || fail "Back is still enabled at the start of the history ($back)"
    [ "$(button_line "$buttons" Forward | cut -d' ' -f3)" = 1 ] || fail "Forward is not enabled after Back ($back)"
    drv click "$hwnd" Forward || fail "could not click Forward"
    sleep 1
    fwd=$(screenshot frames-forward)
    note "frames: links, a dragged border, Back and Forward; screenshots in $work"
    exit_book "$hwnd" "$book_pid"
    ;;
  reader)
    # The sample book as a reader uses it: the start page at the placed bounds, a page opened
    # through the Open dialog (Ctrl+O), a link and the history through Back and Forward
    # (buttons, Alt+Left, the popup menu), Home back to the opened page, links that leave the
    # book handed to the shell, the About box, Print to a cups-pdf printer and Exit, all from
    # the popup menu.
    start_cups_printer
    site="$work/site"
    cp -r "$src/examples/book" "$site"
    pages="$work/pages"
    mkdir -p "$pages"
    {
      echo "<html><head><title>Opened</title></head><body bgcolor=white>"
      echo "<h2>A page opened from outside the book</h2>"
      echo "<p><font size=5><a href=\"second.htm\">To the second page</a></font></p>"
      echo "<p><font size=5><a href=\"MAILTO:keeper@example.org\">Write to the keeper</a></font></p>"
      echo "<p><font size=5><a href=\"missing-archive.zip\">An archive that is not there</a></font></p>"
      for i in $(seq 1 80); do echo "<p>Line $i of the opened page.</p>"; done
      echo "</body></html>"
    } >"$pages/opened.htm"
    echo "<html><body bgcolor=\"#e0e0ff\"><h1>Second page</h1><p>Reached by a link.</body></html>" >"$pages/second.htm"
    pack "$site" "$work/book.exe"
    # Wine's shell traces every program or document it is asked to open.
    WINEDEBUG=trace+exec start_book "$work/book.exe" "$work/book.log"
    hwnd=$(wait_window 1 | head -n 1)
    sleep 2
    differ() {  # differ A B REGION: pixels that differ inside REGION (WxH+X+Y)
      convert "$1" -crop "$3" +repage "$work/differ-a.png"
      convert "$2" -crop "$3" +repage "$work/differ-b.png"
      compare -metric AE "$work/differ-a.png" "$work/differ-b.png" null: 2>&1 | cut -d' ' -f1
    }
    enabled() { button_line "$(drv buttons "$hwnd")" "$1" | cut -d' ' -f3; }
    history_is() {  # history_is BACK FORWARD WHAT
      [ "$(enabled Back)" = "$1" ] && [ "$(enabled Forward)" = "$2" ] ||
        fail "after $3 Back/Forward are $(enabled Back)/$(enabled Forward), expected $1/$2"
    }
    # The page area of the screen: the client area of the window placed at 140, 80.
    page_area=760x400+150+160
    start=$(screenshot reader-start)
    bounds=$(drv rect "$hwnd")
    [ "$bounds" = "140 80 800 600" ] || fail "the window is at $bounds, not placed for a 1024 pixel screen"
    note "the start page shows at the placed bounds $bounds"
    history_is 0 0 "the start"

    drv key "$hwnd" 0x4F ctrl  # Ctrl+O
    drv wait-dialog Open 20000 >/dev/null || fail "Ctrl+O opened no Open dialog"
    screenshot reader-open-dialog >/dev/null
    drv dialog-type Open "Z:${pages//\//\\}\\opened.htm" || fail "could not type into the Open dialog"
    sleep 2
    opened=$(screenshot reader-opened)
    [ "$(differ "$start" "$opened" "$page_area")" != 0 ] || fail "the opened page is not shown ($opened)"
    history_is 1 0 "Open"

    drv mouse "$hwnd" click 60 136 || fail "no click on the link"
    sleep 1
    second=$(screenshot reader-second)
    [ "$(differ "$opened" "$second" "$page_area")" != 0 ] || fail "the link was not followed ($second)"
    history_is 1 0 "a link"
    drv key "$hwnd" 0x25 alt  # Alt+Left
    sleep 1
    [ "$(differ "$opened" "$(screenshot reader-alt-left)" "$page_area")" = 0 ] || fail "Alt+Left did not go back"
    history_is 1 1 "Alt+Left"
    drv click "$hwnd" Forward || fail "could not click Forward"
    sleep 1
    [ "$(differ "$second" "$(screenshot reader-forward)" "$page_area")" = 0 ] || fail "Forward did not return"
    history_is 1 0 "Forward"
    drv popup "$hwnd" 400 400 0 || fail "a right click opened no popup menu"
    screenshot reader-popup >/dev/null
    drv key "$hwnd" 0x1B  # Escape closes it
    drv popup "$hwnd" 400 400 1 || fail "no popup menu for Back"
    sleep 1
    [ "$(differ "$opened" "$(screenshot reader-menu-back)" "$page_area")" = 0 ] || fail "the menu's Back did not go back"
    history_is 1 1 "the menu's Back"
    drv popup "$hwnd" 400 400 2 || fail "no popup menu for Forward"
    sleep 1
    [ "$(differ "$second" "$(screenshot reader-menu-forward)" "$page_area")" = 0 ] || fail "the menu's Forward did not return"
    history_is 1 0 "the menu's Forward"
    drv click "$hwnd" Home || fail "could not click Home"
    sleep 1
    [ "$(differ "$opened" "$(screenshot reader-home)" "$page_area")" = 0 ] || fail "Home did not return to the opened page"
    note "Open, a link, Alt+Left, Forward, the menu's Back and Home each showed the expected page"
    # End and Home scroll the page, though the focus is not in it after a toolbar click.
    drv key "$hwnd" 0x23
    [ "$(differ "$opened" "$(screenshot reader-end)" "$page_area")" != 0 ] || fail "End did not scroll the page"
    drv key "$hwnd" 0x24
    [ "$(differ "$opened" "$(screenshot reader-home-key)" "$page_area")" = 0 ] || fail "the Home key did not scroll back to the top"
    note "the menu's Forward returned to the second page"

    # Links that leave the book: the page stays, no error, and the shell was asked.
    drv mouse "$hwnd" click 60 178 || fail "no click on the mail link"
    sleep 1
    drv mouse "$hwnd" click 60 220 || fail "no click on the archive link"
    sleep 2
    [ "$(differ "$opened" "$(screenshot reader-shell-links)" "$page_area")" = 0 ] || fail "a link that leaves the book changed the page"
    drv wait-dialog Brisomel 500 >/dev/null 2>&1 && fail "a link that leaves the book raised an error"
    grep -q 'MAILTO:keeper@example.org' "$work/book.log" || fail "the mail link did not reach the shell (see $work/book.log)"
    grep -q 'missing-archive.zip' "$work/book.log" || fail "the archive link did not reach the shell (see $work/book.log)"
    note "the mail and archive links were handed to the shell as written"

    drv popup "$hwnd" 400 400 7 || fail "no popup menu for About"
    texts=$(drv wait-dialog "About Brisomel" 10000) || fail "the menu's About showed no box"
    grep -q "Brisomel 1.0" <<<"$texts" || fail "the About box says: $texts"
    screenshot reader-about >/dev/null
    drv dialog-click "About Brisomel" OK || fail "could not close the About box"
    note "the About box: $(grep Brisomel <<<"$texts" | head -n 1)"

    drv popup "$hwnd" 400 400 3 || fail "no popup menu for Print"
    pdf=""
    for _ in $(seq 1 120); do
      pdf=$(find "$out" -name '*.pdf' -newer "$work/before-print" | head -n 1)
      [ -n "$pdf" ] && ! lpstat -o 2>/dev/null | grep -q BrisomelPDF && break
      sleep 0.5
    done
    [ -n "$pdf" ] || fail "the menu's Print printed no PDF"
    mv "$pdf" "$work/printed.pdf"
    pdftoppm -r 50 -png -f 1 -l 1 "$work/printed.pdf" "$work/printed"
    pdftotext "$work/printed.pdf" - | grep -q "opened from outside" || fail "the PDF does not hold the opened page"
    note "the menu's Print printed the opened page to cups-pdf"

    # The Open button's dialog: the second page, chosen in it, shows.
    drv click "$hwnd" Open || fail "could not click Open"
    drv wait-dialog Open 20000 >/dev/null || fail "the Open button opened no Open dialog"
    drv dialog-type Open "Z:${pages//\//\\}\\second.htm" || fail "could not type into the Open dialog"
    sleep 2
    [ "$(differ "$second" "$(screenshot reader-open-button)" "$page_area")" = 0 ] || fail "the Open button did not open the chosen page"
    note "the Open button's dialog opened the chosen page"

    drv popup "$hwnd" 400 400 6 || fail "no popup menu for Exit"
    drv wait-gone "$hwnd" 20000 || fail "the menu's Exit left the window"
    [ -z "$(private_dirs)" ] || fail "left behind: $(private_dirs)"
    ;;
  caption_sound)
    # A book whose start page carries a WAV background sound, in Wine's virtual desktop (which
    # draws the window frames, so the gradient caption bars show). The sound port writes each
    # request to the file named by BRISOMEL_SOUND_LOG.
    run reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    run reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    export BRISOMEL_SOUND_LOG="Z:$work/sound.log"
    site=$(make_site)
    make_wav "$site/chime.wav"
    {
      echo "<html><head><title>Sound</title></head><body bgcolor=white>"
      echo "<bgsound src=\"chime.wav\" loop=infinite><h1>A page with a sound</h1>"
      echo "<p>The chime plays once when this page opens. <a href=\"page2.htm\">next</a></p>"
      echo "</body></html>"
    } >"$site/index.htm"
    pack "$site" "$work/book.exe"
    start_book "$work/book.exe" "$work/book.log"
    hwnd=$(wait_window 1 | head -n 1)
    sleep 2
    [ -f "$work/sound.log" ] || fail "no sound request was made"
    note "sound requests: $(tr '\n' '|' <"$work/sound.log")"
    grep -Eq '^(open|open failed) .*[\\/]chime\.wav' "$work/sound.log" ||
      fail "the page's sound was not asked for: $(cat "$work/sound.log")"
    if grep -q '^open failed' "$work/sound.log"; then
      # The device could not be opened: the reader is told once, after the page has loaded.
      texts=$(drv wait-dialog Brisomel 10000) || fail "an open failure was not reported"
      screenshot sound-error >/dev/null
      drv dialog-click Brisomel OK || fail "could not press OK"
      sleep 1
    else
      grep -q '^play .*chime\.wav' "$work/sound.log" || fail "the sound was opened but not played"
    fi
    drv activate "$hwnd"
    sleep 1
    shot=$(screenshot caption-main-active)
    # The bar's lowest row, above the client area: navy at the left, silver at the right.
    read -r _ _ _ _ cl ct cr _ <<<"$(drv rects "$hwnd")"
    pixel() { convert "$1" -format "%[fx:round(255*u.r)] %[fx:round(255*u.g)] %[fx:round(255*u.b)]" \
      -crop "1x1+$2+$3" +repage info: 2>/dev/null | tail -n 1; }
    y=$((ct - 2))
    read -r r1 g1 b1 <<<"$(pixel "$shot" $((cl + 2)) "$y")"
    read -r r2 g2 b2 <<<"$(pixel "$shot" $((cl + (cr - cl) / 2)) "$y")"
    read -r r3 g3 b3 <<<"$(pixel "$shot" $((cr - 2)) "$y")"
    note "active bar: left $r1,$g1,$b1 middle $r2,$g2,$b2 right $r3,$g3,$b3"
    [ "$r1" -le 16 ] && [ "$g1" -le 16 ] && [ "$b1" -ge 112 ] && [ "$b1" -le 144 ] ||
      fail "the active bar does not start navy ($shot)"
    [ "$r3" = 192 ] && [ "$g3" = 192 ] && [ "$b3" = 192 ] || fail "the active bar does not end silver ($shot)"
    [ "$r2" -gt "$r1" ] && [ "$r2" -lt "$r3" ] && [ "$b2" -gt "$b1" ] && [ "$b2" -lt "$b3" ] ||
      fail "the active bar is no gradient ($shot)"
    # The search dialog's bar, active, over the main window's, inactive.
    dialog=$(drv find TForm2 | head -n 1)
    [ -n "$dialog" ] || fail "no search dialog window"
    drv show "$dialog" || fail "could not show the search dialog"
    drv move "$dialog" 420 420 || fail "could not move the search dialog"
    sleep 1
    shot=$(screenshot caption-search-active)
    [ "$(drv caption "$dialog")" = "Search For..." ] || fail "the search dialog's title is $(drv caption "$dialog")"
    read -r _ _ _ _ dl dt dr _ <<<"$(drv rects "$dialog")"
    read -r r1 g1 b1 <<<"$(pixel "$shot" $((dl + 2)) $((dt - 2)))"
    read -r r3 g3 b3 <<<"$(pixel "$shot" $((dr - 2)) $((dt - 2)))"
    note "search dialog bar: left $r1,$g1,$b1 right $r3,$g3,$b3"
    [ "$b1" -ge 112 ] && [ "$r1" -le 16 ] && [ "$r3" = 192 ] || fail "the search dialog's bar is no navy-silver gradient ($shot)"
    read -r r1 g1 b1 <<<"$(pixel "$shot" $((cl + 2)) "$y")"
    note "inactive main bar: left $r1,$g1,$b1"
    [ "$b1" -le 16 ] || fail "the inactive main bar does not start black ($shot)"
    # Stop Sound, through the popup menu (its fifth item).
    drv popup "$hwnd" 400 400 5 || fail "no popup menu for Stop Sound"
    sleep 1
    if grep -q '^open .*chime\.wav' "$work/sound.log"; then
      grep -q '^close .*chime\.wav' "$work/sound.log" || fail "Stop Sound did not close the sound"
      note "Stop Sound closed the sound"
    fi
    # The reader closes the window (in the virtual desktop, after another window was active, the
    # driver's click on Exit can go astray; closing takes the same way out).
    drv close "$hwnd" || fail "could not close the window"
    drv wait-gone "$hwnd" 20000 || fail "the window stayed after closing"
    for _ in $(seq 1 200); do
      kill -0 "$book_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$book_pid" 2>/dev/null && fail "the program still runs after closing"
    [ -z "$(private_dirs)" ] || fail "left behind: $(private_dirs)"
    note "closed; no file left behind"
    ;;
  search_drop)
    # The sample book: the Search button's dialog finds a word on the start page and steps to
    # its next match, reports a word that is not there, and Search All Pages loads another page
    # holding a word; then a file dropped on the window opens.
    site="$work/site"
    cp -r "$src/examples/book" "$site"
    visible() { sed -n '/<body/I,$p' "$1" | sed 's/<[^>]*>//g' | tr -cs 'A-Za-z' '\n'; }
    start_page="$site/index.htm"
    [ -f "$start_page" ] || start_page="$site/index.html"
    # The word seen most often on the start page, and one that only another page holds.
    here=$(visible "$start_page" | awk 'length >= 6' | tr 'A-Z' 'a-z' | sort | uniq -dc | sort -rn |
      awk 'NR == 1 { print $2 }')
    [ -n "$here" ] || fail "no repeated word on the start page"
    there="" there_file=""
    for f in $(cd "$site" && ls | grep -Ei '\.(html?|txt)$' | grep -vix "$(basename "$start_page")"); do
      for w in $(visible "$site/$f" | awk 'length >= 7' | sort -u); do
        if [ "$(grep -lis -- "$w" "$site"/* | wc -l)" = 1 ]; then
          there=$w there_file=$f
          break 2
        fi
      done
    done
    [ -n "$there" ] || fail "no word that only one other page holds"
    note "searching for \"$here\" on the start page and \"$there\" (only in $there_file)"
    pack "$site" "$work/book.exe"
    start_book "$work/book.exe" "$work/book.log"
    hwnd=$(wait_window 1 | head -n 1)
    sleep 2
    start=$(screenshot search-start)
    drv click "$hwnd" Search || fail "could not click Search"
    texts=$(drv wait-dialog "Search For..." 20000) || fail "the Search button showed no \"Search For...\" dialog"
    grep -qx Find <<<"$texts" && grep -qx "Search All Pages" <<<"$texts" && grep -qx Close <<<"$texts" ||
      fail "the dialog's controls read: $texts"
    drv type "Search For..." "$here" || fail "could not type into the dialog"
    drv dialog-click "Search For..." Find || fail "could not click Find"
    sleep 1
    found=$(screenshot search-found)
    grep -qx "Find Next" <<<"$(drv wait-dialog "Search For..." 5000)" || fail "Find did not find \"$here\" ($found)"
    drv dialog-click "Search For..." "Find Next" || fail "could not click Find Next"
    sleep 1
    next=$(screenshot search-find-next)
    [ "$(compare -metric AE "$found" "$next" null: 2>&1 | cut -d' ' -f1)" != 0 ] ||
      fail "Find Next selected nothing new ($next)"
    drv type "Search For..." "nowhereword" || fail "could not type into the dialog"
    drv dialog-click "Search For..." "Find Next" || fail "could not click Find"
    texts=$(drv wait-dialog Brisomel 10000) || fail "no message for a missing word"
    grep -qx "nowhereword - Text not Found" <<<"$texts" || fail "the message reads: $texts"
    screenshot search-not-found >/dev/null
    drv dialog-click Brisomel OK || fail "could not press OK"
    for _ in $(seq 1 20); do
      drv wait-dialog Brisomel 0 >/dev/null 2>&1 || break
      sleep 0.5
    done
    # The dialog comes back once the box has gone, which takes Wine a while on a busy machine.
    for _ in $(seq 1 30); do
      texts=$(drv wait-dialog "Search For..." 1000) && grep -qx Find <<<"$texts" && break
      sleep 0.5
    done
    grep -qx Find <<<"$texts" || fail "the Find button did not return to \"Find\": $texts"
    note "Find selected \"$here\", Find Next moved on, a missing word was reported"
    drv type "Search For..." "$there" || fail "could not type into the dialog"
    drv dialog-click "Search For..." "Search All Pages" || fail "could not click Search All Pages"
    sleep 2
    texts=$(drv wait-dialog "Search For..." 5000)
    other=$(screenshot search-all-pages)
    grep -qix "$there_file" <<<"$texts" || fail "Search All Pages did not name $there_file: $texts ($other)"
    grep -qx "Next File" <<<"$texts" || fail "the second button does not read \"Next File\": $texts"
    [ "$(compare -metric AE "$start" "$other" null: 2>&1 | cut -d' ' -f1)" != 0 ] || fail "no other page shows ($other)"
    drv dialog-click "Search For..." Close || fail "could not click Close"
    sleep 1
    drv wait-dialog "Search For..." 1000 >/dev/null 2>&1 && fail "the dialog stayed after Close"
    [ "$(button_line "$(drv buttons "$hwnd")" Back | cut -d' ' -f3)" = 1 ] || fail "Back is not enabled after Search All Pages"
    note "Search All Pages loaded $there_file with \"$there\" selected"
    # A file from outside the book, dropped on the window.
    mkdir -p "$work/outside"
    echo '<html><body bgcolor=white>Dropped page, brought in from outside.<h1>Dropped</h1></body></html>' >"$work/outside/dropped.htm"
    drv drop "$hwnd" "Z:$(tr / '\\' <<<"$work/outside/dropped.htm")" || fail "could not drop the file"
    sleep 2
    dropped=$(screenshot search-dropped)
    drv mouse "$hwnd" drag 8 62 400 62 || fail "no drag"
    drv key "$hwnd" 0x43 ctrl
    copied=$(drv clipboard)
    grep -q "Dropped page" <<<"$copied" || fail "the dropped page does not show ($dropped): \"$copied\""
    note "the dropped file opened"
    exit_book "$hwnd" "$book_pid"
    ;;
  big_pages)
    # Big pages as a reader meets them: a link clicked on the start page, timed until the new
    # page's first lines show (the green cell at its top), for tables of 100 to 3000 rows and a
    # megabyte of paragraphs; the times are printed, not checked. Then a close request while
    # a page four times the biggest loads must end the program, its private directory removed.
    site="$work/site"
    mkdir -p "$site"
    marker='<table><tr><td bgcolor="#00c000" width=300 height=40>&nbsp;</td></tr></table>'
    table_page() {  # table_page ROWS: about 330 bytes a row
      awk -v rows="$1" -v marker="$marker" 'BEGIN {
        print "<html><head><title>" rows " rows</title></head><body bgcolor=white>" marker
        print "<table border=1 cellpadding=2>"
        for (i = 1; i <= rows; i++)
          printf "<tr><td>Row %d</td><td>The quick brown fox jumps over the lazy dog, row %d.</td><td><b>Bold words</b> and <i>italic ones</i> in a third cell</td><td><a href=\"index.htm\">back to the start</a> and some more plain text to read</td><td>A fifth cell with a longer sentence, so that the row wraps in a narrow window.</td></tr>\n", i, i
        print "</table></body></html>"
      }'
    }
    paragraph_page() {  # about a megabyte of plain paragraphs
      awk -v marker="$marker" 'BEGIN {
        print "<html><head><title>Paragraphs</title></head><body bgcolor=white>" marker
        for (i = 1; i <= 6200; i++)
          printf "<p>Paragraph %d. A reader of a real book meets long chapters of plain text like this one, line after line of words that wrap at the edge of the window and go on.</p>\n", i
        print "</body></html>"
      }'
    }
    pages=(t100 t300 t1000 p1m t3000)
    table_page 100 >"$site/t100.htm"
    table_page 300 >"$site/t300.htm"
    table_page 1000 >"$site/t1000.htm"
    table_page 3000 >"$site/t3000.htm"
    table_page 12000 >"$site/t12000.htm"
    paragraph_page >"$site/p1m.htm"
    {
      echo "<html><head><title>Big pages</title></head><body bgcolor=white>"
      for p in "${pages[@]}" t12000; do echo "<h2><a href=\"$p.htm\">$p</a></h2>"; done
      echo "</body></html>"
    } >"$site/index.htm"
    pack "$site" "$work/book.exe"
    # No window manager runs on this display, so Wine is told so: otherwise, closing a window
    # it hands to a window manager waits two seconds for a withdrawal nobody acknowledges, and
    # that wait, not the reader, would be timed below.
    run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
      fail "could not set the X11 driver's Managed setting"
    start_book "$work/book.exe" "$work/book.log"
    hwnd=$(wait_window 1 | head -n 1)
    sleep 2
    screenshot big-start >/dev/null
    # Client points: the n-th link of the start page, and a point inside the green cell.
    link_y() { echo $((83 + 52 * $1)); }
    cell="60 70"
    limit=${BRISOMEL_BIG_PAGE_LIMIT:-60000}
    n=0
    for p in "${pages[@]}"; do
      size=$(stat -c %s "$site/$p.htm")
      ms=$(drv click-until "$hwnd" 25 "$(link_y $n)" $cell 00c000 "$limit") ||
        fail "$p ($size bytes) was not shown within $limit ms ($(screenshot "big-$p-late"))"
      shot=$(screenshot "big-$p")
      note "figure: $p ($size bytes) shown $ms ms after the click ($shot)"
      drv click "$hwnd" Back || fail "could not click Back"
      sleep 1
      n=$((n + 1))
    done
    drv click-close "$hwnd" 25 "$(link_y 5)" 300 || fail "could not click and ask the window to close"
    closed_at=$(date +%s%N)
    while kill -0 "$book_pid" 2>/dev/null && [ "$(date +%s%N)" -lt $((closed_at + 1000000000)) ]; do
      sleep 0.01
    done
    kill -0 "$book_pid" 2>/dev/null && fail "the program still runs 1 s after a close request during a load"
    note "figure: a close request during the load ended the program after $((($(date +%s%N) - closed_at) / 1000000)) ms"
    [ -z "$(private_dirs)" ] || fail "left behind: $(private_dirs)"
    ;;
  folders | unsafe_entry | start_time)
    # shellcheck source=folders.sh
    source "$src/tests/e2e/folders.sh"
    "scenario_$name"
    ;;
  unicode_names)
    # shellcheck source=folders.sh
    source "$src/tests/e2e/folders.sh"
    # shellcheck source=unicode.sh
    source "$src/tests/e2e/unicode.sh"
    "scenario_$name"
    ;;
  remember_page | remember_fresh | remember_damaged)
    # shellcheck source=remember.sh
    source "$src/tests/e2e/remember.sh"
    "scenario_$name"
    ;;
  zoom)
    # shellcheck source=folders.sh
    source "$src/tests/e2e/folders.sh"
    # shellcheck source=zoom.sh
    source "$src/tests/e2e/zoom.sh"
    "scenario_$name"
    ;;
  book_title)
    # shellcheck source=book_identity.sh
    source "$src/tests/e2e/book_identity.sh"
    "scenario_$name"
    ;;
  *)
    fail "no such scenario"
    ;;
esac
note "passed"
