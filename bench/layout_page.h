// The 5 MB pages that the layout and viewer benchmarks share, and litehtml with a container of
// the test font's fixed metrics (every character advances (em + 1) / 2 pixels, plus 1 when
// bold; cell height em + em / 4) as the peer that lays it out.
#pragma once

#include <litehtml/litehtml.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace brisomel::bench {

constexpr int kWidth = 800;
constexpr size_t kPageSize = 5u << 20;

constexpr int kTables = 200;

// Table number t: 5 to 10 columns and 4 rows with a caption, a cell spanning two columns, one
// spanning two rows, a percentage column, and every fourth table a small table nested in a
// cell.
inline std::string Table(int t) {
  const int cols = 5 + t % 6;
  const std::string num = std::to_string(t);
  std::string p = "<TABLE BORDER=1 CELLPADDING=2" + std::string(t % 3 == 0 ? " WIDTH=90%" : "") +
                  "><CAPTION>Table " + num + "</CAPTION>\n<TR>";
  for (int c = 0; c < cols; ++c)
    p += "<TH" + std::string(c == 0 ? " WIDTH=20%" : "") + ">Head " + std::to_string(c);
  p += "\n<TR><TD COLSPAN=2>A cell over two columns with a few words";
  for (int c = 2; c < cols; ++c) p += "<TD>" + std::to_string(t * c);
  p += "\n<TR><TD ROWSPAN=2 VALIGN=top>Tall cell";
  for (int c = 1; c < cols; ++c) {
    p += "<TD>";
    if (c == 1 && t % 4 == 0) {
      p += "<TABLE BORDER=1><TR><TD>in<TD>ner<TR><TD COLSPAN=2>nested table</TABLE>";
    } else {
      p += "value " + std::to_string(c);
    }
  }
  p += "\n<TR>";
  for (int c = 1; c < cols; ++c) p += "<TD BGCOLOR=#E0E0FF>row four " + std::to_string(c);
  p += "\n</TABLE>\n";
  return p;
}

// A page of headings, paragraphs with styles, fonts and links, floating and inline images with
// sizes, nested lists and kTables tables spread over it, repeated to 5 MB.
inline const std::string& Page() {
  static const std::string page = [] {
    std::string p = "<HTML><HEAD><TITLE>Layout</TITLE></HEAD><BODY>\n";
    int n = 0, tables = 0;
    while (p.size() < kPageSize) {
      if (tables < kTables && n % 20 == 0) p += Table(tables++);
      ++n;
      const std::string num = std::to_string(n);
      p += "<H2>Chapter " + num + "</H2>\n";
      p += "<P>The reader opens the book at chapter " + num +
           " and finds <B>bold words</B>, <I>italic words</I> and a <A HREF=\"page" + num +
           ".htm\">link to another page</A> in the running text, which goes on for a while so "
           "that lines have to break at the width of the window.\n";
      p += "<IMG SRC=\"pic" + num +
           ".gif\" WIDTH=120 HEIGHT=80 ALIGN=left>"
           "Text flows beside the floating picture: <FONT SIZE=+1 COLOR=maroon>larger coloured "
           "words</FONT>, <TT>fixed pitch code</TT>, and more plain words after them to fill "
           "the lines beside and below the picture.\n";
      p += "<P ALIGN=center>A centred paragraph with an inline <IMG SRC=\"icon.gif\" WIDTH=16 "
           "HEIGHT=16> icon and <U>underlined</U> words.\n";
      p += "<UL><LI>First item with some words<LI>Second item<UL><LI>Nested item one"
           "<LI>Nested item two with <A HREF=\"x.htm\">a link</A></UL><LI>Third item</UL>\n";
      p += "<OL><LI>Step one<LI>Step two<LI>Step three</OL>\n";
      p += "<H3>Section " + num + ".1</H3><P>" +
           std::string("Short closing paragraph of the section with several words. ") + "\n";
      if (n % 10 == 0) p += "<HR>\n";
    }
    p += "</BODY></HTML>\n";
    return p;
  }();
  return page;
}

