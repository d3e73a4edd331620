// The printer port: the platform's default printer. A context is either an information
// context (for measuring: device capabilities, fonts) or a printing context that runs one job
// of pages. The canvas of a context draws on the current page in device pixels; its device
// capabilities give the page size (width, height: the printable area), the physical paper
// size, the printing offset and the dots per inch.
#pragma once

#include <memory>
#include <string>

#include "platform/canvas.h"

namespace brisomel {

class PrinterContext {
 public:
  virtual ~PrinterContext() = default;
  virtual Canvas& GetCanvas() = 0;
  // Job operations; false when the device refused.
  virtual bool StartDoc(const std::string& title) = 0;
  virtual bool StartPage() = 0;
  virtual bool EndPage() = 0;
  virtual bool EndDoc() = 0;
  virtual void AbortDoc() = 0;
};

class PrinterPort {
 public:
  virtual ~PrinterPort() = default;
  // A context on the default printer (an information context unless `printing`); null when
  // there is no valid default printer.
  virtual std::unique_ptr<PrinterContext> CreateContext(bool printing) = 0;
};

// The default printer of the machine the program runs on (Windows: GDI printing).
std::unique_ptr<PrinterPort> MakePlatformPrinter();

}  // namespace brisomel
