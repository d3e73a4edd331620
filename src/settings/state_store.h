// Where reading states are kept and how they are written: one file per book in a folder of the
// user's, named after the book's identity, replaced whole so that a crash or a second copy of
// the book running never leaves half a file.
//
// The folder: %APPDATA%\Brisomel on Windows; on Linux $XDG_STATE_HOME/brisomel, or
// ~/.local/state/brisomel when that is unset or not absolute. The file: "book-" and the
// identity's 16 hexadecimal digits, ".ini".
//
// The identity: a 64-bit FNV-1a hash of the book's central directory (every entry's name,
// CRC-32, sizes, date and offset), its end record and the book file's size. It reads the last
// 64 KB and the directory, a few hundred KB even for a book of thousands of pages, never the
// pages. Any change to a page changes its CRC-32 and so the identity: an edited book starts
// afresh. Two different books agree only by a 64-bit coincidence, and then the worst that
// happens is a remembered page that is not in the book, which the reader passes over. A file
// without a central directory is identified by its last 64 KB and its size.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace brisomel {

// A state file larger than this is damaged and not read.
constexpr int64_t kMaxStateFile = 64 * 1024;

// The book's identity as 16 lower-case hexadecimal digits; empty when the book cannot be read.
std::string BookIdentity(File& book);

// The state folder from the environment (`environment` gives a variable's value, empty when
// unset); empty when the variables it needs are missing.
std::u16string StateFolderOnWindows(
    const std::function<std::u16string(std::u16string_view)>& environment);
std::u16string StateFolderOnLinux(
    const std::function<std::u16string(std::u16string_view)>& environment);
std::u16string StateFileName(std::string_view identity);

// What keeping a state file needs of the file system: the files port's operations (paths in
// UTF-16) and one it lacks, Replace.
class StateFiles {
 public:
  virtual ~StateFiles() = default;
  virtual std::unique_ptr<File> OpenRead(const std::u16string& path) = 0;
  virtual std::unique_ptr<File> CreateWrite(const std::u16string& path) = 0;
  virtual bool DirectoryExists(const std::u16string& path) = 0;
  virtual bool CreateDirectoryExclusive(const std::u16string& path) = 0;
  virtual bool Delete(const std::u16string& path) = 0;
  // Puts the file `from` in the place of `to` in one step, replacing what is there; the data
  // reaches the disk before the name does.
  virtual bool Replace(const std::u16string& from, const std::u16string& to) = 0;
  virtual void RandomBytes(void* buffer, int32_t count) = 0;
  virtual char16_t Separator() = 0;
};

// Writes `bytes` as `folder`/`name`: makes the folder and any missing parents, writes a new
// file of a random name beside the target, closes it and puts it in the target's place. On any
// failure the new file is deleted, the old one is left as it was, and the answer is false.
bool WriteStateFile(StateFiles& files, const std::u16string& folder, const std::u16string& name,
                    std::string_view bytes);

// The bytes of a state file; none when it is missing, unreadable or larger than
// kMaxStateFile.
std::optional<std::string> ReadStateFile(StateFiles& files, const std::u16string& path);

}  // namespace brisomel
