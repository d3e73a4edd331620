// Image map areas: shapes, coordinates, and which link a point hits.
#include "html/reader/image_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/reader/tokenizer.h"
#include "text/utf.h"

namespace brisomel {
namespace {

// A map built from AREA tags read by the tokenizer, as the parser builds it.
TMapItem MapOf(const std::string& areas) {
  TMapItem map;
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(areas.data(), areas.size());
  tokenizer.Advance();
  for (tokenizer.NextSymbol(); tokenizer.Symbol != symEof; tokenizer.NextSymbol())
    if (tokenizer.Symbol == symArea) map.AddArea(tokenizer.Attributes);
  return map;
}

std::string HitAt(const TMapItem& map, int x, int y) {
  auto link = map.Hit(x, y);
  if (!link) return "none";
  std::string text = Utf16ToUtf8(link->Url);
  if (!link->Target.empty()) text.append("@").append(Utf16ToUtf8(link->Target));
  return text;
}

struct HitCase {
  const char* name;
  const char* areas;
  int x, y;
  const char* expected;
};

TEST(TMapItem, Hits) {
  const HitCase cases[] = {
      {"CircleEdgeInside", "<AREA SHAPE=circle COORDS=\"10,10,5\" HREF=c>", 15, 10, "c"},
      {"CircleBeyondEdge", "<AREA SHAPE=circle COORDS=\"10,10,5\" HREF=c>", 16, 10, "none"},
      {"CircleLeftEdge", "<AREA SHAPE=circle COORDS=\"10,10,5\" HREF=c>", 5, 10, "c"},
      {"CircleTopEdge", "<AREA SHAPE=CIRC COORDS=\"10,10,5\" HREF=c>", 10, 5, "c"},
      {"CircleCornerOutside", "<AREA SHAPE=circle COORDS=\"10,10,5\" HREF=c>", 14, 14, "none"},
      {"CircleDiagonalInside", "<AREA SHAPE=circle COORDS=\"10,10,5\" HREF=c>", 13, 13, "c"},
      {"RectRightBottomInside", "<AREA SHAPE=rect COORDS=\"0,0,9,9\" HREF=r>", 9, 9, "r"},
      {"RectBeyond", "<AREA SHAPE=rect COORDS=\"0,0,9,9\" HREF=r>", 10, 9, "none"},
      {"RectOrigin", "<AREA COORDS=\"0,0,9,9\" HREF=r>", 0, 0, "r"},
      {"RectSwappedCorners", "<AREA COORDS=\"9,9,0,0\" HREF=r>", 5, 5, "r"},
      {"RectUnquotedCoords", "<AREA COORDS=2,2,4,4 HREF=r TARGET=main>", 3, 3, "r@main"},
      {"RectSpacesInCoords", "<AREA COORDS=\" 2 , 2 , 4 , 4 \" HREF=r>", 4, 4, "r"},
      {"EarlierAreaWins", "<AREA COORDS=\"0,0,9,9\" HREF=a><AREA COORDS=\"0,0,20,20\" HREF=b>", 5, 5, "a"},
      {"LaterAreaBeyondEarlier", "<AREA COORDS=\"0,0,9,9\" HREF=a><AREA COORDS=\"0,0,20,20\" HREF=b>", 15, 15, "b"},
      {"NohrefHidesBeneath", "<AREA COORDS=\"0,0,9,9\" NOHREF><AREA COORDS=\"0,0,20,20\" HREF=b>", 5, 5, "none"},
      {"NohrefAfterHref", "<AREA HREF=a NOHREF COORDS=\"0,0,9,9\">", 5, 5, "none"},
      {"HrefAfterNohref", "<AREA NOHREF HREF=a COORDS=\"0,0,9,9\">", 5, 5, "a"},
      {"DefaultShapeWithoutCoords", "<AREA SHAPE=default HREF=d>", 0, 0, "none"},
      {"EmptyPieceStopsCoords", "<AREA COORDS=\"1,2,,3,4\" HREF=r>", 1, 2, "none"},
      {"CircleNeedsThree", "<AREA SHAPE=circle COORDS=\"10,10\" HREF=c>", 10, 10, "none"},
      {"PolygonOddNumberIgnored", "<AREA SHAPE=polygon COORDS=\"0,0,10,0,10,10,0\" HREF=p>", 8, 2, "p"},
      {"PolygonTriangleOutside", "<AREA SHAPE=polygon COORDS=\"0,0,10,0,10,10,0\" HREF=p>", 2, 8, "none"},
      {"PolygonNeedsSix", "<AREA SHAPE=poly COORDS=\"0,0,10,0,10\" HREF=p>", 8, 1, "none"},
      {"PolygonSquareLeftTopIn", "<AREA SHAPE=poly COORDS=\"0,0,10,0,10,10,0,10\" HREF=p>", 0, 0, "p"},
      {"PolygonSquareRightOut", "<AREA SHAPE=poly COORDS=\"0,0,10,0,10,10,0,10\" HREF=p>", 10, 5, "none"},
      // A pentagram's outline winds twice around its centre: filled by the winding rule.
      {"PolygonStarCentre", "<AREA SHAPE=poly COORDS=\"50,0,79,90,2,35,97,35,21,90\" HREF=s>", 50, 50, "s"},
      {"PolygonStarPoint", "<AREA SHAPE=poly COORDS=\"50,0,79,90,2,35,97,35,21,90\" HREF=s>", 50, 10, "s"},
      {"PolygonStarOutside", "<AREA SHAPE=poly COORDS=\"50,0,79,90,2,35,97,35,21,90\" HREF=s>", 5, 80, "none"},
      {"HugeCoordinates", "<AREA SHAPE=circle COORDS=\"0,0,2147483647\" HREF=h>", -1000000, 1000000, "h"},
      {"HugePolygon", "<AREA SHAPE=poly COORDS=\"-2147483648,-2147483648,2147483647,-2147483648,0,2147483647\" HREF=h>", 0, 0, "h"},
  };
  for (const HitCase& c : cases) EXPECT_EQ(HitAt(MapOf(c.areas), c.x, c.y), c.expected) << c.name;
}

TEST(TMapItem, ParseCoords) {
  struct Case {
    const char* text;
    std::vector<int32_t> numbers;
  };
  const Case cases[] = {
      {"1,2,3", {1, 2, 3}},
      {"1,2,,3,4", {1, 2}},
      {"1,x,3", {1, 0, 3}},
      {"1 ,2  ", {1, 2}},
      {"123456789012345678901,5", {0, 5}},   // cut to 20 characters: still too big
      {"000000000000000000012345,5", {1, 5}},  // cut to 20 characters: "00000000000000000001"
      {"", {}},
      {",1", {}},
      {"1,", {1}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TMapItem::ParseCoords(AsciiToUtf16(c.text)), c.numbers) << c.text;

  std::string many;
  for (int i = 0; i < 300; ++i) many += std::to_string(i) + ",";
  auto numbers = TMapItem::ParseCoords(AsciiToUtf16(many));
  ASSERT_EQ(numbers.size(), 201u);
  EXPECT_EQ(numbers.back(), 200);
}

TEST(TMapItem, NameIsUpperCaseAndHitGivesNewLinks) {
  TMapItem map = MapOf("<AREA COORDS=\"0,0,9,9\" HREF=a.htm TARGET=main>");
  map.SetName(u"Nav");
  EXPECT_EQ(map.Name(), u"NAV");
  auto first = map.Hit(1, 1);
  auto second = map.Hit(1, 1);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(second->Target, u"main");
  EXPECT_EQ(map.Areas().size(), 1u);
}

}  // namespace
}  // namespace brisomel
