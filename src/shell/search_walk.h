// The walk behind "Search All Pages": the HTML and text files of the viewer's root directory
// and of every folder below it, tried one per step for the search text. It lists and reads
// through the files port and needs no window, so tests drive it with an in-memory one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace brisomel {

// The upper case of `text`, ASCII letters only (file names compare that way).
std::string UpperAscii(const std::string& text);
// The part of a path after its last separator ('\', '/' or ':').
std::string FileNamePart(const std::string& path);

class TSearchWalk {
 public:
  enum class TOutcome {
    NoFiles,  // the directory held no entries
    NoMore,   // no further entry holds the text; the next step starts from the first entry
    Found,    // Name (upper case) holds the text; Path is the file as listed
  };
  struct TStep {
    TOutcome Outcome = TOutcome::NoFiles;
    std::string Name;
    std::string Path;
  };

  // Lists the root directory and its folders afresh: one entry per file, as its path below the
  // root in upper case, empty for names holding neither ".HTM" nor ".TXT"; "." and ".." are
  // left out. The order is stable whatever order the system lists in: each folder's files by
  // name (ASCII case folded), then its folders in the same order, each with all it holds. The
  // walk keeps to kMaxDepth folders down and kMaxFiles files, so that a root such as a whole
  // drive is still listed in bounded time. The file named by `current_file_name` (a full path)
  // is the one shown now.
  void Start(Files& files, const std::string& server_root, const std::string& current_file_name);
  // Tries the entries after the last one tried until one holds `text`. Each file is decoded
  // by its own encoding (byte-order mark, META charset, UTF-8, else Windows-1252) and matched
  // with case folded, in any script. The shown file and empty entries are passed over; a file
  // that cannot be read, or is larger than kMaxSearchBytes, counts as not holding the text.
  TStep Next(Files& files, std::u16string_view text);

  static constexpr int kMaxDepth = 32;
  static constexpr size_t kMaxFiles = 20000;
  static constexpr int64_t kMaxSearchBytes = int64_t{64} << 20;
  // Forgets the list, as closing the dialog does.
  void Release();

  const std::vector<std::string>& SearchFiles() const { return SearchFiles_; }
  int SearchIndex() const { return SearchIndex_; }
  // The shown file's full path in upper case.
  const std::string& ShownFileUpper() const { return ShownFileUpper_; }
  // The listed directory with its trailing separator ("" for the working directory).
  const std::string& Dir() const { return Dir_; }

 private:
  std::vector<std::string> SearchFiles_;
  // The paths below the root as listed, beside their upper-case entries: files are read and
  // loaded by them, so a file system that tells case apart finds them too.
  std::vector<std::string> ListedNames_;
  int SearchIndex_ = -1;
  std::string ShownFileUpper_;
  std::string Dir_;
};

}  // namespace brisomel
