// The start page's title on any bytes: any page gives a title fit for a caption.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "pack/page_title.h"
#include "settings/book_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string title =
      brisomel::pack::PageTitle(std::string_view(reinterpret_cast<const char*>(data), size));
  if (brisomel::CleanTitle(title) != title) abort();
  return 0;
}
