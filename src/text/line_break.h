// Where a line may break inside East Asian text: the pair rules of the Unicode line breaking
// algorithm (UAX #14) for two adjacent characters with no space between them. A break is
// allowed between ideographs, kana, Hangul syllables and fullwidth forms, and between one of
// them and a letter of another script; never before closing punctuation and the other
// characters that must not start a line ("。", "、", "」", "）", small kana, "ー", "！"), never
// after opening punctuation ("「", "（"), never between a currency or percent sign and its
// number, never before a combining mark, and never inside a Hangul syllable spelled in jamo.
//
// Only pairs where at least one character is East Asian (an ideograph, kana or Hangul, or a
// character of East Asian width wide or fullwidth) are this function's business; for all
// others (Latin, Greek, Cyrillic words, spaces, Thai) it says no, and lines break at spaces as
// before. The classes are generated from the Unicode Character Database
// (tools/text/make_unicode_tables.py); kLineBreakUnicodeVersion says which version.
#pragma once

namespace brisomel {

extern const char* const kLineBreakUnicodeVersion;

bool IsLineBreakBetween(char32_t before, char32_t after);

}  // namespace brisomel
