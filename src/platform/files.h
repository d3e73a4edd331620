// The files and system port: everything the engine asks of the operating system besides
// drawing, windows and controls. Paths are UTF-8 and follow the reader's Windows rules ('\'
// separators); the Win32 adapter hands them to the wide file calls, the headless adapter maps
// them to POSIX paths.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace brisomel {

// An open file. Reads and writes move the file position; short counts mean end of file or
// failure.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `count` bytes; returns the number read (0 at end of file or on failure).
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  // Writes `count` bytes; returns the number written.
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  // Moves the position to `offset` from the start; false when the seek fails.
  virtual bool Seek(int64_t offset) = 0;
  virtual int64_t Size() = 0;
  // Closes the file; false when closing fails (pending data could not be written).
  virtual bool Close() = 0;
};

class Files {
 public:
  virtual ~Files() = default;

  // Opens an existing file for reading, shared with other readers and writers.
  virtual std::unique_ptr<File> OpenRead(const std::string& path) = 0;
  // Creates (or truncates) a file for writing.
  virtual std::unique_ptr<File> CreateWrite(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;  // a file (not a directory)
  virtual bool DirectoryExists(const std::string& path) = 0;
  virtual bool Delete(const std::string& path) = 0;
  // Names (not paths) of the entries of `directory` whose name matches `pattern` ('*' and '?',
  // ASCII case folded), files and directories alike.
  virtual std::vector<std::string> List(const std::string& directory,
                                        const std::string& pattern) = 0;
  virtual std::string CurrentDirectory() = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;
  virtual std::string FullPath(const std::string& path) = 0;
  // Full path of the running program's own file.
  virtual std::string ExecutablePath() = 0;
  // The system's directory for temporary files, ending in a separator.
  virtual std::string SystemTempDirectory() = 0;
  // Creates `path` only if nothing exists there yet, readable by the owner only where the
  // platform allows; false when it exists or cannot be made.
  virtual bool CreateDirectoryExclusive(const std::string& path) = 0;
  virtual bool RemoveDirectory(const std::string& path) = 0;  // an empty directory
  // Takes an exclusive lock on the file at `path` (created if missing) that lasts while the
  // returned object lives, and ends with the process however it ends. Null when another
  // living process holds it.
  virtual std::unique_ptr<File> HoldLock(const std::string& path) = 0;
  // Bytes from the system's random source (for unpredictable names).
  virtual void RandomBytes(void* buffer, int32_t count) = 0;
  // The path separator used when joining names: '\' on Windows, '/' headless.
  virtual char Separator() = 0;
};

// Modal message boxes, the shell, clocks and the screen.
class System {
 public:
  virtual ~System() = default;
  // A modal box without owner, OK button only; texts in UTF-8.
  virtual void MessageBox(const std::string& text, const std::string& caption) = 0;
  // Hands a URL or document (UTF-8) to the operating system's shell; false when it refused.
  virtual bool ShellOpen(const std::string& target) = 0;
  virtual uint32_t TickCount() = 0;
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
};

// The adapters of the machine the program runs on (Win32 on Windows, POSIX elsewhere).
std::unique_ptr<Files> MakePlatformFiles();
std::unique_ptr<System> MakePlatformSystem();

// True when `name` matches `pattern` ('*' any run, '?' one character), ASCII case folded.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

}  // namespace brisomel
