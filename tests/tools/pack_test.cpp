// The packer, driven as a library on folders made by code; each book is then read back the way
// the reader reads it (and the way ZIP tools read it) to check what a reader of the book gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

#include "archive/cipher.h"
#include "archive/crc32.h"
#include "archive/entry_path.h"
#include "book_fixture.h"
#include "icon_fixture.h"
#include "pack/book_file.h"
#include "pack/book_packer.h"
#include "pack/command_line.h"
#include "pack/host.h"
#include "pack/program_icon.h"
#include "pack/zip_writer.h"
#include "settings/book_settings.h"
#include "text/utf.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace brisomel::pack {
namespace {

namespace fs = std::filesystem;
using testing::CentralRecord;
using testing::FakeReader;
using testing::PageText;
using testing::RandomBytes;
using testing::ReadFile;
using testing::ScratchDir;
using testing::WalkedEntry;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

class PackTest : public ::testing::Test {
 public:  // the refusal table's arrangements reach in
  void SetUp() override {
    fs::create_directories(site_);
    fs::create_directories(book_.parent_path());
    options_.site_dir = site_;
    options_.output = book_;
    reader_ = dir_.Write("reader.exe", FakeReader());
    options_.reader = reader_;
  }

  void Add(const std::string& relative, const std::vector<uint8_t>& bytes) {
    dir_.Write("site/" + relative, bytes);
    contents_[relative] = bytes;
  }
  void Add(const std::string& relative, const std::string& text) { Add(relative, Bytes(text)); }

  PackResult Pack() {
    progress_.str("");
    return PackBook(options_, progress_);
  }

