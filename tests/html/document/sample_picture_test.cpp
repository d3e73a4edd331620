// A page of every section kind painted with the test font, written as a PNG for people to
// look at (native builds): build/<preset>/document_tests/sample_page.png.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "document_fixture.h"
#include "platform/headless/png_writer.h"

namespace brisomel::test {
namespace {

TEST(Picture, SamplePageForPeople) {
  DocFixture doc;
  doc.pictures["pic.bmp"] = Bitmap::Rgb32(60, 40, 0x3366CC);
  TMyFont heading(doc.font);
  heading.SetStyle(kFontBold);
  heading.SetRelSize(doc.list, 18);
  doc.Add(std::make_unique<TSection>(doc.list, 0, 2, nullptr, heading)).AddText(u"Sample page");
  doc.Add(std::make_unique<THeadingSpace>(&doc.list, 1));
  auto p = doc.Section();
  p->AddImage(Attrs({{symSrc, "pic.bmp"}, {symAlign, "left"}}), &doc.list);
  p->AddText(u"A paragraph beside a left float, with ");
  TMyFont link(doc.font);
  link.SetStyle(kFontUnderline);
  link.SetColor(0x800000);
  TUrlTarget target{u"next.htm", u""};
  p->HRef(symHref, link, &target);
  p->AddText(u"a link");
  p->HRef(symAEnd, doc.font, nullptr);
  p->AddText(u" and x");
  doc.list.SubSupState = 2;
  p->ChangeFont(doc.font);
  p->AddText(u"2");
  doc.list.SubSupState = 0;
  p->ChangeFont(doc.font);
  p->AddText(u" then more words that flow below the float when it ends.");
  doc.Add(std::move(p));
  doc.Add(std::make_unique<THorzLine>(&doc.list, Attrs({{symWidth, "80%"}})));
  for (int i = 1; i <= 2; ++i) {
    doc.Add(std::make_unique<TUListItem>(doc.list, i, nullptr, doc.font)).AddText(u"bullet item");
  }
  for (int i = 1; i <= 3; ++i) {
    doc.Add(std::make_unique<TOListItem>(doc.list, 1, nullptr, doc.font, 'I', i))
        .AddText(u"numbered item");
  }
  doc.Add(std::make_unique<TPreFormated>(doc.list, 0, doc.font)).AddText(u"  pre   formatted");
  doc.list.SelB = 20;
  doc.list.SelE = 30;
  int32_t height = doc.list.DoLayout(doc.screen, 300);
  SoftwareCanvas canvas(320, height + 10);
  canvas.FillRect(Rect{0, 0, 320, height + 10}, doc.list.Background);
  doc.list.Paint(canvas, Rect{0, 0, 320, height + 10}, 300, 10, 5);
  std::string dir = std::string(BRISOMEL_BUILD_DIR) + "/document_tests";
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
  std::string path = dir + "/sample_page.png";
  ASSERT_TRUE(WritePng(canvas.surface(), path));
  std::cout << "picture to look at: " << path << "\n";
}

}  // namespace
}  // namespace brisomel::test
#endif
