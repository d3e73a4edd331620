// The run's private directory, with the in-memory files and with the machine's own.
#include <gtest/gtest.h>

#include "archive/attached_archive.h"
#include "archive_fixtures.h"
#include "platform/headless/memory_files.h"
#include "platform/headless/recording_system.h"

namespace brisomel {
namespace {

using testing::Bytes;

// The machine's files with the temporary directory moved to a folder of the test's own.
class RootedFiles : public Files {
 public:
  RootedFiles(Files& inner, std::string temp) : inner_(inner), temp_(std::move(temp)) {}
  std::unique_ptr<File> OpenRead(const std::string& p) override { return inner_.OpenRead(p); }
  std::unique_ptr<File> CreateWrite(const std::string& p) override { return inner_.CreateWrite(p); }
  bool Exists(const std::string& p) override { return inner_.Exists(p); }
  bool DirectoryExists(const std::string& p) override { return inner_.DirectoryExists(p); }
  bool Delete(const std::string& p) override { return inner_.Delete(p); }
  std::vector<std::string> List(const std::string& d, const std::string& p) override {
    return inner_.List(d, p);
  }
  std::string CurrentDirectory() override { return inner_.CurrentDirectory(); }
  bool SetCurrentDirectory(const std::string& p) override { return inner_.SetCurrentDirectory(p); }
  std::string FullPath(const std::string& p) override { return inner_.FullPath(p); }
  std::string ExecutablePath() override { return inner_.ExecutablePath(); }
  std::string SystemTempDirectory() override { return temp_; }
  bool CreateDirectoryExclusive(const std::string& p) override {
    return inner_.CreateDirectoryExclusive(p);
  }
  bool RemoveDirectory(const std::string& p) override { return inner_.RemoveDirectory(p); }
  std::unique_ptr<File> HoldLock(const std::string& p) override { return inner_.HoldLock(p); }
  void RandomBytes(void* b, int32_t n) override { inner_.RandomBytes(b, n); }
  char Separator() override { return inner_.Separator(); }

