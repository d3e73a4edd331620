// A viewer on the headless window port, with the test font (every character 8 pixels wide, a
// line of text 22 pixels high at the default size) and pages written to a folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "html/images/image_module.h"
#include "html/viewer/page_viewer.h"
#include "platform/files.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/recording_system.h"
#include "text/utf.h"

namespace brisomel::test {

class ViewerTest : public ::testing::Test {
 protected:
  ViewerTest() {
    static int counter = 0;
    // The test's name keeps tests that run at once in separate processes apart.
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "";
    std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests' names
    folder = files->SystemTempDirectory() + "brisomel-viewer-" + name + "-" +
             std::to_string(counter++) + "-" +
             std::to_string(reinterpret_cast<uintptr_t>(this) % 100000);
    files->CreateDirectoryExclusive(folder);
    folder += files->Separator();
    viewer = std::make_unique<TPageViewer>(TViewerServices{&windows, files.get(), &system, &module},
                                           nullptr);
    viewer->SetViewImages(true);
    viewer->SetBounds(Rect{0, 0, 400, 300});
  }
  ~ViewerTest() override {
    viewer.reset();
    for (const std::string& name : written) files->Delete(name);
    files->RemoveDirectory(folder);
  }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = folder + name;
    auto file = files->CreateWrite(path);
    file->Write(text.data(), static_cast<int32_t>(text.size()));
    file->Close();
    written.push_back(path);
    return path;
  }
  // A page of `lines` paragraphs "Line N of NAME", with an anchor at paragraph `anchor_at`.
  std::string LongPage(const std::string& name, int lines, int anchor_at = -1) {
    std::string html = "<title>" + name + "</title>";
    for (int i = 0; i < lines; ++i) {
      if (i == anchor_at) html += "<a name=\"Sec2\"></a>";
      html += "<p>Line " + std::to_string(i) + " of " + name + "</p>";
    }
    return Write(name, html);
  }

  HeadlessWindow& Panel() { return static_cast<HeadlessWindow&>(viewer->PaintPanel().Window()); }
  HeadlessWindow& Outer() { return static_cast<HeadlessWindow&>(viewer->Window()); }
  HeadlessScrollBar& VBar() { return static_cast<HeadlessScrollBar&>(viewer->VScrollBar().Port()); }
  const Bitmap& Screen() { return Panel().Surface(); }

  // The panel point over the middle of the character at document position `pos` (the document
  // must have been painted: hit tests use the positions of the last paint).
  Point PointOf(int32_t pos) {
    int32_t x = 0, y = 0;
    EXPECT_TRUE(viewer->Document().PositionToPoint(windows.ScreenCanvas(), pos, x, y));
    return Point{viewer->MarginWidth() + x + 4, y - viewer->VerticalPosition() + 12};
  }
  int32_t Find(const std::string& text) {
    return viewer->Document().FindString(0, Utf8ToUtf16(text), true);
  }
  std::string Selected() { return Utf16ToUtf8(viewer->SelText()); }

  std::unique_ptr<Files> files = MakePlatformFiles();
  RecordingSystem system;
  TImageModule module{24};
  HeadlessWindowSystem windows;
  std::string folder;
  std::vector<std::string> written;
  std::unique_ptr<TPageViewer> viewer;
};

}  // namespace brisomel::test
