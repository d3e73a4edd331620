// The main window's decisions that need no window: links handed to the shell, shortcuts, the
// popup menu, the Open dialog's filter and the About box.
#include "shell/commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace brisomel {
namespace {

TEST(HandsLinkToShell, MarkersInAnyCaseLeaveTheBookAndOtherLinksAreFollowed) {
  struct Case {
    const char* url;
    bool shell;
  } cases[] = {
      {"MAILTO:keeper@example.org", true},
      {"mailto:keeper@example.org", true},
      {"http://example.org/", true},
      {"HTTPS://example.org/page.html", true},
      {"https://example.org/", true},
      {"ftp://example.org/file", true},
      {"setup.EXE", true},
      {"pages.zip", true},
      {"song.mp3", true},
      {"movie.mpg", true},  // ".mp" is a substring of ".mpg"
      {"clip.avi", true},
      {"tune.MID", true},
      {"bell.wav", true},
      {"stream.ram", true},
      {"page.html#part", false},
      {"#part", false},
      {"chapter.htm", false},
      {"sub\\picture.gif", false},
      {"", false},
      {"httpx:nothing", false},
  };
  for (const Case& c : cases) EXPECT_EQ(HandsLinkToShell(c.url), c.shell) << c.url;
}

TEST(ShortcutCommand, KeysAReaderExpectsAndTheirExactModifiers) {
  struct Case {
    int key;
    TShiftState shift;
    bool in_text;
    TCommand command;
  } cases[] = {
      {vkLeft, ssAlt, false, cmBack},
      {vkRight, ssAlt, false, cmForward},
      {vkHome, ssAlt, false, cmHome},
      {vkBack, 0, false, cmBack},
      {vkO, ssCtrl, false, cmOpen},
      {vkP, ssCtrl, false, cmPrint},
      {vkF, ssCtrl, false, cmSearch},
      {vkF3, 0, false, cmFindNext},
      // Zoom: '+' with or without Shift and on the keypad, '-' and '0' on both; F11.
      {vkOemPlus, ssCtrl, false, cmZoomIn},
      {vkOemPlus, ssCtrl | ssShift, false, cmZoomIn},
      {vkAdd, ssCtrl, true, cmZoomIn},
      {vkOemMinus, ssCtrl, false, cmZoomOut},
      {vkSubtract, ssCtrl, false, cmZoomOut},
      {vk0, ssCtrl, false, cmZoomReset},
      {vkNumpad0, ssCtrl, false, cmZoomReset},
      {vkF11, 0, false, cmFullScreen},
      {vkOemPlus, 0, false, cmNone},
      {vk0, 0, false, cmNone},
      {vkF11, ssAlt, false, cmNone},
      // Inside a text field Backspace deletes; the other shortcuts still work there.
      {vkBack, 0, true, cmNone},
      {vkO, ssCtrl, true, cmOpen},
      {vkLeft, ssAlt, true, cmBack},
      // Mouse buttons held do not matter; other modifiers do.
      {vkP, ssCtrl | ssLeft, false, cmPrint},
      {vkP, ssCtrl | ssShift, false, cmNone},
      {vkO, 0, false, cmNone},
      {vkLeft, 0, false, cmNone},
      {vkLeft, ssCtrl | ssAlt, false, cmNone},
      {vkBack, ssAlt, false, cmNone},
      // The scrolling keys are the viewer's.
      {vkHome, 0, false, cmNone},
      {vkEnd, 0, false, cmNone},
      {vkPrior, 0, false, cmNone},
      {vkNext, 0, false, cmNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortcutCommand(c.key, c.shift, c.in_text), c.command)
        << "key " << c.key << " shift " << c.shift << " in text " << c.in_text;
  }
}

TEST(PopupMenu1, ItemsInOrderEachWithItsOwnCommand) {
  std::string captions;
  std::set<int> commands;
  for (const TMenuItemDesign& item : kPopupMenu1) {
    captions += std::string(*item.caption ? item.caption : "-") + ",";
    if (item.command != cmNone) {
      EXPECT_TRUE(commands.insert(item.command).second) << item.caption;
    }
  }
  EXPECT_EQ(captions, "Back,Forward,Print,-,Open,-,Stop Sound,-,Exit,&About,");
}

TEST(OpenDialog1, FilterBecomesNulSeparatedPairs) {
  const std::string filter = SystemDialogFilter(kOpenDialog1Filter);
  const std::string expected(
      "HTML,HTM,TXT Files\0*.html;*.htm;*.txt\0Text Files\0*.txt\0"
      "Image Files\0*.gif;*.jpg;*.jpeg;*.bmp\0All Files\0*.*\0\0",
      sizeof "HTML,HTM,TXT Files\0*.html;*.htm;*.txt\0Text Files\0*.txt\0"
             "Image Files\0*.gif;*.jpg;*.jpeg;*.bmp\0All Files\0*.*\0\0" - 1);
  EXPECT_EQ(filter, expected);
}

TEST(AboutText, FourLinesNamingTheProgramAndItsVersion) {
  const std::string text = AboutText();
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_NE(lines[0].find(std::string("Brisomel ") + kBrisomelVersion), std::string::npos);
  EXPECT_EQ(lines[1], "");
  EXPECT_NE(lines[2].find("https://"), std::string::npos);
  EXPECT_NE(lines[3].find('@'), std::string::npos);
}

}  // namespace
}  // namespace brisomel
