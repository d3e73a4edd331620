// Case-insensitive matching of text in any script: Unicode simple case folding, which maps
// each character to one character (capitals and title-case forms to small letters, final
// sigma to sigma, the Kelvin sign to k, ...). The table is generated from the Unicode
// Character Database (tools/text/make_unicode_tables.py); kCaseFoldUnicodeVersion says which.
//
// Simple folding keeps each character's length: no character folds to one of another UTF-16
// length (the generator refuses a table where one would), so positions in a folded text are
// the positions in the original. Full folding ("ß" to "ss") is not done, and neither is the
// Turkish tailoring: "İ" (U+0130) stays itself and "I" folds to "i", not to dotless "ı".
#pragma once

#include <string>
#include <string_view>

namespace brisomel {

extern const char* const kCaseFoldUnicodeVersion;

// The simple case folding of one code point (itself when it has none).
char32_t SimpleCaseFold(char32_t code_point);

// The text with every character folded; the same length in code units. An unpaired surrogate
// is kept as it is.
std::u16string FoldCase(std::u16string_view text);

}  // namespace brisomel
