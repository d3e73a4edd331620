#include "settings/state_store.h"

#include <algorithm>
#include <vector>

#include "text/utf.h"

namespace brisomel {
namespace {

// The end record: signature, four 16-bit counts and numbers, directory size and offset, and a
// comment of up to 65535 bytes whose length is its last field.
constexpr uint32_t kEndSignature = 0x06054B50;
constexpr int64_t kEndRecordSize = 22;
constexpr int64_t kTailSize = kEndRecordSize + 0xFFFF;
// 65535 entries with names of 255 bytes take about 20 MB; a larger directory is not one.
constexpr int64_t kMaxDirectory = 32 << 20;
constexpr int32_t kChunk = 64 * 1024;

class Fnv1a64 {
 public:
  void Add(const void* bytes, size_t count) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < count; ++i) hash_ = (hash_ ^ p[i]) * 0x100000001B3ull;
  }
  void AddNumber(uint64_t value) {
    for (int i = 0; i < 8; ++i) {
      uint8_t byte = static_cast<uint8_t>(value >> (8 * i));
      Add(&byte, 1);
    }
  }
  std::string Hex() const {
    static const char digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 0; i < 16; ++i) text[15 - i] = digits[(hash_ >> (4 * i)) & 15];
    return text;
  }

 private:
  uint64_t hash_ = 0xCBF29CE484222325ull;
};

// Reads `count` bytes at `offset` into `out` (or the hash); false when they are not all there.
bool ReadAt(File& file, int64_t offset, int64_t count, std::vector<uint8_t>* out,
            Fnv1a64* hash = nullptr) {
  if (!file.Seek(offset)) return false;
  std::vector<uint8_t> chunk;
  while (count > 0) {
    chunk.resize(static_cast<size_t>(std::min<int64_t>(count, kChunk)));
    int32_t got = file.Read(chunk.data(), static_cast<int32_t>(chunk.size()));
    if (got <= 0) return false;
    if (out != nullptr) out->insert(out->end(), chunk.begin(), chunk.begin() + got);
    if (hash != nullptr) hash->Add(chunk.data(), static_cast<size_t>(got));
    count -= got;
  }
  return true;
}

uint32_t U32(const std::vector<uint8_t>& bytes, size_t at) {
  return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
         uint32_t{bytes[at + 3]} << 24;
}

// Where the end record starts in `tail`: the last signature whose comment reaches the end.
std::optional<size_t> FindEndRecord(const std::vector<uint8_t>& tail) {
  if (tail.size() < size_t{kEndRecordSize}) return std::nullopt;
  for (size_t at = tail.size() - kEndRecordSize + 1; at-- > 0;) {
    size_t comment = tail[at + 20] | tail[at + 21] << 8;
    if (U32(tail, at) == kEndSignature && at + kEndRecordSize + comment == tail.size()) return at;
  }
  return std::nullopt;
}

std::u16string WithoutTrailingSeparators(std::u16string path) {
  while (path.size() > 1 && (path.back() == u'\\' || path.back() == u'/')) path.pop_back();
  return path;
}

// Makes `folder` and every missing folder above it.
bool MakeFolders(StateFiles& files, const std::u16string& folder) {
  std::vector<std::u16string> missing;
  for (std::u16string path = folder; !path.empty() && !files.DirectoryExists(path);) {
    missing.push_back(path);
    size_t cut = path.find_last_of(u"\\/");
    path = cut == std::u16string::npos ? std::u16string()
                                       : WithoutTrailingSeparators(path.substr(0, cut));
  }
  for (auto path = missing.rbegin(); path != missing.rend(); ++path) {
    if (!files.CreateDirectoryExclusive(*path) && !files.DirectoryExists(*path)) return false;
  }
  return true;
}

}  // namespace

std::string BookIdentity(File& book) {
  int64_t size = book.Size();
  if (size < 0) return {};
  int64_t tail_size = std::min(size, kTailSize);
  std::vector<uint8_t> tail;
  if (!ReadAt(book, size - tail_size, tail_size, &tail)) return {};

  Fnv1a64 hash;
  if (std::optional<size_t> end = FindEndRecord(tail)) {
    int64_t directory_size = U32(tail, *end + 12);
    int64_t end_offset = size - tail_size + static_cast<int64_t>(*end);
    // The directory ends where the end record starts, wherever its own offset says it is.
    Fnv1a64 directory;
    if (directory_size <= end_offset && directory_size <= kMaxDirectory &&
        ReadAt(book, end_offset - directory_size, directory_size, nullptr, &directory)) {
      directory.Add(tail.data() + *end, tail.size() - *end);
      directory.AddNumber(static_cast<uint64_t>(size));
      return directory.Hex();
    }
  }
  hash.Add(tail.data(), tail.size());
  hash.AddNumber(static_cast<uint64_t>(size));
  return hash.Hex();
}

std::u16string StateFolderOnWindows(
    const std::function<std::u16string(std::u16string_view)>& environment) {
  std::u16string app_data = WithoutTrailingSeparators(environment(u"APPDATA"));
  if (app_data.empty()) return {};
  return app_data + u"\\Brisomel";
}

std::u16string StateFolderOnLinux(
    const std::function<std::u16string(std::u16string_view)>& environment) {
  std::u16string state = WithoutTrailingSeparators(environment(u"XDG_STATE_HOME"));
  if (!state.empty() && state.front() == u'/') return state + u"/brisomel";
  std::u16string home = WithoutTrailingSeparators(environment(u"HOME"));
  if (!home.empty() && home.front() == u'/') return home + u"/.local/state/brisomel";
  return {};
}

std::u16string StateFileName(std::string_view identity) {
  return u"book-" + AsciiToUtf16(identity) + u".ini";
}

bool WriteStateFile(StateFiles& files, const std::u16string& folder, const std::u16string& name,
                    std::string_view bytes) {
  std::u16string place = WithoutTrailingSeparators(folder);
  if (place.empty() || !MakeFolders(files, place)) return false;
  std::u16string target = place + files.Separator() + name;
  uint8_t random[4] = {};
  files.RandomBytes(random, sizeof random);
  std::u16string temporary = target + u".";
  for (uint8_t byte : random) {
    temporary += u"0123456789abcdef"[byte >> 4];
    temporary += u"0123456789abcdef"[byte & 15];
  }
  temporary += u".tmp";

  std::unique_ptr<File> file = files.CreateWrite(temporary);
  if (!file) return false;
  bool written = true;
  for (size_t at = 0; written && at < bytes.size(); at += kChunk) {
    int32_t count = static_cast<int32_t>(std::min<size_t>(bytes.size() - at, kChunk));
    written = file->Write(bytes.data() + at, count) == count;
  }
  written = file->Close() && written;
  file.reset();
  if (written && files.Replace(temporary, target)) return true;
  files.Delete(temporary);
  return false;
}

std::optional<std::string> ReadStateFile(StateFiles& files, const std::u16string& path) {
  std::unique_ptr<File> file = files.OpenRead(path);
  if (!file) return std::nullopt;
  int64_t size = file->Size();
  std::vector<uint8_t> bytes;
  if (size < 0 || size > kMaxStateFile || !ReadAt(*file, 0, size, &bytes)) return std::nullopt;
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace brisomel
