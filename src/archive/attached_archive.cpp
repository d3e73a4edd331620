#include "archive/attached_archive.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "text/utf.h"

namespace brisomel {

extern const uint8_t kArchivePattern[10] = {0x50, 0x4B, 0x03, 0x04, 0x14,
                                            0x00, 0x02, 0x00, 0x08, 0x00};

namespace {

constexpr uint32_t kLocalHeaderSignature = 0x04034B50;
// Also accepted as a local header, as the reader always has.
constexpr uint32_t kAltHeaderSignature = 0x50000000;
constexpr int kLocalHeaderSize = 30;
constexpr int kChunk = 32768;
constexpr int kEncryptionHeader = 12;
constexpr uint16_t kFlagEnciphered = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;  // sizes and CRC follow the data instead
constexpr char kDirectoryPrefix[] = "brisomel-";
constexpr size_t kRandomDigits = 16;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The upper half of code page 437, the code page of entry names stored without the UTF-8 flag.
constexpr char16_t kCodePage437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8
};

bool EqualFolded(const std::string& a, const std::string& b) { return FoldPathCase(a) == FoldPathCase(b); }

// One part of the problem message: its heading, then one name per line; a long list is cut so
// that the box still fits the screen.
std::string NamesText(const char* heading, const std::vector<std::string>& names) {
  constexpr size_t kMostNamed = 20;
  std::string text = heading;
  for (size_t i = 0; i < names.size() && i < kMostNamed; ++i) text += "\n" + names[i];
  if (names.size() > kMostNamed) {
    text += "\n(and " + std::to_string(names.size() - kMostNamed) + " more)";
  }
  return text;
}

std::string WithoutSeparator(const std::string& dir) {
  std::string d = dir;
  if (!d.empty() && (d.back() == '/' || d.back() == '\\')) d.pop_back();
  return d;
}

}  // namespace

std::string NameFromBuffer(const uint8_t* buffer, size_t length, bool utf8) {
  const uint8_t* end = std::find(buffer, buffer + length, 0);
  const std::string_view bytes(reinterpret_cast<const char*>(buffer), end - buffer);
  if (utf8) return Utf16ToUtf8(Utf8ToUtf16(bytes));
  std::string name;
  name.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      name += static_cast<char>(c);
    } else {
      AppendUtf8(name, kCodePage437High[c - 0x80]);
    }
  }
  return name;
}

// The current entry's data, deciphered when the entry is enciphered; never past its end.
class AttachedArchive::EntrySource : public InflateSource {
 public:
  explicit EntrySource(AttachedArchive& archive) : archive_(archive) {}
  int32_t Read(uint8_t* buffer, int32_t max) override {
    return archive_.ReadEntryData(buffer, max);
  }

 private:
  AttachedArchive& archive_;
};

class AttachedArchive::EntrySink : public InflateSink {
 public:
  explicit EntrySink(AttachedArchive& archive) : archive_(archive) {}
  void Write(const uint8_t* bytes, size_t count) override { archive_.WriteOutput(bytes, count); }

 private:
  AttachedArchive& archive_;
};

AttachedArchive::AttachedArchive(Files& files, System& system)
    : files_(files), system_(system), cipher_(crc_) {}

AttachedArchive::~AttachedArchive() = default;

void AttachedArchive::ExtractAttachedArchive() {
  extracted_files_.clear();
  damaged_.clear();
  unwritten_.clear();
  placed_.clear();
  start_dir_ = files_.CurrentDirectory();
  if (GetTempDirectory().empty()) return;
  files_.SetCurrentDirectory(extract_dir_);
  if (archive_file_name_.empty()) archive_file_name_ = files_.ExecutablePath();
  archive_ = files_.OpenRead(archive_file_name_);
  if (!archive_) {
    files_.SetCurrentDirectory(start_dir_);
    return;
  }
  archive_start_ = FindAttachedArchive();
  if (archive_start_ < 0) {
    archive_.reset();
    files_.SetCurrentDirectory(start_dir_);
    return;
  }
  ExtractEntries();
  archive_.reset();
  ReportProblems();
}

