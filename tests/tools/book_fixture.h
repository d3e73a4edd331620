// Fixtures for the packer's tests: scratch folders made by code, a stand-in reader, and a walk
// over a finished book that reads it the way the reader does (second match of the search
// pattern, local header after local header, keys carried across enciphered entries) plus a
// read of its central directory the way ZIP tools do.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brisomel::pack::testing {

// A fresh folder under the system's temporary directory, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // Writes `bytes` to `relative` (folders made as needed); returns the full path.
  std::filesystem::path Write(const std::string& relative, const std::string& bytes) const;
  std::filesystem::path Write(const std::string& relative, const std::vector<uint8_t>& bytes) const;

 private:
  std::filesystem::path path_;
};

// Bytes of a stand-in reader: filler with the search pattern once, `tail` bytes before its end.
std::vector<uint8_t> FakeReader(size_t tail = 3000);
std::vector<uint8_t> ReadFile(const std::filesystem::path& path);
std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed);
std::string PageText(size_t bytes);  // compressible HTML of about that size

struct WalkedEntry {
  size_t header_offset = 0;
  std::string name;
  uint16_t version_needed = 0, flags = 0, method = 0;
  uint32_t crc32 = 0, compressed_size = 0, uncompressed_size = 0;
  std::vector<uint8_t> header;  // the first 10 bytes of the local header
  std::vector<uint8_t> raw;     // data bytes as stored in the book
  std::vector<uint8_t> data;    // restored bytes
  bool restored = false;        // inflate ended cleanly on exactly the entry's bytes
};
std::vector<WalkedEntry> WalkBook(const std::vector<uint8_t>& book, std::string* error);

struct CentralRecord {
  std::string name;
  uint16_t flags = 0, method = 0;
  uint32_t crc32 = 0, compressed_size = 0, uncompressed_size = 0, local_header_offset = 0;
};
std::vector<CentralRecord> ReadCentralDirectory(const std::vector<uint8_t>& book,
                                                std::string* error);

}  // namespace brisomel::pack::testing
