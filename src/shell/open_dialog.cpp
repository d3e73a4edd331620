#include "shell/open_dialog.h"

#include <commdlg.h>

#include "shell/commands.h"

namespace brisomel {

bool TOpenDialog::Execute(HWND owner) {
  if (OnExecute) return OnExecute(*this);
  const std::string filter = SystemDialogFilter(Filter);
  char file[MAX_PATH * 4] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  if (!GetOpenFileNameA(&ofn)) return false;
  FileName = file;
  FilterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}

}  // namespace brisomel
