// OpenDialog1: the system's Open dialog for one existing file, with a '|'-separated filter.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace brisomel {

class TOpenDialog {
 public:
  std::string Filter;    // caption and pattern pairs separated by '|'
  int FilterIndex = 1;   // the filter selected when the dialog opens, counted from 1
  std::string FileName;  // the file chosen

  // Shows the dialog over `owner`; true with FileName set when a file was chosen, false when
  // the user cancelled.
  bool Execute(HWND owner);

  // When set, called instead of showing the system dialog (tests choose the file here).
  std::function<bool(TOpenDialog& dialog)> OnExecute;
};

}  // namespace brisomel
