// Little-endian integers in byte buffers. Reads from untrusted bytes go through `ByteView`,
// whose getters never read outside the buffer (they answer 0 there), so a decoder checks
// `Has` once where it must report a short file and reads plainly after. Writes append to or
// store into a vector.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brisomel::pack {

class ByteView {
 public:
  ByteView() = default;
  ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit ByteView(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  // Whether `count` bytes from `offset` lie inside the view.
  bool Has(uint64_t offset, uint64_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }
  uint8_t U8(uint64_t offset) const { return Has(offset, 1) ? data_[offset] : 0; }
  uint16_t U16(uint64_t offset) const {
    return Has(offset, 2) ? static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8) : 0;
  }
  uint32_t U32(uint64_t offset) const {
    if (!Has(offset, 4)) return 0;
    return static_cast<uint32_t>(data_[offset]) | static_cast<uint32_t>(data_[offset + 1]) << 8 |
           static_cast<uint32_t>(data_[offset + 2]) << 16 |
           static_cast<uint32_t>(data_[offset + 3]) << 24;
  }
  uint32_t U32BigEndian(uint64_t offset) const {
    if (!Has(offset, 4)) return 0;
    return static_cast<uint32_t>(data_[offset]) << 24 |
           static_cast<uint32_t>(data_[offset + 1]) << 16 |
           static_cast<uint32_t>(data_[offset + 2]) << 8 | static_cast<uint32_t>(data_[offset + 3]);
  }
  // The `count` bytes from `offset`; an empty view when they do not all lie inside.
  ByteView Sub(uint64_t offset, uint64_t count) const {
    return Has(offset, count) ? ByteView(data_ + offset, static_cast<size_t>(count)) : ByteView();
  }
  std::vector<uint8_t> Copy() const { return std::vector<uint8_t>(data_, data_ + size_); }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

inline void Append16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void Append32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// Stores over bytes already there; the caller has made room.
inline void Store16(std::vector<uint8_t>& out, size_t offset, uint16_t value) {
  out[offset] = static_cast<uint8_t>(value);
  out[offset + 1] = static_cast<uint8_t>(value >> 8);
}

inline void Store32(std::vector<uint8_t>& out, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace brisomel::pack
