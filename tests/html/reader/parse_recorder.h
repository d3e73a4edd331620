// A TParseTarget that writes what the parser builds as one line of text, so parser tests can
// compare whole documents with a short expected string:
//   sections   T (text), R (preformatted), O (ordered item), U (unordered item), D (definition
//              item), then the level and the alignment (- l c r), then the font when it is not
//              the plain base font, then ":" and the content; empty sections are left out;
//   content    "text", {font} at a font change, <a url> and </a>, <br clear>, <img src>;
//   fonts      relative size, then b i u s for styles (extra styles included), f for fixed
//              pitch, _ and ^ for sub- and superscript, #rrggbb for a colour other than black;
//   others     para, head<level>, hr, page;
//   tables     table{<caption>/ <rows>} with the caption as ^(...) above or v(...) below, rows
//              [<cells>] and cells (<valign t m b>:<items>), items of a cell joined by ", ";
// joined by " | ".
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "html/reader/parse_target.h"
#include "text/utf.h"
#include "text/windows_1252.h"

namespace brisomel::testing_support {

inline std::string FontText(const TMyFont& font, uint8_t extra, uint8_t subsup) {
  std::string s = std::to_string(font.RelSize);
  const uint8_t style = font.Style() | extra;
  if (style & kFontBold) s += 'b';
  if (style & kFontItalic) s += 'i';
  if (style & kFontUnderline) s += 'u';
  if (style & kFontStrikeOut) s += 's';
  if (font.FixedPitch) s += 'f';
  if (subsup == 1) s += '_';
  if (subsup == 2) s += '^';
  const Color color = font.FontColor() & 0xFFFFFF;
  if (color != 0) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02x%02x%02x", RedOf(color), GreenOf(color), BlueOf(color));
    s += hex;
  }
  return s;
}

class RecordedSection : public TParseSection {
 public:
  RecordedSection(char kind, int level, TParseAlign align, const TMyFont& font,
                  const TParseState& state, const std::string& marker = "")
      : state_(state), align_(align), empty_(marker.empty()) {
    header_ = std::string(1, kind) + std::to_string(level) + "-lcr"[align] + marker;
    const std::string f = FontText(font, state.ExtraStyle, 0);
    if (f != "12") header_ += "[" + f + "]";
    font_ = f;
  }
  void AddText(std::u16string_view text) override {
    content_ += "\"" + Utf16ToWindows1252Lossy(text) + "\"";
    empty_ = false;
  }
  void ChangeFont(const TMyFont& font) override {
    const std::string f = FontText(font, state_.ExtraStyle, state_.SubSupState);
    if (f != font_) content_ += "{" + f + "}";
    font_ = f;
  }
  void HRef(TSymbol which, const TMyFont& font, const TUrlTarget* link) override {
    if (which == symHref)
      content_ += "<a " + Utf16ToUtf8(link->Url) +
                  (link->Target.empty() ? "" : " " + Utf16ToUtf8(link->Target)) + ">";
    else
      content_ += "</a>";
    font_ = FontText(font, state_.ExtraStyle, state_.SubSupState);
  }
  void ProcessBreak(const TAttributeList& attributes) override {
    const TAttribute* clear = attributes.Find(symClear);
    content_ += clear ? "<br " + Utf16ToUtf8(clear->Text) + ">" : "<br>";
    empty_ = false;
  }
  TParseAlign Align() const override { return align_; }
  void AddImage(const TAttributeList& attributes) override {
    const TAttribute* src = attributes.Find(symSrc);
    content_ += "<img " + (src ? Utf16ToUtf8(src->Text) : std::string()) + ">";
    empty_ = false;
  }

  bool Empty() const { return empty_; }
  std::string Text() const { return header_ + ":" + content_; }

 private:
  const TParseState& state_;
  TParseAlign align_;
  bool empty_;
  std::string header_, content_, font_;
};

// A container's items: the document's, a cell's or a caption's.
class RecordedCell : public TParseCell {
 public:
  explicit RecordedCell(std::vector<std::string>* items = nullptr, char valign = 'm')
      : items_(items ? items : &own_), valign_(valign) {}
  void Add(const std::string& item) {
    ++appended;
    items_->push_back(item);
  }
  std::string Text(const char* separator) const {
    std::string out;
    for (const std::string& item : *items_) out += (out.empty() ? "" : separator) + item;
    return out;
  }
  std::string CellText() const { return std::string("(") + valign_ + ":" + Text(", ") + ")"; }
  int appended = 0;

 private:
  std::vector<std::string> own_;
  std::vector<std::string>* items_;
  char valign_;
};

