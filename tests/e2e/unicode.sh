# Scenarios of books in every script. Sourced by scenario.sh, whose helpers (pack, start_book,
# drv, screenshot, ...) they use, and folders.sh's pixel helpers.

scenario_unicode_names() {
  # A book with pages named résumé.htm and 文档.htm (UTF-8 names in the archive): the start page
  # links to each, one link written raw and one percent-encoded as UTF-8. Each click opens its
  # page; Search All Pages finds a Chinese word that only 文档.htm holds and opens it.
  site="$work/site"
  mkdir -p "$site"
  convert -size 64x64 xc:'#ff0000' "$site/r.gif"
  convert -size 64x64 xc:'#0000ff' "$site/d.gif"
  cat >"$site/index.htm" <<'HTML'
<html><head><meta charset="utf-8"><title>Names</title></head><body bgcolor=white>
<a href="résumé.htm"><img src="r.gif" border=0></a><a href="%E6%96%87%E6%A1%A3.htm"><img src="d.gif" border=0></a>
<p>The start page: the red picture leads to résumé.htm, the blue one to 文档.htm.</body></html>
HTML
  cat >"$site/résumé.htm" <<'HTML'
<html><head><meta charset="utf-8"></head><body bgcolor="#c0ffc0"><h1>Résumé</h1>
<p>Une page dont le nom a des accents.</body></html>
HTML
  cat >"$site/文档.htm" <<'HTML'
<html><head><meta charset="utf-8"></head><body bgcolor="#c0c0ff"><h1>文档</h1>
<p>灯塔守护者每天晚上点亮灯光，为过往的船只指引方向。</body></html>
HTML
  pack "$site" "$work/book.exe"
  start_book "$work/book.exe" "$work/book.log"
  hwnd=$(wait_window 1 | head -n 1)
  sleep 2
  dir=$(private_dirs)
  check_extracted "$dir" "$site"
  local shot
  shot=$(screenshot unicode-start)
  [ "$(background_at "$shot" "$hwnd")" = FFFFFF ] || fail "the start page is not shown ($shot)"
  drv mouse "$hwnd" click 40 90 || fail "no click on the red picture"
  sleep 2
  shot=$(screenshot unicode-resume)
  [ "$(background_at "$shot" "$hwnd")" = C0FFC0 ] || fail "the link to résumé.htm was not followed ($shot)"
  note "the raw link opened résumé.htm"
  drv click "$hwnd" Back || fail "could not click Back"
  sleep 2
  drv mouse "$hwnd" click 104 90 || fail "no click on the blue picture"
  sleep 2
  shot=$(screenshot unicode-document)
  [ "$(background_at "$shot" "$hwnd")" = C0C0FF ] || fail "the percent-encoded link to 文档.htm was not followed ($shot)"
  note "the percent-encoded link opened 文档.htm"
  drv click "$hwnd" Back || fail "could not click Back"
  sleep 2
  shot=$(screenshot unicode-back)
  [ "$(background_at "$shot" "$hwnd")" = FFFFFF ] || fail "Back did not return to the start page ($shot)"
  drv click "$hwnd" Search || fail "could not click Search"
  drv wait-dialog "Search For..." 20000 >/dev/null || fail "the Search button showed no dialog"
  drv type "Search For..." "灯塔守护者" || fail "could not type into the dialog"
  drv dialog-click "Search For..." "Search All Pages" || fail "could not click Search All Pages"
  sleep 2
  local texts
  texts=$(drv wait-dialog "Search For..." 5000)
  shot=$(screenshot unicode-search)
  grep -qix "文档.htm" <<<"$texts" || fail "Search All Pages did not name 文档.htm: $texts ($shot)"
  [ "$(background_at "$shot" "$hwnd")" = C0C0FF ] || fail "Search All Pages did not open 文档.htm ($shot)"
  note "Search All Pages found 灯塔守护者 in 文档.htm"
  drv dialog-click "Search For..." Close || fail "could not click Close"
  sleep 1
  exit_book "$hwnd" "$book_pid"
  [ -z "$(private_dirs)" ] || fail "left behind: $(private_dirs)"
}
