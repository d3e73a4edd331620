// The book's caption read from its extracted files: the title of its settings entry, else the
// reader's own name, whatever state the entry is in.
#include "shell/book_caption.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/headless/memory_files.h"
#include "settings/book_settings.h"
#include "settings/key_value_text.h"

namespace brisomel {
namespace {

TEST(BookCaption, TheEntrysTitleElseBrisomel) {
  struct Case {
    const char* what;
    std::optional<std::string> entry;  // none: the book has no settings entry
    std::u16string caption;
    std::string book_dir = "/run/";
  };
  const std::u16string any_script =
      u"\u6E2F\u306E\u6848\u5185 \u2014 \u0413\u0430\u0432\u0430\u043D\u044C";
  const Case cases[] = {
      {"title", WriteBookSettings({u"Harbour Guide"}), u"Harbour Guide"},
      {"any script", WriteBookSettings({any_script}), any_script},
      {"no title key", WriteBookSettings({}), u"Brisomel"},
      {"no entry (an older book)", std::nullopt, u"Brisomel"},
      {"no folder", WriteBookSettings({u"Harbour Guide"}), u"Brisomel", ""},
      {"empty entry", "", u"Brisomel"},
      {"title not UTF-8", "title=Caf\xE9\n", u"Brisomel"},
      {"binary", std::string("\x00\xFF\x01=\n\x80", 6), u"Brisomel"},
      {"larger than settings text", "title=Big\n" + std::string(kMaxSettingsText, '#'),
       u"Brisomel"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFiles files;
    if (c.entry)
      files.Put(std::string("/run/") + kBookSettingsEntry, {c.entry->begin(), c.entry->end()});
    EXPECT_EQ(BookCaption(files, c.book_dir), c.caption);
  }
}

}  // namespace
}  // namespace brisomel
