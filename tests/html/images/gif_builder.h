// Builds GIF files for tests, with LZW data that spells every pixel with its own code.
#pragma once

#include <string>
#include <vector>

#include "test_support.h"

namespace brisomel::test {

// Packs codes least significant bit first, each `width` bits wide.
class BitPacker {
 public:
  void Put(uint32_t code, int width) {
    acc_ |= uint64_t{code} << have_;
    have_ += width;
    while (have_ >= 8) {
      bytes.push_back(uint8_t(acc_));
      acc_ >>= 8;
      have_ -= 8;
    }
  }
  Bytes Finish() {
    if (have_) bytes.push_back(uint8_t(acc_));
    have_ = 0, acc_ = 0;
    return bytes;
  }
  Bytes bytes;

 private:
  uint64_t acc_ = 0;
  int have_ = 0;
};

// Splits data into sub-blocks of up to 255 bytes and the terminator.
inline Bytes SubBlocks(const Bytes& data) {
  Bytes out;
  for (size_t i = 0; i < data.size(); i += 255) {
    size_t n = std::min<size_t>(255, data.size() - i);
    out.push_back(uint8_t(n));
    out.insert(out.end(), data.begin() + i, data.begin() + i + n);
  }
  out.push_back(0);
  return out;
}

// LZW data of the indices that uses only literal codes, clearing before the code width grows.
inline Bytes LiteralLzw(const std::vector<uint8_t>& indices, int code_size) {
  uint32_t clear = 1u << code_size;
  int width = code_size + 1;
  uint32_t room = (1u << width) - (clear + 2) - 1;
  BitPacker p;
  p.Put(clear, width);
  uint32_t run = 0;
  for (uint8_t v : indices) {
    if (run == room) {
      p.Put(clear, width);
      run = 0;
    }
    p.Put(v, width);
    ++run;
  }
  p.Put(clear + 1, width);
  return p.Finish();
}

class GifBuilder {
 public:
  // A screen of w x h; a global table of 2^bits colours `colour(i)` unless bits is 0.
  GifBuilder(int w, int h, int bits, uint32_t (*colour)(int) = nullptr, bool gif89 = true) {
    bytes_ = Text(gif89 ? "GIF89a" : "GIF87a");
    Put16(bytes_, w), Put16(bytes_, h);
    bytes_.push_back(bits ? uint8_t(0x80 | (bits - 1)) : 0);
    bytes_.push_back(0), bytes_.push_back(0);
    if (bits) Table(bits, colour);
  }
  GifBuilder& Loop(int count) {
    Append(Text("\x21\xFF\x0BNETSCAPE2.0\x03\x01"));
    Put16(bytes_, count);
    bytes_.push_back(0);
    return *this;
  }
  GifBuilder& Control(int disposal, int delay_cs, int transparent = -1) {
    Append({0x21, 0xF9, 4, uint8_t(disposal << 2 | (transparent >= 0 ? 1 : 0))});
    Put16(bytes_, delay_cs);
    bytes_.push_back(uint8_t(transparent >= 0 ? transparent : 0));
    bytes_.push_back(0);
    return *this;
  }
  GifBuilder& Comment(const std::string& text) {
    Append({0x21, 0xFE});
    Append(SubBlocks(Text(text)));
    return *this;
  }
  // An image; `local_bits` > 0 adds a local table of colours `local(i)`.
  GifBuilder& Image(int left, int top, int w, int h, const std::vector<uint8_t>& indices,
                    bool interlaced = false, int local_bits = 0, uint32_t (*local)(int) = nullptr,
                    int code_size = 0) {
    bytes_.push_back(',');
    Put16(bytes_, left), Put16(bytes_, top), Put16(bytes_, w), Put16(bytes_, h);
    bytes_.push_back(uint8_t((local_bits ? 0x80 | (local_bits - 1) : 0) | (interlaced ? 0x40 : 0)));
    if (local_bits) Table(local_bits, local);
    if (!code_size) code_size = 8;
    bytes_.push_back(uint8_t(code_size));
    Append(SubBlocks(LiteralLzw(indices, code_size)));
    return *this;
  }
  GifBuilder& Raw(const Bytes& b) { return Append(b); }
  Bytes Done() {
    Bytes out = bytes_;
    out.push_back(';');
    return out;
  }
  const Bytes& Partial() const { return bytes_; }

 private:
  GifBuilder& Append(const Bytes& b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }
  void Table(int bits, uint32_t (*colour)(int)) {
    for (int i = 0; i < (1 << bits); ++i) {
      uint32_t c = colour ? colour(i) : uint32_t(i * 0x010101);
      bytes_.push_back(uint8_t(c >> 16)), bytes_.push_back(uint8_t(c >> 8)),
          bytes_.push_back(uint8_t(c));
    }
  }
  Bytes bytes_;
};

}  // namespace brisomel::test
