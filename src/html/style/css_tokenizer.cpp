#include "html/style/css_tokenizer.h"

#include <cmath>
#include <cstdio>

#include "text/utf.h"

namespace brisomel {
namespace {

constexpr char32_t kEof = 0xFFFFFFFF;  // past the end of the text
constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr int kMaxEscapeDigits = 6;
constexpr int kMaxExponent = 1000;  // beyond this a double is infinite or zero anyway

bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char32_t c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int HexValue(char32_t c) {
  if (IsDigit(c)) return static_cast<int>(c - '0');
  return static_cast<int>((c | 0x20) - 'a' + 10);
}
bool IsLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsNewline(char32_t c) { return c == '\n'; }
bool IsWhitespace(char32_t c) { return c == '\n' || c == '\t' || c == ' '; }
bool IsIdentStart(char32_t c) { return c != kEof && (IsLetter(c) || c >= 0x80 || c == '_'); }
bool IsIdentChar(char32_t c) { return IsIdentStart(c) || IsDigit(c) || c == '-'; }
bool IsNonPrintable(char32_t c) {
  return c <= 0x08 || c == 0x0B || (c >= 0x0E && c <= 0x1F) || c == 0x7F;
}

// The text as code points, with line ends, NUL and unpaired surrogates normalised.
std::u32string Preprocess(std::u16string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const CodePointAt at = DecodeUtf16At(text, i);
    i += at.length;
    char32_t c = at.code_point;
    if (c == '\r') {
      if (i < text.size() && text[i] == '\n') ++i;
      c = '\n';
    } else if (c == '\f') {
      c = '\n';
    } else if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) {
      c = kReplacementCharacter;
    }
    out.push_back(c);
  }
  return out;
}

class Scanner {
 public:
  explicit Scanner(std::u32string text) : text_(std::move(text)) {}

  std::vector<CssToken> Run() {
    std::vector<CssToken> tokens;
    for (;;) {
      CssToken token = Next();
      const bool end = token.type == CssTokenType::Eof;
      tokens.push_back(std::move(token));
      if (end) return tokens;
    }
  }

 private:
  char32_t Peek(size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : kEof;
  }
  char32_t Take() { return pos_ < text_.size() ? text_[pos_++] : (++pos_, kEof); }

  static bool ValidEscape(char32_t first, char32_t second) {
    return first == '\\' && !IsNewline(second);
  }
  static bool StartsIdentifier(char32_t a, char32_t b, char32_t c) {
    if (a == '-') return IsIdentStart(b) || b == '-' || ValidEscape(b, c);
    if (IsIdentStart(a)) return true;
    return ValidEscape(a, b);
  }
  static bool StartsNumber(char32_t a, char32_t b, char32_t c) {
    if (a == '+' || a == '-') return IsDigit(b) || (b == '.' && IsDigit(c));
    if (a == '.') return IsDigit(b);
    return IsDigit(a);
  }
  bool AtIdentifier() const { return StartsIdentifier(Peek(), Peek(1), Peek(2)); }
  bool AtNumber() const { return StartsNumber(Peek(), Peek(1), Peek(2)); }

  static CssToken Simple(CssTokenType type) {
    CssToken token;
    token.type = type;
    return token;
  }
  static CssToken Delim(char32_t c) {
    CssToken token = Simple(CssTokenType::Delim);
    token.delim = c;
    return token;
  }

  void SkipComments() {
    while (Peek() == '/' && Peek(1) == '*') {
      pos_ += 2;
      while (pos_ < text_.size() && !(Peek() == '*' && Peek(1) == '/')) ++pos_;
      pos_ = std::min(pos_ + 2, text_.size());
    }
  }

