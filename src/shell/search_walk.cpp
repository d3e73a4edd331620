#include "shell/search_walk.h"

#include "archive/pattern_search.h"

namespace brisomel {

std::string UpperAscii(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string FileNamePart(const std::string& path) {
  const size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

void TSearchWalk::Start(Files& files, const std::string& server_root,
                        const std::string& current_file_name) {
  // ServerRoot normally ends with its separator already; a second one is not added.
  Dir_ = server_root;
  if (!Dir_.empty() && Dir_.back() != '\\' && Dir_.back() != '/') Dir_ += files.Separator();
  ShownFileUpper_ = UpperAscii(Dir_ + FileNamePart(current_file_name));
  SearchFiles_.clear();
  ListedNames_.clear();
  for (const std::string& name : files.List(Dir_, "*.*")) {
    if (name == "." || name == "..") continue;
    const std::string upper = UpperAscii(name);
    const bool page =
        upper.find(".HTM") != std::string::npos || upper.find(".TXT") != std::string::npos;
    SearchFiles_.push_back(page ? upper : std::string());
    ListedNames_.push_back(name);
  }
  SearchIndex_ = -1;
}

TSearchWalk::TStep TSearchWalk::Next(Files& files, const std::string& text) {
  TStep step;
  if (SearchFiles_.empty()) return step;
  const std::string shown = FileNamePart(ShownFileUpper_);
  const int last = static_cast<int>(SearchFiles_.size()) - 1;
  while (SearchIndex_ < last) {
    ++SearchIndex_;
    const std::string& name = SearchFiles_[SearchIndex_];
    if (name.empty() || name == shown) continue;
    // Read from the listed directory itself: the working directory need not be the root
    // once another folder's file has been opened.
    const std::string path = Dir_ + ListedNames_[SearchIndex_];
    if (FindPatternInFile(files, path, text, 1) >= 0) {
      step.Outcome = TOutcome::Found;
      step.Name = name;
      step.Path = path;
      return step;
    }
  }
  SearchIndex_ = -1;
  step.Outcome = TOutcome::NoMore;
  return step;
}

void TSearchWalk::Release() {
  SearchFiles_.clear();
  ListedNames_.clear();
  SearchIndex_ = -1;
}

}  // namespace brisomel
