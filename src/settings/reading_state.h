// Where the reader left a book: the page shown, how far it was scrolled, the zoom and the
// window's placement, kept between runs in a small file per book (state_store.h).
//
// Format: settings text (key_value_text.h), UTF-8:
//   # Brisomel reading state
//   page=chapters/harbour.htm     the page, relative to the book's folder, '/' between folders
//   scroll=1840                   the viewer's reading position on that page, 0 or more
//   zoom=150                      percent, kMinZoom to kMaxZoom
//   window=120,80,900,700         the normal (restored) rectangle: left,top,width,height
//   maximized=1                   0 or 1: the window was maximised (or returns to it from
//   fullscreen=0                  0 or 1: full screen)
// Reading checks each value on its own and leaves a damaged or missing one at its default:
// no page (and then no scroll either), zoom 100, no window placement. A page that could lead
// out of the book (an absolute path, a drive, a ".." step) counts as damaged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brisomel {

constexpr int kMinZoom = 50;
constexpr int kMaxZoom = 300;
constexpr int kDefaultZoom = 100;
// Window rectangles beyond these are damaged (no screen is this large).
constexpr int kMaxWindowCoordinate = 1000000;
constexpr int kMaxWindowSide = 100000;

struct WindowPlacement {
  int left = 0, top = 0, width = 0, height = 0;  // the normal rectangle, screen pixels
  bool maximized = false;
  bool full_screen = false;
  bool operator==(const WindowPlacement&) const = default;
};

struct ReadingState {
  std::u16string page;  // relative to the book's folder; empty: none
  int32_t scroll = 0;
  int zoom = kDefaultZoom;
  std::optional<WindowPlacement> window;
  bool operator==(const ReadingState&) const = default;
};

std::string WriteReadingState(const ReadingState& state);
ReadingState ReadReadingState(std::string_view bytes);

// Whether `page` names a file inside the book: steps between '/' or '\', none empty, "." or
// "..", no ':' and no control characters.
bool IsPageInBook(std::u16string_view page);

// `full_path` relative to `book_folder` (which ends in a separator) with '/' between folders,
// when the page lies inside it (ASCII letters compared in either case, as Windows does); else
// empty.
std::u16string PageRelativeToBook(std::u16string_view book_folder, std::u16string_view full_path);
// The full path of a remembered page, `separator` between folders; empty when the page is not
// inside the book.
std::u16string PageInBook(std::u16string_view book_folder, std::u16string_view page,
                          char16_t separator);

}  // namespace brisomel
