// An in-memory System port: message boxes and shell requests are recorded, not shown.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"

namespace brisomel {

class RecordingSystem : public System {
 public:
  struct Message {
    std::string text;
    std::string caption;
  };

  void MessageBox(const std::string& text, const std::string& caption) override {
    messages.push_back({text, caption});
  }
  bool ShellOpen(const std::string& target) override {
    shell_requests.push_back(target);
    return true;
  }
  // The clock moves on by tick_step at each reading (0: it stands still).
  uint32_t TickCount() override { return ticks += tick_step; }
  int ScreenWidth() override { return screen_width; }
  int ScreenHeight() override { return screen_height; }

  std::vector<Message> messages;
  std::vector<std::string> shell_requests;
  uint32_t ticks = 0;
  uint32_t tick_step = 0;
  int screen_width = 1024;
  int screen_height = 768;
};

}  // namespace brisomel
