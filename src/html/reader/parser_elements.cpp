// Elements the parser reads whole or that only change the font: FONT and BASEFONT, BIG and
// SMALL, MAP with its AREAs, SCRIPT, BGSOUND and META.
#include <algorithm>

#include "html/reader/parser.h"

namespace brisomel {

// FONT and BASEFONT. SIZE is a step 1..7, relative to the base size when it starts with a sign;
// BASEFONT sets the base size even where it cannot change the font (after content). A usable
// attribute pushes a font, as does a FONT without one, so that its end tag stays balanced.
bool THtmlParser::ParseFontAttributes(TSymbol symbol, bool preformatted) {
  const bool is_font = symbol == symFont;
  int size_step = 0;  // 0: no size
  bool have_color = false;
  Color color = 0;
  std::string face;
  for (const auto& attribute : tok_.Attributes) {
    switch (attribute->Symbol) {
      case symSize: {
        const std::u16string& text = attribute->Text;
        int64_t value = attribute->Value;
        if (text.size() > 1 && (text[0] == '+' || text[0] == '-')) value += base_font_size_;
        size_step = static_cast<int>(std::clamp<int64_t>(value, 1, 7));
        if (!is_font) base_font_size_ = size_step;
        break;
      }
      case symColor:
        if (is_font && ColorFromText(attribute->Text, color)) have_color = true;
        break;
      case symFace:
        if (is_font && !attribute->Text.empty()) {
          std::u16string text = attribute->Text.substr(0, kMaxFaceLength);
          text = TrimBlanks(text.substr(0, text.find(u',')));
          if (!text.empty()) face = Utf16ToUtf8(text);
        }
        break;
      default:
        break;
    }
  }
  if (!is_font && (document_.Container() != &document_.Root() || !document_.IsEmpty()))
    return false;
  if (!PushFont()) return false;
  if (size_step == 0 && !have_color && face.empty()) return false;
  TMyFont& font = TopFont();
  if (have_color) font.SetColor(color | kPaletteRelativeFlag);
  if (size_step != 0)
    font.SetRelSize(document_.Settings(), FontSizeForStep(size_step, preformatted));
  if (!face.empty()) font.SetName(face);
  return true;
}

// BIG and SMALL move one step along the proportional size row, whatever the font; a size that
// is no step, or a step at the end of the row, changes nothing and pushes nothing.
bool THtmlParser::ParseBigSmall(TSymbol symbol) {
  int step = 0;
  for (int s = 1; s <= 7; ++s)
    if (FontSizeForStep(s, false) == TopFont().RelSize) step = s;
  if (step == 0) return false;
  if (symbol == symBig) {
    if (step > 6) return false;
    ++step;
  } else {
    if (step < 2) return false;
    --step;
  }
  if (!PushFont()) return false;
  TopFont().SetRelSize(document_.Settings(), FontSizeForStep(step, false));
  return true;
}

void THtmlParser::ParseMap() {
  auto map = std::make_unique<TMapItem>();
  if (const TAttribute* name = tok_.Attributes.Find(symName)) map->SetName(name->Text);
  tok_.NextSymbol();
  while (tok_.Symbol != symMapEnd && tok_.Symbol != symEof) {
    if (tok_.Symbol == symArea) map->AddArea(tok_.Attributes);
    tok_.NextSymbol();
  }
  if (tok_.Symbol == symMapEnd) document_.AddMap(std::move(map));
  tok_.NextSymbol();
}

void THtmlParser::ParseScript() {
  if (!OnScript) {
    do {
      tok_.NextScriptSymbol();
    } while (tok_.Symbol != symScriptEnd && tok_.Symbol != symEof);
    return;
  }
  const TAttribute* language = tok_.Attributes.Find(symLanguage);
  const std::string lang = language ? Utf16ToUtf8(language->Text) : std::string();
  std::u16string script;
  tok_.InScript = true;
  try {
    tok_.NextScriptSymbol();
    while (tok_.Symbol != symScriptEnd && tok_.Symbol != symEof) {
      if (tok_.Symbol == symEol)
        script += u"\r\n";
      else
        script += tok_.TokenText;
      tok_.NextScriptSymbol();
    }
  } catch (...) {
    tok_.InScript = false;
    throw;
  }
  tok_.InScript = false;
  OnScript(Sender, lang, Utf16ToUtf8(script));
}

void THtmlParser::RequestSound() {
  if (!OnSoundRequest) return;
  const TAttribute* src = tok_.Attributes.Find(symSrc);
  if (!src) return;
  const TAttribute* loop = tok_.Attributes.Find(symLoop);
  OnSoundRequest(Sender, Utf16ToUtf8(src->Text), loop ? loop->Value : 1, false);
}

void THtmlParser::ReportMeta() {
  if (!OnMeta) return;
  auto text = [&](TSymbol symbol) {
    const TAttribute* attribute = tok_.Attributes.Find(symbol);
    return attribute ? Utf16ToUtf8(attribute->Text) : std::string();
  };
  OnMeta(Sender, text(symHttpEquiv), text(symName), text(symContent));
}

}  // namespace brisomel
