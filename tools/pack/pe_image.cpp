#include "pack/pe_image.h"

#include <algorithm>
#include <cstring>

namespace brisomel::pack {
namespace {

constexpr size_t kFileHeaderSize = 20;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kDebugEntrySize = 28;
constexpr uint16_t kMagic32 = 0x10B;
constexpr uint16_t kMagic64 = 0x20B;
// Offsets inside the optional header shared by both forms.
constexpr size_t kSizeOfInitializedData = 8;
constexpr size_t kSectionAlignment = 32;
constexpr size_t kFileAlignment = 36;
constexpr size_t kSizeOfImage = 56;
constexpr size_t kCheckSum = 64;
// Offsets inside a section header.
constexpr size_t kVirtualSize = 8;
constexpr size_t kVirtualAddress = 12;
constexpr size_t kSizeOfRawData = 16;
constexpr size_t kPointerToRawData = 20;
constexpr size_t kPointerToRelocations = 24;
constexpr size_t kPointerToLinenumbers = 28;
// Books stay below 2 GB (the reader's offsets are signed 32-bit).
constexpr uint64_t kMaxImageFile = 0x7FFFFFFF;

const char* const kDirectoryNames[kMaxDataDirectories] = {
    "export table",      "import table",    "resources",          "exception table",
    "certificate table", "relocations",     "debug directory",    "architecture data",
    "global pointer",    "TLS table",       "load configuration", "bound imports",
    "import addresses",  "delayed imports", "runtime header",     "reserved directory"};

bool IsPowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

uint64_t AlignUp(uint64_t value, uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

// The bytes a section takes in memory, before alignment.
uint64_t Span(const PeImage::Section& section) {
  return section.virtual_size != 0 ? section.virtual_size : section.raw_size;
}

}  // namespace

bool PeImage::Parse(ByteView bytes, std::string* error) {
  bytes_ = bytes;
  sections_.clear();
  if (!bytes.Has(0, 64) || bytes.U8(0) != 'M' || bytes.U8(1) != 'Z') {
    *error = "is not a Windows program (no MZ header)";
    return false;
  }
  uint32_t pe = bytes.U32(0x3C);
  if (!bytes.Has(pe, 4 + kFileHeaderSize) || bytes.U32(pe) != 0x00004550) {
    *error = "is not a Windows program (no PE header)";
    return false;
  }
  file_header_ = pe + 4;
  machine_ = bytes.U16(file_header_);
  size_t section_count = bytes.U16(file_header_ + 2);
  size_t optional_size = bytes.U16(file_header_ + 16);
  optional_header_ = file_header_ + kFileHeaderSize;
  uint16_t magic = bytes.U16(optional_header_);
  if (magic != kMagic32 && magic != kMagic64) {
    *error = "is not a Windows program (optional header magic " + std::to_string(magic) + ")";
    return false;
  }
  is_64bit_ = magic == kMagic64;
  size_t directories = is_64bit_ ? 112 : 96;
  if (optional_size < directories || !bytes.Has(optional_header_, optional_size)) {
    *error = "is a damaged Windows program (its optional header is cut short)";
    return false;
  }
  uint64_t listed = bytes.U32(optional_header_ + directories - 4);
  directory_count_ = static_cast<int>(
      std::min<uint64_t>({listed, kMaxDataDirectories, (optional_size - directories) / 8}));
  for (int i = 0; i < directory_count_; ++i) {
    directories_[i] = {bytes.U32(optional_header_ + directories + 8 * i),
                       bytes.U32(optional_header_ + directories + 8 * i + 4)};
  }
  section_alignment_ = bytes.U32(optional_header_ + kSectionAlignment);
  file_alignment_ = bytes.U32(optional_header_ + kFileAlignment);
  if (!IsPowerOfTwo(section_alignment_) || !IsPowerOfTwo(file_alignment_) ||
      file_alignment_ > section_alignment_) {
    *error = "is a damaged Windows program (section alignment " +
             std::to_string(section_alignment_) + ", file alignment " +
             std::to_string(file_alignment_) + ")";
    return false;
  }
  section_table_ = optional_header_ + optional_size;
  if (section_count == 0 || section_count > kMaxSections ||
      !bytes.Has(section_table_, section_count * kSectionHeaderSize)) {
    *error = "is a damaged Windows program (" + std::to_string(section_count) + " sections)";
    return false;
  }
  uint64_t table_end = section_table_ + section_count * kSectionHeaderSize;
  for (size_t i = 0; i < section_count; ++i) {
    size_t at = section_table_ + i * kSectionHeaderSize;
    Section section;
    const char* name = reinterpret_cast<const char*>(bytes.data() + at);
    section.name.assign(name, strnlen(name, 8));
    section.virtual_size = bytes.U32(at + kVirtualSize);
    section.rva = bytes.U32(at + kVirtualAddress);
    section.raw_size = bytes.U32(at + kSizeOfRawData);
    section.raw_offset = bytes.U32(at + kPointerToRawData);
    section.characteristics = bytes.U32(at + 36);
    if (section.raw_size != 0 &&
        (!bytes.Has(section.raw_offset, section.raw_size) || section.raw_offset < table_end)) {
      *error = "is a damaged Windows program (section " + section.name +
               " lies outside the file or over the headers)";
      return false;
    }
    sections_.push_back(section);
  }
  return true;
}

ByteView PeImage::AtRva(uint32_t rva, uint32_t size) const {
  for (const Section& section : sections_) {
    uint64_t held = std::min<uint64_t>(section.raw_size, Span(section));
    if (rva >= section.rva && uint64_t{rva} - section.rva + size <= held) {
      return bytes_.Sub(section.raw_offset + (rva - section.rva), size);
    }
  }
  return {};
}

int PeImage::SectionAt(uint32_t rva) const {
  for (size_t i = 0; i < sections_.size(); ++i) {
    const Section& section = sections_[i];
    if (rva >= section.rva && rva < section.rva + AlignUp(Span(section), section_alignment_)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool PeImage::WithResources(const std::vector<uint8_t>& resources, std::vector<uint8_t>* out,
                            std::string* error) const {
  DataDirectory table = directory(kDirectoryResources);
  auto found = std::find_if(sections_.begin(), sections_.end(),
                            [&](const Section& s) { return s.rva == table.rva; });
  if (table.rva == 0 || found == sections_.end() || found->raw_size == 0) {
    *error = "has no resource section of its own to put an icon in";
    return false;
  }
  if (directory(kDirectoryCertificates).size != 0) {
    *error = "is signed, and a new icon would break its signature";
    return false;
  }
  if (resources.empty() || resources.size() > kMaxImageFile) {
    *error = "would get resources of an impossible size";
    return false;
  }
  const Section& home = *found;
  const size_t home_index = static_cast<size_t>(found - sections_.begin());

  // What moves: file bytes from the old end of the section's data, memory from the old end of
  // its (aligned) span.
  const uint64_t old_raw_end = uint64_t{home.raw_offset} + home.raw_size;
  const uint64_t new_raw_size = AlignUp(resources.size(), file_alignment_);
  const int64_t delta_raw = static_cast<int64_t>(new_raw_size) - home.raw_size;
  const uint64_t old_span_end = AlignUp(home.rva + Span(home), section_alignment_);
  const int64_t delta_va =
      static_cast<int64_t>(AlignUp(home.rva + resources.size(), section_alignment_)) -
      static_cast<int64_t>(old_span_end);
  if (home.raw_size % file_alignment_ != 0 && old_raw_end < bytes_.size()) {
    *error = "is a damaged Windows program (its resource section's size is not aligned)";
    return false;
  }
  auto new_offset = [&](uint64_t offset) {
    return offset >= old_raw_end ? static_cast<uint64_t>(offset + delta_raw) : offset;
  };
  auto new_rva = [&](uint64_t rva) {
    return rva >= old_span_end ? static_cast<uint64_t>(rva + delta_va) : rva;
  };

  for (size_t i = 0; i < sections_.size(); ++i) {
    const Section& s = sections_[i];
    if (i == home_index) continue;
    bool raw_overlaps = s.raw_size != 0 && s.raw_offset < old_raw_end &&
                        uint64_t{s.raw_offset} + s.raw_size > home.raw_offset;
    bool memory_overlaps = s.rva < old_span_end && s.rva + Span(s) > home.rva;
    if (raw_overlaps || memory_overlaps) {
      *error = "is a damaged Windows program (section " + s.name + " overlaps the resources)";
      return false;
    }
    bool movable =
        (s.characteristics & kSectionDiscardable) != 0 && (s.characteristics & kSectionCode) == 0;
    if (delta_va != 0 && s.rva >= old_span_end && !movable) {
      *error = "has its section " + s.name +
               " after its resources, where it cannot be moved to make room for the icon";
      return false;
    }
  }
  for (int i = 0; i < directory_count_; ++i) {
    if (i == kDirectoryResources || i == kDirectoryCertificates || directories_[i].rva == 0) {
      continue;
    }
    if (directories_[i].rva >= home.rva && directories_[i].rva < old_span_end) {
      *error = std::string("has its ") + kDirectoryNames[i] + " inside its resource section";
      return false;
    }
    bool moves = directories_[i].rva >= old_span_end && delta_va != 0;
    if (moves && i != kDirectoryBaseRelocations && i != kDirectoryDebug) {
      *error = std::string("has its ") + kDirectoryNames[i] +
               " after its resources, where it cannot be moved to make room for the icon";
      return false;
    }
  }
  // Debug entries point at their data by address and by file offset; both may move.
  DataDirectory debug = directory(kDirectoryDebug);
  ByteView debug_entries;
  if (debug.rva != 0 && debug.size != 0) {
    debug_entries = AtRva(debug.rva, debug.size);
    if (debug_entries.size() == 0) {
      *error = "is a damaged Windows program (its debug directory lies outside the file)";
      return false;
    }
  }

  const uint64_t tail = bytes_.size() - old_raw_end;
  if (home.raw_offset + new_raw_size + tail > kMaxImageFile) {
    *error = "would grow past 2 GB";
    return false;
  }
  std::vector<uint8_t>& file = *out;
  file.assign(bytes_.data(), bytes_.data() + home.raw_offset);
  file.insert(file.end(), resources.begin(), resources.end());
  file.resize(home.raw_offset + new_raw_size, 0);
  file.insert(file.end(), bytes_.data() + old_raw_end, bytes_.data() + bytes_.size());

  uint64_t image_end = 0;
  for (size_t i = 0; i < sections_.size(); ++i) {
    Section s = sections_[i];
    size_t at = section_table_ + i * kSectionHeaderSize;
    if (i == home_index) {
      s.virtual_size = static_cast<uint32_t>(resources.size());
      s.raw_size = static_cast<uint32_t>(new_raw_size);
      Store32(file, at + kVirtualSize, s.virtual_size);
      Store32(file, at + kSizeOfRawData, s.raw_size);
    } else {
      s.rva = static_cast<uint32_t>(new_rva(s.rva));
      Store32(file, at + kVirtualAddress, s.rva);
      if (s.raw_size != 0)
        Store32(file, at + kPointerToRawData, uint32_t(new_offset(s.raw_offset)));
      for (size_t field : {kPointerToRelocations, kPointerToLinenumbers}) {
        uint32_t pointer = bytes_.U32(at + field);
        if (pointer != 0) Store32(file, at + field, static_cast<uint32_t>(new_offset(pointer)));
      }
    }
    image_end = std::max(image_end, AlignUp(uint64_t{s.rva} + Span(s), section_alignment_));
  }
  if (image_end > UINT32_MAX) {
    *error = "would grow past 4 GB in memory";
    return false;
  }
  Store32(file, optional_header_ + kSizeOfImage, static_cast<uint32_t>(image_end));
  if ((home.characteristics & kSectionInitializedData) != 0) {
    int64_t data = int64_t{bytes_.U32(optional_header_ + kSizeOfInitializedData)} + delta_raw;
    Store32(file, optional_header_ + kSizeOfInitializedData,
            static_cast<uint32_t>(std::clamp<int64_t>(data, 0, UINT32_MAX)));
  }
  uint32_t symbols = bytes_.U32(file_header_ + 8);
  if (symbols != 0) Store32(file, file_header_ + 8, static_cast<uint32_t>(new_offset(symbols)));

  size_t directories = optional_header_ + (is_64bit_ ? 112 : 96);
  for (int i = 0; i < directory_count_; ++i) {
    DataDirectory entry = directories_[i];
    if (i == kDirectoryResources) {
      entry = {home.rva, static_cast<uint32_t>(resources.size())};
    } else if (i != kDirectoryCertificates && entry.rva != 0) {
      entry.rva = static_cast<uint32_t>(new_rva(entry.rva));
    }
    Store32(file, directories + 8 * i, entry.rva);
    Store32(file, directories + 8 * i + 4, entry.size);
  }
  if (debug_entries.size() != 0) {
    size_t at = new_offset(static_cast<uint64_t>(debug_entries.data() - bytes_.data()));
    for (size_t k = 0; k + kDebugEntrySize <= debug_entries.size(); k += kDebugEntrySize) {
      uint32_t address = debug_entries.U32(k + 20);
      uint32_t pointer = debug_entries.U32(k + 24);
      if (address != 0) Store32(file, at + k + 20, static_cast<uint32_t>(new_rva(address)));
      if (pointer != 0) Store32(file, at + k + 24, static_cast<uint32_t>(new_offset(pointer)));
    }
  }
  if (bytes_.U32(optional_header_ + kCheckSum) != 0) {
    Store32(file, optional_header_ + kCheckSum, PeChecksum(file, optional_header_ + kCheckSum));
  }
  return true;
}

uint32_t PeChecksum(const std::vector<uint8_t>& file, size_t checksum_offset) {
  uint64_t sum = 0;
  for (size_t i = 0; i < file.size(); i += 2) {
    uint32_t word = file[i] | (i + 1 < file.size() ? file[i + 1] << 8 : 0);
    if (i >= checksum_offset && i < checksum_offset + 4) word = 0;
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + file.size());
}

}  // namespace brisomel::pack
