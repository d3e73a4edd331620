// A page with forms, parsed into a document whose window controls are the in-memory ones, laid
// out with the test font (edits, memos and lists use its 10-point size: "A" is 7 x 16 pixels;
// captions its 8-point size: "A" is 6 x 13), with what the document reported recorded.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "html/document/document_builder.h"
#include "html/document/form_controls.h"
#include "html/document/section_list.h"
#include "html/document/text_section.h"
#include "platform/headless/glyph_source.h"
#include "platform/headless/memory_controls.h"
#include "platform/headless/software_canvas.h"

namespace brisomel::test {

struct Submission {
  std::string Action, Method, EncType, Target;
  std::vector<std::string> Pairs;
};

struct FormPage {
  std::shared_ptr<GlyphSource> glyphs = std::make_shared<TestGlyphSource>();
  SoftwareCanvas screen{1, 1, glyphs};
  MemoryControls controls;
  TDocumentServices services = [this] {
    TDocumentServices s;
    s.Screen = &screen;
    s.WindowControls = &controls;
    return s;
  }();
  TSectionList list{services};
  std::vector<Submission> submissions;
  std::vector<std::string> clicks;  // ONCLICK texts of object clicks

  // `windows` false: a document without window controls.
  explicit FormPage(const std::string& html, bool windows = true, int width = 600) {
    if (!windows) list.Services.WindowControls = nullptr;
    list.FormSubmitHandler =
        [this](void*, const std::string& action, const std::vector<std::string>& pairs,
               const std::string& method, const std::string& enctype, const std::string& target) {
          submissions.push_back(Submission{action, method, enctype, target, pairs});
        };
    list.OnObjectClick = [this](void*, TFormControlObj*, const std::string& text) {
      clicks.push_back(text);
    };
    TDocumentParser parser(list);
    parser.Parser.ParseHtmlBuffer(html.data(), html.size());
    height = list.DoLayout(screen, width);
  }

  ThtmlForm& Form(size_t i = 0) { return *list.Forms.at(i); }
  TFormControlObj& Control(size_t i) { return *list.FormControls.at(i); }
  template <typename T>
  T& As(size_t i) {
    return dynamic_cast<T&>(Control(i));
  }
  MemoryControl& Window(size_t i) { return static_cast<MemoryControl&>(*Control(i).TheControl); }
  // The pairs of form `i` as a submission without Extra sends them, one per line.
  std::string Pairs(size_t i = 0) {
    std::string out;
    for (const std::string& p : Form(i).Pairs(nullptr)) out += p + "\n";
    return out;
  }
  void Paint(int yoff = 0) {
    SoftwareCanvas canvas(600, 400, glyphs);
    list.SetYOffset(yoff);
    list.Paint(canvas, Rect{0, 0, 600, 400}, 600, 0, 0);
  }

  int32_t height = 0;
};

}  // namespace brisomel::test
