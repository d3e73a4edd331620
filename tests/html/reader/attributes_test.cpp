// Owning lists, attribute lookup and link pairs.
#include "html/reader/attributes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/utf.h"

namespace brisomel {
namespace {

struct Tracked {
  Tracked(std::vector<int>& log, int id) : log(log), id(id) {}
  ~Tracked() { log.push_back(id); }
  std::vector<int>& log;
  int id;
};

TEST(TFreeList, FreesItemsInIndexOrderOnClearAndDestruction) {
  std::vector<int> log;
  {
    TFreeList<Tracked> list;
    for (int i = 0; i < 3; ++i) list.Add(std::make_unique<Tracked>(log, i));
    list.Clear();
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(list.Count(), 0u);
    for (int i = 3; i < 6; ++i) list.Add(std::make_unique<Tracked>(log, i));
    list.Delete(1);
    EXPECT_EQ(log.back(), 4);
    auto kept = list.Extract(0);
    EXPECT_EQ(list.Count(), 1u);
  }
  EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 4, 3, 5}));  // the extracted item goes with its owner
}

TEST(TAttributeList, FindReturnsTheFirstMatch) {
  TAttributeList list;
  list.Add(std::make_unique<TAttribute>(symWidth, u"5", 5));
  list.Add(std::make_unique<TAttribute>(symAlign, u"left", 0));
  list.Add(std::make_unique<TAttribute>(symAlign, u"right", 0));
  const TAttribute* found = nullptr;
  ASSERT_TRUE(list.Find(symAlign, found));
  EXPECT_EQ(found->Text, u"left");
  EXPECT_FALSE(list.Find(symHref, found));
  EXPECT_EQ(found, nullptr);
}

TEST(TUrlTarget, AssignReplacesOnlyGivenFields) {
  TUrlTarget link;
  EXPECT_TRUE(link.Url.empty() && link.Target.empty());
  link.Assign(u"a.htm", u"main");
  link.Assign(std::nullopt, u"side");
  EXPECT_EQ(link.Url, u"a.htm");
  EXPECT_EQ(link.Target, u"side");
  link.Assign(u"b.htm", std::nullopt);
  EXPECT_EQ(link.Url, u"b.htm");
  EXPECT_EQ(link.Target, u"side");
  link.Clear();
  EXPECT_TRUE(link.Url.empty() && link.Target.empty());
}

}  // namespace
}  // namespace brisomel
