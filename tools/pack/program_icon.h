// A program's icon: the first icon group among its resources (the one Explorer shows and the
// reader's window loads) and the icon resources it lists, one per image.
//
// Format notes: an icon group (type 14) is the icon file's header followed by 14 bytes per
// image: width (1), height (1) (0 means 256), palette colours (1), reserved (1), planes (2),
// bits per pixel (2), image bytes (4) and the number of the icon resource (type 3, 2 bytes)
// that holds the image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pack/icon_file.h"

namespace brisomel::pack {

// `program` with its icon replaced by `images`: the first icon group keeps its name and
// languages and lists the new images, one new icon resource each; the icon resources the old
// group alone used are dropped. A program without an icon group gets one, numbered 1.
// False with a message ("is not a Windows program", "is signed, ...") when the program cannot
// be rewritten.
bool ReplaceProgramIcon(ByteView program, const std::vector<IconImage>& images,
                        std::vector<uint8_t>* edited, std::string* error);

// The data of an icon group listing `images` as the icon resources numbered `numbers`.
std::vector<uint8_t> IconGroupData(const std::vector<IconImage>& images,
                                   const std::vector<uint16_t>& numbers);

// The images of the program's icon, in the group's order, each checked against its group
// entry. False with a message when there is no icon or it is damaged.
bool ReadProgramIcon(ByteView program, std::vector<IconImage>* images, std::string* error);

}  // namespace brisomel::pack
