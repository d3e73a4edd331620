#include "icon_fixture.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <stdexcept>

#include "pack/pe_image.h"
#include "pack/program_icon.h"

namespace brisomel::pack::testing {
namespace {

constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;

uint32_t Align(uint32_t value, uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

void AppendBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  AppendBigEndian32(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  AppendBigEndian32(out, static_cast<uint32_t>(crc32(0, body.data(), uInt(body.size()))));
}

uint8_t Red(uint32_t rgb) { return static_cast<uint8_t>(rgb >> 16); }
uint8_t Green(uint32_t rgb) { return static_cast<uint8_t>(rgb >> 8); }
uint8_t Blue(uint32_t rgb) { return static_cast<uint8_t>(rgb); }

}  // namespace

IconImage BitmapImage(int width, int height, int bits, uint32_t rgb) {
  IconImage image;
  std::vector<uint8_t>& out = image.data;
  Append32(out, 40);
  Append32(out, static_cast<uint32_t>(width));
  Append32(out, static_cast<uint32_t>(height * 2));
  Append16(out, 1);
  Append16(out, static_cast<uint16_t>(bits));
  for (int i = 0; i < 6; ++i) Append32(out, 0);  // uncompressed; sizes and counts left out
  if (bits <= 8) {
    // Colour 1 of the palette paints every pixel.
    for (int i = 0; i < (1 << bits); ++i) {
      uint32_t colour = i == 1 ? rgb : 0;
      out.insert(out.end(), {Blue(colour), Green(colour), Red(colour), 0});
    }
  }
  size_t stride = (size_t(width) * bits + 31) / 32 * 4;
  std::vector<uint8_t> row(stride, 0);
  for (int x = 0; x < width; ++x) {
    switch (bits) {
      case 1:
        row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        break;
      case 4:
        row[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? 0x10 : 0x01);
        break;
      case 8:
        row[x] = 1;
        break;
      case 16: {
        uint16_t value =
            static_cast<uint16_t>((Red(rgb) >> 3) << 10 | (Green(rgb) >> 3) << 5 | Blue(rgb) >> 3);
        row[2 * x] = static_cast<uint8_t>(value);
        row[2 * x + 1] = static_cast<uint8_t>(value >> 8);
        break;
      }
      case 24:
      case 32: {
        uint8_t* at = &row[size_t(x) * bits / 8];
        at[0] = Blue(rgb);
        at[1] = Green(rgb);
        at[2] = Red(rgb);
        if (bits == 32) at[3] = 0xFF;
        break;
      }
      default:
        throw std::invalid_argument("no such bitmap depth");
    }
  }
  for (int y = 0; y < height; ++y) out.insert(out.end(), row.begin(), row.end());
  out.resize(out.size() + (size_t(width) + 31) / 32 * 4 * height, 0);  // mask: all opaque
  std::string why;
  if (!ExamineIconImage(ByteView(out), &image, &why)) throw std::logic_error("fixture " + why);
  return image;
}

IconImage PngImage(int width, int height, uint32_t rgb) {
  IconImage image;
  std::vector<uint8_t>& out = image.data;
  out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<uint8_t> header;
  AppendBigEndian32(header, static_cast<uint32_t>(width));
  AppendBigEndian32(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});
  AppendChunk(out, "IHDR", header);
  std::vector<uint8_t> rows;
  for (int y = 0; y < height; ++y) {
    rows.push_back(0);  // no filter
    for (int x = 0; x < width; ++x)
      rows.insert(rows.end(), {Red(rgb), Green(rgb), Blue(rgb), 0xFF});
  }
  std::vector<uint8_t> packed(compressBound(uLong(rows.size())));
  uLongf packed_size = uLongf(packed.size());
  compress(packed.data(), &packed_size, rows.data(), uLong(rows.size()));
  packed.resize(packed_size);
  AppendChunk(out, "IDAT", packed);
  AppendChunk(out, "IEND", {});
  std::string why;
  if (!ExamineIconImage(ByteView(out), &image, &why)) throw std::logic_error("fixture " + why);
  return image;
}

void ExpectSameImages(const std::vector<IconImage>& read, const std::vector<IconImage>& written) {
  ASSERT_EQ(read.size(), written.size());
  for (size_t i = 0; i < read.size(); ++i) {
    SCOPED_TRACE("image " + std::to_string(i + 1));
    EXPECT_EQ(read[i].width, written[i].width);
    EXPECT_EQ(read[i].height, written[i].height);
    EXPECT_EQ(read[i].bit_count, written[i].bit_count);
    EXPECT_EQ(read[i].color_count, written[i].color_count);
    EXPECT_EQ(read[i].png, written[i].png);
    EXPECT_EQ(read[i].data, written[i].data);
  }
}

uint32_t SolidColour(const IconImage& image) {
  ByteView bytes(image.data);
  if (image.png) {
    // The first IDAT chunk holds the whole picture here; its first pixel follows a filter byte.
    size_t at = 8;
    while (bytes.Has(at, 8) && std::memcmp(bytes.data() + at + 4, "IDAT", 4) != 0) {
      at += 12 + bytes.U32BigEndian(at);
    }
    uint32_t length = bytes.U32BigEndian(at);
    std::vector<uint8_t> pixels(1 + 4 * size_t(image.width) * image.height);
    uLongf size = uLongf(pixels.size());
    uncompress(pixels.data(), &size, bytes.data() + at + 8, length);
    return uint32_t{pixels[1]} << 16 | uint32_t{pixels[2]} << 8 | pixels[3];
  }
  uint32_t header = bytes.U32(0);
  int bits = image.bit_count;
  size_t palette = bits <= 8 ? (size_t{1} << bits) : 0;
  size_t pixel = header + palette * 4;
  auto from_bgr = [&](size_t at) {
    return uint32_t{bytes.U8(at + 2)} << 16 | uint32_t{bytes.U8(at + 1)} << 8 | bytes.U8(at);
  };
  switch (bits) {
    case 1:
      return from_bgr(header + 4 * (bytes.U8(pixel) >> 7));
    case 4:
      return from_bgr(header + 4 * (bytes.U8(pixel) >> 4));
    case 8:
      return from_bgr(header + 4 * bytes.U8(pixel));
    case 16: {
      uint16_t value = bytes.U16(pixel);
      return uint32_t((value >> 10) & 31) << 19 | uint32_t((value >> 5) & 31) << 11 |
             uint32_t(value & 31) << 3;
    }
    default:
      return from_bgr(pixel);
  }
}

void AddResource(ResourceNode* root, ResourceId type, ResourceId name, uint16_t language,
                 std::vector<uint8_t> data) {
  auto child = [](ResourceNode* parent, const ResourceId& id) {
    if (ResourceNode* found = parent->Find(id)) return found;
    ResourceNode node;
    node.id = id;
    return &parent->Insert(std::move(node));
  };
  ResourceNode* leaf = child(child(child(root, type), name), ResourceId::Number(language));
  leaf->is_data = true;
  leaf->data = std::move(data);
}

FakeProgram FakeProgram::Typical(bool is_64bit) {
  FakeProgram program;
  program.is_64bit = is_64bit;
  program.sections = {{".text", 0x60000020, std::vector<uint8_t>(0x300, 0xC3)},
                      {".rsrc", 0x40000040, {}},
                      {".reloc", 0x42000040, std::vector<uint8_t>(0x20, 0x5A)}};
  IconImage small = BitmapImage(16, 16, 4, 0xFF0000);
  IconImage other = BitmapImage(32, 32, 24, 0x00FF00);
  ResourceNode& root = program.resources;
  AddResource(&root, ResourceId::Number(kResourceIcon), ResourceId::Number(1), 1033, small.data);
  AddResource(&root, ResourceId::Number(kResourceIcon), ResourceId::Number(2), 1033, other.data);
  AddResource(&root, ResourceId::Number(kResourceIconGroup), ResourceId::Number(1), 1033,
              IconGroupData({small}, {1}));
  AddResource(&root, ResourceId::Number(kResourceIconGroup), ResourceId::Number(7), 1033,
              IconGroupData({other}, {2}));
  AddResource(&root, ResourceId::Number(2), ResourceId::Number(100), 1033,
              std::vector<uint8_t>(300, 0x42));
  AddResource(&root, ResourceId::Number(10), ResourceId{0, true, u"BLOB"}, 1033,
              {'b', 'l', 'o', 'b'});
  return program;
}

std::vector<uint8_t> BuildProgram(const FakeProgram& program) {
  const size_t optional_size = program.is_64bit ? 240 : 224;
  const size_t pe = 0x40;
  const size_t optional = pe + 24;
  const size_t table = optional + optional_size;
  const uint32_t headers = Align(uint32_t(table + 40 * program.sections.size()), kFileAlignment);

  struct Placed {
    uint32_t rva, raw;
    std::vector<uint8_t> data;
  };
  std::vector<Placed> placed;
  uint32_t rva = kSectionAlignment, raw = headers;
  uint32_t directories[16][2] = {};
  uint32_t initialized = 0;
  for (const FakeSection& section : program.sections) {
    Placed place{rva, raw, section.data};
    if (section.name == ".rsrc") {
      place.data = LayOutResources(program.resources, rva);
      directories[kDirectoryResources][0] = rva;
      directories[kDirectoryResources][1] = uint32_t(place.data.size());
    }
    if (section.name == ".reloc") {
      directories[kDirectoryBaseRelocations][0] = rva;
      directories[kDirectoryBaseRelocations][1] = uint32_t(place.data.size());
    }
    if (section.name == program.debug_in) {
      std::vector<uint8_t> entry;
      for (uint32_t value : {0u, 0u, 0u, 2u, 16u, rva + 28, raw + 28}) Append32(entry, value);
      entry.resize(28 + 16, 0xAB);
      place.data.insert(place.data.begin(), entry.begin(), entry.end());
      directories[kDirectoryDebug][0] = rva;
      directories[kDirectoryDebug][1] = 28;
    }
    if ((section.characteristics & kSectionInitializedData) != 0) {
      initialized += Align(uint32_t(place.data.size()), kFileAlignment);
    }
    rva += Align(std::max<uint32_t>(uint32_t(place.data.size()), 1), kSectionAlignment);
    raw += Align(uint32_t(place.data.size()), kFileAlignment);
    placed.push_back(std::move(place));
  }

  std::vector<uint8_t> file(raw, 0);
  file[0] = 'M';
  file[1] = 'Z';
  Store32(file, 0x3C, pe);
  Store32(file, pe, 0x00004550);
  Store16(file, pe + 4, program.is_64bit ? 0x8664 : 0x14C);
  Store16(file, pe + 6, uint16_t(program.sections.size()));
  Store16(file, pe + 20, uint16_t(optional_size));
  Store16(file, pe + 22, program.is_64bit ? 0x0022 : 0x0102);
  Store16(file, optional, program.is_64bit ? 0x20B : 0x10B);
  Store32(file, optional + 8, initialized);
  Store32(file, optional + 32, kSectionAlignment);
  Store32(file, optional + 36, kFileAlignment);
  Store16(file, optional + 40, 4);  // operating system and subsystem version 4.0
  Store16(file, optional + 48, 4);
  Store32(file, optional + 56, rva);
  Store32(file, optional + 60, headers);
  Store16(file, optional + 68, 2);  // Windows GUI
  size_t directory_table = optional + (program.is_64bit ? 112 : 96);
  Store32(file, directory_table - 4, 16);
  for (size_t i = 0; i < program.sections.size(); ++i) {
    const FakeSection& section = program.sections[i];
    const Placed& place = placed[i];
    size_t at = table + 40 * i;
    std::memcpy(&file[at], section.name.data(), std::min<size_t>(section.name.size(), 8));
    Store32(file, at + 8, uint32_t(place.data.size()));
    Store32(file, at + 12, place.rva);
    Store32(file, at + 16, Align(uint32_t(place.data.size()), kFileAlignment));
    Store32(file, at + 20, place.data.empty() ? 0 : place.raw);
    Store32(file, at + 36, section.characteristics);
    std::copy(place.data.begin(), place.data.end(), file.begin() + place.raw);
  }
  if (!program.tail.empty()) {
    Store32(file, pe + 12, uint32_t(file.size()));
    Store32(file, pe + 16, uint32_t(program.tail.size() / 18));
    file.insert(file.end(), program.tail.begin(), program.tail.end());
  }
  if (program.signature) {
    directories[kDirectoryCertificates][0] = uint32_t(file.size());
    directories[kDirectoryCertificates][1] = 8;
    file.insert(file.end(), {8, 0, 0, 0, 0, 2, 2, 0});
  }
  for (int i = 0; i < 16; ++i) {
    Store32(file, directory_table + 8 * i, directories[i][0]);
    Store32(file, directory_table + 8 * i + 4, directories[i][1]);
  }
  if (program.checksum) Store32(file, optional + 64, PeChecksum(file, optional + 64));
  return file;
}

}  // namespace brisomel::pack::testing