  // Packs and walks the book as the reader does; every entry must come back intact. The site's
  // entries are returned; the settings entry after them, with the title `title`, is kept in
  // settings_entry_.
  std::vector<WalkedEntry> PackAndWalk(const std::u16string& title = u"") {
    result_ = Pack();
    const PackResult& result = result_;
    EXPECT_TRUE(result.ok) << result.error;
    book_bytes_ = ReadFile(book_);
    EXPECT_EQ(result.book_size, book_bytes_.size());
    std::string error;
    std::vector<WalkedEntry> entries = testing::WalkBook(book_bytes_, &error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(entries.size(), contents_.size() + 1);
    EXPECT_EQ(result.entries, contents_.size());
    EXPECT_EQ(result.title, title);
    if (entries.empty()) return entries;
    EXPECT_EQ(entries.back().name, kBookSettingsEntry);
    const std::vector<uint8_t> settings = Bytes(WriteBookSettings(BookSettings{title}));
    for (const WalkedEntry& entry : entries) {
      const bool last = &entry == &entries.back();
      EXPECT_TRUE(entry.restored) << entry.name;
      EXPECT_EQ(entry.data, last ? settings : contents_[entry.name]) << entry.name;
      EXPECT_EQ(entry.crc32, Crc32(entry.data.data(), entry.data.size())) << entry.name;
      EXPECT_EQ(entry.uncompressed_size, entry.data.size()) << entry.name;
    }
    EXPECT_EQ(entries[0].header,
              std::vector<uint8_t>(std::begin(kSearchPattern), std::end(kSearchPattern)));
    EXPECT_EQ(entries[0].header_offset, result.archive_offset);
    EXPECT_EQ(entries[0].name, result.first_entry);
    settings_entry_ = entries.back();
    entries.pop_back();
    return entries;
  }

  ScratchDir dir_;
  fs::path site_ = dir_.path() / "site";
  fs::path book_ = dir_.path() / "out" / "book.exe";
  fs::path reader_;
  PackOptions options_;
  std::map<std::string, std::vector<uint8_t>> contents_;
  std::vector<uint8_t> book_bytes_;
  PackResult result_;
  WalkedEntry settings_entry_;
  std::ostringstream progress_;
  std::shared_ptr<void> held_;  // keeps a file locked while a case runs
};

TEST_F(PackTest, BookIsReaderThenEntriesThenCentralDirectory) {
  Add("index.htm", PageText(5000));
  Add("sub/chapter.htm", PageText(3000));
  Add("photo.jpg", RandomBytes(4096, 1));
  Add("empty.txt", "");
  Add("notes.TXT", "hello");

  std::vector<WalkedEntry> entries = PackAndWalk();
  ASSERT_EQ(entries.size(), 5u);
  entries.push_back(settings_entry_);  // last, after the site's files
  std::vector<uint8_t> reader = FakeReader();
  ASSERT_GE(book_bytes_.size(), reader.size());
  EXPECT_TRUE(std::equal(reader.begin(), reader.end(), book_bytes_.begin()));
  // The reader's copy, then the first header; later matches are only other deflated headers.
  std::vector<PatternMatch> matches = FindSearchPattern(book_bytes_);
  ASSERT_EQ(matches.size(), 3u);
  EXPECT_LT(matches[0].offset, reader.size());
  EXPECT_EQ(matches[1].offset, entries[0].header_offset);
  EXPECT_EQ(matches[2].offset, entries[4].header_offset);

  struct Expected {
    const char* name;
    uint16_t method, flags, version;
  };
  const Expected expected[] = {
      {"index.htm", 8, 2, 20},       {"empty.txt", 0, 0, 10},  // deflate would make these larger
      {"notes.TXT", 0, 0, 10},       {"photo.jpg", 0, 0, 10},
      {"sub/chapter.htm", 8, 2, 20}, {kBookSettingsEntry, 0, 0, 10}};
  for (size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(entries[i].name, expected[i].name);
    EXPECT_EQ(entries[i].method, expected[i].method);
    EXPECT_EQ(entries[i].flags, expected[i].flags);
    EXPECT_EQ(entries[i].version_needed, expected[i].version);
    EXPECT_EQ(entries[i].compressed_size, entries[i].raw.size());
    if (entries[i].method == 8) {
      EXPECT_LT(entries[i].raw.size(), entries[i].data.size());
    }
  }

  std::string error;
  std::vector<CentralRecord> records = testing::ReadCentralDirectory(book_bytes_, &error);
  ASSERT_EQ(error, "");
  ASSERT_EQ(records.size(), entries.size());
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(records[i].name);
    EXPECT_EQ(records[i].name, entries[i].name);
    EXPECT_EQ(records[i].local_header_offset, entries[i].header_offset);  // from the book's start
    EXPECT_EQ(records[i].method, entries[i].method);
    EXPECT_EQ(records[i].flags, entries[i].flags);
    EXPECT_EQ(records[i].crc32, entries[i].crc32);
    EXPECT_EQ(records[i].compressed_size, entries[i].compressed_size);
    EXPECT_EQ(records[i].uncompressed_size, entries[i].uncompressed_size);
  }
}

TEST_F(PackTest, FirstEntryIsTheStartPageElseAPageElseTheFirstFile) {
  struct Case {
    std::vector<std::string> files;
    std::string first;
  };
  const Case cases[] = {
      {{"a.htm", "index.htm", "index.html"}, "index.html"},  // the page the reader shows
      {{"a.htm", "Index.HTM", "z.txt"}, "Index.HTM"},
      {{"a.htm", "sub/index.htm"}, "a.htm"},  // the reader starts in the site's own folder
      {{"a.gif", "b.txt", "c.HTML"}, "c.HTML"},
      {{"b.bin", "a.bin"}, "a.bin"},  // deflated although that makes it larger
      // The first header has no UTF-8 flag: only an ASCII name can come first.
      {{"ä.htm", "文档.htm", "z.txt"}, "z.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    fs::remove_all(site_);
    contents_.clear();
    for (size_t i = 0; i < c.files.size(); ++i) {
      Add(c.files[i], c.files[i].ends_with(".bin") ? RandomBytes(300, i) : Bytes(PageText(400)));
    }
    std::vector<WalkedEntry> entries = PackAndWalk();
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0].name, c.first);
    EXPECT_EQ(entries[0].method, 8);
  }
}