  CssToken Next() {
    SkipComments();
    const char32_t c = Peek();
    if (c == kEof) return Simple(CssTokenType::Eof);
    if (IsWhitespace(c)) {
      while (IsWhitespace(Peek())) ++pos_;
      return Simple(CssTokenType::Whitespace);
    }
    switch (c) {
      case '"':
      case '\'':
        ++pos_;
        return String(c);
      case '#':
        ++pos_;
        if (IsIdentChar(Peek()) || ValidEscape(Peek(), Peek(1))) {
          CssToken token = Simple(CssTokenType::Hash);
          token.is_id = AtIdentifier();
          token.text = IdentSequence();
          return token;
        }
        return Delim('#');
      case '(':
        ++pos_;
        return Simple(CssTokenType::OpenParen);
      case ')':
        ++pos_;
        return Simple(CssTokenType::CloseParen);
      case '+':
      case '.':
        if (AtNumber()) return Numeric();
        ++pos_;
        return Delim(c);
      case ',':
        ++pos_;
        return Simple(CssTokenType::Comma);
      case '-':
        if (AtNumber()) return Numeric();
        if (Peek(1) == '-' && Peek(2) == '>') {
          pos_ += 3;
          return Simple(CssTokenType::Cdc);
        }
        if (AtIdentifier()) return IdentLike();
        ++pos_;
        return Delim('-');
      case ':':
        ++pos_;
        return Simple(CssTokenType::Colon);
      case ';':
        ++pos_;
        return Simple(CssTokenType::Semicolon);
      case '<':
        if (Peek(1) == '!' && Peek(2) == '-' && Peek(3) == '-') {
          pos_ += 4;
          return Simple(CssTokenType::Cdo);
        }
        ++pos_;
        return Delim('<');
      case '@':
        ++pos_;
        if (AtIdentifier()) {
          CssToken token = Simple(CssTokenType::AtKeyword);
          token.text = IdentSequence();
          return token;
        }
        return Delim('@');
      case '[':
        ++pos_;
        return Simple(CssTokenType::OpenSquare);
      case '\\':
        if (ValidEscape(c, Peek(1))) return IdentLike();
        ++pos_;
        return Delim('\\');
      case ']':
        ++pos_;
        return Simple(CssTokenType::CloseSquare);
      case '{':
        ++pos_;
        return Simple(CssTokenType::OpenCurly);
      case '}':
        ++pos_;
        return Simple(CssTokenType::CloseCurly);
      default:
        break;
    }
    if (IsDigit(c)) return Numeric();
    if (IsIdentStart(c)) return IdentLike();
    ++pos_;
    return Delim(c);
  }

  // After "\" (already consumed): the escaped code point.
  char32_t Escaped() {
    const char32_t c = Take();
    if (c == kEof) return kReplacementCharacter;
    if (!IsHexDigit(c)) return c;
    uint32_t value = static_cast<uint32_t>(HexValue(c));
    for (int n = 1; n < kMaxEscapeDigits && IsHexDigit(Peek()); ++n)
      value = value * 16 + static_cast<uint32_t>(HexValue(Take()));
    if (IsWhitespace(Peek())) ++pos_;
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value > kMaxCodePoint)
      return kReplacementCharacter;
    return value;
  }

  std::u16string IdentSequence() {
    std::u16string out;
    for (;;) {
      const char32_t c = Peek();
      if (IsIdentChar(c)) {
        ++pos_;
        AppendUtf16(out, c);
      } else if (ValidEscape(c, Peek(1))) {
        ++pos_;
        AppendUtf16(out, Escaped());
      } else {
        return out;
      }
    }
  }

  CssToken IdentLike() {
    std::u16string name = IdentSequence();
    if (Peek() == '(') {
      ++pos_;
      if (CssEqualsIgnoreCase(name, "url")) {
        while (IsWhitespace(Peek()) && IsWhitespace(Peek(1))) ++pos_;
        const char32_t next = IsWhitespace(Peek()) ? Peek(1) : Peek();
        if (next != '"' && next != '\'') return Url();
      }
      CssToken token = Simple(CssTokenType::Function);
      token.text = std::move(name);
      return token;
    }
    CssToken token = Simple(CssTokenType::Ident);
    token.text = std::move(name);
    return token;
  }

  CssToken String(char32_t quote) {
    CssToken token = Simple(CssTokenType::String);
    for (;;) {
      const char32_t c = Peek();
      if (c == kEof) return token;
      if (c == quote) {
        ++pos_;
        return token;
      }
      if (IsNewline(c)) {  // left for the next token
        token.type = CssTokenType::BadString;
        token.text.clear();
        return token;
      }
      ++pos_;
      if (c == '\\') {
        if (Peek() == kEof) continue;
        if (IsNewline(Peek())) {
          ++pos_;
          continue;
        }
        AppendUtf16(token.text, Escaped());
      } else {
        AppendUtf16(token.text, c);
      }
    }
  }

  CssToken Url() {
    CssToken token = Simple(CssTokenType::Url);
    while (IsWhitespace(Peek())) ++pos_;
    for (;;) {
      const char32_t c = Take();
      if (c == ')' || c == kEof) return token;
      if (IsWhitespace(c)) {
        while (IsWhitespace(Peek())) ++pos_;
        if (Peek() == ')' || Peek() == kEof) {
          Take();
          return token;
        }
        return BadUrl();
      }
      if (c == '"' || c == '\'' || c == '(' || IsNonPrintable(c)) return BadUrl();
      if (c == '\\') {
        if (!ValidEscape(c, Peek())) return BadUrl();
        AppendUtf16(token.text, Escaped());
        continue;
      }
      AppendUtf16(token.text, c);
    }
  }

  // The rest of a malformed url(...): up to ")" or the end, escapes skipped whole.
  CssToken BadUrl() {
    for (;;) {
      const char32_t c = Take();
      if (c == ')' || c == kEof) return Simple(CssTokenType::BadUrl);
      if (ValidEscape(c, Peek())) Escaped();
    }
  }

  CssToken Numeric() {
    CssToken token = Simple(CssTokenType::Number);
    token.is_integer = true;
    double sign = 1;
    if (Peek() == '+' || Peek() == '-') sign = Take() == '-' ? -1 : 1;
    double value = 0;
    while (IsDigit(Peek())) value = value * 10 + static_cast<double>(Take() - '0');
    if (Peek() == '.' && IsDigit(Peek(1))) {
      token.is_integer = false;
      ++pos_;
      double scale = 0.1;
      while (IsDigit(Peek())) {
        value += scale * static_cast<double>(Take() - '0');
        scale /= 10;
      }
    }
    const char32_t e = Peek();
    if ((e == 'e' || e == 'E') &&
        (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
      token.is_integer = false;
      ++pos_;
      int exponent_sign = 1;
      if (Peek() == '+' || Peek() == '-') exponent_sign = Take() == '-' ? -1 : 1;
      int exponent = 0;
      while (IsDigit(Peek())) {
        exponent = std::min(exponent * 10 + static_cast<int>(Take() - '0'), kMaxExponent);
      }
      if (value != 0) value *= std::pow(10.0, exponent_sign * exponent);
    }
    token.number = sign * value;
    if (AtIdentifier()) {
      token.type = CssTokenType::Dimension;
      token.text = IdentSequence();
    } else if (Peek() == '%') {
      ++pos_;
      token.type = CssTokenType::Percentage;
    }
    return token;
  }

  std::u32string text_;
  size_t pos_ = 0;
};

