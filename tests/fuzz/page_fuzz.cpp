// Fuzzes a page through parse, layout and paint: the HTML (or plain text) reader builds a
// document with the test font, which is laid out at a fuzzed width and painted into a small
// canvas, then asked the questions the viewer asks (positions, links, search). Form controls
// are the in-memory ones: every control is clicked, typed into and picked from, every form is
// submitted, reset and printed. Tables are laid out twice, so that what they keep from one layout
// is used in the next. A frameset document also goes to a headless frame viewer as the file
// /b/a.htm: the frameset reader builds its sets, every frame loads (a SRC naming a.htm shows the
// document again, down to the nesting limit) and is laid out and painted, META refresh timers
// run, and the history is walked back.
#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <string>
#include <vector>

#include "html/document/document_builder.h"
#include "html/document/form_controls.h"
#include "html/document/section_list.h"
#include "html/document/table.h"
#include "html/frames/frame_viewer.h"
#include "html/reader/frameset_parser.h"
#include "platform/headless/glyph_source.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/memory_controls.h"
#include "platform/headless/memory_files.h"
#include "platform/headless/software_canvas.h"

using namespace brisomel;

namespace {

// Whether `target` is a section of `cell` or of a table cell or caption inside it.
bool Holds(const TCell& cell, const TSectionBase* target) {
  for (const auto& section : cell.Sections) {
    if (section.get() == target) return true;
    if (auto* table = dynamic_cast<const ThtmlTable*>(section.get())) {
      if (Holds(*table->Caption->Cell, target)) return true;
      for (const auto& row : table->Rows)
        for (const TCellObj& c : row->Cells)
          if (c.Cell && Holds(*c.Cell, target)) return true;
    }
  }
  return false;
}

void PaintAll(TSubFrameSet& set) {
  static_cast<HeadlessWindow&>(set.Window()).Surface();
  for (auto& child : set.Children) {
    if (auto* frame = dynamic_cast<TFrame*>(child.get())) {
      static_cast<HeadlessWindow&>(frame->Window()).Surface();
      if (TPageViewer* viewer = frame->Viewer())
        static_cast<HeadlessWindow&>(viewer->PaintPanel().Window()).Surface();
      if (frame->FrameSet()) PaintAll(*frame->FrameSet());
    } else {
      PaintAll(static_cast<TSubFrameSet&>(*child));
    }
  }
}

void ShowFrameSet(const std::string& html, uint8_t flags, int width) {
  static HeadlessWindowSystem windows;
  MemoryFiles files;
  files.Put("/b/a.htm", MemoryFiles::Bytes(html.begin(), html.end()));
  TFrameViewer viewer(TViewerServices{&windows, &files, nullptr, nullptr}, nullptr);
  viewer.SetHistoryMaxCount(2);
  if (flags & 16) viewer.fvOptions = fvMetaRefresh;
  if (flags & 32) {
    // Every name the document asks for is the document again, from memory.
    viewer.OnBufferRequest = [&html](void*, const std::string&, const char*& buffer,
                                     int32_t& size) {
      buffer = html.data();
      size = static_cast<int32_t>(html.size());
    };
  }
  viewer.SetBounds(Rect{0, 0, width / 2 + 10, 150});
  try {
    viewer.LoadFromFile("/b/a.htm");
  } catch (const std::exception&) {
  }
  PaintAll(viewer.CurrentSet());
  windows.Advance(3000);
  windows.RunPosted();
  viewer.GoBack();
  PaintAll(viewer.CurrentSet());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const uint8_t flags = input.ConsumeIntegral<uint8_t>();
  const int width = input.ConsumeIntegralInRange<int>(1, 1200);
  // The page may start with a byte-order mark the flags choose, so UTF-16 pages are read too.
  static const char* const kMarks[] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
  const std::string html = kMarks[flags >> 6] + input.ConsumeRemainingBytesAsString();

  static auto glyphs = std::make_shared<TestGlyphSource>();
  SoftwareCanvas screen(1, 1, glyphs);
  MemoryControls controls;
  TDocumentServices services;
  services.Screen = &screen;
  services.WindowControls = &controls;
  TSectionList list(services);
  size_t submitted = 0;
  list.FormSubmitHandler = [&](void*, const std::string&, const std::vector<std::string>& pairs,
                               const std::string&, const std::string&,
                               const std::string&) { submitted += pairs.size(); };
  TNameList names;
  TDocumentParser parser(list, &names);
  parser.Parser.OnScript = [](void*, const std::string&, const std::string&) {};
  try {
    if (flags & 1) {
      std::vector<std::string> lines;
      size_t start = 0;
      for (size_t i = 0; i <= html.size(); ++i)
        if (i == html.size() || html[i] == '\n') {
          lines.push_back(html.substr(start, i - start));
          start = i + 1;
        }
      parser.Parser.ParsePlainTextStrings(lines);
    } else {
      parser.Parser.ParseHtmlBuffer(html.data(), html.size());
    }
  } catch (const EParseError&) {
  }
  // Every anchor names a section of the document (none that was dropped).
  for (const TNamedAnchor& name : names)
    if (!Holds(list, name.Section)) __builtin_trap();

  list.DoLayout(screen, width / 2 + 1);
  const int32_t height = list.DoLayout(screen, width);
  SoftwareCanvas canvas(160, 120, glyphs);
  const Rect view{0, 0, 160, 120};
  const int32_t offset = (flags & 2) ? height / 2 : 0;
  list.SetYOffset(offset);
  list.Paint(canvas, view, width, 10, 5 - offset);

  TUrlTarget link;
  TFormControlObj* control = nullptr;
  (void)list.LinkAt(screen, width / 2, height / 2, link, control);
  (void)list.FindString(0, u"e", flags & 4);
  int32_t x = 0, y = 0;
  (void)list.PositionToPoint(screen, 1, x, y);
  int32_t xr = 0, yr = 0, caret = 0;
  TCell* cell = nullptr;
  bool in_text = false;
  (void)list.PositionAt(screen, width / 3, height / 3, xr, yr, caret, cell, in_text);
  // A printed copy: without fills, painted page by page.
  if (flags & 8) {
    auto copy = list.CreateCopy();
    copy->Printing = true;
    copy->DoLayout(screen, width);
    copy->Paint(canvas, Rect{0, 0, 160, 120}, width, 0, 0);
  }
  list.SelB = 0;
  list.SelE = 1 << 20;
  (void)list.SelectionLength();

  // What a user does to the controls, then every form submitted, reset and printed.
  if (flags & 8) {
    for (MemoryControl* c : std::vector<MemoryControl*>(controls.All())) {
      c->Type("ab\r");
      c->PickItem(1);
      c->Click();
    }
  }
  for (TFormControlObj* c : list.FormControls) {
    c->SetClickOffsets(1, 2);
    c->ImageClick();
    c->PrintAt(canvas, 3, 4);
  }
  for (const auto& form : list.Forms) {
    form->SubmitForm();
    form->ResetControls();
  }
  controls.Paint(canvas);
  list.Clear();
  if (!controls.All().empty()) __builtin_trap();  // window controls go with their document

  if (!(flags & 1) &&
      IsFrameSetDocument({}, nullptr, TDocumentSource::Buffer(html.data(), html.size())))
    ShowFrameSet(html, flags, width);
  return 0;
}