TEST_F(PackTest, NamesBeyondAsciiAreStoredAsUtf8WithTheFlag) {
  Add("index.htm", PageText(100));
  Add("résumé.htm", PageText(100));
  Add("文档/页.htm", RandomBytes(50, 1));  // stored, not deflated
  std::vector<WalkedEntry> entries = PackAndWalk();
  ASSERT_EQ(entries.size(), 3u);
  std::string error;
  std::vector<CentralRecord> records = testing::ReadCentralDirectory(book_bytes_, &error);
  ASSERT_EQ(records.size(), 4u) << error;
  for (size_t i = 0; i < entries.size(); ++i) {
    const bool ascii = entries[i].name == "index.htm";
    EXPECT_EQ((entries[i].flags & 0x0800) != 0, !ascii) << entries[i].name;
    EXPECT_EQ(records[i].name, entries[i].name);
    EXPECT_EQ(records[i].flags, entries[i].flags);
  }
  EXPECT_EQ(entries[1].name, "résumé.htm");
  EXPECT_EQ(entries[2].name, "文档/页.htm");
}

TEST_F(PackTest, EmptyStartPageIsStillADeflatedFirstEntry) {
  Add("index.htm", "");
  Add("other.htm", PageText(100));
  std::vector<WalkedEntry> entries = PackAndWalk();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].method, 8);
  EXPECT_EQ(entries[0].raw.size(), 2u);  // one empty final fixed block
}

// The settings entry carries the title given, else the start page's, cleaned the same way;
// a book with neither carries none and the reader shows its own name.
TEST_F(PackTest, SettingsEntryCarriesTheGivenTitleElseTheStartPages) {
  struct Case {
    const char* what;
    std::optional<std::u16string> given;
    std::vector<std::pair<std::string, std::string>> files;
    std::u16string title;
    bool from_start_page;
  };
  const std::string titled = "<HTML><TITLE>Start &amp; Finish</TITLE>" + PageText(300);
  const Case cases[] = {
      {"given", u"Harbour Guide", {{"index.htm", titled}}, u"Harbour Guide", false},
      {"given, any script, white space folded",
       u"  \u6E2F\u306E\u6848\u5185\n\t\u0413\u0430\u0432\u0430\u043D\u044C \U0001D11E ",
       {{"index.htm", PageText(100)}},
       u"\u6E2F\u306E\u6848\u5185 \u0413\u0430\u0432\u0430\u043D\u044C \U0001D11E",
       false},
      {"start page's", std::nullopt, {{"index.htm", titled}}, u"Start & Finish", true},
      {"index.html is the start page",
       std::nullopt,
       {{"index.htm", titled}, {"INDEX.HTML", "<title>Upper</title>"}},
       u"Upper",
       true},
      {"start page in UTF-8",
       std::nullopt,
       {{"index.htm", "<meta charset=utf-8><title>Caf\xC3\xA9</title>"}},
       u"Caf\u00E9",
       true},
      {"start page without a title", std::nullopt, {{"index.htm", PageText(100)}}, u"", false},
      {"no start page", std::nullopt, {{"a.htm", titled}, {"sub/index.htm", titled}}, u"", false},
  };
  for (const bool obfuscate : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (obfuscate ? ", obfuscated" : ""));
      fs::remove_all(site_);
      contents_.clear();
      for (const auto& [name, text] : c.files) Add(name, text);
      options_.title = c.given;
      options_.obfuscate = obfuscate;
      PackAndWalk(c.title);
      EXPECT_EQ(result_.title_from_start_page, c.from_start_page);
      const std::string& data =
          std::string(settings_entry_.data.begin(), settings_entry_.data.end());
      EXPECT_EQ(ReadBookSettings(data).title, c.title);
    }
  }
}

