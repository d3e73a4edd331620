#include "archive/attached_archive.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

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
      {.name = "c:\\site\\img.gif", .data = noise, .method = 0, .flags = 1},
      {.name = "last.htm", .data = kOther, .flags = 1, .extra = Bytes(9, 0xEE)},
  });
  Extraction run(book);
  const std::string dir = run.archive.GetTempDirectory();
  EXPECT_EQ(run.Written(), (std::map<std::string, Bytes>{{"index.htm", kPage},
                                                         {"4back.bmp", noise},
                                                         {"big.htm", big},
                                                         {"img.gif", noise},
                                                         {"last.htm", kOther}}));
  EXPECT_EQ(run.archive.ExtractedFiles(),
            (std::vector<std::string>{dir + "index.htm", dir + "4back.bmp", dir + "big.htm",
                                      dir + "img.gif", dir + "last.htm"}));
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
      {"directory entry: nothing written, the walk goes on",
       {first, {.name = "docs/", .data = {}, .method = 0}, after},
       {{"index.htm", kPage}, {"after.htm", kOther}},
       {},
       {},
       2},
      {"duplicate base names: the later one wins, listed twice",
       {first, {.name = "docs/a.htm", .data = kPage}, {.name = "a.htm", .data = kOther}},
       {{"index.htm", kPage}, {"a.htm", kOther}},
       {},
       {},
       3},
      {"an entry cannot replace the lock file",
       {first, {.name = "x/Brisomel.LOCK", .data = kOther}, after},
       {{"index.htm", kPage}, {"after.htm", kOther}},
       {},
       {},
       3},
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
    EXPECT_TRUE(system.messages.empty());
  }
}

TEST(DeleteExtractedFiles, RemovesFilesOtherWritesTheLockAndTheDirectory) {
  Extraction run(
      testing::MakeBook({{.name = "index.htm", .data = kPage}, {.name = "b.htm", .data = kOther}}));
  const std::string dir = run.archive.GetTempDirectory();
  run.files.Delete(dir + "b.htm");              // the user deleted one
  run.files.Put(dir + "rhcorner.gif", kOther);  // something else the run wrote
  run.archive.DeleteExtractedFiles();
  EXPECT_FALSE(run.files.DirectoryExists(dir));
  for (const std::string& path : run.files.FilePaths()) EXPECT_NE(path.rfind(dir, 0), 0u) << path;
  EXPECT_EQ(run.files.CurrentDirectory(), "/books");
  EXPECT_EQ(run.archive.ExtractedFiles().size(), 2u);  // the list stays
}

TEST(StripEntryPath, KeepsThePartAfterTheLastSeparator) {
  EXPECT_EQ(StripEntryPath("a/b\\c:d.htm"), "d.htm");
  EXPECT_EQ(StripEntryPath("plain.htm"), "plain.htm");
  EXPECT_EQ(StripEntryPath("dir/"), "");
  EXPECT_EQ(StripEntryPath(std::string(300, 'n')).size(), 255u);
  const uint8_t buffer[] = {'a', 'b', 0, 'c'};
  EXPECT_EQ(NameFromBuffer(buffer, 4), "ab");
  EXPECT_EQ(NameFromBuffer(buffer, 1), "a");
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
