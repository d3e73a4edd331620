#include "html/reader/token_dump.h"

#include <cstdio>

#include "text/utf.h"

namespace brisomel {
namespace {

void AppendHexEscape(std::string& out, unsigned value) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "\\x%02X", value);
  out += hex;
}

}  // namespace

std::string QuoteText(std::u16string_view text) {
  std::string out = "\"";
  for (size_t pos = 0; pos < text.size();) {
    const CodePointAt at = DecodeUtf16At(text, pos);
    pos += at.length;
    const char32_t c = at.code_point;
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 32 || (c >= 127 && c < 160)) {
      AppendHexEscape(out, static_cast<unsigned>(c));
    } else {
      AppendUtf8(out, c);
    }
  }
  out.push_back('"');
  return out;
}

std::string QuoteText(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 32 || c > 126) {
      AppendHexEscape(out, c);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  out.push_back('"');
  return out;
}

std::string DumpSymbol(const Tokenizer& tokenizer) {
  std::string out(SymbolName(tokenizer.Symbol));
  if (tokenizer.Symbol == symHeading || tokenizer.Symbol == symHeadingEnd) {
    out += ' ';
    out += std::to_string(tokenizer.HeadingLevel);
  }
  out += ' ';
  out += QuoteText(tokenizer.TokenText);
  out += '\n';
  if (TakesAttributes(tokenizer.Symbol)) {
    for (const auto& attribute : tokenizer.Attributes) {
      out += "  ";
      out += SymbolName(attribute->Symbol);
      out += ' ';
      out += std::to_string(attribute->Value);
      out += ' ';
      out += QuoteText(attribute->Text);
      out += '\n';
    }
  }
  return out;
}

}  // namespace brisomel
