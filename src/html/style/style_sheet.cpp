#include "html/style/style_sheet.h"

namespace brisomel {
namespace {

using T = CssTokenType;

class SheetReader {
 public:
  explicit SheetReader(const StyleSheetContext& context) : context_(context) {}

  void ReadSheet(std::u16string_view text, const std::u16string& location) {
    chain_.push_back(location);
    const std::vector<CssToken> tokens = TokenizeCss(text);
    ReadRules(tokens, {0, tokens.size()}, true, location, 0);
    chain_.pop_back();
  }

  std::vector<std::unique_ptr<StyleRule>> rules;

 private:
  void ReadRules(const std::vector<CssToken>& tokens, CssRange range, bool top_level,
                 const std::u16string& location, int block_depth) {
    bool imports_allowed = top_level;
    for (const CssRawRule& raw : ParseCssRules(tokens, range, top_level)) {
      if (!raw.at_rule) {
        imports_allowed = false;
        ReadStyleRule(tokens, raw, location);
        continue;
      }
      if (CssEqualsIgnoreCase(raw.name, "charset")) continue;
      if (CssEqualsIgnoreCase(raw.name, "import")) {
        if (imports_allowed && !raw.has_block) Import(tokens, raw.prelude, location);
        continue;
      }
      imports_allowed = false;
      if (CssEqualsIgnoreCase(raw.name, "media") && raw.has_block && block_depth < kMaxBlockDepth &&
          MediaListMatches(tokens, raw.prelude, context_.media)) {
        ReadRules(tokens, raw.block, false, location, block_depth + 1);
      }
    }
  }

  void ReadStyleRule(const std::vector<CssToken>& tokens, const CssRawRule& raw,
                     const std::u16string& location) {
    auto rule = std::make_unique<StyleRule>();
    if (!ParseSelectorList(tokens, raw.prelude, context_.atoms, rule->selectors)) return;
    for (const CssRawDeclaration& declaration : ParseCssDeclarations(tokens, raw.block)) {
      ParseStyleDeclaration(declaration.name, tokens, declaration.value, declaration.important,
                            location, rule->declarations);
    }
    if (!rule->declarations.empty()) rules.push_back(std::move(rule));
  }

  // @import url(x) | "x" [media query list]
  void Import(const std::vector<CssToken>& tokens, CssRange prelude,
              const std::u16string& location) {
    if (!context_.loader || !*context_.loader) return;
    size_t i = SkipCssWhitespace(tokens, prelude.begin, prelude.end);
    if (i >= prelude.end) return;
    std::u16string url;
    const CssToken& token = tokens[i];
    if (token.type == T::String || token.type == T::Url) {
      url = token.text;
      ++i;
    } else if (token.type == T::Function && CssEqualsIgnoreCase(token.text, "url")) {
      CssRange inside;
      i = SkipCssBlock(tokens, i, prelude.end, inside);
      const size_t arg = SkipCssWhitespace(tokens, inside.begin, inside.end);
      if (arg >= inside.end || tokens[arg].type != T::String ||
          SkipCssWhitespace(tokens, arg + 1, inside.end) != inside.end)
        return;
      url = tokens[arg].text;
    } else {
      return;
    }
    if (!MediaListMatches(tokens, {i, prelude.end}, context_.media)) return;
    if (static_cast<int>(chain_.size()) > kMaxImportDepth || loads_ >= kMaxImports) return;
    std::u16string text, imported_location;
    ++loads_;
    if (!(*context_.loader)(url, location, text, imported_location)) return;
    for (const std::u16string& reading : chain_)
      if (!reading.empty() && reading == imported_location) return;  // a cycle
    ReadSheet(text, imported_location);
  }

  const StyleSheetContext& context_;
  std::vector<std::u16string> chain_;  // locations of the sheets being read, outermost first
  int loads_ = 0;
};

}  // namespace

std::vector<std::unique_ptr<StyleRule>> ReadStyleSheet(std::u16string_view text,
                                                       std::u16string_view location,
                                                       const StyleSheetContext& context) {
  SheetReader reader(context);
  reader.ReadSheet(text, std::u16string(location));
  return std::move(reader.rules);
}

std::string DescribeStyleRule(const StyleRule& rule, const StyleAtoms& atoms) {
  std::string text;
  for (size_t i = 0; i < rule.selectors.size(); ++i)
    text += (i ? ", " : "") + DescribeSelector(rule.selectors[i], atoms);
  text += " {";
  for (size_t i = 0; i < rule.declarations.size(); ++i) {
    const StyleDeclaration& declaration = rule.declarations[i];
    text += i ? "; " : " ";
    text += StylePropertyName(declaration.property);
    text += ": " + DescribeCssValue(declaration.property, declaration.value);
    if (declaration.important) text += " !important";
  }
  return text + " }";
}

}  // namespace brisomel
