// The program reader and icon editor on any bytes taken as a Windows program. An edit that
// succeeds must give a program whose icon reads back as the one put in, and that takes another
// edit. Seeds: small readers, such as a build's brisomel.exe with its debug sections stripped.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "pack/program_icon.h"

namespace {

// A 2x2 bitmap of 24 bits: header, two rows of 8 bytes, two mask rows of 4.
std::vector<brisomel::pack::IconImage> SmallIcon() {
  using namespace brisomel::pack;
  std::vector<uint8_t> bytes(40 + 16 + 8, 0);
  Store32(bytes, 0, 40);
  Store32(bytes, 4, 2);
  Store32(bytes, 8, 4);
  Store16(bytes, 12, 1);
  Store16(bytes, 14, 24);
  IconImage image;
  std::string why;
  if (!ExamineIconImage(ByteView(bytes), &image, &why)) abort();
  image.data = bytes;
  return {image};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brisomel::pack;
  static const std::vector<IconImage> icon = SmallIcon();
  std::vector<IconImage> read;
  std::string error;
  ReadProgramIcon(ByteView(data, size), &read, &error);
  std::vector<uint8_t> edited;
  if (!ReplaceProgramIcon(ByteView(data, size), icon, &edited, &error)) return 0;
  if (!ReadProgramIcon(ByteView(edited), &read, &error) || read.size() != 1 ||
      read[0].data != icon[0].data) {
    std::fprintf(stderr, "edited program reads back wrong: %s\n", error.c_str());
    abort();
  }
  std::vector<uint8_t> twice;
  if (!ReplaceProgramIcon(ByteView(edited), icon, &twice, &error)) {
    std::fprintf(stderr, "edited program takes no second edit: %s\n", error.c_str());
    abort();
  }
  return 0;
}
