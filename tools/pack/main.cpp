// brisomel-pack SITE_DIR -o BOOK.exe [--title TEXT] [--icon FILE.ico] [--reader PATH] [--obfuscate]
#include <filesystem>
#include <iostream>
#include <vector>

#include "pack/command_line.h"
#include "pack/host.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>
#endif

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> args;
#ifdef _WIN32
  // The wide command line keeps names that the system code page cannot spell.
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr) {
    for (int i = 1; i < count; ++i) args.emplace_back(wide[i]);
    LocalFree(wide);
  }
#else
  for (int i = 1; i < argc; ++i) {
    args.emplace_back(argv[i]);
  }
#endif
  std::filesystem::path self = brisomel::pack::SelfPath();
  return brisomel::pack::RunPacker(args, self.parent_path(), std::cout, std::cerr,
                                   brisomel::pack::IsTerminal(stderr));
}
