#include "html/viewer/vw_printer.h"

namespace brisomel {
namespace {

TvwPrinter* current_printer = nullptr;

std::unique_ptr<TvwPrinter>& DefaultPrinter() {
  static std::unique_ptr<TvwPrinter> printer;
  return printer;
}

}  // namespace

// --- TPrinterCanvas ---

Canvas& TPrinterCanvas::Measuring() {
  if (vwPrinter->State() < 1) vwPrinter->SetState(1);
  Canvas& target = vwPrinter->DeviceCanvas();
  target.CopyStateFrom(*this);
  return target;
}

Canvas& TPrinterCanvas::Drawing() {
  vwPrinter->CheckPrinting(true);
  return Measuring();
}

void TPrinterCanvas::LineTo(int x, int y) {
  Drawing().LineTo(x, y);
  MoveTo(x, y);
}

// --- TvwPrinter ---

TvwPrinter::~TvwPrinter() {
  try {
    if (Printing_) EndDoc();
    SetState(0);
  } catch (...) {
  }
  if (current_printer == this) current_printer = nullptr;
}

TvwPrinter& TvwPrinter::Current(PrinterPort& port) {
  if (current_printer) return *current_printer;
  // A default printer made on another port (one since freed) is replaced.
  if (!DefaultPrinter() || &DefaultPrinter()->port_ != &port)
    DefaultPrinter() = std::make_unique<TvwPrinter>(port);
  return *DefaultPrinter();
}

TvwPrinter* TvwPrinter::SetCurrent(TvwPrinter* printer) {
  TvwPrinter* previous = current_printer;
  current_printer = printer;
  return previous;
}

TPrinterCanvas& TvwPrinter::Canvas() {
  if (!Canvas_) Canvas_ = std::make_unique<TPrinterCanvas>(this);
  return *Canvas_;
}

void TvwPrinter::CheckPrinting(bool Value) const {
  if (Printing_ != Value) {
    if (Value) throw EPrinter("Printer is not currently printing");
    throw EPrinter("Printing in progress");
  }
}

brisomel::Canvas& TvwPrinter::DeviceCanvas() {
  if (!Context_) throw EPrinter("Printer selected is not valid");
  return Context_->GetCanvas();
}

void TvwPrinter::SetState(int Value) {
  if (Value == State_) return;
  if (Value == 0) {
    CheckPrinting(false);
    Context_.reset();
    State_ = 0;
    return;
  }
  // An information context is not needed while a printing context exists.
  if (Value == 1 && State_ == 2) return;
  Context_.reset();
  State_ = 0;
  Context_ = port_.CreateContext(Value == 2);
  if (!Context_) throw EPrinter("Printer selected is not valid");
  State_ = Value;
}

void TvwPrinter::BeginDoc() {
  CheckPrinting(false);
  SetState(2);
  Printing_ = true;
  Aborted_ = false;
  PageNumber_ = 1;
  if (!Context_->StartDoc(Title.substr(0, 31))) {
    Printing_ = false;
    PageNumber_ = 0;
    throw EPrinter("Printer selected is not valid");
  }
  Context_->StartPage();
}

void TvwPrinter::NewPage() {
  CheckPrinting(true);
  Context_->EndPage();
  Context_->StartPage();
  ++PageNumber_;
}

void TvwPrinter::EndDoc() {
  CheckPrinting(true);
  if (!Aborted_) {
    Context_->EndPage();
    Context_->EndDoc();
  }
  Printing_ = false;
  Aborted_ = false;
  PageNumber_ = 0;
}

void TvwPrinter::Abort() {
  CheckPrinting(true);
  Context_->AbortDoc();
  Aborted_ = true;
  EndDoc();
}

int TvwPrinter::PageWidth() {
  if (State_ < 1) SetState(1);
  return Context_->GetCanvas().GetDeviceCaps().width;
}

int TvwPrinter::PageHeight() {
  if (State_ < 1) SetState(1);
  return Context_->GetCanvas().GetDeviceCaps().height;
}

}  // namespace brisomel
