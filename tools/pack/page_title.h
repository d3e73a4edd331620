// The title of a page, for a book packed without --title: the text of its first TITLE element.
//
// The page is decoded as the reader decodes it: in the encoding its byte-order mark, a META
// charset near its top, or a UTF-8 sniff of the whole page gives, else windows-1252. Character
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
