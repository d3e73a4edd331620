// What the main window does when it is created and destroyed, apart from its widgets:
// remember the start directory, restore the attached book, pick the toolbar glyphs, and at
// exit remove the book's files and go back to the start directory. No window is needed, so
// tests drive it with a fake environment.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "shell/main_form_design.h"

namespace brisomel {

// What the start-up sequence asks of the machine and of the attached archive.
class BookEnvironment {
 public:
  virtual ~BookEnvironment() = default;
  virtual std::string CurrentDirectory() = 0;
  virtual bool ChangeDirectory(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // Restores the archive appended to the program into the temporary directory; reports its
  // own problems and never stops the program.
  virtual void ExtractAttachedArchive() = 0;
  // The run's temporary directory, ending in a separator.
  virtual std::string GetTempDirectory() = 0;
  // Removes what extraction wrote, and the run's directory.
  virtual void DeleteExtractedFiles() = 0;
};

// Main-window state.
struct TMainWindowState {
  std::string StartDir;
  std::string CurrentName;
  std::string HomeName;
  std::string CurrentExt;
};

// For each speed button in design order: the glyph file to load, or empty when the button
// keeps its built-in glyph. The path is the temporary directory followed by the literal, which
// begins with a separator, so it holds two in a row; the file system accepts that. When no
// temporary directory could be made, every button keeps its built-in glyph.
std::array<std::string, kSpeedButtonCount> ChooseGlyphFiles(BookEnvironment& env);

// The creation steps in order. `load_glyph(index, path)` replaces the glyph of
// kSpeedButtons[index]; it may throw (a damaged bitmap), which ends the sequence like any
// other exception here: the caller shows it and the program goes on.
void RunFormCreate(BookEnvironment& env, TMainWindowState& state,
                   const std::function<void(int index, const std::string& path)>& load_glyph);

// The file shown at start: the first command-line argument as given; without one the full
// path of "index.html" in the working directory if it exists, else of "index.htm", else empty.
std::string ChooseStartFile(BookEnvironment& env, const std::vector<std::string>& args);
// The upper-cased extension of a file name ("" when it has none).
std::string UpperExtension(const std::string& name);
// Whether a file with this (upper-cased) extension is shown as an image rather than loaded as
// a page: it contains ".GIF", ".JPG", ".JPEG" or ".PNG". A ".BMP" is loaded as a page.
bool ShowAsImage(const std::string& current_ext);
// Where the window goes once a start file was loaded, by the screen's width.
TFormBounds PlacementForScreenWidth(int screen_width);
// The directory part of a file name with its trailing separator ("" when it has none).
std::string DirectoryPart(const std::string& name);
// The frame viewer's root for a file chosen by Open, Home or a drop: the book's own directory
// (`book_dir`, with its trailing separator) when the file lies anywhere below it, so that links
// from the root and Search All Pages keep to the whole book; otherwise the file's directory.
// Paths compare with ASCII letters folded and either separator.
std::string ServerRootFor(const std::string& file, const std::string& book_dir);
// The corner image's path in the temporary directory (two separators in a row, as the
// literal begins with one).
std::string CornerImagePath(BookEnvironment& env);

// The destruction steps. The working directory goes back to StartDir first: the run's
// directory is the working directory after extraction, and a directory in use cannot be
// removed on Windows. A failure to change back is ignored.
void RunFormDestroy(BookEnvironment& env, const TMainWindowState& state);

}  // namespace brisomel
