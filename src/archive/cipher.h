// The traditional ZIP cipher's keystream (three 32-bit keys driven by CRC-32).
//
// The reader has no password: its keys start at zero and carry over from one enciphered
// entry to the next for the whole run, and deciphering starts at an entry's first data byte.
// The packer enciphers with the same zero-started keys, carried in entry order, so that the
// reader restores every byte exactly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/crc32.h"

namespace brisomel {

class TraditionalCipher {
 public:
  explicit TraditionalCipher(const CrcTable& crc) : crc_(crc) {}

  void UpdateKeys(uint8_t plain) {
    key0_ = crc_.UpdateCrc(plain, key0_);
    key1_ = (key1_ + (key0_ & 0xFF)) * 134775813u + 1;
    key2_ = crc_.UpdateCrc(static_cast<uint8_t>(key1_ >> 24), key2_);
  }
  uint8_t DecryptByte() const {
    uint32_t t = (key2_ & 0xFFFF) | 2;
    return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
  }
  // Deciphers `count` bytes in place, in order.
  void Decipher(uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      bytes[i] ^= DecryptByte();
      UpdateKeys(bytes[i]);
    }
  }
  // Enciphers `count` bytes in place, in order (the packer's side).
  void Encipher(uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      uint8_t plain = bytes[i];
      bytes[i] ^= DecryptByte();
      UpdateKeys(plain);
    }
  }
  uint32_t key0() const { return key0_; }
  uint32_t key1() const { return key1_; }
  uint32_t key2() const { return key2_; }

 private:
  const CrcTable& crc_;
  uint32_t key0_ = 0, key1_ = 0, key2_ = 0;
};

}  // namespace brisomel
