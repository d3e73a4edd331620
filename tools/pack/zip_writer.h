// ZIP records as the packer writes them, and the raw deflate that fills them.
//
// Format notes: every integer is little-endian. A local header (30 bytes plus the name) sits
// right before each entry's data; the central directory repeats each header with the offset of
// its local header, counted from the first byte of the file that holds the archive (here the
// whole book, reader included), and ends with the end-of-central-directory record. The packer
// knows every size before it writes an entry, so it uses no data descriptors (flag bit 3) and
// no ZIP64 records: sizes and offsets stay below 2^31, which the reader's signed offsets need.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace brisomel::pack {

constexpr uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr uint32_t kEndOfCentralDirectorySignature = 0x06054B50;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kEndOfCentralDirectorySize = 22;

constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
// Flag bit 0: enciphered with the traditional cipher. Bits 1-2 of a deflated entry: 01 says
// the maximum compression option was used (level 9).
constexpr uint16_t kFlagEnciphered = 0x0001;
constexpr uint16_t kFlagMaximumCompression = 0x0002;
// Flag bit 11: the name is UTF-8. Set only for names beyond ASCII, which read alike either way.
constexpr uint16_t kFlagUtf8Name = 0x0800;
// Version needed to extract: 1.0 for plain stored data, 2.0 for deflate or the cipher.
constexpr uint16_t kVersionStored = 10;
constexpr uint16_t kVersionDeflate = 20;
// The format fixes these through its 16-bit count and length fields.
constexpr size_t kMaxEntries = 0xFFFF;
constexpr size_t kMaxNameLength = 0xFFFF;

struct ZipEntry {
  std::string name;  // bytes as stored, '/' between folders
  uint16_t version_needed = kVersionStored;
  uint16_t flags = 0;
  uint16_t method = kMethodStored;
  uint16_t dos_time = 0;
  uint16_t dos_date = 0;
  uint32_t crc32 = 0;
  uint32_t compressed_size = 0;  // as the headers record it
  uint32_t uncompressed_size = 0;
  uint32_t local_header_offset = 0;
};

std::vector<uint8_t> LocalHeader(const ZipEntry& entry);
std::vector<uint8_t> CentralHeader(const ZipEntry& entry);
std::vector<uint8_t> EndOfCentralDirectory(uint16_t entry_count, uint32_t directory_size,
                                           uint32_t directory_offset);

// MS-DOS date and time of a moment in local time; moments before 1980 give 1980-01-01 00:00.
void DosDateTime(std::time_t moment, uint16_t* dos_time, uint16_t* dos_date);

// Raw deflate (no zlib or gzip wrapper) as a stream: input goes in by pieces, compressed
// output comes out by pieces through `emit`, so no whole file is ever held in memory.
class RawDeflater {
 public:
  // Receives each piece of output; returns false to stop (the write failed).
  using Emit = bool (*)(void* context, const uint8_t* bytes, size_t count);

  explicit RawDeflater(int level);
  ~RawDeflater();
  RawDeflater(const RawDeflater&) = delete;
  RawDeflater& operator=(const RawDeflater&) = delete;

  // Compresses `count` more bytes; `finish` on the last call (which may have no bytes).
  // False when zlib fails or `emit` stops.
  bool Feed(const uint8_t* bytes, size_t count, bool finish, Emit emit, void* context);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace brisomel::pack
