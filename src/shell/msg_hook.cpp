#include "shell/msg_hook.h"

namespace brisomel {

TMsgCmpList& TMsgCmpList::Instance() {
  static TMsgCmpList list;
  return list;
}

void TMsgCmpList::Attach(TMsgHookComponent* component, HWND window) {
  TRecord record;
  record.Component = component;
  record.Window = window;
  const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  const TRecord* first = nullptr;
  for (const TRecord& r : records_) {
    if (r.Window == window) {
      first = &r;
      break;
    }
  }
  if (first && current == &SharedWindowProc) {
    record.PreviousProc = first->PreviousProc;
  } else {
    record.PreviousProc = current;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SharedWindowProc));
  }
  records_.push_back(record);
}

void TMsgCmpList::Detach(TMsgHookComponent* component, HWND window) {
  for (TRecord& r : records_) {
    if (r.Component == component && r.Window == window) {
      r.Component = nullptr;
      return;
    }
  }
}

LRESULT TMsgCmpList::Dispatch(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  TMessage message{msg, wparam, lparam, 0};
  WNDPROC previous = nullptr;
  // By index: a component's handler may attach another component, which grows the list.
  for (size_t i = 0; i < records_.size(); ++i) {
    if (records_[i].Window != window) continue;
    previous = records_[i].PreviousProc;
    TMsgHookComponent* component = records_[i].Component;
    if (component && !component->Destroying()) component->Dispatch(message);
  }
  if (!previous) return DefWindowProcA(window, msg, wparam, lparam);
  const LRESULT result = CallWindowProcA(previous, window, msg, wparam, lparam);
  if (msg == WM_NCDESTROY) {
    // The handle may be given to a new window later: the records of this one must not
    // reach it.
    for (TRecord& r : records_) {
      if (r.Window == window) r.Window = nullptr;
    }
  }
  return result;
}

LRESULT CALLBACK TMsgCmpList::SharedWindowProc(HWND window, UINT msg, WPARAM wparam,
                                               LPARAM lparam) {
  return Instance().Dispatch(window, msg, wparam, lparam);
}

TMsgHookComponent::~TMsgHookComponent() {
  Destroying_ = true;
  if (HookedWindow_) UnhookWindow(HookedWindow_);
}

void TMsgHookComponent::ChangeHookedWindow(HWND window) {
  if (window == HookedWindow_) return;
  if (Loading_) {
    HookedWindow_ = window;
    return;
  }
  SetHookedWindow(window);
}

void TMsgHookComponent::Loaded() {
  Loading_ = false;
  if (HookedWindow_) HookWindow(HookedWindow_);
}

void TMsgHookComponent::SetHookedWindow(HWND window) {
  if (HookedWindow_) UnhookWindow(HookedWindow_);
  HookedWindow_ = window;
  if (HookedWindow_) HookWindow(HookedWindow_);
}

void TMsgHookComponent::HookWindow(HWND window) { TMsgCmpList::Instance().Attach(this, window); }

void TMsgHookComponent::UnhookWindow(HWND window) { TMsgCmpList::Instance().Detach(this, window); }

}  // namespace brisomel
