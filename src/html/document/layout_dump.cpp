// The text dump of a laid-out document, for the developer tool and layout tests.
#include <cstdio>
#include <string>

#include "html/document/section_list.h"
#include "text/utf.h"

namespace brisomel {

void DumpSection(const TSectionBase& section, std::string& out, int indent, int32_t X) {
  out += std::string(static_cast<size_t>(indent), ' ') + section.ClassName() +
         " y=" + std::to_string(section.YValue) + " h=" + std::to_string(section.SectionHeight) +
         " dh=" + std::to_string(section.DrawHeight) +
         " curs=" + std::to_string(section.StartCurs) + "+" + std::to_string(section.Len) +
         section.DumpSuffix(X) + "\n";
  section.DumpChildren(out, indent + 2, X);
}

std::string QuoteUtf16(std::u16string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    CodePointAt at = DecodeUtf16At(text, i);
    i += at.length;
    char32_t c = at.code_point;
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(c));
      out += hex;
    } else {
      AppendUtf8(out, c);
    }
  }
  out.push_back('"');
  return out;
}

std::string DumpLayout(const TSectionList& list) {
  std::string out;
  for (const auto& section : list.Sections) DumpSection(*section, out, 0, 0);
  return out;
}

}  // namespace brisomel
