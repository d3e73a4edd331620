#include "platform/headless/recording_printer.h"

#include <algorithm>

#include "platform/headless/software_canvas.h"

namespace brisomel {
namespace {

// A software canvas on the printable area that reports the sheet and the offset as well.
class PageCanvas : public SoftwareCanvas {
 public:
  PageCanvas(const PaperFormat& paper, std::shared_ptr<GlyphSource> glyphs)
      : SoftwareCanvas(std::max(1, paper.physical_width - 2 * paper.offset_x),
                       std::max(1, paper.physical_height - 2 * paper.offset_y), std::move(glyphs)),
        paper_(paper) {
    DeviceCaps caps;
    caps.bits_per_pixel = paper.bits_per_pixel;
    caps.dpi_x = caps.dpi_y = paper.dpi;
    SetDeviceCaps(caps);
  }
  DeviceCaps GetDeviceCaps() override {
    DeviceCaps caps = SoftwareCanvas::GetDeviceCaps();
    caps.physical_width = paper_.physical_width;
    caps.physical_height = paper_.physical_height;
    caps.offset_x = paper_.offset_x;
    caps.offset_y = paper_.offset_y;
    return caps;
  }

 private:
  PaperFormat paper_;
};

}  // namespace

PaperFormat PaperFormat::A4(int dpi) {
  PaperFormat p;
  p.dpi = dpi;
  p.physical_width = static_cast<int>(21.0 / 2.54 * dpi + 0.5);
  p.physical_height = static_cast<int>(29.7 / 2.54 * dpi + 0.5);
  p.offset_x = p.offset_y = dpi / 6;
  return p;
}

class RecordingPrinter::Context : public PrinterContext {
 public:
  Context(RecordingPrinter& owner, std::shared_ptr<GlyphSource> glyphs)
      : owner_(owner), canvas_(owner.paper, std::move(glyphs)) {}
  Canvas& GetCanvas() override { return canvas_; }
  bool StartDoc(const std::string& title) override {
    if (in_doc_) return false;
    in_doc_ = true;
    owner_.title = title;
    ++owner_.jobs_started;
    return true;
  }
  bool StartPage() override {
    if (!in_doc_ || in_page_) return false;
    in_page_ = true;
    std::fill(canvas_.surface().pixels.begin(), canvas_.surface().pixels.end(), 0xFFFFFFu);
    return true;
  }
  bool EndPage() override {
    if (!in_page_) return false;
    in_page_ = false;
    ++owner_.pages_finished;
    const PaperFormat& p = owner_.paper;
    SoftwareCanvas sheet(p.physical_width, p.physical_height);
    sheet.DrawBitmap(p.offset_x, p.offset_y, canvas_.surface());
    if (owner_.OnPage)
      owner_.OnPage(owner_.pages_finished, sheet.surface());
    else
      owner_.pages.push_back(std::move(sheet.surface()));
    return true;
  }
  bool EndDoc() override {
    if (!in_doc_) return false;
    in_doc_ = in_page_ = false;
    ++owner_.jobs_ended;
    return true;
  }
  void AbortDoc() override {
    if (!in_doc_) return;
    in_doc_ = in_page_ = false;
    ++owner_.jobs_aborted;
  }

 private:
  RecordingPrinter& owner_;
  PageCanvas canvas_;
  bool in_doc_ = false, in_page_ = false;
};

RecordingPrinter::RecordingPrinter(const PaperFormat& paper, std::shared_ptr<GlyphSource> glyphs)
    : paper(paper), glyphs_(std::move(glyphs)) {}

std::unique_ptr<PrinterContext> RecordingPrinter::CreateContext(bool printing) {
  if (!available || paper.dpi <= 0 || paper.physical_width <= 2 * paper.offset_x ||
      paper.physical_height <= 2 * paper.offset_y)
    return nullptr;
  ++contexts_created;
  return std::make_unique<Context>(*this, glyphs_);
}

}  // namespace brisomel
