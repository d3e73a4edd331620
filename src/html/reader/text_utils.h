// Conversions of texts taken from documents: colours, blank trimming, integers, and link texts
// to local file paths.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brisomel {

// A colour text (one of the 16 HTML colour names, or RRGGBB hexadecimal with or without "#")
// to a colour reference 0x00BBGGRR. Nothing when the text is no colour; callers then keep the
// colour they had.
std::optional<uint32_t> ColorFromText(std::u16string_view text);
inline bool ColorFromText(std::u16string_view text, uint32_t& color) {
  auto c = ColorFromText(text);
  if (c) color = *c;
  return c.has_value();
}

// The text without the characters of code 0..32 at either end.
std::string TrimBlanks(std::string_view text);
std::u16string TrimBlanks(std::u16string_view text);

// A decimal integer with optional sign and leading blanks; nothing when the text is not one or
// does not fit in 32 bits.
std::optional<int32_t> ParseInteger(std::string_view text);
std::optional<int32_t> ParseInteger(std::u16string_view text);
inline int32_t IntegerOr(std::string_view text, int32_t fallback) {
  return ParseInteger(text).value_or(fallback);
}
inline int32_t IntegerOr(std::u16string_view text, int32_t fallback) {
  return ParseInteger(text).value_or(fallback);
}

// Replaces %XX escapes from the left, stopping quietly at the first one that is malformed. A
// decoded "%" counts as the start of the next escape. Escaped UTF-8 stays UTF-8 bytes.
std::string DecodePercentEscapes(std::string_view text);

// A link text to a local path: escapes decoded; a text with "/" is lower-cased, loses its
// "file:///" (or "file://"), and has "|" turned into ":" and "/" into "\".
std::string UrlToLocalPath(std::string_view text);

// UrlToLocalPath, with `root` put in front of a result that starts with "\".
std::string UrlToLocalPathWithRoot(std::string_view text, std::string_view root);

// ASCII case folding, as used for tag, attribute and colour names and file names.
inline char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
std::u16string UpperCase(std::u16string_view text);
std::u16string LowerCase(std::u16string_view text);

}  // namespace brisomel
