// A program's icon replaced and read back: on small PE images made by code, arranged for each
// layout the editor must handle or refuse, and on the real readers of both Windows builds.
// Under Windows (Wine), the edited reader is also handed to Windows' own icon loaders and
// started.
#include "pack/program_icon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "book_fixture.h"
#include "icon_fixture.h"
#include "pack/book_packer.h"
#include "pack/pe_image.h"
#include "pack/resource_tree.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>
#endif

namespace brisomel::pack {
namespace {

namespace fs = std::filesystem;
using testing::BitmapImage;
using testing::BuildProgram;
using testing::ExpectSameImages;
using testing::FakeProgram;
using testing::PngImage;

// Colours chosen so that 16-bit pixels keep them exactly.
std::vector<IconImage> ThreeSizes() {
  return {BitmapImage(16, 16, 8, 0x0000F8), BitmapImage(32, 32, 32, 0xF80000),
          PngImage(48, 48, 0x00F800)};
}

std::vector<IconImage> ReadBack(const std::vector<uint8_t>& program) {
  std::vector<IconImage> images;
  std::string error;
  EXPECT_TRUE(ReadProgramIcon(ByteView(program), &images, &error)) << error;
  return images;
}

PeImage Parsed(const std::vector<uint8_t>& bytes) {
  PeImage image;
  std::string error;
  EXPECT_TRUE(image.Parse(ByteView(bytes), &error)) << error;
  return image;
}

std::vector<uint8_t> SectionBytes(const std::vector<uint8_t>& file, const PeImage::Section& s) {
  return ByteView(file).Sub(s.raw_offset, s.raw_size).Copy();
}

// Resources other than icons and icon groups, flattened to "type/name/language" and data.
std::map<std::string, std::vector<uint8_t>> OtherResources(const std::vector<uint8_t>& file) {
  PeImage image = Parsed(file);
  ResourceNode root;
  std::string error;
  EXPECT_TRUE(ReadResources(image, &root, &error)) << error;
  std::map<std::string, std::vector<uint8_t>> found;
  auto name = [](const ResourceId& id) {
    return id.is_text ? std::string(id.text.begin(), id.text.end()) : std::to_string(id.number);
  };
  for (const ResourceNode& type : root.children) {
    if (!type.id.is_text &&
        (type.id.number == kResourceIcon || type.id.number == kResourceIconGroup)) {
      continue;
    }
    for (const ResourceNode& item : type.children) {
      for (const ResourceNode& language : item.children) {
        found[name(type.id) + "/" + name(item.id) + "/" + name(language.id)] = language.data;
      }
    }
  }
  return found;
}

// What must hold of any edit: the edited file is a sound image whose sections other than the
// resources keep their bytes, in order and apart, with headers that agree with them.
void ExpectSoundEdit(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after) {
  PeImage old_image = Parsed(before);
  PeImage new_image = Parsed(after);
  ASSERT_EQ(old_image.sections().size(), new_image.sections().size());
  uint64_t raw_end = 0, memory_end = 0;
  for (size_t i = 0; i < new_image.sections().size(); ++i) {
    const PeImage::Section& s = new_image.sections()[i];
    SCOPED_TRACE(s.name);
    EXPECT_EQ(s.name, old_image.sections()[i].name);
    if (s.raw_size != 0) {
      EXPECT_GE(s.raw_offset, raw_end);
      raw_end = s.raw_offset + s.raw_size;
    }
    EXPECT_GE(s.rva, memory_end);
    EXPECT_EQ(s.rva % 0x1000, 0u);
    memory_end = s.rva + std::max(s.virtual_size, s.raw_size);
    // The resources change, and so do debug entries, which point at places that move.
    bool debug = new_image.SectionAt(new_image.directory(kDirectoryDebug).rva) == int(i);
    if (s.rva != new_image.directory(kDirectoryResources).rva && !debug) {
      EXPECT_EQ(SectionBytes(after, s), SectionBytes(before, old_image.sections()[i]));
    }
  }
  ByteView bytes(after);
  size_t optional = bytes.U32(0x3C) + 24;
  EXPECT_EQ(bytes.U32(optional + 56), (memory_end + 0xFFF) / 0x1000 * 0x1000);
  if (ByteView(before).U32(optional + 64) != 0) {
    EXPECT_EQ(bytes.U32(optional + 64), PeChecksum(after, optional + 64));
  }
  int relocations = new_image.SectionAt(new_image.directory(kDirectoryBaseRelocations).rva);
  if (new_image.directory(kDirectoryBaseRelocations).rva != 0) {
    ASSERT_GE(relocations, 0);
    EXPECT_EQ(new_image.sections()[relocations].name, ".reloc");
  }
  EXPECT_EQ(OtherResources(after), OtherResources(before));
}

std::vector<uint8_t> Replaced(const std::vector<uint8_t>& program,
                              const std::vector<IconImage>& images) {
  std::vector<uint8_t> edited;
  std::string error;
  EXPECT_TRUE(ReplaceProgramIcon(ByteView(program), images, &edited, &error)) << error;
  return edited;
}

// The numbers the first icon group lists and the icon resources there are.
struct IconNumbers {
  std::vector<uint16_t> listed;
  std::vector<uint16_t> icons;
  std::vector<uint16_t> languages;
};
IconNumbers Numbers(const std::vector<uint8_t>& program) {
  PeImage image = Parsed(program);
  ResourceNode root;
  std::string error;
  EXPECT_TRUE(ReadResources(image, &root, &error));
  IconNumbers numbers;
  const ResourceNode* groups = root.Find(ResourceId::Number(kResourceIconGroup));
  ByteView group(InWindowsOrder(*groups).front()->children.front().data);
  for (size_t i = 0; i < group.U16(4); ++i) numbers.listed.push_back(group.U16(6 + 14 * i + 12));
  for (const ResourceNode& icon : root.Find(ResourceId::Number(kResourceIcon))->children) {
    numbers.icons.push_back(icon.id.number);
    numbers.languages.push_back(icon.children.front().id.number);
  }
  return numbers;
}

TEST(ProgramIcon, ReplacesTheFirstGroupKeepingEveryOtherResource) {
  for (bool is_64bit : {false, true}) {
    SCOPED_TRACE(is_64bit ? "64-bit" : "32-bit");
    std::vector<uint8_t> program = BuildProgram(FakeProgram::Typical(is_64bit));
    std::vector<uint8_t> edited = Replaced(program, ThreeSizes());
    ExpectSameImages(ReadBack(edited), ThreeSizes());
    ExpectSoundEdit(program, edited);
    // Icon 1 belonged to the replaced group only; icon 2 is group 7's and stays.
    IconNumbers numbers = Numbers(edited);
    EXPECT_EQ(numbers.listed, (std::vector<uint16_t>{1, 3, 4}));
    EXPECT_EQ(numbers.icons, (std::vector<uint16_t>{1, 2, 3, 4}));
    EXPECT_EQ(numbers.languages, (std::vector<uint16_t>{1033, 1033, 1033, 1033}));
    EXPECT_GT(edited.size(), program.size());
    EXPECT_EQ(Parsed(edited).is_64bit(), is_64bit);
  }
}

TEST(ProgramIcon, HandlesEachLayoutAfterTheResources) {
  struct Case {
    const char* name;
    std::function<void(FakeProgram&)> arrange;
    std::vector<IconImage> icon;
    std::function<void(const std::vector<uint8_t>&)> check;
  };
  const std::vector<IconImage> large = {BitmapImage(128, 128, 32, 0x102030)};
  const std::vector<IconImage> tiny = {BitmapImage(16, 16, 1, 0xFFFFFF)};
  const std::vector<uint8_t> symbols(18 * 4, 0x5E);
  const Case cases[] = {
      {"resources last", [](FakeProgram& p) { p.sections.pop_back(); }, large,
       [](const std::vector<uint8_t>& after) {
         const PeImage::Section last = Parsed(after).sections().back();
         EXPECT_EQ(last.raw_offset + last.raw_size, after.size());
       }},
      {"a section that cannot move stays put while the icon fits its space",
       [](FakeProgram& p) {
         p.sections.push_back({".data", 0xC0000040, std::vector<uint8_t>(64, 7)});
       },
       tiny, nullptr},
      {"a debug directory after the resources is moved with them",
       [](FakeProgram& p) {
         p.sections.push_back({".buildid", 0x42000040, {}});
         p.debug_in = ".buildid";
       },
       large,
       [](const std::vector<uint8_t>& after) {
         PeImage image = Parsed(after);
         ByteView entry = image.AtRva(image.directory(kDirectoryDebug).rva, 28);
         ASSERT_EQ(entry.size(), 28u);
         EXPECT_EQ(image.AtRva(entry.U32(20), 16).Copy(), std::vector<uint8_t>(16, 0xAB));
         EXPECT_EQ(ByteView(after).Sub(entry.U32(24), 16).Copy(), std::vector<uint8_t>(16, 0xAB));
       }},
      {"the symbol table after the sections is moved", [&](FakeProgram& p) { p.tail = symbols; },
       large,
       [&](const std::vector<uint8_t>& after) {
         uint32_t pointer = ByteView(after).U32(ByteView(after).U32(0x3C) + 12);
         EXPECT_EQ(ByteView(after).Sub(pointer, symbols.size()).Copy(), symbols);
       }},
      {"no checksum stays without one", [](FakeProgram& p) { p.checksum = false; }, large,
       [](const std::vector<uint8_t>& after) {
         EXPECT_EQ(ByteView(after).U32(ByteView(after).U32(0x3C) + 24 + 64), 0u);
       }},
      {"a program without an icon gets group 1",
       [](FakeProgram& p) {
         std::erase_if(p.resources.children, [](const ResourceNode& type) {
           return type.id.number == kResourceIcon || type.id.number == kResourceIconGroup;
         });
       },
       ThreeSizes(),
       [](const std::vector<uint8_t>& after) {
         IconNumbers numbers = Numbers(after);
         EXPECT_EQ(numbers.listed, (std::vector<uint16_t>{1, 2, 3}));
         EXPECT_EQ(numbers.languages, (std::vector<uint16_t>{0, 0, 0}));
       }},
  };
  for (const Case& c : cases) {
    for (bool is_64bit : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (is_64bit ? ", 64-bit" : ", 32-bit"));
      FakeProgram fake = FakeProgram::Typical(is_64bit);
      c.arrange(fake);
      std::vector<uint8_t> program = BuildProgram(fake);
      std::vector<uint8_t> edited = Replaced(program, c.icon);
      ExpectSameImages(ReadBack(edited), c.icon);
      ExpectSoundEdit(program, edited);
      if (c.check) c.check(edited);
    }
  }
}

void SetDirectory(std::vector<uint8_t>& file, int index, uint32_t rva, uint32_t size) {
  size_t optional = ByteView(file).U32(0x3C) + 24;
  size_t table = optional + (ByteView(file).U16(optional) == 0x20B ? 112 : 96);
  Store32(file, table + 8 * index, rva);
  Store32(file, table + 8 * index + 4, size);
}

TEST(ProgramIcon, RefusesProgramsItCannotEditSayingWhy) {
  const std::vector<IconImage> large = {BitmapImage(128, 128, 32, 0x102030)};
  struct Case {
    const char* name;
    std::function<void(FakeProgram&)> arrange;
    std::function<void(std::vector<uint8_t>&)> damage;
    std::string error;
  };
  auto resources_at = [](const std::vector<uint8_t>& file) {
    PeImage image = Parsed(file);
    return image.AtRva(image.directory(kDirectoryResources).rva, 16).data() - file.data();
  };
  const Case cases[] = {
      {"not a program", nullptr,
       [](auto& f) {
         f.assign({'h', 'e', 'l', 'l', 'o'});
       },
       "is not a Windows program (no MZ header)"},
      {"MS-DOS only", nullptr, [](auto& f) { f[0x40] = 'X'; },
       "is not a Windows program (no PE header)"},
      {"PE header past the end", nullptr, [](auto& f) { Store32(f, 0x3C, 0x7FFFFFF0); },
       "is not a Windows program (no PE header)"},
      {"unknown optional header", nullptr, [](auto& f) { Store16(f, 0x40 + 24, 0x107); },
       "is not a Windows program (optional header magic 263)"},
      {"no sections", nullptr, [](auto& f) { Store16(f, 0x40 + 6, 0); },
       "is a damaged Windows program (0 sections)"},
      {"a section past the end", nullptr, [](auto& f) { f.resize(f.size() - 0x200); },
       "is a damaged Windows program (section .reloc lies outside the file or over the headers)"},
      {"signed", [](FakeProgram& p) { p.signature = true; }, nullptr,
       "is signed, and a new icon would break its signature"},
      {"no resources", [](FakeProgram& p) { p.sections.erase(p.sections.begin() + 1); }, nullptr,
       "has no resource section of its own to put an icon in"},
      {"data after the resources",
       [](FakeProgram& p) {
         p.sections.push_back({".data", 0xC0000040, std::vector<uint8_t>(64, 7)});
       },
       nullptr,
       "has its section .data after its resources, where it cannot be moved to make room for the "
       "icon"},
      {"imports after the resources", nullptr,
       [](auto& f) {
         PeImage image = Parsed(f);
         SetDirectory(f, 1, image.sections().back().rva, 16);
       },
       "has its import table after its resources, where it cannot be moved to make room for the "
       "icon"},
      {"a directory inside the resources", nullptr,
       [](auto& f) { SetDirectory(f, 1, Parsed(f).directory(kDirectoryResources).rva + 8, 16); },
       "has its import table inside its resource section"},
      {"icon groups stored as data in place of a list (found by fuzzing)",
       [](FakeProgram& p) {
         ResourceNode* groups = p.resources.Find(ResourceId::Number(kResourceIconGroup));
         groups->children.clear();
         groups->is_data = true;
       },
       nullptr, "is a damaged Windows program (its icon resources are not lists of names)"},
      {"a resource directory that contains itself", nullptr,
       [&](auto& f) { Store32(f, resources_at(f) + 16 + 4, 0x80000000u); },
       "is a damaged Windows program (its resources reach one part twice)"},
      {"resource data outside the file", nullptr,
       [&](auto& f) {
         // The first data entry follows the directories; make its data run off the image.
         PeImage image = Parsed(f);
         ResourceNode root;
         std::string error;
         ReadResources(image, &root, &error);
         size_t directories = 0;
         std::function<void(const ResourceNode&)> count = [&](const ResourceNode& node) {
           if (node.is_data) return;
           directories += 16 + 8 * node.children.size();
           for (const ResourceNode& child : node.children) count(child);
         };
         count(root);
         Store32(f, resources_at(f) + directories + 4, 0x7FFFFFF0);
       },
       "is a damaged Windows program (its resources hold data outside the file)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeProgram fake = FakeProgram::Typical(false);
    if (c.arrange) c.arrange(fake);
    std::vector<uint8_t> program = BuildProgram(fake);
    if (c.damage) c.damage(program);
    std::vector<uint8_t> edited = {1, 2, 3};
    std::string error;
    EXPECT_FALSE(ReplaceProgramIcon(ByteView(program), large, &edited, &error));
    EXPECT_EQ(error, c.error);
  }
}

// The reader of a Windows build, next to this build's folder.
fs::path BuiltReader(const char* build) {
  return fs::path(BRISOMEL_BUILD_DIR) / ".." / build / "brisomel.exe";
}

class RealReader : public ::testing::TestWithParam<const char*> {};

TEST_P(RealReader, TakesAnIconOfEverySizeAndKeepsTheRest) {
  fs::path path = BuiltReader(GetParam());
  if (!fs::exists(path)) GTEST_SKIP() << "no reader built at " << path.string();
  std::vector<uint8_t> reader = testing::ReadFile(path);
  // A large bitmap makes the resources grow, so the sections after them must move.
  std::vector<IconImage> icon = ThreeSizes();
  icon.push_back(BitmapImage(256, 256, 32, 0x808080));
  std::vector<uint8_t> edited = Replaced(reader, icon);
  ExpectSameImages(ReadBack(edited), icon);
  ExpectSoundEdit(reader, edited);
  EXPECT_GT(edited.size(), reader.size() + 200000);
  std::vector<PatternMatch> before = FindSearchPattern(reader), after = FindSearchPattern(edited);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(after[0].offset, before[0].offset);

  // Shrinking again lands exactly where a direct edit does.
  std::vector<IconImage> small = {BitmapImage(16, 16, 4, 0xF80000)};
  EXPECT_EQ(Replaced(edited, small), Replaced(reader, small));
}

INSTANTIATE_TEST_SUITE_P(Builds, RealReader, ::testing::Values("win32", "win64"));

#ifdef _WIN32

// The colour of the top-left pixel of an icon as Windows draws it.
COLORREF DrawnColour(HICON icon, int size) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  COLORREF colour = GetPixel(dc, size / 2, size / 2);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return colour;
}

COLORREF AsColorref(uint32_t rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

TEST(WindowsReadsTheIcon, LoadsEachSizeAndStartsTheProgram) {
  fs::path path = fs::path(BRISOMEL_BUILD_DIR) / "brisomel.exe";
  if (!fs::exists(path)) GTEST_SKIP() << "no reader built at " << path.string();
  std::vector<IconImage> icon = ThreeSizes();
  testing::ScratchDir dir;
  fs::path edited = dir.Write("edited.exe", Replaced(testing::ReadFile(path), icon));

  // Windows chooses the image of each size from the group and draws it in its colour.
  HMODULE module = LoadLibraryExW(edited.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  for (const IconImage& image : icon) {
    SCOPED_TRACE(image.width);
    HICON loaded = static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, image.width, image.width, 0));
    ASSERT_NE(loaded, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(loaded, &info));
    BITMAP bits{};
    GetObjectW(info.hbmMask, sizeof bits, &bits);
    EXPECT_EQ(bits.bmWidth, image.width);
    EXPECT_EQ(DrawnColour(loaded, image.width), AsColorref(testing::SolidColour(image)));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(loaded);
  }
  FreeLibrary(module);

  // The shell's extraction reads the file's resources on its own.
  EXPECT_EQ(ExtractIconExW(edited.c_str(), -1, nullptr, nullptr, 0), 1u);
  HICON large = nullptr, small = nullptr;
  EXPECT_EQ(ExtractIconExW(edited.c_str(), 0, &large, &small, 1), 2u);
  if (large != nullptr) DestroyIcon(large);
  if (small != nullptr) DestroyIcon(small);

  // The edited program still loads and runs until it waits for input.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + edited.wstring() + L"\"";
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             dir.path().c_str(), &startup, &process));
  EXPECT_EQ(WaitForInputIdle(process.hProcess, 60000), 0u);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  EXPECT_EQ(status, STILL_ACTIVE);
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

#endif

}  // namespace
}  // namespace brisomel::pack
