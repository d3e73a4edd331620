// PAGE -o OUT.png | PAGE --dump | PAGE --submit [N], with [--width N] [--test-font]: parses an
// HTML page (or a text file, by its ".txt" extension, as preformatted lines), lays it out for
// width N from Y 0 with the viewer's defaults (base size 12, "Times New Roman" and "Courier
// New", silver background), and either writes a picture of it with margins of 10 pixels left
// and right and 5 above and below, prints the layout dump, or prints what form N would submit
// with its controls in their initial state, as by its first submit button. Images are read
// relative to the page's folder; form controls are the in-memory ones, drawn on the picture.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "html/document/document_builder.h"
#include "html/document/form_controls.h"
#include "html/document/section_list.h"
#include "html/images/image_module.h"
#include "modes.h"
#include "page_setup.h"
#include "platform/charset.h"
#include "platform/headless/memory_controls.h"
#include "platform/headless/png_writer.h"
#include "platform/headless/software_canvas.h"
#include "read_only_files.h"
#include "settings/reading_state.h"
#include "text/utf.h"

namespace brisomel::render {
namespace {

constexpr int kMarginWidth = 10;
constexpr int kMarginHeight = 5;
constexpr int kMaxWidth = 20000;
// Taller documents are cut: the picture stays a bounded size.
constexpr int kMaxPictureHeight = 30000;

int Usage() {
  std::fprintf(stderr,
               "usage: brisomel-render PAGE -o OUT.png [--width N] [--zoom N] [--test-font]\n"
               "       brisomel-render PAGE --dump [--width N] [--test-font]\n"
               "       brisomel-render PAGE -o OUT.png [--height N] [--scroll Y] [--width N]\n"
               "       brisomel-render PAGE --find TEXT [--match-case] [--width N]\n"
               "       brisomel-render PAGE --submit [N] [--width N] [--test-font]\n"
               "       brisomel-render PAGE --print OUT-%%d.png [--dpi N] [--pages FROM-TO]\n");
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
    } else if (a == "--zoom") {
      if (!ReadNumber(args, i, kMinZoom, kMaxZoom, o.zoom)) return false;
    } else if (a == "--height") {
      if (!ReadNumber(args, i, 1, kMaxPictureHeight, o.height)) return false;
    } else if (a == "--scroll") {
      if (!ReadNumber(args, i, 0, kMaxDocumentY, o.scroll)) return false;
      o.scrolled = true;
    } else if (a == "--find" && i + 1 < args.size()) {
      o.find = args[++i];
      o.finding = true;
    } else if (a == "--print" && i + 1 < args.size()) {
      o.print = args[++i];
      if (o.print.find("%d") == std::string::npos) return false;
    } else if (a == "--dpi") {
      if (!ReadNumber(args, i, 50, 1200, o.dpi)) return false;
    } else if (a == "--pages" && i + 1 < args.size()) {
      const std::string range = args[++i];
      const size_t dash = range.find('-');
      if (dash == std::string::npos) return false;
      try {
        size_t used = 0;
        o.from_page = std::stoi(range.substr(0, dash), &used);
        if (used != dash) return false;
        o.to_page = std::stoi(range.substr(dash + 1), &used);
        if (used != range.size() - dash - 1) return false;
      } catch (...) {
        return false;
      }
      if (o.from_page < 1 || o.to_page < o.from_page) return false;
    } else if (a == "--match-case") {
      o.match_case = true;
    } else if (a == "--test-font") {
      o.test_font = true;
    } else if (a == "--dump") {
      o.dump = true;
    } else if (a == "--submit") {
      o.submit = 0;
      if (i + 1 < args.size() && !args[i + 1].empty() &&
          args[i + 1].find_first_not_of("0123456789") == std::string::npos) {
        try {
          o.submit = std::stoi(args[++i]);
        } catch (...) {
          return false;
        }
      }
    } else if (!a.empty() && a[0] != '-' && o.page.empty()) {
      o.page = a;
    } else {
      return false;
    }
  }
  return !o.page.empty() &&
         (o.dump || o.finding || o.submit >= 0 || !o.out.empty() || !o.print.empty());
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

// What form `index` sends when its first submit button is pressed (without a submit button, as
// by Enter): "method=... action=... target=... enctype=..." and then one pair per line.
int PrintSubmission(TSectionList& list, int index) {
  if (index >= static_cast<int>(list.Forms.size())) {
    std::fprintf(stderr, "brisomel-render: the page has %d form(s), no form %d\n",
                 static_cast<int>(list.Forms.size()), index);
    return 1;
  }
  // The pairs come encoded as the page submits them; they print as UTF-8 text.
  const Encoding sent = OutputEncoding(list.PageEncoding);
  list.FormSubmitHandler =
      [sent](void*, const std::string& action, const std::vector<std::string>& results,
             const std::string& method, const std::string& enctype, const std::string& target) {
        std::printf("method=%s action=%s target=%s enctype=%s\n", method.c_str(), action.c_str(),
                    target.c_str(), enctype.c_str());
        for (const std::string& pair : results) {
          std::printf("%s\n", Utf16ToUtf8(DecodeBytes(pair, sent)).c_str());
        }
      };
  ThtmlForm& form = *list.Forms[static_cast<size_t>(index)];
  for (const auto& control : form.ControlList) {
    auto* button = dynamic_cast<TButtonFormControlObj*>(control.get());
    if (button && button->Kind == TButtonFormControlObj::bkSubmit) {
      button->Clicked();
      return 0;
    }
  }
  form.SubmitForm();
  return 0;
}

}  // namespace

int PageMode(const std::vector<std::string>& args) {
  PageOptions o;
  if (!ParseOptions(args, o)) return Usage();
  if (!o.finding && IsFrameSetPage(o.page)) return FrameSetPage(o);
  // The viewer's own screen, or its find.
  if (!o.print.empty()) return PrintPage(o);
  if (o.height > 0 || o.scrolled || o.finding) return ViewerPage(o);

  std::ifstream in(o.page, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "brisomel-render: cannot read %s\n", o.page.c_str());
    return 1;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  std::shared_ptr<GlyphSource> glyphs = PageGlyphs(o.test_font);
  if (!glyphs) return 1;
  SoftwareCanvas screen(1, 1, glyphs);
  ReadOnlyFiles files;
  TImageModule images(32);
  MemoryControls controls;
  TDocumentServices services;
  services.WindowControls = &controls;
  services.Screen = &screen;
  services.ImageModule = &images;
  services.FileSystem = &files;

  TSectionList list(services);
  list.SetFonts("Times New Roman", "Courier New", 12, 0, 0xFF0000, 0xC0C0C0);
  list.Zoom = o.zoom;
  const std::string folder = [&] {
    const size_t slash = o.page.find_last_of('/');
    return slash == std::string::npos ? std::string() : o.page.substr(0, slash + 1);
  }();
  list.ExpandName = [folder](std::u16string_view name) {
    const std::string path = ToPosix(Utf16ToUtf8(name));
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
  if (o.submit >= 0) return PrintSubmission(list, o.submit);

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
  // The window controls lie over the page, where painting placed them.
  controls.Paint(canvas);
  if (!WritePng(canvas.surface(), o.out)) {
    std::fprintf(stderr, "brisomel-render: cannot write %s\n", o.out.c_str());
    return 1;
  }
  return 0;
}

}  // namespace brisomel::render
