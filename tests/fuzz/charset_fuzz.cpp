// Sniffing and decoding any bytes in any encoding, and encoding what comes out for a form.
// Checks that decoding never grows the text past one unit per byte (plus one), always gives
// well-formed UTF-16, that UTF-8 round-trips, and that a form value written without "&#"
// references decodes back to the same text (except ISO-2022-JP's halfwidth katakana, which
// are written fullwidth).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/charset.h"
#include "text/case_fold.h"
#include "text/utf.h"

namespace {

using namespace brisomel;

bool WellFormed(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsLowSurrogate(text[i])) return false;
    if (IsHighSurrogate(text[i]) && (++i == text.size() || !IsLowSurrogate(text[i]))) return false;
  }
  return true;
}

void Check(std::string_view bytes, Encoding encoding, const std::u16string& text) {
  if (text.size() > bytes.size() + 1 || !WellFormed(text)) abort();
  if (FoldCase(text).size() != text.size()) abort();
  const std::string form = EncodeForForm(text, encoding);
  if (encoding == Encoding::kIso2022Jp &&
      text.find_first_of(u"ｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ｡｢｣､･ｦ") != std::u16string::npos)
    return;
  if (form.find("&#") == std::string::npos && DecodeBytes(form, OutputEncoding(encoding)) != text) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto encoding = static_cast<Encoding>(data[0] % kEncodingCount);
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  Check(bytes, encoding, DecodeBytes(bytes, encoding));

  Encoding used = Encoding::kUtf8;
  const std::u16string page = DecodePage(bytes, &used);
  if (used != SniffPageEncoding(bytes)) abort();
  const std::optional<ByteOrderMark> mark = FindByteOrderMark(bytes);
  Check(bytes.substr(mark ? mark->length : 0), used, page);

  if (Utf8ToUtf16(Utf16ToUtf8(page)) != page) abort();
  return 0;
}
