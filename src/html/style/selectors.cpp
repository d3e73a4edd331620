#include "html/style/selectors.h"

#include <algorithm>

#include "text/utf.h"

namespace brisomel {
namespace {

using T = CssTokenType;
using K = SimpleSelectorKind;

constexpr size_t kMaxCompounds = 32;  // longer selectors are kept but never match
constexpr int kMaxNotDepth = 4;       // :not() inside :not() ...
constexpr uint32_t kSpecificityPart = 1023;

// States a page read front to back never has.
constexpr std::string_view kNeverClasses[] = {
    "visited",       "hover",         "active",        "focus",      "focus-within",
    "focus-visible", "target",        "target-within", "checked",    "disabled",
    "enabled",       "indeterminate", "default",       "valid",      "invalid",
    "required",      "optional",      "read-only",     "read-write", "placeholder-shown",
    "in-range",      "out-of-range",  "user-invalid",  "user-valid", "autofill",
    "fullscreen",    "modal",         "playing",       "paused",     "local-link",
    "current",       "past",          "future",        "blank"};
// Valid structural pseudo-classes that need what follows an element, or its siblings.
constexpr std::string_view kUnsupportedClasses[] = {"last-child",   "only-child",   "first-of-type",
                                                    "last-of-type", "only-of-type", "empty",
                                                    "defined"};
constexpr std::string_view kUnsupportedFunctions[] = {"nth-child",   "nth-last-child",
                                                      "nth-of-type", "nth-last-of-type",
                                                      "is",          "where",
                                                      "has",         "matches",
                                                      "lang",        "dir",
                                                      "host",        "host-context"};
constexpr std::string_view kPseudoElements[] = {
    "before",        "after",          "first-line", "first-letter",         "marker",
    "selection",     "placeholder",    "backdrop",   "file-selector-button", "cue",
    "grammar-error", "spelling-error", "target-text"};
constexpr std::string_view kPseudoElementFunctions[] = {"slotted", "part", "cue", "highlight"};
// Pseudo-elements that CSS level 2 also allowed with a single colon.
constexpr std::string_view kLegacyPseudoElements[] = {"before", "after", "first-line",
                                                      "first-letter"};

template <size_t N>
bool InList(const std::u16string& name, const std::string_view (&list)[N]) {
  for (std::string_view entry : list)
    if (CssEqualsIgnoreCase(name, entry)) return true;
  return false;
}

struct Specificity {
  uint32_t ids = 0, classes = 0, types = 0;
  uint32_t Packed() const {
    return std::min(ids, kSpecificityPart) << 20 | std::min(classes, kSpecificityPart) << 10 |
           std::min(types, kSpecificityPart);
  }
  bool operator<(const Specificity& other) const { return Packed() < other.Packed(); }
};

class SelectorParser {
 public:
  SelectorParser(const std::vector<CssToken>& tokens, StyleAtoms& atoms)
      : t_(tokens), atoms_(atoms) {}

  bool ParseList(CssRange range, std::vector<ComplexSelector>& out) {
    size_t i = range.begin;
    for (;;) {
      ComplexSelector selector;
      if (!ParseComplex(i, range.end, selector)) return false;
      out.push_back(std::move(selector));
      if (i >= range.end) return true;
      ++i;  // the comma
    }
  }

 private:
  bool At(size_t i, size_t end, T type) const { return i < end && t_[i].type == type; }
  bool AtDelim(size_t i, size_t end, char32_t c) const {
    return At(i, end, T::Delim) && t_[i].delim == c;
  }

