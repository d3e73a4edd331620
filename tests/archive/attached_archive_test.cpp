#include "archive/attached_archive.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

#include "archive/entry_path.h"
#include "archive_fixtures.h"
#include "platform/headless/memory_files.h"
#include "platform/headless/recording_system.h"

namespace brisomel {
namespace {

using testing::BitWriter;
using testing::Bytes;
using testing::ToBytes;
using testing::ZipEntry;

struct Extraction {
  MemoryFiles files;
  RecordingSystem system;
  AttachedArchive archive{files, system};

  explicit Extraction(const Bytes& book) {
    files.Put("/books/book.exe", book);
    files.CreateDirectoryExclusive("/books");
    files.SetCurrentDirectory("/books");
    archive.SetArchiveFileName("/books/book.exe");
    archive.ExtractAttachedArchive();
  }
  // Extracted files by name (the lock file left out).
  std::map<std::string, Bytes> Written() {
    std::map<std::string, Bytes> written;
    const std::string dir = archive.GetTempDirectory();
    for (const std::string& path : files.FilePaths()) {
      if (path.compare(0, dir.size(), dir) != 0) continue;
      const std::string name = path.substr(dir.size());
      if (name != AttachedArchive::kLockName) written[name] = *files.Get(path);
    }
    return written;
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const auto& m : system.messages) captions.push_back(m.caption + ": " + m.text);
    return captions;
  }
};

const Bytes kPage =
    ToBytes("<html><body><p>Hello, reader. Hello, reader. Hello!</p></body></html>");
const Bytes kOther = ToBytes("<html>another page, another page, another page</html>");

TEST(ExtractAttachedArchive, WritesStoredDeflatedAndEncipheredEntries) {
  const Bytes big = testing::MixedText(200000, 3);
  const Bytes noise = testing::RandomBytes(70000, 4);
  const Bytes book = testing::MakeBook({
      {.name = "index.htm", .data = kPage},
      {.name = "4back.bmp", .data = noise, .method = 0},
      {.name = "pages/big.htm", .data = big, .flags = 1},
      {.name = "site\\img\\img.gif", .data = noise, .method = 0, .flags = 1},
      {.name = "last.htm", .data = kOther, .flags = 1, .extra = Bytes(9, 0xEE)},
  });
  Extraction run(book);
  const std::string dir = run.archive.GetTempDirectory();
  EXPECT_EQ(run.Written(), (std::map<std::string, Bytes>{{"index.htm", kPage},
                                                         {"4back.bmp", noise},
                                                         {"pages/big.htm", big},
                                                         {"site/img/img.gif", noise},
                                                         {"last.htm", kOther}}));
  EXPECT_EQ(run.archive.ExtractedFiles(),
            (std::vector<std::string>{dir + "index.htm", dir + "4back.bmp", dir + "pages/big.htm",
                                      dir + "site/img/img.gif", dir + "last.htm"}));
  EXPECT_TRUE(run.system.messages.empty());
  EXPECT_TRUE(run.archive.DamagedEntries().empty());
  EXPECT_EQ(run.files.CurrentDirectory() + "/", dir);
  EXPECT_EQ(run.archive.ArchiveStart(), 3000);
}

TEST(ExtractAttachedArchive, ReadsTheRunningProgramUnlessToldOtherwise) {
  MemoryFiles files;
  RecordingSystem system;
  files.Put(files.executable, testing::MakeBook({{.name = "index.htm", .data = kPage}}));
  AttachedArchive archive(files, system);
  archive.ExtractAttachedArchive();
  EXPECT_EQ(archive.ArchiveFileName(), files.executable);
  ASSERT_EQ(archive.ExtractedFiles().size(), 1u);
  EXPECT_EQ(*files.Get(archive.ExtractedFiles()[0]), kPage);
}

// Raw deflate data that ends decoding early, each with a few good bytes first.
Bytes Stream(const std::function<void(BitWriter&)>& write) {
  BitWriter w;
  write(w);
  return w.Finish();
}

struct MalformedCase {
  const char* what;
  std::vector<ZipEntry> entries;
  std::map<std::string, Bytes> written;
  std::vector<std::string> messages;  // "caption: text"
  std::vector<std::string> damaged;
  size_t listed;  // entries of ExtractedFiles
};

std::string DamagedMessage(const std::vector<std::string>& names) {
  std::string text = std::string(kArchiveErrorCaption) + ": " + kDamagedEntriesText;
  for (const auto& n : names) text += "\n" + n;
  return text;
}

TEST(ExtractAttachedArchive, MalformedArchives) {
  const ZipEntry first{.name = "index.htm", .data = kPage};
  const ZipEntry after{.name = "after.htm", .data = kOther, .method = 0};
  const Bytes bad_lengths = Stream([](BitWriter& w) {
    w.BlockHeader(true, 2);
    w.Bits(0, 14);
    for (int i = 0; i < 4; ++i) w.Bits(1, 3);
  });
  const Bytes invalid_code = Stream([](BitWriter& w) {
    w.BlockHeader(true, 1);
    w.Fixed('a');
    w.Fixed(287);
  });
  const Bytes too_far = Stream([](BitWriter& w) {
    w.BlockHeader(true, 1);
    w.Fixed('a');
    w.Fixed(258);
    w.FixedDistance(3);
    w.Fixed(256);
  });
  const Bytes ends_inside = Stream([](BitWriter& w) {
    w.BlockHeader(true, 1);
    for (int i = 0; i < 40; ++i) w.Fixed('q');
  });
  const Bytes long_page = testing::MixedText(100000, 8);
  const std::vector<MalformedCase> cases = {
      {"first entry stored: extraction starts at the first entry the search finds",
       {{.name = "a.htm", .data = kOther, .method = 0},
        {.name = "b.htm", .data = kPage, .flags = 2},
        {.name = "c.htm", .data = kOther, .method = 0}},
       {{"b.htm", kPage}, {"c.htm", kOther}},
       {},
       {},
       2},
      {"empty name ends the walk",
       {first, {.name = "", .data = kOther}, after},
       {{"index.htm", kPage}},
       {std::string(kArchiveErrorCaption) + ": " + kNameErrorText},
       {},
       1},
      {"name starting with NUL ends the walk",
       {first, {.name = std::string("\0x.htm", 6), .data = kOther}, after},
       {{"index.htm", kPage}},
       {std::string(kArchiveErrorCaption) + ": " + kNameErrorText},
       {},
       1},
      {"method 9 writes an empty file and is named",
       {first, {.name = "odd.htm", .data = kOther, .method = 9, .raw = ToBytes("xyz")}, after},
       {{"index.htm", kPage}, {"odd.htm", {}}, {"after.htm", kOther}},
       {DamagedMessage({"odd.htm"})},
       {"odd.htm"},
       3},
      {"bad code lengths",
       {first, {.name = "bad.htm", .data = kOther, .raw = bad_lengths}, after},
       {{"index.htm", kPage}, {"bad.htm", {}}, {"after.htm", kOther}},
       {DamagedMessage({"bad.htm"})},
       {"bad.htm"},
       3},
      {"invalid code",
       {first, {.name = "bad.htm", .data = kOther, .raw = invalid_code}, after},
       {{"index.htm", kPage}, {"bad.htm", {}}, {"after.htm", kOther}},
       {DamagedMessage({"bad.htm"})},
       {"bad.htm"},
       3},
      {"distance reaching before the entry's first byte",
       {first, {.name = "bad.htm", .data = kOther, .raw = too_far}, after},
       {{"index.htm", kPage}, {"bad.htm", {}}, {"after.htm", kOther}},
       {DamagedMessage({"bad.htm"})},
       {"bad.htm"},
       3},
      {"data ending inside a block",
       {first, {.name = "bad.htm", .data = kOther, .raw = ends_inside}, after},
       {{"index.htm", kPage}, {"bad.htm", {}}, {"after.htm", kOther}},
       {DamagedMessage({"bad.htm"})},
       {"bad.htm"},
       3},
      {"CRC mismatch keeps the file and names it",
       {first, {.name = "crc.htm", .data = kOther, .bad_crc = true}, after},
       {{"index.htm", kPage}, {"crc.htm", kOther}, {"after.htm", kOther}},
       {DamagedMessage({"crc.htm"})},
       {"crc.htm"},
       3},
      {"more output than the header's uncompressed size: cut there, and named",
       {first, {.name = "long.htm", .data = long_page, .uncompressed = 70000}, after},
       {{"index.htm", kPage},
        {"long.htm", Bytes(long_page.begin(), long_page.begin() + 65536)},
        {"after.htm", kOther}},
       {DamagedMessage({"long.htm"})},
       {"long.htm"},
       3},
      {"folder entry: no file written, the walk goes on",
       {first, {.name = "docs/", .data = {}, .method = 0}, after},
       {{"index.htm", kPage}, {"after.htm", kOther}},
       {},
       {},
       2},
      {"a damaged enciphered entry leaves the keys in step for the next",
       {first,
        {.name = "bad.htm", .data = kOther, .flags = 1, .raw = invalid_code},
        {.name = "good.htm", .data = kPage, .flags = 1}},
       {{"index.htm", kPage}, {"bad.htm", {}}, {"good.htm", kPage}},
       {DamagedMessage({"bad.htm"})},
       {"bad.htm"},
       3},
  };
  for (const MalformedCase& c : cases) {
    SCOPED_TRACE(c.what);
    Extraction run(testing::MakeBook(c.entries));
    EXPECT_EQ(run.Written(), c.written);
    EXPECT_EQ(run.Captions(), c.messages);
    EXPECT_EQ(run.archive.DamagedEntries(), c.damaged);
    EXPECT_EQ(run.archive.ExtractedFiles().size(), c.listed);
  }
}

// Entry names through the walk: each entry is written at its path below the private
// directory, or named in the message and written nowhere.
TEST(ExtractAttachedArchive, EntryNames) {
  struct Case {
    const char* what;
    std::vector<std::string> names;  // entries after the start page, each with its own data
    std::map<std::string, std::string> written;  // path -> the name whose data it holds
    std::vector<std::string> unwritten;
    std::vector<std::string> folders = {};  // made, besides those of written files
  };
  // The private directory in memory is "/tmp/brisomel-" and 16 digits and '/': 31 characters.
  const std::string longest = "f/" + std::string(259 - 31 - 2, 'n');
  const std::string deep_folder = std::string(247 - 31 - 1, 'd') + "/";
  const Case cases[] = {
      {"nested folders",
       {"a/b/page.htm", "img/pic.gif", "a/top.htm"},
       {{"a/b/page.htm", "a/b/page.htm"}, {"img/pic.gif", "img/pic.gif"}, {"a/top.htm", "a/top.htm"}},
       {}},
      {"folder entries are made as folders",
       {"empty/", "x/y/", "x/y/z.htm", "x\\w\\"},
       {{"x/y/z.htm", "x/y/z.htm"}},
       {},
       {"empty", "x", "x/y", "x/w"}},
      {"steps that stay inside",
       {"a/../b.htm", "./c.htm", "a/./d/../e.htm", "./"},
       {{"b.htm", "a/../b.htm"}, {"c.htm", "./c.htm"}, {"a/e.htm", "a/./d/../e.htm"}},
       {}},
      {"names that clash only by case: one file, spelled as first written, the later wins",
       {"Img/a.gif", "img/A.GIF", "IMG/b.gif", "Page.htm", "PAGE.HTM"},
       {{"Img/a.gif", "img/A.GIF"}, {"Img/b.gif", "IMG/b.gif"}, {"Page.htm", "PAGE.HTM"}},
       {}},
      {"leaving the folder",
       {"../evil.htm", "a/../../evil.htm", "a/b/../../../evil.htm", "..\\evil.htm", ".."},
       {},
       {"../evil.htm", "a/../../evil.htm", "a/b/../../../evil.htm", "..\\evil.htm", ".."}},
      {"absolute, drive letter or colon",
       {"/etc/evil.htm", "\\evil.htm", "c:evil.htm", "C:\\evil.htm", "a/b:stream.htm"},
       {},
       {"/etc/evil.htm", "\\evil.htm", "c:evil.htm", "C:\\evil.htm", "a/b:stream.htm"}},
      {"empty steps",
       {"a//b.htm", "a\\\\b.htm", "x//"},
       {},
       {"a//b.htm", "a\\\\b.htm", "x//"}},
      {"reserved device names, with or without an extension",
       {"con", "AUX.txt", "Nul.tar.gz", "com1.htm", "lpt9", "a/prn/b.htm", "conin$", "com0.htm"},
       {{"com0.htm", "com0.htm"}},
       {"con", "AUX.txt", "Nul.tar.gz", "com1.htm", "lpt9", "a/prn/b.htm", "conin$"}},
      {"names Windows cannot hold",
       {"what?.htm", "a<b.htm", "tab\t.htm", "dot.", "space ", "more/.../x.htm"},
       {},
       {"what?.htm", "a<b.htm", "tab\t.htm", "dot.", "space ", "more/.../x.htm"}},
      {"paths longer than the system allows",
       {longest, longest + "n", deep_folder + "a.htm", deep_folder + "b/c.htm",
        std::string(256, 'n')},
       {{longest, longest}, {deep_folder + "a.htm", deep_folder + "a.htm"}},
       {longest + "n", deep_folder + "b/c.htm", std::string(256, 'n')}},
      {"a file where a folder is, and the other way round",
       {"x.htm", "x.htm/y.htm", "d/z.htm", "D"},
       {{"x.htm", "x.htm"}, {"d/z.htm", "d/z.htm"}},
       {"x.htm/y.htm", "D"}},
      {"the run's lock file",
       {"Brisomel.LOCK", "sub/brisomel.lock"},
       {{"sub/brisomel.lock", "sub/brisomel.lock"}},
       {"Brisomel.LOCK"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<ZipEntry> entries{{.name = "index.htm", .data = kPage}};
    for (const std::string& name : c.names) entries.push_back({.name = name, .data = ToBytes(name)});
    Extraction run(testing::MakeBook(entries));
    std::map<std::string, Bytes> written{{"index.htm", kPage}};
    for (const auto& [path, name] : c.written) written[path] = ToBytes(name);
    EXPECT_EQ(run.Written(), written);
    EXPECT_EQ(run.archive.UnwrittenEntries(), c.unwritten);
    if (c.unwritten.empty()) {
      EXPECT_TRUE(run.system.messages.empty());
    } else {
      std::string text = std::string(kArchiveErrorCaption) + ": " + kUnwrittenEntriesText;
      for (const std::string& name : c.unwritten) text += "\n" + name;
      EXPECT_EQ(run.Captions(), std::vector<std::string>{text});
    }
    const std::string dir = run.archive.GetTempDirectory();
    for (const std::string& folder : c.folders) EXPECT_TRUE(run.files.DirectoryExists(dir + folder));
    // Nothing outside the private directory.
    for (const std::string& path : run.files.FilePaths()) {
      EXPECT_TRUE(path == "/books/book.exe" || path.rfind(dir, 0) == 0) << path;
    }
  }
}

TEST(ExtractAttachedArchive, UnwrittenAndDamagedEntriesShareOneMessage) {
  Extraction run(testing::MakeBook({{.name = "index.htm", .data = kPage},
                                    {.name = "../up.htm", .data = kOther},
                                    {.name = "crc.htm", .data = kOther, .bad_crc = true}}));
  EXPECT_EQ(run.Captions(), std::vector<std::string>{std::string(kArchiveErrorCaption) + ": " +
                                                     kUnwrittenEntriesText + "\n../up.htm\n\n" +
                                                     kDamagedEntriesText + "\ncrc.htm"});
}

TEST(ExtractAttachedArchive, ManyDamagedEntriesShareOneShortenedMessage) {
  std::vector<ZipEntry> entries{{.name = "index.htm", .data = kPage}};
  for (int i = 0; i < 25; ++i) {
    std::string name = std::to_string(i);  // "p" + ... trips a false -Wrestrict in GCC 12
    name.insert(0, 1, 'p');
    name += ".htm";
    entries.push_back({.name = name, .data = kOther, .bad_crc = true});
  }
  Extraction run(testing::MakeBook(entries));
  EXPECT_EQ(run.archive.DamagedEntries().size(), 25u);
  ASSERT_EQ(run.system.messages.size(), 1u);
  const std::string& text = run.system.messages[0].text;
  EXPECT_NE(text.find("\np19.htm"), std::string::npos);
  EXPECT_EQ(text.find("\np20.htm"), std::string::npos);
  EXPECT_NE(text.find("(and 5 more)"), std::string::npos);
}

// Cut the book at every byte of the second entry's header, name, extra field and data.
TEST(ExtractAttachedArchive, TruncatedAtEveryByteOfAnEntry) {
  const Bytes data = testing::MixedText(5000, 9);
  const Bytes head = testing::MakeBook({{.name = "index.htm", .data = kPage}});
  const size_t entry_start = head.size() - 4;  // before the end record
  const Bytes full = testing::MakeBook({{.name = "index.htm", .data = kPage},
                                        {.name = "two.htm", .data = data, .extra = Bytes(5, 1)}});
  const size_t data_start = entry_start + 30 + 7 + 5;
  for (size_t cut = entry_start; cut < full.size() - 4; ++cut) {
    SCOPED_TRACE(cut);
    Extraction run(Bytes(full.begin(), full.begin() + cut));
    auto written = run.Written();
    EXPECT_EQ(written["index.htm"], kPage);
    if (cut < entry_start + 30) {
      EXPECT_EQ(written.size(), 1u);
      EXPECT_TRUE(run.system.messages.empty());
    } else if (cut < data_start) {
      EXPECT_EQ(written.size(), 1u);
      ASSERT_EQ(run.archive.DamagedEntries().size(), 1u);
    } else {
      ASSERT_EQ(written.count("two.htm"), 1u);
      EXPECT_LT(written["two.htm"].size(), data.size());
      EXPECT_TRUE(std::equal(written["two.htm"].begin(), written["two.htm"].end(), data.begin()));
      EXPECT_EQ(run.archive.DamagedEntries(), std::vector<std::string>{"two.htm"});
      EXPECT_EQ(run.system.messages.size(), 1u);
    }
  }
}

TEST(ExtractAttachedArchive, WithoutAnArchiveNothingHappens) {
  for (bool exists : {true, false}) {
    MemoryFiles files;
    RecordingSystem system;
    files.CreateDirectoryExclusive("/start");
    files.SetCurrentDirectory("/start");
    if (exists) files.Put("/plain.exe", testing::ProgramImage());
    AttachedArchive archive(files, system);
    archive.SetArchiveFileName("/plain.exe");
    archive.ExtractAttachedArchive();
    EXPECT_TRUE(archive.ExtractedFiles().empty());
    EXPECT_TRUE(system.messages.empty());
    EXPECT_EQ(files.CurrentDirectory(), "/start");
  }
}

TEST(ExtractAttachedArchive, OutputErrors) {
  const Bytes book = testing::MakeBook(
      {{.name = "index.htm", .data = kPage}, {.name = "b.htm", .data = kOther, .method = 0}});
  {
    MemoryFiles files;
    RecordingSystem system;
    files.Put("/book.exe", book);
    files.fail_close = true;
    AttachedArchive archive(files, system);
    archive.SetArchiveFileName("/book.exe");
    archive.ExtractAttachedArchive();
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_EQ(system.messages[0].text, "index.htm");
    EXPECT_EQ(system.messages[0].caption, kCloseErrorCaption);
    EXPECT_EQ(system.messages[1].text, "b.htm");
  }
  {
    MemoryFiles files;
    RecordingSystem system;
    files.Put("/book.exe", book);
    files.fail_create = true;
    AttachedArchive archive(files, system);
    archive.SetArchiveFileName("/book.exe");
    archive.ExtractAttachedArchive();
    EXPECT_EQ(archive.ExtractedFiles().size(), 2u);  // listed before creation
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text,
              std::string(kUnwrittenEntriesText) + "\nindex.htm\nb.htm");
  }
}

TEST(DeleteExtractedFiles, RemovesTheWholeTreeTheLockAndTheDirectory) {
  Extraction run(testing::MakeBook({{.name = "index.htm", .data = kPage},
                                    {.name = "b.htm", .data = kOther},
                                    {.name = "a/b/c/deep.htm", .data = kOther},
                                    {.name = "empty/", .data = {}, .method = 0}}));
  const std::string dir = run.archive.GetTempDirectory();
  run.files.Delete(dir + "b.htm");              // the user deleted one
  run.files.Put(dir + "rhcorner.gif", kOther);  // something else the run wrote
  run.files.CreateDirectoryExclusive(dir + "a/b/made");
  run.files.Put(dir + "a/b/made/later.txt", kOther);
  run.archive.DeleteExtractedFiles();
  EXPECT_FALSE(run.files.DirectoryExists(dir));
  for (const std::string& path : run.files.FilePaths()) EXPECT_NE(path.rfind(dir, 0), 0u) << path;
  EXPECT_EQ(run.files.CurrentDirectory(), "/books");
  EXPECT_EQ(run.archive.ExtractedFiles().size(), 3u);  // the list stays
}

TEST(NameFromBuffer, CutsBeforeTheFirstNul) {
  const uint8_t buffer[] = {'a', 'b', 0, 'c'};
  EXPECT_EQ(NameFromBuffer(buffer, 4, false), "ab");
  EXPECT_EQ(NameFromBuffer(buffer, 1, true), "a");
}

// Names with the UTF-8 flag are UTF-8 (invalid parts become U+FFFD); others code page 437.
TEST(NameFromBuffer, Utf8FlagElseCodePage437) {
  struct Case {
    std::string bytes;
    bool utf8;
    std::string name;
  };
  const Case cases[] = {
      {"r\xC3\xA9sum\xC3\xA9.htm", true, "résumé.htm"},
      {"\xE6\x96\x87\xE6\xA1\xA3.htm", true, "文档.htm"},
      {"\xF0\x9F\x93\x96.htm", true, "📖.htm"},
      {"bad\xC3.htm", true, "bad\uFFFD.htm"},
      {"\x82t\x82.htm", false, "été.htm"},
      {"\x9A\xE1\xE0\xFF", false, "Üßα\u00A0"},
      {"r\xC3\xA9sum\xC3\xA9.htm", false, "r├⌐sum├⌐.htm"},
  };
  for (const Case& c : cases) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(c.bytes.data());
    EXPECT_EQ(NameFromBuffer(bytes, c.bytes.size(), c.utf8), c.name) << c.bytes;
  }
}

// Names beyond ASCII are extracted under their own names, and clash by Unicode case folding.
TEST(ExtractAttachedArchive, NamesInEveryScript) {
  constexpr uint16_t kUtf8 = kFlagUtf8Name;
  Extraction run(testing::MakeBook({{.name = "index.htm", .data = kPage},
                                    {.name = "résumé.htm", .data = ToBytes("1"), .flags = kUtf8},
                                    {.name = "文档/页.htm", .data = ToBytes("2"), .flags = kUtf8},
                                    {.name = "\x82t\x82.htm", .data = ToBytes("3")},
                                    {.name = "ÉTÉ.HTM", .data = ToBytes("4"), .flags = kUtf8},
                                    {.name = "ПРИВЕТ.htm", .data = ToBytes("5"), .flags = kUtf8},
                                    {.name = "привет.htm", .data = ToBytes("6"), .flags = kUtf8}}));
  const std::map<std::string, Bytes> written{{"index.htm", kPage},
                                             {"résumé.htm", ToBytes("1")},
                                             {"文档/页.htm", ToBytes("2")},
                                             {"été.htm", ToBytes("4")},
                                             {"ПРИВЕТ.htm", ToBytes("6")}};
  EXPECT_EQ(run.Written(), written);
  EXPECT_TRUE(run.system.messages.empty());
}

TEST(EntryPath, LengthsCountUtf16Units) {
  EXPECT_EQ(WindowsLength("abc"), 3u);
  EXPECT_EQ(WindowsLength("résumé"), 6u);
  EXPECT_EQ(WindowsLength("文档"), 2u);
  EXPECT_EQ(WindowsLength("📖"), 2u);
  // 255 ideographs are a name Windows holds, though they take 765 bytes.
  std::string ideographs;
  for (int i = 0; i < 255; ++i) ideographs += "文";
  EXPECT_EQ(SafeEntryPath(ideographs).kind, EntryPath::kFile);
  EXPECT_EQ(SafeEntryPath(ideographs + "文").kind, EntryPath::kUnsafe);
}

TEST(TraditionalCipher, RoundTripWithKeysCarriedAcrossEntries) {
  CrcTable crc;
  TraditionalCipher packer(crc), reader(crc), fresh(crc);
  Bytes one = testing::RandomBytes(1000, 1), two = testing::RandomBytes(500, 2);
  Bytes a = one, b = two;
  packer.Encipher(a.data(), a.size());
  packer.Encipher(b.data(), b.size());
  EXPECT_NE(a, one);
  Bytes b_alone = b;
  fresh.Decipher(b_alone.data(), b_alone.size());
  EXPECT_NE(b_alone, two);  // the second entry needs the keys the first one left
  reader.Decipher(a.data(), a.size());
  reader.Decipher(b.data(), b.size());
  EXPECT_EQ(a, one);
  EXPECT_EQ(b, two);
  EXPECT_EQ(reader.key0(), packer.key0());
  EXPECT_EQ(reader.key2(), packer.key2());
}

}  // namespace
}  // namespace brisomel