// The reader the book starts with takes every image of the icon file; the book is still found
// by the reader's search and read whole, and its icon reads back from the written file.
TEST_F(PackTest, IconReplacesTheReadersOwn) {
  const std::vector<IconImage> icon = {
      testing::BitmapImage(16, 16, 4, 0xFF0000), testing::BitmapImage(32, 32, 8, 0x00FF00),
      testing::BitmapImage(48, 48, 32, 0x0000FF), testing::PngImage(256, 256, 0x808080)};
  fs::path icon_file = dir_.Write("book.ico", WriteIconFile(icon));
  Add("index.htm", PageText(2000));
  Add("pics/a.gif", RandomBytes(500, 2));
  for (const bool is_64bit : {false, true}) {
    SCOPED_TRACE(is_64bit ? "64-bit reader" : "32-bit reader");
    testing::FakeProgram program = testing::FakeProgram::Typical(is_64bit);
    std::copy(std::begin(kSearchPattern), std::end(kSearchPattern),
              program.sections[0].data.begin() + 0x100);
    options_.reader = dir_.Write("reader.exe", testing::BuildProgram(program));
    options_.icon = icon_file;
    PackAndWalk();
    EXPECT_EQ(result_.icon_sizes, (std::vector<std::string>{"16x16", "32x32", "48x48", "256x256"}));
    std::vector<IconImage> read;
    std::string error;
    ASSERT_TRUE(ReadProgramIcon(ByteView(book_bytes_), &read, &error)) << error;
    testing::ExpectSameImages(read, icon);
    // Without --icon the reader's own icon stays.
    options_.icon.clear();
    PackAndWalk();
    ASSERT_TRUE(ReadProgramIcon(ByteView(book_bytes_), &read, &error)) << error;
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].width, 16);
  }
}

TEST_F(PackTest, ZipToolsAcceptThePlainBook) {
#ifdef _WIN32
  GTEST_SKIP() << "unzip is a Linux tool";
#else
  if (std::system("command -v unzip >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "no unzip";
  }
  Add("index.htm", PageText(20000));
  Add("pics/photo.jpg", RandomBytes(70000, 7));
  Add("empty.txt", "");
  ASSERT_TRUE(Pack().ok);
  std::string command = "unzip -tqq '" + book_.string() + "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
#endif
}

TEST_F(PackTest, ObfuscatedEntriesComeBackWithTheReadersCarriedKeys) {
  Add("index.htm", PageText(3000));
  Add("a.htm", PageText(200000));      // deflated over several reads
  Add("b.bin", RandomBytes(5000, 3));  // stored
  Add("c.txt", "");
  // Stored after a deflate attempt over several reads: rewritten with the keys rewound, and
  // as the last entry it leaves nothing of the attempt behind the central directory.
  Add("z.bin", RandomBytes(150000, 4));
  std::vector<WalkedEntry> plain = PackAndWalk();
  plain.push_back(settings_entry_);
  options_.obfuscate = true;
  std::vector<WalkedEntry> secret = PackAndWalk();  // restores every entry, keys carried
  secret.push_back(settings_entry_);                // enciphered like the site's files
  ASSERT_EQ(secret.size(), 6u);
  ASSERT_EQ(plain.size(), 6u);

  EXPECT_EQ(secret[0].flags, 2);  // the first entry stays as the search pattern needs it
  EXPECT_EQ(secret[0].raw, plain[0].raw);
  for (size_t i = 1; i < secret.size(); ++i) {
    SCOPED_TRACE(secret[i].name);
    EXPECT_EQ(secret[i].flags, plain[i].flags | 1);
    EXPECT_EQ(secret[i].method, plain[i].method);
    EXPECT_EQ(secret[i].version_needed, 20);
    EXPECT_EQ(secret[i].compressed_size, secret[i].raw.size() + 12);  // no header bytes
    ASSERT_EQ(secret[i].raw.size(), plain[i].raw.size());
    if (!plain[i].raw.empty()) {
      EXPECT_NE(secret[i].raw, plain[i].raw);
    }
  }
  // Keys started afresh for a later entry do not restore it: they really carry across entries.
  CrcTable crc;
  TraditionalCipher fresh(crc);
  std::vector<uint8_t> later = secret[2].raw;  // b.bin, stored
  fresh.Decipher(later.data(), later.size());
  EXPECT_NE(later, contents_["b.bin"]);

  std::string error;
  std::vector<CentralRecord> records = testing::ReadCentralDirectory(book_bytes_, &error);
  ASSERT_EQ(records.size(), secret.size()) << error;
  for (size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].flags, secret[i].flags);
    EXPECT_EQ(records[i].compressed_size, secret[i].compressed_size);
  }
}

