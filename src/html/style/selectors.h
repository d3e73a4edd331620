// Selectors: parsing a rule's prelude into complex selectors, their specificity, and matching
// them against an element and its ancestors.
//
// Supported: type, universal, class, id, attribute ([a], [a=v], [a~=v], [a|=v], [a^=v],
// [a$=v], [a*=v], with the "i" flag), descendant and child combinators, grouping,
// :first-child, :link and :any-link (every link: nothing is visited in a book), :root, and
// :not() over compound selectors.
//
// Reading notes:
// - A selector list that does not parse drops its whole rule, as CSS says.
// - Pseudo-elements (::before, :after, ...) make their selector never match: the reader draws
//   no generated content.
// - Pseudo-classes of user interaction and state (:hover, :visited, :focus, :checked, ...) are
//   simply false, so :not(:hover) is true.
// - Valid selectors this reader cannot evaluate while reading a page front to back (the
//   sibling combinators "+" and "~", :last-child, :nth-child(), :is(), :has(), ...) never
//   match; the other selectors of the same rule still do.
// - Class and id names match case-sensitively; type and attribute names do not.
// - Matching looks at most kMaxAncestors elements up, so a pathologically deep page cannot
//   make one element's matching cost grow with the depth.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "html/style/css_parser.h"

namespace brisomel {

// Interned names: tag, class, id and attribute names each become a small number (never 0),
// so matching compares numbers.
class StyleAtoms {
 public:
  StyleAtoms() = default;
  // A copy gives every name the same number as in `other`.
  StyleAtoms(const StyleAtoms& other);
  StyleAtoms& operator=(const StyleAtoms&) = delete;

  uint32_t Intern(std::u16string_view name);
  // 0 when the name was never interned.
  uint32_t Find(std::u16string_view name) const;
  // The name of an atom ("" for 0 or an unknown number).
  std::u16string_view Name(uint32_t atom) const;
  size_t size() const { return atoms_.size(); }

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::u16string_view text) const {
      return std::hash<std::u16string_view>()(text);
    }
  };
  std::unordered_map<std::u16string, uint32_t, Hash, std::equal_to<>> atoms_;
  std::vector<const std::u16string*> names_;  // by atom - 1; map keys do not move
};

enum class SimpleSelectorKind : uint8_t {
  Class,
  Id,
  AttributeExists,
  AttributeEquals,     // [a=v]
  AttributeIncludes,   // [a~=v]: v is one of the blank-separated words
  AttributeDashMatch,  // [a|=v]: v, or v followed by "-"
  AttributePrefix,     // [a^=v]
  AttributeSuffix,     // [a$=v]
  AttributeSubstring,  // [a*=v]
  FirstChild,
  Root,
  Link,
  Not,    // true when none of `negated` matches
  Never,  // a state the page never has (:hover, :visited, ...)
};

struct CompoundSelector;

struct SimpleSelector {
  SimpleSelectorKind kind = SimpleSelectorKind::Never;
  bool ignore_case = false;  // attribute values compared without regard to ASCII case
  uint32_t atom = 0;         // class, id, or lower-case attribute name
  std::u16string value;      // attribute value
  std::vector<CompoundSelector> negated;
};

enum class Combinator : uint8_t { Descendant, Child };

struct CompoundSelector {
  uint32_t tag = 0;  // lower-case type name; 0 for any
  std::vector<SimpleSelector> simple;
  // How the next compound (to the left in the source) relates to this one.
  Combinator combinator = Combinator::Descendant;
};

struct ComplexSelector {
  std::vector<CompoundSelector> compounds;  // rightmost (the subject) first
  uint32_t specificity = 0;                 // ids << 20 | classes << 10 | types, each at most 1023
  bool never = false;                       // valid but not evaluable here: never matches
};

// The selector list of a rule's prelude; false when it does not parse (the rule is dropped).
bool ParseSelectorList(const std::vector<CssToken>& tokens, CssRange range, StyleAtoms& atoms,
                       std::vector<ComplexSelector>& out);

// What matching knows about one element.
struct SelectorSubject {
  uint32_t tag = 0;  // lower-case name
  uint32_t id = 0;
  std::vector<uint32_t> classes;
  struct Attribute {
    uint32_t name = 0;          // lower-case
    std::u16string_view value;  // the caller keeps the text while the subject is matched
  };
  std::vector<Attribute> attributes;
  bool first_child = false;
  bool link = false;  // an A or AREA with an HREF
};

inline constexpr size_t kMaxAncestors = 256;

// Whether `selector` matches the last element of `stack`, whose ancestors stand before it
// (the root first).
bool MatchesSelector(const ComplexSelector& selector, std::span<const SelectorSubject> stack);

// The selector written back as CSS (for describing sheets in tests and debugging).
std::string DescribeSelector(const ComplexSelector& selector, const StyleAtoms& atoms);

}  // namespace brisomel
