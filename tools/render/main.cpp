// brisomel-render: headless views of what the engine makes of a file.
#include <cstdio>
#include <string>
#include <vector>

#include "modes.h"

namespace {

struct Mode {
  const char* option;
  const char* usage;
  int (*run)(const std::vector<std::string>& args);
};

const Mode kModes[] = {
    {"--tokens", "--tokens FILE   print FILE's symbol stream", brisomel::render::TokensMode},
};

int Usage() {
  std::fprintf(stderr, "usage: brisomel-render MODE ARGS...\n");
  for (const Mode& mode : kModes) std::fprintf(stderr, "  %s\n", mode.usage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string option = argv[1];
  for (const Mode& mode : kModes)
    if (option == mode.option) return mode.run(std::vector<std::string>(argv + 2, argv + argc));
  return Usage();
}
