#include "html/reader/token_dump.h"

#include <cstdio>

namespace brisomel {

std::string QuoteText(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 32 || c > 126) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
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
