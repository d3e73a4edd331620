#include "archive/entry_path.h"

#include <cstring>

#include "text/case_fold.h"
#include "text/utf.h"

namespace brisomel {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Device names that Windows opens in place of a file of that name, whatever its extension.
bool IsDeviceName(const std::string& step) {
  std::string base = FoldPathCase(step.substr(0, step.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"}) {
    if (base == device) return true;
  }
  return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

// Why Windows cannot hold `step` as a file or folder name, or empty when it can.
std::string StepProblem(const std::string& step) {
  for (unsigned char c : step) {
    if (c < 32 || std::strchr("<>\"|?*", c) != nullptr) return "holds a character Windows forbids";
  }
  if (step.back() == '.' || step.back() == ' ') return "has a name ending in a dot or space";
  if (WindowsLength(step) > kMaxStepLength) return "has a name longer than 255 characters";
  if (IsDeviceName(step)) return "has a reserved device name";
  return {};
}

EntryPath Unsafe(std::string why) {
  EntryPath path;
  path.why = std::move(why);
  return path;
}

}  // namespace

std::string FoldPathCase(std::string text) {
  bool ascii = true;
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
  }
  if (ascii) return text;
  return Utf16ToUtf8(FoldCase(Utf8ToUtf16(text)));
}

size_t WindowsLength(std::string_view text) {
  size_t units = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++units;  // a lead byte or ASCII starts a character
    if (c >= 0xF0) ++units;           // beyond the BMP: a surrogate pair
  }
  return units;
}

std::string EntryPath::Joined(char separator) const {
  std::string joined;
  for (const std::string& step : steps) {
    if (!joined.empty()) joined += separator;
    joined += step;
  }
  return joined;
}

EntryPath SafeEntryPath(const std::string& name) {
  if (name.empty()) return Unsafe("is empty");
  if (IsSeparator(name[0])) return Unsafe("is an absolute path");
  if (name.find(':') != std::string::npos) return Unsafe("holds a drive or a colon");
  EntryPath path;
  path.kind = IsSeparator(name.back()) ? EntryPath::kFolder : EntryPath::kFile;
  const size_t end = path.kind == EntryPath::kFolder ? name.size() - 1 : name.size();
  size_t start = 0;
  while (start <= end) {
    size_t stop = start;
    while (stop < end && !IsSeparator(name[stop])) ++stop;
    const std::string step = name.substr(start, stop - start);
    start = stop + 1;
    if (step.empty()) return Unsafe("has an empty step");
    if (step == ".") continue;
    if (step == "..") {
      if (path.steps.empty()) return Unsafe("leaves the book's folder");
      path.steps.pop_back();
      continue;
    }
    if (std::string problem = StepProblem(step); !problem.empty()) return Unsafe(problem);
    path.steps.push_back(step);
  }
  // A folder entry for the folder itself ("./") asks for nothing.
  if (path.steps.empty() && path.kind == EntryPath::kFile) return Unsafe("names no file");
  return path;
}

bool FitsWindowsPath(const std::string& path, bool folder) {
  if (folder) return WindowsLength(path) <= kMaxFolderPathLength;
  const size_t separator = path.find_last_of("/\\");
  return WindowsLength(path) <= kMaxPathLength &&
         (separator == std::string::npos ||
          WindowsLength(std::string_view(path).substr(0, separator)) <= kMaxFolderPathLength);
}

}  // namespace brisomel
