#include "shell/remembered_place.h"

#include <algorithm>

#include "text/utf.h"

namespace brisomel {

bool TakeFreshOption(std::vector<std::string>& args) {
  const auto fresh = std::remove(args.begin(), args.end(), std::string("--fresh"));
  const bool found = fresh != args.end();
  args.erase(fresh, args.end());
  return found;
}

std::string RememberedPagePath(const std::string& book_dir, const ReadingState& state,
                               const std::function<bool(const std::string&)>& exists) {
  if (book_dir.empty() || state.page.empty()) return {};
  const std::u16string path = PageInBook(Utf8ToUtf16(book_dir), state.page, u'\\');
  if (path.empty()) return {};
  std::string full = Utf16ToUtf8(path);
  return exists(full) ? full : std::string();
}

std::u16string PageToRemember(const std::string& book_dir, const std::string& shown_file) {
  return PageRelativeToBook(Utf8ToUtf16(book_dir), Utf8ToUtf16(shown_file));
}

std::optional<Rect> PlaceOnScreens(const WindowPlacement& window,
                                   const std::vector<Rect>& work_areas) {
  const Rect wanted{window.left, window.top, window.left + window.width,
                    window.top + window.height};
  const Rect* best = nullptr;
  long long best_overlap = 0;
  for (const Rect& area : work_areas) {
    const long long width = std::min(wanted.right, area.right) - std::max(wanted.left, area.left);
    const long long height = std::min(wanted.bottom, area.bottom) - std::max(wanted.top, area.top);
    if (width <= 0 || height <= 0 || width * height <= best_overlap) continue;
    best = &area;
    best_overlap = width * height;
  }
  if (best == nullptr) return std::nullopt;
  const int width = std::min(window.width, best->width());
  const int height = std::min(window.height, best->height());
  const int left = std::clamp(window.left, best->left, best->right - width);
  const int top = std::clamp(window.top, best->top, best->bottom - height);
  return Rect{left, top, left + width, top + height};
}

TReadingStates::TReadingStates(std::unique_ptr<StateFiles> files, std::u16string folder,
                               std::u16string book_path)
    : files_(std::move(files)), folder_(std::move(folder)), book_path_(std::move(book_path)) {}

const std::u16string& TReadingStates::FileName() {
  if (!name_) {
    name_.emplace();
    std::unique_ptr<File> book = folder_.empty() ? nullptr : files_->OpenRead(book_path_);
    const std::string identity = book ? BookIdentity(*book) : std::string();
    if (!identity.empty()) *name_ = StateFileName(identity);
  }
  return *name_;
}

ReadingState TReadingStates::Load() {
  if (FileName().empty()) return {};
  const std::optional<std::string> bytes =
      ReadStateFile(*files_, folder_ + files_->Separator() + FileName());
  return bytes ? ReadReadingState(*bytes) : ReadingState();
}

bool TReadingStates::Save(const ReadingState& state) {
  if (FileName().empty()) return false;
  return WriteStateFile(*files_, folder_, FileName(), WriteReadingState(state));
}

}  // namespace brisomel
