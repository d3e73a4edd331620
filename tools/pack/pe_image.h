// A Windows program file (PE image, 32-bit or 64-bit) read far enough to find and rewrite its
// resources, and written back with a new resource section.
//
// Format notes (all integers little-endian): the MS-DOS header holds at 0x3C the offset of
// "PE\0\0", followed by the 20-byte file header (machine, section count, symbol table pointer,
// optional header size) and the optional header (magic 0x10B for 32-bit, 0x20B for 64-bit;
// section and file alignment at 32 and 36, image size at 56, header size at 60, checksum at 64,
// the data directories at 96, or 112 for 64-bit, after their count). Then the section table,
// 40 bytes per section: name, virtual size and address, raw size and file offset.
// Data directories give RVAs (addresses relative to the image's base), except the certificate
// table (4), which gives a file offset.
//
// Rewriting the resources keeps the resource section where it is and gives it the new
// contents; when its size changes, every section after it moves by whole alignment units in
// memory and in the file, and the headers that point there follow (section table, image size,
// initialised-data size, data directories, symbol table pointer, checksum). Moving a section in
// memory is only safe when nothing in the program addresses it, so only discardable sections
// (base relocations, debug information) may follow the resources; a program with anything else
// there, or with a signature, is refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pack/little_endian.h"

namespace brisomel::pack {

constexpr int kDirectoryResources = 2;
constexpr int kDirectoryCertificates = 4;
constexpr int kDirectoryBaseRelocations = 5;
constexpr int kDirectoryDebug = 6;
constexpr int kMaxDataDirectories = 16;
// Windows loads images of up to 96 sections.
constexpr int kMaxSections = 96;

constexpr uint32_t kSectionCode = 0x00000020;
constexpr uint32_t kSectionInitializedData = 0x00000040;
constexpr uint32_t kSectionDiscardable = 0x02000000;

class PeImage {
 public:
  struct Section {
    std::string name;  // as in the table, up to 8 characters ("/4" names a long name)
    uint32_t virtual_size = 0, rva = 0, raw_size = 0, raw_offset = 0, characteristics = 0;
  };
  struct DataDirectory {
    uint32_t rva = 0, size = 0;
  };

  // Reads the headers of `bytes`, which the image keeps a reference to. False with a message
  // when they are not those of a PE image.
  bool Parse(ByteView bytes, std::string* error);

  bool is_64bit() const { return is_64bit_; }
  uint16_t machine() const { return machine_; }
  const std::vector<Section>& sections() const { return sections_; }
  DataDirectory directory(int index) const {
    return index < directory_count_ ? directories_[index] : DataDirectory{};
  }
  // The `size` bytes at `rva`, when they lie in the file data of one section; else empty.
  ByteView AtRva(uint32_t rva, uint32_t size) const;
  // The section whose memory holds `rva`, or -1.
  int SectionAt(uint32_t rva) const;

  // The whole file with the resource section holding `resources` (laid out for the section's
  // address, which stays), later sections moved to make room. False with a message when the
  // image cannot be rewritten so.
  bool WithResources(const std::vector<uint8_t>& resources, std::vector<uint8_t>* out,
                     std::string* error) const;

 private:
  ByteView bytes_;
  bool is_64bit_ = false;
  uint16_t machine_ = 0;
  size_t file_header_ = 0;      // offset of the COFF file header
  size_t optional_header_ = 0;  // offset of the optional header
  size_t section_table_ = 0;
  uint32_t section_alignment_ = 0, file_alignment_ = 0;
  int directory_count_ = 0;
  DataDirectory directories_[kMaxDataDirectories];
  std::vector<Section> sections_;
};

// The checksum Windows keeps in the optional header: 16-bit words summed with their carries
// folded back, the checksum field itself counted as zero, plus the file's length.
uint32_t PeChecksum(const std::vector<uint8_t>& file, size_t checksum_offset);

}  // namespace brisomel::pack
