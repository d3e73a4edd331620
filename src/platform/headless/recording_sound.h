// A sound port that records requests instead of playing: "open NAME", "play NAME", "close
// NAME" in order. Opening a file named in `fail_open` throws that file's error text.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/sound.h"

namespace brisomel {

class RecordingSound : public SoundPort {
 public:
  void Close() override {
    if (open_.empty()) return;
    requests.push_back("close " + open_);
    open_.clear();
  }
  void Open(const std::string& file_name) override {
    if (auto failure = fail_open.find(file_name); failure != fail_open.end()) {
      requests.push_back("open failed " + file_name);
      throw ESoundError(failure->second);
    }
    Close();
    requests.push_back("open " + file_name);
    open_ = file_name;
  }
  void Play() override {
    if (!open_.empty()) requests.push_back("play " + open_);
  }
  bool IsOpen() const override { return !open_.empty(); }
  int PlayError() const override { return 0; }
  // The file whose device is open (and playing once played), or empty.
  const std::string& OpenFile() const { return open_; }

  std::vector<std::string> requests;
  std::map<std::string, std::string> fail_open;  // file name -> error text

 private:
  std::string open_;
};

}  // namespace brisomel
