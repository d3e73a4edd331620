// TMsgHookComponent: a component that sees the messages of a window before the window does.
// Hooking a window puts one shared window procedure in front of the window's own; that
// procedure hands each message to the components attached to the window, in attach order,
// and then to the window's own procedure, whose result is the message's result.
//
// Attachments are records in one process-wide list, TMsgCmpList. Records are appended and
// never removed: detaching clears a record's component, and the window keeps the shared
// procedure for its life.
#pragma once

#include <windows.h>

#include <vector>

namespace brisomel {

// One message on its way through the hooked window's components.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

class TMsgHookComponent;

class TMsgCmpList {
 public:
  struct TRecord {
    TMsgHookComponent* Component = nullptr;  // none once detached
    HWND Window = nullptr;                   // none once the window was destroyed
    WNDPROC PreviousProc = nullptr;          // the window's procedure before the first hook
  };

  // The process's list.
  static TMsgCmpList& Instance();

  // Appends a record for `component` on `window`, putting the shared procedure in front of
  // the window's own unless an earlier record already did.
  void Attach(TMsgHookComponent* component, HWND window);
  // Clears the component of the first record holding `component` and `window`.
  void Detach(TMsgHookComponent* component, HWND window);
  const std::vector<TRecord>& Records() const { return records_; }

  // The shared window procedure.
  static LRESULT CALLBACK SharedWindowProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);

 private:
  LRESULT Dispatch(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);

  std::vector<TRecord> records_;
};

class TMsgHookComponent {
 public:
  // `owner_form` is the form that owns the component (OwnerForm), or none.
  explicit TMsgHookComponent(HWND owner_form = nullptr) : OwnerForm_(owner_form) {}
  // Detaches from the hooked window.
  virtual ~TMsgHookComponent();
  TMsgHookComponent(const TMsgHookComponent&) = delete;
  TMsgHookComponent& operator=(const TMsgHookComponent&) = delete;

  HWND OwnerForm() const { return OwnerForm_; }
  HWND HookedWindow() const { return HookedWindow_; }
  // Moves the hook to `window`: nothing when it is the hooked window already; while loading
  // only stores it.
  void ChangeHookedWindow(HWND window);
  // Ends loading and attaches to the stored window.
  virtual void Loaded();
  bool Loading() const { return Loading_; }
  bool Destroying() const { return Destroying_; }

  // Handles one message of the hooked window before the window does. `message.Result` comes
  // in as the previous component's result (0 for the first); the window's own result wins.
  virtual void Dispatch(TMessage& message) { (void)message; }

 protected:
  virtual void SetHookedWindow(HWND window);
  virtual void HookWindow(HWND window);
  virtual void UnhookWindow(HWND window);
  // Set by a derived destructor before it tears down, so no message reaches a half-gone
  // component.
  void BeginDestroy() { Destroying_ = true; }

 private:
  HWND OwnerForm_;
  HWND HookedWindow_ = nullptr;
  bool Loading_ = true;
  bool Destroying_ = false;
};

}  // namespace brisomel
