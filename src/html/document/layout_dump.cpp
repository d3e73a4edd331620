// The text dump of a laid-out document, for the developer tool and layout tests.
#include <string>

#include "html/document/section_list.h"

namespace brisomel {

std::string DumpLayout(const TSectionList& list) {
  std::string out;
  for (const auto& section : list.Sections) {
    out += std::string(section->ClassName()) + " y=" + std::to_string(section->YValue) +
           " h=" + std::to_string(section->SectionHeight) +
           " dh=" + std::to_string(section->DrawHeight) +
           " curs=" + std::to_string(section->StartCurs) + "+" + std::to_string(section->Len) +
           "\n";
    section->DumpDetails(out, 2);
  }
  return out;
}

}  // namespace brisomel
