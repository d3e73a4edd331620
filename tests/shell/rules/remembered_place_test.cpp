// The rules of reopening a book where it was left: the page, the window's place on today's
// screens, and the command line's --fresh.
#include "shell/remembered_place.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace brisomel {
namespace {

TEST(RememberedPlace, PageOpensOnlyWhenStillInTheBook) {
  const std::string book = "C:\\temp\\brisomel-1\\";
  const std::set<std::string> files = {book + "index.htm", book + "chapters\\harbour.htm"};
  auto exists = [&](const std::string& path) { return files.count(path) > 0; };
  struct Case {
    std::u16string page;
    const char* opened;
  } cases[] = {
      {u"chapters/harbour.htm", "C:\\temp\\brisomel-1\\chapters\\harbour.htm"},
      {u"index.htm", "C:\\temp\\brisomel-1\\index.htm"},
      {u"chapters/gone.htm", ""},  // removed from the book since
      {u"", ""},                   // nothing remembered
      {u"../index.htm", ""},       // would lead out of the book
  };
  for (const Case& c : cases) {
    ReadingState state;
    state.page = c.page;
    EXPECT_EQ(RememberedPagePath(book, state, exists), c.opened) << c.opened;
  }
  ReadingState state;
  state.page = u"index.htm";
  EXPECT_EQ(RememberedPagePath("", state, exists), "");  // no book extracted
}

TEST(RememberedPlace, PageToRememberIsRelativeToTheBook) {
  const std::string book = "C:\\temp\\brisomel-1\\";
  struct Case {
    const char* shown;
    std::u16string page;
  } cases[] = {
      {"C:\\temp\\brisomel-1\\chapters\\harbour.htm", u"chapters/harbour.htm"},
      {"c:\\TEMP\\brisomel-1\\frames.htm", u"frames.htm"},  // a frame set: its own file
      {"C:\\elsewhere\\opened.htm", u""},                   // opened from outside the book
      {"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(PageToRemember(book, c.shown), c.page) << c.shown;
}

TEST(RememberedPlace, WindowIsKeptOnAScreenThatExists) {
  const std::vector<Rect> screens = {{0, 0, 1024, 738}, {1024, 0, 2304, 1024}};
  struct Case {
    const char* what;
    WindowPlacement window;
    std::optional<Rect> placed;
  } cases[] = {
      {"inside the first screen", {140, 80, 800, 600}, Rect{140, 80, 940, 680}},
      {"on the second screen", {1200, 100, 800, 600}, Rect{1200, 100, 2000, 700}},
      {"across both: the one it covers more", {900, 100, 800, 600}, Rect{1024, 100, 1824, 700}},
      {"hanging off the bottom", {100, 500, 800, 600}, Rect{100, 138, 900, 738}},
      {"larger than its screen", {-50, -50, 1200, 900}, Rect{0, 0, 1024, 738}},
      {"left of every screen", {-2000, 100, 800, 600}, std::nullopt},
      {"below every screen", {100, 3000, 800, 600}, std::nullopt},
      {"touching an edge only", {-800, 0, 800, 600}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(PlaceOnScreens(c.window, screens), c.placed) << c.what;
  EXPECT_EQ(PlaceOnScreens({140, 80, 800, 600}, {}), std::nullopt) << "no screens known";
}

TEST(RememberedPlace, FreshIsTakenOffTheCommandLine) {
  std::vector<std::string> args = {"--fresh"};
  EXPECT_TRUE(TakeFreshOption(args));
  EXPECT_TRUE(args.empty());
  args = {"page.htm", "--fresh"};
  EXPECT_TRUE(TakeFreshOption(args));
  EXPECT_EQ(args, std::vector<std::string>{"page.htm"});
  EXPECT_FALSE(TakeFreshOption(args));
  EXPECT_EQ(args, std::vector<std::string>{"page.htm"});
}

}  // namespace
}  // namespace brisomel
