// The charset port against the adapter of the build: iconv natively, MultiByteToWideChar and
// WideCharToMultiByte under Wine. Both must give these results.
#include "platform/charset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "text/utf.h"

namespace brisomel {
namespace {

std::string Hex(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%s%04X", out.empty() ? "" : " ", static_cast<unsigned>(c));
    out += buffer;
  }
  return out;
}

struct Sample {
  Encoding encoding;
  std::string bytes;
  std::u16string text;
};

// One sample per encoding, each the canonical bytes of its text.
const Sample kSamples[] = {
    {Encoding::kUtf8, "\xD0\x9F\xD1\x80\xD0\xB8 \xE4\xBD\xA0 \xF0\x9F\x98\x80", u"При 你 😀"},
    {Encoding::kIbm866, "\x8F\xE0\xA8\xA2\xA5\xE2", u"Привет"},
    {Encoding::kIso8859_2, "\xA3\xF3" "d\xBC", u"Łódź"},
    {Encoding::kIso8859_3, "\xA1" "a\xF5", u"Ħaġ"},
    {Encoding::kIso8859_4, "\xC0\xAA\xB3", u"ĀĒŗ"},
    {Encoding::kIso8859_5, "\xBF\xE0\xD8\xD2\xD5\xE2", u"Привет"},
    {Encoding::kIso8859_6, "\xD3\xE4\xC7\xE5", u"سلام"},
    {Encoding::kIso8859_7, "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1\xA4", u"Καλημέρα€"},
    {Encoding::kIso8859_8, "\xF9\xEC\xE5\xED\xFD", u"שלום\u200E"},
    {Encoding::kIso8859_8I, "\xF9\xEC\xE5\xED", u"שלום"},
    {Encoding::kIso8859_10, "\xAF\xFF\xA9", u"ŊĸĐ"},
    {Encoding::kIso8859_13, "\xC0\xFE\xA1", u"Ąž”"},
    {Encoding::kIso8859_14, "\xA1\xD0\xFE", u"ḂŴŷ"},
    {Encoding::kIso8859_15, "\xA4\xBC\xB8", u"€Œž"},
    {Encoding::kIso8859_16, "\xAA\xFE\xC3\xA4", u"ȘțĂ€"},
    {Encoding::kKoi8R, "\xF0\xD2\xC9\xD7\xC5\xD4", u"Привет"},
    {Encoding::kKoi8U, "\xB7\xD6\xC1\xCB \xAD\xAE", u"Їжак ґў"},
    {Encoding::kMacintosh, "\x8E\xAA\xF0", u"é™\uF8FF"},
    {Encoding::kWindows874, "\xCA\xC7\xD1\xCA\xB4\xD5\x80", u"สวัสดี€"},
    {Encoding::kWindows1250, "\xA3\xF3" "d\x9F", u"Łódź"},
    {Encoding::kWindows1251, "\xCF\xF0\xE8\xE2\xE5\xF2", u"Привет"},
    {Encoding::kWindows1252, "\x80\x8C\xE9\x81", u"€Œé\u0081"},
    {Encoding::kWindows1253, "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1", u"Καλημέρα"},
    {Encoding::kWindows1254, "\xF0\xFD\xFE\xDD", u"ğışİ"},
    {Encoding::kWindows1255, "\xF9\xEC\xE5\xED", u"שלום"},
    {Encoding::kWindows1256, "\xD3\xE1\xC7\xE3", u"سلام"},
    {Encoding::kWindows1257, "\xC0\xFE", u"Ąž"},
    {Encoding::kWindows1258, "Vi\xEA\xF2t", u"Viê\u0323t"},
    {Encoding::kXMacCyrillic, "\x8F\xF0\xE8\xE2\xE5\xF2", u"Привет"},
    {Encoding::kGbk, "\xC4\xE3\xBA\xC3\x80", u"你好€"},
    {Encoding::kGb18030, "\xC4\xE3\xBA\xC3\x95\x32\x82\x36\x81\x30\x81\x30\xA2\xE3", u"你好\U00020000\u0080€"},
    {Encoding::kBig5, "\xA4\xA4\xA4\xE5", u"中文"},
    {Encoding::kEucJp, "\xC6\xFC\xCB\xDC\xB8\xEC\x8E\xB1", u"日本語ｱ"},
    {Encoding::kIso2022Jp, "a\x1B$BF|K\\8l\x1B(Bb\x1B(J\\\x1B(B", u"a日本語b¥"},
    {Encoding::kShiftJis, "\x93\xFA\x96{\x8C\xEA\xB1\\", u"日本語ｱ\\"},
    {Encoding::kEucKr, "\xC7\xD1\xB1\xB9\xBE\xEE\x8C" "c", u"한국어똠"},
    {Encoding::kXUserDefined, "A\x80\xFF", u"A\uF780\uF7FF"},
    {Encoding::kIbm437, "\x80\x82\xBB", u"Çé╗"},
};

TEST(Charset, EachEncodingDecodesItsSample) {
  for (const Sample& s : kSamples)
    EXPECT_EQ(Hex(DecodeBytes(s.bytes, s.encoding)), Hex(s.text)) << EncodingName(s.encoding);
  EXPECT_EQ(DecodeBytes("\xFF\xFE", Encoding::kUtf16Le), u"\uFEFF");  // a mark is text here
  EXPECT_EQ(DecodeBytes(std::string("A\0=\xD8\x00\xDE", 6), Encoding::kUtf16Le), u"A😀");
  EXPECT_EQ(DecodeBytes(std::string("\0A\xD8=\xDE\x00", 6), Encoding::kUtf16Be), u"A😀");
  EXPECT_EQ(DecodeBytes("anything", Encoding::kReplacement), u"\uFFFD");
  EXPECT_EQ(DecodeBytes("", Encoding::kReplacement), u"");
}

TEST(Charset, EachEncodingEncodesItsSampleBack) {
  for (const Sample& s : kSamples) {
    if (s.encoding == Encoding::kIbm437) continue;  // no form is ever in it
    EXPECT_EQ(EncodeForForm(s.text, s.encoding), s.bytes) << EncodingName(s.encoding);
  }
}

TEST(Charset, InvalidAndUnmappedBytesBecomeOneReplacementEach) {
  const struct {
    const char* name;
    Encoding encoding;
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"utf-8 stray continuation", Encoding::kUtf8, "a\x80z", u"a\uFFFDz"},
      {"utf-8 truncated", Encoding::kUtf8, "a\xE4\xB8", u"a\uFFFD"},
      {"utf-8 overlong", Encoding::kUtf8, "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"utf-8 surrogate", Encoding::kUtf8, "\xED\xA0\x80x", u"\uFFFD\uFFFD\uFFFDx"},
      {"utf-8 four bytes cut", Encoding::kUtf8, "\xF0\x9F\x98(", u"\uFFFD("},
      {"utf-16 odd byte", Encoding::kUtf16Le, std::string("a\0b", 3), u"a\uFFFD"},
      {"utf-16 lone high surrogate", Encoding::kUtf16Le, std::string("\x00\xD8" "a\0", 4), u"\uFFFDa"},
      {"utf-16 lone low surrogate", Encoding::kUtf16Be, std::string("\xDC\x00\x00" "a", 4), u"\uFFFDa"},
      {"utf-16 surrogate at end", Encoding::kUtf16Le, std::string("\x00\xD8", 2), u"\uFFFD"},
      {"windows-1253 undefined", Encoding::kWindows1253, "a\xAA\xD2\xFF\x81", u"a\uFFFD\uFFFD\uFFFD\u0081"},
      {"windows-874 undefined", Encoding::kWindows874, "\xDB\xFC\x81", u"\uFFFD\uFFFD\u0081"},
      {"iso-8859-3 undefined", Encoding::kIso8859_3, "\xA5\xAE", u"\uFFFD\uFFFD"},
      {"iso-8859-6 undefined", Encoding::kIso8859_6, "\xA1\xC1", u"\uFFFD\u0621"},
      {"shift_jis hides no ascii", Encoding::kShiftJis, "\x82\x22" "a", u"\uFFFD\"a"},
      {"shift_jis unmapped pair", Encoding::kShiftJis, "\x85\x40", u"\uFFFD@"},
      {"shift_jis unmapped high pair", Encoding::kShiftJis, "\x85\x9F", u"\uFFFD"},
      {"shift_jis lead at end", Encoding::kShiftJis, "a\x82", u"a\uFFFD"},
      {"shift_jis single bytes", Encoding::kShiftJis, "\x80\xA0\xFD", u"\u0080\uFFFD\uFFFD"},
      {"shift_jis user-defined", Encoding::kShiftJis, "\xF0\x40\xF9\xFC", u"\uE000\uE757"},
      {"shift_jis among good pairs", Encoding::kShiftJis, "\x93\xFA\x85\x40\x96{", u"日\uFFFD@本"},
      {"euc-jp bad trail", Encoding::kEucJp, "\xA4" "A", u"\uFFFDA"},
      {"euc-jp unmapped row", Encoding::kEucJp, "\xA9\xA1\xA4\xA2", u"\uFFFDあ"},
      {"euc-jp katakana bad", Encoding::kEucJp, "\x8E\xE0", u"\uFFFD"},
      {"euc-jp cut", Encoding::kEucJp, "\x8F\xB0", u"\uFFFD"},
      {"iso-2022-jp escapes with nothing between", Encoding::kIso2022Jp, "\x1B$B\x1B(Ba", u"\uFFFDa"},
      {"iso-2022-jp unknown escape", Encoding::kIso2022Jp, "\x1B(Xa", u"\uFFFD(Xa"},
      {"iso-2022-jp pair cut by newline", Encoding::kIso2022Jp, "\x1B$BF\n\x1B(B", u"\uFFFD"},
      {"iso-2022-jp eight-bit byte", Encoding::kIso2022Jp, "a\xA4z", u"a\uFFFDz"},
      {"iso-2022-jp katakana", Encoding::kIso2022Jp, "\x1B(I1\x1B(B", u"ｱ"},
      {"gb18030 cut four bytes", Encoding::kGb18030, "\x81\x30\x81", u"\uFFFD"},
      {"gb18030 bad third byte", Encoding::kGb18030, "\x81\x30" "A", u"\uFFFD0A"},
      {"gb18030 bad fourth byte", Encoding::kGb18030, "\x81\x30\x81" "A", u"\uFFFD0\u4E04"},
      {"gb18030 unassigned four bytes", Encoding::kGb18030, "\x84\x31\xA5\x30", u"\uFFFD"},
      {"gbk pairs 936 leaves to private use", Encoding::kGbk, "\xA2\xE3\xA6\xD9\xFE\x50\xFE\x51\xA3\xA0",
       u"€\uFE10\u2E81\uE816\u3000"},
      {"gbk user-defined area", Encoding::kGbk, "\xAA\xA1", u"\uE000"},
      {"gbk bad trail", Encoding::kGbk, "\xC4\x7F" "a\xFF", u"\uFFFD\x7F" "a\uFFFD"},
      {"big5 hides no ascii", Encoding::kBig5, "\xA4\"", u"\uFFFD\""},
      {"big5 two code points", Encoding::kBig5, "\x88\x62", u"\u00CA\u0304"},
      {"big5 single bytes", Encoding::kBig5, "\x80\xFF", u"\uFFFD\uFFFD"},
      {"euc-kr hides no ascii", Encoding::kEucKr, "\xC7\"", u"\uFFFD\""},
      {"euc-kr user-defined area", Encoding::kEucKr, "\xC9\xA1", u"\uFFFD"},
  };
  for (const auto& c : cases) EXPECT_EQ(Hex(DecodeBytes(c.bytes, c.encoding)), Hex(c.text)) << c.name;
}

// Every byte of each single-byte encoding, and every lead and trail pair of the double-byte
// ones (each pair on a line of its own, so that an error cannot shift the rest), decoded and
// summed up: both adapters must read whole tables alike, not only the samples above.
uint64_t Fingerprint(std::u16string_view text) {
  uint64_t hash = 14695981039346656037ull;
  for (char16_t c : text) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

TEST(Charset, WholeTablesReadAlikeOnEveryPlatform) {
  std::string single, pairs;
  for (int b = 0x80; b <= 0xFF; ++b) single.push_back(static_cast<char>(b));
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) pairs += {static_cast<char>(lead), static_cast<char>(trail), '\n'};
  const struct {
    Encoding encoding;
    uint64_t fingerprint;
  } tables[] = {
      {Encoding::kIbm866, 0xE80A00CC88B882BDull}, {Encoding::kIso8859_2, 0x1FE35A768ABEDF4Eull},
      {Encoding::kIso8859_3, 0xF88DCC0B67D9BF44ull}, {Encoding::kIso8859_4, 0x40F9A75E46C17D41ull},
      {Encoding::kIso8859_5, 0xB1EC712AA17A51C1ull}, {Encoding::kIso8859_6, 0x1FD1D8637F72A259ull},
      {Encoding::kIso8859_7, 0x91A53D82E0317A7Full}, {Encoding::kIso8859_8, 0x24E230D508F38234ull},
      {Encoding::kIso8859_8I, 0x24E230D508F38234ull}, {Encoding::kIso8859_10, 0x586C45B58997516Eull},
      {Encoding::kIso8859_13, 0x99C1E41F17F1140Cull}, {Encoding::kIso8859_14, 0x971DA2C2FA530684ull},
      {Encoding::kIso8859_15, 0x036B526178784987ull}, {Encoding::kIso8859_16, 0xCFF2A0B6541210EBull},
      {Encoding::kKoi8R, 0x90A97FC4A62AF069ull}, {Encoding::kKoi8U, 0xF190D101E084A267ull},
      {Encoding::kMacintosh, 0xFCF2F2B735BCFFE8ull}, {Encoding::kWindows874, 0x98BBC1EDD7CE36D1ull},
      {Encoding::kWindows1250, 0xA1FA1552C38EDF05ull}, {Encoding::kWindows1251, 0x9A872E595F76D19Dull},
      {Encoding::kWindows1252, 0xD5FD16FDFDE3858Full}, {Encoding::kWindows1253, 0xCF187496903938ABull},
      {Encoding::kWindows1254, 0x806540A5F267B8C7ull}, {Encoding::kWindows1255, 0xBD0BF0C2A6F66FAFull},
      {Encoding::kWindows1256, 0x9DB24AE2CEC223E0ull}, {Encoding::kWindows1257, 0xE13D7E48729982E4ull},
      {Encoding::kWindows1258, 0x4B8C3BB3BACD42B6ull}, {Encoding::kXMacCyrillic, 0x589972545F2F6E02ull},
      {Encoding::kGbk, 0xB26C66AE68128673ull}, {Encoding::kGb18030, 0xB26C66AE68128673ull},
      {Encoding::kBig5, 0x73B4E92407C3187Aull}, {Encoding::kEucJp, 0xD576E889F2D62F1Cull},
      {Encoding::kShiftJis, 0x3E6D89068D2C848Eull}, {Encoding::kEucKr, 0x1F04CAB3E3CF19B5ull},
      {Encoding::kIbm437, 0x287A00C7E098B2E0ull},
  };
  for (const auto& t : tables) {
    const std::u16string text = DecodeBytes(IsSingleByteEncoding(t.encoding) ? single : pairs, t.encoding);
    EXPECT_EQ(Fingerprint(text), t.fingerprint) << EncodingName(t.encoding) << " (" << text.size() << " units, "
                                                << std::count(text.begin(), text.end(), u'\uFFFD') << " U+FFFD)";
  }
}

TEST(Charset, DecodePageSniffsAndDropsTheMark) {
  Encoding used = Encoding::kUtf8;
  EXPECT_EQ(DecodePage("\xEF\xBB\xBFZ\xC3\xA9", &used), u"Zé");
  EXPECT_EQ(used, Encoding::kUtf8);
  EXPECT_EQ(DecodePage(std::string("\xFE\xFF\x04\x1F", 4), &used), u"П");
  EXPECT_EQ(used, Encoding::kUtf16Be);
  EXPECT_EQ(DecodePage("<meta charset=windows-1251>\xCF", &used), u"<meta charset=windows-1251>П");
  EXPECT_EQ(used, Encoding::kWindows1251);
  const std::string sjis = "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">\x93\xFA";
  EXPECT_EQ(DecodePage(sjis, &used).substr(sjis.size() - 2), u"日");
  EXPECT_EQ(used, Encoding::kShiftJis);
  EXPECT_EQ(DecodePage("caf\xC3\xA9", &used), u"café");
  EXPECT_EQ(used, Encoding::kUtf8);
  EXPECT_EQ(DecodePage("caf\xE9"), u"café");  // windows-1252
}

TEST(Charset, FormValuesWriteWhatTheEncodingLacksAsReferences) {
  const std::u16string russian = u"Привет, 中文 😀";
  EXPECT_EQ(EncodeForForm(russian, Encoding::kUtf8), Utf16ToUtf8(russian));
  EXPECT_EQ(EncodeForForm(russian, Encoding::kWindows1251),
            "\xCF\xF0\xE8\xE2\xE5\xF2, &#20013;&#25991; &#128512;");
  EXPECT_EQ(EncodeForForm(russian, Encoding::kUtf16Le), Utf16ToUtf8(russian));
  EXPECT_EQ(EncodeForForm(u"Āé", Encoding::kWindows1252), "&#256;\xE9");
  const std::u16string lone = std::u16string(u"a") + char16_t(0xD800);
  EXPECT_EQ(EncodeForForm(lone, Encoding::kUtf8), "a\xEF\xBF\xBD");
  EXPECT_EQ(EncodeForForm(lone, Encoding::kWindows1251), "a&#65533;");
  EXPECT_EQ(EncodeForForm(u"日ѐ", Encoding::kShiftJis), "\x93\xFA&#1104;");
  EXPECT_EQ(EncodeForForm(u"\uE000", Encoding::kShiftJis), "&#57344;");  // user-defined: not sent
  EXPECT_EQ(EncodeForForm(u"¥‾", Encoding::kShiftJis), "\\~");
  EXPECT_EQ(EncodeForForm(u"a日b¥ѐ", Encoding::kIso2022Jp), "a\x1B$BF|\x1B(Bb\x1B(J\\&#1104;\x1B(B");
  EXPECT_EQ(EncodeForForm(u"ｱ", Encoding::kIso2022Jp), "\x1B$B%\"\x1B(B");  // as fullwidth
  EXPECT_EQ(EncodeForForm(u"€😀", Encoding::kGb18030), "\xA2\xE3\x94\x39\xFC\x36");
  EXPECT_EQ(EncodeForForm(u"€😀", Encoding::kGbk), "\x80&#128512;");
  EXPECT_EQ(EncodeForForm(u"\uFE10\U00020087\uE816", Encoding::kGb18030), "\xA6\xD9\x95\x32\x90\x31\xFE\x51");
  EXPECT_EQ(EncodeForForm(u"中\uE000", Encoding::kBig5), "\xA4\xA4&#57344;");
  EXPECT_EQ(EncodeForForm(u"한日", Encoding::kEucKr), "\xC7\xD1\xEC\xED");
  EXPECT_EQ(EncodeForForm(u"😀", Encoding::kEucKr), "&#128512;");
}

}  // namespace
}  // namespace brisomel
