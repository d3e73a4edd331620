// The icon file reader on any bytes. What it accepts must survive being written out again and
// read back unchanged, as the packer's own icon resources are.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "pack/icon_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brisomel::pack;
  std::vector<IconImage> images;
  std::string error;
  if (!ReadIconFile(ByteView(data, size), &images, &error)) return 0;
  std::vector<uint8_t> again = WriteIconFile(images);
  std::vector<IconImage> reread;
  if (!ReadIconFile(ByteView(again), &reread, &error) || reread.size() != images.size()) abort();
  for (size_t i = 0; i < images.size(); ++i) {
    if (reread[i].data != images[i].data || reread[i].width != images[i].width) abort();
  }
  return 0;
}
