// Keeping reading states: the book's identity, the folder and file names, and the write that
// replaces a state file whole or not at all, on an in-memory file system that fails on demand.
#include "settings/state_store.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "text/utf.h"

namespace brisomel {
namespace {

// A file over bytes that counts what is read of it.
class BytesFile : public File {
 public:
  BytesFile(std::vector<uint8_t> bytes, int64_t* read_count = nullptr)
      : bytes_(std::move(bytes)), read_count_(read_count) {}
  int32_t Read(void* buffer, int32_t count) override {
    int32_t got = static_cast<int32_t>(std::min<size_t>(count, bytes_.size() - position_));
    std::copy_n(bytes_.begin() + position_, got, static_cast<uint8_t*>(buffer));
    position_ += got;
    if (read_count_ != nullptr) *read_count_ += got;
    return got;
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  bool Seek(int64_t offset) override {
    if (offset < 0 || offset > int64_t(bytes_.size())) return false;
    position_ = static_cast<size_t>(offset);
    return true;
  }
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  bool Close() override { return true; }

 private:
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
  int64_t* read_count_;
};

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

struct Entry {
  std::string name;
  uint32_t crc;
  size_t size;
};

// A book as the identity sees it: a program, the entries' data, the central directory (the
// fields that matter: name, CRC-32, sizes, offset) and the end record with `comment`.
std::vector<uint8_t> Book(const std::vector<Entry>& entries, size_t program = 5000,
                          const std::string& comment = "") {
  std::vector<uint8_t> book(program, 0x90);
  std::vector<uint32_t> offsets;
  for (const Entry& entry : entries) {
    offsets.push_back(static_cast<uint32_t>(book.size()));
    book.resize(book.size() + 30 + entry.name.size() + entry.size, 0x11);
  }
  size_t directory = book.size();
  for (size_t i = 0; i < entries.size(); ++i) {
    Put32(book, 0x02014B50);
    for (int k = 0; k < 6; ++k) Put16(book, 0);
    Put32(book, entries[i].crc);
    Put32(book, static_cast<uint32_t>(entries[i].size));
    Put32(book, static_cast<uint32_t>(entries[i].size));
    Put16(book, static_cast<uint16_t>(entries[i].name.size()));
    for (int k = 0; k < 4; ++k) Put16(book, 0);
    Put32(book, 0);
    Put32(book, offsets[i]);
    book.insert(book.end(), entries[i].name.begin(), entries[i].name.end());
  }
  size_t directory_size = book.size() - directory;
  Put32(book, 0x06054B50);
  Put32(book, 0);
  Put16(book, static_cast<uint16_t>(entries.size()));
  Put16(book, static_cast<uint16_t>(entries.size()));
  Put32(book, static_cast<uint32_t>(directory_size));
  Put32(book, static_cast<uint32_t>(directory));
  Put16(book, static_cast<uint16_t>(comment.size()));
  book.insert(book.end(), comment.begin(), comment.end());
  return book;
}

std::string Identity(const std::vector<uint8_t>& bytes) {
  BytesFile file(bytes);
  return BookIdentity(file);
}

TEST(StateStore, IdentityFollowsTheDirectoryNotThePages) {
  const std::vector<Entry> pages = {{"index.htm", 0x1234, 3000}, {"a/b.htm", 0x5678, 2000}};
  const std::string identity = Identity(Book(pages));
  EXPECT_EQ(identity.size(), 16u);
  EXPECT_EQ(identity.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_EQ(Identity(Book(pages)), identity);

  std::vector<uint8_t> data_changed = Book(pages);
  data_changed[6000] ^= 0xFF;  // page bytes only: the directory tells nothing of them
  EXPECT_EQ(Identity(data_changed), identity);

  std::vector<std::vector<uint8_t>> others = {
      Book({{"index.htm", 0x1235, 3000}, {"a/b.htm", 0x5678, 2000}}),  // a page edited
      Book({{"index.htm", 0x1234, 3000}, {"a/c.htm", 0x5678, 2000}}),  // a page renamed
      Book({{"index.htm", 0x1234, 3000}}),                             // a page dropped
      Book(pages, 5001),                                               // another program
      Book(pages, 5000, "a comment"),
  };
  std::set<std::string> seen = {identity};
  for (const std::vector<uint8_t>& other : others) {
    EXPECT_TRUE(seen.insert(Identity(other)).second) << "two books share an identity";
  }
}

TEST(StateStore, IdentityReadsLittleOfALargeBook) {
  std::vector<Entry> pages;
  for (int i = 0; i < 2000; ++i)
    pages.push_back({"page" + std::to_string(i) + ".htm", 7u * i, 26500});
  std::vector<uint8_t> book = Book(pages);
  ASSERT_GT(book.size(), 50u << 20);
  int64_t read = 0;
  BytesFile file(book, &read);
  EXPECT_EQ(BookIdentity(file).size(), 16u);
  EXPECT_LT(read, 256 * 1024);
}

TEST(StateStore, IdentityOfFilesThatAreNoArchive) {
  std::vector<uint8_t> plain(100000, 0x42);
  std::string identity = Identity(plain);
  EXPECT_EQ(identity.size(), 16u);
  plain[99999] = 0x43;
  EXPECT_NE(Identity(plain), identity);
  EXPECT_EQ(Identity({}).size(), 16u);

  // An end record whose directory would start before the file does.
  std::vector<uint8_t> bogus = Book({{"a.htm", 1, 10}});
  bogus[bogus.size() - 10] = 0xFF;  // directory size, top byte
  EXPECT_EQ(Identity(bogus).size(), 16u);
}

TEST(StateStore, FolderAndFileNames) {
  using Environment = std::map<std::u16string, std::u16string>;
  auto lookup = [](const Environment& environment) {
    return [&environment](std::u16string_view name) {
      auto found = environment.find(std::u16string(name));
      return found == environment.end() ? std::u16string() : found->second;
    };
  };
  struct Case {
    Environment environment;
    std::u16string windows, linux;
  };
  const Case cases[] = {
      {{{u"APPDATA", u"C:\\Users\\Ann\\AppData\\Roaming"}},
       u"C:\\Users\\Ann\\AppData\\Roaming\\Brisomel",
       u""},
      {{{u"APPDATA", u"C:\\Users\\Ann\\AppData\\Roaming\\"}, {u"HOME", u"/home/ann"}},
       u"C:\\Users\\Ann\\AppData\\Roaming\\Brisomel",
       u"/home/ann/.local/state/brisomel"},
      {{{u"XDG_STATE_HOME", u"/var/state/ann/"}, {u"HOME", u"/home/ann"}},
       u"",
       u"/var/state/ann/brisomel"},
      {{{u"XDG_STATE_HOME", u"relative/state"}, {u"HOME", u"/home/ann"}},
       u"",
       u"/home/ann/.local/state/brisomel"},
      {{{u"HOME", u"relative"}}, u"", u""},
      {{}, u"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StateFolderOnWindows(lookup(c.environment)), c.windows);
    EXPECT_EQ(StateFolderOnLinux(lookup(c.environment)), c.linux);
  }
  EXPECT_EQ(StateFileName("0123456789abcdef"), u"book-0123456789abcdef.ini");
}

// Files in memory, '\' between folders, with a switch for each step that can fail.
class MemoryStateFiles : public StateFiles {
 public:
  std::map<std::u16string, std::string> files;
  std::set<std::u16string> folders = {u"C:", u"C:\\Users"};
  bool fail_folder = false, fail_create = false, fail_write = false, fail_close = false,
       fail_replace = false;
  int created = 0;

  std::unique_ptr<File> OpenRead(const std::u16string& path) override {
    auto found = files.find(path);
    if (found == files.end()) return nullptr;
    return std::make_unique<BytesFile>(
        std::vector<uint8_t>(found->second.begin(), found->second.end()));
  }
  std::unique_ptr<File> CreateWrite(const std::u16string& path) override {
    if (fail_create || !folders.count(path.substr(0, path.rfind(u'\\')))) return nullptr;
    ++created;
    files[path].clear();
    return std::make_unique<Writer>(*this, path);
  }
  bool DirectoryExists(const std::u16string& path) override { return folders.count(path) != 0; }
  bool CreateDirectoryExclusive(const std::u16string& path) override {
    if (fail_folder || folders.count(path) || files.count(path)) return false;
    return folders.insert(path).second;
  }
  bool Delete(const std::u16string& path) override { return files.erase(path) != 0; }
  bool Replace(const std::u16string& from, const std::u16string& to) override {
    if (fail_replace || !files.count(from)) return false;
    files[to] = files[from];
    files.erase(from);
    return true;
  }
  void RandomBytes(void* buffer, int32_t count) override {
    std::fill_n(static_cast<uint8_t*>(buffer), count, uint8_t(0xA0 + created));
  }
  char16_t Separator() override { return u'\\'; }

 private:
  class Writer : public File {
   public:
    Writer(MemoryStateFiles& owner, std::u16string path) : owner_(owner), path_(std::move(path)) {}
    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void* bytes, int32_t count) override {
      if (owner_.fail_write) count /= 2;
      owner_.files[path_].append(static_cast<const char*>(bytes), count);
      return count;
    }
    bool Seek(int64_t) override { return false; }
    int64_t Size() override { return int64_t(owner_.files[path_].size()); }
    bool Close() override { return !owner_.fail_close; }

   private:
    MemoryStateFiles& owner_;
    std::u16string path_;
  };
};

TEST(StateStore, WritesReplaceTheFileWholeOrNotAtAll) {
  const std::u16string folder = u"C:\\Users\\Ann\\AppData\\Roaming\\Brisomel";
  const std::u16string path = folder + u"\\book-1.ini";
  struct Case {
    const char* name;
    bool MemoryStateFiles::*failure;  // null: nothing fails
  };
  const Case cases[] = {{"written", nullptr},
                        {"folder cannot be made", &MemoryStateFiles::fail_folder},
                        {"file cannot be created", &MemoryStateFiles::fail_create},
                        {"disk full while writing", &MemoryStateFiles::fail_write},
                        {"closing fails", &MemoryStateFiles::fail_close},
                        {"replacing fails", &MemoryStateFiles::fail_replace}};
  for (bool existing : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (existing ? ", replacing a file" : ", a first file"));
      MemoryStateFiles files;
      if (existing) {
        files.folders.insert({u"C:\\Users\\Ann", u"C:\\Users\\Ann\\AppData",
                              u"C:\\Users\\Ann\\AppData\\Roaming", folder});
        files.files[path] = "old";
      }
      if (c.failure != nullptr) files.*c.failure = true;
      bool folder_fails = c.failure == &MemoryStateFiles::fail_folder;
      EXPECT_EQ(WriteStateFile(files, folder + u"\\", u"book-1.ini", "new state"),
                c.failure == nullptr || (existing && folder_fails));
      // The file is the new state or untouched; no temporary file is left beside it.
      std::map<std::u16string, std::string> expected;
      if (c.failure == nullptr || (existing && folder_fails)) {
        expected[path] = "new state";
      } else if (existing) {
        expected[path] = "old";
      }
      EXPECT_EQ(files.files, expected);
      EXPECT_EQ(files.DirectoryExists(folder), existing || !folder_fails);
    }
  }
}

TEST(StateStore, ReadsOnlyWholeFilesOfSettingsSize) {
  MemoryStateFiles files;
  files.files[u"C:\\a.ini"] = "zoom=120\n";
  files.files[u"C:\\large.ini"] = std::string(kMaxStateFile + 1, '#');
  files.files[u"C:\\edge.ini"] = std::string(kMaxStateFile, '#');
  EXPECT_EQ(ReadStateFile(files, u"C:\\a.ini"), "zoom=120\n");
  EXPECT_EQ(ReadStateFile(files, u"C:\\missing.ini"), std::nullopt);
  EXPECT_EQ(ReadStateFile(files, u"C:\\large.ini"), std::nullopt);
  EXPECT_EQ(ReadStateFile(files, u"C:\\edge.ini")->size(), size_t(kMaxStateFile));
}

}  // namespace
}  // namespace brisomel
