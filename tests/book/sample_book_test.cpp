// The sample book in examples/book, read with the reader's own tokenizer: every link, frame,
// picture and sound it names is one of its files, every anchor and image map it points at is
// there, every page can be reached from the start page, and the files the reader looks for by
// name are present.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "html/reader/tokenizer.h"
#include "text/utf.h"

namespace brisomel {
namespace {

namespace fs = std::filesystem;

fs::path BookDir() { return fs::path(BRISOMEL_TEST_SOURCE_DIR) / ".." / "examples" / "book"; }

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool IsPage(const std::string& name) { return name.ends_with(".htm") || name.ends_with(".html"); }

// A reference a page makes: the tag and attribute it stands in, and its value.
struct Reference {
  std::string where;  // e.g. "A HREF"
  std::string value;
};

// What one page holds, as the reader's tokenizer sees it.
struct Page {
  std::vector<Reference> references;  // HREF, SRC and ACTION values
  std::set<std::string> anchors;      // A NAME
  std::set<std::string> maps;         // MAP NAME
  std::vector<std::string> usemaps;   // IMG USEMAP
};

Page ReadPage(const fs::path& path) {
  const std::string html = ReadAll(path);
  Page page;
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(html.data(), html.size());
  tokenizer.Advance();
  auto text_of = [&](TSymbol attribute) -> std::optional<std::string> {
    const TAttribute* found = tokenizer.Attributes.Find(attribute);
    if (!found) return std::nullopt;
    return Utf16ToUtf8(found->Text);
  };
  auto take = [&](const char* where, TSymbol attribute) {
    if (auto value = text_of(attribute)) page.references.push_back({where, *value});
  };
  for (tokenizer.NextSymbol(); tokenizer.Symbol != symEof; tokenizer.NextSymbol()) {
    switch (tokenizer.Symbol) {
      case symA:
        take("A HREF", symHref);
        if (auto name = text_of(symName)) page.anchors.insert(*name);
        break;
      case symArea:
        take("AREA HREF", symHref);
        break;
      case symImg:
        take("IMG SRC", symSrc);
        if (auto map = text_of(symUsemap)) page.usemaps.push_back(*map);
        break;
      case symFrame:
        take("FRAME SRC", symSrc);
        break;
      case symBgsound:
        take("BGSOUND SRC", symSrc);
        break;
      case symForm:
        take("FORM ACTION", symAction);
        break;
      case symMap:
        if (auto name = text_of(symName)) page.maps.insert(*name);
        break;
      default:
        break;
    }
  }
  return page;
}

// A scheme ("http:", "mailto:") takes a link out of the book, to the shell.
bool LeavesTheBook(const std::string& url) { return url.find(':') != std::string::npos; }

class SampleBook : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& entry : fs::directory_iterator(BookDir())) {
      const std::string name = entry.path().filename().string();
      files_.insert(name);
      if (IsPage(name)) pages_[name] = ReadPage(entry.path());
    }
    ASSERT_FALSE(pages_.empty()) << "no pages in " << BookDir();
  }

  std::set<std::string> files_;
  std::map<std::string, Page> pages_;
};

TEST_F(SampleBook, EveryReferenceIsAFileOrAnchorOfTheBook) {
  std::vector<std::string> faults;
  for (const auto& [name, page] : pages_) {
    for (const Reference& ref : page.references) {
      if (LeavesTheBook(ref.value)) continue;
      const size_t hash = ref.value.find('#');
      const std::string file = hash == std::string::npos ? ref.value : ref.value.substr(0, hash);
      const std::string target = file.empty() ? name : file;
      if (!files_.count(target)) {
        faults.push_back(name + ": " + ref.where + "=\"" + ref.value + "\" names no file");
      } else if (hash != std::string::npos &&
                 (!pages_.count(target) ||
                  !pages_.at(target).anchors.count(ref.value.substr(hash + 1)))) {
        faults.push_back(name + ": " + ref.where + "=\"" + ref.value + "\" names no anchor");
      }
    }
    for (const std::string& map : page.usemaps) {
      if (!map.starts_with("#") || !page.maps.count(map.substr(1)))
        faults.push_back(name + ": IMG USEMAP=\"" + map + "\" names no MAP of the page");
    }
  }
  for (const std::string& fault : faults) ADD_FAILURE() << fault;
}

TEST_F(SampleBook, EveryPageCanBeReachedFromTheStartPage) {
  std::set<std::string> reached{"index.htm"};
  std::vector<std::string> todo{"index.htm"};
  ASSERT_TRUE(pages_.count("index.htm"));
  while (!todo.empty()) {
    const std::string name = todo.back();
    todo.pop_back();
    for (const Reference& ref : pages_.at(name).references) {
      const std::string file = ref.value.substr(0, ref.value.find('#'));
      if (pages_.count(file) && reached.insert(file).second) todo.push_back(file);
    }
  }
  for (const auto& [name, page] : pages_)
    EXPECT_TRUE(reached.count(name)) << name << " cannot be reached from index.htm";
}

TEST_F(SampleBook, HoldsTheFilesTheReaderLooksFor) {
  for (const char* name : {"index.htm", "4back.bmp", "4fwd.bmp", "4open.bmp", "4home.bmp",
                           "4search.bmp", "4print.bmp", "4exit.bmp", "rhcorner.gif"})
    EXPECT_TRUE(files_.count(name)) << name;
  // The corner image fills the toolbar's corner viewer: a GIF of 48 x 36 pixels.
  const std::string corner = ReadAll(BookDir() / "rhcorner.gif");
  ASSERT_GE(corner.size(), 10u);
  EXPECT_EQ(corner.substr(0, 6), "GIF89a");
  EXPECT_EQ(static_cast<unsigned char>(corner[6]) | static_cast<unsigned char>(corner[7]) << 8, 48);
  EXPECT_EQ(static_cast<unsigned char>(corner[8]) | static_cast<unsigned char>(corner[9]) << 8, 36);
}

}  // namespace
}  // namespace brisomel
