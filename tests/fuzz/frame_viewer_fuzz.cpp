// Fuzzes the frame viewer over three fuzzed documents in memory (a.htm, b.htm, c.htm, which
// may be frameset documents that name each other or themselves): the first is loaded, then a
// fuzzed series of resizes, border presses and drags, Back and Forward, loads of the others,
// clicks into the frames' pages and time passing (META refresh is honoured). Every frame set is
// painted after each step.
#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "html/frames/frame_viewer.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/memory_files.h"

using namespace brisomel;

namespace {

void PaintAll(TSubFrameSet& set) {
  static_cast<HeadlessWindow&>(set.Window()).Surface();
  for (auto& child : set.Children) {
    if (auto* frame = dynamic_cast<TFrame*>(child.get())) {
      static_cast<HeadlessWindow&>(frame->Window()).Surface();
      if (frame->FrameSet()) PaintAll(*frame->FrameSet());
    } else {
      PaintAll(static_cast<TSubFrameSet&>(*child));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const int actions = input.ConsumeIntegralInRange<int>(0, 16);
  std::vector<uint8_t> script = input.ConsumeBytes<uint8_t>(static_cast<size_t>(actions) * 4);
  static HeadlessWindowSystem windows;
  MemoryFiles files;
  for (const char* name : {"/b/a.htm", "/b/b.htm"}) {
    const std::string text = input.ConsumeRandomLengthString(2000);
    files.Put(name, MemoryFiles::Bytes(text.begin(), text.end()));
  }
  const std::string last = input.ConsumeRemainingBytesAsString();
  files.Put("/b/c.htm", MemoryFiles::Bytes(last.begin(), last.end()));

  TFrameViewer viewer(TViewerServices{&windows, &files, nullptr, nullptr}, nullptr);
  viewer.SetHistoryMaxCount(3);
  viewer.fvOptions = fvMetaRefresh;
  viewer.SetBounds(Rect{0, 0, 300, 200});
  try {
    viewer.LoadFromFile("/b/a.htm");
  } catch (const std::exception&) {
  }
  PaintAll(viewer.CurrentSet());
  for (size_t i = 0; i + 4 <= script.size(); i += 4) {
    const int x = script[i + 1] * 2, y = script[i + 2];
    try {
      switch (script[i] % 8) {
        case 0:
          viewer.SetBounds(Rect{0, 0, 1 + x, 1 + y});
          break;
        case 1: {
          auto& set = viewer.CurrentSet();
          if (set.Children.empty()) break;
          auto& w = static_cast<HeadlessWindow&>(
              set.Children[script[i + 3] % set.Children.size()]->Window());
          w.PressMouse(mbLeft, x % 8, y % 8);
          w.MoveMouse(x, y);
          w.ReleaseMouse(mbLeft, x - 100, y - 50);
          break;
        }
        case 2:
          viewer.GoBack();
          break;
        case 3:
          viewer.GoForward();
          break;
        case 4:
          viewer.LoadFromFile(script[i + 3] & 1 ? "/b/b.htm" : "/b/c.htm#x");
          break;
        case 5:
          windows.RunPosted();
          break;
        case 6:
          windows.Advance(script[i + 3] * 40);
          windows.RunPosted();
          break;
        case 7: {
          auto& viewers = viewer.CurrentSet().Viewers;
          if (viewers.empty()) break;
          auto& panel = static_cast<HeadlessWindow&>(
              viewers[script[i + 3] % viewers.size()]->PaintPanel().Window());
          panel.MoveMouse(x % 60, y % 60);
          panel.Click(x % 60, y % 60);
          windows.RunPosted();
          break;
        }
      }
    } catch (const std::exception&) {
    }
    PaintAll(viewer.CurrentSet());
  }
  return 0;
}
