// The charset port on glibc's iconv (the native build). iconv supplies the character tables;
// the codec in text/legacy_codec.h does the rest, as it does for the Windows adapter.
#include <iconv.h>

#include <array>
#include <bit>
#include <cerrno>

#include "text/legacy_codec.h"

namespace brisomel {
namespace {

static_assert(std::endian::native == std::endian::little, "UTF-16LE is the engine's char16_t");

// iconv's name for each table the codec asks for: Microsoft's tables where the Windows adapter
// uses a code page, so that both read the same bytes the same way.
const char* IconvName(Encoding table) {
  switch (table) {
    case Encoding::kIbm866: return "IBM866";
    case Encoding::kIso8859_2: return "ISO-8859-2";
    case Encoding::kIso8859_3: return "ISO-8859-3";
    case Encoding::kIso8859_4: return "ISO-8859-4";
    case Encoding::kIso8859_5: return "ISO-8859-5";
    case Encoding::kIso8859_6: return "ISO-8859-6";
    case Encoding::kIso8859_7: return "ISO-8859-7";
    case Encoding::kIso8859_8:
    case Encoding::kIso8859_8I: return "ISO-8859-8";
    case Encoding::kIso8859_10: return "ISO-8859-10";
    case Encoding::kIso8859_13: return "ISO-8859-13";
    case Encoding::kIso8859_14: return "ISO-8859-14";
    case Encoding::kIso8859_15: return "ISO-8859-15";
    case Encoding::kIso8859_16: return "ISO-8859-16";
    case Encoding::kKoi8R: return "KOI8-R";
    case Encoding::kKoi8U: return "KOI8-U";
    case Encoding::kMacintosh: return "MACINTOSH";
    case Encoding::kWindows874: return "CP874";
    case Encoding::kWindows1250: return "CP1250";
    case Encoding::kWindows1251: return "CP1251";
    case Encoding::kWindows1252: return "CP1252";
    case Encoding::kWindows1253: return "CP1253";
    case Encoding::kWindows1254: return "CP1254";
    case Encoding::kWindows1255: return "CP1255";
    case Encoding::kWindows1256: return "CP1256";
    case Encoding::kWindows1257: return "CP1257";
    case Encoding::kWindows1258: return "CP1258";
    case Encoding::kXMacCyrillic: return "MAC-CYRILLIC";
    case Encoding::kShiftJis: return "CP932";
    case Encoding::kEucJp: return "EUC-JP";
    case Encoding::kGbk: return "GB18030";  // pairs only; it has the user-defined areas CP936 lacks
    case Encoding::kBig5: return "CP950";
    case Encoding::kEucKr: return "CP949";
    case Encoding::kIbm437: return "IBM437";
    default: return nullptr;
  }
}

// Conversion descriptors, opened on first use and kept for the thread's life (iconv_t may not
// be shared between threads).
class Descriptors {
 public:
  ~Descriptors() {
    for (iconv_t cd : slots_)
      if (cd != kNone && cd != kFailed) iconv_close(cd);
  }

  // Nothing (kFailed) when iconv lacks the table.
  iconv_t Get(Encoding table, bool to_utf16) {
    iconv_t& slot = slots_[static_cast<size_t>(table) * 2 + (to_utf16 ? 1 : 0)];
    if (slot == kNone) {
      const char* name = IconvName(table);
      slot = name ? iconv_open(to_utf16 ? "UTF-16LE" : name, to_utf16 ? name : "UTF-16LE") : kFailed;
      if (slot == kNone) slot = kFailed;  // iconv_open's failure is (iconv_t)-1
    }
    if (slot != kFailed) iconv(slot, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return slot;
  }

  static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
  static inline const iconv_t kFailed = reinterpret_cast<iconv_t>(-2);

 private:
  std::array<iconv_t, kEncodingCount * 2> slots_ = Filled();
  static std::array<iconv_t, kEncodingCount * 2> Filled() {
    std::array<iconv_t, kEncodingCount * 2> slots;
    slots.fill(kNone);
    return slots;
  }
};

thread_local Descriptors descriptors;

// Converts all of `in` strictly into `out` (at most `capacity` bytes); the bytes written, or
// nothing when iconv stops at a sequence it cannot convert.
std::optional<size_t> Convert(iconv_t cd, const char* in, size_t size, char* out, size_t capacity) {
  char* in_at = const_cast<char*>(in);
  char* out_at = out;
  size_t out_left = capacity;
  const size_t result = iconv(cd, &in_at, &size, &out_at, &out_left);
  // A count above zero means characters were converted "irreversibly", that is approximated.
  if (result != 0 || size != 0) return std::nullopt;
  const size_t flushed = iconv(cd, nullptr, nullptr, &out_at, &out_left);
  if (flushed == static_cast<size_t>(-1)) return std::nullopt;
  return capacity - out_left;
}

bool IconvDecode(std::string_view bytes, Encoding table, std::u16string& out) {
  const iconv_t cd = descriptors.Get(table, true);
  if (cd == Descriptors::kFailed) return false;
  // No table gives more than one UTF-16 unit per byte; a few spare units for a bad one.
  const size_t before = out.size();
  out.resize(before + bytes.size() + 4);
  const std::optional<size_t> written = Convert(cd, bytes.data(), bytes.size(),
                                                reinterpret_cast<char*>(out.data() + before),
                                                (bytes.size() + 4) * sizeof(char16_t));
  if (!written || *written % 2) {
    out.resize(before);
    return false;
  }
  out.resize(before + *written / 2);
  return true;
}

bool IconvEncode(std::u16string_view text, Encoding table, std::string& out) {
  const iconv_t cd = descriptors.Get(table, false);
  if (cd == Descriptors::kFailed) return false;
  const size_t before = out.size();
  out.resize(before + text.size() * 4 + 8);
  const std::optional<size_t> written =
      Convert(cd, reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t),
              out.data() + before, text.size() * 4 + 8);
  out.resize(written ? before + *written : before);
  return written.has_value();
}

}  // namespace

PlatformTables CharsetPlatformTables() { return {IconvDecode, IconvEncode}; }

}  // namespace brisomel
