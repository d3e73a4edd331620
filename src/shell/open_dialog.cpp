#include "shell/open_dialog.h"

#include <commdlg.h>

#include "platform/win32/wide_text.h"
#include "shell/commands.h"

namespace brisomel {

bool TOpenDialog::Execute(HWND owner) {
  if (OnExecute) return OnExecute(*this);
  // The filter holds NULs between its parts, so it is widened as a whole, not as a C string.
  const std::wstring filter = WideText(SystemDialogFilter(Filter));
  wchar_t file[MAX_PATH * 4] = L"";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH * 4;
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  if (!GetOpenFileNameW(&ofn)) return false;
  FileName = Utf8Text(file);
  FilterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}

}  // namespace brisomel
