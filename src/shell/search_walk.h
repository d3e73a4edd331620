// The walk behind "Search All Pages": the HTML and text files of the viewer's root directory,
// tried one per step for the search text. It lists and reads through the files port and needs
// no window, so tests drive it with an in-memory one.
#pragma once

#include <string>
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

  // Lists the root directory afresh: one entry per directory entry in listing order, upper
  // case, empty for names holding neither ".HTM" nor ".TXT" (subdirectories included); "." and
  // ".." are left out. The file named by `current_file_name` is the one shown now.
  void Start(Files& files, const std::string& server_root, const std::string& current_file_name);
  // Tries the entries after the last one tried until one holds `text` (occurrence 1 of the
  // pattern search, so capitals also find lower case). The shown file and empty entries are
  // passed over; a file that cannot be read counts as not holding the text.
  TStep Next(Files& files, const std::string& text);
  // Forgets the list, as closing the dialog does.
  void Release();

  const std::vector<std::string>& SearchFiles() const { return SearchFiles_; }
  int SearchIndex() const { return SearchIndex_; }
  const std::string& ShownFileUpper() const { return ShownFileUpper_; }
  // The listed directory with its trailing separator ("" for the working directory).
  const std::string& Dir() const { return Dir_; }

 private:
  std::vector<std::string> SearchFiles_;
  // The names as listed, beside their upper-case entries: files are read and loaded by them,
  // so a file system that tells case apart finds them too.
  std::vector<std::string> ListedNames_;
  int SearchIndex_ = -1;
  std::string ShownFileUpper_;
  std::string Dir_;
};

}  // namespace brisomel
