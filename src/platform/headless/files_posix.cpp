// The files and system ports on POSIX. Paths arrive with the reader's Windows rules: '\' is
// taken as '/'. Message boxes and shell requests are printed to stderr.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/files.h"

namespace brisomel {
namespace {

std::string ToPosix(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

class PosixFile : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { Close(); }

  int32_t Read(void* buffer, int32_t count) override {
    if (fd_ < 0 || count <= 0) return 0;
    int32_t done = 0;
    while (done < count) {
      ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, count - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<int32_t>(n);
    }
    return done;
  }
  int32_t Write(const void* buffer, int32_t count) override {
    if (fd_ < 0 || count <= 0) return 0;
    int32_t done = 0;
    while (done < count) {
      ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, count - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<int32_t>(n);
    }
    return done;
  }
  bool Seek(int64_t offset) override {
    return fd_ >= 0 && offset >= 0 && ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == offset;
  }
  int64_t Size() override {
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return st.st_size;
  }
  bool Close() override {
    if (fd_ < 0) return true;
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

class PosixFiles : public Files {
 public:
  std::unique_ptr<File> OpenRead(const std::string& path) override {
    int fd = ::open(ToPosix(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
  }
  std::unique_ptr<File> CreateWrite(const std::string& path) override {
    int fd = ::open(ToPosix(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixFile>(fd);
  }
  bool Exists(const std::string& path) override {
    struct stat st;
    return ::stat(ToPosix(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  }
  bool DirectoryExists(const std::string& path) override {
    struct stat st;
    return ::stat(ToPosix(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
  bool Delete(const std::string& path) override {
    const std::string p = ToPosix(path);
    struct stat st;
    if (::lstat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return ::unlink(p.c_str()) == 0;
  }
  std::vector<std::string> List(const std::string& directory, const std::string& pattern) override {
    std::vector<std::string> names;
    DIR* dir = ::opendir(ToPosix(directory).c_str());
    if (dir == nullptr) return names;
    while (dirent* entry = ::readdir(dir)) {
      std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      if (MatchesWildcard(name, pattern)) names.push_back(name);
    }
    ::closedir(dir);
    return names;
  }
  std::string CurrentDirectory() override {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return {};
    return buffer;
  }
  bool SetCurrentDirectory(const std::string& path) override {
    return ::chdir(ToPosix(path).c_str()) == 0;
  }
  std::string FullPath(const std::string& path) override {
    std::string p = ToPosix(path);
    if (!p.empty() && p[0] == '/') return p;
    std::string dir = CurrentDirectory();
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir + p;
  }
  std::string ExecutablePath() override {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return std::string(buffer, static_cast<size_t>(n));
  }
  std::string SystemTempDirectory() override {
    const char* dir = std::getenv("TMPDIR");
    std::string result = (dir != nullptr && *dir != '\0') ? dir : "/tmp";
    if (result.back() != '/') result += '/';
    return result;
  }
  bool CreateDirectoryExclusive(const std::string& path) override {
    return ::mkdir(ToPosix(path).c_str(), 0700) == 0;
  }
  bool RemoveDirectory(const std::string& path) override {
    return ::rmdir(ToPosix(path).c_str()) == 0;
  }
  std::unique_ptr<File> HoldLock(const std::string& path) override {
    int fd = ::open(ToPosix(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return nullptr;
    // flock locks belong to the open file description: a second open, even in this process,
    // does not get the lock, and the kernel drops it when the process ends.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
  }
  void RandomBytes(void* buffer, int32_t count) override {
    auto* bytes = static_cast<unsigned char*>(buffer);
    int32_t done = 0;
    while (done < count) {
      ssize_t n = ::getrandom(bytes + done, count - done, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<int32_t>(n);
    }
    // Should the random source fail, the clock and process id still vary from run to run;
    // the exclusive creation keeps a guessed name from being used.
    if (done < count) {
      timespec ts;
      ::clock_gettime(CLOCK_REALTIME, &ts);
      uint64_t seed = (static_cast<uint64_t>(ts.tv_nsec) << 20) ^ static_cast<uint64_t>(ts.tv_sec) ^
                      (static_cast<uint64_t>(::getpid()) << 40);
      for (int32_t i = done; i < count; ++i) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        bytes[i] = static_cast<unsigned char>(seed >> 56);
      }
    }
  }
  char Separator() override { return '/'; }
};

class PosixSystem : public System {
 public:
  void MessageBox(const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  }
  bool ShellOpen(const std::string& target) override {
    std::fprintf(stderr, "[shell] %s\n", target.c_str());
    return true;
  }
  uint32_t TickCount() override {
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
  }
  int ScreenWidth() override { return 1024; }
  int ScreenHeight() override { return 768; }
};

}  // namespace

std::unique_ptr<Files> MakePlatformFiles() { return std::make_unique<PosixFiles>(); }
std::unique_ptr<System> MakePlatformSystem() { return std::make_unique<PosixSystem>(); }

}  // namespace brisomel
