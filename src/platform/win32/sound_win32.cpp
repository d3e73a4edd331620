// The sound port through the Media Control Interface: MCI_OPEN with the file as element (MCI
// picks the device type from the extension), MCI_PLAY with notification, MCI_CLOSE.
//
// When the environment variable BRISOMEL_SOUND_LOG names a file, every request is appended
// to it as one line ("open NAME", "open failed NAME: TEXT", "play NAME ERROR", "close NAME"),
// so that a test driving the program from outside can see what was asked of the device.
#include <windows.h>
// mmsystem.h needs windows.h first.
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>

#include "platform/sound.h"
#include "platform/win32/wide_text.h"

namespace brisomel {
namespace {

class MciSound : public SoundPort {
 public:
  explicit MciSound(HWND notify_window) : notify_window_(notify_window) {
    if (const char* log = std::getenv("BRISOMEL_SOUND_LOG")) log_path_ = log;
  }
  ~MciSound() override { Close(); }

  void Close() override {
    if (!device_) return;
    MCI_GENERIC_PARMS parms{};
    mciSendCommandA(device_, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&parms));
    device_ = 0;
    Log("close " + file_name_);
  }

  void Open(const std::string& file_name) override {
    Close();
    const std::wstring element = WideText(file_name);
    MCI_OPEN_PARMSW parms{};
    parms.lpstrElementName = element.c_str();
    const MCIERROR error = mciSendCommandW(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT,
                                           reinterpret_cast<DWORD_PTR>(&parms));
    if (error != 0) {
      char text[MAXERRORLENGTH] = "";
      if (!mciGetErrorStringA(error, text, sizeof text) || !text[0]) {
        std::snprintf(text, sizeof text, "MCI error %lu", static_cast<unsigned long>(error));
      }
      Log("open failed " + file_name + ": " + text);
      throw ESoundError(text);
    }
    device_ = parms.wDeviceID;
    file_name_ = file_name;
    play_error_ = 0;
    Log("open " + file_name);
  }

  void Play() override {
    if (!device_) return;
    MCI_PLAY_PARMS parms{};
    parms.dwCallback = reinterpret_cast<DWORD_PTR>(notify_window_);
    const DWORD flags = notify_window_ ? MCI_NOTIFY : 0;
    play_error_ = static_cast<int>(
        mciSendCommandA(device_, MCI_PLAY, flags, reinterpret_cast<DWORD_PTR>(&parms)));
    Log("play " + file_name_ + " " + std::to_string(play_error_));
  }

  bool IsOpen() const override { return device_ != 0; }
  int PlayError() const override { return play_error_; }

 private:
  void Log(const std::string& line) {
    if (log_path_.empty()) return;
    if (FILE* file = std::fopen(log_path_.c_str(), "a")) {
      std::fprintf(file, "%s\n", line.c_str());
      std::fclose(file);
    }
  }

  HWND notify_window_;
  MCIDEVICEID device_ = 0;
  std::string file_name_;
  int play_error_ = 0;
  std::string log_path_;
};

}  // namespace

std::unique_ptr<SoundPort> MakePlatformSound(void* notify_window) {
  return std::make_unique<MciSound>(static_cast<HWND>(notify_window));
}

}  // namespace brisomel
