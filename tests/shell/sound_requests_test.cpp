// The main window's sound decisions over a recording sound port.
#include "shell/sound_requests.h"

#include <gmock/gmock.h>

#include <set>
#include <string>

#include "platform/headless/recording_sound.h"

namespace brisomel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SoundRequestsTest : public ::testing::Test {
 protected:
  RecordingSound player;
  std::set<std::string> files{"C:\\book\\rain.wav", "C:\\book\\theme.mid", "C:\\book\\BELL.WAV",
                              "C:\\book\\voice.au", "C:\\book\\broken.wav"};
  TSoundRequests sounds{player, [this](const std::string& path) { return files.count(path) > 0; }};
};

TEST_F(SoundRequestsTest, MarkersAreFoundInTheLowerCasedSource) {
  struct Case {
    const char* source;
    bool sound;
  };
  for (const Case& c : {Case{"rain.wav", true}, Case{"THEME.MID", true}, Case{"song.Rmi", true},
                        Case{"dir.wav\\readme.txt", true}, Case{"voice.au", false},
                        Case{"song.mp3", false}, Case{"", false}, Case{"wav", false}}) {
    EXPECT_EQ(TSoundRequests::IsSoundSource(c.source), c.sound) << c.source;
  }
}

TEST_F(SoundRequestsTest, ANewSoundStopsTheOldOneAndPlaysOnce) {
  sounds.Request("C:\\book\\rain.wav");
  sounds.Request("C:\\book\\theme.mid");
  EXPECT_THAT(player.requests, ElementsAre("open C:\\book\\rain.wav", "play C:\\book\\rain.wav",
                                           "close C:\\book\\rain.wav", "open C:\\book\\theme.mid",
                                           "play C:\\book\\theme.mid"));
  EXPECT_EQ(player.OpenFile(), "C:\\book\\theme.mid");
}

TEST_F(SoundRequestsTest, RequestsThatAreNoSoundChangeNothing) {
  sounds.Request("C:\\book\\rain.wav");
  player.requests.clear();
  // Another format, an empty source (the stop request before each page), a web page.
  for (const char* source : {"C:\\book\\voice.au", "", "C:\\book\\page.htm"}) {
    sounds.Request(source);
  }
  EXPECT_THAT(player.requests, IsEmpty());
  EXPECT_EQ(player.OpenFile(), "C:\\book\\rain.wav");
}

TEST_F(SoundRequestsTest, CapitalsPlayAndAMissingFileStopsTheSound) {
  sounds.Request("C:\\book\\BELL.WAV");
  EXPECT_EQ(player.OpenFile(), "C:\\book\\BELL.WAV");
  sounds.Request("C:\\book\\gone.wav");
  EXPECT_THAT(player.requests, ElementsAre("open C:\\book\\BELL.WAV", "play C:\\book\\BELL.WAV",
                                           "close C:\\book\\BELL.WAV"));
  EXPECT_FALSE(player.IsOpen());
}

TEST_F(SoundRequestsTest, StopClosesTheSoundAndDoesNothingWithoutOne) {
  sounds.Stop();
  EXPECT_THAT(player.requests, IsEmpty());
  sounds.Request("C:\\book\\rain.wav");
  sounds.Stop();
  sounds.Stop();
  EXPECT_THAT(player.requests, ElementsAre("open C:\\book\\rain.wav", "play C:\\book\\rain.wav",
                                           "close C:\\book\\rain.wav"));
}

// A device that cannot be opened is reported with its own text, once per text: without a
// sound device every page with a sound would otherwise report it again.
TEST_F(SoundRequestsTest, AnOpenErrorIsRaisedOncePerText) {
  player.fail_open["C:\\book\\rain.wav"] = "No sound device";
  player.fail_open["C:\\book\\theme.mid"] = "No sound device";
  player.fail_open["C:\\book\\broken.wav"] = "The file is damaged";
  try {
    sounds.Request("C:\\book\\rain.wav");
    FAIL() << "no error";
  } catch (const ESoundError& error) {
    EXPECT_STREQ(error.what(), "No sound device");
  }
  EXPECT_NO_THROW(sounds.Request("C:\\book\\theme.mid"));
  EXPECT_NO_THROW(sounds.Request("C:\\book\\rain.wav"));
  EXPECT_THROW(sounds.Request("C:\\book\\broken.wav"), ESoundError);
  // A playable sound still plays after the failures.
  sounds.Request("C:\\book\\BELL.WAV");
  EXPECT_EQ(player.OpenFile(), "C:\\book\\BELL.WAV");
}

}  // namespace
}  // namespace brisomel