// One box for every entry that did not come out, written or not.
void AttachedArchive::ReportProblems() {
  std::string text;
  if (!unwritten_.empty()) text = NamesText(kUnwrittenEntriesText, unwritten_);
  if (!damaged_.empty()) {
    if (!text.empty()) text += "\n\n";
    text += NamesText(kDamagedEntriesText, damaged_);
  }
  if (!text.empty()) system_.MessageBox(text, kArchiveErrorCaption);
}

int64_t AttachedArchive::FindAttachedArchive() {
  return FindPatternInFile(files_, archive_file_name_, kArchivePattern, sizeof kArchivePattern, 2);
}

int32_t AttachedArchive::ReadArchive(uint8_t* buffer, int32_t count) {
  if (count <= 0) return 0;
  const int32_t got = archive_->Read(buffer, count);
  if (got > 0) position_ += got;
  return std::max<int32_t>(got, 0);
}

int32_t AttachedArchive::ReadEntryData(uint8_t* buffer, int32_t max) {
  const int32_t want = static_cast<int32_t>(std::min<int64_t>({bytes_left_, max, kChunk}));
  const int32_t got = ReadArchive(buffer, want);
  bytes_left_ = got > 0 ? bytes_left_ - got : 0;
  if (enciphered_) cipher_.Decipher(buffer, got);
  return got;
}

void AttachedArchive::WriteOutput(const uint8_t* bytes, size_t count) {
  output_->Write(bytes, static_cast<int32_t>(count));
  output_crc_ = crc_.Update(output_crc_, bytes, count);
}

bool AttachedArchive::SkipTo(int64_t offset) {
  if (offset > archive_size_) return false;
  if (enciphered_) {
    // The keys run through every byte of an enciphered entry, read or not, so that later
    // entries decipher in step with the packer.
    uint8_t buffer[4096];
    while (position_ < offset) {
      const int32_t n = static_cast<int32_t>(std::min<int64_t>(offset - position_, sizeof buffer));
      const int32_t got = ReadArchive(buffer, n);
      if (got <= 0) return false;
      cipher_.Decipher(buffer, got);
    }
    return true;
  }
  if (position_ == offset) return true;
  if (!archive_->Seek(offset)) return false;
  position_ = offset;
  return true;
}

void AttachedArchive::ExtractEntries() {
  archive_size_ = archive_->Size();
  if (archive_start_ > archive_size_ || !archive_->Seek(archive_start_)) {
    system_.MessageBox(kSeekErrorText, kArchiveErrorCaption);
    return;
  }
  position_ = archive_start_;
  std::vector<uint8_t> name_buffer;
  while (ExtractNextEntry(name_buffer)) {
  }
}

