// Where the reader left a book, turned into what the next start does: which page opens, where
// the window goes, and the state kept at close. Pure rules over paths and rectangles, so that
// their tests run natively; the main form connects them to the window and the viewer.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "settings/reading_state.h"
#include "settings/state_store.h"

namespace brisomel {

// Removes every "--fresh" from the command line; true when there was one.
bool TakeFreshOption(std::vector<std::string>& args);

// The full path of the remembered page inside `book_dir` (which ends in a separator) when it
// still exists there (`exists` asks); else empty, and the book opens at its start page.
std::string RememberedPagePath(const std::string& book_dir, const ReadingState& state,
                               const std::function<bool(const std::string&)>& exists);

// The page to remember for the shown document `shown_file` (the top document: for a frame set
// the frameset file, not a frame), relative to `book_dir`; empty when it lies outside the book.
std::u16string PageToRemember(const std::string& book_dir, const std::string& shown_file);

// The remembered normal rectangle on today's screens, given their work areas: moved and, if
// need be, shrunk into the work area it overlaps most. None when it overlaps no work area (a
// screen that is gone), and then the window keeps its default place.
std::optional<Rect> PlaceOnScreens(const WindowPlacement& window,
                                   const std::vector<Rect>& work_areas);

// The reading states of one book file, kept in `folder` through `files`. The book's identity
// is worked out once, at the first Load or Save. Nothing here fails loudly: a missing,
// unreadable or damaged state reads as the defaults, and a failed write is only reported.
class TReadingStates {
 public:
  TReadingStates(std::unique_ptr<StateFiles> files, std::u16string folder,
                 std::u16string book_path);
  ReadingState Load();
  bool Save(const ReadingState& state);

 private:
  // The state file's name; empty when the book cannot be read or there is no folder.
  const std::u16string& FileName();

  std::unique_ptr<StateFiles> files_;
  std::u16string folder_;
  std::u16string book_path_;
  std::optional<std::u16string> name_;
};

}  // namespace brisomel