  // A complex selector up to a comma or the end; `i` is left at the comma.
  bool ParseComplex(size_t& i, size_t end, ComplexSelector& out) {
    Specificity specificity;
    bool unsupported = false;
    i = SkipCssWhitespace(t_, i, end);
    std::vector<CompoundSelector> compounds;  // left to right
    std::vector<Combinator> combinators;      // between them
    for (;;) {
      CompoundSelector compound;
      if (!ParseCompound(i, end, compound, specificity, unsupported, 0)) return false;
      compounds.push_back(std::move(compound));
      const size_t before = i;
      i = SkipCssWhitespace(t_, i, end);
      if (i >= end || At(i, end, T::Comma)) break;
      if (AtDelim(i, end, '>')) {
        combinators.push_back(Combinator::Child);
        i = SkipCssWhitespace(t_, i + 1, end);
      } else if (AtDelim(i, end, '+') || AtDelim(i, end, '~')) {
        combinators.push_back(Combinator::Descendant);
        unsupported = true;  // sibling combinators
        i = SkipCssWhitespace(t_, i + 1, end);
      } else if (i > before) {
        combinators.push_back(Combinator::Descendant);
      } else {
        return false;
      }
    }
    if (compounds.size() > kMaxCompounds) unsupported = true;
    // Rightmost first; each compound records how the one to its left relates to it.
    for (size_t k = compounds.size(); k-- > 0;) {
      if (k > 0) compounds[k].combinator = combinators[k - 1];
      out.compounds.push_back(std::move(compounds[k]));
    }
    out.specificity = specificity.Packed();
    out.never = unsupported;
    return true;
  }

  // A compound selector; false when it is empty or malformed.
  bool ParseCompound(size_t& i, size_t end, CompoundSelector& out, Specificity& specificity,
                     bool& unsupported, int not_depth) {
    const size_t start = i;
    if (At(i, end, T::Ident)) {
      out.tag = atoms_.Intern(CssAsciiLower(t_[i].text));
      ++specificity.types;
      ++i;
    } else if (AtDelim(i, end, '*')) {
      ++i;
    }
    if (AtDelim(i, end, '|')) return false;  // namespaces are not supported
    bool after_pseudo_element = false;
    for (;;) {
      if (At(i, end, T::Hash)) {
        if (!t_[i].is_id || after_pseudo_element) return false;
        out.simple.push_back({K::Id, false, atoms_.Intern(t_[i].text), {}, {}});
        ++specificity.ids;
        ++i;
      } else if (AtDelim(i, end, '.')) {
        if (!At(i + 1, end, T::Ident) || after_pseudo_element) return false;
        out.simple.push_back({K::Class, false, atoms_.Intern(t_[i + 1].text), {}, {}});
        ++specificity.classes;
        i += 2;
      } else if (At(i, end, T::OpenSquare)) {
        if (after_pseudo_element) return false;
        CssRange inside;
        i = SkipCssBlock(t_, i, end, inside);
        SimpleSelector attribute;
        if (!ParseAttribute(inside, attribute)) return false;
        out.simple.push_back(std::move(attribute));
        ++specificity.classes;
      } else if (At(i, end, T::Colon)) {
        ++i;
        const bool element = At(i, end, T::Colon);
        if (element) ++i;
        if (!ParsePseudo(i, end, element, out, specificity, unsupported, not_depth,
                         after_pseudo_element))
          return false;
      } else {
        break;
      }
    }
    return i > start;
  }

  bool ParsePseudo(size_t& i, size_t end, bool element, CompoundSelector& out,
                   Specificity& specificity, bool& unsupported, int not_depth,
                   bool& after_pseudo_element) {
    if (!At(i, end, T::Ident) && !At(i, end, T::Function)) return false;
    const CssToken& token = t_[i];
    const bool function = token.type == T::Function;
    CssRange arguments;
    i = function ? SkipCssBlock(t_, i, end, arguments) : i + 1;
    if (element || (!function && InList(token.text, kLegacyPseudoElements))) {
      const bool known = function ? InList(token.text, kPseudoElementFunctions)
                                  : InList(token.text, kPseudoElements);
      if (!known || after_pseudo_element) return false;
      after_pseudo_element = true;
      ++specificity.types;
      unsupported = true;  // no generated content: the selector never matches
      return true;
    }
    ++specificity.classes;
    if (function) {
      if (CssEqualsIgnoreCase(token.text, "not")) {
        --specificity.classes;
        return ParseNot(arguments, out, specificity, unsupported, not_depth);
      }
      if (!InList(token.text, kUnsupportedFunctions)) return false;
      unsupported = true;
      return true;
    }
    if (after_pseudo_element) {
      // Only states may follow a pseudo-element (::before:hover).
      if (!InList(token.text, kNeverClasses)) return false;
      out.simple.push_back({K::Never, false, 0, {}, {}});
      return true;
    }
    if (CssEqualsIgnoreCase(token.text, "first-child")) {
      out.simple.push_back({K::FirstChild, false, 0, {}, {}});
    } else if (CssEqualsIgnoreCase(token.text, "link") ||
               CssEqualsIgnoreCase(token.text, "any-link")) {
      out.simple.push_back({K::Link, false, 0, {}, {}});
    } else if (CssEqualsIgnoreCase(token.text, "root") ||
               CssEqualsIgnoreCase(token.text, "scope")) {
      out.simple.push_back({K::Root, false, 0, {}, {}});
    } else if (InList(token.text, kNeverClasses)) {
      out.simple.push_back({K::Never, false, 0, {}, {}});
    } else if (InList(token.text, kUnsupportedClasses)) {
      unsupported = true;
    } else {
      return false;
    }
    return true;
  }

