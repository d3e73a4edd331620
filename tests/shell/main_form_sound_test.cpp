// The main window's background sounds and its gradient title bar, in a real window.
#include <gmock/gmock.h>
#include <windows.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fake_environment.h"
#include "platform/headless/recording_sound.h"
#include "shell/application.h"
#include "shell/main_form.h"
#include "shell/search_form.h"

namespace brisomel {
namespace {

using ::testing::ElementsAre;

class MainFormSoundTest : public ::testing::Test {
 protected:
  MainFormSoundTest() : app(GetModuleHandleA(nullptr), "Brisomel") {
    app.ShowException = [this](const std::string& text) { shown.push_back(text); };
    char buffer[MAX_PATH + 1] = {};
    GetTempPathA(sizeof buffer, buffer);
    folder = std::string(buffer) + "brisomel-sound-test\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    env.temp = folder;
    env.use_disk = true;
  }
  ~MainFormSoundTest() override {
    for (const std::string& path : written) DeleteFileA(path.c_str());
    DeleteFileA(CornerImagePath(env).c_str());
    RemoveDirectoryA(folder.c_str());
  }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = folder + name;
    std::ofstream(path, std::ios::binary) << text;
    written.push_back(path);
    return path;
  }
  // The form showing `page`, its sounds recorded.
  std::unique_ptr<TForm1> Open(const std::string& page) {
    auto form = std::make_unique<TForm1>(app, env, std::vector<std::string>{page});
    auto recording = std::make_unique<RecordingSound>();
    sound = recording.get();
    form->UseSoundPort(std::move(recording));
    EXPECT_TRUE(form->Create());
    return form;
  }
  void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }

  TApplication app;
  FakeEnvironment env;
  std::string folder;
  std::vector<std::string> written, shown;
  RecordingSound* sound = nullptr;
};

// The page names its sound relative to itself; the program's current directory is elsewhere.
TEST_F(MainFormSoundTest, APageSoundBesideThePagePlaysAndStopSoundStopsIt) {
  const std::string chime = Write("chime.wav", "RIFF");
  const std::string page = Write("sound.htm", "<bgsound src=\"chime.wav\" loop=-1><p>Sound");
  auto form = Open(page);
  EXPECT_THAT(sound->requests, ElementsAre("open " + chime, "play " + chime));
  // "Stop Sound" through its command id; a second one finds nothing to stop.
  SendMessageA(form->Handle(), WM_COMMAND, kStopSoundCommand, 0);
  form->StopSound1Click();
  EXPECT_THAT(sound->requests, ElementsAre("open " + chime, "play " + chime, "close " + chime));
  EXPECT_TRUE(shown.empty());
}

// A sound that cannot be opened is reported after the page has loaded, once per error
// text; the page itself loads whole.
TEST_F(MainFormSoundTest, AnOpenErrorIsShownOnceAfterThePageLoads) {
  const std::string chime = Write("chime.wav", "RIFF");
  const std::string page =
      Write("fail.htm", "<title>Loud</title><bgsound src=\"chime.wav\"><p>After the sound");
  auto form = std::make_unique<TForm1>(app, env, std::vector<std::string>{page});
  auto recording = std::make_unique<RecordingSound>();
  recording->fail_open[chime] = "No sound device";
  sound = recording.get();
  form->UseSoundPort(std::move(recording));
  ASSERT_TRUE(form->Create());
  EXPECT_TRUE(shown.empty());  // not while the page was being read
  EXPECT_EQ(form->FrameViewer1().CurrentSet().Title, u"Loud");
  Pump();
  EXPECT_THAT(shown, ElementsAre("No sound device."));
  form->FrameViewer1().LoadFromFile(page);
  Pump();
  EXPECT_EQ(shown.size(), 1u);
}

// Both windows carry the bar: navy to silver, their own captions in the title.
TEST_F(MainFormSoundTest, BothWindowsCarryTheDesignedCaptionBar) {
  auto form = Open(Write("plain.htm", "<p>Plain"));
  TGradientCaption& bar = form->GradientCaption1();
  EXPECT_EQ(bar.ColorLeftActive, kNavy);
  EXPECT_EQ(bar.ColorRightActive, kSilver);
  EXPECT_EQ(bar.CompanyText.FontKind(), fkSystemBI);
  EXPECT_EQ(bar.AppNameText.FontKind(), fkSystemB);
  EXPECT_EQ(bar.CaptionText.FontKind(), fkSystem);
  EXPECT_EQ(bar.CaptionText.Caption(), "Brisomel");
  char title[64] = "";
  GetWindowTextA(form->Handle(), title, sizeof title);
  EXPECT_STREQ(title, "Brisomel");

  TForm2 search(app);
  ASSERT_TRUE(search.Create());
  GetWindowTextA(search.Handle(), title, sizeof title);
  EXPECT_STREQ(title, "Search For...");
}

}  // namespace
}  // namespace brisomel
