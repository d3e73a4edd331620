#include "pack/book_packer.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <random>

#include "archive/cipher.h"
#include "archive/crc32.h"
#include "pack/host.h"
#include "pack/zip_writer.h"

namespace brisomel::pack {
namespace {

namespace fs = std::filesystem;

// A book of many files must not leave its first header within one search window of the
// reader's own copy of the pattern: the reader counts at most one match per 255-byte window.
constexpr uint64_t kPatternClearance = 512;
constexpr int kDeflateLevel = 9;

struct SiteFile {
  fs::path path;     // on disk
  std::string name;  // entry name: path below the site folder, '/' between folders
  std::string base;  // the name the reader extracts it to
  uint64_t size = 0;
  std::time_t modified = 0;
};

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Fold(std::string text) {
  for (char& c : text) c = FoldAscii(c);
  return text;
}

std::string Quote(const fs::path& path) {
  std::string quoted(1, '\'');
  quoted += Show(path);
  quoted += '\'';
  return quoted;
}

std::string ErrnoText() { return std::strerror(errno); }

// Characters that no Windows file name holds; the reader could not create such a file.
bool IsWindowsNameCharacter(unsigned char c) {
  return c >= 0x20 && std::strchr("<>:\"/\\|?*", c) == nullptr;
}

// The whole file, or an error message.
bool ReadWhole(const fs::path& path, uint64_t expected_size, std::vector<uint8_t>* bytes,
               std::string* error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenForReading(path), &std::fclose);
  if (!file) {
    *error = "cannot read " + Quote(path) + ": " + ErrnoText();
    return false;
  }
  bytes->clear();
  bytes->reserve(static_cast<size_t>(expected_size));
  uint8_t chunk[1 << 16];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    if (bytes->size() + got > kMaxBookSize) {
      *error = Quote(path) + " is too large for a book (the limit is 2 GB)";
      return false;
    }
    bytes->insert(bytes->end(), chunk, chunk + got);
  }
  if (std::ferror(file.get())) {
    *error = "cannot read " + Quote(path) + ": " + ErrnoText();
    return false;
  }
  return true;
}

std::time_t ModifiedTime(const fs::directory_entry& entry) {
  std::error_code error;
  fs::file_time_type stamp = entry.last_write_time(error);
  if (error) return std::time(nullptr);
  return std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(
          std::chrono::file_clock::to_sys(stamp)));
}

// Every regular file below `site`, sorted by entry name. `skip` (the book being replaced, when
// it lies inside the folder) is left out.
bool CollectFiles(const fs::path& site, const fs::path& skip, std::vector<SiteFile>* files,
                  std::string* error) {
  std::error_code status;
  fs::recursive_directory_iterator it(site, status), end;
  for (; !status && it != end; it.increment(status)) {
    const fs::directory_entry& entry = *it;
    std::error_code type_error;
    fs::file_status type = entry.status(type_error);
    if (fs::is_directory(type)) continue;
    if (type_error || !fs::exists(type)) {
      *error = "cannot read " + Quote(entry.path()) + ": " +
               (type_error ? type_error.message() : std::string("a link to nothing"));
      return false;
    }
    if (!fs::is_regular_file(type)) {
      *error = Quote(entry.path()) + " is not a regular file";
      return false;
    }
    std::error_code same_error;
    if (!skip.empty() && fs::equivalent(entry.path(), skip, same_error)) continue;

    SiteFile file;
    file.path = entry.path();
    fs::path relative = entry.path().lexically_relative(site);
    if (!NameBytes(relative, &file.name)) {
      *error = "the name of " + Quote(relative) + " has no form in the system code page";
      return false;
    }
    std::error_code size_error;
    file.size = entry.file_size(size_error);
    if (size_error) {
      *error = "cannot read " + Quote(entry.path()) + ": " + size_error.message();
      return false;
    }
    file.modified = ModifiedTime(entry);
    files->push_back(std::move(file));
  }
  if (status) {
    *error = "cannot list the files of " + Quote(site) + ": " + status.message();
    return false;
  }
  std::sort(files->begin(), files->end(),
            [](const SiteFile& a, const SiteFile& b) { return a.name < b.name; });
  return true;
}

