#include "shell/search_walk.h"

#include <algorithm>
#include <memory>

#include "platform/charset.h"
#include "text/case_fold.h"

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

namespace {

// A path in a form that compares equal however its separators and letters were written.
std::string Comparable(const std::string& path) {
  std::string comparable = UpperAscii(path);
  for (char& c : comparable) {
    if (c == '\\') c = '/';
  }
  return comparable;
}

bool IsPageName(const std::string& upper) {
  return upper.find(".HTM") != std::string::npos || upper.find(".TXT") != std::string::npos;
}

}  // namespace

void TSearchWalk::Start(Files& files, const std::string& server_root,
                        const std::string& current_file_name) {
  // ServerRoot normally ends with its separator already; a second one is not added.
  Dir_ = server_root;
  const char separator = files.Separator();
  if (!Dir_.empty() && Dir_.back() != '\\' && Dir_.back() != '/') Dir_ += separator;
  ShownFileUpper_ = UpperAscii(current_file_name);
  SearchFiles_.clear();
  ListedNames_.clear();
  // Folders still to list, as paths below the root with their depth; the next one is taken
  // from the back, so each folder is listed whole before the folders below it in turn.
  struct Folder {
    std::string relative;
    int depth;
  };
  std::vector<Folder> folders{{"", 0}};
  while (!folders.empty() && ListedNames_.size() < kMaxFiles) {
    const Folder folder = folders.back();
    folders.pop_back();
    std::vector<std::string> names = files.List(Dir_ + folder.relative, "*");
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
      const std::string fa = UpperAscii(a), fb = UpperAscii(b);
      return fa != fb ? fa < fb : a < b;
    });
    std::vector<Folder> below;
    for (const std::string& name : names) {
      if (name == "." || name == "..") continue;
      const std::string relative = folder.relative + name;
      if (files.DirectoryExists(Dir_ + relative)) {
        if (folder.depth < kMaxDepth) below.push_back({relative + separator, folder.depth + 1});
        continue;
      }
      if (ListedNames_.size() == kMaxFiles) break;
      const std::string upper = UpperAscii(relative);
      SearchFiles_.push_back(IsPageName(UpperAscii(name)) ? upper : std::string());
      ListedNames_.push_back(relative);
    }
    folders.insert(folders.end(), below.rbegin(), below.rend());
  }
  SearchIndex_ = -1;
}

namespace {

// Whether the file, decoded by its own encoding and case folded, holds `folded`.
bool FileHolds(Files& files, const std::string& path, const std::u16string& folded) {
  std::unique_ptr<File> file = files.OpenRead(path);
  if (!file) return false;
  const int64_t size = file->Size();
  if (size < 0 || size > TSearchWalk::kMaxSearchBytes) return false;
  std::string bytes(static_cast<size_t>(size), '\0');
  if (size > 0 && file->Read(bytes.data(), static_cast<int32_t>(size)) != size) return false;
  return FoldCase(DecodePage(bytes)).find(folded) != std::u16string::npos;
}

}  // namespace

TSearchWalk::TStep TSearchWalk::Next(Files& files, std::u16string_view text) {
  TStep step;
  if (SearchFiles_.empty()) return step;
  const std::u16string folded = FoldCase(text);
  const std::string shown = Comparable(ShownFileUpper_);
  const int last = static_cast<int>(SearchFiles_.size()) - 1;
  while (SearchIndex_ < last) {
    ++SearchIndex_;
    const std::string& name = SearchFiles_[SearchIndex_];
    if (name.empty()) continue;
    // Read from the listed directory itself: the working directory need not be the root
    // once another folder's file has been opened.
    const std::string path = Dir_ + ListedNames_[SearchIndex_];
    if (Comparable(path) == shown) continue;
    if (!folded.empty() && FileHolds(files, path, folded)) {
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
