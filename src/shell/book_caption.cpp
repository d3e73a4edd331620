#include "shell/book_caption.h"

#include <vector>

#include "settings/book_settings.h"
#include "settings/key_value_text.h"

namespace brisomel {

std::u16string BookCaption(Files& files, const std::string& book_dir) {
  if (book_dir.empty()) return kDefaultBookCaption;
  std::unique_ptr<File> file = files.OpenRead(book_dir + kBookSettingsEntry);
  if (!file) return kDefaultBookCaption;
  // One byte past the limit is enough to tell a damaged, oversized entry.
  std::vector<char> bytes(kMaxSettingsText + 1);
  int32_t size = 0;
  while (size < static_cast<int32_t>(bytes.size())) {
    const int32_t got = file->Read(bytes.data() + size, static_cast<int32_t>(bytes.size()) - size);
    if (got <= 0) break;
    size += got;
  }
  const BookSettings settings = ReadBookSettings(std::string_view(bytes.data(), size));
  return settings.title.empty() ? std::u16string(kDefaultBookCaption) : settings.title;
}

}  // namespace brisomel
