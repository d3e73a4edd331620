// The header walk on arbitrary bytes appended to a program image that holds the pattern once.
// The input is taken as the archive; a valid first header is put in front half of the time so
// that the walk goes past the first entry often.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archive/attached_archive.h"
#include "platform/headless/memory_files.h"
#include "platform/headless/recording_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> book(300, 0xCC);
  std::memcpy(book.data() + 20, brisomel::kArchivePattern, sizeof brisomel::kArchivePattern);
  if (size > 0 && (data[0] & 1)) {
    book.insert(book.end(), brisomel::kArchivePattern,
                brisomel::kArchivePattern + sizeof brisomel::kArchivePattern);
    ++data;
    --size;
  }
  book.insert(book.end(), data, data + size);

  brisomel::MemoryFiles files;
  brisomel::RecordingSystem system;
  files.Put("/book.exe", book);
  brisomel::AttachedArchive archive(files, system);
  archive.SetArchiveFileName("/book.exe");
  archive.ExtractAttachedArchive();
  // Nothing is written outside the private directory, and nothing stays after deletion.
  const std::string dir = archive.GetTempDirectory();
  for (const std::string& path : files.FilePaths()) {
    if (path != "/book.exe" && path.rfind(dir, 0) != 0) std::abort();
  }
  archive.DeleteExtractedFiles();
  if (files.FilePaths().size() != 1) std::abort();
  return 0;
}
