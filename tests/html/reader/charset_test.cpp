// UTF-8 pages: how a page is told to be UTF-8, its conversion to Windows-1252 (invalid and
// overlong sequences never becoming another character), and the tokenizer reading such pages
// from every source.
#include "html/reader/charset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/reader/tokenizer.h"

namespace brisomel {
namespace {

struct ConversionCase {
  const char* name;
  std::string utf8;
  std::string expected;
};

TEST(Utf8ToWindows1252, Table) {
  const ConversionCase cases[] = {
      {"Ascii", "plain <b>text</b>\r\n", "plain <b>text</b>\r\n"},
      {"ByteOrderMarkDropped", "\xEF\xBB\xBFx", "x"},
      {"ByteOrderMarkInsideIsNoCharacter",
       "a\xEF\xBB\xBF"
       "b",
       "a?b"},
      {"CurlyQuotes",
       "\xE2\x80\x9C"
       "a\xE2\x80\x9D \xE2\x80\x98"
       "b\xE2\x80\x99",
       "\x93"
       "a\x94 \x91"
       "b\x92"},
      {"Dashes",
       "1\xE2\x80\x93"
       "2\xE2\x80\x94"
       "3",
       "1\x96"
       "2\x97"
       "3"},
      {"EllipsisEuroTrademarkBullet", "\xE2\x80\xA6\xE2\x82\xAC\xE2\x84\xA2\xE2\x80\xA2",
       "\x85\x80\x99\x95"},
      {"Latin1Letters",
       "Ren\xC3\xA9 M\xC3\xBCller \xC3\x86"
       "\xC3\xBF",
       "Ren\xE9 M\xFCller \xC6\xFF"},
      {"NoBreakSpace", "\xC2\xA0", "\xA0"},
      {"WindowsOnlyLetters", "\xC5\x92\xC5\xA0\xC5\xBD\xC6\x92", "\x8C\x8A\x8E\x83"},
      {"C1ControlIsNotWindows1252", "\xC2\x80\xC2\x9F", "??"},
      {"OutsideWindows1252", "\xCE\xB1\xE2\x86\x92", "??"},
      {"FourByteCharacter",
       "a\xF0\x9F\x98\x80"
       "b",
       "a?b"},
      {"StrayContinuation",
       "a\x80"
       "b\xBF",
       "a?b?"},
      {"Latin1ByteIsInvalid", "caf\xE9!", "caf?!"},
      {"TruncatedAtEnd", "a\xE2\x80", "a?"},
      {"TruncatedBeforeAscii",
       "\xE2\x80"
       "A\xC3"
       "B",
       "?A?B"},
      {"OverlongSlashNeverSlash", "\xC0\xAF\xE0\x80\xAF\xF0\x80\x80\xAF", "?????????"},
      {"OverlongLessThanNeverTag",
       "\xC0\xBC"
       "b>",
       "??b>"},
      {"OverlongThreeByteLetter", "\xE0\x81\x81", "???"},
      {"Surrogate", "\xED\xA0\x80", "???"},
      {"AboveUnicode", "\xF4\x90\x80\x80\xF5\x80", "??????"},
      {"BytesThatNeverStart", "\xFE\xFF", "??"},
      {"LargestCharacter", "\xF4\x8F\xBF\xBF", "?"},
  };
  for (const ConversionCase& c : cases) EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.expected) << c.name;
}

struct DetectionCase {
  const char* name;
  std::string page;
  bool utf8;
};

TEST(IsUtf8Page, Table) {
  const std::string filler(1100, ' ');
  const DetectionCase cases[] = {
      {"ByteOrderMark", "\xEF\xBB\xBFplain", true},
      {"ByteOrderMarkBeatsDeclaration", "\xEF\xBB\xBF<META CHARSET=iso-8859-1>", true},
      {"HttpEquiv",
       "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">", true},
      {"HttpEquivLowerCase", "<meta http-equiv=content-type content='text/html;charset=UTF-8'>",
       true},
      {"MetaCharset", "<meta charset=\"utf-8\">ASCII only", true},
      {"MetaCharsetBare", "<META CHARSET = utf8>", true},
      {"DeclaredUtf8ButInvalid", "<meta charset=utf-8>caf\xE9", true},
      {"ValidWithMultiByte", "<P>caf\xC3\xA9", true},
      {"AsciiOnly", "<P>plain", false},
      {"Latin1Bytes", "<P>caf\xE9 cr\xE8me", false},
      {"ValidThenInvalid", "\xC3\xA9...\xE9", false},
      {"DeclaredWindows1252",
       "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\xC3\xA9",
       false},
      {"DeclaredLatin1", "<meta charset=iso-8859-1>\xC3\xA9", false},
      {"DeclaredAscii", "<meta charset=us-ascii>\xC3\xA9", false},
      {"CharsetOutsideMeta", "<P>charset=utf-8 caf\xE9", false},
      {"MetaTooFarDown", filler + "<meta charset=iso-8859-1>\xC3\xA9", true},
      {"MetaWithoutCharset", "<META NAME=author CONTENT=x>\xC3\xA9", true},
      {"Empty", "", false},
  };
  for (const DetectionCase& c : cases) EXPECT_EQ(IsUtf8Page(c.page), c.utf8) << c.name;
}

// The texts of all symbols, joined by "|".
std::string Texts(Tokenizer& tokenizer) {
  tokenizer.Advance();
  std::string out;
  for (tokenizer.NextSymbol(); tokenizer.Symbol != symEof; tokenizer.NextSymbol())
    out += tokenizer.TokenText + "|";
  return out;
}

TEST(TokenizerCharset, EverySourceConvertsAUtf8Page) {
  const std::vector<std::string> lines = {"<P>\xE2\x80\x9CZo\xC3\xAB\xE2\x80\x9D",
                                          "\xE2\x80\x94 &amp; \xCE\xB1"};
  std::string text = lines[0] + "\r\n" + lines[1] + "\r\n";
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(text.data(), text.size());
  const std::string from_buffer = Texts(tokenizer);
  EXPECT_EQ(from_buffer, "|\x93Zo\xEB\x94 \x97 |&| ? |");

  class StringFile : public File {
   public:
    explicit StringFile(std::string data) : data_(std::move(data)) {}
    int32_t Read(void* buffer, int32_t count) override {
      const int32_t n = std::min<int32_t>({count, 7, static_cast<int32_t>(data_.size() - pos_)});
      std::copy_n(data_.data() + pos_, n, static_cast<char*>(buffer));
      pos_ += static_cast<size_t>(n);
      return n;
    }
    int32_t Write(const void*, int32_t) override { return 0; }
    bool Seek(int64_t) override { return false; }
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }
    bool Close() override { return true; }

   private:
    std::string data_;
    size_t pos_ = 0;
  } file(text);
  tokenizer.SetInputFile(file);
  EXPECT_EQ(Texts(tokenizer), from_buffer) << "file";

  class StringStream : public TInputStream {
   public:
    explicit StringStream(std::string data) : data_(std::move(data)) {}
    int32_t Read(void* buffer, int32_t count) override {
      const int32_t n = std::min<int32_t>(count, static_cast<int32_t>(data_.size() - pos_));
      std::copy_n(data_.data() + pos_, n, static_cast<char*>(buffer));
      pos_ += static_cast<size_t>(n);
      return n;
    }

   private:
    std::string data_;
    size_t pos_ = 0;
  } stream(std::string(300, ' ') + text);  // a multi-byte character across a block boundary
  tokenizer.SetInputStream(stream);
  EXPECT_EQ(Texts(tokenizer), " |" + from_buffer) << "stream";

  tokenizer.SetInputStrings(lines);
  EXPECT_EQ(Texts(tokenizer), from_buffer) << "strings";
}

TEST(TokenizerCharset, DeclaredUtf8ThatIsNotValidGivesQuestionMarks) {
  const std::string page = "<META CHARSET=utf-8>caf\xE9 \xC3\xA9t\xE9";
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(page.data(), page.size());
  EXPECT_EQ(Texts(tokenizer), "|caf? \xE9t?|");
}

TEST(TokenizerCharset, Windows1252PageIsReadAsItIs) {
  const std::string page = "<P>caf\xE9 \x93quoted\x94 \xC3";
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(page.data(), page.size());
  EXPECT_EQ(Texts(tokenizer), "|caf\xE9 \x93quoted\x94 \xC3|");
}

TEST(TokenizerCharset, IncludedTextFollowsThePage) {
  // The included text is UTF-8 in a UTF-8 page; in a Windows-1252 page it is converted only
  // when it is UTF-8 itself.
  struct Case {
    std::string page, include, expected;
  } cases[] = {
      {"\xEF\xBB\xBF<!--#x-->", "\xC3\xA9\xE9", "\xE9?|"},
      {"<P><!--#x-->", "\xC3\xA9", "|\xE9|"},
      {"<P><!--#x-->", "\xE9", "|\xE9|"},
  };
  for (const Case& c : cases) {
    Tokenizer tokenizer;
    tokenizer.SetIncludeHandler([&](void*, const std::string&, const std::vector<std::string>&,
                                    std::string& buffer) { buffer = c.include; },
                                nullptr);
    tokenizer.SetInputBuffer(c.page.data(), c.page.size());
    EXPECT_EQ(Texts(tokenizer), c.expected) << c.page;
  }
}

}  // namespace
}  // namespace brisomel