TEST_F(PackTest, FirstHeaderKeepsClearOfTheReadersPatternNearItsEnd) {
  // The reader counts one match per 255-byte search window: its own copy and the first
  // header must never share one.
  fs::path reader = dir_.Write("short-tail.exe", FakeReader(4));
  options_.reader = reader;
  Add("index.htm", PageText(500));
  PackAndWalk();
  std::vector<PatternMatch> matches = FindSearchPattern(book_bytes_);
  ASSERT_EQ(matches.size(), 2u);
  EXPECT_GT(matches[1].offset - matches[0].offset, 255u + sizeof kSearchPattern);
}

TEST_F(PackTest, ReplacesAnOldBookAndLeavesItOutWhenInsideTheSite) {
  Add("index.htm", PageText(500));
  book_ = site_ / "book.exe";
  options_.output = book_;
  dir_.Write("site/book.exe", "an old book");
  PackAndWalk();
  PackAndWalk();  // the first run's book is in the folder now
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(site_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"book.exe", "index.htm"}));
}

TEST_F(PackTest, ProgressLineOnlyForLargeFoldersOnATerminal) {
  Add("index.htm", PageText(1000));
  Add("b.htm", PageText(1000));
  options_.progress_to_terminal = true;
  ASSERT_TRUE(Pack().ok);
  EXPECT_EQ(progress_.str(), "");
  options_.progress_threshold = 1000;
  ASSERT_TRUE(Pack().ok);
  std::string line = progress_.str();
  EXPECT_NE(line.find("2 of 2 files"), std::string::npos) << line;
  EXPECT_TRUE(line.ends_with("\n")) << line;
  // A log gets no records rewritten in place.
  options_.progress_to_terminal = false;
  ASSERT_TRUE(Pack().ok);
  EXPECT_EQ(progress_.str(), "");
}

#ifndef _WIN32
// Links are packed as what they lead to, inside the site or outside it; one that leads nowhere
// is left out with one warning line, and the book is still made.
TEST_F(PackTest, FollowsLinksAndLeavesOutThoseToNothing) {
  Add("index.htm", PageText(300));
  Add("docs/page.htm", PageText(200));
  const fs::path outside = dir_.Write("elsewhere/shared.js", "var shared = 1;");
  fs::create_symlink(outside, site_ / "shared.js");
  contents_["shared.js"] = Bytes("var shared = 1;");
  fs::create_directory_symlink(outside.parent_path(), site_ / "lib");
  contents_["lib/shared.js"] = Bytes("var shared = 1;");
  fs::create_symlink("docs/page.htm", site_ / "same.htm");
  contents_["same.htm"] = contents_["docs/page.htm"];
  fs::create_symlink(dir_.path() / "not-installed.js", site_ / "gone.js");
  fs::create_symlink("loop.js", site_ / "loop.js");
  PackAndWalk();
  const std::string warnings = progress_.str();
  EXPECT_NE(warnings.find("gone.js': a link to nothing\n"), std::string::npos) << warnings;
  EXPECT_NE(warnings.find("loop.js': a link to nothing"), std::string::npos) << warnings;
  EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 2) << warnings;
}
#endif

// Every refusal names the problem, exits with an error and leaves an existing book untouched
// and no partial file beside it.
TEST_F(PackTest, RefusesBadInput) {
  struct Case {
    const char* what;
    std::function<void(PackTest&)> arrange;
    std::vector<std::string> message;
  };
  const Case cases[] = {
      {"missing site",
       [](PackTest& t) { t.options_.site_dir = t.dir_.path() / "nowhere"; },
       {"nowhere", "does not exist"}},
      {"site is a file",
       [](PackTest& t) { t.options_.site_dir = t.options_.reader; },
       {"is not a folder"}},
      {"site without files",
       [](PackTest& t) { fs::create_directories(t.site_ / "empty/sub"); },
       {"holds no files"}},
#ifndef _WIN32  // a file system that tells case apart, and takes any name
      {"two paths one file on Windows",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         t.Add("a/Page.htm", "1");
         t.Add("A/page.htm", "2");
       },
       {"A/page.htm", "a/Page.htm", "rename"}},
      {"a name Windows cannot hold",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         t.Add("man/Foo::Bar.html", "1");
       },
       {"man/Foo::Bar.html", "colon"}},
