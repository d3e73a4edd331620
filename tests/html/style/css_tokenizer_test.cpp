#include "html/style/css_tokenizer.h"

#include <gtest/gtest.h>

#include "text/utf.h"

namespace brisomel {
namespace {

std::string Tokens(const std::string& css) {
  std::string out;
  for (const CssToken& token : TokenizeCss(Utf8ToUtf16(css))) {
    if (!out.empty()) out += ' ';
    out += DescribeCssToken(token);
  }
  return out;
}

TEST(CssTokenizer, ReadsEachKindOfToken) {
  const struct {
    const char* css;
    const char* tokens;
  } cases[] = {
      {"", "eof"},
      {"p.note{color:red}", "ident(p) delim(.) ident(note) { ident(color) : ident(red) } eof"},
      {"#main #1a", "hash(main,id) ws hash(1a) eof"},
      {"@media screen", "at(media) ws ident(screen) eof"},
      {"12 -3.5 +.5 1e3 2E-2 7px 50% 1.5em",
       "number(12) ws number(-3.5) ws number(0.5) ws "
       "number(1000) ws number(0.02) ws dimension(7,px) ws percentage(50) ws dimension(1.5,em) "
       "eof"},
      {"1e 3-x", "dimension(1,e) ws dimension(3,-x) eof"},
      {"rgb(1,2)", "function(rgb) number(1) , number(2) ) eof"},
      {"url(a.png) url( \"b c.png\" ) URL(x\\)y)",
       "url(a.png) ws function(url) ws string(b c.png) ws ) ws url(x)y) eof"},
      {"'it''s' \"a\\\"b\"", "string(it) string(s) ws string(a\"b) eof"},
      {"<!-- a --> -->", "cdo ws ident(a) ws cdc ws cdc eof"},
      {"a/* x */b /* open", "ident(a) ident(b) ws eof"},
      {"[a~=b]", "[ ident(a) delim(~) delim(=) ident(b) ] eof"},
      {"-foo --bar -", "ident(-foo) ws ident(--bar) ws delim(-) eof"},
      {"!important;", "delim(!) ident(important) ; eof"},
      {"\\41 x \\263a", "ident(Ax) ws ident(\xE2\x98\xBA) eof"},
      {"@ 5", "delim(@) ws number(5) eof"},
      {"\xC3\xA9t\xC3\xA9", "ident(\xC3\xA9t\xC3\xA9) eof"},
  };
  for (const auto& c : cases) EXPECT_EQ(Tokens(c.css), c.tokens) << c.css;
}

TEST(CssTokenizer, RecoversFromMalformedInput) {
  const struct {
    const char* name;
    std::string css;
    const char* tokens;
  } cases[] = {
      {"string cut by a line end", "'abc\nx", "bad-string ws ident(x) eof"},
      {"string open at the end", "'abc", "string(abc) eof"},
      {"backslash newline inside a string", "'a\\\nb'", "string(ab) eof"},
      {"quote inside url", "url(a\"b) c", "bad-url ws ident(c) eof"},
      {"space inside url", "url(a b) c", "bad-url ws ident(c) eof"},
      {"escaped paren in a bad url", "url(a b\\)) c", "bad-url ws ident(c) eof"},
      {"url open at the end", "url(abc", "url(abc) eof"},
      {"lone backslash", "\\\n", "delim(\\) ws eof"},
      {"backslash at the end", "a\\", "ident(a\xEF\xBF\xBD) eof"},
      {"escape of zero and too large", "\\0 \\110000 ", "ident(\xEF\xBF\xBD\xEF\xBF\xBD) eof"},
      {"nul becomes U+FFFD", std::string("a\0b", 3),
       "ident(a\xEF\xBF\xBD"
       "b) eof"},
      {"CR LF and form feed are newlines", "'a\r\nb' '\f'",
       "bad-string ws ident(b) string( ) ws string() eof"},
      {"huge exponent", "1e99999 0e99999", "number(inf) ws number(0) eof"},
  };
  for (const auto& c : cases) EXPECT_EQ(Tokens(c.css), c.tokens) << c.name;
}

TEST(CssTokenizer, EveryTokenTakesInput) {
  // The token list never outgrows the text, whatever the text is.
  std::u16string text;
  for (char16_t c = 0; c < 200; ++c) text.push_back(c);
  text += u"\xD800\xDC00\xDFFF";
  EXPECT_LE(TokenizeCss(text).size(), text.size() + 1);
  EXPECT_EQ(TokenizeCss(std::u16string(1, char16_t(0xDC00))).front().text, u"\uFFFD");
}

}  // namespace
}  // namespace brisomel
