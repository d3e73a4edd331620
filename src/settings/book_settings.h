// The book's settings entry: a small file the packer adds to the archive, carrying what the
// author chose for the book as a whole (its title). The reader extracts it like any other entry
// and reads it from the extracted folder, so that it comes out deciphered from an obfuscated
// book and the extraction needs no exception. Its name holds neither ".htm" nor ".txt", so no
// page search ever lists it, and the packer refuses a site with a file of that name.
//
// Format: settings text (key_value_text.h), UTF-8:
//   # Brisomel book settings
//   title=Harbour Guide
// Keys: `title`, the book's title (at most kMaxTitleLength UTF-16 units, no control
// characters, white space folded). Unknown keys are passed over; a damaged title (not UTF-8,
// too long, holding control characters) counts as none.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brisomel {

inline constexpr char kBookSettingsEntry[] = "brisomel-book.ini";
// A caption's worth.
constexpr size_t kMaxTitleLength = 255;

struct BookSettings {
  std::u16string title;  // empty: none
};

// `text` made fit for a title: every run of white space and control characters becomes one
// space, none at the ends; cut to kMaxTitleLength units, never inside a surrogate pair.
std::u16string CleanTitle(std::u16string_view text);

// The entry's bytes; the title is cleaned first.
std::string WriteBookSettings(const BookSettings& settings);
// What an entry holds; any damage gives no title.
BookSettings ReadBookSettings(std::string_view bytes);

}  // namespace brisomel