// Names the reader can write, none over its length limit, no two extracting to the same file.
bool CheckNames(std::vector<SiteFile>* files, std::string* error) {
  std::map<std::string, const SiteFile*> by_base;
  for (SiteFile& file : *files) {
    size_t slash = file.name.rfind('/');
    std::string leaf = slash == std::string::npos ? file.name : file.name.substr(slash + 1);
    for (unsigned char c : leaf) {
      if (!IsWindowsNameCharacter(c)) {
        *error = "'" + file.name + "' cannot be a Windows file name (it holds the character " +
                 (c < 0x20 ? "code " + std::to_string(c) : "'" + std::string(1, char(c)) + "'") +
                 ")";
        return false;
      }
    }
    file.base = BaseName(file.name);  // the leaf: it holds no ':' or '\'
    if (file.base.size() > kMaxBaseNameLength) {
      *error = "the file name of '" + file.name + "' is longer than " +
               std::to_string(kMaxBaseNameLength) + " characters";
      return false;
    }
    if (file.name.size() > kMaxNameLength) {
      *error = "the path of '" + file.name + "' is too long for an archive entry";
      return false;
    }
    auto [place, added] = by_base.emplace(Fold(file.base), &file);
    if (!added) {
      *error = "'" + place->second->name + "' and '" + file.name +
               "' would both be extracted as '" + file.base +
               "' (the reader drops folders and ignores case); rename one of them";
      return false;
    }
  }
  return true;
}

// The entry the reader's search lands on: the start page the reader shows ("index.html" wins
// over "index.htm", as in the reader), else the first page, else the first file.
size_t ChooseFirstEntry(const std::vector<SiteFile>& files) {
  for (const char* start : {"index.html", "index.htm"}) {
    for (size_t i = 0; i < files.size(); ++i) {
      if (Fold(files[i].base) == start) return i;
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    std::string folded = Fold(files[i].base);
    for (const char* page : {".htm", ".html"}) {
      size_t length = std::strlen(page);
      if (folded.size() > length && folded.compare(folded.size() - length, length, page) == 0) {
        return i;
      }
    }
  }
  return 0;
}

// The book being written: a new file beside the output that replaces it only when complete.
class BookFile {
 public:
  ~BookFile() { Discard(); }

  bool Create(const fs::path& output, std::string* error) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      char suffix[32];
      std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
      fs::path candidate = output;
      candidate += suffix;
      file_ = CreateExclusive(candidate);
      if (file_ != nullptr) {
        path_ = candidate;
        return true;
      }
      if (errno != EEXIST) break;
    }
    *error = "cannot create " + Quote(output) + ": " + ErrnoText();
    return false;
  }

  bool Write(const void* bytes, size_t count) {
    if (count == 0) return true;
    if (offset_ + count > kMaxBookSize) {
      too_large_ = true;
      return false;
    }
    if (std::fwrite(bytes, 1, count, file_) != count) return false;
    offset_ += count;
    return true;
  }
  bool Write(const std::vector<uint8_t>& bytes) { return Write(bytes.data(), bytes.size()); }

  uint64_t offset() const { return offset_; }
  bool too_large() const { return too_large_; }

  // Makes the book durable and puts it in place of `output`.
  bool Commit(const fs::path& output, std::string* error) {
    bool synced = SyncFile(file_);
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!synced || !closed) {
      *error = "cannot write " + Quote(output) + ": " + ErrnoText();
      return false;
    }
    std::error_code status;
    fs::rename(path_, output, status);
    if (status) {
      *error = "cannot replace " + Quote(output) + ": " + status.message();
      return false;
    }
    path_.clear();
    return true;
  }

  void Discard() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    std::error_code ignored;
    if (!path_.empty()) fs::remove(path_, ignored);
    path_.clear();
  }

 private:
  std::FILE* file_ = nullptr;
  fs::path path_;
  uint64_t offset_ = 0;
  bool too_large_ = false;
};

