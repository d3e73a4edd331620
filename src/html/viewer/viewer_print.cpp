// TPageViewer::PrintRange: the document printed page by page on the default printer. A copy of
// the document is laid out for the printable width and painted one page slice at a time; the
// copy reports where the last whole line of each slice ends, and the next page starts there.
#include <cmath>

#include "html/document/fonts.h"
#include "html/viewer/page_viewer.h"
#include "html/viewer/vw_printer.h"
#include "settings/reading_state.h"
#include "text/utf.h"

namespace brisomel {
namespace {

constexpr Color kWhite = 0xFFFFFF;

// Centimetres in device pixels at `dpi`, truncated.
int CmToPixels(double cm, int dpi) {
  return static_cast<int>(std::trunc(cm * 0.39370078740157480316 * dpi));
}

// Puts the previous current printer back however the job ends.
class CurrentPrinterScope {
 public:
  explicit CurrentPrinterScope(TvwPrinter* printer) : previous_(TvwPrinter::SetCurrent(printer)) {}
  ~CurrentPrinterScope() { TvwPrinter::SetCurrent(previous_); }

 private:
  TvwPrinter* previous_;
};

}  // namespace

void TPageViewer::PrintRange(int FromPage, int ToPage) {
  if (Processing_ || Document_->Count() == 0) return;
  if (!Services_.Printer) throw EPrinter("Printer selected is not valid");
  PrintedPages_.clear();
  std::unique_ptr<TSectionList> copy = Document_->CreateCopy();
  copy->SetYOffset(0);
  copy->Printing = true;
  copy->SetBackground(kWhite);
  // Paper shows the page at its own size whatever the screen's zoom.
  if (copy->Zoom != kDefaultZoom) {
    copy->Zoom = kDefaultZoom;
    copy->RefreshFonts();
  }

  TvwPrinter printer(*Services_.Printer);
  CurrentPrinterScope scope(&printer);
  int page = 1;
  bool printed_any = false;
  if (!DocumentTitle_.empty()) printer.Title = Utf16ToUtf8(DocumentTitle_);
  printer.BeginDoc();
  try {
    TPrinterCanvas& canvas = printer.Canvas();
    const DeviceCaps caps = canvas.GetDeviceCaps();
    const int LY = caps.dpi_y, LX = caps.dpi_x;
    const int SP = std::max(1, Windows_.ScreenCanvas().GetDeviceCaps().dpi_y);
    // One logical unit is one screen pixel; fonts keep their screen sizes.
    const Mapping mapping{Point{0, 0}, Size{SP, SP}, Point{0, 0}, Size{LX, LY}};
    canvas.SetMapping(mapping);
    canvas.SetFontPixelsPerInch(SP);

    // The parts of the sheet the device cannot print on.
    const int PW = caps.physical_width > 0 ? caps.physical_width : -1;
    const int PH = caps.physical_height > 0 ? caps.physical_height : -1;
    const int OX = caps.offset_x, OY = caps.offset_y;
    const int RU = std::max(0, PW - caps.width - OX);
    const int BU = std::max(0, PH - caps.height - OY);

    // Margins in device pixels, measured from the sheet's edges.
    const int LP = CmToPixels(PrintMarginLeft, LX) - OX;
    const int RP = CmToPixels(PrintMarginRight, LX);
    const int TP = CmToPixels(PrintMarginTop, LY) - OY;
    const int BP = CmToPixels(PrintMarginBottom, LY) - BU;
    const int W = caps.width + RU - RP - LP;
    const int H = caps.height - (TP + BP);

    const int ML = MulDiv(LP, SP, LX), WL = MulDiv(W, SP, LX);
    const int TL = MulDiv(TP, SP, LY), HL = MulDiv(H, SP, LY);
    const int PHL = MulDiv(caps.height, SP, LY), PWL = MulDiv(caps.width, SP, LX);
    if (WL < 1 || HL < 1) throw EPrinter("The margins leave no room to print");

    const int32_t DH = copy->DoLayout(canvas, WL);
    const Region clip = Region::FromRect(Rect{0, TP - 1, W + LP + 2, TP + H + 2});

    int32_t Y = 0;  // document position of the page top
    bool StopPrinting = false;
    while (page <= ToPage && !StopPrinting) {
      canvas.SetMapping(mapping);
      canvas.SetWindowOrigin(Point{0, Y - TL});
      canvas.SetClipRegion(&clip);
      const Rect slice{ML, Y, ML + WL, Y + HL};
      if (page < FromPage) {
        // Painted off the paper: only where the page ends is wanted.
        copy->Paint(canvas, slice, WL, 3 * WL + ML, 0);
      } else {
        copy->Paint(canvas, slice, WL, ML, 0);
      }
      // A line taller than the page leaves its end where the slice ends: it goes on over the
      // next page instead of stopping the job.
      int32_t end = copy->PageBottom;
      if (end <= Y || end > Y + HL) end = Y + HL;
      if (page >= FromPage) {
        canvas.SaveState();
        canvas.SetClipRegion(nullptr);
        // Erase a line printed only in part at the bottom and any spill into the top margin.
        canvas.FillRect(Rect{ML, end, ML + WL, Y + HL}, kWhite);
        canvas.FillRect(Rect{ML, Y - TL, ML + WL, Y}, kWhite);
        if (OnPrintHeader || OnPrintFooter) {
          canvas.SetTextAlign(kAlignLeft | kAlignTop);
          canvas.SetBrush(Brush{});
          canvas.SetPen(Pen{});
          if (OnPrintHeader) {
            canvas.SetWindowOrigin(Point{0, 0});
            OnPrintHeader(this, canvas, page, PWL, TL, StopPrinting);
          }
          if (OnPrintFooter) {
            canvas.SetWindowOrigin(Point{0, -(TL + HL)});
            OnPrintFooter(this, canvas, page, PWL, PHL - TL - HL, StopPrinting);
          }
        }
        canvas.RestoreState();
        PrintedPages_.push_back(TPrintedPage{page, Y, end});
        printed_any = true;
      }
      Y = end;
      if (DH <= Y) StopPrinting = true;  // the document is finished
      if (!StopPrinting && FromPage <= page && page < ToPage) printer.NewPage();
      ++page;
    }
    canvas.SetClipRegion(nullptr);
  } catch (...) {
    PrintedPageCount_ = page - 1;
    if (printer.Printing()) printer.Abort();
    throw;
  }
  // A range that starts after the last page puts nothing on paper: the job is dropped.
  if (printed_any)
    printer.EndDoc();
  else
    printer.Abort();
  PrintedPageCount_ = page - 1;
}

}  // namespace brisomel