std::string FormatNumber(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

}  // namespace

std::vector<CssToken> TokenizeCss(std::u16string_view text) {
  return Scanner(Preprocess(text)).Run();
}

bool CssEqualsIgnoreCase(std::u16string_view text, std::string_view lower_ascii) {
  if (text.size() != lower_ascii.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char16_t>(c + 32);
    if (c != static_cast<unsigned char>(lower_ascii[i])) return false;
  }
  return true;
}

std::u16string CssAsciiLower(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char16_t>(c + 32);
  return out;
}

std::string DescribeCssToken(const CssToken& token) {
  const std::string text = Utf16ToUtf8(token.text);
  switch (token.type) {
    case CssTokenType::Ident:
      return "ident(" + text + ")";
    case CssTokenType::Function:
      return "function(" + text + ")";
    case CssTokenType::AtKeyword:
      return "at(" + text + ")";
    case CssTokenType::Hash:
      return "hash(" + text + (token.is_id ? ",id)" : ")");
    case CssTokenType::String:
      return "string(" + text + ")";
    case CssTokenType::BadString:
      return "bad-string";
    case CssTokenType::Url:
      return "url(" + text + ")";
    case CssTokenType::BadUrl:
      return "bad-url";
    case CssTokenType::Delim: {
      std::string delim;
      AppendUtf8(delim, token.delim);
      return "delim(" + delim + ")";
    }
    case CssTokenType::Number:
      return "number(" + FormatNumber(token.number) + ")";
    case CssTokenType::Percentage:
      return "percentage(" + FormatNumber(token.number) + ")";
    case CssTokenType::Dimension:
      return "dimension(" + FormatNumber(token.number) + "," + text + ")";
    case CssTokenType::Whitespace:
      return "ws";
    case CssTokenType::Cdo:
      return "cdo";
    case CssTokenType::Cdc:
      return "cdc";
    case CssTokenType::Colon:
      return ":";
    case CssTokenType::Semicolon:
      return ";";
    case CssTokenType::Comma:
      return ",";
    case CssTokenType::OpenSquare:
      return "[";
    case CssTokenType::CloseSquare:
      return "]";
    case CssTokenType::OpenParen:
      return "(";
    case CssTokenType::CloseParen:
      return ")";
    case CssTokenType::OpenCurly:
      return "{";
    case CssTokenType::CloseCurly:
      return "}";
    case CssTokenType::Eof:
      return "eof";
  }
  return "?";
}

}  // namespace brisomel
