#include "text/encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace brisomel {
namespace {

TEST(EncodingForLabel, ReadsLabelsAsTheEncodingStandardDoes) {
  const struct {
    const char* label;
    Encoding encoding;
  } cases[] = {
      {"utf-8", Encoding::kUtf8},
      {"UTF8", Encoding::kUtf8},
      {" \t\n\f\rUnicode-1-1-UTF-8 \r\n", Encoding::kUtf8},
      {"x-unicode20utf8", Encoding::kUtf8},
      {"latin1", Encoding::kWindows1252},
      {"ISO-8859-1", Encoding::kWindows1252},
      {"ascii", Encoding::kWindows1252},
      {"us-ascii", Encoding::kWindows1252},
      {"iso-8859-9", Encoding::kWindows1254},
      {"tis-620", Encoding::kWindows874},
      {"iso-8859-11", Encoding::kWindows874},
      {"cp1251", Encoding::kWindows1251},
      {"x-sjis", Encoding::kShiftJis},
      {"ms932", Encoding::kShiftJis},
      {"windows-31j", Encoding::kShiftJis},
      {"gb2312", Encoding::kGbk},
      {"GBK", Encoding::kGbk},
      {"gb18030", Encoding::kGb18030},
      {"big5-hkscs", Encoding::kBig5},
      {"x-euc-jp", Encoding::kEucJp},
      {"csiso2022jp", Encoding::kIso2022Jp},
      {"ks_c_5601-1987", Encoding::kEucKr},
      {"windows-949", Encoding::kEucKr},
      {"koi8-ru", Encoding::kKoi8U},
      {"koi", Encoding::kKoi8R},
      {"x-mac-ukrainian", Encoding::kXMacCyrillic},
      {"mac", Encoding::kMacintosh},
      {"logical", Encoding::kIso8859_8I},
      {"visual", Encoding::kIso8859_8},
      {"l6", Encoding::kIso8859_10},
      {"iso-2022-kr", Encoding::kReplacement},
      {"hz-gb-2312", Encoding::kReplacement},
      {"utf-16", Encoding::kUtf16Le},
      {"ucs-2", Encoding::kUtf16Le},
      {"unicodefffe", Encoding::kUtf16Be},
      {"x-user-defined", Encoding::kXUserDefined},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodingForLabel(c.label), c.encoding) << c.label;

  const char* unknown[] = {"", "  ", "utf-7", "utf8 x", "latin 1", "iso-8859-1\v",
                           "windows-1252\x01", "ibm437", "cp437", "iso-8859-12", "euc-tw",
                           "a-label-far-longer-than-any-label-of-the-table"};
  for (const char* label : unknown) EXPECT_EQ(EncodingForLabel(label), std::nullopt) << label;
}

TEST(EncodingName, IsALabelOfItsEncoding) {
  for (size_t i = 0; i < kEncodingCount; ++i) {
    const auto encoding = static_cast<Encoding>(i);
    if (encoding == Encoding::kIbm437) continue;  // ZIP names only: no label
    EXPECT_EQ(EncodingForLabel(EncodingName(encoding)), encoding) << EncodingName(encoding);
  }
  EXPECT_EQ(EncodingName(Encoding::kShiftJis), "shift_jis");
  EXPECT_EQ(EncodingName(Encoding::kIbm437), "ibm437");
  EXPECT_EQ(OutputEncoding(Encoding::kUtf16Be), Encoding::kUtf8);
  EXPECT_EQ(OutputEncoding(Encoding::kReplacement), Encoding::kUtf8);
  EXPECT_EQ(OutputEncoding(Encoding::kWindows1251), Encoding::kWindows1251);
}

std::string Padding(size_t bytes) { return "<p>" + std::string(bytes - 3, 'x'); }

TEST(SniffPageEncoding, FindsTheEncodingInOrder) {
  const std::string utf8_text = "<p>Привет</p>";
  const struct {
    const char* name;
    std::string page;
    Encoding expected;
  } cases[] = {
      {"utf-8 mark", "\xEF\xBB\xBF<p>x", Encoding::kUtf8},
      {"utf-16le mark", std::string("\xFF\xFE<\0p\0", 6), Encoding::kUtf16Le},
      {"utf-16be mark", std::string("\xFE\xFF\0<\0p", 6), Encoding::kUtf16Be},
      {"mark beats meta", "\xEF\xBB\xBF<meta charset=koi8-r>", Encoding::kUtf8},
      {"meta charset", "<html><head><meta charset=\"koi8-r\">", Encoding::kKoi8R},
      {"meta charset unquoted, upper case", "<META CHARSET=Shift_JIS>", Encoding::kShiftJis},
      {"meta charset self-closing", "<meta charset='euc-kr'/>", Encoding::kEucKr},
      {"http-equiv", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1251\">",
       Encoding::kWindows1251},
      {"content before http-equiv", "<meta content='text/html;charset=\"gb2312\"' http-equiv=content-type>",
       Encoding::kGbk},
      {"content without http-equiv", "<meta content=\"text/html; charset=koi8-r\">" + utf8_text,
       Encoding::kUtf8},
      {"label meaning windows-1252", "<meta charset=latin1>" + utf8_text, Encoding::kWindows1252},
      {"declared utf-16 means utf-8", "<meta charset=utf-16le>", Encoding::kUtf8},
      {"x-user-defined means windows-1252", "<meta charset=x-user-defined>", Encoding::kWindows1252},
      {"replacement", "<meta charset=iso-2022-kr>", Encoding::kReplacement},
      {"unknown label passed over", "<meta charset=klingon><meta charset=big5>", Encoding::kBig5},
      {"first declaration wins", "<meta charset=big5><meta charset=euc-jp>", Encoding::kBig5},
      {"meta in a comment", "<!-- <meta charset=koi8-r> --><p>", Encoding::kWindows1252},
      {"short comment", "<!--><meta charset=koi8-r>", Encoding::kKoi8R},
      {"meta in an attribute", "<a title=\"<meta charset=koi8-r>\">x</a>", Encoding::kWindows1252},
      {"meta-like tag", "<metal charset=koi8-r>", Encoding::kWindows1252},
      {"meta within 1024 bytes", Padding(1000) + "<meta charset=koi8-r>", Encoding::kKoi8R},
      {"meta across byte 1024", Padding(1010) + "<meta charset=koi8-r>" + utf8_text, Encoding::kUtf8},
      {"meta past byte 1024", Padding(1024) + "<meta charset=koi8-r>", Encoding::kWindows1252},
      {"unclosed meta", "<meta charset=koi8-r", Encoding::kWindows1252},
      {"utf-8 sniffed", utf8_text, Encoding::kUtf8},
      {"invalid utf-8", "<p>\xCF\xF0\xE8\xE2\xE5\xF2</p>", Encoding::kWindows1252},
      {"truncated utf-8", "<p>\xD0", Encoding::kWindows1252},
      {"ascii only", "<p>plain</p>", Encoding::kWindows1252},
      {"empty", "", Encoding::kWindows1252},
  };
  for (const auto& c : cases) EXPECT_EQ(SniffPageEncoding(c.page), c.expected) << c.name;
}

TEST(FindByteOrderMark, GivesEncodingAndLength) {
  EXPECT_EQ(FindByteOrderMark("\xEF\xBB\xBFx")->length, 3u);
  EXPECT_EQ(FindByteOrderMark("\xFF\xFE")->encoding, Encoding::kUtf16Le);
  EXPECT_EQ(FindByteOrderMark("\xFE\xFF")->length, 2u);
  EXPECT_FALSE(FindByteOrderMark("\xEF\xBB"));
  EXPECT_FALSE(FindByteOrderMark(""));
}

}  // namespace
}  // namespace brisomel
