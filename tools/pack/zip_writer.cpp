#include "pack/zip_writer.h"

#include <zlib.h>

#include <algorithm>

namespace brisomel::pack {
namespace {

void Put16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<uint8_t>(value >> shift));
  }
}

void PutName(std::vector<uint8_t>& out, const std::string& name) {
  out.insert(out.end(), name.begin(), name.end());
}

}  // namespace

std::vector<uint8_t> LocalHeader(const ZipEntry& entry) {
  std::vector<uint8_t> out;
  out.reserve(kLocalHeaderSize + entry.name.size());
  Put32(out, kLocalHeaderSignature);
  Put16(out, entry.version_needed);
  Put16(out, entry.flags);
  Put16(out, entry.method);
  Put16(out, entry.dos_time);
  Put16(out, entry.dos_date);
  Put32(out, entry.crc32);
  Put32(out, entry.compressed_size);
  Put32(out, entry.uncompressed_size);
  Put16(out, static_cast<uint16_t>(entry.name.size()));
  Put16(out, 0);  // no extra field
  PutName(out, entry.name);
  return out;
}

std::vector<uint8_t> CentralHeader(const ZipEntry& entry) {
  std::vector<uint8_t> out;
  out.reserve(kCentralHeaderSize + entry.name.size());
  Put32(out, kCentralHeaderSignature);
  Put16(out, 20);  // made by: MS-DOS file attributes, format version 2.0
  Put16(out, entry.version_needed);
  Put16(out, entry.flags);
  Put16(out, entry.method);
  Put16(out, entry.dos_time);
  Put16(out, entry.dos_date);
  Put32(out, entry.crc32);
  Put32(out, entry.compressed_size);
  Put32(out, entry.uncompressed_size);
  Put16(out, static_cast<uint16_t>(entry.name.size()));
  Put16(out, 0);     // extra field length
  Put16(out, 0);     // comment length
  Put16(out, 0);     // disk number
  Put16(out, 0);     // internal attributes
  Put32(out, 0x20);  // external attributes: the MS-DOS archive bit
  Put32(out, entry.local_header_offset);
  PutName(out, entry.name);
  return out;
}

std::vector<uint8_t> EndOfCentralDirectory(uint16_t entry_count, uint32_t directory_size,
                                           uint32_t directory_offset) {
  std::vector<uint8_t> out;
  out.reserve(kEndOfCentralDirectorySize);
  Put32(out, kEndOfCentralDirectorySignature);
  Put16(out, 0);  // this disk
  Put16(out, 0);  // disk with the central directory
  Put16(out, entry_count);
  Put16(out, entry_count);
  Put32(out, directory_size);
  Put32(out, directory_offset);
  Put16(out, 0);  // comment length
  return out;
}

void DosDateTime(std::time_t moment, uint16_t* dos_time, uint16_t* dos_date) {
  std::tm parts{};
#ifdef _WIN32
  bool ok = localtime_s(&parts, &moment) == 0;
#else
  bool ok = localtime_r(&moment, &parts) != nullptr;
#endif
  if (!ok || parts.tm_year < 80) {
    *dos_time = 0;
    *dos_date = (1 << 5) | 1;  // 1980-01-01
    return;
  }
  int year = std::min(parts.tm_year - 80, 127);
  *dos_time =
      static_cast<uint16_t>((parts.tm_hour << 11) | (parts.tm_min << 5) | (parts.tm_sec / 2));
  *dos_date = static_cast<uint16_t>((year << 9) | ((parts.tm_mon + 1) << 5) | parts.tm_mday);
}

struct RawDeflater::State {
  z_stream stream{};
  bool ready = false;
  uint8_t out[1 << 16];
};

RawDeflater::RawDeflater(int level) : state_(std::make_unique<State>()) {
  // Window bits -15: raw deflate with the full 32 KB window, as the ZIP format stores it.
  state_->ready =
      deflateInit2(&state_->stream, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) == Z_OK;
}

RawDeflater::~RawDeflater() {
  if (state_->ready) {
    deflateEnd(&state_->stream);
  }
}

bool RawDeflater::Feed(const uint8_t* bytes, size_t count, bool finish, Emit emit, void* context) {
  if (!state_->ready) {
    return false;
  }
  z_stream& stream = state_->stream;
  // Callers feed pieces far below zlib's 32-bit counts.
  stream.next_in = const_cast<Bytef*>(bytes);
  stream.avail_in = static_cast<uInt>(count);
  for (;;) {
    stream.next_out = state_->out;
    stream.avail_out = sizeof state_->out;
    int status = deflate(&stream, finish ? Z_FINISH : Z_NO_FLUSH);
    if (status == Z_STREAM_ERROR) {
      return false;
    }
    size_t produced = sizeof state_->out - stream.avail_out;
    if (produced > 0 && !emit(context, state_->out, produced)) {
      return false;
    }
    if (finish ? status == Z_STREAM_END : stream.avail_in == 0 && stream.avail_out != 0) {
      return true;
    }
  }
}

}  // namespace brisomel::pack