#endif
      {"no file with an ASCII name to come first",
       [](PackTest& t) {
         t.Add("文档.htm", "x");
         t.Add("résumé.htm", "y");
       },
       {"ASCII", "rename"}},
      {"a site file of the settings entry's name",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         t.Add("Brisomel-Book.INI", "title=mine");
       },
       {"Brisomel-Book.INI", "brisomel-book.ini", "rename"}},
      {"empty title",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         t.options_.title = u" \t\n";
       },
       {"title given is empty"}},
      {"icon that is no icon file",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         t.options_.icon = t.dir_.Write("bad.ico", "GIF89a");
       },
       {"icon '", "bad.ico' is not an icon file"}},
      {"icon with an image cut short",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         std::vector<uint8_t> bytes = WriteIconFile(
             {testing::BitmapImage(16, 16, 32, 1), testing::BitmapImage(48, 48, 32, 2)});
         bytes.resize(bytes.size() - 100);
         t.options_.icon = t.dir_.Write("cut.ico", bytes);
       },
       {"cut.ico': image 2 lies outside the file"}},
      {"icon that is not there",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         t.options_.icon = t.dir_.path() / "none.ico";
       },
       {"cannot read", "none.ico"}},
      {"icon that is a folder",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         t.options_.icon = t.site_;
       },
       {"is a folder, not an icon file"}},
      {"icon for a reader that is no Windows program",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         t.options_.icon = t.dir_.Write("good.ico", WriteIconFile({testing::PngImage(32, 32, 5)}));
       },
       {"reader '", "reader.exe' is not a Windows program"}},
      {"missing reader",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         t.options_.reader = t.dir_.path() / "no-reader.exe";
       },
       {"no-reader.exe", "does not exist"}},
      {"reader without the pattern",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         t.options_.reader = t.dir_.Write("plain.exe", "MZ just a program");
       },
       {"plain.exe", "does not hold the archive search pattern"}},
      {"reader that is a book already",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         PackOptions first = t.options_;
         first.output = t.dir_.path() / "first.exe";
         std::ostringstream ignored;
         ASSERT_TRUE(PackBook(first, ignored).ok);
         t.options_.reader = first.output;
       },
       {"first.exe", "2 times"}},
      {"pattern only in another case",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         std::vector<uint8_t> bytes = FakeReader();
         std::replace(bytes.begin(), bytes.end(), uint8_t('P'), uint8_t('p'));
         t.options_.reader = t.dir_.Write("lower.exe", bytes);
       },
       {"letter case"}},
      {"output folder missing",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         t.options_.output = t.dir_.path() / "missing" / "book.exe";
       },
       {"cannot create", "book.exe"}},
      {"output is a folder",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         t.options_.output = t.book_.parent_path();
       },
       {"is a folder"}},
#ifdef _WIN32
      {"unreadable file",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         fs::path locked = t.dir_.Write("site/locked.htm", "y");
         // No sharing: every other open fails while the handle lives.
         HANDLE handle = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
         ASSERT_NE(handle, INVALID_HANDLE_VALUE);
         t.held_ = std::shared_ptr<void>(handle, [](HANDLE h) { CloseHandle(h); });
       },
       {"cannot read", "locked.htm"}},
#else
      {"folder link loop",
       [](PackTest& t) {
         t.Add("index.htm", "x");
         fs::create_directory_symlink(t.site_, t.site_ / "again");
       },
       {"a link loop?"}},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(site_);
    fs::create_directories(site_);
    contents_.clear();
    options_ = PackOptions{};
    options_.site_dir = site_;
    options_.output = book_;
    options_.reader = reader_;
    dir_.Write("out/book.exe", "an old book");
    c.arrange(*this);
    PackResult result = Pack();
    held_.reset();
    EXPECT_FALSE(result.ok);
    for (const std::string& part : c.message) {
      EXPECT_NE(result.error.find(part), std::string::npos) << result.error;
    }
    EXPECT_EQ(ReadFile(book_), Bytes("an old book"));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(book_.parent_path())) {
      left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"book.exe"});
  }
}

