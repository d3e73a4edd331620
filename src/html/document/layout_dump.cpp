// The text dump of a laid-out document, for the developer tool and layout tests.
#include <string>

#include "html/document/section_list.h"

namespace brisomel {

void DumpSection(const TSectionBase& section, std::string& out, int indent, int32_t X) {
  out += std::string(static_cast<size_t>(indent), ' ') + section.ClassName() +
         " y=" + std::to_string(section.YValue) + " h=" + std::to_string(section.SectionHeight) +
         " dh=" + std::to_string(section.DrawHeight) +
         " curs=" + std::to_string(section.StartCurs) + "+" + std::to_string(section.Len) +
         section.DumpSuffix(X) + "\n";
  section.DumpChildren(out, indent + 2, X);
}

std::string DumpLayout(const TSectionList& list) {
  std::string out;
  for (const auto& section : list.Sections) DumpSection(*section, out, 0, 0);
  return out;
}

}  // namespace brisomel
