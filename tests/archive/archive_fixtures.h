// Builders for deflate streams and books, shared by the archive tests.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "archive/attached_archive.h"
#include "archive/cipher.h"
#include "archive/crc32.h"

namespace brisomel::testing {

using Bytes = std::vector<uint8_t>;

inline Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Raw deflate (no zlib header) with zlib.
inline Bytes Deflate(const Bytes& data, int level, int strategy = Z_DEFAULT_STRATEGY,
                     int mem_level = 8) {
  z_stream z{};
  deflateInit2(&z, level, Z_DEFLATED, -15, mem_level, strategy);
  Bytes out(deflateBound(&z, data.size()) + 16);
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// Bytes that compress to a mix of literals and matches of every length and distance.
inline Bytes MixedText(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  static const char* words[] = {"the ",    "book ",    "reader ",
                                "<p>",     "</p>\n",   "archive ",
                                "window ", "page ",    "<a href=\"x.htm\">",
                                "zip ",    "brisomel "};
  Bytes out;
  out.reserve(size);
  while (out.size() < size) {
    uint32_t r = rng() % 100;
    if (r < 70) {
      const char* w = words[rng() % 11];
      out.insert(out.end(), w, w + std::strlen(w));
    } else if (r < 85 && out.size() > 10) {
      size_t back = 1 + rng() % std::min<size_t>(out.size(), 40000);
      size_t len = 3 + rng() % 300;
      size_t from = out.size() - back;
      for (size_t i = 0; i < len; ++i) out.push_back(out[from + i]);
    } else {
      out.push_back(static_cast<uint8_t>(rng()));
    }
  }
  out.resize(size);
  return out;
}

inline Bytes RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out(size);
  for (auto& b : out) b = static_cast<uint8_t>(rng());
  return out;
}

// Writes a deflate stream bit by bit, for streams zlib would not make.
class BitWriter {
 public:
  void Bits(uint32_t value, int count) {  // least significant bit first
    for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
  }
  void Code(uint32_t code, int length) {  // Huffman codes go most significant bit first
    for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
  }
  void BlockHeader(bool final, int type) {
    Bits(final ? 1 : 0, 1);
    Bits(type, 2);
  }
  // A fixed-code literal/length symbol.
  void Fixed(int sym) {
    if (sym < 144)
      Code(0x30 + sym, 8);
    else if (sym < 256)
      Code(0x190 + sym - 144, 9);
    else if (sym < 280)
      Code(sym - 256, 7);
    else
      Code(0xC0 + sym - 280, 8);
  }
  void FixedDistance(int code) { Code(code, 5); }
  void AlignToByte() {
    while (nbits_ != 0) Bit(0);
  }
  void Byte(uint8_t b) { Bits(b, 8); }
  Bytes Finish() {
    AlignToByte();
    return bytes_;
  }

 private:
  void Bit(uint32_t b) {
    if (nbits_ == 0) bytes_.push_back(0);
    bytes_.back() |= static_cast<uint8_t>(b << nbits_);
    nbits_ = (nbits_ + 1) & 7;
  }
  Bytes bytes_;
  int nbits_ = 0;
};

// One entry as it goes into a book.
struct ZipEntry {
  std::string name = {};
  Bytes data = {};      // uncompressed content
  uint16_t method = 8;  // 0 stored, 8 deflated (by zlib at `level`), others: data as given
  int level = 9;
  uint16_t flags = 0;  // bit 0 enciphers with the carried keys
  Bytes extra = {};
  Bytes raw = {};             // when not empty: the entry's data bytes as written (before cipher)
  bool bad_crc = false;       // write a wrong CRC
  int64_t uncompressed = -1;  // when not -1: the uncompressed size the header gives
};

// Writes local headers the way the packer does: the first deflated entry carries version 20
// and flags 0x0002; enciphered entries count 12 more bytes than their data.
class ZipWriter {
 public:
  ZipWriter() : cipher_(crc_) {}

  void Add(const ZipEntry& entry) {
    Bytes data = entry.raw;
    if (data.empty()) data = entry.method == 8 ? Deflate(entry.data, entry.level) : entry.data;
    uint32_t crc = Crc32(entry.data.data(), entry.data.size());
    if (entry.bad_crc) crc ^= 1;
    uint16_t flags = entry.flags;
    if (first_ && entry.method == 8 && flags == 0) flags = 0x0002;
    first_ = false;
    const bool enciphered = (flags & 1) != 0;
    Put32(0x04034B50);
    Put16(20);
    Put16(flags);
    Put16(entry.method);
    Put16(0);
    Put16(0);
    Put32(crc);
    Put32(static_cast<uint32_t>(data.size() + (enciphered ? 12 : 0)));
    Put32(static_cast<uint32_t>(entry.uncompressed >= 0 ? entry.uncompressed : entry.data.size()));
    Put16(static_cast<uint16_t>(entry.name.size()));
    Put16(static_cast<uint16_t>(entry.extra.size()));
    out_.insert(out_.end(), entry.name.begin(), entry.name.end());
    out_.insert(out_.end(), entry.extra.begin(), entry.extra.end());
    if (enciphered) cipher_.Encipher(data.data(), data.size());
    out_.insert(out_.end(), data.begin(), data.end());
  }
  // A record that ends the walk, as a central directory does.
  void End() { Put32(0x02014B50); }
  Bytes& bytes() { return out_; }

  void Put16(uint32_t v) {
    out_.push_back(static_cast<uint8_t>(v));
    out_.push_back(static_cast<uint8_t>(v >> 8));
  }
  void Put32(uint32_t v) {
    Put16(v & 0xFFFF);
    Put16(v >> 16);
  }

 private:
  CrcTable crc_;
  TraditionalCipher cipher_;
  Bytes out_;
  bool first_ = true;
};

// A stand-in program image that holds the search pattern once, as the reader's does.
inline Bytes ProgramImage() {
  Bytes image = RandomBytes(3000, 7);
  std::memcpy(image.data() + 1234, kArchivePattern, sizeof kArchivePattern);
  return image;
}

inline Bytes MakeBook(const std::vector<ZipEntry>& entries) {
  ZipWriter zip;
  for (const auto& e : entries) zip.Add(e);
  zip.End();
  const Bytes image = ProgramImage();
  Bytes book(image.size() + zip.bytes().size());
  std::memcpy(book.data(), image.data(), image.size());
  std::memcpy(book.data() + image.size(), zip.bytes().data(), zip.bytes().size());
  return book;
}

}  // namespace brisomel::testing
