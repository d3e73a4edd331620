#include "book_fixture.h"

#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

#include "archive/cipher.h"
#include "archive/crc32.h"
#include "pack/book_packer.h"

namespace brisomel::pack::testing {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() /
                         ("pack-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("no scratch folder");
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

fs::path ScratchDir::Write(const std::string& relative, const std::string& bytes) const {
  return Write(relative, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

fs::path ScratchDir::Write(const std::string& relative, const std::vector<uint8_t>& bytes) const {
  // UTF-8 on every system (a narrow path on Windows would be read in the system code page).
  fs::path target = path_ / fs::path(std::u8string(relative.begin(), relative.end()));
  fs::create_directories(target.parent_path());
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write fixture " + target.string());
  }
  return target;
}

std::vector<uint8_t> FakeReader(size_t tail) {
  constexpr size_t kHead = 3000;
  std::vector<uint8_t> bytes(kHead + sizeof kSearchPattern + tail, 0xCC);
  std::fill_n(bytes.begin(), kHead, 0x90);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  std::copy(std::begin(kSearchPattern), std::end(kSearchPattern), bytes.begin() + kHead);
  return bytes;
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed) {
  std::mt19937 generator(seed);
  std::vector<uint8_t> bytes(count);
  for (uint8_t& b : bytes) {
    b = static_cast<uint8_t>(generator());
  }
  return bytes;
}

std::string PageText(size_t bytes) {
  std::string page = "<HTML><BODY BGCOLOR=\"#FFFFFF\">\n";
  for (int line = 0; page.size() < bytes; ++line) {
    page += "<P>Line " + std::to_string(line) + " of a page that compresses well.</P>\n";
  }
  page.resize(bytes);
  return page;
}

namespace {

uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
  return uint16_t(b[at] | b[at + 1] << 8);
}
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(Get16(b, at)) | uint32_t(Get16(b, at + 2)) << 16;
}

// Raw inflate of exactly `in`; false unless the stream ends on its last byte.
bool InflateAll(const std::vector<uint8_t>& in, std::vector<uint8_t>* out) {
  z_stream stream{};
  if (inflateInit2(&stream, -15) != Z_OK) {
    return false;
  }
  stream.next_in = const_cast<Bytef*>(in.data());
  stream.avail_in = static_cast<uInt>(in.size());
  uint8_t chunk[16384];
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = chunk;
    stream.avail_out = sizeof chunk;
    status = inflate(&stream, Z_NO_FLUSH);
    out->insert(out->end(), chunk, chunk + (sizeof chunk - stream.avail_out));
  }
  bool whole = status == Z_STREAM_END && stream.avail_in == 0;
  inflateEnd(&stream);
  return whole;
}

}  // namespace

std::vector<WalkedEntry> WalkBook(const std::vector<uint8_t>& book, std::string* error) {
  std::vector<WalkedEntry> entries;
  std::vector<PatternMatch> matches = FindSearchPattern(book);
  std::vector<size_t> exact;
  for (const PatternMatch& match : matches) {
    if (match.exact) {
      exact.push_back(match.offset);
    }
  }
  if (exact.size() < 2) {
    *error = "the search pattern occurs " + std::to_string(exact.size()) + " times";
    return entries;
  }
  CrcTable crc;
  TraditionalCipher cipher(crc);
  size_t at = exact[1];
  while (at + 30 <= book.size() && Get32(book, at) == 0x04034B50) {
    WalkedEntry entry;
    entry.header_offset = at;
    entry.header.assign(book.begin() + at, book.begin() + at + 10);
    entry.version_needed = Get16(book, at + 4);
    entry.flags = Get16(book, at + 6);
    entry.method = Get16(book, at + 8);
    entry.crc32 = Get32(book, at + 14);
    entry.compressed_size = Get32(book, at + 18);
    entry.uncompressed_size = Get32(book, at + 22);
    size_t name_length = Get16(book, at + 26), extra_length = Get16(book, at + 28);
    at += 30;
    if (at + name_length + extra_length > book.size()) {
      *error = "header runs past the end";
      return entries;
    }
    entry.name.assign(book.begin() + at, book.begin() + at + name_length);
    at += name_length + extra_length;
    // The reader's arithmetic: an enciphered entry's data is 12 bytes shorter than recorded.
    size_t bytes_left = entry.compressed_size - ((entry.flags & 1) ? 12 : 0);
    if (at + bytes_left > book.size()) {
      *error = "data of " + entry.name + " runs past the end";
      return entries;
    }
    entry.raw.assign(book.begin() + at, book.begin() + at + bytes_left);
    std::vector<uint8_t> plain = entry.raw;
    if (entry.flags & 1) {
      cipher.Decipher(plain.data(), plain.size());
    }
    if (entry.method == 8) {
      entry.restored = InflateAll(plain, &entry.data);
    } else {
      entry.data = plain;
      entry.restored = entry.method == 0;
    }
    at += bytes_left;
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<CentralRecord> ReadCentralDirectory(const std::vector<uint8_t>& book,
                                                std::string* error) {
  std::vector<CentralRecord> records;
  if (book.size() < 22 || Get32(book, book.size() - 22) != 0x06054B50) {
    *error = "no end-of-central-directory record at the end";
    return records;
  }
  size_t end = book.size() - 22;
  uint16_t count = Get16(book, end + 10);
  uint32_t size = Get32(book, end + 12);
  size_t at = Get32(book, end + 16);
  if (at + size != end || Get16(book, end + 8) != count) {
    *error = "central directory does not end where the end record starts";
    return records;
  }
  for (uint16_t i = 0; i < count; ++i) {
    if (at + 46 > end || Get32(book, at) != 0x02014B50) {
      *error = "bad central header " + std::to_string(i);
      return records;
    }
    CentralRecord record;
    record.flags = Get16(book, at + 8);
    record.method = Get16(book, at + 10);
    record.crc32 = Get32(book, at + 16);
    record.compressed_size = Get32(book, at + 20);
    record.uncompressed_size = Get32(book, at + 24);
    size_t name_length = Get16(book, at + 28);
    size_t skip = Get16(book, at + 30) + Get16(book, at + 32);
    record.local_header_offset = Get32(book, at + 42);
    record.name.assign(book.begin() + at + 46, book.begin() + at + 46 + name_length);
    at += 46 + name_length + skip;
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace brisomel::pack::testing
