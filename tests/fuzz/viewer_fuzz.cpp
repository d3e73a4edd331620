// Fuzzes a page viewer: a page from memory, then a fuzzed series of what a user does (moves,
// presses, drags, clicks, double clicks, keys, wheel, resizes, finds, timer ticks) on the
// headless window port. Links that lead to files find none (no files port content).
#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "html/viewer/page_viewer.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/no_files.h"

using namespace brisomel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const int actions = input.ConsumeIntegralInRange<int>(0, 24);
  std::vector<uint8_t> script = input.ConsumeBytes<uint8_t>(static_cast<size_t>(actions) * 6);
  const std::string html = input.ConsumeRemainingBytesAsString();

  static HeadlessWindowSystem windows;
  NoFiles files;
  TPageViewer viewer(TViewerServices{&windows, &files, nullptr, nullptr}, nullptr);
  viewer.SetHistoryMaxCount(3);
  viewer.SetBounds(Rect{0, 0, 300, 200});
  auto& panel = static_cast<HeadlessWindow&>(viewer.PaintPanel().Window());
  auto& outer = static_cast<HeadlessWindow&>(viewer.Window());
  try {
    viewer.LoadFromBuffer(html.data(), static_cast<int32_t>(html.size()));
  } catch (const std::exception&) {
  }
  panel.Surface();
  for (size_t i = 0; i + 6 <= script.size(); i += 6) {
    const int x = static_cast<int8_t>(script[i + 1]) * 3,
              y = static_cast<int8_t>(script[i + 2]) * 3;
    try {
      switch (script[i] % 10) {
        case 0:
          panel.MoveMouse(x, y, script[i + 3] & 1 ? TShiftState{ssLeft} : 0);
          break;
        case 1:
          panel.PressMouse(script[i + 3] & 1 ? mbRight : mbLeft, x, y);
          break;
        case 2:
          panel.ReleaseMouse(script[i + 3] & 1 ? mbRight : mbLeft, x, y);
          break;
        case 3:
          panel.DoubleClick(x, y);
          break;
        case 4:
          outer.PressKey(vkPrior + script[i + 3] % 8, script[i + 4] & 1 ? TShiftState{ssCtrl} : 0);
          break;
        case 5:
          outer.Wheel((static_cast<int8_t>(script[i + 3])) * 120);
          break;
        case 6:
          outer.Resize(1 + script[i + 3] * 2, 1 + script[i + 4] * 2);
          break;
        case 7:
          viewer.FindText(
              std::u16string(1 + script[i + 3] % 4, static_cast<char16_t>(script[i + 4])),
              script[i + 5] & 1);
          break;
        case 8:
          windows.Advance(script[i + 3] * 4);
          break;
        default:
          viewer.SetVerticalPosition((script[i + 3] << 8 | script[i + 4]) * 4);
      }
    } catch (const EInOutError&) {
      // A link to a file that is not there.
    }
    panel.Surface();
  }
  viewer.SelText();
  return 0;
}
