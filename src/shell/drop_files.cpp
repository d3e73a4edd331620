#include "shell/drop_files.h"

#include <shellapi.h>

#include "platform/win32/wide_text.h"

namespace brisomel {

TDropFiles::TDropFiles(HWND owner_form) : TMsgHookComponent(owner_form) {}

TDropFiles::~TDropFiles() {
  BeginDestroy();
  StopAccepting();
}

void TDropFiles::Loaded() {
  Reading_ = false;
  SetAccept(Accept_);
  TMsgHookComponent::Loaded();
}

void TDropFiles::SetAccept(bool value) {
  Accept_ = value;
  if (Reading_) return;
  if (Accept_)
    StartAccepting();
  else
    StopAccepting();
}

void TDropFiles::SetDropWindow(HWND window) {
  if (window == DropWindow_) return;
  if (Accept_) StopAccepting();
  DropWindow_ = window;
  if (Accept_ && !Reading_) StartAccepting();
}

void TDropFiles::DropWindowRemoved() {
  StopAccepting();
  HWND owner = OwnerForm();
  ChangeHookedWindow(owner && IsWindow(owner) ? owner : nullptr);
  DropWindow_ = nullptr;
}

void TDropFiles::StartAccepting() {
  HWND target = DropWindow_ ? DropWindow_ : OwnerForm();
  if (!target) return;
  ChangeHookedWindow(target);
  if (HookedWindow()) DragAcceptFiles(HookedWindow(), TRUE);
}

void TDropFiles::StopAccepting() {
  if (HookedWindow() && IsWindow(HookedWindow())) DragAcceptFiles(HookedWindow(), FALSE);
}

void TDropFiles::FilesDroped() {
  if (OnFilesDroped) OnFilesDroped(this);
}

void TDropFiles::Dispatch(TMessage& message) {
  if (message.Msg == WM_DROPFILES && Accept_) WmDropFiles(message);
}

void TDropFiles::WmDropFiles(TMessage& message) {
  HDROP drop = reinterpret_cast<HDROP>(message.WParam);
  // The handle comes with the message, which any program may post. One that is no global
  // block of this process (where the system does not carry drops between processes) is
  // ignored: the shell functions would read through it unchecked.
  if (!GlobalLock(drop)) return;
  GlobalUnlock(drop);
  // Whatever goes wrong, including in the event handler, is dropped silently; the shell's
  // handle is released in every case.
  try {
    DragQueryPoint(drop, &DropPoint_);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count > 0) DroppedFiles_.clear();
    for (UINT i = count; i-- > 0;) {
      wchar_t name[kMaxName] = L"";
      DragQueryFileW(drop, i, name, kMaxName);
      DroppedFiles_.push_back(Utf8Text(name));
    }
    message.Result = 0;
    FilesDroped();
  } catch (...) {
  }
  DragFinish(drop);
}

}  // namespace brisomel
