#include "shell/sound_requests.h"

#include <algorithm>

namespace brisomel {

bool TSoundRequests::IsSoundSource(const std::string& SRC) {
  std::string lower = SRC;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  });
  for (const char* marker : {".mid", ".wav", ".rmi"}) {
    if (lower.find(marker) != std::string::npos) return true;
  }
  return false;
}

void TSoundRequests::Request(const std::string& SRC) {
  if (!IsSoundSource(SRC)) return;
  player_.Close();
  if (!exists_(SRC)) return;
  try {
    player_.Open(SRC);
  } catch (const ESoundError& error) {
    if (reported_.insert(error.what()).second) throw;
    return;
  }
  player_.Play();
}

}  // namespace brisomel
