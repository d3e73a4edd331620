// The title of a page, for a book packed without --title: the text of its first TITLE element.
//
// The page is read as UTF-8 when it starts with the UTF-8 byte-order mark, when a META tag near
// its top declares charset=utf-8, or, declaring no charset, when all of it that is read is
// valid UTF-8; as UTF-16 after a UTF-16 byte-order mark; else as Windows-1252. Character
// references (named and numeric) in the title are replaced, and white space is folded.
#pragma once

#include <string>
#include <string_view>

namespace brisomel::pack {

// A title is looked for in the first this many bytes of a page.
constexpr size_t kTitleScanBytes = 256 * 1024;

// The page's title, cleaned as book titles are; empty when the page has none.
std::u16string PageTitle(std::string_view page);

}  // namespace brisomel::pack
