// The HTML parser: a recursive-descent reader over the tokenizer's symbols that builds a
// document through TParseTarget. There is no element tree: nesting of blocks (lists, block
// quotes, centred blocks) follows the recursion, nesting of inline styles a stack of fonts
// and a set of extra style flags. Bad markup never fails: unknown and misplaced tags are
// skipped, and at the end of input every open block is closed as if its end tag had come.
//
// Reading notes:
// - Style tags (B, I, U, S and kin) push no font, so they do not nest: the first end tag
//   switches the style off.
// - Runs of P tags give one paragraph space; the tokenizer's paragraph latch stops a second
//   one until content arrives.
// - Block nesting deeper than kMaxNesting reads as if the deeper opening tags were absent, so a
//   hostile page cannot overflow the stack; their end tags then close outer blocks.
// - Tables nest through the recursion too: a cell's content is read as a body that ends at the
//   next cell, row, caption or table end tag. Inline state (links, fonts, styles) does not
//   leak from one cell into the next.
//
// One parser object serves one parse at a time; event handlers must not start another parse
// on the same object.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/reader/parse_target.h"
#include "html/reader/text_utils.h"
#include "html/reader/tokenizer.h"
#include "platform/files.h"
#include "text/utf.h"

namespace brisomel {

// BGSOUND: the sound's source, how often it plays, and whether playing should stop instead.
using TSoundType =
    std::function<void(void* Sender, const std::string& SRC, int Loop, bool Terminate)>;
// META: its HTTP-EQUIV, NAME and CONTENT texts (empty when absent).
using TMetaType = std::function<void(void* Sender, const std::string& HttpEq,
                                     const std::string& Name, const std::string& Content)>;
// SCRIPT: the LANGUAGE text and the script's text, lines ended by CR LF.
using TParserScriptHandler =
    std::function<void(void* Sender, const std::string& Language, const std::string& Script)>;

class THtmlParser {
 public:
  static constexpr int kMaxFonts = 25;         // the font stack, base font included
  static constexpr int kMaxNesting = 200;      // lists, block quotes and centred blocks
  static constexpr size_t kPendingText = 200;  // preformatted text is handed on past this
  static constexpr size_t kMaxFaceLength = 50;

  explicit THtmlParser(TParseTarget& document);
  THtmlParser(const THtmlParser&) = delete;
  THtmlParser& operator=(const THtmlParser&) = delete;

  // The control that owns the document; every event receives it first.
  void* Sender = nullptr;
  TSoundType OnSoundRequest;
  TMetaType OnMeta;
  TIncludeType OnInclude;
  TParserScriptHandler OnScript;
  // Called now and then while a long page is read (see Tokenizer::OnProgress).
  std::function<void()> OnProgress;

  // HTML entry points. The file entry point keeps what was built when the input ends inside a
  // comment; the others pass that EParseError on after closing what was open. A file that
  // cannot be opened gives an empty document and false.
  bool ParseHtmlFile(Files& files, const std::string& name);
  void ParseHtmlBuffer(const char* data, size_t size);
  void ParseHtmlStrings(const std::vector<std::string>& lines);
  void ParseHtmlStream(TInputStream& stream);
  // Plain text, one preformatted section per line; no tags or references are recognised.
  bool ParsePlainTextFile(Files& files, const std::string& name);
  void ParsePlainTextStrings(const std::vector<std::string>& lines);

  // Results of the last parse.
  const std::u16string& Title() const { return title_; }
  const std::u16string& Base() const { return base_; }
  const std::u16string& BaseTarget() const { return base_target_; }
  // The encoding the page was decoded from (what its forms submit in).
  Encoding PageEncoding() const { return tok_.PageEncoding(); }

  // Read by the document model while a parse runs.
  TParseState State;

 private:
  using TSymbolSet = std::bitset<kSymbolCount>;

  void RunHtml(const std::function<void()>& set_input, bool catch_parse_error);
  void RunPlainText(const std::function<void()>& set_input, bool catch_parse_error);
  void Setup();
  void Finish();

  // Blocks.
  void ParseBody(int level, const TSymbolSet& terminators);
  void ParseCommon(int level);
  void ParseList(int level, TSymbol list, const TSymbolSet& terminators);
  void ParsePre(int level);
  void ReadPlainText();
  void ParseParagraphs(int level);
  void ParseCentered(int level, const TSymbolSet& terminators);
  void ParseTable(int level);

  // Inline state.
  bool PushFont();
  void PopFont();
  TMyFont& TopFont() { return *fonts_.back(); }
  void SetFixedPitch(TMyFont& font);
  void StartLink(const TAttribute& href);
  void EndLink();
  void AddName();
  void ChangeStyle(TSymbol symbol);
  bool ParseFontAttributes(TSymbol symbol, bool preformatted);
  bool ParseBigSmall(TSymbol symbol);
  void FontChanged();

  // Sections.
  void EnsureSection(int level);
  void CloseSection();
  void NewSection(int level, TParseAlign align, bool preformatted = false);
  TParseAlign ParagraphAlign() const;
  const TUrlTarget* Link() const { return in_href_ ? &url_target_ : nullptr; }

  // Forms: FORM and its end, INPUT, SELECT with its options, TEXTAREA with its text.
  void ParseFormElement(int level);
  void ParseSelectOptions(TParseControl* control);
  void ParseTextArea(TParseControl* control);

  // Elements read whole.
  void ParseMap();
  void ParseScript();
  void RequestSound();
  void ReportMeta();

  bool CanNest() const { return depth_ < kMaxNesting; }

  TParseTarget& document_;
  Tokenizer tok_;
  std::vector<std::unique_ptr<TMyFont>> fonts_;
  std::unique_ptr<TParseSection> section_;
  TUrlTarget url_target_;
  bool in_href_ = false;
  TParseAlign default_align_ = paLeft;
  int base_font_size_ = 3;
  int depth_ = 0;
  std::u16string title_;
  std::u16string base_, base_target_;
};

}  // namespace brisomel