bool AttachedArchive::ExtractNextEntry(std::vector<uint8_t>& name_buffer) {
  enciphered_ = false;  // headers, names and extra fields are never enciphered
  uint8_t header[kLocalHeaderSize];
  if (ReadArchive(header, kLocalHeaderSize) != kLocalHeaderSize) return false;
  const uint32_t signature = Le32(header);
  if (signature != kLocalHeaderSignature && signature != kAltHeaderSignature) return false;
  const uint16_t flags = Le16(header + 6);
  const uint16_t method = Le16(header + 8);
  const uint32_t crc = Le32(header + 14);
  const uint32_t compressed_size = Le32(header + 18);
  const uint32_t uncompressed_size = Le32(header + 22);
  const uint16_t name_length = Le16(header + 26);
  const uint16_t extra_length = Le16(header + 28);

  name_buffer.resize(name_length);
  const int32_t name_read = ReadArchive(name_buffer.data(), name_length);
  const std::string name =
      NameFromBuffer(name_buffer.data(), name_read, (flags & kFlagUtf8Name) != 0);
  if (name_read < name_length) {  // the file ends inside the header
    damaged_.push_back(name);
    return false;
  }
  if (name.empty()) {
    system_.MessageBox(kNameErrorText, kArchiveErrorCaption);
    return false;
  }
  if (!SkipTo(position_ + extra_length)) {
    damaged_.push_back(name);
    return false;
  }

  enciphered_ = (flags & kFlagEnciphered) != 0;
  const bool sizes_known = (flags & kFlagDataDescriptor) == 0;
  bytes_left_ = std::max<int64_t>(
      0, static_cast<int64_t>(compressed_size) - (enciphered_ ? kEncryptionHeader : 0));
  const int64_t data_end = position_ + bytes_left_;

  const EntryPath entry = SafeEntryPath(name);
  const std::string path = entry.kind == EntryPath::kUnsafe ? std::string() : Place(entry);
  if (entry.kind == EntryPath::kFile && !path.empty()) {
    extracted_files_.push_back(path);
    std::unique_ptr<File> output = files_.CreateWrite(path);
    if (output) {
      output_ = output.get();
      output_crc_ = 0xFFFFFFFFu;
      bool intact = true;
      if (method == 0) {
        intact = CopyStoredEntry();
      } else if (method == 8) {
        intact = InflateEntry(sizes_known ? uncompressed_size : Inflater::kNoLimit);
      }
      if (!output->Close()) system_.MessageBox(entry.steps.back(), kCloseErrorCaption);
      output_ = nullptr;
      if (sizes_known && ~output_crc_ != crc) intact = false;
      if (!intact) damaged_.push_back(name);
    } else {
      unwritten_.push_back(name);
    }
  } else if (path.empty()) {
    unwritten_.push_back(name);
  }
  // The next header follows the entry's data, however much of it was used.
  return SkipTo(data_end);
}

std::string AttachedArchive::Place(const EntryPath& entry) {
  const char sep = files_.Separator();
  const size_t folders =
      entry.kind == EntryPath::kFolder ? entry.steps.size() : entry.steps.size() - 1;
  std::string folded, spelled;
  for (size_t i = 0; i < entry.steps.size(); ++i) {
    const std::string& step = entry.steps[i];
    const bool folder = i < folders;
    if (i) folded += '/';
    folded += FoldPathCase(step);
    if (auto known = placed_.find(folded); known != placed_.end()) {
      if (known->second.folder != folder) return {};  // a file and a folder of one name
      spelled = known->second.spelled;
      continue;
    }
    if (i) spelled += sep;
    spelled += step;
    const std::string full = extract_dir_ + spelled;
    if (!FitsWindowsPath(full, folder)) return {};
    if (folder) {
      if (!files_.CreateDirectoryExclusive(full) && !files_.DirectoryExists(full)) return {};
    } else if (i == 0 && EqualFolded(step, kLockName)) {
      return {};  // the lock file is the run's own
    }
    placed_.emplace(folded, Placed{spelled, folder});
  }
  return extract_dir_ + spelled;
}

bool AttachedArchive::CopyStoredEntry() {
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(bytes_left_, kChunk)) + 2);
  while (bytes_left_ > 0) {
    const int32_t got = ReadEntryData(buffer.data(), kChunk);
    if (got <= 0) return false;  // the file ends inside the data
    WriteOutput(buffer.data(), got);
  }
  return true;
}

bool AttachedArchive::InflateEntry(uint64_t limit) {
  EntrySource source(*this);
  EntrySink sink(*this);
  return inflater_.Inflate(source, sink, limit) == InflateResult::kOk;
}

