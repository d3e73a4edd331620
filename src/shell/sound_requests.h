// The main window's sound decisions over the sound port: which requests are sounds, one
// sound at a time (the next request closes the previous one first), played once.
#pragma once

#include <functional>
#include <set>
#include <string>

#include "platform/sound.h"

namespace brisomel {

class TSoundRequests {
 public:
  using ExistsFunction = std::function<bool(const std::string& path)>;

  TSoundRequests(SoundPort& player, ExistsFunction exists)
      : player_(player), exists_(std::move(exists)) {}

  // True when the lower-cased source contains ".mid", ".wav" or ".rmi".
  static bool IsSoundSource(const std::string& SRC);

  // A page's sound request. A source that is no sound changes nothing (an empty one
  // included). Otherwise the current sound stops, and a source that names an existing file
  // is opened and played once. A device that cannot be opened throws ESoundError - but only
  // the first time for each error text: a machine without a sound device would otherwise
  // report it again for every page that has a sound.
  void Request(const std::string& SRC);
  // Stops the current sound, if one plays.
  void Stop() { player_.Close(); }

 private:
  SoundPort& player_;
  ExistsFunction exists_;
  std::set<std::string> reported_;
};

}  // namespace brisomel
