// The walk behind "Search All Pages", over an in-memory root directory.
#include "shell/search_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/headless/memory_files.h"

namespace brisomel {
namespace {

// Lists "." and ".." first, as a real directory listing does.
class DottedFiles : public MemoryFiles {
 public:
  std::vector<std::string> List(const std::string& directory, const std::string& pattern) override {
    std::vector<std::string> names = {".", ".."};
    for (const std::string& name : MemoryFiles::List(directory, pattern)) names.push_back(name);
    return names;
  }
};

MemoryFiles::Bytes Text(const std::string& text) { return {text.begin(), text.end()}; }

using TOutcome = TSearchWalk::TOutcome;

// Lists in the reverse of name order, to show that the walk's order is its own.
class ReversedFiles : public DottedFiles {
 public:
  std::vector<std::string> List(const std::string& directory, const std::string& pattern) override {
    std::vector<std::string> names = DottedFiles::List(directory, pattern);
    std::sort(names.rbegin(), names.rend());
    return names;
  }
};

TEST(SearchWalk, ListsEveryFileOfEveryFolderInAStableOrderKeepingPagesAndTextFiles) {
  ReversedFiles files;
  for (const char* dir : {"/book", "/book/b", "/book/a", "/book/a/deep", "/book/old.htm"}) {
    files.CreateDirectoryExclusive(dir);
  }
  for (const char* file : {"/book/Index.htm", "/book/Chapter.HTML", "/book/notes.txt",
                           "/book/pic.gif", "/book/archive.htm.bak", "/book/b/z.htm",
                           "/book/a/Page.htm", "/book/a/deep/x.txt", "/book/a/deep/y.jpg",
                           "/book/old.htm/in.htm"}) {
    files.Put(file, Text("x"));
  }
  TSearchWalk walk;
  // A root without its separator gets one, a root with one keeps it single.
  for (const char* root : {"/book", "/book/"}) {
    walk.Start(files, root, "/book/index.htm");
    EXPECT_EQ(walk.Dir(), "/book/");
    EXPECT_EQ(walk.ShownFileUpper(), "/BOOK/INDEX.HTM");
    EXPECT_EQ(walk.SearchIndex(), -1);
    EXPECT_EQ(walk.SearchFiles(),
              (std::vector<std::string>{"ARCHIVE.HTM.BAK", "CHAPTER.HTML", "INDEX.HTM",
                                        "NOTES.TXT", "", "A/PAGE.HTM", "A/DEEP/X.TXT", "",
                                        "B/Z.HTM", "OLD.HTM/IN.HTM"}));
  }
}

TEST(SearchWalk, KeepsToItsDepthAndFileLimits) {
  MemoryFiles files;
  std::string dir = "/deep";
  files.CreateDirectoryExclusive(dir);
  for (int i = 0; i <= TSearchWalk::kMaxDepth + 2; ++i) {
    files.Put(dir + "/p.htm", Text("x"));
    dir += "/d";
    files.CreateDirectoryExclusive(dir);
  }
  TSearchWalk walk;
  walk.Start(files, "/deep/", "");
  EXPECT_EQ(walk.SearchFiles().size(), size_t(TSearchWalk::kMaxDepth) + 1);

  files.CreateDirectoryExclusive("/wide");
  for (size_t i = 0; i < TSearchWalk::kMaxFiles + 5; ++i) {
    files.Put("/wide/" + std::to_string(i) + ".htm", {});
  }
  walk.Start(files, "/wide/", "");
  EXPECT_EQ(walk.SearchFiles().size(), TSearchWalk::kMaxFiles);
}

TEST(SearchWalk, MessagesForEmptyAndImageOnlyDirectories) {
  DottedFiles files;
  files.CreateDirectoryExclusive("/empty");
  TSearchWalk walk;
  walk.Start(files, "/empty/", "");
  EXPECT_TRUE(walk.SearchFiles().empty());  // "." and ".." are not entries
  EXPECT_EQ(walk.Next(files, u"word").Outcome, TOutcome::NoFiles);

  files.CreateDirectoryExclusive("/images");
  files.Put("/images/a.gif", Text("word"));
  files.Put("/images/b.jpg", Text("word"));
  walk.Start(files, "/images/", "/images/a.gif");
  EXPECT_EQ(walk.SearchFiles(), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(walk.Next(files, u"word").Outcome, TOutcome::NoMore);
  EXPECT_EQ(walk.SearchIndex(), -1);
}

// Each file is read in its own encoding, and capitals find small letters in any script.
TEST(SearchWalk, DecodesEachFileByItsOwnEncoding) {
  DottedFiles files;
  files.CreateDirectoryExclusive("/book");
  files.Put("/book/a.htm", Text("<meta charset=windows-1251><p>\xCF\xF0\xE8\xE2\xE5\xF2</p>"));
  files.Put("/book/b.htm", Text("<p>\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1</p>"));  // UTF-8
  files.Put("/book/c.txt", Text("caf\xE9"));                                   // Windows-1252
  files.Put("/book/d.htm", Text(std::string("\xFF\xFE\x2C\x67\xF8\x66", 6)));  // UTF-16: "本書"
  const struct {
    const char16_t* text;
    const char* name;
  } cases[] = {{u"привет", "A.HTM"}, {u"ΩΜΈΓΑ", "B.HTM"}, {u"CAFÉ", "C.TXT"}, {u"本書", "D.HTM"}};
  for (const auto& c : cases) {
    TSearchWalk walk;
    walk.Start(files, "/book/", "/book/none.htm");
    const TSearchWalk::TStep step = walk.Next(files, c.text);
    EXPECT_EQ(step.Outcome, TOutcome::Found) << c.name;
    EXPECT_EQ(step.Name, c.name);
  }
}

TEST(SearchWalk, SkipsTheShownPageFindsCapitalsInLowerCaseAndWraps) {
  DottedFiles files;
  files.CreateDirectoryExclusive("/book");
  files.CreateDirectoryExclusive("/book/Sub");
  files.Put("/book/a.htm", Text("<p>a lighthouse</p>"));
  files.Put("/book/b.htm", Text("<p>nothing here</p>"));
  files.Put("/book/c.txt", Text("keeper of the lighthouse"));
  files.Put("/book/d.htm", Text("<p>the LIGHTHOUSE keeper</p>"));
  files.Put("/book/Sub/a.htm", Text("<p>a lighthouse in a folder</p>"));
  files.Put("/book/Sub/e.htm", Text("<p>another lighthouse</p>"));
  TSearchWalk walk;
  walk.Start(files, "/book/", "/book/sub/A.htm");  // the folder's a.htm is shown
  std::vector<std::string> found;
  TSearchWalk::TStep step;
  while ((step = walk.Next(files, u"LIGHTHOUSE")).Outcome == TOutcome::Found) {
    EXPECT_EQ(UpperAscii(step.Path), "/BOOK/" + step.Name);
    EXPECT_NE(files.Get(step.Path), nullptr);  // as listed, in its own case
    found.push_back(step.Name);
  }
  EXPECT_EQ(found, (std::vector<std::string>{"A.HTM", "C.TXT", "D.HTM", "SUB/E.HTM"}));
  EXPECT_EQ(step.Outcome, TOutcome::NoMore);
  // After the end the walk starts again from the first entry.
  EXPECT_EQ(walk.Next(files, u"LIGHTHOUSE").Name, found[0]);

  // Text that no file holds, and an empty text, find nothing.
  walk.Start(files, "/book/", "/book/a.htm");
  EXPECT_EQ(walk.Next(files, u"zebra").Outcome, TOutcome::NoMore);
  EXPECT_EQ(walk.Next(files, u"").Outcome, TOutcome::NoMore);

  // Forgotten on Close: nothing to search until the next showing.
  walk.Release();
  EXPECT_EQ(walk.Next(files, u"lighthouse").Outcome, TOutcome::NoFiles);
}

TEST(SearchWalk, NamesAndUpperCase) {
  EXPECT_EQ(FileNamePart("C:\\book\\page.htm"), "page.htm");
  EXPECT_EQ(FileNamePart("/book/page.htm"), "page.htm");
  EXPECT_EQ(FileNamePart("C:page.htm"), "page.htm");
  EXPECT_EQ(FileNamePart("page.htm"), "page.htm");
  EXPECT_EQ(FileNamePart("C:\\book\\"), "");
  EXPECT_EQ(UpperAscii("a\xe9z.Htm"), "A\xe9Z.HTM");
}

}  // namespace
}  // namespace brisomel