 private:
  Files& inner_;
  std::string temp_;
};

void WriteFile(Files& files, const std::string& path, const Bytes& bytes) {
  auto file = files.CreateWrite(path);
  ASSERT_TRUE(file);
  file->Write(bytes.data(), static_cast<int32_t>(bytes.size()));
  file->Close();
}

// Runs the private-directory cases on a files port whose temporary directory is `temp`.
void CheckPrivateDirectories(Files& files, const std::string& temp) {
  const char sep = files.Separator();
  RecordingSystem system;

  // A run that ended without cleaning up: its lock file is there, nobody holds it.
  const std::string stale = temp + "brisomel-00112233445566ff";
  ASSERT_TRUE(files.CreateDirectoryExclusive(stale));
  WriteFile(files, stale + sep + AttachedArchive::kLockName, {});
  WriteFile(files, stale + sep + "page.htm", testing::ToBytes("old"));
  // Not a run's directory, though the name starts alike.
  const std::string other = temp + "brisomel-pack-output";
  ASSERT_TRUE(files.CreateDirectoryExclusive(other));

  AttachedArchive first(files, system);
  const std::string dir1 = first.GetTempDirectory();
  ASSERT_FALSE(dir1.empty());
  EXPECT_EQ(dir1.back(), sep);
  EXPECT_EQ(dir1.rfind(temp + "brisomel-", 0), 0u);
  EXPECT_EQ(first.GetTempDirectory(), dir1);  // made once
  EXPECT_FALSE(files.DirectoryExists(stale));
  EXPECT_TRUE(files.DirectoryExists(other));

  // A second run alongside: its own directory, and the first one's stays.
  AttachedArchive second(files, system);
  const std::string dir2 = second.GetTempDirectory();
  ASSERT_FALSE(dir2.empty());
  EXPECT_NE(dir1, dir2);
  EXPECT_TRUE(files.DirectoryExists(dir1));
  WriteFile(files, dir1 + "a.htm", testing::ToBytes("one"));
  WriteFile(files, dir2 + "a.htm", testing::ToBytes("two"));

  // A third run starting while both live removes neither.
  {
    AttachedArchive third(files, system);
    ASSERT_FALSE(third.GetTempDirectory().empty());
    third.DeleteExtractedFiles();
  }
  EXPECT_TRUE(files.Exists(dir1 + "a.htm"));
  EXPECT_TRUE(files.Exists(dir2 + "a.htm"));

  // Closing one leaves the other intact.
  first.DeleteExtractedFiles();
  EXPECT_FALSE(files.DirectoryExists(dir1));
  EXPECT_TRUE(files.Exists(dir2 + "a.htm"));
  second.DeleteExtractedFiles();
  EXPECT_FALSE(files.DirectoryExists(dir2));
  files.RemoveDirectory(other);
  EXPECT_TRUE(system.messages.empty());
}

TEST(PrivateDirectory, InMemory) {
  MemoryFiles files;
  CheckPrivateDirectories(files, "/tmp/");
}

TEST(PrivateDirectory, OnThisMachine) {
  auto machine = MakePlatformFiles();
  const char sep = machine->Separator();
  std::string base = machine->SystemTempDirectory();
  ASSERT_FALSE(base.empty());
  uint8_t random[4];
  machine->RandomBytes(random, 4);
  std::string temp =
      base + "archive-test-" + std::to_string(random[0] | random[1] << 8 | random[2] << 16);
  ASSERT_TRUE(machine->CreateDirectoryExclusive(temp));
  temp += sep;
  RootedFiles files(*machine, temp);
  CheckPrivateDirectories(files, temp);
  EXPECT_TRUE(files.List(temp, "*").empty());
  machine->RemoveDirectory(temp);
}

// A whole book extracted through the machine's files, then removed.
TEST(PrivateDirectory, ExtractsAndDeletesOnThisMachine) {
  auto machine = MakePlatformFiles();
  const char sep = machine->Separator();
  const std::string base = machine->SystemTempDirectory();
  const std::string start = machine->CurrentDirectory();
  uint8_t random[4];
  machine->RandomBytes(random, 4);
  std::string temp = base + "archive-book-" + std::to_string(random[0] | random[1] << 8);
  ASSERT_TRUE(machine->CreateDirectoryExclusive(temp));
  temp += sep;
  const Bytes page = testing::MixedText(100000, 5);
  WriteFile(*machine, temp + "book.exe",
            testing::MakeBook({{.name = "index.htm", .data = page},
                               {.name = "img/4back.bmp",
                                .data = testing::RandomBytes(5000, 1),
                                .method = 0,
                                .flags = 1}}));
  RootedFiles files(*machine, temp);
  RecordingSystem system;
  {
    AttachedArchive archive(files, system);
    archive.SetArchiveFileName(temp + "book.exe");
    archive.ExtractAttachedArchive();
    ASSERT_EQ(archive.ExtractedFiles().size(), 2u);
    const std::string dir = archive.GetTempDirectory();
    EXPECT_EQ(archive.ExtractedFiles()[0], dir + "index.htm");
    auto in = files.OpenRead(dir + "index.htm");
    ASSERT_TRUE(in);
    Bytes read(page.size() + 1);
    EXPECT_EQ(in->Read(read.data(), static_cast<int32_t>(read.size())), int32_t(page.size()));
    read.resize(page.size());
    EXPECT_TRUE(read == page);
    in->Close();
    EXPECT_TRUE(files.Exists(dir + "img" + sep + "4back.bmp"));
    archive.DeleteExtractedFiles();
    EXPECT_FALSE(files.DirectoryExists(dir));
  }
  EXPECT_TRUE(system.messages.empty());
  machine->SetCurrentDirectory(start);
  machine->Delete(temp + "book.exe");
  EXPECT_TRUE(machine->RemoveDirectory(temp));
}

}  // namespace
}  // namespace brisomel
