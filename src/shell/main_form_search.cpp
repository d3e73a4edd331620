// The main window's Search command and F3.
#include "shell/main_form.h"
#include "shell/search_form.h"

namespace brisomel {

void TForm1::SpeedButton5Click() {
  if (viewer_->Processing()) return;  // clicked while a page is laid out
  if (Form2) Form2->ShowModal();
}

void TForm1::FindNextInPage() {
  if (Form2) Form2->FindNext();
}

}  // namespace brisomel
