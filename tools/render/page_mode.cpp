// PAGE -o OUT.png | PAGE --dump, with [--width N] [--test-font]: parses an HTML page (or a text
// file, by its ".txt" extension, as preformatted lines), lays it out for width N from Y 0 with
// the viewer's defaults (base size 12, "Times New Roman" and "Courier New", silver
// background), and either writes a picture of it with margins of 10 pixels left and right and
// 5 above and below, or prints the layout dump. Images are read relative to the page's folder.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "html/document/section_list.h"
#include "html/images/image_module.h"
#include "html/reader/document_builder.h"
#include "modes.h"
#include "platform/headless/glyph_source.h"
#include "platform/headless/png_writer.h"
#include "platform/headless/software_canvas.h"
#include "read_only_files.h"

namespace brisomel::render {
namespace {

constexpr int kMarginWidth = 10;
constexpr int kMarginHeight = 5;
constexpr int kMaxWidth = 20000;
// Taller documents are cut: the picture stays a bounded size.
constexpr int kMaxPictureHeight = 30000;

int Usage() {
  std::fprintf(stderr,
               "usage: brisomel-render PAGE -o OUT.png [--width N] [--test-font]\n"
               "       brisomel-render PAGE --dump [--width N] [--test-font]\n"
               "       brisomel-render PAGE -o OUT.png [--height N] [--scroll Y] [--width N]\n"
               "       brisomel-render PAGE --find TEXT [--match-case] [--width N]\n");
  return 2;
}

bool ReadNumber(const std::vector<std::string>& args, size_t& i, int low, int high, int& value) {
  if (i + 1 >= args.size()) return false;
  try {
    value = std::stoi(args[++i]);
  } catch (...) {
    return false;
  }
  return value >= low && value <= high;
}

bool ParseOptions(const std::vector<std::string>& args, PageOptions& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o" && i + 1 < args.size()) {
      o.out = args[++i];
    } else if (a == "--width" && i + 1 < args.size()) {
      try {
        o.width = std::stoi(args[++i]);
      } catch (...) {
        return false;
      }
      if (o.width < 1 || o.width > kMaxWidth) return false;
    } else if (a == "--height") {
      if (!ReadNumber(args, i, 1, kMaxPictureHeight, o.height)) return false;
    } else if (a == "--scroll") {
      if (!ReadNumber(args, i, 0, kMaxDocumentY, o.scroll)) return false;
      o.scrolled = true;
    } else if (a == "--find" && i + 1 < args.size()) {
      o.find = args[++i];
      o.finding = true;
    } else if (a == "--match-case") {
      o.match_case = true;
    } else if (a == "--test-font") {
      o.test_font = true;
    } else if (a == "--dump") {
      o.dump = true;
    } else if (!a.empty() && a[0] != '-' && o.page.empty()) {
      o.page = a;
    } else {
      return false;
    }
  }
  return !o.page.empty() && (o.dump || o.finding || !o.out.empty());
}

bool HasTextExtension(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return ext == ".txt";
}

// The page's lines for the plain-text reader.
std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

int PageMode(const std::vector<std::string>& args) {
  PageOptions o;
  if (!ParseOptions(args, o)) return Usage();
  if (!o.finding && IsFrameSetPage(o.page)) return FrameSetPage(o);
  // The viewer's own screen, or its find.
  if (o.height > 0 || o.scrolled || o.finding) return ViewerPage(o);

  std::ifstream in(o.page, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "brisomel-render: cannot read %s\n", o.page.c_str());
    return 1;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  std::shared_ptr<GlyphSource> glyphs;
  if (o.test_font) {
    glyphs = std::make_shared<TestGlyphSource>();
  } else {
    glyphs = MakeFreeTypeGlyphSource();
    if (!glyphs) {
      std::fprintf(stderr, "brisomel-render: FreeType fonts unavailable; use --test-font\n");
      return 1;
    }
  }
  SoftwareCanvas screen(1, 1, glyphs);
  ReadOnlyFiles files;
  TImageModule images(32);
  TDocumentServices services;
  services.Screen = &screen;
  services.ImageModule = &images;
  services.FileSystem = &files;

  TSectionList list(services);
  list.SetFonts("Times New Roman", "Courier New", 12, 0, 0xFF0000, 0xC0C0C0);
  const std::string folder = [&] {
    const size_t slash = o.page.find_last_of('/');
    return slash == std::string::npos ? std::string() : o.page.substr(0, slash + 1);
  }();
  list.ExpandName = [folder](const std::string& name) {
    const std::string path = ToPosix(name);
    return !path.empty() && path[0] == '/' ? path : folder + path;
  };

  TDocumentParser parser(list);
  try {
    if (HasTextExtension(o.page))
      parser.Parser.ParsePlainTextStrings(SplitLines(bytes));
    else
      parser.Parser.ParseHtmlBuffer(bytes.data(), bytes.size());
  } catch (const EParseError& e) {
    // As the viewer's file load does: the document built so far stays.
    std::fprintf(stderr, "brisomel-render: %s\n", e.what());
  }

  const int32_t height = list.DoLayout(screen, o.width);
  if (o.dump) {
    std::fputs(DumpLayout(list).c_str(), stdout);
    return 0;
  }

  int picture_height = static_cast<int>(std::min<int64_t>(
      static_cast<int64_t>(std::max(height, 0)) + 2 * kMarginHeight, kMaxPictureHeight));
  if (picture_height == kMaxPictureHeight)
    std::fprintf(stderr, "brisomel-render: picture cut at %d pixels of %d\n", kMaxPictureHeight,
                 height + 2 * kMarginHeight);
  const int picture_width = o.width + 2 * kMarginWidth;
  SoftwareCanvas canvas(picture_width, picture_height, glyphs);
  const Rect all{0, 0, picture_width, picture_height};
  canvas.FillRect(all, list.Background);
  list.Paint(canvas, all, o.width, kMarginWidth, kMarginHeight);
  if (!WritePng(canvas.surface(), o.out)) {
    std::fprintf(stderr, "brisomel-render: cannot write %s\n", o.out.c_str());
    return 1;
  }
  return 0;
}

}  // namespace brisomel::render
