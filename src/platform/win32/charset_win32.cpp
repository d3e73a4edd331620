// The charset port on Windows: MultiByteToWideChar and WideCharToMultiByte with the code page
// of each table. ISO-8859-10, -14 and -16 have no Windows code page; their upper halves are
// small tables of our own (iso8859_tables.inc). The codec in text/legacy_codec.h does the
// rest, as it does for the iconv adapter.
#include <windows.h>

#include <optional>

#include "text/legacy_codec.h"

namespace brisomel {
namespace {

#include "platform/win32/iso8859_tables.inc"

std::optional<UINT> CodePage(Encoding table) {
  switch (table) {
    case Encoding::kIbm866: return 866;
    case Encoding::kIso8859_2: return 28592;
    case Encoding::kIso8859_3: return 28593;
    case Encoding::kIso8859_4: return 28594;
    case Encoding::kIso8859_5: return 28595;
    case Encoding::kIso8859_6: return 28596;
    case Encoding::kIso8859_7: return 28597;
    case Encoding::kIso8859_8:
    case Encoding::kIso8859_8I: return 28598;
    case Encoding::kIso8859_13: return 28603;
    case Encoding::kIso8859_15: return 28605;
    case Encoding::kKoi8R: return 20866;
    case Encoding::kKoi8U: return 21866;
    case Encoding::kMacintosh: return 10000;
    case Encoding::kWindows874: return 874;
    case Encoding::kWindows1250: return 1250;
    case Encoding::kWindows1251: return 1251;
    case Encoding::kWindows1252: return 1252;
    case Encoding::kWindows1253: return 1253;
    case Encoding::kWindows1254: return 1254;
    case Encoding::kWindows1255: return 1255;
    case Encoding::kWindows1256: return 1256;
    case Encoding::kWindows1257: return 1257;
    case Encoding::kWindows1258: return 1258;
    case Encoding::kXMacCyrillic: return 10007;
    case Encoding::kShiftJis: return 932;
    case Encoding::kEucJp: return 20932;
    case Encoding::kGbk: return 936;
    case Encoding::kBig5: return 950;
    case Encoding::kEucKr: return 949;
    case Encoding::kIbm437: return 437;
    default: return std::nullopt;
  }
}

const char16_t* OwnTable(Encoding table) {
  switch (table) {
    case Encoding::kIso8859_10: return kIso885910High;
    case Encoding::kIso8859_14: return kIso885914High;
    case Encoding::kIso8859_16: return kIso885916High;
    default: return nullptr;
  }
}

bool Win32Decode(std::string_view bytes, Encoding table, std::u16string& out) {
  if (const char16_t* high = OwnTable(table)) {
    for (char c : bytes) {
      const auto b = static_cast<uint8_t>(c);
      out.push_back(b < 0xA0 ? b : high[b - 0xA0]);  // 0x80..0x9F: the C1 controls
    }
    return true;
  }
  const std::optional<UINT> code_page = CodePage(table);
  if (!code_page || bytes.empty()) return code_page.has_value();
  // The codec passes short runs (a few thousand bytes at most), well within an int.
  const int size = static_cast<int>(bytes.size());
  const int units = MultiByteToWideChar(*code_page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (units <= 0) return false;
  const size_t before = out.size();
  out.resize(before + units);
  if (MultiByteToWideChar(*code_page, MB_ERR_INVALID_CHARS, bytes.data(), size,
                          reinterpret_cast<wchar_t*>(out.data() + before), units) != units) {
    out.resize(before);
    return false;
  }
  return true;
}

bool Win32Encode(std::u16string_view text, Encoding table, std::string& out) {
  const std::optional<UINT> code_page = CodePage(table);
  if (!code_page || text.empty()) return code_page.has_value();
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int size = static_cast<int>(text.size());
  // No best-fit approximations: a character the code page lacks must fail, not become "?".
  BOOL used_default = FALSE;
  const int bytes = WideCharToMultiByte(*code_page, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0,
                                        nullptr, &used_default);
  if (bytes <= 0 || used_default) return false;
  const size_t before = out.size();
  out.resize(before + bytes);
  if (WideCharToMultiByte(*code_page, WC_NO_BEST_FIT_CHARS, wide, size, out.data() + before, bytes,
                          nullptr, &used_default) != bytes ||
      used_default) {
    out.resize(before);
    return false;
  }
  return true;
}

}  // namespace

PlatformTables CharsetPlatformTables() { return {Win32Decode, Win32Encode}; }

}  // namespace brisomel
