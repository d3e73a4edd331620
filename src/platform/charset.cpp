// The charset port's functions, the same for every target: the codec around the tables of the
// adapter the target links (CharsetPlatformTables).
#include "platform/charset.h"

#include "text/legacy_codec.h"

namespace brisomel {
namespace {

LegacyCodec& Codec() {
  static LegacyCodec codec(CharsetPlatformTables());
  return codec;
}

}  // namespace

std::u16string DecodeBytes(std::string_view bytes, Encoding encoding) {
  return Codec().Decode(bytes, encoding);
}

std::u16string DecodePage(std::string_view bytes, Encoding* used) {
  return Codec().DecodePage(bytes, used);
}

std::string EncodeForForm(std::u16string_view text, Encoding encoding) {
  return Codec().EncodeForForm(text, encoding);
}

}  // namespace brisomel
