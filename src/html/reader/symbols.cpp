#include "html/reader/symbols.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace brisomel {
namespace {

struct NameEntry {
  std::string_view name;
  int value;  // a TSymbol
};

// A name's length (top byte) and first seven characters in one number, so that a search
// compares integers; only the entries of the key found are compared in full (longer names of
// one length may share a key).
uint64_t NameKey(std::string_view name) {
  uint64_t key = std::min<size_t>(name.size(), 255);
  for (size_t i = 0; i < 7; ++i)
    key = key << 8 | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0);
  return key;
}

// Copy of a table sorted by key, searched by binary search on the keys.
class SortedTable {
 public:
  template <size_t N>
  explicit SortedTable(const std::array<NameEntry, N>& entries) {
    for (const NameEntry& e : entries) entries_.push_back({NameKey(e.name), e});
    std::sort(entries_.begin(), entries_.end(),
              [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
  }
  int Find(std::string_view name, int missing) const {
    const uint64_t key = NameKey(name);
    auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                               [](const Keyed& e, uint64_t k) { return e.key < k; });
    for (; it != entries_.end() && it->key == key; ++it)
      if (it->entry.name == name) return it->entry.value;
    return missing;
  }

 private:
  struct Keyed {
    uint64_t key;
    NameEntry entry;
  };
  std::vector<Keyed> entries_;
};

#define BRISOMEL_TAG_ENTRY(name, text) NameEntry{text, sym##name},
constexpr std::array kStartTags = {BRISOMEL_PAIRED_TAGS(BRISOMEL_TAG_ENTRY)
                                       BRISOMEL_SINGLE_TAGS(BRISOMEL_TAG_ENTRY)};
#undef BRISOMEL_TAG_ENTRY
#define BRISOMEL_TAG_ENTRY(name, text) NameEntry{text, sym##name##End},
constexpr std::array kEndTags = {BRISOMEL_PAIRED_TAGS(BRISOMEL_TAG_ENTRY)};
#undef BRISOMEL_TAG_ENTRY
static_assert(kStartTags.size() == kTagTableSize);
static_assert(kEndTags.size() == 48);

constexpr std::array kAttributes = {
    NameEntry{"HREF", symHref},         NameEntry{"NAME", symName},
    NameEntry{"SRC", symSrc},           NameEntry{"ALT", symAlt},
    NameEntry{"ALIGN", symAlign},       NameEntry{"TEXT", symText},
    NameEntry{"BGCOLOR", symBgcolor},   NameEntry{"LINK", symLink},
    NameEntry{"BACKGROUND", symBackground}, NameEntry{"COLSPAN", symColspan},
    NameEntry{"ROWSPAN", symRowspan},   NameEntry{"BORDER", symBorder},
    NameEntry{"CELLPADDING", symCellpadding}, NameEntry{"CELLSPACING", symCellspacing},
    NameEntry{"VALIGN", symValign},     NameEntry{"WIDTH", symWidth},
    NameEntry{"START", symStart},       NameEntry{"VALUE", symValue},
    NameEntry{"TYPE", symType},         NameEntry{"CHECKBOX", symCheckbox},
    NameEntry{"RADIO", symRadio},       NameEntry{"METHOD", symMethod},
    NameEntry{"ACTION", symAction},     NameEntry{"CHECKED", symChecked},
    NameEntry{"SIZE", symSize},         NameEntry{"MAXLENGTH", symMaxlength},
    NameEntry{"COLS", symCols},         NameEntry{"ROWS", symRows},
    NameEntry{"MULTIPLE", symMultiple}, NameEntry{"VALUE", symValue},
    NameEntry{"SELECTED", symSelected}, NameEntry{"FACE", symFace},
    NameEntry{"COLOR", symColor},       NameEntry{"TRANSP", symTransp},
    NameEntry{"CLEAR", symClear},       NameEntry{"ISMAP", symIsmap},
    NameEntry{"BORDERCOLOR", symBordercolor}, NameEntry{"USEMAP", symUsemap},
    NameEntry{"SHAPE", symShape},       NameEntry{"COORDS", symCoords},
    NameEntry{"NOHREF", symNohref},     NameEntry{"HEIGHT", symHeight},
    NameEntry{"PLAIN", symPlain},       NameEntry{"TARGET", symTarget},
    NameEntry{"NORESIZE", symNoresize}, NameEntry{"SCROLLING", symScrolling},
    NameEntry{"HSPACE", symHspace},     NameEntry{"LANGUAGE", symLanguage},
    NameEntry{"FRAMEBORDER", symFrameborder}, NameEntry{"MARGINWIDTH", symMarginwidth},
    NameEntry{"MARGINHEIGHT", symMarginheight}, NameEntry{"LOOP", symLoop},
    NameEntry{"ONCLICK", symOnclick},   NameEntry{"WRAP", symWrap},
    NameEntry{"NOSHADE", symNoshade},   NameEntry{"HTTP-EQUIV", symHttpEquiv},
    NameEntry{"CONTENT", symContent},   NameEntry{"ENCTYPE", symEnctype},
};
static_assert(kAttributes.size() == kAttributeTableSize);

const SortedTable& StartTags() {
  static const SortedTable table(kStartTags);
  return table;
}
const SortedTable& EndTags() {
  static const SortedTable table(kEndTags);
  return table;
}
const SortedTable& Attributes() {
  static const SortedTable table(kAttributes);
  return table;
}
constexpr std::array<bool, kSymbolCount> MakeTakesAttributes() {
  std::array<bool, kSymbolCount> takes{};
  for (TSymbol s : {symBody, symP, symBr, symHeading, symHr, symBase, symOl, symUl, symImg, symA,
                    symTable, symTd, symTr, symTh, symCaption, symInput, symForm, symTextarea,
                    symSelect, symOption, symFont, symBasefont, symMap, symArea, symFrameset,
                    symFrame, symScript, symDiv, symBgsound, symWrap, symMeta})
    takes[s] = true;
  return takes;
}
constexpr std::array<bool, kSymbolCount> kTakesAttributes = MakeTakesAttributes();

#define BRISOMEL_NAME(name) "sym" #name,
#define BRISOMEL_TAG_NAME(name, text) "sym" #name,
#define BRISOMEL_END_NAME(name, text) "sym" #name "End",
constexpr std::array<std::string_view, kSymbolCount> kSymbolNames = {
    BRISOMEL_TOKEN_SYMBOLS(BRISOMEL_NAME) BRISOMEL_PAIRED_TAGS(BRISOMEL_TAG_NAME)
        BRISOMEL_SINGLE_TAGS(BRISOMEL_TAG_NAME) BRISOMEL_PAIRED_TAGS(BRISOMEL_END_NAME)
            BRISOMEL_ATTRIBUTE_ONLY_SYMBOLS(BRISOMEL_NAME)};
#undef BRISOMEL_NAME
#undef BRISOMEL_TAG_NAME
#undef BRISOMEL_END_NAME

}  // namespace

TSymbol LookupStartTag(std::string_view upper_name) {
  return static_cast<TSymbol>(StartTags().Find(upper_name, symUnknownTag));
}

TSymbol LookupEndTag(std::string_view upper_name) {
  return static_cast<TSymbol>(EndTags().Find(upper_name, symUnknownTag));
}

TSymbol LookupAttribute(std::string_view upper_name) {
  return static_cast<TSymbol>(Attributes().Find(upper_name, symUnknownAttr));
}

bool TakesAttributes(TSymbol symbol) { return symbol < kSymbolCount && kTakesAttributes[symbol]; }

std::string_view SymbolName(TSymbol symbol) {
  return symbol < kSymbolCount ? kSymbolNames[symbol] : std::string_view("symInvalid");
}

}  // namespace brisomel
