#include "shell/commands.h"

namespace brisomel {

bool HandsLinkToShell(const std::string& url) {
  static constexpr const char* kMarkers[] = {// schemes of other programs
                                             "mailto:", "http://", "https://", "ftp:",
                                             // programs and archives
                                             ".exe", ".zip",
                                             // media
                                             ".mp", ".avi", ".vjp", ".ra", ".ram", ".wav", ".mid"};
  std::string lower = url;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  for (const char* marker : kMarkers)
    if (lower.find(marker) != std::string::npos) return true;
  return false;
}

TCommand ShortcutCommand(int key, TShiftState shift, bool in_text_field) {
  const TShiftState modifiers = shift & (ssShift | ssAlt | ssCtrl);
  struct Shortcut {
    int key;
    TShiftState modifiers;
    TCommand command;
  };
  static constexpr Shortcut kShortcuts[] = {
      {vkLeft, ssAlt, cmBack},
      {vkRight, ssAlt, cmForward},
      {vkHome, ssAlt, cmHome},
      {vkBack, 0, cmBack},
      {vkO, ssCtrl, cmOpen},
      {vkP, ssCtrl, cmPrint},
      {vkF, ssCtrl, cmSearch},
      {vkF3, 0, cmFindNext},
      {vkOemPlus, ssCtrl, cmZoomIn},
      {vkOemPlus, ssCtrl | ssShift, cmZoomIn},
      {vkAdd, ssCtrl, cmZoomIn},
      {vkOemMinus, ssCtrl, cmZoomOut},
      {vkSubtract, ssCtrl, cmZoomOut},
      {vk0, ssCtrl, cmZoomReset},
      {vkNumpad0, ssCtrl, cmZoomReset},
      {vkF11, 0, cmFullScreen},
  };
  if (key == vkBack && in_text_field) return cmNone;
  for (const Shortcut& s : kShortcuts)
    if (s.key == key && s.modifiers == modifiers) return s.command;
  return cmNone;
}

std::string SystemDialogFilter(const std::string& filter) {
  std::string result = filter;
  for (char& c : result)
    if (c == '|') c = '\0';
  result += '\0';
  result += '\0';
  return result;
}

std::string AboutText() {
  return std::string("Brisomel ") + kBrisomelVersion +
         ", a reader for books of HTML pages that carry their own pages, pictures and sounds.\n"
         "\n"
         "On the web: https://brisomel.example.org/\n"
         "By e-mail: books@brisomel.example.org";
}

}  // namespace brisomel
