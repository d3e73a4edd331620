// The few things the packer asks of the machine it runs on that the C++ library does not give
// the same way on Linux and Windows: opening files by path, creating a file exclusively,
// making written data durable, the bytes of a file name and of an argument, and the packer's
// own path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace brisomel::pack {

// Opens an existing file for binary reading; null on failure (errno says why).
std::FILE* OpenForReading(const std::filesystem::path& path);
// Creates `path` for binary writing only if nothing exists there; null on failure.
std::FILE* CreateExclusive(const std::filesystem::path& path);
// Pushes the file's written data to the disk; false on failure.
bool SyncFile(std::FILE* file);
// Cuts a flushed file to `size` bytes; false on failure.
bool TruncateFile(std::FILE* file, uint64_t size);
// The entry name the reader will see for a name: UTF-8 (as the file system holds it on Linux,
// converted from the wide name on Windows). False when the name is not valid Unicode text.
bool NameBytes(const std::filesystem::path& name, std::string* bytes);
// A path for messages (never fails; characters without a form become '?').
std::string Show(const std::filesystem::path& path);
// The text of a command-line argument (UTF-8 bytes on Linux, as given on Windows); false when
// it is not well-formed text.
bool ArgumentText(const std::filesystem::path& arg, std::u16string* text);
// Text for messages, in the form `Show` gives paths.
std::string ShowText(std::u16string_view text);
// Full path of the running program's own file; empty when unknown.
std::filesystem::path SelfPath();
// Whether `stream` is a terminal (and not a file or a pipe).
bool IsTerminal(std::FILE* stream);

}  // namespace brisomel::pack
