// The CSS tokenizer: turns style sheet text into the tokens of the CSS syntax (identifiers,
// functions, at-keywords, hashes, strings, URLs, numbers, percentages, dimensions, delimiters,
// whitespace, CDO/CDC and the punctuation tokens), ending with one Eof token.
//
// Reading notes:
// - Before tokenizing, CR LF, lone CR and form feed become LF; U+0000 and unpaired surrogates
//   become U+FFFD.
// - Comments are dropped; one left open runs to the end of the text.
// - Nothing fails: a string cut by a line end becomes a BadString token, a malformed url(...)
//   a BadUrl token, a lone backslash a Delim. Every token consumes at least one character, so
//   the token list is never longer than the text plus one.
// - Escapes are decoded: "\" followed by up to six hex digits (and one optional whitespace) is
//   that code point (U+FFFD for 0, surrogates and values above U+10FFFF); "\" before any other
//   character is that character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brisomel {

enum class CssTokenType : uint8_t {
  Ident,
  Function,   // text: the name, without "("
  AtKeyword,  // text: the name, without "@"
  Hash,       // text: the name, without "#"; is_id when it would start an identifier
  String,
  BadString,
  Url,  // text: the URL of an unquoted url(...)
  BadUrl,
  Delim,  // delim: the code point
  Number,
  Percentage,
  Dimension,  // text: the unit as written
  Whitespace,
  Cdo,  // "<!--"
  Cdc,  // "-->"
  Colon,
  Semicolon,
  Comma,
  OpenSquare,
  CloseSquare,
  OpenParen,
  CloseParen,
  OpenCurly,
  CloseCurly,
  Eof,
};

struct CssToken {
  CssTokenType type = CssTokenType::Eof;
  bool is_id = false;       // Hash: the name would start an identifier
  bool is_integer = false;  // Number, Percentage, Dimension: written without "." or exponent
  char32_t delim = 0;       // Delim
  double number = 0;        // Number, Percentage (50 for "50%"), Dimension
  std::u16string text;
};

// Tokenizes a whole sheet (or a STYLE attribute's text). The last token is Eof.
std::vector<CssToken> TokenizeCss(std::u16string_view text);

// A short description of a token for tests and debugging: ident(color), function(rgb),
// at(media), hash(x,id), string(a b), bad-string, url(x.png), bad-url, delim(!), number(12),
// percentage(50), dimension(1.5,em), ws, cdo, cdc, ":", ";", ",", "[", "]", "(", ")", "{", "}",
// eof. Text is written as UTF-8.
std::string DescribeCssToken(const CssToken& token);

// ASCII case-insensitive comparison of CSS text with an ASCII lower-case literal.
bool CssEqualsIgnoreCase(std::u16string_view text, std::string_view lower_ascii);

// `text` with ASCII letters in lower case.
std::u16string CssAsciiLower(std::u16string_view text);

}  // namespace brisomel
