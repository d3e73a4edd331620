// TForm1's background sounds: the frame viewer's sound requests played on MediaPlayer1, and
// "Stop Sound".
#include "shell/main_form.h"

namespace brisomel {
namespace {

// Posted to the main window when a sound could not be played; the text waits in the form.
constexpr UINT kSoundErrorMessage = WM_APP + 14;

}  // namespace

void TForm1::CreateMediaPlayer1() {
  if (!media_player1_) media_player1_ = MakePlatformSound(Handle());
  sounds_ = std::make_unique<TSoundRequests>(
      *media_player1_, [this](const std::string& path) { return env_.FileExists(path); });
  viewer_->OnSoundRequest = [this](void* Sender, const std::string& SRC, int Loop, bool Terminate) {
    FrameViewer1SoundRequest(Sender, SRC, Loop, Terminate);
  };
}

// Requests come while a page is being read: an error must not stop the reading, and a
// message box now would run the message loop in the middle of it. The error is shown once
// the load is over.
void TForm1::FrameViewer1SoundRequest(void*, const std::string& SRC, int, bool) {
  try {
    sounds_->Request(SRC);
  } catch (const ESoundError& error) {
    sound_errors_.push_back(error.what());
    PostMessageA(Handle(), kSoundErrorMessage, 0, 0);
  }
}

void TForm1::StopSound1Click() { sounds_->Stop(); }

bool TForm1::HandleSoundMessage(UINT message, LRESULT* result) {
  if (message != kSoundErrorMessage) return false;
  *result = 0;
  if (sound_errors_.empty()) return true;
  const std::string text = sound_errors_.front();
  sound_errors_.erase(sound_errors_.begin());
  App().HandleException(text);
  return true;
}

}  // namespace brisomel
