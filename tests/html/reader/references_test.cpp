// Character references beyond Latin-1: every HTML 4 name and "apos", numeric references
// above 127 and above 255, hexadecimal references, and what stays literal text.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "html/reader/entities.h"
#include "html/reader/tokenizer.h"

namespace brisomel {
namespace {

// The texts of the symbols of a short input, joined by "|".
std::string Texts(const std::string& html) {
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(html.data(), html.size());
  tokenizer.Advance();
  std::string out;
  for (tokenizer.NextSymbol(); tokenizer.Symbol != symEof; tokenizer.NextSymbol()) {
    if (!out.empty()) out += "|";
    out += tokenizer.TokenText;
  }
  return out;
}

// Every name of the HTML 4 entity sets and "apos", with its Windows-1252 byte ("-": none),
// taken from Python's html.entities and cp1252 codec.
constexpr const char* kHtml4Names =
    "quot=22 amp=26 apos=27 lt=3C gt=3E nbsp=A0 iexcl=A1 cent=A2 pound=A3 curren=A4 yen=A5 "
    "brvbar=A6 sect=A7 uml=A8 copy=A9 ordf=AA laquo=AB not=AC shy=AD reg=AE macr=AF deg=B0 "
    "plusmn=B1 sup2=B2 sup3=B3 acute=B4 micro=B5 para=B6 middot=B7 cedil=B8 sup1=B9 ordm=BA "
    "raquo=BB frac14=BC frac12=BD frac34=BE iquest=BF Agrave=C0 Aacute=C1 Acirc=C2 Atilde=C3 "
    "Auml=C4 Aring=C5 AElig=C6 Ccedil=C7 Egrave=C8 Eacute=C9 Ecirc=CA Euml=CB Igrave=CC "
    "Iacute=CD Icirc=CE Iuml=CF ETH=D0 Ntilde=D1 Ograve=D2 Oacute=D3 Ocirc=D4 Otilde=D5 "
    "Ouml=D6 times=D7 Oslash=D8 Ugrave=D9 Uacute=DA Ucirc=DB Uuml=DC Yacute=DD THORN=DE "
    "szlig=DF agrave=E0 aacute=E1 acirc=E2 atilde=E3 auml=E4 aring=E5 aelig=E6 ccedil=E7 "
    "egrave=E8 eacute=E9 ecirc=EA euml=EB igrave=EC iacute=ED icirc=EE iuml=EF eth=F0 "
    "ntilde=F1 ograve=F2 oacute=F3 ocirc=F4 otilde=F5 ouml=F6 divide=F7 oslash=F8 ugrave=F9 "
    "uacute=FA ucirc=FB uuml=FC yacute=FD thorn=FE yuml=FF OElig=8C oelig=9C Scaron=8A "
    "scaron=9A Yuml=9F fnof=83 circ=88 tilde=98 Alpha=- Beta=- Gamma=- Delta=- Epsilon=- "
    "Zeta=- Eta=- Theta=- Iota=- Kappa=- Lambda=- Mu=- Nu=- Xi=- Omicron=- Pi=- Rho=- "
    "Sigma=- Tau=- Upsilon=- Phi=- Chi=- Psi=- Omega=- alpha=- beta=- gamma=- delta=- "
    "epsilon=- zeta=- eta=- theta=- iota=- kappa=- lambda=- mu=- nu=- xi=- omicron=- pi=- "
    "rho=- sigmaf=- sigma=- tau=- upsilon=- phi=- chi=- psi=- omega=- thetasym=- upsih=- "
    "piv=- ensp=- emsp=- thinsp=- zwnj=- zwj=- lrm=- rlm=- ndash=96 mdash=97 lsquo=91 "
    "rsquo=92 sbquo=82 ldquo=93 rdquo=94 bdquo=84 dagger=86 Dagger=87 bull=95 hellip=85 "
    "permil=89 prime=- Prime=- lsaquo=8B rsaquo=9B oline=- frasl=- euro=80 image=- weierp=- "
    "real=- trade=99 alefsym=- larr=- uarr=- rarr=- darr=- harr=- crarr=- lArr=- uArr=- "
    "rArr=- dArr=- hArr=- forall=- part=- exist=- empty=- nabla=- isin=- notin=- ni=- prod=- "
    "sum=- minus=- lowast=- radic=- prop=- infin=- ang=- and=- or=- cap=- cup=- int=- "
    "there4=- sim=- cong=- asymp=- ne=- equiv=- le=- ge=- sub=- sup=- nsub=- sube=- supe=- "
    "oplus=- otimes=- perp=- sdot=- lceil=- rceil=- lfloor=- rfloor=- lang=- rang=- loz=- "
    "spades=- clubs=- hearts=- diams=- ";

TEST(References, EveryHtml4NameGivesItsWindows1252ByteOrStaysText) {
  std::istringstream names(kHtml4Names);
  std::string entry;
  int count = 0, with_byte = 0;
  while (names >> entry) {
    ++count;
    const std::string name = entry.substr(0, entry.find('='));
    const std::string byte = entry.substr(entry.find('=') + 1);
    EXPECT_GE(EntityCodePoint(name), 0) << name;
    const std::string reference = "&" + name + ";";
    if (byte == "-") {
      EXPECT_EQ(Texts(reference), reference) << name;
    } else {
      ++with_byte;
      const std::string expected(1, static_cast<char>(std::stoi(byte, nullptr, 16)));
      EXPECT_EQ(Texts(reference), expected) << name;
      EXPECT_EQ(Texts(reference.substr(0, reference.size() - 1) + " x"), expected + "| x") << name;
    }
  }
  EXPECT_EQ(count, kEntityTableSize);
  EXPECT_EQ(with_byte, 126);
}

TEST(References, NamesAreCaseSensitive) {
  EXPECT_EQ(Texts("&Scaron;&scaron;&SCARON;"), "\x8A|\x9A|&SCARON;");
  EXPECT_EQ(Texts("&Dagger;&dagger;"), "\x87|\x86");
  EXPECT_EQ(EntityCodePoint("Amp"), -1);
  EXPECT_EQ(EntityCodePoint(""), -1);
}

TEST(References, NumericFrom128To159AreWindows1252Bytes) {
  for (int v = 128; v <= 159; ++v)
    EXPECT_EQ(Texts("&#" + std::to_string(v) + ";"), std::string(1, static_cast<char>(v))) << v;
}

struct NumericCase {
  const char* html;
  const char* expected;
};

TEST(References, NumericAbove255AndHexadecimal) {
  const NumericCase cases[] = {
      {"&#8211;", "\x96"},
      {"&#8212;", "\x97"},
      {"&#8216;", "\x91"},
      {"&#8217;", "\x92"},
      {"&#8218;", "\x82"},
      {"&#8219;", "&#8219;"},  // no byte
      {"&#8220;", "\x93"},
      {"&#8221;", "\x94"},
      {"&#8226;", "\x95"},
      {"&#8364;", "\x80"},
      {"&#8482;", "\x99"},
      {"&#338;", "\x8C"},
      {"&#300;", "&#300;"},
      {"&#8592;", "&#8592;"},
      {"&#999999;", "&#999999;"},
      {"&#x41;", "A"},
      {"&#X41;", "A"},
      {"&#x2019;", "\x92"},
      {"&#x20aC;", "\x80"},
      {"&#xE9", "\xE9"},
      {"&#x9;", " "},
      {"&#x7;", "&#x7;"},
      {"&#x;", "&#x;"},
      {"&#xG;", "&#x|G;"},
      {"&#X;", "&#X;"},
      {"&#x110000;", "&#x110000;"},
      {"&#x0000041;", "&#x000004|1;"},  // seven digits: the rest is text
      {"&#x00041;", "A"},
  };
  for (const NumericCase& c : cases) EXPECT_EQ(Texts(c.html), c.expected) << c.html;
}

TEST(References, DecodedInQuotedValues) {
  Tokenizer tokenizer;
  const std::string html = "<IMG ALT=\"&ldquo;a&rdquo; &#x2014; &alpha;\">";
  tokenizer.SetInputBuffer(html.data(), html.size());
  tokenizer.Advance();
  tokenizer.NextSymbol();
  ASSERT_EQ(tokenizer.Attributes.Count(), 1u);
  EXPECT_EQ(tokenizer.Attributes[0]->Text,
            "\x93"
            "a\x94 \x97 &alpha;");
}

}  // namespace
}  // namespace brisomel
