// The packer's command line:
//   brisomel-pack SITE_DIR -o BOOK.exe [--title TEXT] [--icon FILE.ico] [--reader PATH]
//                 [--obfuscate]
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace brisomel::pack {

// The usage text; `packer_dir` is the folder of the running packer, to say where the default
// reader is looked for.
std::string HelpText(const std::filesystem::path& packer_dir);

// Where the reader is looked for when --reader is absent, in order: "brisomel.exe" beside the
// packer, then "../win32/brisomel.exe" and "../win64/brisomel.exe" from the packer's folder (the
// native packer in build/linux finds the 32-bit reader in build/win32, else the 64-bit one).
std::vector<std::filesystem::path> DefaultReaders(const std::filesystem::path& packer_dir);

// Runs the packer on `args` (without the program name). Returns the exit status: 0 when the
// book was written, 1 on bad input or a failure, 2 on a bad command line. The progress line of
// a large folder goes to `err` only when `err_is_terminal`; the closing line on `out` sums up
// what was written either way.
int RunPacker(const std::vector<std::filesystem::path>& args,
              const std::filesystem::path& packer_dir, std::ostream& out, std::ostream& err,
              bool err_is_terminal = false);

}  // namespace brisomel::pack
