#include "html/images/bitmap_cache.h"

#include <gtest/gtest.h>

namespace brisomel {
namespace {

std::unique_ptr<TBitmapItem> Item() {
  auto item = std::make_unique<TBitmapItem>();
  item->bitmap = std::make_unique<Bitmap>(Bitmap::Rgb32(1, 1));
  return item;
}

TEST(BitmapCache, KeysAreUpperCasedAndTrimmed) {
  EXPECT_EQ(CacheKey("  images/Pic.gif \t"), "IMAGES/PIC.GIF");
  EXPECT_EQ(CacheKey("\xe9t\xe9.gif"), "\xe9T\xe9.GIF");  // only ASCII letters fold
  EXPECT_EQ(CacheKey("   "), "");
}

TEST(BitmapCache, AddCountsAUseAndRefusesDuplicates) {
  TStringBitmapList cache;
  ASSERT_TRUE(cache.Add("B", Item()));
  ASSERT_TRUE(cache.Add("A", Item()));
  auto again = Item();
  EXPECT_FALSE(cache.Add("A", std::move(again)));
  EXPECT_NE(again, nullptr) << "a refused item stays with the caller";
  EXPECT_EQ(cache.Count(), 2);
  EXPECT_EQ(cache.Key(0), "A");
  EXPECT_EQ(cache.Item(cache.IndexOf("B")).uses, 1);
  cache.AddUse("B");
  cache.AddUse("missing");
  EXPECT_EQ(cache.Item(cache.IndexOf("B")).uses, 2);
  cache.ReleaseUse("B");
  cache.ReleaseUse("B");
  EXPECT_EQ(cache.Item(cache.IndexOf("B")).uses, 0);
  cache.Item(cache.IndexOf("B")).age = 3;
  TBitmapItem& got = cache.GetImage(cache.IndexOf("B"));
  EXPECT_EQ(got.age, 0);
  EXPECT_EQ(got.uses, 1);
}

TEST(BitmapCache, UnusedEntriesAgeOutAfterTheMaximum) {
  TStringBitmapList cache;
  EXPECT_EQ(cache.MaxAge(), 4);
  cache.SetMaxAge(2);
  cache.Add("SHOWN", Item());
  cache.Add("GONE", Item());
  cache.ReleaseUse("GONE");  // its document was left
  for (int load = 1; load <= 2; ++load) {
    cache.AgeAll();
    EXPECT_NE(cache.IndexOf("GONE"), -1) << load;
  }
  cache.AgeAll();  // the third load without it
  EXPECT_EQ(cache.IndexOf("GONE"), -1);
  for (int load = 0; load < 10; ++load) cache.AgeAll();
  ASSERT_NE(cache.IndexOf("SHOWN"), -1) << "still used: kept whatever its age";
  EXPECT_EQ(cache.Item(cache.IndexOf("SHOWN")).age, 13);
}

TEST(BitmapCache, CacheCountIsClampedAndFreesAtOnce) {
  TStringBitmapList cache;
  cache.SetImageCacheCount(50);
  EXPECT_EQ(cache.MaxAge(), 20);
  cache.Add("USED", Item());
  cache.Add("FRESH", Item());
  cache.Add("OLD", Item());
  cache.ReleaseUse("FRESH");
  cache.ReleaseUse("OLD");
  cache.Item(cache.IndexOf("OLD")).age = 1;
  cache.Item(cache.IndexOf("USED")).age = 5;
  cache.SetImageCacheCount(-1);
  EXPECT_EQ(cache.MaxAge(), 0);
  EXPECT_EQ(cache.IndexOf("OLD"), -1);
  EXPECT_NE(cache.IndexOf("FRESH"), -1) << "age 0 is not above 0";
  EXPECT_NE(cache.IndexOf("USED"), -1);
}

TEST(BitmapCache, PurgeKeepsUsedEntriesAndClearFreesAll) {
  TStringBitmapList cache;
  cache.Add("A", Item());
  cache.Add("B", Item());
  cache.Add("C", Item());
  cache.ReleaseUse("A");
  cache.ReleaseUse("C");
  cache.ReleaseUse("C");  // below zero counts as unused
  cache.Purge();
  EXPECT_EQ(cache.Count(), 1);
  EXPECT_EQ(cache.Key(0), "B");
  cache.Clear();
  EXPECT_EQ(cache.Count(), 0);
}

}  // namespace
}  // namespace brisomel
