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
#include "archive/entry_path.h"
#include "pack/book_file.h"
#include "pack/host.h"
#include "pack/page_title.h"
#include "pack/program_icon.h"
#include "pack/zip_writer.h"
#include "settings/book_settings.h"

namespace brisomel::pack {
namespace {

namespace fs = std::filesystem;

// A book of many files must not leave its first header within one search window of the
// reader's own copy of the pattern: the reader counts at most one match per 255-byte window.
constexpr uint64_t kPatternClearance = 512;
constexpr int kDeflateLevel = 9;
constexpr int kMaxFolderDepth = 32;

struct SiteFile {
  fs::path path;     // on disk
  std::string name;  // entry name: path below the site folder, '/' between folders
  uint64_t size = 0;
  std::time_t modified = 0;
  std::optional<std::string> contents;  // held in memory rather than read from `path`
};

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Fold(std::string text) {
  for (char& c : text) {
    c = FoldAscii(c);
  }
  return text;
}

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The flags an entry's name asks for: the UTF-8 flag for a name beyond ASCII.
uint16_t NameFlags(const std::string& name) { return IsAscii(name) ? 0 : kFlagUtf8Name; }

std::string Quote(const fs::path& path) {
  std::string quoted(1, '\'');
  quoted += Show(path);
  quoted += '\'';
  return quoted;
}

template <typename... Parts>
std::string Join(const Parts&... parts) {
  std::string text;
  (text += ... += parts);
  return text;
}

std::string ErrnoText() { return std::strerror(errno); }

// The whole file, or an error message; `limit` bytes at most, and `too_large` names the limit
// in the message about a larger file.
bool ReadWhole(const fs::path& path, std::vector<uint8_t>* bytes, std::string* error,
               uint64_t limit = kMaxBookSize,
               const char* too_large = "a book (the limit is 2 GB)") {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenForReading(path), &std::fclose);
  if (!file) {
    *error = "cannot read " + Quote(path) + ": " + ErrnoText();
    return false;
  }
  bytes->clear();
  uint8_t chunk[1 << 16];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    if (bytes->size() + got > limit) {
      *error = Quote(path) + " is too large for " + too_large;
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
  if (error) {
    return std::time(nullptr);
  }
  return std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(
          std::chrono::file_clock::to_sys(stamp)));
}

// Every regular file below `site`, sorted by entry name, links followed. `skip` (the book being
// replaced, when it lies inside the folder) is left out, and so is each link that leads
// nowhere, with a line on `warnings`.
bool CollectFiles(const fs::path& site, const fs::path& skip, std::vector<SiteFile>* files,
                  std::ostream& warnings, std::string* error) {
  std::error_code status;
  // Linked folders are followed like real ones; a link loop shows as runaway depth.
  fs::recursive_directory_iterator it(site, fs::directory_options::follow_directory_symlink,
                                      status);
  fs::recursive_directory_iterator end;
  for (; !status && it != end; it.increment(status)) {
    const fs::directory_entry& entry = *it;
    if (it.depth() > kMaxFolderDepth) {
      *error = "folders nest more than " + std::to_string(kMaxFolderDepth) + " deep at " +
               Quote(entry.path()) + " (a link loop?)";
      return false;
    }
    std::error_code type_error;
    fs::file_status type = entry.status(type_error);
    if (fs::is_directory(type)) {
      continue;
    }
    std::error_code link_error;
    if ((type_error || !fs::exists(type)) && entry.is_symlink(link_error)) {
      warnings << "brisomel-pack: left out " << Quote(entry.path()) << ": a link to nothing\n";
      continue;
    }
    if (type_error || !fs::exists(type)) {
      *error = "cannot read " + Quote(entry.path()) + ": " +
               (type_error ? type_error.message() : std::string("it has gone"));
      return false;
    }
    if (!fs::is_regular_file(type)) {
      *error = Quote(entry.path()) + " is not a regular file";
      return false;
    }
    std::error_code same_error;
    if (!skip.empty() && fs::equivalent(entry.path(), skip, same_error)) {
      continue;
    }

    SiteFile file;
    file.path = entry.path();
    fs::path relative = entry.path().lexically_relative(site);
    if (!NameBytes(relative, &file.name)) {
      *error = "the name of " + Quote(relative) + " is not valid Unicode text";
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

bool CheckNames(const std::vector<SiteFile>& files, std::string* error) {
  std::vector<std::string> names;
  names.reserve(files.size());
  for (const SiteFile& file : files) {
    names.push_back(file.name);
  }
  *error = CheckEntryNames(names);
  return error->empty();
}

// The entry the reader's search lands on: the start page the reader shows in the site's own
// folder ("index.html" wins over "index.htm", as in the reader), else the first page, else the
// first file. Its header must match the search pattern, whose flags have no UTF-8 bit, so only
// a file with an ASCII name can come first; files.size() when there is none.
size_t ChooseFirstEntry(const std::vector<SiteFile>& files) {
  for (const char* start : {"index.html", "index.htm"}) {
    for (size_t i = 0; i < files.size(); ++i) {
      if (Fold(files[i].name) == start) {
        return i;
      }
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (!IsAscii(files[i].name)) {
      continue;
    }
    std::string folded = Fold(files[i].name);
    for (const char* page : {".htm", ".html"}) {
      size_t length = std::strlen(page);
      if (folded.size() > length && folded.compare(folded.size() - length, length, page) == 0) {
        return i;
      }
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (IsAscii(files[i].name)) {
      return i;
    }
  }
  return files.size();
}

// Reads a file piece by piece. kStopped: `take` returned false.
enum class ReadOutcome { kEnd, kStopped, kFailed };

template <typename Take>
ReadOutcome ReadPieces(const SiteFile& site_file, Take take, std::string* error) {
  if (site_file.contents) {
    const std::string& bytes = *site_file.contents;
    if (bytes.empty()) return ReadOutcome::kEnd;
    return take(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())
               ? ReadOutcome::kEnd
               : ReadOutcome::kStopped;
  }
  const fs::path& path = site_file.path;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenForReading(path), &std::fclose);
  if (!file) {
    *error = "cannot read " + Quote(path) + ": " + ErrnoText();
    return ReadOutcome::kFailed;
  }
  std::vector<uint8_t> piece(1 << 16);
  size_t got;
  while ((got = std::fread(piece.data(), 1, piece.size(), file.get())) > 0) {
    if (!take(piece.data(), got)) {
      return ReadOutcome::kStopped;
    }
  }
  if (std::ferror(file.get())) {
    *error = "cannot read " + Quote(path) + ": " + ErrnoText();
    return ReadOutcome::kFailed;
  }
  return ReadOutcome::kEnd;
}

// Where an entry's data goes: enciphered when the entry is, then into the book, counted.
class EntrySink {
 public:
  EntrySink(BookFile& book, TraditionalCipher* cipher) : book_(book), cipher_(cipher) {}

  bool Put(const uint8_t* bytes, size_t count) {
    if (cipher_ != nullptr) {
      scratch_.assign(bytes, bytes + count);
      cipher_->Encipher(scratch_.data(), count);
      bytes = scratch_.data();
    }
    written_ += count;
    failed_ = failed_ || !book_.Write(bytes, count);
    return !failed_;
  }
  bool failed() const { return failed_; }
  static bool Emit(void* sink, const uint8_t* bytes, size_t count) {
    return static_cast<EntrySink*>(sink)->Put(bytes, count);
  }
  uint64_t written() const { return written_; }

 private:
  BookFile& book_;
  TraditionalCipher* cipher_;
  std::vector<uint8_t> scratch_;
  uint64_t written_ = 0;
  bool failed_ = false;
};

// Writes one entry: its local header, then its data streamed from the file, deflated when
// that shrinks it (always for the first entry, which the reader's search pattern needs
// deflated), else stored; then the header again with the sizes and CRC now known. `cipher`,
// when given, enciphers the data and carries its keys on to the next entry.
// `read_so_far` hears how much of the file the first pass has read.
template <typename Report>
bool WriteEntry(BookFile& book, const SiteFile& file, bool first,
                std::optional<TraditionalCipher>& cipher, const CrcTable& crc_table,
                Report read_so_far, ZipEntry* entry, std::string* error) {
  auto write_failed = [&]() {
    *error = "cannot write the book: " + book.error();
    return false;
  };
  entry->name = file.name;
  DosDateTime(file.modified, &entry->dos_time, &entry->dos_date);
  entry->local_header_offset = static_cast<uint32_t>(book.offset());  // below the 2 GB limit
  if (!book.Write(LocalHeader(*entry))) {
    return write_failed();
  }
  uint64_t data_offset = book.offset();
  std::optional<TraditionalCipher> keys_before;
  if (cipher) {
    keys_before.emplace(*cipher);
  }

  uint32_t crc = 0xFFFFFFFF;
  uint64_t size = 0;
  EntrySink deflated(book, cipher ? &*cipher : nullptr);
  RawDeflater deflater(kDeflateLevel);
  bool deflate_failed = false;
  // A later entry gives up on deflate as soon as its output reaches the file's size.
  ReadOutcome outcome = ReadPieces(
      file,
      [&](const uint8_t* bytes, size_t count) {
        crc = crc_table.Update(crc, bytes, count);
        size += count;
        read_so_far(size);
        if (!deflater.Feed(bytes, count, false, &EntrySink::Emit, &deflated)) {
          deflate_failed = true;
          return false;
        }
        return first || deflated.written() < file.size;
      },
      error);
  if (outcome == ReadOutcome::kFailed) {
    return false;
  }
  if (outcome == ReadOutcome::kEnd && !deflate_failed) {
    deflate_failed = !deflater.Feed(nullptr, 0, true, &EntrySink::Emit, &deflated);
  }
  if (deflate_failed) {
    if (deflated.failed()) {
      return write_failed();
    }
    *error = "cannot compress " + Quote(file.path);
    return false;
  }

  uint64_t stored_size = deflated.written();
  if (first || (outcome == ReadOutcome::kEnd && deflated.written() < size)) {
    entry->method = kMethodDeflated;
    entry->flags = kFlagMaximumCompression | NameFlags(entry->name);
    entry->version_needed = kVersionDeflate;
  } else {
    // Stored: write the data again over the deflated attempt, with the keys as they were.
    if (!book.Seek(data_offset)) {
      return write_failed();
    }
    if (keys_before) {
      cipher.emplace(*keys_before);
    }
    EntrySink stored(book, cipher ? &*cipher : nullptr);
    crc = 0xFFFFFFFF;
    size = 0;
    outcome = ReadPieces(
        file,
        [&](const uint8_t* bytes, size_t count) {
          crc = crc_table.Update(crc, bytes, count);
          size += count;
          return stored.Put(bytes, count);
        },
        error);
    if (outcome == ReadOutcome::kFailed) {
      return false;
    }
    if (stored.failed()) {
      return write_failed();
    }
    entry->method = kMethodStored;
    entry->flags = NameFlags(entry->name);
    entry->version_needed = kVersionStored;
    stored_size = stored.written();
  }
  if (size > kMaxBookSize) {
    *error = Quote(file.path) + " is too large for a book (the limit is 2 GB)";
    return false;
  }
  entry->crc32 = ~crc;
  entry->uncompressed_size = static_cast<uint32_t>(size);
  entry->compressed_size = static_cast<uint32_t>(stored_size);
  if (cipher) {
    entry->flags |= kFlagEnciphered;
    entry->version_needed = kVersionDeflate;
    entry->compressed_size += 12;  // the reader subtracts the standard's header length
  }
  uint64_t end = book.offset();
  if (!book.Seek(entry->local_header_offset) || !book.Write(LocalHeader(*entry)) ||
      !book.Seek(end)) {
    return write_failed();
  }
  return true;
}

// The images of the icon file at `path`.
bool ReadIcon(const fs::path& path, std::vector<IconImage>* images, std::string* error) {
  std::error_code status;
  if (fs::is_directory(path, status)) {
    *error = "icon " + Quote(path) + " is a folder, not an icon file";
    return false;
  }
  std::vector<uint8_t> bytes;
  if (!ReadWhole(path, &bytes, error, kMaxIconFileSize, "an icon (the limit is 16 MB)")) {
    return false;
  }
  std::string why;
  if (!ReadIconFile(ByteView(bytes), images, &why)) {
    // "image 2 is ..." reads best after a colon, "is not an icon file" straight after the name.
    *error = "icon " + Quote(path) + (why.rfind("image ", 0) == 0 ? ": " : " ") + why;
    return false;
  }
  return true;
}

// The title of the start page the reader opens (index.html, else index.htm, in the site's own
// folder), when `start` is one; empty otherwise.
std::u16string StartPageTitle(const SiteFile& start, std::string* error) {
  const std::string name = Fold(start.name);
  if (name != "index.html" && name != "index.htm") {
    return {};
  }
  std::string page;
  ReadOutcome outcome = ReadPieces(
      start,
      [&](const uint8_t* bytes, size_t count) {
        page.append(reinterpret_cast<const char*>(bytes),
                    std::min(count, kTitleScanBytes - page.size()));
        return page.size() < kTitleScanBytes;
      },
      error);
  return outcome == ReadOutcome::kFailed ? std::u16string() : PageTitle(page);
}

bool IsSettingsEntryName(const std::string& name) { return Fold(name) == kBookSettingsEntry; }

class ProgressLine {
 public:
  ProgressLine(std::ostream& out, bool shown, size_t files, uint64_t bytes)
      : out_(out), shown_(shown), files_(files), bytes_(bytes) {}
  ~ProgressLine() {
    if (shown_ && started_) {
      out_ << "\n" << std::flush;
    }
  }
  // Shown when a file is done, and every megabyte inside a large one.
  void Update(size_t files_done, uint64_t bytes_done) {
    if (!shown_ || (files_done == files_done_ && bytes_done < shown_bytes_ + (1 << 20))) {
      return;
    }
    started_ = true;
    files_done_ = files_done;
    shown_bytes_ = bytes_done;
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
  size_t files_done_ = 0;
  uint64_t shown_bytes_ = 0;
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
  if (!ReadWhole(options.reader, &reader, &error)) {
    return fail(error);
  }
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

  // The icon goes into the reader before anything is written, so a bad one stops the run.
  if (!options.icon.empty()) {
    std::vector<IconImage> images;
    if (!ReadIcon(options.icon, &images, &error)) {
      return fail(error);
    }
    std::vector<uint8_t> edited;
    if (!ReplaceProgramIcon(ByteView(reader), images, &edited, &error)) {
      return fail("reader " + Quote(options.reader) + " " + error);
    }
    reader = std::move(edited);
    matches = FindSearchPattern(reader);
    if (matches.size() != 1 || !matches[0].exact) {
      return fail("reader " + Quote(options.reader) +
                  " lost its archive search pattern when its icon was replaced");
    }
    for (const IconImage& image : images) {
      result.icon_sizes.push_back(std::to_string(image.width) + "x" + std::to_string(image.height));
    }
  }
  if (options.title && CleanTitle(*options.title).empty()) {
    return fail("the title given is empty");
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
  if (!CollectFiles(options.site_dir, skip, &files, progress, &error)) {
    return fail(error);
  }
  if (files.empty()) {
    return fail("site folder " + Quote(options.site_dir) + " holds no files");
  }
  if (files.size() >= kMaxEntries) {  // the settings entry takes one
    return fail("site folder " + Quote(options.site_dir) + " holds more than " +
                std::to_string(kMaxEntries - 1) + " files");
  }
  if (!CheckNames(files, &error)) {
    return fail(error);
  }
  for (const SiteFile& file : files) {
    if (IsSettingsEntryName(file.name)) {
      return fail("the site holds " + Quote(file.path) + ", but that name is the book's own (" +
                  kBookSettingsEntry + " carries its title); rename the file");
    }
  }
  size_t first = ChooseFirstEntry(files);
  if (first == files.size()) {
    return fail("no file of the site has a name in plain ASCII letters; the reader finds a book "
                "by its first file, which needs one (rename one file, e.g. to index.htm)");
  }
  std::rotate(files.begin(), files.begin() + first, files.begin() + first + 1);

  // The book's settings entry comes last.
  if (options.title) {
    result.title = CleanTitle(*options.title);
  } else {
    result.title = StartPageTitle(files.front(), &error);
    if (!error.empty()) {
      return fail(error);
    }
    result.title_from_start_page = !result.title.empty();
  }
  SiteFile settings;
  settings.name = kBookSettingsEntry;
  settings.path = kBookSettingsEntry;
  settings.contents = WriteBookSettings(BookSettings{result.title});
  settings.size = settings.contents->size();
  settings.modified = std::time(nullptr);
  const size_t site_files = files.size();
  files.push_back(std::move(settings));
  uint64_t total_bytes = 0;
  for (const SiteFile& file : files) {
    total_bytes += file.size;
  }

  // The book.
  BookFile book(kMaxBookSize);
  if (!book.Create(options.output, &error)) {
    return fail(error);
  }
  auto write_failed = [&]() { return fail("cannot write the book: " + book.error()); };
  if (!book.Write(reader)) {
    return write_failed();
  }
  uint64_t pattern_end = matches[0].offset + sizeof kSearchPattern;
  if (reader.size() < pattern_end + kPatternClearance) {
    std::vector<uint8_t> padding(pattern_end + kPatternClearance - reader.size(), 0);
    if (!book.Write(padding)) {
      return write_failed();
    }
  }
  result.archive_offset = book.offset();
  reader = {};

  CrcTable crc_table;
  std::optional<TraditionalCipher> cipher;  // engaged from the second entry on
  ProgressLine line(progress,
                    options.progress_to_terminal && total_bytes > options.progress_threshold,
                    site_files, total_bytes);
  std::vector<ZipEntry> entries(files.size());
  uint64_t bytes_done = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    if (i == 1 && options.obfuscate) {
      cipher.emplace(crc_table);  // keys start at zero
    }
    // The settings entry, last, counts as no file of the site.
    const size_t files_done = std::min(i, site_files);
    auto read_so_far = [&](uint64_t bytes) { line.Update(files_done, bytes_done + bytes); };
    if (!WriteEntry(book, files[i], i == 0, cipher, crc_table, read_so_far, &entries[i], &error)) {
      return fail(error);
    }
    bytes_done += files[i].size;
    line.Update(std::min(i + 1, site_files), bytes_done);
  }

  uint64_t directory_offset = book.offset();
  for (const ZipEntry& entry : entries) {
    if (!book.Write(CentralHeader(entry))) {
      return write_failed();
    }
  }
  uint64_t directory_size = book.offset() - directory_offset;
  if (!book.Write(EndOfCentralDirectory(static_cast<uint16_t>(entries.size()),
                                        static_cast<uint32_t>(directory_size),
                                        static_cast<uint32_t>(directory_offset)))) {
    return write_failed();
  }
  result.book_size = book.offset();
  if (!book.Commit(options.output, &error)) {
    return fail(error);
  }
  result.ok = true;
  result.entries = site_files;
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
    if (folded) {
      matches.push_back({at, exact});
    }
  }
  return matches;
}

std::string CheckEntryNames(const std::vector<std::string>& names) {
  // Case-folded paths of the files and of the folders that hold them, each with the name that
  // brought it in.
  std::map<std::string, const std::string*> files, folders;
  for (const std::string& name : names) {
    const EntryPath path = SafeEntryPath(name);
    if (path.kind != EntryPath::kFile) {
      return Join("'", name, "' cannot be a path of a file on Windows (it ", path.why, ")");
    }
    const std::string joined = path.Joined('/');
    if (WindowsLength(joined) + kShortestExtractFolder > kMaxPathLength) {
      return Join("the path of '", name, "' is too long for Windows (at most ",
                  std::to_string(kMaxPathLength - kShortestExtractFolder), " characters)");
    }
    const std::string folded = FoldPathCase(joined);
    if (auto [place, added] = files.emplace(folded, &name); !added) {
      return Join("'", *place->second, "' and '", name,
                  "' would be one file on Windows (letter case is ignored there); rename one "
                  "of them");
    }
    if (auto folder = folders.find(folded); folder != folders.end()) {
      return Join("'", name, "' would be a file where '", *folder->second,
                  "' needs a folder on Windows (letter case is ignored there); rename one");
    }
    for (size_t slash = folded.find('/'); slash != std::string::npos;
         slash = folded.find('/', slash + 1)) {
      const std::string prefix = folded.substr(0, slash);
      folders.emplace(prefix, &name);
      if (auto file = files.find(prefix); file != files.end()) {
        return Join("'", *file->second, "' would be a file where '", name,
                    "' needs a folder on Windows (letter case is ignored there); rename one");
      }
    }
  }
  return {};
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
