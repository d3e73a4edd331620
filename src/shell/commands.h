// The main window's commands and the decisions behind them that need no window: which links
// leave the book for the shell, the popup menu's items, the keyboard shortcuts, the Open
// dialog's filter and the About box's text. The window code in main_form_commands.cpp only
// binds them to buttons, menu items and keys.
#pragma once

#include <array>
#include <string>

#include "platform/window.h"

namespace brisomel {

inline constexpr const char* kBrisomelVersion = "1.0";

// What the toolbar buttons, menu items and shortcuts do. The value plus kCommandIdBase is the
// command id a menu item or shortcut sends to the main window.
enum TCommand : int {
  cmNone = 0,
  cmBack,
  cmForward,
  cmOpen,
  cmHome,
  cmSearch,
  cmPrint,
  cmStopSound,
  cmExit,
  cmAbout,
  cmFindNext,
  cmZoomIn,
  cmZoomOut,
  cmZoomReset,
  cmFullScreen,
};
inline constexpr int kCommandIdBase = 100;
// The WM_COMMAND id of "Stop Sound".
inline constexpr int kStopSoundCommand = kCommandIdBase + cmStopSound;

// Whether a link leaves the book: its lower-cased URL holds a scheme of another program
// ("mailto:", "http://", "https://", "ftp:"), a program or archive (".exe", ".zip") or a media
// file (".mp", ".avi", ".vjp", ".ra", ".ram", ".wav", ".mid"). Such a link goes to the shell as
// written; any other is followed by the viewer. A web address is never a file of the book, so
// "https://" is handed over like "http://".
bool HandsLinkToShell(const std::string& url);

// One line of PopupMenu1: a separator has no caption.
struct TMenuItemDesign {
  const char* name;     // component name, e.g. "Back1"; empty for a separator
  const char* caption;  // "" for a separator
  TCommand command;
};
inline constexpr std::array<TMenuItemDesign, 10> kPopupMenu1{{
    {"Back1", "Back", cmBack},
    {"Forward1", "Forward", cmForward},
    {"Print1", "Print", cmPrint},
    {"", "", cmNone},
    {"Open1", "Open", cmOpen},
    {"", "", cmNone},
    {"StopSound1", "Stop Sound", cmStopSound},
    {"", "", cmNone},
    {"Exit1", "Exit", cmExit},
    {"About1", "&About", cmAbout},
}};

// The command of a key pressed anywhere in the main window, or cmNone. `in_text_field` says
// the focus is in a control that edits text, where Backspace deletes a character instead of
// going back. Home, End, Page Up and Page Down are no commands: they scroll the viewer.
// Ctrl with '+' (with or without Shift, or on the keypad), '-' and '0' zoom; F11 toggles full
// screen.
TCommand ShortcutCommand(int key, TShiftState shift, bool in_text_field);

// Virtual key codes of the shortcuts (the platform's values).
enum TShortcutKey : int {
  vkBack = 0x08,
  vkF = 0x46,
  vkO = 0x4F,
  vkP = 0x50,
  vkF3 = 0x72,
  vkF11 = 0x7A,
  vk0 = 0x30,
  vkNumpad0 = 0x60,
  vkAdd = 0x6B,
  vkSubtract = 0x6D,
  vkOemPlus = 0xBB,  // the '=' / '+' key
  vkOemMinus = 0xBD,
  vkEscape = 0x1B,
};

// OpenDialog1's filter: caption and pattern pairs separated by '|', the first selected.
inline constexpr const char* kOpenDialog1Filter =
    "HTML,HTM,TXT Files|*.html;*.htm;*.txt|Text Files|*.txt|Image Files|*.gif;*.jpg;*.jpeg;*.bmp|"
    "All Files|*.*";
// A '|'-separated filter in the system dialog's form: each part ends with a NUL and one more
// NUL ends the list.
std::string SystemDialogFilter(const std::string& filter);

// The About box: its caption, and four lines (credits, empty, web address, e-mail).
inline constexpr const char* kAboutCaption = "About Brisomel";
std::string AboutText();

}  // namespace brisomel