  // :not(compound, compound, ...); its specificity is that of its most specific argument.
  bool ParseNot(CssRange arguments, CompoundSelector& out, Specificity& specificity,
                bool& unsupported, int not_depth) {
    if (not_depth >= kMaxNotDepth) {  // read no deeper: the selector is kept, never matching
      unsupported = true;
      return true;
    }
    SimpleSelector negation{K::Not, false, 0, {}, {}};
    Specificity most;
    size_t i = arguments.begin;
    for (;;) {
      i = SkipCssWhitespace(t_, i, arguments.end);
      CompoundSelector compound;
      Specificity own;
      if (!ParseCompound(i, arguments.end, compound, own, unsupported, not_depth + 1)) return false;
      if (most < own) most = own;
      negation.negated.push_back(std::move(compound));
      i = SkipCssWhitespace(t_, i, arguments.end);
      if (i >= arguments.end) break;
      if (!At(i, arguments.end, T::Comma)) {
        // A combinator inside :not() is valid CSS that this reader does not evaluate.
        unsupported = true;
        while (i < arguments.end && !At(i, arguments.end, T::Comma)) ++i;
        if (i >= arguments.end) break;
      }
      ++i;
    }
    specificity.ids += most.ids;
    specificity.classes += most.classes;
    specificity.types += most.types;
    out.simple.push_back(std::move(negation));
    return true;
  }

  // [name], [name op value], [name op value i|s]
  bool ParseAttribute(CssRange inside, SimpleSelector& out) {
    size_t i = SkipCssWhitespace(t_, inside.begin, inside.end);
    if (!At(i, inside.end, T::Ident)) return false;
    out.atom = atoms_.Intern(CssAsciiLower(t_[i].text));
    i = SkipCssWhitespace(t_, i + 1, inside.end);
    if (i >= inside.end) {
      out.kind = K::AttributeExists;
      return true;
    }
    if (AtDelim(i, inside.end, '=')) {
      out.kind = K::AttributeEquals;
      ++i;
    } else if (At(i, inside.end, T::Delim) && AtDelim(i + 1, inside.end, '=')) {
      switch (t_[i].delim) {
        case '~':
          out.kind = K::AttributeIncludes;
          break;
        case '|':
          out.kind = K::AttributeDashMatch;
          break;
        case '^':
          out.kind = K::AttributePrefix;
          break;
        case '$':
          out.kind = K::AttributeSuffix;
          break;
        case '*':
          out.kind = K::AttributeSubstring;
          break;
        default:
          return false;
      }
      i += 2;
    } else {
      return false;
    }
    i = SkipCssWhitespace(t_, i, inside.end);
    if (!At(i, inside.end, T::Ident) && !At(i, inside.end, T::String)) return false;
    out.value = t_[i].text;
    i = SkipCssWhitespace(t_, i + 1, inside.end);
    if (At(i, inside.end, T::Ident) &&
        (CssEqualsIgnoreCase(t_[i].text, "i") || CssEqualsIgnoreCase(t_[i].text, "s"))) {
      out.ignore_case = CssEqualsIgnoreCase(t_[i].text, "i");
      i = SkipCssWhitespace(t_, i + 1, inside.end);
    }
    return i >= inside.end;
  }

