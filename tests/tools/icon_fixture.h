// Icons and Windows programs made by code for the icon tests: solid-colour bitmap and PNG
// images, and small PE images whose sections, resources and directories a case arranges.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pack/icon_file.h"
#include "pack/resource_tree.h"

namespace brisomel::pack::testing {

// A bitmap icon image of one colour (0xRRGGBB), opaque; `bits` is 1, 4, 8, 16, 24 or 32.
IconImage BitmapImage(int width, int height, int bits, uint32_t rgb);
// A PNG icon image of one colour, 8-bit RGBA.
IconImage PngImage(int width, int height, uint32_t rgb);

// Every field and byte of the images alike, in order (gtest expectations).
void ExpectSameImages(const std::vector<IconImage>& read, const std::vector<IconImage>& written);

// The pixel colour (0xRRGGBB) of a solid image made above, read back from its data.
uint32_t SolidColour(const IconImage& image);

struct FakeSection {
  std::string name;
  uint32_t characteristics = 0;
  std::vector<uint8_t> data;  // ".rsrc" is filled with the resources
};

struct FakeProgram {
  bool is_64bit = false;
  std::vector<FakeSection> sections;
  ResourceNode resources;
  bool checksum = true;       // fill in the checksum
  bool signature = false;     // a certificate table at the end of the file
  std::vector<uint8_t> tail;  // a symbol table after the sections, pointed at by the header
  // A debug directory of one entry at the start of the section of this name, pointing at the
  // 16 bytes after it.
  std::string debug_in;

  // .text, .rsrc, then .reloc (discardable), with a small icon, a bitmap and a named blob.
  static FakeProgram Typical(bool is_64bit);
};

std::vector<uint8_t> BuildProgram(const FakeProgram& program);

// A resource tree leaf under type/name/language.
void AddResource(ResourceNode* root, ResourceId type, ResourceId name, uint16_t language,
                 std::vector<uint8_t> data);

}  // namespace brisomel::pack::testing
