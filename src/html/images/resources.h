// The images module's program resources as embedded bytes (the headless build; the Windows
// program carries the same files through resources.rc): ".bmp" files for the placeholder
// bitmaps 1001, 1002, 1005 and ".cur" files for the cursors 1003, 1006.
#pragma once

#include <cstdint>
#include <span>

namespace brisomel {

// The file bytes of a resource, or an empty span for an unknown number.
std::span<const uint8_t> ResourceBytes(int resource);

}  // namespace brisomel