// A 5 MB UTF-8 page of Chinese and Russian text: headings, paragraphs of ideographs with no
// spaces (lines break between them) and of Cyrillic words, lists, and kTables tables whose cells
// hold both scripts, the same shape as Page().
inline std::string CjkTable(int t) {
  const int cols = 4 + t % 5;
  const std::string num = std::to_string(t);
  std::string p = "<TABLE BORDER=1 CELLPADDING=2" + std::string(t % 3 == 0 ? " WIDTH=90%" : "") +
                  "><CAPTION>表 " + num + " Таблица</CAPTION>\n<TR>";
  for (int c = 0; c < cols; ++c) p += "<TH>标题 " + std::to_string(c);
  p += "\n<TR><TD COLSPAN=2>跨两列的单元格，里面有几个词。Ячейка на два столбца";
  for (int c = 2; c < cols; ++c) p += "<TD>" + std::to_string(t * c);
  p += "\n<TR><TD ROWSPAN=2 VALIGN=top>高单元格";
  for (int c = 1; c < cols; ++c) p += "<TD>数值 " + std::to_string(c) + " значение";
  p += "\n<TR>";
  for (int c = 1; c < cols; ++c) p += "<TD BGCOLOR=#E0E0FF>第四行 " + std::to_string(c);
  p += "\n</TABLE>\n";
  return p;
}

inline const std::string& CjkPage() {
  static const std::string page = [] {
    std::string p =
        "<HTML><HEAD><META CHARSET=\"utf-8\"><TITLE>排版 Вёрстка</TITLE></HEAD><BODY>\n";
    int n = 0, tables = 0;
    while (p.size() < kPageSize) {
      if (tables < kTables && n % 20 == 0) p += CjkTable(tables++);
      ++n;
      const std::string num = std::to_string(n);
      p += "<H2>第" + num + "章 Глава " + num + "</H2>\n";
      p += "<P>读者在第" + num +
           "章打开这本书，在正文里看到<B>粗体的词</B>、<I>斜体的词</I>和一个<A HREF=\"page" +
           num +
           ".htm\">指向另一页的链接</A>。正文还要继续写下去，这样每一行都必须在窗口的宽度处"
           "断开，而中文的词与词之间没有空格，所以行可以在任何两个汉字之间断开。「引号」里的"
           "字也一样，但句号和逗号不会出现在行首。\n";
      p += "<P>Читатель открывает книгу на главе " + num +
           " и находит <B>жирные слова</B>, <I>курсивные слова</I> и <A HREF=\"x.htm\">ссылку "
           "на другую страницу</A> в тексте, который продолжается достаточно долго, чтобы "
           "строки переносились по ширине окна.\n";
      p += "<UL><LI>第一项有几个词<LI>Второй пункт<UL><LI>嵌套的第一项"
           "<LI>Вложенный пункт с <A HREF=\"x.htm\">ссылкой</A></UL><LI>第三项</UL>\n";
      p += "<H3>第" + num + ".1节</H3><P>这一节最后的短段落，有好几个词。Короткий абзац.\n";
      if (n % 10 == 0) p += "<HR>\n";
    }
    p += "</BODY></HTML>\n";
    return p;
  }();
  return page;
}

// --- litehtml ---

inline const char* const kMasterCss = R"(
html, address, blockquote, body, center, dd, div, dl, dt, form, h1, h2, h3, h4, h5, h6, hr,
ol, p, pre, ul, menu, dir { display: block }
li { display: list-item }
head, title, script, style, map { display: none }
body { margin: 10px 5px }
p { margin: 1em 0 }
h1 { font-size: 2em; font-weight: bold; margin: .67em 0 }
h2 { font-size: 1.5em; font-weight: bold; margin: .83em 0 }
h3 { font-size: 1.17em; font-weight: bold; margin: 1em 0 }
ul, ol { margin: 1em 0; padding-left: 40px }
ul { list-style-type: disc }
ol { list-style-type: decimal }
ul ul { margin: 0 }
b, strong { font-weight: bold }
i, em, cite, var, address { font-style: italic }
u { text-decoration: underline }
s, strike { text-decoration: line-through }
tt, code, kbd, samp, pre { font-family: monospace }
pre { white-space: pre }
center { text-align: center }
a[href] { color: #0000ff; text-decoration: underline }
hr { border: 1px inset; margin: .5em auto }
img { display: inline-block }
table { display: table; border-collapse: separate; border-spacing: 2px }
table[border] { border: 1px outset }
table[border] td, table[border] th { border: 1px inset }
tr { display: table-row }
td, th { display: table-cell; padding: 1px; vertical-align: middle }
th { font-weight: bold; text-align: center }
caption { display: table-caption; text-align: center }
)";

