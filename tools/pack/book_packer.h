// Packs a site folder into a book: the reader's bytes followed by a ZIP archive of every file
// in the folder (sub-folders included).
//
// The reader finds its archive by searching its own file for the 10-byte local-header prefix
// 50 4B 03 04 14 00 02 00 08 00 (signature, version needed 2.0, flags 0x0002, deflate) and
// taking the second match; the first is the search constant inside the reader itself. So the
// first entry is always a deflated page written with exactly those fields, and the reader must
// hold the prefix exactly once. The reader writes every entry at its path below its private
// folder, so entries hold the path below the site folder with '/' between folders; two paths
// that differ only in ASCII case would meet in one file on Windows, and a name the reader would
// not write (see archive/entry_path.h) could not be read: such a folder is refused.
//
// Linked files and folders are followed wherever they lead; a link that leads nowhere is left
// out with a warning line.
//
// With `obfuscate`, every entry after the first is enciphered with the traditional ZIP cipher
// the way the reader deciphers it: keys start at zero, carry from one enciphered entry to the
// next in archive order, and run from the entry's first data byte. The reader takes the bytes
// to read as the compressed size less 12 (the standard's encryption header, which it never
// reads), so the headers record data length + 12 and no header bytes are written. Such a book
// is readable by the reader only; without `obfuscate` the book is also a valid ZIP file.
//
// After the site's files comes the book's settings entry (settings/book_settings.h) with its
// title: the one given, else the start page's, else none. With an icon file, the reader's icon
// is replaced by the file's images before the reader is written (pack/program_icon.h); the
// reader's pattern stays where it was, as the resources and what follows them move only.
//
// The book is written to a new file beside the output and renamed over it at the end, so a
// failed run never leaves a partial book behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace brisomel::pack {

// The reader's search pattern: the start of the first local header.
inline constexpr uint8_t kSearchPattern[10] = {0x50, 0x4B, 0x03, 0x04, 0x14,
                                               0x00, 0x02, 0x00, 0x08, 0x00};
// The shortest folder the reader extracts into ("C:\brisomel-" and 16 hex digits and a
// separator): no entry path may be longer than a Windows path less that.
constexpr size_t kShortestExtractFolder = 29;
// The reader keeps file offsets in signed 32-bit values.
constexpr uint64_t kMaxBookSize = 0x7FFFFFFF;

struct PackOptions {
  std::filesystem::path site_dir;
  std::filesystem::path output;
  std::filesystem::path reader;
  bool obfuscate = false;
  // The book's title; without one the start page's TITLE is taken.
  std::optional<std::u16string> title;
  // An icon file (.ico) whose images become the book's icon; empty: the reader's own icon.
  std::filesystem::path icon;
  // Folders whose files add up to more than this many bytes get a progress line, which is
  // rewritten in place, so only when it goes to a terminal.
  uint64_t progress_threshold = 4u << 20;
  bool progress_to_terminal = false;
};

struct PackResult {
  bool ok = false;
  std::string error;        // what went wrong, for the user; empty when ok
  std::string first_entry;  // the entry name the reader's search lands on
  size_t entries = 0;       // the site's files (the settings entry not counted)
  std::u16string title;     // the title the book carries; empty: none
  bool title_from_start_page = false;
  std::vector<std::string> icon_sizes;  // "WxH" of each image of the new icon
  uint64_t book_size = 0;
  uint64_t archive_offset = 0;  // where the first local header starts
};

// Writes the book. `progress` receives the progress line of a large folder and the warnings.
PackResult PackBook(const PackOptions& options, std::ostream& progress);

// Offsets of the matches of the search pattern in `bytes`, ASCII case folded (the reader's
// search falls back to ignoring case), with `exact` telling whether each match is byte exact.
struct PatternMatch {
  size_t offset;
  bool exact;
};
std::vector<PatternMatch> FindSearchPattern(const std::vector<uint8_t>& bytes);

// Why the reader could not extract entries of these names (a name it would not write, a path
// too long for Windows, two paths for one file or a file where a folder must be, as Windows
// sees them), or empty when it can.
std::string CheckEntryNames(const std::vector<std::string>& names);

}  // namespace brisomel::pack
