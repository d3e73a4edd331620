// TvwPrinter: the small printer class printing goes through, on the platform's printer port.
// Its device context can exist before a job starts (state 1, an information context) so that
// pages can be measured; state 2 is a printing context running a job. TPrinterCanvas draws on
// the printer's current context.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/canvas.h"
#include "platform/printer.h"

namespace brisomel {

// "Printer selected is not valid", "Printer is not currently printing", "Printing in progress".
class EPrinter : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TvwPrinter;

// A canvas that draws through its printer's context. Measuring moves the printer to at least
// an information context; drawing requires a running job.
class TPrinterCanvas : public Canvas {
 public:
  explicit TPrinterCanvas(TvwPrinter* printer) : vwPrinter(printer) {}
  TvwPrinter* vwPrinter;

  DeviceCaps GetDeviceCaps() override { return Measuring().GetDeviceCaps(); }
  Color ResolveColor(Color c) override { return Measuring().ResolveColor(c); }
  TextMetrics GetTextMetrics() override { return Measuring().GetTextMetrics(); }
  Size TextExtent(std::u16string_view text) override { return Measuring().TextExtent(text); }

  void LineTo(int x, int y) override;
  void Rectangle(const Rect& r) override { Drawing().Rectangle(r); }
  void Ellipse(const Rect& r) override { Drawing().Ellipse(r); }
  void Arc(const Rect& r, Point start, Point end) override { Drawing().Arc(r, start, end); }
  void Polygon(const std::vector<Point>& points) override { Drawing().Polygon(points); }
  void FillRect(const Rect& r, Color c) override { Drawing().FillRect(r, c); }
  void FillRegion(const Region& logical_region, Color c) override {
    Drawing().FillRegion(logical_region, c);
  }
  void PatBlt(const Rect& r, uint32_t rop) override { Drawing().PatBlt(r, rop); }
  void SetPixel(int x, int y, Color c) override { Drawing().SetPixel(x, y, c); }
  void ExtTextOut(int x, int y, uint32_t options, const Rect* rect,
                  std::u16string_view text) override {
    Drawing().ExtTextOut(x, y, options, rect, text);
  }
  void StretchBitmap(const Rect& dest, const Bitmap& source, const Rect& source_rect,
                     uint32_t rop) override {
    Drawing().StretchBitmap(dest, source, source_rect, rop);
  }
  std::unique_ptr<Canvas> CreateCompatible(int width, int height) override {
    return Measuring().CreateCompatible(width, height);
  }
  void CopyFrom(const Rect& dest, Canvas& source, Point source_origin, uint32_t rop) override {
    Drawing().CopyFrom(dest, source, source_origin, rop);
  }
  Bitmap ReadPixels(const Rect& device_rect) override {
    return Measuring().ReadPixels(device_rect);
  }

 private:
  // The context's canvas with this canvas's state handed on.
  Canvas& Measuring();
  Canvas& Drawing();
};

class TvwPrinter {
 public:
  explicit TvwPrinter(PrinterPort& port) : port_(port) {}
  ~TvwPrinter();
  TvwPrinter(const TvwPrinter&) = delete;
  TvwPrinter& operator=(const TvwPrinter&) = delete;

  // The process-wide current printer: a job's own printer while it runs, else the default
  // one, made on first request on `port` (again when asked on another port), freed at exit.
  static TvwPrinter& Current(PrinterPort& port);
  // Installs `printer` as current (null: back to the default one) and returns the previous.
  static TvwPrinter* SetCurrent(TvwPrinter* printer);

  TPrinterCanvas& Canvas();
  // Document name of the job; at most 31 characters are used.
  std::string Title;
  bool Printing() const { return Printing_; }
  bool Aborted() const { return Aborted_; }
  int PageNumber() const { return PageNumber_; }
  int State() const { return State_; }

  void SetState(int Value);
  void BeginDoc();
  void NewPage();
  void EndDoc();
  void Abort();
  int PageWidth();
  int PageHeight();

  // The context's canvas (state at least 1).
  brisomel::Canvas& DeviceCanvas();
  void CheckPrinting(bool Value) const;

 private:
  PrinterPort& port_;
  std::unique_ptr<TPrinterCanvas> Canvas_;
  std::unique_ptr<PrinterContext> Context_;
  bool Printing_ = false, Aborted_ = false;
  int PageNumber_ = 0;
  int State_ = 0;
};

}  // namespace brisomel
