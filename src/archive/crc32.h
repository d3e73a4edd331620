// CRC-32 of the ZIP format (reflected, polynomial 0xEDB88320), table driven.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace brisomel {

class CrcTable {
 public:
  CrcTable();
  // The next running value after byte `c`.
  uint32_t UpdateCrc(uint8_t c, uint32_t crc) const {
    return table_[(crc ^ c) & 0xFF] ^ (crc >> 8);
  }
  // Runs `crc` over `count` bytes in order. No initial or final inversion.
  uint32_t Update(uint32_t crc, const uint8_t* bytes, size_t count) const;

 private:
  std::array<uint32_t, 256> table_;
};

// The standard CRC-32 of a buffer (initial value and final inversion included).
uint32_t Crc32(const uint8_t* bytes, size_t count);

}  // namespace brisomel
