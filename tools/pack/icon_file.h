// Icon files (.ico): a directory of images, each a PNG file or a device-independent bitmap
// without its file header. The book's own icon comes from one, and goes into the program as
// one icon resource per image.
//
// Format notes (all integers little-endian):
//   header     reserved (2) = 0, type (2) = 1 for icons (2 is a cursor), image count (2)
//   directory  16 bytes per image: width (1), height (1) (0 means 256), palette colours (1),
//              reserved (1), planes (2), bits per pixel (2), image bytes (4), image offset (4)
//   image      a PNG file (the 8-byte PNG signature, then the IHDR chunk first), or a
//              BITMAPINFOHEADER with the height doubled (the colour bitmap, then the 1-bit
//              transparency mask, each bottom-up with rows padded to 4 bytes), a palette of
//              4-byte colours for up to 8 bits per pixel, and three colour masks after a
//              40-byte header when the compression is BI_BITFIELDS.
// The directory's sizes and depths are often wrong (a depth of 0 is common), so an image's
// size and depth are read from the image itself; only its place comes from the directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pack/little_endian.h"

namespace brisomel::pack {

// The format fixes these: directory bytes hold sizes up to 256, counts in 16 bits.
constexpr int kMaxIconSide = 256;
constexpr size_t kIconHeaderSize = 6;
constexpr size_t kIconDirectoryEntrySize = 16;
// Larger files are refused before they are read: a 256x256 image of 32 bits takes 260 KB.
constexpr uint64_t kMaxIconFileSize = 16u << 20;

struct IconImage {
  int width = 0;  // pixels, 1 to 256
  int height = 0;
  int bit_count = 0;        // bits per pixel
  uint8_t color_count = 0;  // palette colours below 8 bits per pixel, else 0
  bool png = false;
  std::vector<uint8_t> data;  // the image as stored
};

// Reads one image's size and depth from its bytes, checking that they hold all the image
// needs. False with the reason (a few words, no image number) when they do not.
bool ExamineIconImage(ByteView bytes, IconImage* image, std::string* why);

// Every image of an icon file, in directory order. False with a message ("image 2 is ...")
// when the file is not an icon file or any image is damaged.
bool ReadIconFile(ByteView bytes, std::vector<IconImage>* images, std::string* error);

// An icon file of these images, each image's directory entry made from its fields.
std::vector<uint8_t> WriteIconFile(const std::vector<IconImage>& images);

}  // namespace brisomel::pack
