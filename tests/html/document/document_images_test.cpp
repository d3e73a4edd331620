// Document images: attributes, sizing rules, placeholders, borders in links, hit tests and
// maps, and the background image. Pictures come through the bitmap request.
#include <gtest/gtest.h>

#include "document_fixture.h"
#include "html/reader/image_map.h"
#include "text/utf.h"

namespace brisomel::test {
namespace {

// A 40 x 20 picture, red.
Bitmap Picture(int w = 40, int h = 20) { return Bitmap::Rgb32(w, h, 0xFF0000); }

struct SizeCase {
  const char* name;
  std::vector<std::pair<TSymbol, std::string>> attrs;
  int width, height;
  bool known;
};

class ImageSizing : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ImageSizing, InA400PixelCell) {
  DocFixture doc;
  doc.pictures["pic.bmp"] = Picture();
  auto s = doc.Section();
  TAttributeList attrs;
  for (const auto& [sym, text] : GetParam().attrs) {
    attrs.Add(std::make_unique<TAttribute>(sym, Utf8ToUtf16(text), std::atoi(text.c_str())));
  }
  TImageObj* image = s->AddImage(attrs, &doc.list);
  doc.Add(std::move(s));
  doc.Layout(400);
  EXPECT_EQ(image->ObjWidth, GetParam().width);
  EXPECT_EQ(image->ObjHeight, GetParam().height);
  EXPECT_EQ(image->ImageKnown, GetParam().known);
}

// The test font's 8-point "Arial" is 6 pixels a character and 13 high.
INSTANTIATE_TEST_SUITE_P(
    Cases, ImageSizing,
    ::testing::Values(
        SizeCase{"Natural", {{symSrc, "pic.bmp"}}, 40, 20, true},
        SizeCase{"HeightKeepsAspect", {{symSrc, "pic.bmp"}, {symHeight, "10"}}, 20, 10, true},
        SizeCase{"WidthKeepsAspect", {{symSrc, "pic.bmp"}, {symWidth, "80"}}, 80, 40, true},
        SizeCase{"BothGiven", {{symSrc, "pic.bmp"}, {symWidth, "7"}, {symHeight, "9"}}, 7, 9, true},
        SizeCase{"Percent", {{symSrc, "pic.bmp"}, {symWidth, "50%"}}, 200, 20, false},
        SizeCase{"PercentOutOfRange", {{symSrc, "pic.bmp"}, {symWidth, "150%"}}, 40, 20, true},
        SizeCase{"HeightZeroIgnored", {{symSrc, "pic.bmp"}, {symHeight, "0"}}, 40, 20, true},
        SizeCase{"MissingBox", {{symSrc, "none.bmp"}}, 24, 24, false},
        SizeCase{"NoSource", {}, 24, 24, false},
        SizeCase{"MissingWithAlt", {{symSrc, "none.bmp"}, {symAlt, "abc"}}, 44, 24, false},
        SizeCase{"MissingWithSize",
                 {{symSrc, "none.bmp"}, {symWidth, "30"}, {symHeight, "40"}},
                 30,
                 40,
                 true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DocumentImages, PercentWidthFollowsTheAvailableWidth) {
  DocFixture doc;
  doc.pictures["pic.bmp"] = Picture();
  auto s = doc.Section();
  TImageObj* image = s->AddImage(Attrs({{symSrc, "pic.bmp"}, {symWidth, "50%"}}), &doc.list);
  doc.Add(std::move(s));
  doc.Layout(400);
  EXPECT_EQ(image->ObjWidth, 200);
  doc.Layout(120);
  EXPECT_EQ(image->ObjWidth, 60);
}

TEST(DocumentImages, Attributes) {
  DocFixture doc;
  TImageObj a(&doc.list, 3,
              Attrs({{symHspace, "-30"},
                     {symAlign, "AbsMiddle"},
                     {symBorder, "0"},
                     {symUsemap, "#MyMap"},
                     {symIsmap, ""},
                     {symTransp, ""}}));
  EXPECT_EQ(a.Pos, 3);
  EXPECT_EQ(a.HSpace, 20);
  EXPECT_EQ(a.ObjAlign, oaMiddle);
  EXPECT_TRUE(a.NoBorder);
  EXPECT_TRUE(a.UseMap);
  EXPECT_EQ(a.MapName, u"MYMAP");
  EXPECT_TRUE(a.IsMap);
  EXPECT_EQ(a.Transparent, 1);
  TImageObj b(&doc.list, 0, Attrs({{symHspace, "7"}, {symAlign, "centre"}}));
  EXPECT_EQ(b.HSpace, 7);
  EXPECT_EQ(b.ObjAlign, oaBottom);
  TImageObj c(&doc.list, 0, Attrs({{symAlign, "RIGHT"}}));
  EXPECT_EQ(c.HSpace, 5);
  EXPECT_TRUE(c.Floating());
}

// "go " then a linked 40 x 20 picture, painted at the document's origin.
struct LinkedImageDoc : DocFixture {
  explicit LinkedImageDoc(std::vector<std::pair<TSymbol, std::string>> extra = {}) {
    pictures["pic.bmp"] = Picture();
    auto s = Section();
    s->AddText(u"go ");
    TUrlTarget target{u"target.htm", u"frame"};
    s->HRef(symHref, font, &target);
    TAttributeList attrs;
    attrs.Add(std::make_unique<TAttribute>(symSrc, u"pic.bmp", 0));
    for (const auto& [sym, text] : extra) {
      attrs.Add(std::make_unique<TAttribute>(sym, Utf8ToUtf16(text), std::atoi(text.c_str())));
    }
    image = s->AddImage(attrs, &list);
    s->HRef(symAEnd, font, nullptr);
    Add(std::move(s));
    Layout(300);
    list.Paint(canvas, Rect{0, 0, 300, 100}, 300, 0, 0);
  }
  TImageObj* image;
  SoftwareCanvas canvas{300, 100};
};

TEST(DocumentImages, LinkedImageHasABorderThatIsNoHit) {
  LinkedImageDoc doc;
  EXPECT_TRUE(doc.image->HasBorder);
  EXPECT_EQ(doc.image->ImageWidth, 42);
  EXPECT_EQ(doc.image->ImageHeight, 22);
  // On the baseline: 22 + 4 - 22 above the text; border box at x 24..65, y 0..21, the
  // picture one pixel inside.
  EXPECT_EQ(DumpLayout(doc.list),
            "TSection y=0 h=26 dh=26 curs=0+4\n"
            "  line x=0 y=0 h=26 \"go \\x04\"\n"
            "    image x=24 y=0 w=42 h=22 align=2\n");
  EXPECT_EQ(doc.image->DrawX, 25);
  EXPECT_EQ(doc.image->DrawY, 1);
  EXPECT_EQ(doc.canvas.PixelAt(25, 1), Color{0x0000FF});  // the picture (0x00BBGGRR)
  struct Case {
    int x, y;
    bool hit;
  };
  const Case cases[] = {{25, 1, true},  {64, 20, true}, {24, 5, false},
                        {65, 5, false}, {30, 0, false}, {30, 21, false}};
  for (const Case& c : cases) {
    TUrlTarget target;
    TFormControlObj* control = nullptr;
    EXPECT_EQ(doc.list.LinkAt(doc.canvas, c.x, c.y, target, control), c.hit) << c.x << "," << c.y;
    if (c.hit) {
      EXPECT_EQ(target.Url, u"target.htm");
      EXPECT_EQ(target.Target, u"frame");
    }
    TImageObj* obj = nullptr;
    int32_t ix = -1, iy = -1;
    EXPECT_EQ(doc.list.ImageAt(c.x, c.y, obj, ix, iy), c.hit);
    if (c.hit) {
      EXPECT_EQ(obj, doc.image);
      EXPECT_EQ(ix, c.x - 25);
      EXPECT_EQ(iy, c.y - 1);
    }
  }
}

TEST(DocumentImages, NoBorderWithBorderZero) {
  LinkedImageDoc doc({{symBorder, "0"}});
  EXPECT_FALSE(doc.image->HasBorder);
  EXPECT_EQ(doc.image->ImageWidth, 40);
}

TEST(DocumentImages, ServerSideMapAddsTheOffsets) {
  LinkedImageDoc doc({{symIsmap, ""}});
  TUrlTarget target;
  TFormControlObj* control = nullptr;
  ASSERT_TRUE(doc.list.LinkAt(doc.canvas, 25 + 7, 1 + 12, target, control));
  EXPECT_EQ(target.Url, u"target.htm?7,12");
}

TEST(DocumentImages, ClientSideMapAnswersItsAreas) {
  DocFixture doc;
  doc.pictures["pic.bmp"] = Picture();
  auto map = std::make_unique<TMapItem>();
  map->SetName(u"nav");
  map->AddArea(Attrs({{symShape, "rect"}, {symCoords, "0,0,10,10"}, {symHref, "a.htm"}}));
  doc.list.Maps.push_back(std::move(map));
  auto s = doc.Section();
  s->AddImage(Attrs({{symSrc, "pic.bmp"}, {symUsemap, "#nav"}}), &doc.list);
  doc.Add(std::move(s));
  doc.Layout(300);
  SoftwareCanvas canvas(300, 100);
  doc.list.Paint(canvas, Rect{0, 0, 300, 100}, 300, 0, 0);
  TUrlTarget target;
  TFormControlObj* control = nullptr;
  // The picture sits at (0, 2): 20 high on the baseline 18 + space before 2.
  EXPECT_TRUE(doc.list.LinkAt(canvas, 5, 5, target, control));
  EXPECT_EQ(target.Url, u"a.htm");
  EXPECT_FALSE(doc.list.LinkAt(canvas, 30, 5, target, control));
}

TEST(DocumentImages, PlaceholderBoxIsDrawnWithItsFrame) {
  DocFixture doc;
  doc.list.SetBackground(0xFFFFFF);
  auto s = doc.Section();
  s->AddImage(Attrs({{symSrc, "none.bmp"}, {symWidth, "60"}, {symHeight, "30"}}), &doc.list);
  doc.Add(std::move(s));
  doc.Layout(300);
  SoftwareCanvas canvas(100, 60);
  doc.list.Paint(canvas, Rect{0, 0, 100, 60}, 100, 0, 0);
  // A sunken frame: dark left and top, light right and bottom.
  EXPECT_EQ(canvas.PixelAt(0, 10), canvas.ResolveColor(kColorBtnShadow));
  EXPECT_EQ(canvas.PixelAt(59, 10), Color{0xC0C0C0});
  // The error picture is drawn 4 pixels inside: its outline starts at its pixel (1, 1).
  EXPECT_EQ(canvas.PixelAt(5, 5), Color{0});
  EXPECT_EQ(canvas.PixelAt(4, 4), Color{0xFFFFFF});
}

TEST(DocumentImages, ImagesOffShowTheWaitingBox) {
  DocFixture doc;
  doc.pictures["pic.bmp"] = Picture();
  doc.list.ShowImages = false;
  auto s = doc.Section();
  TImageObj* image = s->AddImage(Attrs({{symSrc, "pic.bmp"}}), &doc.list);
  doc.Add(std::move(s));
  doc.Layout(300);
  EXPECT_EQ(image->ObjWidth, 24);
  EXPECT_EQ(image->ObjHeight, 24);
  EXPECT_EQ(image->Image, nullptr);  // nothing fetched
}

TEST(DocumentImages, PendingPictureWaitsInTheMissingList) {
  DocFixture doc;
  doc.list.ImageHandlers.bitmap_request = nullptr;
  doc.list.ImageHandlers.image_request = [&](const std::string&) {
    return doc.module.WaitStream();
  };
  auto s = doc.Section();
  TImageObj* image = s->AddImage(Attrs({{symSrc, "later.gif"}}), &doc.list);
  doc.Add(std::move(s));
  doc.Layout(300);
  EXPECT_TRUE(image->Pending);
  ASSERT_EQ(doc.list.MissingImages.size(), 1u);
  EXPECT_EQ(doc.list.MissingImages[0].Name, "LATER.GIF");
  EXPECT_EQ(doc.list.MissingImages[0].Image, image);
  Bitmap arrived = Picture(30, 10);
  image->ReplaceImage(&arrived, nullptr, tkNone);
  doc.Layout(300);
  EXPECT_EQ(image->ObjWidth, 30);
  EXPECT_EQ(image->ObjHeight, 10);
}

TEST(DocumentImages, CacheUsesAreReleased) {
  DocFixture doc;
  doc.pictures["pic.bmp"] = Picture();
  for (int i = 0; i < 2; ++i) {
    auto s = doc.Section();
    s->AddImage(Attrs({{symSrc, "pic.bmp"}}), &doc.list);
    doc.Add(std::move(s));
  }
  doc.Layout(300);
  auto& cache = doc.module.Cache();
  int index = cache.IndexOf("PIC.BMP");
  ASSERT_GE(index, 0);
  EXPECT_EQ(cache.Item(index).uses, 2);
  {
    auto copy = doc.list.CreateCopy();
    EXPECT_EQ(cache.Item(index).uses, 4);
  }
  EXPECT_EQ(cache.Item(index).uses, 2);
  doc.list.Clear();
  EXPECT_EQ(cache.Item(index).uses, 0);
}

TEST(DocumentImages, BackgroundImageIsFetchedOnce) {
  DocFixture doc;
  doc.pictures["bg.bmp"] = Picture(8, 8);
  int requests = 0;
  doc.list.ImageHandlers.bitmap_request = [&](const std::string& source, int32_t&) {
    ++requests;
    auto it = doc.pictures.find(source);
    return it == doc.pictures.end() ? nullptr : std::make_unique<Bitmap>(it->second);
  };
  doc.list.SetBackgroundImage(u"bg.bmp");
  const Bitmap* bg = doc.list.BackgroundImage();
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->width, 8);
  EXPECT_EQ(doc.list.BackgroundImage(), bg);
  EXPECT_TRUE(doc.list.BackgroundLoaded);
  doc.list.SetBackgroundImage(u"gone.bmp");
  EXPECT_EQ(doc.list.BackgroundImage(), nullptr);
  EXPECT_EQ(doc.list.BackgroundImage(), nullptr);
  EXPECT_EQ(requests, 2);
}

}  // namespace
}  // namespace brisomel::test
