// Where an archive entry may be written: its name turned into a relative path that cannot
// leave the folder it is extracted into. This is the one place that reads entry names as
// paths; the reader and the packer both ask it.
//
// Names are split at '/' and at '\' (some Windows tools store the latter). A name that ends in
// a separator is a folder entry. "." steps are dropped and ".." steps go back one folder, as
// long as they stay inside. A name is unsafe, and nothing is written for it, when it:
//   - is absolute (starts with a separator) or holds a ':' (a drive letter or a stream name);
//   - has a ".." step that would leave the folder;
//   - has an empty step ("a//b.htm"), or is empty once normalised;
//   - has a step that Windows cannot hold as a name: a character below 32 or one of < > " | ? *,
//     a trailing dot or space (Windows drops them, so two names would meet), more than 255
//     characters, or a reserved device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$,
//     CONOUT$), with or without an extension.
// The length of the whole path is checked where the folder it goes into is known
// (`FitsWindowsPath`).
//
// Names are UTF-8 (the archive reader turns names stored in code page 437 into UTF-8 first) and
// are compared with letters of every script folded by Unicode's simple case folding, as the
// Windows file system compares them. Lengths count UTF-16 code units, as Windows counts them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brisomel {

// Windows path limits of the file calls without the long-path prefix: a path holds at most 259
// UTF-16 code units (MAX_PATH less its NUL), a folder at most 247 (room for an 8.3 name), a
// name at most 255.
inline constexpr size_t kMaxPathLength = 259;
inline constexpr size_t kMaxFolderPathLength = 247;
inline constexpr size_t kMaxStepLength = 255;

struct EntryPath {
  enum Kind { kFile, kFolder, kUnsafe };
  Kind kind = kUnsafe;
  // The folders and, for a file, its name last; empty for an unsafe name.
  std::vector<std::string> steps;
  // Why an unsafe name is unsafe, in a few words ("leaves the book's folder").
  std::string why;

  // The steps joined by `separator`.
  std::string Joined(char separator) const;
};

EntryPath SafeEntryPath(const std::string& name);

// Whether `path` (a folder with its trailing separator, followed by the entry's joined steps)
// keeps within the Windows limits, for a file (`folder` false) or a folder.
bool FitsWindowsPath(const std::string& path, bool folder);

// `text` (UTF-8) with its letters case-folded: entry paths that differ only so name one file
// on Windows.
std::string FoldPathCase(std::string text);

// How many UTF-16 code units the UTF-8 `text` takes: the length Windows sees.
size_t WindowsLength(std::string_view text);

}  // namespace brisomel