TEST(CheckEntryNames, RefusesNamesTheReaderCannotExtract) {
  struct Case {
    std::vector<std::string> names;
    std::vector<std::string> message;  // empty: accepted
  };
  const std::string longest(kMaxPathLength - kShortestExtractFolder - 2, 'n');
  std::string ideographs;  // 200 characters, 600 bytes
  for (int i = 0; i < 200; ++i) ideographs += "文";
  const Case cases[] = {
      {{"index.htm", "b.htm", "sub/b.htm", "sub/deeper/b.htm", "x/" + longest}, {}},
      {{"a.htm", "A.HTM"}, {"'a.htm' and 'A.HTM'", "one file"}},
      {{"Sub/a.htm", "sub/A.htm"}, {"'Sub/a.htm' and 'sub/A.htm'"}},
      {{"docs", "Docs/a.htm"}, {"'docs' would be a file where 'Docs/a.htm' needs a folder"}},
      {{"Docs/a.htm", "docs"}, {"'docs' would be a file where 'Docs/a.htm' needs a folder"}},
      {{"xy/" + longest}, {"too long"}},
      {{"sub/" + std::string(256, 'n')}, {"longer than 255"}},
      {{"a:b.htm"}, {"'a:b.htm'", "colon"}},
      {{"dir/what?.htm"}, {"what?.htm", "forbids"}},
      {{"tab\t.htm"}, {"forbids"}},
      {{"aux.html"}, {"device name"}},
      {{"odd\\dir/a.htm", "odd/Dir/A.htm"}, {"one file"}},  // the reader splits at '\' too
      // Letters of every script fold as Windows folds them; lengths count UTF-16 units.
      {{"Résumé.htm", "rÉSUMÉ.HTM"}, {"one file"}},
      {{"ПРИВЕТ/a.htm", "привет/A.htm"}, {"one file"}},
      {{"Ωμέγα.htm", "ωΜΈΓΑ.htm"}, {"one file"}},
      {{"sub/" + ideographs}, {}},
      {{"sub/" + ideographs + ideographs.substr(0, 56 * 3)}, {"longer than 255"}},
  };
  for (const Case& c : cases) {
    std::string error = CheckEntryNames(c.names);
    SCOPED_TRACE(c.names[0]);
    EXPECT_EQ(error.empty(), c.message.empty()) << error;
    for (const std::string& part : c.message) {
      EXPECT_NE(error.find(part), std::string::npos) << error;
    }
  }
}

