// Files dropped on the main window.
#include "shell/main_form.h"

namespace brisomel {

void TForm1::CreateDropFiles() {
  drop_files1_ = std::make_unique<TDropFiles>(Handle());
  drop_files1_->OnFilesDroped = [this](TDropFiles*) { DropFiles1FilesDroped(); };
  drop_files1_->Loaded();
}

void TForm1::DropFiles1FilesDroped() {
  for (const std::string& name : drop_files1_->DroppedFiles()) {
    state_.CurrentName = name;
    if (!LoadCurrentName()) break;
  }
}

}  // namespace brisomel
