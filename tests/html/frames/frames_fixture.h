// A frame viewer on the headless window port with the test font, and pages written to a
// folder of its own. Clicks on links go through the frames' page viewers as a user's would.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "html/frames/frame_viewer.h"
#include "html/images/image_module.h"
#include "platform/files.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/recording_system.h"
#include "text/utf.h"

namespace brisomel::test {

class FramesTest : public ::testing::Test {
 protected:
  FramesTest() {
    static int counter = 0;
    // The test's name keeps tests that run at once in separate processes apart.
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "";
    std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests' names
    folder = files->SystemTempDirectory() + "brisomel-frames-" + name + "-" +
             std::to_string(counter++) + "-" +
             std::to_string(reinterpret_cast<uintptr_t>(this) % 100000);
    files->CreateDirectoryExclusive(folder);
    folder += files->Separator();
    fv = std::make_unique<TFrameViewer>(TViewerServices{&windows, files.get(), &system, &module},
                                        nullptr);
    fv->SetBounds(Rect{0, 0, 400, 400});
  }
  ~FramesTest() override {
    fv.reset();
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
  // A page whose first line is a link to `href` (with `target` when given), then a title.
  std::string LinkPage(const std::string& name, const std::string& href,
                       const std::string& target = "") {
    return Write(name, "<title>" + name + "</title><a href=\"" + href + "\"" +
                           (target.empty() ? "" : " target=\"" + target + "\"") +
                           ">link</a><p>This is " + name);
  }

  TFrame* FrameNamed(const std::string& name) {
    for (TFrame* frame : fv->CurrentSet().Frames)
      if (frame->WindowName == name) return frame;
    return nullptr;
  }
  // The file shown by a frame's viewer (its last path part).
  static std::string Shown(TFrame* frame) {
    if (!frame || !frame->Viewer()) return "-";
    const std::string& name = frame->Viewer()->CurrentFileName();
    return name.substr(name.find_last_of("\\/") + 1);
  }
  static bool Contains(TFrame* frame, const std::string& text) {
    return frame && frame->Viewer() &&
           frame->Viewer()->Document().FindString(0, Utf8ToUtf16(text), true) >= 0;
  }
  // A click on the link at the top left of the frame's page, and the load it starts.
  void ClickLink(TFrame* frame) {
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(frame->Viewer(), nullptr);
    auto& panel = static_cast<HeadlessWindow&>(frame->Viewer()->PaintPanel().Window());
    panel.Surface();
    panel.MoveMouse(14, 14);
    panel.Click(14, 14);
    windows.RunPosted();
  }

  std::unique_ptr<Files> files = MakePlatformFiles();
  RecordingSystem system;
  TImageModule module{24};
  HeadlessWindowSystem windows;
  std::string folder;
  std::vector<std::string> written;
  std::unique_ptr<TFrameViewer> fv;
};

}  // namespace brisomel::test