TEST(RunPacker, CommandLineAndDefaultReader) {
  ScratchDir dir;
  dir.Write("site/index.htm", PageText(300));
  fs::path bin = dir.path() / "linux";
  fs::create_directories(bin);
  std::string site = (dir.path() / "site").string();
  std::string book = (dir.path() / "book.exe").string();
  auto run = [&](std::vector<std::string> words, std::string* out, std::string* err) {
    std::vector<fs::path> args(words.begin(), words.end());
    std::ostringstream out_stream, err_stream;
    int status = RunPacker(args, bin, out_stream, err_stream);
    *out = out_stream.str();
    *err = err_stream.str();
    return status;
  };
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const Case usage_cases[] = {
      {{}, 2, "no site folder"},
      {{site}, 2, "no book named"},
      {{site, "-o"}, 2, "-o needs a path"},
      {{site, "-o", book, "--fast"}, 2, "unknown option --fast"},
      {{site, "other", "-o", book}, 2, "more than one site folder"},
      {{site, "-o", book, "-o", book}, 2, "-o given twice"},
      {{site, "-o", book, "--title"}, 2, "--title needs a text"},
      {{site, "-o", book, "--icon"}, 2, "--icon needs a path"},
      {{site, "-o", book, "--title", "A", "--title", "B"}, 2, "--title given twice"},
#ifndef _WIN32
      {{site, "-o", book, "--title", "\xFF"}, 2, "not well-formed"},
#endif
      {{site, "-o", book}, 1, "no reader found"},
  };
  std::string out, err;
  for (const Case& c : usage_cases) {
    SCOPED_TRACE(c.err);
    EXPECT_EQ(run(c.args, &out, &err), c.status);
    EXPECT_NE(err.find(c.err), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(book));
  }

  EXPECT_EQ(run({"--help"}, &out, &err), 0);
  EXPECT_NE(out.find(Show(bin / "brisomel.exe")), std::string::npos) << out;
  EXPECT_NE(out.find("--obfuscate"), std::string::npos) << out;
  EXPECT_NE(out.find("--icon FILE.ico"), std::string::npos) << out;

  // From a native packer's folder the 64-bit build's reader is found when it is the only one,
  // the 32-bit build's reader wins over it...
  dir.Write("win64/brisomel.exe", FakeReader(50));
  EXPECT_EQ(run({site, "-o", book}, &out, &err), 0) << err;
  EXPECT_NE(out.find("using " + Show(DefaultReaders(bin)[2])), std::string::npos) << out;
  fs::path win32_reader = dir.Write("win32/brisomel.exe", FakeReader());
  EXPECT_EQ(run({site, "-o", book}, &out, &err), 0) << err;
  EXPECT_NE(out.find("using " + Show(DefaultReaders(bin)[1])), std::string::npos) << out;
  // ...but one beside the packer comes first, and --reader overrides both.
  dir.Write("linux/brisomel.exe", FakeReader(100));
  EXPECT_EQ(run({site, "-o", book}, &out, &err), 0) << err;
  EXPECT_NE(out.find(Show(bin / "brisomel.exe")), std::string::npos) << out;
  fs::path chosen = dir.Write("chosen.exe", FakeReader(200));
  EXPECT_EQ(run({site, "--obfuscate", "-o", book, "--reader", chosen.string()}, &out, &err), 0)
      << err;
  EXPECT_EQ(ReadFile(book).size() > FakeReader(200).size(), true);
  EXPECT_NE(out.find("no title given and none in the start page"), std::string::npos) << out;

  // The closing lines say which title and icon the book got.
  testing::FakeProgram program = testing::FakeProgram::Typical(false);
  std::copy(std::begin(kSearchPattern), std::end(kSearchPattern), program.sections[0].data.begin());
  fs::path pe_reader = dir.Write("pe.exe", testing::BuildProgram(program));
  fs::path icon =
      dir.Write("book.ico",
                WriteIconFile({testing::BitmapImage(16, 16, 8, 1), testing::PngImage(32, 32, 2)}));
  EXPECT_EQ(run({site, "-o", book, "--reader", pe_reader.string(), "--icon", icon.string(),
                 "--title", "Harbour  Guide"},
                &out, &err),
            0)
      << err;
  EXPECT_NE(out.find("title \"Harbour Guide\"\n"), std::string::npos) << out;
  EXPECT_NE(out.find("icon " + Show(icon) + " (16x16, 32x32)\n"), std::string::npos) << out;
  dir.Write("site/index.htm", "<title>Mine</title>");
  EXPECT_EQ(run({site, "-o", book}, &out, &err), 0) << err;
  EXPECT_NE(out.find("title \"Mine\" (the start page's)\n"), std::string::npos) << out;
}

TEST(BookFile, ReplacesTheOutputOnlyWhenCommittedAndEndsWhereWritingEnded) {
  ScratchDir dir;
  fs::path output = dir.Write("book.exe", "old");
  std::string error;
  {
    BookFile abandoned(1000);
    ASSERT_TRUE(abandoned.Create(output, &error)) << error;
    EXPECT_TRUE(abandoned.Write(Bytes("partial")));
  }  // never committed
  EXPECT_EQ(ReadFile(output), Bytes("old"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  BookFile book(20);
  ASSERT_TRUE(book.Create(output, &error)) << error;
  EXPECT_TRUE(book.Write(Bytes("0123456789")));
  EXPECT_TRUE(book.Seek(4));  // a rewritten entry that came out shorter
  EXPECT_TRUE(book.Write(Bytes("ab")));
  EXPECT_FALSE(book.Seek(11));
  EXPECT_FALSE(book.Write(Bytes("more than twenty bytes")));
  EXPECT_NE(book.error().find("larger than 20 bytes"), std::string::npos) << book.error();
  ASSERT_TRUE(book.Commit(output, &error)) << error;
  EXPECT_EQ(ReadFile(output), Bytes("0123ab"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace brisomel::pack
