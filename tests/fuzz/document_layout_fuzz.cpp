// Builds a document from fuzz bytes through the document model's own API (text, font runs,
// links, images with any attributes, floats, clears, list items, rules, spaces, preformatted
// lines), lays it out at a width from the input, paints it, and asks every position question.
// Nothing may crash, hang or grow without bound.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "html/document/section_list.h"
#include "html/document/simple_sections.h"
#include "html/document/text_section.h"
#include "html/images/image_module.h"
#include "platform/headless/no_files.h"
#include "platform/headless/recording_system.h"
#include "platform/headless/software_canvas.h"
#include "text/utf.h"

namespace {

using namespace brisomel;

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool empty() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  int Int(int lo, int hi) { return lo + (Byte() | Byte() << 8) % (hi - lo + 1); }
  // Up to 39 UTF-16 units: a byte below 0x80 is one unit (ASCII, with spaces, for lines to break
  // at), a higher one is the high byte of a unit whose low byte follows (CJK, Hangul, lone
  // surrogates, specials).
  std::u16string Text() {
    size_t n = Byte() % 40;
    std::u16string s;
    for (size_t i = 0; i < n && pos_ < size_; ++i) {
      const uint8_t b = data_[pos_++];
      s.push_back(b < 0x80 ? char16_t(b) : char16_t(b << 8 | Byte()));
    }
    return s;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

const TSymbol kImageAttrs[] = {symSrc,    symAlt,    symAlign, symBorder, symWidth,
                               symHeight, symTransp, symIsmap, symUsemap, symHspace};
const char* const kValues[] = {"left", "right", "middle", "top",      "50%",      "0",
                               "-30",  "150%",  "7",      "200",      "99999999", "#m",
                               "pic",  "none",  "1%",     "absmiddle"};

TAttributeList RandomAttrs(Input& in, const TSymbol* symbols, int count) {
  TAttributeList list;
  int n = in.Byte() % 5;
  for (int i = 0; i < n; ++i) {
    TSymbol sym = symbols[in.Byte() % count];
    std::string text = kValues[in.Byte() % std::size(kValues)];
    list.Add(std::make_unique<TAttribute>(sym, Utf8ToUtf16(text), std::atoi(text.c_str())));
  }
  return list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  static SoftwareCanvas screen(8, 8);
  static TImageModule module(24);
  static RecordingSystem system;
  static NoFiles files;
  TSectionList list(TDocumentServices{&screen, &system, &module, &files});
  list.ImageHandlers.bitmap_request = [](const std::string& source, int32_t&) {
    if (source != "pic") return std::unique_ptr<Bitmap>();
    return std::make_unique<Bitmap>(Bitmap::Rgb32(30, 12, 0x123456));
  };
  auto map = std::make_unique<TMapItem>();
  map->SetName(u"m");
  list.Maps.push_back(std::move(map));
  TMyFont font;
  font.SetRelSize(list, 12);
  std::unique_ptr<TSection> current;
  auto close = [&] {
    if (current) list.Add(std::move(current));
  };
  int ops = 0;
  while (!in.empty() && ops++ < 400) {
    if (!current)
      current = std::make_unique<TSection>(list, in.Int(0, 4), in.Int(1, 3), nullptr, font);
    switch (in.Byte() % 14) {
      case 0:
      case 1:
      case 2:
        current->AddText(in.Text());
        break;
      case 3: {
        TMyFont f(font);
        f.SetRelSize(list, in.Int(1, 40));
        f.SetStyle(in.Byte() & 15);
        list.SubSupState = in.Byte() % 3;
        current->ChangeFont(f);
        break;
      }
      case 4: {
        TUrlTarget t{u"u" + AsciiToUtf16(std::to_string(in.Byte())), u""};
        current->HRef(in.Byte() & 1 ? symHref : symAEnd, font, &t);
        break;
      }
      case 5:
      case 6:
        current->AddImage(RandomAttrs(in, kImageAttrs, std::size(kImageAttrs)), &list);
        break;
      case 7: {
        TAttributeList a;
        a.Add(std::make_unique<TAttribute>(symClear, AsciiToUtf16(kValues[in.Byte() % 3]), 0));
        current->ProcessClear(a);
        break;
      }
      case 8:
        current->CheckEmpty();
        close();
        break;
      case 9: {
        close();
        const TSymbol hr[] = {symSize, symWidth, symAlign, symNoshade, symColor};
        list.Add(std::make_unique<THorzLine>(&list, RandomAttrs(in, hr, 5)));
        break;
      }
      case 10:
        close();
        list.Add(std::make_unique<TParagraphSpace>(&list));
        list.Add(std::make_unique<THeadingSpace>(&list, in.Int(0, 8)));
        break;
      case 11: {
        close();
        int kind = in.Byte() % 3, level = in.Int(0, 30);
        if (kind == 0)
          current = std::make_unique<TUListItem>(list, level, nullptr, font, in.Byte() & 1);
        if (kind == 1)
          current = std::make_unique<TOListItem>(list, level, nullptr, font, "AaIi1"[in.Byte() % 5],
                                                 in.Int(-5, 40));
        if (kind == 2) current = std::make_unique<TDListItem>(list, level, nullptr, font);
        break;
      }
      case 12: {
        close();
        auto pre = std::make_unique<TPreFormated>(list, in.Int(0, 3), font);
        pre->AddText(in.Text());
        list.Add(std::move(pre));
        break;
      }
      default:
        close();
        list.Add(std::make_unique<TPage>(&list));
        break;
    }
  }
  close();
  int width = in.Int(0, 1200);
  list.ShowImages = in.Byte() != 7;
  int32_t height = list.DoLayout(screen, width);
  SoftwareCanvas canvas(160, 120);
  list.SelB = in.Int(0, 3000);
  list.SelE = in.Int(0, 3000);
  list.SetYOffset(in.Int(0, 2000));
  list.Paint(canvas, Rect{0, 0, 160, 120}, width, 0, 0);
  list.Printing = true;
  list.Paint(canvas, Rect{0, 0, 160, height > 0 ? height : 1}, width, 0, 0);
  list.Printing = false;
  for (int i = 0; i < 8; ++i) {
    int x = in.Int(-20, 1300), y = in.Int(-20, 3000);
    TUrlTarget t;
    TFormControlObj* c = nullptr;
    list.LinkAt(canvas, x, y, t, c);
    TImageObj* obj;
    int32_t ix, iy, xr, yr, caret;
    list.ImageAt(x, y, obj, ix, iy);
    TCell* cell = nullptr;
    bool in_text;
    list.PositionAt(canvas, x, y, xr, yr, caret, cell, in_text);
    list.PositionToPoint(canvas, in.Int(0, 3000), xr, yr);
    char16_t ch;
    TSectionBase* sobj;
    list.CharAt(in.Int(0, 3000), ch, sobj);
  }
  list.FindString(in.Int(0, 100), in.Text() + u"x", in.Byte() & 1);
  list.SelectionLength();
  list.SelectedText();
  auto copy = list.CreateCopy();
  copy->DoLayout(screen, width / 2);
  DumpLayout(*copy);
  return 0;
}
