// TDropFiles: makes a window a drop target for files dragged from the shell. It hooks the
// window (TMsgHookComponent), registers it with DragAcceptFiles, and on each drop fills
// DroppedFiles and raises OnFilesDroped.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/msg_hook.h"

namespace brisomel {

class TDropFiles : public TMsgHookComponent {
 public:
  // Names longer than this, with their terminating zero, are cut.
  static constexpr int kMaxName = 260;

  // Created as if read from a form design: settings are only stored until Loaded().
  explicit TDropFiles(HWND owner_form = nullptr);
  ~TDropFiles() override;

  // Applies Accept and hooks the window.
  void Loaded() override;

  HWND DropWindow() const { return DropWindow_; }
  // The window that takes drops; none means OwnerForm.
  void SetDropWindow(HWND window);
  bool Accept() const { return Accept_; }
  void SetAccept(bool value);
  // Called when the DropWindow control goes away: drops go to OwnerForm again.
  void DropWindowRemoved();

  // The names of the last drop, in the reverse of the shell's order.
  const std::vector<std::string>& DroppedFiles() const { return DroppedFiles_; }
  // Where the last drop happened, in the client coordinates of the window.
  POINT DropPoint() const { return DropPoint_; }

  std::function<void(TDropFiles* Sender)> OnFilesDroped;

  void Dispatch(TMessage& message) override;

 protected:
  virtual void FilesDroped();
  virtual void StartAccepting();
  virtual void StopAccepting();

 private:
  void WmDropFiles(TMessage& message);

  HWND DropWindow_ = nullptr;
  bool Accept_ = true;
  bool Reading_ = true;
  std::vector<std::string> DroppedFiles_;
  POINT DropPoint_{0, 0};
};

}  // namespace brisomel
