#include "archive/attached_archive.h"

#include <algorithm>
#include <cstring>

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

bool EqualFolded(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
           return fold(x) == fold(y);
         });
}

std::string WithoutSeparator(const std::string& dir) {
  std::string d = dir;
  if (!d.empty() && (d.back() == '/' || d.back() == '\\')) d.pop_back();
  return d;
}

}  // namespace

std::string StripEntryPath(const std::string& name) {
  const size_t cut = name.find_last_of("/:\\");
  std::string base = cut == std::string::npos ? name : name.substr(cut + 1);
  if (base.size() > 255) base.resize(255);
  return base;
}

std::string NameFromBuffer(const uint8_t* buffer, size_t length) {
  const uint8_t* end = std::find(buffer, buffer + length, 0);
  return std::string(reinterpret_cast<const char*>(buffer), end - buffer);
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
  if (!damaged_.empty()) {
    // One box for all of them; a long list is cut so that the box still fits the screen.
    constexpr size_t kMostNamed = 20;
    std::string text = kDamagedEntriesText;
    for (size_t i = 0; i < damaged_.size() && i < kMostNamed; ++i) text += "\n" + damaged_[i];
    if (damaged_.size() > kMostNamed) {
      text += "\n(and " + std::to_string(damaged_.size() - kMostNamed) + " more)";
    }
    system_.MessageBox(text, kArchiveErrorCaption);
  }
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
  for (;;) {
    enciphered_ = false;  // headers, names and extra fields are never enciphered
    uint8_t header[kLocalHeaderSize];
    if (ReadArchive(header, kLocalHeaderSize) != kLocalHeaderSize) break;
    const uint32_t signature = Le32(header);
    if (signature != kLocalHeaderSignature && signature != kAltHeaderSignature) break;
    const uint16_t flags = Le16(header + 6);
    const uint16_t method = Le16(header + 8);
    const uint32_t crc = Le32(header + 14);
    const uint32_t compressed_size = Le32(header + 18);
    const uint32_t uncompressed_size = Le32(header + 22);
    const uint16_t name_length = Le16(header + 26);
    const uint16_t extra_length = Le16(header + 28);

    name_buffer.resize(name_length);
    const int32_t name_read = ReadArchive(name_buffer.data(), name_length);
    const std::string name = NameFromBuffer(name_buffer.data(), name_read);
    if (name_read < name_length) {  // the file ends inside the header
      damaged_.push_back(name);
      break;
    }
    if (name.empty()) {
      system_.MessageBox(kNameErrorText, kArchiveErrorCaption);
      break;
    }
    if (!SkipTo(position_ + extra_length)) {
      damaged_.push_back(name);
      break;
    }

    enciphered_ = (flags & kFlagEnciphered) != 0;
    const bool sizes_known = (flags & kFlagDataDescriptor) == 0;
    bytes_left_ = std::max<int64_t>(
        0, static_cast<int64_t>(compressed_size) - (enciphered_ ? kEncryptionHeader : 0));
    const int64_t data_end = position_ + bytes_left_;

    // A directory entry has no base name: nothing to write.
    const std::string base = StripEntryPath(name);
    if (!base.empty()) {
      const std::string path = extract_dir_ + base;
      extracted_files_.push_back(path);
      // The lock file is the run's own; an entry of that name cannot take its place.
      std::unique_ptr<File> output =
          EqualFolded(base, kLockName) ? nullptr : files_.CreateWrite(path);
      if (output) {
        output_ = output.get();
        output_crc_ = 0xFFFFFFFFu;
        bool intact = true;
        if (method == 0) {
          intact = CopyStoredEntry();
        } else if (method == 8) {
          intact = InflateEntry(sizes_known ? uncompressed_size : Inflater::kNoLimit);
        }
        if (!output->Close()) system_.MessageBox(base, kCloseErrorCaption);
        output_ = nullptr;
        if (sizes_known && ~output_crc_ != crc) intact = false;
        if (!intact) damaged_.push_back(name);
      }
    }
    // The next header follows the entry's data, however much of it was used.
    if (!SkipTo(data_end)) break;
  }
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
  const char sep = files_.Separator();
  for (const std::string& name : files_.List(dir, "*")) {
    if (EqualFolded(name, kLockName)) continue;
    const std::string path = dir + sep + name;
    if (!files_.Delete(path)) files_.RemoveDirectory(path);
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