bool AttachedArchive::IsOurDirectoryName(const std::string& name) const {
  const size_t prefix = sizeof kDirectoryPrefix - 1;
  if (name.size() != prefix + kRandomDigits || name.compare(0, prefix, kDirectoryPrefix) != 0) {
    return false;
  }
  return std::all_of(name.begin() + prefix, name.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

void AttachedArchive::RemoveDirectoryContents(const std::string& dir) {
  // Folders are emptied from a list of the ones still open rather than by recursion, so a deep
  // tree needs no deep stack. A link is removed as a link, never followed: deleting it as a
  // file or removing it as an empty folder comes first, and only a real folder that holds
  // something is entered.
  const char sep = files_.Separator();
  struct Open {
    std::string path;
    bool listed;
  };
  std::vector<Open> open{{dir, false}};
  while (!open.empty()) {
    if (open.back().listed) {
      if (open.size() > 1) files_.RemoveDirectory(open.back().path);
      open.pop_back();
      continue;
    }
    open.back().listed = true;
    const std::string folder = open.back().path;
    const bool top = open.size() == 1;
    for (const std::string& name : files_.List(folder, "*")) {
      if (top && EqualFolded(name, kLockName)) continue;
      const std::string path = folder + sep + name;
      if (files_.Delete(path) || files_.RemoveDirectory(path)) continue;
      if (files_.DirectoryExists(path)) open.push_back({path, false});
    }
  }
}

void AttachedArchive::RemoveLeftovers(const std::string& base) {
  const char sep = files_.Separator();
  for (const std::string& name : files_.List(base, std::string(kDirectoryPrefix) + "*")) {
    if (!IsOurDirectoryName(name)) continue;
    const std::string dir = base + name;
    const std::string lock_path = dir + sep + kLockName;
    // A directory without its lock file belongs to a run that is just starting.
    if (!files_.DirectoryExists(dir) || !files_.Exists(lock_path)) continue;
    std::unique_ptr<File> lock = files_.HoldLock(lock_path);
    if (!lock) continue;  // its run is alive
    RemoveDirectoryContents(dir);
    lock.reset();
    files_.Delete(lock_path);
    files_.RemoveDirectory(dir);
  }
}

std::string AttachedArchive::GetTempDirectory() {
  if (!extract_dir_.empty()) return extract_dir_;
  std::string base = files_.SystemTempDirectory();
  if (base.empty()) return {};
  const char sep = files_.Separator();
  if (base.back() != '/' && base.back() != '\\') base += sep;
  RemoveLeftovers(base);
  for (int attempt = 0; attempt < 64; ++attempt) {
    uint8_t random[kRandomDigits / 2];
    files_.RandomBytes(random, sizeof random);
    std::string dir = base + kDirectoryPrefix;
    for (uint8_t byte : random) {
      dir += "0123456789abcdef"[byte >> 4];
      dir += "0123456789abcdef"[byte & 15];
    }
    if (!files_.CreateDirectoryExclusive(dir)) continue;  // taken: draw another name
    std::unique_ptr<File> lock = files_.HoldLock(dir + sep + kLockName);
    if (!lock) {
      files_.RemoveDirectory(dir);
      continue;
    }
    lock_ = std::move(lock);
    extract_dir_ = dir + sep;
    return extract_dir_;
  }
  return {};
}

void AttachedArchive::DeleteExtractedFiles() {
  for (const std::string& path : extracted_files_) {
    if (files_.Exists(path)) files_.Delete(path);
  }
  if (extract_dir_.empty()) return;
  const std::string dir = WithoutSeparator(extract_dir_);
  // A process's working directory cannot be removed on Windows.
  if (EqualFolded(WithoutSeparator(files_.CurrentDirectory()), dir)) {
    if (start_dir_.empty() || !files_.SetCurrentDirectory(start_dir_)) {
      files_.SetCurrentDirectory(files_.SystemTempDirectory());
    }
  }
  RemoveDirectoryContents(dir);
  lock_.reset();
  files_.Delete(dir + files_.Separator() + kLockName);
  files_.RemoveDirectory(dir);
  extract_dir_.clear();
}

}  // namespace brisomel
