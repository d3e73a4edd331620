#include "archive/crc32.h"

namespace brisomel {

CrcTable::CrcTable() {
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t x = i;
    for (int bit = 0; bit < 8; ++bit) x = (x & 1) ? (x >> 1) ^ 0xEDB88320u : x >> 1;
    table_[i] = x;
  }
}

uint32_t CrcTable::Update(uint32_t crc, const uint8_t* bytes, size_t count) const {
  for (size_t i = 0; i < count; ++i) crc = table_[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

uint32_t Crc32(const uint8_t* bytes, size_t count) {
  static const CrcTable table;
  return ~table.Update(0xFFFFFFFFu, bytes, count);
}

}  // namespace brisomel
