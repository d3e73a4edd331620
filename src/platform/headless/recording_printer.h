// The headless printer adapter: a default printer whose pages are recorded as images. The
// paper size, resolution and printing offset are chosen by the host; every finished page is
// handed to OnPage as a picture of the whole sheet (white where nothing was printed), or kept
// in `pages` when OnPage is not set. With `available` false there is no default printer.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/glyph_source.h"
#include "platform/printer.h"

namespace brisomel {

struct PaperFormat {
  int dpi = 600;
  // Sheet size in device pixels and the printing offset (unprintable border at left/top; the
  // same border is kept at right/bottom).
  int physical_width = 4961;   // A4: 21.0 cm at 600 dpi
  int physical_height = 7016;  // 29.7 cm
  int offset_x = 100;
  int offset_y = 100;
  int bits_per_pixel = 32;  // 1: a two-colour device
  // A4 at `dpi` with an offset of a sixth of an inch.
  static PaperFormat A4(int dpi);
};

class RecordingPrinter : public PrinterPort {
 public:
  explicit RecordingPrinter(const PaperFormat& paper = PaperFormat{},
                            std::shared_ptr<GlyphSource> glyphs = nullptr);

  std::unique_ptr<PrinterContext> CreateContext(bool printing) override;

  bool available = true;
  PaperFormat paper;
  std::function<void(int page, const Bitmap& sheet)> OnPage;
  std::vector<Bitmap> pages;
  // What the jobs did.
  int contexts_created = 0;
  int jobs_started = 0, jobs_ended = 0, jobs_aborted = 0;
  int pages_finished = 0;
  std::string title;

 private:
  class Context;
  std::shared_ptr<GlyphSource> glyphs_;
};

}  // namespace brisomel