class ProgressLine {
 public:
  ProgressLine(std::ostream& out, bool shown, size_t files, uint64_t bytes)
      : out_(out), shown_(shown), files_(files), bytes_(bytes) {}
  ~ProgressLine() {
    if (shown_ && started_) out_ << "\n" << std::flush;
  }
  void Update(size_t files_done, uint64_t bytes_done) {
    if (!shown_) return;
    started_ = true;
    out_ << "\rbrisomel-pack: " << files_done << " of " << files_ << " files, "
         << Megabytes(bytes_done) << " of " << Megabytes(bytes_) << " MB" << std::flush;
  }

 private:
  static std::string Megabytes(uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1 << 20));
    return text;
  }
  std::ostream& out_;
  bool shown_;
  bool started_ = false;
  size_t files_;
  uint64_t bytes_;
};

PackResult Pack(const PackOptions& options, std::ostream& progress) {
  PackResult result;
  std::string error;
  auto fail = [&](std::string message) {
    result.error = std::move(message);
    return result;
  };

  // The reader: it must exist and hold the search pattern exactly once.
  std::error_code status;
  if (!fs::exists(options.reader, status)) {
    return fail("reader " + Quote(options.reader) + " does not exist");
  }
  if (fs::is_directory(options.reader, status)) {
    return fail("reader " + Quote(options.reader) + " is a folder, not a program");
  }
  std::vector<uint8_t> reader;
  if (!ReadWhole(options.reader, 0, &reader, &error)) return fail(error);
  std::vector<PatternMatch> matches = FindSearchPattern(reader);
  if (matches.empty()) {
    return fail("reader " + Quote(options.reader) +
                " does not hold the archive search pattern; it is not a Brisomel reader");
  }
  if (matches.size() > 1) {
    return fail("reader " + Quote(options.reader) + " holds the archive search pattern " +
                std::to_string(matches.size()) +
                " times, so it would not find its book (is it a book already?)");
  }
  if (!matches[0].exact) {
    return fail("reader " + Quote(options.reader) +
                " holds the archive search pattern only in another letter case");
  }

  // The site.
  if (!fs::exists(options.site_dir, status)) {
    return fail("site folder " + Quote(options.site_dir) + " does not exist");
  }
  if (!fs::is_directory(options.site_dir, status)) {
    return fail(Quote(options.site_dir) + " is not a folder");
  }
  if (fs::is_directory(options.output, status)) {
    return fail("output " + Quote(options.output) + " is a folder");
  }
  std::vector<SiteFile> files;
  fs::path skip = fs::exists(options.output, status) ? options.output : fs::path();
  if (!CollectFiles(options.site_dir, skip, &files, &error)) return fail(error);
  if (files.empty()) return fail("site folder " + Quote(options.site_dir) + " holds no files");
  if (files.size() > kMaxEntries) {
    return fail("site folder " + Quote(options.site_dir) + " holds more than " +
                std::to_string(kMaxEntries) + " files");
  }
  if (!CheckNames(&files, &error)) return fail(error);
  size_t first = ChooseFirstEntry(files);
  std::rotate(files.begin(), files.begin() + first, files.begin() + first + 1);
  uint64_t total_bytes = 0;
  for (const SiteFile& file : files) total_bytes += file.size;

  // The book.
  BookFile book;
  if (!book.Create(options.output, &error)) return fail(error);
  auto write_failed = [&]() {
    return fail(book.too_large() ? "the book would be larger than 2 GB"
                                 : "cannot write " + Quote(options.output) + ": " + ErrnoText());
  };
  if (!book.Write(reader)) return write_failed();
  uint64_t pattern_end = matches[0].offset + sizeof kSearchPattern;
  if (reader.size() < pattern_end + kPatternClearance) {
    std::vector<uint8_t> padding(pattern_end + kPatternClearance - reader.size(), 0);
    if (!book.Write(padding)) return write_failed();
  }
  result.archive_offset = book.offset();
  reader = {};

  CrcTable crc_table;
  TraditionalCipher cipher(crc_table);
  ProgressLine line(progress, total_bytes > options.progress_threshold, files.size(), total_bytes);
  std::vector<ZipEntry> entries;
  entries.reserve(files.size());
  std::vector<uint8_t> data;
  std::vector<uint8_t> deflated;
  uint64_t bytes_done = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const SiteFile& file = files[i];
    if (!ReadWhole(file.path, file.size, &data, &error)) return fail(error);
    ZipEntry entry;
    entry.name = file.name;
    DosDateTime(file.modified, &entry.dos_time, &entry.dos_date);
    entry.crc32 = Crc32(data.data(), data.size());
    entry.uncompressed_size = static_cast<uint32_t>(data.size());
    if (!DeflateRaw(data.data(), data.size(), kDeflateLevel, &deflated)) {
      return fail("cannot compress " + Quote(file.path));
    }
    // The first entry is always deflated: the reader's search pattern says so.
    if (i == 0 || deflated.size() < data.size()) {
      data.swap(deflated);
      entry.method = kMethodDeflated;
      entry.flags = kFlagMaximumCompression;
      entry.version_needed = kVersionDeflate;
    }
    entry.compressed_size = static_cast<uint32_t>(data.size());
    if (options.obfuscate && i > 0) {
      cipher.Encipher(data.data(), data.size());
      entry.flags |= kFlagEnciphered;
      entry.version_needed = kVersionDeflate;
      entry.compressed_size += 12;  // the reader subtracts the standard's header length
    }
    if (book.offset() > kMaxBookSize) return fail("the book would be larger than 2 GB");
    entry.local_header_offset = static_cast<uint32_t>(book.offset());
    if (!book.Write(LocalHeader(entry)) || !book.Write(data)) return write_failed();
    entries.push_back(std::move(entry));
    bytes_done += file.size;
    line.Update(i + 1, bytes_done);
  }

  uint64_t directory_offset = book.offset();
  for (const ZipEntry& entry : entries) {
    if (!book.Write(CentralHeader(entry))) return write_failed();
  }
  uint64_t directory_size = book.offset() - directory_offset;
  if (!book.Write(EndOfCentralDirectory(static_cast<uint16_t>(entries.size()),
                                        static_cast<uint32_t>(directory_size),
                                        static_cast<uint32_t>(directory_offset)))) {
    return write_failed();
  }
  result.book_size = book.offset();
  if (!book.Commit(options.output, &error)) return fail(error);
  result.ok = true;
  result.entries = entries.size();
  result.first_entry = entries.front().name;
  return result;
}

}  // namespace

std::vector<PatternMatch> FindSearchPattern(const std::vector<uint8_t>& bytes) {
  std::vector<PatternMatch> matches;
  constexpr size_t length = sizeof kSearchPattern;
  for (size_t at = 0; at + length <= bytes.size(); ++at) {
    bool folded = true;
    bool exact = true;
    for (size_t k = 0; k < length && folded; ++k) {
      char have = static_cast<char>(bytes[at + k]);
      char want = static_cast<char>(kSearchPattern[k]);
      exact = exact && have == want;
      folded = FoldAscii(have) == FoldAscii(want);
    }
    if (folded) matches.push_back({at, exact});
  }
  return matches;
}

std::string BaseName(const std::string& name) {
  size_t cut = name.find_last_of("/:\\");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

PackResult PackBook(const PackOptions& options, std::ostream& progress) {
  try {
    return Pack(options, progress);
  } catch (const std::bad_alloc&) {
    PackResult result;
    result.error = "out of memory";
    return result;
  } catch (const std::exception& failure) {
    // The file system layer reports unusual names and states by exceptions.
    PackResult result;
    result.error = failure.what();
    return result;
  }
}

}  // namespace brisomel::pack
