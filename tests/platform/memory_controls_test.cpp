// The in-memory controls: what a user's clicks, keys and picks do to each kind, the focus
// events, and the factory's list of live controls.
#include "platform/headless/memory_controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brisomel {
namespace {

std::unique_ptr<MemoryControl> Make(MemoryControls& factory, TControlKind kind,
                                    TControlOptions options = {}) {
  return std::unique_ptr<MemoryControl>(
      static_cast<MemoryControl*>(factory.Create(kind, options, Rect{}).release()));
}

TEST(MemoryControls, TypingKeepsTheMaximumLengthAndEnterIsReported) {
  MemoryControls factory;
  auto edit = Make(factory, TControlKind::ckEdit);
  int returns = 0;
  edit->Events.OnReturn = [&] { ++returns; };
  edit->SetMaxLength(4);
  edit->SetText(u"abcdef");
  EXPECT_EQ(edit->Text(), u"abcd");
  edit->SetText(u"ab");
  edit->Type("cdef\r");
  EXPECT_EQ(edit->Text(), u"abcd");
  EXPECT_EQ(returns, 1);

  auto memo = Make(factory, TControlKind::ckMemo);
  memo->Events.OnReturn = [&] { ++returns; };
  memo->Type("one\rtwo\r");
  EXPECT_EQ(returns, 1);
  ASSERT_EQ(memo->LineCount(), 2);  // a final line break starts no line
  EXPECT_EQ(memo->Line(1), u"two");
  memo->SetText(u"\r\n\r\nx");
  EXPECT_EQ(memo->LineCount(), 3);
  EXPECT_EQ(memo->Line(2), u"x");
  EXPECT_EQ(memo->Line(3), u"");
}

TEST(MemoryControls, ClicksByKind) {
  MemoryControls factory;
  std::vector<std::string> events;
  auto check = Make(factory, TControlKind::ckCheckBox);
  auto radio = Make(factory, TControlKind::ckRadioButton);
  auto edit = Make(factory, TControlKind::ckEdit);
  check->Events.OnClick = [&] { events.push_back(check->Checked() ? "check on" : "check off"); };
  radio->Events.OnClick = [&] { events.push_back(radio->Checked() ? "radio on" : "radio off"); };
  edit->Events.OnClick = [&] { events.push_back("edit"); };
  check->Click();
  check->Click();
  radio->Click();
  radio->Click();
  edit->Click();
  EXPECT_EQ(events, (std::vector<std::string>{"check on", "check off", "radio on", "radio on"}));
}

TEST(MemoryControls, PicksSelectOneOrToggle) {
  MemoryControls factory;
  auto single = Make(factory, TControlKind::ckListBox);
  auto multi = Make(factory, TControlKind::ckListBox, TControlOptions{true, false});
  for (MemoryControl* list : {single.get(), multi.get()}) list->SetItems({u"a", u"b", u"c"});
  single->PickItem(1);
  single->PickItem(2);
  EXPECT_EQ(single->ItemIndex(), 2);
  EXPECT_FALSE(single->Selected(1));
  EXPECT_TRUE(single->Selected(2));
  multi->PickItem(1);
  multi->PickItem(2);
  multi->PickItem(1);
  EXPECT_FALSE(multi->Selected(1));
  EXPECT_TRUE(multi->Selected(2));
  multi->PickItem(7);  // no such item
  EXPECT_EQ(multi->ItemIndex(), 1);
  multi->SetItems({u"x"});
  EXPECT_EQ(multi->ItemIndex(), -1);
  EXPECT_FALSE(multi->Selected(0));
}

TEST(MemoryControls, FocusReportsExitThenEnterAndGoesWithItsControl) {
  MemoryControls factory;
  std::vector<std::string> events;
  auto a = Make(factory, TControlKind::ckEdit);
  auto b = Make(factory, TControlKind::ckButton);
  a->Events.OnEnter = [&] { events.push_back("enter a"); };
  a->Events.OnExit = [&] { events.push_back("exit a"); };
  b->Events.OnEnter = [&] { events.push_back("enter b"); };
  a->SetFocus();
  b->Click();
  EXPECT_EQ(events, (std::vector<std::string>{"enter a", "exit a", "enter b"}));
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(factory.All().size(), 2u);
  b.reset();
  EXPECT_EQ(factory.Focused(), nullptr);
  EXPECT_EQ(factory.All().size(), 1u);
}

TEST(MemoryControls, DropDownListsKeepTheirHeight) {
  MemoryControls factory;
  auto combo = Make(factory, TControlKind::ckComboBox);
  combo->SetBounds(Rect{5, 6, 80, 300});
  EXPECT_EQ(combo->Bounds(), (Rect{5, 6, 80, 6 + MemoryControl::kComboHeight}));
  auto memo = Make(factory, TControlKind::ckMemo, TControlOptions{false, true});
  EXPECT_EQ(memo->WindowSizeForClient(Size{10, 10}), (Size{10 + 4 + 16, 10 + 4}));
}

}  // namespace
}  // namespace brisomel
