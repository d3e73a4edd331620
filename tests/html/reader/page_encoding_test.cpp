// Pages in any encoding: the tokenizer decodes every source once and reads code points, from a
// byte-order mark, a META declaration, valid UTF-8, or else windows-1252; included text follows
// the page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/reader/tokenizer.h"
#include "text/utf.h"

namespace brisomel {
namespace {

// The texts of all symbols, joined by "|".
std::u16string Texts(Tokenizer& tokenizer) {
  tokenizer.Advance();
  std::u16string out;
  for (tokenizer.NextSymbol(); tokenizer.Symbol != symEof; tokenizer.NextSymbol())
    out += tokenizer.TokenText + u"|";
  return out;
}

std::u16string TextsOf(const std::string& page) {
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(page.data(), page.size());
  return Texts(tokenizer);
}

// "<P>" and the text in UTF-16, little or big endian, behind its byte-order mark.
std::string Utf16Page(std::u16string_view text, bool big_endian) {
  std::string page = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : u"<P>" + std::u16string(text)) {
    const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
    page += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return page;
}

TEST(TokenizerCharset, PagesInEveryEncodingGiveCodePoints) {
  const std::u16string russian = u"\u041F\u0440\u0438\u0432\u0435\u0442";  // "Привет"
  const std::u16string japanese = u"\u65E5\u672C\u8A9E\u30C6\u30AD\u30B9\u30C8";
  const struct {
    const char* name;
    std::string page;
    std::u16string expected;
  } cases[] = {
      {"utf-8 sniffed", "<P>caf\xC3\xA9 \xE4\xB8\xAD\xF0\x9F\x98\x80", u"|caf\u00E9 \u4E2D\U0001F600|"},
      {"utf-8 mark", "\xEF\xBB\xBF<P>\xD0\x9F", u"|\u041F|"},
      {"utf-16le mark", Utf16Page(russian + u" \U0001F600", false), u"|" + russian + u" \U0001F600|"},
      {"utf-16be mark", Utf16Page(japanese, true), u"|" + japanese + u"|"},
      {"windows-1251 by meta",
       "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1251\">"
       "<P>\xCF\xF0\xE8\xE2\xE5\xF2",
       u"||" + russian + u"|"},
      {"shift_jis by meta",
       "<meta charset=Shift_JIS><P>\x93\xFA\x96\x7B\x8C\xEA\x83\x65\x83\x4C\x83\x58\x83\x67",
       u"||" + japanese + u"|"},
      {"windows-1252 fallback", "<P>caf\xE9 \x93q\x94 \x80", u"|caf\u00E9 \u201Cq\u201D \u20AC|"},
      {"declared utf-8 that is not valid", "<META CHARSET=utf-8>caf\xE9 \xC3\xA9t",
       u"|caf\uFFFD \u00E9t|"},
  };
  for (const auto& c : cases) EXPECT_EQ(TextsOf(c.page), c.expected) << c.name;
}

TEST(TokenizerCharset, AttributeValuesAndTagNamesReadTheDecodedText) {
  // Tag names stay ASCII: a letter outside ASCII ends a name and is no tag.
  EXPECT_EQ(TextsOf("<meta charset=utf-8><P>x<\xC3\xA9>"), u"||x|<|\u00E9|>|");
  const std::string page = "<meta charset=windows-1251><IMG ALT=\"\xCF\xF0\xE8\" SRC=a.gif>";
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(page.data(), page.size());
  tokenizer.Advance();
  tokenizer.NextSymbol();
  tokenizer.NextSymbol();
  ASSERT_EQ(tokenizer.Symbol, symImg);
  EXPECT_EQ(tokenizer.PageEncoding(), Encoding::kWindows1251);
  ASSERT_NE(tokenizer.Attributes.Find(symSrc), nullptr);
  EXPECT_EQ(tokenizer.Attributes.Find(symSrc)->Text, u"a.gif");
}

TEST(TokenizerCharset, EverySourceConvertsAUtf8Page) {
  const std::vector<std::string> lines = {"<P>\xE2\x80\x9CZo\xC3\xAB\xE2\x80\x9D",
                                          "\xE2\x80\x94 &amp; \xCE\xB1"};
  std::string text = lines[0] + "\r\n" + lines[1] + "\r\n";
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(text.data(), text.size());
  const std::u16string from_buffer = Texts(tokenizer);
  EXPECT_EQ(from_buffer, u"|\u201CZo\u00EB\u201D \u2014 |&| \u03B1 |");

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
  EXPECT_EQ(Texts(tokenizer), u" |" + from_buffer) << "stream";

  tokenizer.SetInputStrings(lines);
  EXPECT_EQ(Texts(tokenizer), from_buffer) << "strings";
}

TEST(TokenizerCharset, IncludedTextFollowsThePage) {
  // The included text is read in the page's encoding, or as UTF-8 when it is UTF-8 itself.
  struct Case {
    std::string page, include;
    std::u16string expected;
  } cases[] = {
      {"\xEF\xBB\xBF<!--#x-->", "\xC3\xA9\xE9", u"\u00E9\uFFFD|"},
      {"<P><!--#x-->", "\xC3\xA9", u"|\u00E9|"},
      {"<P><!--#x-->", "\xE9", u"|\u00E9|"},
      {"<meta charset=windows-1251><P><!--#x-->", "\xCF", u"||\u041F|"},
      {"<meta charset=windows-1251><P><!--#x-->", "\xD0\x9F", u"||\u041F|"},
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