  const std::vector<CssToken>& t_;
  StyleAtoms& atoms_;
};

// --- Matching ---

bool ValuesEqual(std::u16string_view a, std::u16string_view b, bool ignore_case) {
  if (!ignore_case) return a == b;
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char16_t>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char16_t>(y + 32);
    if (x != y) return false;
  }
  return true;
}

bool Blank(char16_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool AttributeMatches(const SimpleSelector& selector, std::u16string_view value) {
  const std::u16string_view wanted = selector.value;
  const bool ic = selector.ignore_case;
  switch (selector.kind) {
    case K::AttributeExists:
      return true;
    case K::AttributeEquals:
      return ValuesEqual(value, wanted, ic);
    case K::AttributeIncludes:
      if (wanted.empty() || std::any_of(wanted.begin(), wanted.end(), Blank)) return false;
      for (size_t i = 0; i < value.size();) {
        while (i < value.size() && Blank(value[i])) ++i;
        size_t j = i;
        while (j < value.size() && !Blank(value[j])) ++j;
        if (j > i && ValuesEqual(value.substr(i, j - i), wanted, ic)) return true;
        i = j;
      }
      return false;
    case K::AttributeDashMatch:
      return ValuesEqual(value, wanted, ic) ||
             (value.size() > wanted.size() && value[wanted.size()] == '-' &&
              ValuesEqual(value.substr(0, wanted.size()), wanted, ic));
    case K::AttributePrefix:
      return !wanted.empty() && value.size() >= wanted.size() &&
             ValuesEqual(value.substr(0, wanted.size()), wanted, ic);
    case K::AttributeSuffix:
      return !wanted.empty() && value.size() >= wanted.size() &&
             ValuesEqual(value.substr(value.size() - wanted.size()), wanted, ic);
    case K::AttributeSubstring:
      if (wanted.empty() || value.size() < wanted.size()) return false;
      for (size_t i = 0; i + wanted.size() <= value.size(); ++i)
        if (ValuesEqual(value.substr(i, wanted.size()), wanted, ic)) return true;
      return false;
    default:
      return false;
  }
}

bool CompoundMatches(const CompoundSelector& compound, std::span<const SelectorSubject> stack,
                     size_t index) {
  const SelectorSubject& element = stack[index];
  if (compound.tag != 0 && compound.tag != element.tag) return false;
  for (const SimpleSelector& simple : compound.simple) {
    switch (simple.kind) {
      case K::Class:
        if (std::find(element.classes.begin(), element.classes.end(), simple.atom) ==
            element.classes.end())
          return false;
        break;
      case K::Id:
        if (element.id != simple.atom) return false;
        break;
      case K::FirstChild:
        if (!element.first_child) return false;
        break;
      case K::Root:
        if (index != 0) return false;
        break;
      case K::Link:
        if (!element.link) return false;
        break;
      case K::Not:
        for (const CompoundSelector& negated : simple.negated)
          if (CompoundMatches(negated, stack, index)) return false;
        break;
      case K::Never:
        return false;
      default: {
        bool found = false;
        for (const SelectorSubject::Attribute& attribute : element.attributes) {
          if (attribute.name == simple.atom) {
            found = AttributeMatches(simple, attribute.value);
            break;
          }
        }
        if (!found) return false;
        break;
      }
    }
  }
  return true;
}

enum class Match { Yes, FailsHere, FailsEverywhere };

// Compound `part` against the element at `index`, then the compounds to its left against its
// ancestors down to `lowest`. A failure that no higher ancestor can mend (the ancestors ran
// out) ends the search instead of trying the next ancestor, which keeps matching close to
// linear in the depth.
Match MatchFrom(const ComplexSelector& selector, size_t part,
                std::span<const SelectorSubject> stack, size_t index, size_t lowest) {
  const CompoundSelector& compound = selector.compounds[part];
  if (!CompoundMatches(compound, stack, index)) return Match::FailsHere;
  if (part + 1 == selector.compounds.size()) return Match::Yes;
  if (compound.combinator == Combinator::Child) {
    if (index == lowest) return Match::FailsEverywhere;
    return MatchFrom(selector, part + 1, stack, index - 1, lowest);
  }
  for (size_t ancestor = index; ancestor-- > lowest;) {
    const Match result = MatchFrom(selector, part + 1, stack, ancestor, lowest);
    if (result != Match::FailsHere) return result;
  }
  return Match::FailsEverywhere;
}

std::string Describe(const CompoundSelector& compound, const StyleAtoms& atoms);

std::string DescribeSimple(const SimpleSelector& simple, const StyleAtoms& atoms) {
  const std::string name = Utf16ToUtf8(atoms.Name(simple.atom));
  auto attribute = [&](const char* op) {
    return "[" + name + op + "\"" + Utf16ToUtf8(simple.value) + "\"" +
           (simple.ignore_case ? " i]" : "]");
  };
  switch (simple.kind) {
    case K::Class:
      return "." + name;
    case K::Id:
      return "#" + name;
    case K::AttributeExists:
      return "[" + name + "]";
    case K::AttributeEquals:
      return attribute("=");
    case K::AttributeIncludes:
      return attribute("~=");
    case K::AttributeDashMatch:
      return attribute("|=");
    case K::AttributePrefix:
      return attribute("^=");
    case K::AttributeSuffix:
      return attribute("$=");
    case K::AttributeSubstring:
      return attribute("*=");
    case K::FirstChild:
      return ":first-child";
    case K::Root:
      return ":root";
    case K::Link:
      return ":link";
    case K::Not: {
      std::string text = ":not(";
      for (size_t i = 0; i < simple.negated.size(); ++i)
        text += (i ? ", " : "") + Describe(simple.negated[i], atoms);
      return text + ")";
    }
    case K::Never:
      return ":never";
  }
  return "?";
}

std::string Describe(const CompoundSelector& compound, const StyleAtoms& atoms) {
  std::string text = compound.tag ? Utf16ToUtf8(atoms.Name(compound.tag)) : "";
  for (const SimpleSelector& simple : compound.simple) text += DescribeSimple(simple, atoms);
  return text.empty() ? "*" : text;
}

}  // namespace

StyleAtoms::StyleAtoms(const StyleAtoms& other) : atoms_(other.atoms_) {
  names_.resize(other.names_.size());
  for (const auto& [name, atom] : atoms_) names_[atom - 1] = &name;
}

uint32_t StyleAtoms::Intern(std::u16string_view name) {
  auto it = atoms_.find(name);
  if (it != atoms_.end()) return it->second;
  const uint32_t atom = static_cast<uint32_t>(names_.size() + 1);
  auto inserted = atoms_.emplace(std::u16string(name), atom).first;
  names_.push_back(&inserted->first);
  return atom;
}

uint32_t StyleAtoms::Find(std::u16string_view name) const {
  auto it = atoms_.find(name);
  return it == atoms_.end() ? 0 : it->second;
}

std::u16string_view StyleAtoms::Name(uint32_t atom) const {
  if (atom == 0 || atom > names_.size()) return {};
  return *names_[atom - 1];
}

bool ParseSelectorList(const std::vector<CssToken>& tokens, CssRange range, StyleAtoms& atoms,
                       std::vector<ComplexSelector>& out) {
  std::vector<ComplexSelector> parsed;
  if (!SelectorParser(tokens, atoms).ParseList(range, parsed)) return false;
  out.insert(out.end(), std::make_move_iterator(parsed.begin()),
             std::make_move_iterator(parsed.end()));
  return true;
}

bool MatchesSelector(const ComplexSelector& selector, std::span<const SelectorSubject> stack) {
  if (selector.never || selector.compounds.empty() || stack.empty()) return false;
  const size_t index = stack.size() - 1;
  const size_t lowest = index > kMaxAncestors ? index - kMaxAncestors : 0;
  return MatchFrom(selector, 0, stack, index, lowest) == Match::Yes;
}

std::string DescribeSelector(const ComplexSelector& selector, const StyleAtoms& atoms) {
  std::string text;
  for (size_t k = selector.compounds.size(); k-- > 0;) {
    text += Describe(selector.compounds[k], atoms);
    if (k > 0) text += selector.compounds[k - 1].combinator == Combinator::Child ? " > " : " ";
  }
  return selector.never ? text + " (never)" : text;
}

}  // namespace brisomel
