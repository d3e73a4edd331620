// The sound port: one sound device at a time, opened for a file, played once, closed.
// The Windows adapter drives the Media Control Interface; the headless adapter records the
// requests.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace brisomel {

// A sound device that could not be opened; the message is the device layer's own error text.
class ESoundError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SoundPort {
 public:
  virtual ~SoundPort() = default;
  // Closes the open device, stopping its sound; nothing happens when none is open.
  virtual void Close() = 0;
  // Opens a device for `file_name`, the device type chosen from the file's extension. Throws
  // ESoundError with the device layer's text when it cannot be opened.
  virtual void Open(const std::string& file_name) = 0;
  // Starts the open device playing once and returns at once. A playback error is kept
  // (PlayError), not raised.
  virtual void Play() = 0;
  virtual bool IsOpen() const = 0;
  // The error code of the last Play (0: none).
  virtual int PlayError() const = 0;
};

// The adapter of the machine the program runs on. `notify_window` (a window handle on
// Windows, may be null) hears when a sound ends.
std::unique_ptr<SoundPort> MakePlatformSound(void* notify_window);

}  // namespace brisomel
