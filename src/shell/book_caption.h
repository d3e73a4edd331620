// The name the main window goes by for a book: the title the book's settings entry carries,
// shown in the caption bar and, through the window's title, in the task bar and the window
// switcher.
#pragma once

#include <string>

#include "platform/files.h"

namespace brisomel {

inline constexpr char16_t kDefaultBookCaption[] = u"Brisomel";

// The caption for the book whose files were extracted into `book_dir` (ending in a separator):
// its title, else kDefaultBookCaption when there is no folder, no settings entry (a book
// packed without one), or the entry is unreadable or damaged.
std::u16string BookCaption(Files& files, const std::string& book_dir);

}  // namespace brisomel
