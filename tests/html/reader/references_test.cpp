// Character references: every HTML 4 name and "apos", numeric references (128..159 as
// windows-1252 reads them, beyond the Basic Multilingual Plane as pairs, invalid ones as
// U+FFFD), hexadecimal references, and what stays literal text.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "html/reader/entities.h"
#include "html/reader/tokenizer.h"
#include "text/utf.h"

namespace brisomel {
namespace {

// The texts of the symbols of a short input, joined by "|".
std::u16string Texts(const std::string& html) {
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(html.data(), html.size());
  tokenizer.Advance();
  std::u16string out;
  for (tokenizer.NextSymbol(); tokenizer.Symbol != symEof; tokenizer.NextSymbol()) {
    if (!out.empty()) out += u"|";
    out += tokenizer.TokenText;
  }
  return out;
}

// Every name of the HTML 4 entity sets and "apos", with its code point, taken from Python's
// html.entities.
constexpr const char* kHtml4Names =
    "quot=22 amp=26 apos=27 lt=3C gt=3E nbsp=A0 iexcl=A1 cent=A2 pound=A3 curren=A4 yen=A5 "
    "brvbar=A6 sect=A7 uml=A8 copy=A9 ordf=AA laquo=AB not=AC shy=AD reg=AE macr=AF deg=B0 "
    "plusmn=B1 sup2=B2 sup3=B3 acute=B4 micro=B5 para=B6 middot=B7 cedil=B8 sup1=B9 ordm=BA "
    "raquo=BB frac14=BC frac12=BD frac34=BE iquest=BF Agrave=C0 Aacute=C1 Acirc=C2 Atilde=C3 "
    "Auml=C4 Aring=C5 AElig=C6 Ccedil=C7 Egrave=C8 Eacute=C9 Ecirc=CA Euml=CB Igrave=CC "
    "Iacute=CD Icirc=CE Iuml=CF ETH=D0 Ntilde=D1 Ograve=D2 Oacute=D3 Ocirc=D4 Otilde=D5 Ouml=D6 "
    "times=D7 Oslash=D8 Ugrave=D9 Uacute=DA Ucirc=DB Uuml=DC Yacute=DD THORN=DE szlig=DF "
    "agrave=E0 aacute=E1 acirc=E2 atilde=E3 auml=E4 aring=E5 aelig=E6 ccedil=E7 egrave=E8 "
    "eacute=E9 ecirc=EA euml=EB igrave=EC iacute=ED icirc=EE iuml=EF eth=F0 ntilde=F1 ograve=F2 "
    "oacute=F3 ocirc=F4 otilde=F5 ouml=F6 divide=F7 oslash=F8 ugrave=F9 uacute=FA ucirc=FB "
    "uuml=FC yacute=FD thorn=FE yuml=FF OElig=152 oelig=153 Scaron=160 scaron=161 Yuml=178 "
    "fnof=192 circ=2C6 tilde=2DC Alpha=391 Beta=392 Gamma=393 Delta=394 Epsilon=395 Zeta=396 "
    "Eta=397 Theta=398 Iota=399 Kappa=39A Lambda=39B Mu=39C Nu=39D Xi=39E Omicron=39F Pi=3A0 "
    "Rho=3A1 Sigma=3A3 Tau=3A4 Upsilon=3A5 Phi=3A6 Chi=3A7 Psi=3A8 Omega=3A9 alpha=3B1 beta=3B2 "
    "gamma=3B3 delta=3B4 epsilon=3B5 zeta=3B6 eta=3B7 theta=3B8 iota=3B9 kappa=3BA lambda=3BB "
    "mu=3BC nu=3BD xi=3BE omicron=3BF pi=3C0 rho=3C1 sigmaf=3C2 sigma=3C3 tau=3C4 upsilon=3C5 "
    "phi=3C6 chi=3C7 psi=3C8 omega=3C9 thetasym=3D1 upsih=3D2 piv=3D6 ensp=2002 emsp=2003 "
    "thinsp=2009 zwnj=200C zwj=200D lrm=200E rlm=200F ndash=2013 mdash=2014 lsquo=2018 "
    "rsquo=2019 sbquo=201A ldquo=201C rdquo=201D bdquo=201E dagger=2020 Dagger=2021 bull=2022 "
    "hellip=2026 permil=2030 prime=2032 Prime=2033 lsaquo=2039 rsaquo=203A oline=203E "
    "frasl=2044 euro=20AC image=2111 weierp=2118 real=211C trade=2122 alefsym=2135 larr=2190 "
    "uarr=2191 rarr=2192 darr=2193 harr=2194 crarr=21B5 lArr=21D0 uArr=21D1 rArr=21D2 dArr=21D3 "
    "hArr=21D4 forall=2200 part=2202 exist=2203 empty=2205 nabla=2207 isin=2208 notin=2209 "
    "ni=220B prod=220F sum=2211 minus=2212 lowast=2217 radic=221A prop=221D infin=221E ang=2220 "
    "and=2227 or=2228 cap=2229 cup=222A int=222B there4=2234 sim=223C cong=2245 asymp=2248 "
    "ne=2260 equiv=2261 le=2264 ge=2265 sub=2282 sup=2283 nsub=2284 sube=2286 supe=2287 "
    "oplus=2295 otimes=2297 perp=22A5 sdot=22C5 lceil=2308 rceil=2309 lfloor=230A rfloor=230B "
    "lang=2329 rang=232A loz=25CA spades=2660 clubs=2663 hearts=2665 diams=2666 ";

TEST(References, EveryHtml4NameGivesItsCodePoint) {
  std::istringstream names(kHtml4Names);
  std::string entry;
  int count = 0;
  while (names >> entry) {
    ++count;
    const std::string name = entry.substr(0, entry.find('='));
    const auto code_point = static_cast<char16_t>(std::stoi(entry.substr(entry.find('=') + 1), nullptr, 16));
    EXPECT_EQ(EntityCodePoint(name), code_point) << name;
    const std::string reference = "&" + name + ";";
    const std::u16string expected(1, code_point);
    EXPECT_EQ(Texts(reference), expected) << name;
    EXPECT_EQ(Texts(reference.substr(0, reference.size() - 1) + " x"), expected + u"| x") << name;
  }
  EXPECT_EQ(count, kEntityTableSize);
}

TEST(References, NamesAreCaseSensitive) {
  EXPECT_EQ(Texts("&Scaron;&scaron;&SCARON;"), u"\u0160|\u0161|&SCARON;");
  EXPECT_EQ(Texts("&Dagger;&dagger;"), u"\u2021|\u2020");
  EXPECT_EQ(EntityCodePoint("Amp"), -1);
  EXPECT_EQ(EntityCodePoint(""), -1);
}

TEST(References, NumericFrom128To159ReadAsWindows1252) {
  const std::u16string expected =
      u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
      u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178";
  for (int v = 128; v <= 159; ++v)
    EXPECT_EQ(Texts("&#" + std::to_string(v) + ";"), expected.substr(static_cast<size_t>(v - 128), 1)) << v;
}

struct NumericCase {
  const char* html;
  std::u16string expected;
};

TEST(References, NumericAndHexadecimal) {
  const NumericCase cases[] = {
      {"&#233;", u"\u00E9"},
      {"&#150;", u"\u2013"},
      {"&#8211;", u"\u2013"},
      {"&#8219;", u"\u201B"},
      {"&#1055;", u"\u041F"},
      {"&#x4E2D;", u"\u4E2D"},
      {"&#128512;", u"\U0001F600"},
      {"&#x1F600;", u"\U0001F600"},
      {"&#x10FFFF;", u"\U0010FFFF"},
      {"&#x110000;", u"\uFFFD"},
      {"&#999999;", u"\U000F423F"},
      {"&#xD800;", u"\uFFFD"},
      {"&#57343;", u"\uFFFD"},
      {"&#0;", u"\uFFFD"},
      {"&#x41;", u"A"},
      {"&#X41;", u"A"},
      {"&#x20aC;", u"\u20AC"},
      {"&#xE9", u"\u00E9"},
      {"&#x9;", u" "},
      {"&#x7;", u"&#x7;"},
      {"&#13;", u"&#13;"},
      {"&#x;", u"&#x;"},
      {"&#xG;", u"&#x|G;"},
      {"&#X;", u"&#X;"},
      {"&#x0000041;", u"&#x000004|1;"},  // seven digits: the rest is text
      {"&#x00041;", u"A"},
  };
  for (const NumericCase& c : cases) EXPECT_EQ(Texts(c.html), c.expected) << c.html;
}

TEST(References, DecodedInQuotedValues) {
  Tokenizer tokenizer;
  const std::string html = "<IMG ALT=\"&ldquo;a&rdquo; &#x2014; &eacute;\">";
  tokenizer.SetInputBuffer(html.data(), html.size());
  tokenizer.Advance();
  tokenizer.NextSymbol();
  ASSERT_EQ(tokenizer.Attributes.Count(), 1u);
  EXPECT_EQ(tokenizer.Attributes[0]->Text, u"\u201Ca\u201D \u2014 \u00E9");
}

}  // namespace
}  // namespace brisomel
