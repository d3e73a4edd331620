// The reader's symbols: one enumeration for every tag, end tag and attribute it knows, plus the
// token kinds, and the tables that map upper-case names (and named character references) to
// them.
#pragma once

#include <cstdint>
#include <string_view>

namespace brisomel {

// Token kinds.
#define BRISOMEL_TOKEN_SYMBOLS(X) X(Text) X(Char) X(UnknownTag) X(UnknownAttr) X(Eol) X(Eof)

// Tags with a start and an end symbol: X(Name, "TAG"). H1..H6 share symHeading; the level goes
// to the tokenizer's HeadingLevel.
#define BRISOMEL_PAIRED_TAGS(X)                                                                  \
  X(Html, "HTML") X(Title, "TITLE") X(Body, "BODY") X(Head, "HEAD") X(B, "B") X(I, "I")          \
  X(Heading, "H") X(Em, "EM") X(Strong, "STRONG") X(U, "U") X(Cite, "CITE") X(Var, "VAR")        \
  X(Tt, "TT") X(Code, "CODE") X(Kbd, "KBD") X(Samp, "SAMP") X(Ol, "OL") X(Ul, "UL")               \
  X(Dir, "DIR") X(Menu, "MENU") X(Dl, "DL") X(A, "A") X(Address, "ADDRESS")                      \
  X(Blockquote, "BLOCKQUOTE") X(Pre, "PRE") X(Center, "CENTER") X(Table, "TABLE") X(Td, "TD")    \
  X(Th, "TH") X(Caption, "CAPTION") X(Form, "FORM") X(Textarea, "TEXTAREA")                      \
  X(Select, "SELECT") X(Option, "OPTION") X(Font, "FONT") X(Sub, "SUB") X(Sup, "SUP")            \
  X(Big, "BIG") X(Small, "SMALL") X(P, "P") X(Map, "MAP") X(Frameset, "FRAMESET")                \
  X(Noframes, "NOFRAMES") X(Script, "SCRIPT") X(Div, "DIV") X(S, "S") X(Strike, "STRIKE")        \
  X(Tr, "TR")

// Tags with a start symbol only. SELECTED and WRAP are also attributes, with the same symbol.
#define BRISOMEL_SINGLE_TAGS(X)                                                                  \
  X(Li, "LI") X(Br, "BR") X(Hr, "HR") X(Dd, "DD") X(Dt, "DT") X(Img, "IMG") X(Base, "BASE")      \
  X(Button, "BUTTON") X(Input, "INPUT") X(Selected, "SELECTED") X(Basefont, "BASEFONT")          \
  X(Area, "AREA") X(Frame, "FRAME") X(Page, "PAGE") X(Bgsound, "BGSOUND") X(Wrap, "WRAP")        \
  X(Meta, "META")

// Attributes that have no symbol of their own yet (TEXT shares symText, SELECTED and WRAP share
// the tag symbols, and VALUE is listed once here although the table has two entries for it).
#define BRISOMEL_ATTRIBUTE_ONLY_SYMBOLS(X)                                                       \
  X(Href) X(Name) X(Src) X(Alt) X(Align) X(Bgcolor) X(Link) X(Background) X(Colspan)             \
  X(Rowspan) X(Border) X(Cellpadding) X(Cellspacing) X(Valign) X(Width) X(Start) X(Value)        \
  X(Type) X(Checkbox) X(Radio) X(Method) X(Action) X(Checked) X(Size) X(Maxlength) X(Cols)       \
  X(Rows) X(Multiple) X(Face) X(Color) X(Transp) X(Clear) X(Ismap) X(Bordercolor) X(Usemap)      \
  X(Shape) X(Coords) X(Nohref) X(Height) X(Plain) X(Target) X(Noresize) X(Scrolling) X(Hspace)   \
  X(Language) X(Frameborder) X(Marginwidth) X(Marginheight) X(Loop) X(Onclick) X(Noshade)        \
  X(HttpEquiv) X(Content) X(Enctype)

enum TSymbol : uint8_t {
#define BRISOMEL_SYM(name) sym##name,
#define BRISOMEL_SYM_TAG(name, text) sym##name,
#define BRISOMEL_SYM_END(name, text) sym##name##End,
  BRISOMEL_TOKEN_SYMBOLS(BRISOMEL_SYM)
  BRISOMEL_PAIRED_TAGS(BRISOMEL_SYM_TAG)
  BRISOMEL_SINGLE_TAGS(BRISOMEL_SYM_TAG)
  BRISOMEL_PAIRED_TAGS(BRISOMEL_SYM_END)
  BRISOMEL_ATTRIBUTE_ONLY_SYMBOLS(BRISOMEL_SYM)
#undef BRISOMEL_SYM
#undef BRISOMEL_SYM_TAG
#undef BRISOMEL_SYM_END
  kSymbolCount
};

// Tag table lookup on an upper-case name: the start symbol, or symUnknownTag.
TSymbol LookupStartTag(std::string_view upper_name);
// The end symbol of an upper-case tag name, or symUnknownTag when the tag has no end form.
TSymbol LookupEndTag(std::string_view upper_name);
// Attribute table lookup on an upper-case name: the symbol, or symUnknownAttr.
TSymbol LookupAttribute(std::string_view upper_name);

// Whether a start tag with this symbol replaces the tokenizer's attribute list.
bool TakesAttributes(TSymbol symbol);

// The enumeration member's name, "symTable", "symTableEnd", "symHttpEquiv", ...
std::string_view SymbolName(TSymbol symbol);

// How many names each table holds (the attribute table counts VALUE twice).
inline constexpr int kTagTableSize = 65;
inline constexpr int kAttributeTableSize = 58;

}  // namespace brisomel
