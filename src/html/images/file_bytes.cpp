#include "html/images/file_bytes.h"

#include <algorithm>

#include "platform/files.h"

namespace brisomel {

std::optional<std::vector<uint8_t>> ReadFileBytes(Files& files, const std::string& path,
                                                  int64_t limit) {
  try {
    std::unique_ptr<File> file = files.OpenRead(path);
    if (!file) return std::nullopt;
    int64_t size = file->Size();
    if (size < 0 || size > kMaxImageFileBytes) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(std::min(size, limit)));
    size_t got = 0;
    while (got < bytes.size()) {
      int32_t chunk = static_cast<int32_t>(std::min<size_t>(bytes.size() - got, 1 << 20));
      int32_t n = file->Read(bytes.data() + got, chunk);
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    file->Close();
    return bytes;
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace brisomel
