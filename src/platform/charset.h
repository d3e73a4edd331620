// The charset port: bytes in any of the encodings of text/encoding.h to the engine's UTF-16 and
// back. The character tables come from the platform (MultiByteToWideChar and
// WideCharToMultiByte on Windows, glibc's iconv elsewhere); how bytes are cut into characters,
// what an invalid sequence is and what it becomes is decided once, in portable code
// (text/legacy_codec.h), so both adapters give the same results.
//
// It is a link-time port: the library brisomel_charset, which the ports library brings along,
// holds these functions with the adapter of the target (src/platform/win32/charset_win32.cpp
// or src/platform/headless/charset_iconv.cpp), which supplies the tables.
#pragma once

#include <string>
#include <string_view>

#include "text/encoding.h"

namespace brisomel {

// `bytes` in `encoding` as UTF-16. Every invalid or unmappable sequence becomes one U+FFFD
// (never dropped); a byte-order mark is kept as U+FEFF.
std::u16string DecodeBytes(std::string_view bytes, Encoding encoding);

// A page's text: its encoding found by SniffPageEncoding (and stored in *used when given), its
// byte-order mark dropped, the rest decoded.
std::u16string DecodePage(std::string_view bytes, Encoding* used = nullptr);

// A form value as a page in `encoding` submits it: in OutputEncoding(encoding) (UTF-8 for the
// UTF-16 encodings), each character the encoding cannot hold written as "&#NNNN;" with its
// decimal code point, as browsers do. An unpaired surrogate counts as U+FFFD.
std::string EncodeForForm(std::u16string_view text, Encoding encoding);

}  // namespace brisomel
