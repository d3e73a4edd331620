// Files dropped on the main window.
#include "shell/main_form.h"

namespace brisomel {

void TForm1::CreateDropFiles() {
  drop_files1_ = std::make_unique<TDropFiles>(Handle());
  drop_files1_->OnFilesDroped = [this](TDropFiles*) { DropFiles1FilesDroped(); };
  drop_files1_->Loaded();
}

void TForm1::DropFiles1FilesDroped() {
  // A copy: a drop arriving while a page loads must not change the list being walked.
  const std::vector<std::string> names = drop_files1_->DroppedFiles();
  for (const std::string& name : names) {
    state_.CurrentName = name;
    if (!LoadCurrentName()) break;
  }
}

}  // namespace brisomel