class RecordedRow : public TParseRow {
 public:
  void ProcessAttributes(const TAttributeList& attributes) override {
    if (const TAttribute* color = attributes.Find(symBgcolor))
      text_ += "bg=" + Utf16ToUtf8(color->Text);
  }
  void Add(std::unique_ptr<TParseCell> cell) override {
    text_ += static_cast<RecordedCell&>(*cell).CellText();
  }
  std::string Text() const { return "[" + text_ + "]"; }

 private:
  std::string text_;
};

class RecordedTable : public TParseTable {
 public:
  TParseContainer& Caption() override { return caption_; }
  void SetCaptionAtTop(bool top) override { top_ = top; }
  void AddRow(std::unique_ptr<TParseRow> row) override {
    rows_ += static_cast<RecordedRow&>(*row).Text();
  }
  std::string Text() const {
    std::string caption;
    if (caption_.appended > 0) caption = (top_ ? "^(" : "v(") + caption_.Text(", ") + ")";
    return "table{" + caption + rows_ + "}";
  }

 private:
  RecordedCell caption_;
  bool top_ = true;
  std::string rows_;
};

class ParseRecorder : public TParseTarget {
 public:
  // The parser's state, read when sections start font runs.
  const TParseState* State = nullptr;
  TFontSettings Fonts;
  Color Background = 0;
  std::string BackgroundImage;
  std::vector<std::string> Names;  // "NAME@item index"
  std::vector<std::unique_ptr<TMapItem>> Maps;
  std::vector<std::string> Items;

  const TFontSettings& Settings() const override { return Fonts; }
  void SetFontColor(Color color) override { Fonts.FontColor = color; }
  void SetHotSpotColor(Color color) override { Fonts.HotSpotColor = color; }
  void SetBackground(Color color) override { Background = color; }
  void SetBackgroundImage(const std::u16string& name) override {
    BackgroundImage = Utf16ToUtf8(name);
  }
  bool IsEmpty() const override { return !container_ || container_->appended == 0; }
  TParseContainer& Root() override { return root_; }
  TParseContainer* Container() const override { return container_; }
  void SetContainer(TParseContainer* container) override {
    container_ = static_cast<RecordedCell*>(container);
  }
  std::unique_ptr<TParseTable> NewTable(int, TParseContainer*, TParseAlign,
                                        const TAttributeList&) override {
    return std::make_unique<RecordedTable>();
  }
  std::unique_ptr<TParseRow> NewRow() override { return std::make_unique<RecordedRow>(); }
  std::unique_ptr<TParseCell> NewCell(const TAttributeList&, TParseVAlign valign) override {
    return std::make_unique<RecordedCell>(nullptr, "tmb"[valign]);
  }
  void AppendTable(std::unique_ptr<TParseTable> table) override {
    Add(static_cast<RecordedTable&>(*table).Text());
  }

  std::unique_ptr<TParseSection> NewSection(int level, TParseAlign align, const TUrlTarget*,
                                            const TMyFont& font, bool preformatted) override {
    return std::make_unique<RecordedSection>(preformatted ? 'R' : 'T', level, align, font, *State);
  }
  std::unique_ptr<TParseSection> NewListItem(TListKind kind, int level, const TUrlTarget*,
                                             const TMyFont& font, char numbering, int number,
                                             bool plain) override {
    char k = kind == TListKind::Ordered ? 'O' : kind == TListKind::Unordered ? 'U' : 'D';
    // An item is never empty: it shows its marker.
    std::string marker = "*";
    if (kind == TListKind::Ordered) marker = std::string(1, numbering) + std::to_string(number);
    if (plain) marker = "plain";
    return std::make_unique<RecordedSection>(k, level, paNone, font, *State, marker);
  }
  void Append(std::unique_ptr<TParseSection> section) override {
    if (!container_) return;
    auto* recorded = static_cast<RecordedSection*>(section.get());
    if (recorded->Empty()) {
      ++container_->appended;
    } else {
      container_->Add(recorded->Text());
    }
  }
  void AppendParagraphSpace() override { Add("para"); }
  void AppendHeadingSpace(int level) override { Add("head" + std::to_string(level)); }
  void AppendRule(const TAttributeList&) override { Add("hr"); }
  void AppendPage() override { Add("page"); }
  void Discard(std::unique_ptr<TParseSection>, TParseSection&) override { ++discarded; }
  int discarded = 0;
  void AddName(std::u16string_view name, TParseSection&) override {
    Names.push_back(Utf16ToWindows1252Lossy(name) + "@" + std::to_string(Items.size()));
  }
  void AddMap(std::unique_ptr<TMapItem> map) override { Maps.push_back(std::move(map)); }

  std::string Summary() const {
    std::string out;
    for (const std::string& item : Items) out += (out.empty() ? "" : " | ") + item;
    return out;
  }

 private:
  void Add(const std::string& item) {
    if (container_) container_->Add(item);
  }
  RecordedCell root_{&Items};
  RecordedCell* container_ = &root_;
};

}  // namespace brisomel::testing_support