class FixedContainer : public litehtml::document_container {
 public:
  // `default_font_size` in pixels: 16, or 32 for the page at twice its size.
  explicit FixedContainer(int default_font_size = 16) : default_font_size_(default_font_size) {}
  struct Font {
    int advance;
  };

  litehtml::uint_ptr create_font(const litehtml::tchar_t*, int size, int weight,
                                 litehtml::font_style, unsigned int,
                                 litehtml::font_metrics* fm) override {
    const int em = size > 0 ? size : 1;
    if (fm) {
      fm->height = em + em / 4;
      fm->descent = em / 4;
      fm->ascent = fm->height - fm->descent;
      fm->x_height = em / 2;
      fm->draw_spaces = false;
    }
    fonts_.push_back(std::make_unique<Font>(Font{(em + 1) / 2 + (weight >= 600 ? 1 : 0)}));
    return reinterpret_cast<litehtml::uint_ptr>(fonts_.back().get());
  }
  void delete_font(litehtml::uint_ptr) override {}
  int text_width(const litehtml::tchar_t* text, litehtml::uint_ptr font) override {
    // Characters, not bytes: every UTF-8 byte but a continuation byte starts one.
    int characters = 0;
    for (const char* c = text; *c; ++c) characters += (static_cast<unsigned char>(*c) & 0xC0) != 0x80;
    return characters * reinterpret_cast<Font*>(font)->advance;
  }
  void draw_text(litehtml::uint_ptr, const litehtml::tchar_t*, litehtml::uint_ptr,
                 litehtml::web_color, const litehtml::position&) override {}
  int pt_to_px(int pt) const override { return pt * 96 / 72; }
  int get_default_font_size() const override { return default_font_size_; }
  const litehtml::tchar_t* get_default_font_name() const override { return "Times New Roman"; }
  void draw_list_marker(litehtml::uint_ptr, const litehtml::list_marker&) override {}
  void load_image(const litehtml::tchar_t*, const litehtml::tchar_t*, bool) override {}
  void get_image_size(const litehtml::tchar_t*, const litehtml::tchar_t*,
                      litehtml::size& sz) override {
    sz.width = 0;
    sz.height = 0;
  }
  void draw_background(litehtml::uint_ptr, const litehtml::background_paint&) override {}
  void draw_borders(litehtml::uint_ptr, const litehtml::borders&, const litehtml::position&,
                    bool) override {}
  void set_caption(const litehtml::tchar_t*) override {}
  void set_base_url(const litehtml::tchar_t*) override {}
  void link(const std::shared_ptr<litehtml::document>&, const litehtml::element::ptr&) override {}
  void on_anchor_click(const litehtml::tchar_t*, const litehtml::element::ptr&) override {}
  void set_cursor(const litehtml::tchar_t*) override {}
  void transform_text(litehtml::tstring&, litehtml::text_transform) override {}
  void import_css(litehtml::tstring&, const litehtml::tstring&, litehtml::tstring&) override {}
  void set_clip(const litehtml::position&, const litehtml::border_radiuses&, bool, bool) override {}
  void del_clip() override {}
  void get_client_rect(litehtml::position& client) const override {
    client.x = 0;
    client.y = 0;
    client.width = kWidth;
    client.height = 600;
  }
  std::shared_ptr<litehtml::element> create_element(
      const litehtml::tchar_t*, const litehtml::string_map&,
      const std::shared_ptr<litehtml::document>&) override {
    return nullptr;
  }
  void get_media_features(litehtml::media_features& media) const override {
    media.type = litehtml::media_type_screen;
    media.width = media.device_width = kWidth;
    media.height = media.device_height = 600;
    media.color = 8;
    media.color_index = 256;
    media.monochrome = 0;
    media.resolution = 96;
  }
  void get_language(litehtml::tstring& language, litehtml::tstring& culture) const override {
    language = "en";
    culture = "";
  }

 private:
  std::vector<std::unique_ptr<Font>> fonts_;
  int default_font_size_;
};

struct LitehtmlEngine {
  litehtml::context context;
  LitehtmlEngine() { context.load_master_stylesheet(kMasterCss); }

  int default_font_size = 16;

  int Run(const std::string& page) {
    FixedContainer container(default_font_size);
    auto document = litehtml::document::createFromString(page.c_str(), &container, &context);
    document->render(kWidth);
    return document->height();
  }
};

}  // namespace brisomel::bench
