// A program's resources as a tree: types, then names, then languages, then the data. Read
// from a PE image, changed, and laid out again as the bytes of a resource section.
//
// Format notes (all integers little-endian; offsets count from the start of the resources):
//   directory   characteristics (4), time stamp (4), version (2 + 2), named entry count (2),
//               numbered entry count (2), then 8 bytes per entry, named ones first
//   entry       name: a number, or with the top bit set the offset of a string (a 16-bit
//               length and that many UTF-16 units); then with the top bit set the offset of a
//               subdirectory, else the offset of a data entry
//   data entry  the data's RVA (not an offset), its size, its code page, 4 reserved bytes
// Windows looks entries up by binary search, so numbered entries are kept in rising order.
// Writing lays out the directories first, then the data entries, the name strings and the data,
// each piece of data on an 8-byte boundary.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pack/pe_image.h"

namespace brisomel::pack {

constexpr uint16_t kResourceIcon = 3;
constexpr uint16_t kResourceIconGroup = 14;

// A type, name or language: a number, or a string when `text` is set.
struct ResourceId {
  uint16_t number = 0;
  bool is_text = false;
  std::u16string text;

  static ResourceId Number(uint16_t value) { return {value, false, {}}; }
  bool operator==(const ResourceId& other) const {
    return is_text == other.is_text && (is_text ? text == other.text : number == other.number);
  }
};

struct ResourceNode {
  ResourceId id;  // not used at the root
  bool is_data = false;
  // A directory's header fields and its entries.
  uint32_t characteristics = 0, time_stamp = 0;
  uint16_t major_version = 0, minor_version = 0;
  std::vector<ResourceNode> children;
  // A data entry's contents.
  std::vector<uint8_t> data;
  uint32_t code_page = 0;

  // The child with this id, or null.
  ResourceNode* Find(const ResourceId& child_id);
  const ResourceNode* Find(const ResourceId& child_id) const;
  // Adds a child where Windows expects it: strings first, numbers in rising order.
  ResourceNode& Insert(ResourceNode child);
};

// The children of `directory` in the order Windows keeps them: named ones first, in their
// order, then numbered ones in rising order.
std::vector<const ResourceNode*> InWindowsOrder(const ResourceNode& directory);

// The image's resource tree. An image without resources gives an empty root. False with a
// message when the tree is damaged: out of the file, too deep, or reaching a part twice.
bool ReadResources(const PeImage& image, ResourceNode* root, std::string* error);

// The tree as the bytes of a resource section placed at `section_rva`.
std::vector<uint8_t> LayOutResources(const ResourceNode& root, uint32_t section_rva);

}  // namespace brisomel::pack
