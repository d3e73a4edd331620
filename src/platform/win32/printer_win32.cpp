// The printer port on Win32: the default printer through GDI. A context is made from the
// default printer's driver, device and port names and a private copy of its device mode (a
// zero-filled movable block of the same size, filled with a copy); a job installs an abort
// procedure that keeps the message loop running while pages spool.
#include <windows.h>
// after windows.h
#include <commdlg.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/printer.h"
#include "platform/win32/canvas_gdi.h"
#include "platform/win32/wide_text.h"

namespace brisomel {
namespace {

BOOL CALLBACK KeepMessagesFlowing(HDC, int) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return TRUE;
}

// The default printer's names and a private copy of its device mode.
struct DefaultPrinter {
  std::string driver, device, port;
  HGLOBAL dev_mode = nullptr;
  ~DefaultPrinter() {
    if (dev_mode) GlobalFree(dev_mode);
  }
};

bool FindDefaultPrinter(DefaultPrinter& out) {
  PRINTDLGA dialog;
  std::memset(&dialog, 0, sizeof(dialog));
  dialog.lStructSize = sizeof(dialog);
  dialog.Flags = PD_RETURNDEFAULT;
  if (!PrintDlgA(&dialog) || !dialog.hDevNames) {
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    return false;
  }
  bool found = false;
  if (auto* names = static_cast<DEVNAMES*>(GlobalLock(dialog.hDevNames))) {
    const char* base = reinterpret_cast<const char*>(names);
    out.driver = base + names->wDriverOffset;
    out.device = base + names->wDeviceOffset;
    out.port = base + names->wOutputOffset;
    found = !out.device.empty();
    GlobalUnlock(dialog.hDevNames);
  }
  if (dialog.hDevMode) {
    const SIZE_T size = GlobalSize(dialog.hDevMode);
    const void* source = GlobalLock(dialog.hDevMode);
    if (source && size > 0) {
      out.dev_mode = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
      if (out.dev_mode) {
        std::memcpy(GlobalLock(out.dev_mode), source, size);
        GlobalUnlock(out.dev_mode);
      }
    }
    if (source) GlobalUnlock(dialog.hDevMode);
    GlobalFree(dialog.hDevMode);
  }
  GlobalFree(dialog.hDevNames);
  return found;
}

class GdiPrinterContext : public PrinterContext {
 public:
  GdiPrinterContext(HDC dc, std::unique_ptr<DefaultPrinter> printer)
      : dc_(dc), printer_(std::move(printer)), canvas_(std::make_unique<GdiCanvas>(dc)) {}
  ~GdiPrinterContext() override {
    canvas_.reset();
    DeleteDC(dc_);
  }
  Canvas& GetCanvas() override { return *canvas_; }
  bool StartDoc(const std::string& title) override {
    SetAbortProc(dc_, KeepMessagesFlowing);
    const std::wstring name = WideText(title);
    DOCINFOW info;
    std::memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.lpszDocName = name.c_str();
    return ::StartDocW(dc_, &info) > 0;
  }
  bool StartPage() override { return ::StartPage(dc_) > 0; }
  bool EndPage() override { return ::EndPage(dc_) > 0; }
  bool EndDoc() override { return ::EndDoc(dc_) > 0; }
  void AbortDoc() override { ::AbortDoc(dc_); }

 private:
  HDC dc_;
  std::unique_ptr<DefaultPrinter> printer_;  // its device mode lives as long as the context
  std::unique_ptr<GdiCanvas> canvas_;
};

class GdiPrinter : public PrinterPort {
 public:
  std::unique_ptr<PrinterContext> CreateContext(bool printing) override {
    auto printer = std::make_unique<DefaultPrinter>();
    if (!FindDefaultPrinter(*printer)) return nullptr;
    auto* mode =
        printer->dev_mode ? static_cast<DEVMODEA*>(GlobalLock(printer->dev_mode)) : nullptr;
    HDC dc = printing ? CreateDCA(printer->driver.c_str(), printer->device.c_str(),
                                  printer->port.c_str(), mode)
                      : CreateICA(printer->driver.c_str(), printer->device.c_str(),
                                  printer->port.c_str(), mode);
    if (mode) GlobalUnlock(printer->dev_mode);
    if (!dc) return nullptr;
    return std::make_unique<GdiPrinterContext>(dc, std::move(printer));
  }
};

}  // namespace

std::unique_ptr<PrinterPort> MakePlatformPrinter() { return std::make_unique<GdiPrinter>(); }

}  // namespace brisomel
