// The ZIP archive appended to the reader's own executable: finding it, extracting its entries
// into a private directory made for this run, and removing them again at exit.
//
//   AttachedArchive archive(files, system);
//   archive.ExtractAttachedArchive();   // at start-up; reports its own errors, never throws
//   archive.GetTempDirectory();         // the run's private directory, ending in a separator
//   archive.ExtractedFiles();           // every path the walk set out to write
//   archive.DeleteExtractedFiles();     // at exit: the files, then the directory
//
// The walk reads local headers from the first one the search finds to the first record that
// is not a local header; the central directory is never read. Each entry is written at its
// relative path under the private directory, its folders made as needed, so that pages,
// pictures and links meet across folders as they did in the site; folder entries are made as
// folders. Paths that differ only in the case of ASCII letters name one file, spelled as the
// first of them was (as on Windows, on every platform). A name that could leave the directory
// or that Windows cannot hold (see entry_path.h) is not written, and is named after the walk
// together with the entries that could not be created and the damaged ones. Enciphered
// entries (flag bit 0) are deciphered with keys that start at zero and carry over from one
// entry to the next for the object's whole life; their header's compressed size counts 12
// bytes more than the data that follows.
//
// The private directory is "brisomel-" and 16 random hex digits inside the system's temporary
// directory, created exclusively and owner-only, with a lock file inside held open for the run.
// At first use, directories of that form whose lock nobody holds (runs that ended without
// cleaning up) are removed with their contents; a live run's directory is never touched.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/cipher.h"
#include "archive/crc32.h"
#include "archive/entry_path.h"
#include "archive/inflate.h"
#include "archive/pattern_search.h"
#include "platform/files.h"

namespace brisomel {

// The ten bytes that start the archive's first local header: signature, version needed 20,
// flags 0x0002, method 8. Defined once, so that the program image holds one copy and the
// archive search looks for the second occurrence.
extern const uint8_t kArchivePattern[10];

inline constexpr char kArchiveErrorCaption[] = "Archive error..";
inline constexpr char kCloseErrorCaption[] = "Error Closing...";
inline constexpr char kSeekErrorText[] = "Error finding attached archive.";
inline constexpr char kNameErrorText[] = "Error retreiving filename.";
// First lines of the parts of the message that names entries, one per line after it.
inline constexpr char kDamagedEntriesText[] = "These files of the book are damaged:";
inline constexpr char kUnwrittenEntriesText[] = "These files of the book could not be written:";

// Flag bit 11: the entry's name is UTF-8; without it the name is in code page 437.
inline constexpr uint16_t kFlagUtf8Name = 0x0800;

// An entry's name as UTF-8: the `length` bytes of `buffer` cut before the first NUL byte,
// read as UTF-8 when `utf8` (the flag above) is set, else as code page 437. Invalid UTF-8
// sequences become U+FFFD.
std::string NameFromBuffer(const uint8_t* buffer, size_t length, bool utf8);

class AttachedArchive {
 public:
  AttachedArchive(Files& files, System& system);
  ~AttachedArchive();
  AttachedArchive(const AttachedArchive&) = delete;
  AttachedArchive& operator=(const AttachedArchive&) = delete;

  // Finds the archive in `ArchiveFileName` (the running executable unless set) and writes
  // every entry into the private directory, which is left as the working directory. Without
  // an archive, the working directory is restored and nothing is shown. Entries that could not
  // be written (unsafe names, files that could not be created) and damaged ones (CRC
  // mismatch, or decoding that ended early) are named in one message box after the walk.
  void ExtractAttachedArchive();
  // File offset of the archive's first local header (second occurrence of the pattern), or -1.
  int64_t FindAttachedArchive();
  // The run's private directory, made on first use, ending in a separator; empty when it
  // cannot be made.
  std::string GetTempDirectory();
  const std::vector<std::string>& ExtractedFiles() const { return extracted_files_; }
  // Deletes every listed file that still exists, everything else in the private directory
  // (its folders with all they hold), the lock, and the directory itself. When the directory is the working
  // directory, the working directory first goes back to where extraction started.
  void DeleteExtractedFiles();

  void SetArchiveFileName(const std::string& name) { archive_file_name_ = name; }
  const std::string& ArchiveFileName() const { return archive_file_name_; }
  int64_t ArchiveStart() const { return archive_start_; }
  // Entry names of the last extraction that did not come out intact.
  const std::vector<std::string>& DamagedEntries() const { return damaged_; }
  // Entry names of the last extraction that were not written at all.
  const std::vector<std::string>& UnwrittenEntries() const { return unwritten_; }

  static constexpr char kLockName[] = "brisomel.lock";

 private:
  class EntrySource;
  class EntrySink;

  struct Placed {
    std::string spelled;  // the relative path as first written
    bool folder;
  };

  void ExtractEntries();
  // Reads the next local header and writes its entry; false when the walk ends.
  bool ExtractNextEntry(std::vector<uint8_t>& name_buffer);
  // The full path `entry` is written to, its folders made; empty when it cannot be written.
  std::string Place(const EntryPath& entry);
  void ReportProblems();
  bool CopyStoredEntry();
  bool InflateEntry(uint64_t limit);
  int32_t ReadArchive(uint8_t* buffer, int32_t count);
  int32_t ReadEntryData(uint8_t* buffer, int32_t max);
  void WriteOutput(const uint8_t* bytes, size_t count);
  bool SkipTo(int64_t offset);
  void RemoveLeftovers(const std::string& base);
  // Removes everything below `dir` but the lock file, folders with what they hold.
  void RemoveDirectoryContents(const std::string& dir);
  bool IsOurDirectoryName(const std::string& name) const;

  Files& files_;
  System& system_;
  CrcTable crc_;
  TraditionalCipher cipher_;
  Inflater inflater_;

  std::vector<std::string> extracted_files_;
  std::vector<std::string> damaged_;
  std::vector<std::string> unwritten_;
  std::map<std::string, Placed> placed_;  // by case-folded relative path, '/' between steps
  std::string archive_file_name_;
  std::string extract_dir_;  // with trailing separator
  std::string start_dir_;
  std::unique_ptr<File> lock_;
  int64_t archive_start_ = -1;

  // The walk's state.
  std::unique_ptr<File> archive_;
  int64_t archive_size_ = 0;
  int64_t position_ = 0;     // archive file position
  int64_t bytes_left_ = 0;   // data bytes of the current entry not yet read
  bool enciphered_ = false;  // the current entry has flag bit 0
  File* output_ = nullptr;
  uint32_t output_crc_ = 0xFFFFFFFFu;
};

}  // namespace brisomel
