// The parser's entry points, the body and common-element readers, and the section and font
// helpers they share. Lists, preformatted text and plain text are in parser_blocks.cpp; FONT,
// BIG/SMALL, MAP, SCRIPT, BGSOUND and META in parser_elements.cpp.
#include "html/reader/parser.h"

#include <array>

namespace brisomel {
namespace {

constexpr std::array<int, 7> kHeadingSizes = {12, 24, 18, 15, 12, 10, 8};  // by level 0..6

// The symbols ParseCommon reads.
constexpr std::bitset<kSymbolCount> CommonSet() {
  std::bitset<kSymbolCount> set;
  for (TSymbol s :
       {symP,       symPEnd,       symB,         symBEnd, symI,       symIEnd,       symEm,
        symEmEnd,   symStrong,     symStrongEnd, symU,    symUEnd,    symCite,       symCiteEnd,
        symVar,     symVarEnd,     symS,         symSEnd, symStrike,  symStrikeEnd,  symSub,
        symSubEnd,  symSup,        symSupEnd,    symBr,   symHeading, symHeadingEnd, symTt,
        symTtEnd,   symCode,       symCodeEnd,   symKbd,  symKbdEnd,  symSamp,       symSampEnd,
        symAddress, symAddressEnd, symPre,       symImg,  symA,       symAEnd,       symText,
        symFont,    symFontEnd,    symBasefont,  symBig,  symBigEnd,  symSmall,      symSmallEnd,
        symMap,     symPage,       symScript,    symTable})
    set.set(s);
  for (TSymbol s : {symInput, symSelect, symForm, symFormEnd, symTextarea, symTextareaEnd})
    set.set(s);
  return set;
}
const std::bitset<kSymbolCount> kCommonSet = CommonSet();

}  // namespace

THtmlParser::THtmlParser(TParseTarget& document) : document_(document) {}

// --- Entry points ---

bool THtmlParser::ParseHtmlFile(Files& files, const std::string& name) {
  std::unique_ptr<File> file = files.OpenRead(name);
  if (!file) {
    Setup();
    Finish();
    return false;
  }
  RunHtml([&] { tok_.SetInputFile(*file); }, true);
  file->Close();
  return true;
}

void THtmlParser::ParseHtmlBuffer(const char* data, size_t size) {
  RunHtml([&] { tok_.SetInputBuffer(data, size); }, false);
}

void THtmlParser::ParseHtmlStrings(const std::vector<std::string>& lines) {
  RunHtml([&] { tok_.SetInputStrings(lines); }, false);
}

void THtmlParser::ParseHtmlStream(TInputStream& stream) {
  RunHtml([&] { tok_.SetInputStream(stream); }, false);
}

bool THtmlParser::ParsePlainTextFile(Files& files, const std::string& name) {
  std::unique_ptr<File> file = files.OpenRead(name);
  if (!file) {
    Setup();
    Finish();
    return false;
  }
  RunPlainText([&] { tok_.SetInputFile(*file); }, true);
  file->Close();
  return true;
}

void THtmlParser::ParsePlainTextStrings(const std::vector<std::string>& lines) {
  RunPlainText([&] { tok_.SetInputStrings(lines); }, false);
}

void THtmlParser::RunHtml(const std::function<void()>& set_input, bool catch_parse_error) {
  tok_.SetIncludeHandler(OnInclude, Sender);
  tok_.OnProgress = OnProgress;
  set_input();
  Setup();
  try {
    tok_.Advance();
    // The page is decoded by now; forms submit in its encoding.
    document_.SetPageEncoding(tok_.PageEncoding());
    tok_.NextSymbol();
    ParseBody(0, TSymbolSet());
  } catch (const EParseError&) {
    Finish();
    if (!catch_parse_error) throw;
    return;
  } catch (...) {
    Finish();
    throw;
  }
  Finish();
}

void THtmlParser::RunPlainText(const std::function<void()>& set_input, bool catch_parse_error) {
  tok_.SetIncludeHandler(nullptr, nullptr);
  set_input();
  Setup();
  try {
    tok_.Advance();
    document_.SetPageEncoding(tok_.PageEncoding());
    ReadPlainText();
  } catch (const EParseError&) {
    Finish();
    if (!catch_parse_error) throw;
    return;
  } catch (...) {
    Finish();
    throw;
  }
  Finish();
}

void THtmlParser::Setup() {
  title_.clear();
  base_.clear();
  base_target_.clear();
  const TFontSettings& settings = document_.Settings();
  fonts_.clear();
  auto base = std::make_unique<TMyFont>();
  base->SetName(settings.FontName);
  base->SetColor(settings.FontColor | kPaletteRelativeFlag);
  base->SetCharset(settings.Charset);
  base->SetRelSize(settings, 12);
  fonts_.push_back(std::move(base));
  url_target_.Clear();
  in_href_ = false;
  tok_.Attributes.Clear();
  tok_.ParagraphLatch = false;
  tok_.InPre = false;
  tok_.InScript = false;
  default_align_ = paLeft;
  base_font_size_ = 3;
  State = TParseState();
  depth_ = 0;
  document_.EndForm();
  document_.SetContainer(&document_.Root());
  section_.reset();
  NewSection(0, paLeft);
}

void THtmlParser::Finish() {
  tok_.Attributes.Clear();
  CloseSection();
  tok_.InPre = false;
  tok_.InScript = false;
  fonts_.clear();
  url_target_.Clear();
  in_href_ = false;
}

// --- Sections and fonts ---

void THtmlParser::NewSection(int level, TParseAlign align, bool preformatted) {
  section_ = document_.NewSection(level, align, Link(), TopFont(), preformatted);
  // A new text section starts without sub- or superscript.
  State.SubSupState = 0;
}

void THtmlParser::EnsureSection(int level) {
  if (!section_) NewSection(level, default_align_);
}

void THtmlParser::CloseSection() {
  if (section_) document_.Append(std::move(section_));
}

void THtmlParser::FontChanged() {
  if (section_) section_->ChangeFont(TopFont());
}

bool THtmlParser::PushFont() {
  if (static_cast<int>(fonts_.size()) >= kMaxFonts) return false;
  fonts_.push_back(std::make_unique<TMyFont>(TopFont()));
  return true;
}

void THtmlParser::PopFont() {
  if (fonts_.size() > 1) fonts_.pop_back();
}

void THtmlParser::SetFixedPitch(TMyFont& font) {
  font.SetName(document_.Settings().PreFontName);
  font.SetRelSize(document_.Settings(), 10);
  font.FixedPitch = true;
}

TParseAlign THtmlParser::ParagraphAlign() const {
  if (tok_.Symbol == symPEnd || !TakesAttributes(tok_.Symbol)) return default_align_;
  const TAttribute* align = tok_.Attributes.Find(symAlign);
  if (!align) return default_align_;
  const std::u16string text = LowerCase(align->Text);
  if (text == u"left") return paLeft;
  if (text == u"center") return paCenter;
  if (text == u"right") return paRight;
  return default_align_;
}

void THtmlParser::StartLink(const TAttribute& href) {
  if (in_href_) EndLink();
  const TAttribute* target = tok_.Attributes.Find(symTarget);
  url_target_.Url = href.Text;
  url_target_.Target = target ? target->Text : std::u16string();
  in_href_ = true;
  if (PushFont()) {
    TopFont().SetStyle(TopFont().Style() | kFontUnderline);
    TopFont().SetColor(document_.Settings().HotSpotColor | kPaletteRelativeFlag);
  }
  if (section_) section_->HRef(symHref, TopFont(), &url_target_);
}

void THtmlParser::EndLink() {
  if (in_href_) {
    url_target_.Clear();
    in_href_ = false;
    PopFont();
  }
  if (section_) section_->HRef(symAEnd, TopFont(), nullptr);
}

void THtmlParser::ChangeStyle(TSymbol symbol) {
  switch (symbol) {
    case symB:
    case symStrong:
      State.ExtraStyle |= kFontBold;
      break;
    case symBEnd:
    case symStrongEnd:
      State.ExtraStyle &= ~kFontBold;
      break;
    case symI:
    case symEm:
    case symCite:
    case symVar:
      State.ExtraStyle |= kFontItalic;
      break;
    case symIEnd:
    case symEmEnd:
    case symCiteEnd:
    case symVarEnd:
      State.ExtraStyle &= ~kFontItalic;
      break;
    case symU:
      State.ExtraStyle |= kFontUnderline;
      break;
    case symUEnd:
      State.ExtraStyle &= ~kFontUnderline;
      break;
    case symS:
    case symStrike:
      State.ExtraStyle |= kFontStrikeOut;
      break;
    case symSEnd:
    case symStrikeEnd:
      State.ExtraStyle &= ~kFontStrikeOut;
      break;
    default:
      break;
  }
}

// --- ParseBody ---

void THtmlParser::ParseBody(int level, const TSymbolSet& terminators) {
  while (tok_.Symbol != symEof && tok_.Symbol != symBodyEnd) {
    const TSymbol symbol = tok_.Symbol;
    switch (symbol) {
      case symTitle:
        tok_.NextSymbol();
        while (tok_.Symbol == symText) {
          title_ += tok_.TokenText;
          tok_.NextSymbol();
        }
        continue;
      case symBody:
        if (document_.IsEmpty()) {
          // Whatever stood before BODY (even a blank) goes with the first section.
          std::unique_ptr<TParseSection> discarded = std::move(section_);
          for (const auto& attribute : tok_.Attributes) {
            Color color = 0;
            switch (attribute->Symbol) {
              case symText:
                if (ColorFromText(attribute->Text, color)) {
                  TopFont().SetColor(color | kPaletteRelativeFlag);
                  document_.SetFontColor(color | kPaletteRelativeFlag);
                }
                break;
              case symLink:
                if (ColorFromText(attribute->Text, color))
                  document_.SetHotSpotColor(color | kPaletteRelativeFlag);
                break;
              case symBgcolor:
                if (ColorFromText(attribute->Text, color))
                  document_.SetBackground(color | kPaletteRelativeFlag);
                break;
              case symBackground:
                document_.SetBackgroundImage(attribute->Text);
                break;
              default:
                break;
            }
          }
          section_ = document_.NewSection(level, default_align_, nullptr, *fonts_.front(), false);
          State.SubSupState = 0;
          if (discarded) document_.Discard(std::move(discarded), *section_);
        }
        tok_.NextSymbol();
        continue;
      case symHr:
        CloseSection();
        document_.AppendRule(tok_.Attributes);
        tok_.NextSymbol();
        continue;
      case symBase:
        if (const TAttribute* href = tok_.Attributes.Find(symHref)) base_ = href->Text;
        if (const TAttribute* target = tok_.Attributes.Find(symTarget)) base_target_ = target->Text;
        tok_.NextSymbol();
        continue;
      case symOl:
      case symUl:
      case symDir:
      case symMenu:
      case symDl:
        if (CanNest()) ParseList(1, symbol, terminators);
        tok_.NextSymbol();
        continue;
      case symBlockquote:
        if (CanNest()) {
          CloseSection();
          ParseList(1, symBlockquote, terminators);
        }
        tok_.NextSymbol();
        continue;
      case symCenter:
      case symDiv:
        if (CanNest()) {
          ParseCentered(level, terminators);
        } else {
          tok_.NextSymbol();
        }
        continue;
      case symBgsound:
        RequestSound();
        tok_.NextSymbol();
        continue;
      case symMeta:
        ReportMeta();
        tok_.NextSymbol();
        continue;
      default:
        break;
    }
    if (kCommonSet[symbol]) {
      ParseCommon(level);
    } else if (terminators[symbol]) {
      return;
    } else {
      tok_.NextSymbol();
    }
  }
  tok_.NextSymbol();
}

// CENTER or DIV in the body: the content up to either end tag takes the block's alignment.
void THtmlParser::ParseCentered(int level, const TSymbolSet& terminators) {
  const TParseAlign saved = default_align_;
  if (tok_.Symbol == symCenter) {
    default_align_ = paCenter;
  } else if (const TAttribute* align = tok_.Attributes.Find(symAlign)) {
    const std::u16string text = LowerCase(align->Text);
    if (text == u"left")
      default_align_ = paLeft;
    else if (text == u"center")
      default_align_ = paCenter;
    else if (text == u"right")
      default_align_ = paRight;
  }
  CloseSection();
  NewSection(level, default_align_);
  tok_.NextSymbol();
  TSymbolSet inner = terminators;
  inner.set(symCenterEnd);
  inner.set(symDivEnd);
  ++depth_;
  ParseBody(level, inner);
  --depth_;
  CloseSection();
  default_align_ = saved;
  NewSection(level, default_align_);
  if (tok_.Symbol == symCenterEnd || tok_.Symbol == symDivEnd) tok_.NextSymbol();
}

// --- ParseCommon ---

void THtmlParser::ParseParagraphs(int level) {
  CloseSection();
  if (!tok_.ParagraphLatch) document_.AppendParagraphSpace();
  tok_.SkipBlanks();
  TParseAlign align = ParagraphAlign();
  tok_.ParagraphLatch = true;
  tok_.NextSymbol();
  while (tok_.Symbol == symP || tok_.Symbol == symPEnd) {
    align = ParagraphAlign();
    tok_.SkipBlanks();
    tok_.ParagraphLatch = true;
    tok_.NextSymbol();
  }
  NewSection(level, align);
}

void THtmlParser::ParseCommon(int level) {
  const TSymbol symbol = tok_.Symbol;
  switch (symbol) {
    case symP:
    case symPEnd:
      ParseParagraphs(level);
      return;  // the symbol after the paragraph tags is current
    case symB:
    case symBEnd:
    case symStrong:
    case symStrongEnd:
    case symI:
    case symIEnd:
    case symEm:
    case symEmEnd:
    case symCite:
    case symCiteEnd:
    case symVar:
    case symVarEnd:
    case symU:
    case symUEnd:
    case symS:
    case symSEnd:
    case symStrike:
    case symStrikeEnd:
      ChangeStyle(symbol);
      FontChanged();
      break;
    case symSub:
    case symSup:
      EnsureSection(level);
      State.SubSupState = symbol == symSub ? 1 : 2;
      FontChanged();
      break;
    case symSubEnd:
    case symSupEnd:
      State.SubSupState = 0;
      FontChanged();
      break;
    case symBr: {
      const TParseAlign align = section_ ? section_->Align() : default_align_;
      CloseSection();
      NewSection(level, align);
      section_->ProcessBreak(tok_.Attributes);
      break;
    }
    case symHeading: {
      if (static_cast<int>(fonts_.size()) >= kMaxFonts) break;
      const int heading = tok_.HeadingLevel;
      const TParseAlign align = ParagraphAlign();
      CloseSection();
      PushFont();
      TMyFont& font = TopFont();
      if (heading > 0) font.SetStyle(font.Style() | kFontBold);
      font.SetRelSize(document_.Settings(), kHeadingSizes[heading]);
      document_.AppendHeadingSpace(heading);
      NewSection(level, align);
      break;
    }
    case symHeadingEnd:
      if (fonts_.size() > 1) {
        CloseSection();
        document_.AppendHeadingSpace(tok_.HeadingLevel);
        PopFont();
      }
      break;
    case symTt:
    case symCode:
    case symKbd:
    case symSamp:
      if (PushFont()) {
        SetFixedPitch(TopFont());
        FontChanged();
      }
      break;
    case symTtEnd:
    case symCodeEnd:
    case symKbdEnd:
    case symSampEnd:
    case symFontEnd:
    case symBigEnd:
    case symSmallEnd:
      PopFont();
      FontChanged();
      break;
    case symAddress:
      CloseSection();
      if (PushFont()) TopFont().SetStyle(TopFont().Style() | kFontItalic);
      NewSection(level, default_align_);
      break;
    case symAddressEnd:
      CloseSection();
      PopFont();
      break;
    case symPre:
      ParsePre(level);
      return;
    case symImg:
      EnsureSection(level);
      section_->AddImage(tok_.Attributes);
      break;
    case symA:
      for (const auto& attribute : tok_.Attributes) {
        if (attribute->Symbol == symHref) {
          StartLink(*attribute);
        } else if (attribute->Symbol == symName) {
          EnsureSection(level);
          document_.AddName(UpperCase(attribute->Text), *section_);
        }
      }
      break;
    case symAEnd:
      EndLink();
      break;
    case symText:
      EnsureSection(level);
      section_->AddText(tok_.TokenText);
      break;
    case symFont:
    case symBasefont:
      if (ParseFontAttributes(symbol, false)) FontChanged();
      break;
    case symBig:
    case symSmall:
      if (ParseBigSmall(symbol)) FontChanged();
      break;
    case symMap:
      ParseMap();
      return;
    case symPage:
      CloseSection();
      document_.AppendPage();
      break;
    case symScript:
      ParseScript();
      break;
    case symInput:
    case symSelect:
    case symTextarea:
    case symTextareaEnd:
    case symForm:
    case symFormEnd:
      ParseFormElement(level);
      break;
    case symTable:
      ParseTable(level);
      return;
    default:
      break;
  }
  tok_.NextSymbol();
}

}  // namespace brisomel
