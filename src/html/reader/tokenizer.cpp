#include "html/reader/tokenizer.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "html/reader/entities.h"
#include "html/reader/text_utils.h"
#include "platform/charset.h"
#include "text/utf.h"
#include "text/windows_1252.h"

namespace brisomel {
namespace {

constexpr char16_t kEof = Tokenizer::kEofChar;

// Code units that a text run takes: CR, 32..37, 39..59, "=", 63 and up. It stops at the other
// control characters, "&", "<" and ">".
constexpr std::array<bool, 128> MakeTextChars() {
  std::array<bool, 128> text{};
  for (int c = 32; c < 128; ++c) text[c] = c != '&' && c != '<' && c != '>';
  text['\r'] = true;
  return text;
}
constexpr std::array<bool, 128> kTextChars = MakeTextChars();
bool IsTextChar(char16_t c) { return c >= 128 || kTextChars[c]; }

// Text code units that need no normalisation and never collapse: a text run may take them
// straight from the input window.
constexpr std::array<bool, 128> MakePlainChars() {
  std::array<bool, 128> plain = MakeTextChars();
  plain[' '] = plain['\r'] = false;
  return plain;
}
constexpr std::array<bool, 128> kPlainChars = MakePlainChars();
bool IsPlainChar(char16_t c) { return c >= 128 || kPlainChars[c]; }

char16_t Upper(char16_t c) { return c >= 'a' && c <= 'z' ? static_cast<char16_t>(c - 32) : c; }
bool IsLetter(char16_t up) { return up >= 'A' && up <= 'Z'; }
bool IsDigit(char16_t c) { return c >= '0' && c <= '9'; }

// Whether `run` can take the code unit `next` and stay within `cap`: a high surrogate needs
// room for its partner as well, so that a cut never falls inside a pair.
bool HasRoom(const std::u16string& run, char16_t next, size_t cap) {
  return run.size() + (IsHighSurrogate(next) ? 2 : 1) <= cap;
}

bool EqualsIgnoreCase(std::u16string_view a, std::string_view upper_ascii) {
  if (a.size() != upper_ascii.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != static_cast<char16_t>(upper_ascii[i])) return false;
  return true;
}

void AppendAscii(std::u16string& out, std::string_view ascii) { out.append(ascii.begin(), ascii.end()); }

// The code point of a numeric character reference. 128..159 are read as the windows-1252
// bytes of those values, as browsers read them; values no character may have give U+FFFD.
char32_t NumericReference(uint32_t value) {
  if (value >= 0x80 && value <= 0x9F) return Windows1252CodePoint(static_cast<uint8_t>(value));
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return kReplacementCharacter;
  return value;
}

}  // namespace

Tokenizer::Tokenizer() {
  TokenText.reserve(kTokenTextLength);
  ResetInput(ikBuffer);
}

// ---------------------------------------------------------------------------------------------
// Input sources

void Tokenizer::ResetInput(TInputKind kind) {
  kind_ = kind;
  window_ = {};
  page_.clear();
  encoding_ = Encoding::kWindows1252;
  pushback_ = -1;
  InPre = false;
  InScript = false;
  include_buffer_.clear();
  in_include_directive_ = false;
  construct_depth_ = 0;
  pending_error_ = false;
  script_open_ = false;
  hidden_skipped_ = false;
  Ch = UpCh = kEof;
  Symbol = symEof;
  TokenText.clear();
  HeadingLevel = 0;
  Attributes.Clear();
}

// A page's encoding can depend on its last byte (whether it is all valid UTF-8), so every
// source is read whole and decoded before the first character is delivered.
void Tokenizer::StartPage(std::string_view bytes) {
  page_ = DecodePage(bytes, &encoding_);
  SetWindow(page_);
}

void Tokenizer::SetWindow(const std::u16string& text) {
  window_ = {text.data(), text.data() + text.size()};
}

void Tokenizer::SetInputFile(File& file) {
  ResetInput(ikFile);
  std::string bytes;
  for (;;) {
    const size_t used = bytes.size();
    bytes.resize(used + kFileBufferSize);
    const int32_t n = file.Read(bytes.data() + used, static_cast<int32_t>(kFileBufferSize));
    bytes.resize(used + static_cast<size_t>(std::clamp<int32_t>(n, 0, kFileBufferSize)));
    if (n <= 0) break;
  }
  StartPage(bytes);
}

void Tokenizer::SetInputBuffer(const char* data, size_t size) {
  ResetInput(ikBuffer);
  StartPage(std::string_view(data ? data : "", data ? size : 0));
}

void Tokenizer::SetInputStrings(const std::vector<std::string>& lines) {
  ResetInput(ikStrings);
  std::string bytes;
  for (const std::string& line : lines) {
    bytes += line;
    bytes.push_back('\r');
  }
  StartPage(bytes);
}

void Tokenizer::SetInputStream(TInputStream& stream) {
  ResetInput(ikStream);
  std::string bytes;
  for (;;) {
    const size_t used = bytes.size();
    bytes.resize(used + kStreamBlockSize);
    const int32_t n = std::clamp<int32_t>(stream.Read(bytes.data() + used, kStreamBlockSize), 0,
                                          kStreamBlockSize);
    bytes.resize(used + static_cast<size_t>(n));
    if (n < kStreamBlockSize) break;  // a short block is the last one
  }
  StartPage(bytes);
}

// Called when the window is empty: an exhausted include buffer gives way to the input it
// interrupted; the end of the page gives 26, again on every further read.
int Tokenizer::Refill() {
  if (kind_ == ikInclude) {
    kind_ = saved_kind_;
    window_ = saved_window_;
    include_buffer_.clear();
    if (window_.cur != window_.end) return *window_.cur++;
  }
  return kEof;
}

void Tokenizer::ReadChar() {
  int c;
  if (pushback_ >= 0) {
    c = pushback_;
    pushback_ = -1;
  } else {
    c = ReadRawChar();
  }
  if (c == '\n' || c == '\r') {
    // LF CR, CR LF, a lone LF and a lone CR all become one CR.
    int next = ReadRawChar();
    if (!((c == '\n' && next == '\r') || (c == '\r' && next == '\n'))) pushback_ = next;
    c = '\r';
  } else if (c == '\t') {
    c = ' ';
  }
  Ch = static_cast<char16_t>(c);
  UpCh = Upper(Ch);
  if (Ch == kEof && construct_depth_ > 0) throw EParseError();
}

void Tokenizer::Advance() {
  for (;;) {
    ReadChar();
    if (UpCh != '<' || InScript) return;
    int next = ReadRawChar();
    if (next != '!') {
      pushback_ = next;
      return;
    }
    SkipConstruct();
    // The ">" that closed the construct is replaced by the next read.
  }
}

// At the "!" of "<!": removes a comment, an include directive or a declaration, leaving Ch at
// its closing ">".
void Tokenizer::SkipConstruct() {
  ++construct_depth_;
  ReadChar();
  if (Ch == '-') {
    ReadChar();
    if (Ch == '-') {
      ReadChar();
      if (Ch == '#' && include_handler_ && kind_ != ikInclude && !in_include_directive_)
        HandleInclude();
      else
        SkipCommentBody();
      --construct_depth_;
      return;
    }
  }
  while (Ch != '>') ReadChar();
  --construct_depth_;
}

// From the current character to the end of a comment: a run of two or more "-", then blanks
// and line ends, then ">". So "<!-- a -- b -->" ends only at its final "-->".
void Tokenizer::SkipCommentBody() {
  for (;;) {
    while (Ch != '-') ReadChar();
    ReadChar();
    if (Ch != '-') continue;
    while (Ch == '-') ReadChar();
    while (Ch == ' ' || Ch == '\r') ReadChar();
    if (Ch == '>') return;
  }
}

// At the "#" of "<!--#". Reads the command and its parameters, skips the rest of the comment,
// and hands them to the include handler; a buffer it returns is read next. Directives met
// while the parameters are read (or inside an include buffer) are plain comments, so includes
// never nest.
void Tokenizer::HandleInclude() {
  // The directive can stand in the middle of a tag name or an attribute value; its own
  // parameters must not disturb the one being scanned.
  const TSymbol outer_symbol = attr_symbol_;
  std::u16string outer_text = std::move(attr_text_);
  const int32_t outer_value = attr_value_;
  const auto outer_name = name_;
  const size_t outer_name_length = attr_name_length_;
  attr_text_.clear();

  in_include_directive_ = true;
  Advance();
  std::string command;
  while (IsLetter(UpCh)) {
    command.push_back(static_cast<char>(Ch));
    Advance();
  }
  // The include handler reads its parameters in UTF-8.
  std::vector<std::string> params;
  while (ScanAttribute())
    params.push_back(std::string(name_.data(), attr_name_length_) + "=\"" +
                     Utf16ToUtf8(attr_text_) + "\"");
  SkipCommentBody();
  in_include_directive_ = false;
  attr_symbol_ = outer_symbol;
  attr_text_ = std::move(outer_text);
  attr_value_ = outer_value;
  name_ = outer_name;
  attr_name_length_ = outer_name_length;

  std::string buffer;
  include_handler_(include_sender_, command, params, buffer);
  if (!buffer.empty()) {
    saved_kind_ = kind_;
    saved_window_ = window_;
    // Included text is read in the page's encoding, or as UTF-8 when it is UTF-8 itself.
    include_buffer_ = DecodeBytes(buffer, LooksLikeUtf8(buffer) ? Encoding::kUtf8 : encoding_);
    SetWindow(include_buffer_);
    kind_ = ikInclude;
  }
}

void Tokenizer::SkipBlanks() {
  while (Ch == ' ' || Ch == '\r') Advance();
}

// ---------------------------------------------------------------------------------------------
// Symbols

void Tokenizer::NextSymbol() {
  if (pending_error_) throw EParseError();
  if (OnProgress && ++symbols_ % kProgressInterval == 0) OnProgress();
  // A SCRIPT whose content the parser did not read through NextScriptSymbol: the content is
  // passed over, so no reader of symbols ever takes script text for page text.
  if (script_open_) {
    do {
      NextScriptSymbol();
    } while (Symbol != symScriptEnd && Symbol != symEof);
  }
  do {
    TokenText.clear();
    hidden_skipped_ = false;
    if (Ch == kEof) {
      Symbol = symEof;
    } else if (UpCh == '<') {
      ScanTag();
    } else if (Ch == '&') {
      ScanEntity();
    } else if (IsTextChar(Ch)) {
      ScanTextRun();
    } else {
      Symbol = symChar;
      TokenText.push_back(Ch);
      Advance();
    }
  } while (hidden_skipped_);
  if (ParagraphLatch) {
    switch (Symbol) {
      case symText:
      case symBr:
      case symHeading:
      case symHr:
      case symImg:
      case symTable:
      case symInput:
      case symTextarea:
      case symSelect:
        ParagraphLatch = false;
        break;
      default:
        break;
    }
  }
}

void Tokenizer::ScanTag() {
  Advance();
  bool end_tag = false;
  if (UpCh == '/') {
    end_tag = true;
    Advance();
  } else if (!IsLetter(UpCh)) {
    // A "<" that starts no tag is text; the character after it stays.
    Symbol = symText;
    TokenText.push_back('<');
    return;
  }
  size_t length = 0;
  while (IsLetter(UpCh)) {
    if (length < kTagNameLength) name_[length++] = static_cast<char>(UpCh);
    Advance();
  }
  std::string_view name(name_.data(), length);
  Symbol = end_tag ? LookupEndTag(name) : LookupStartTag(name);
  // Elements whose content browsers never show: style sheets are raw text, templates are
  // markup that may hold further templates. (The name buffer is reused for attributes.)
  const std::string_view hidden = end_tag              ? std::string_view()
                                  : name == "STYLE"    ? std::string_view("STYLE")
                                  : name == "TEMPLATE" ? std::string_view("TEMPLATE")
                                                       : std::string_view();

  SkipBlanks();
  HeadingLevel = 0;
  if ((Symbol == symHeading || Symbol == symHeadingEnd) && UpCh >= '1' && UpCh <= '6') {
    HeadingLevel = UpCh - '0';
    Advance();
  }

  const bool keep = TakesAttributes(Symbol);
  if (keep) Attributes.Clear();
  while (ScanAttribute())
    if (keep) Attributes.Add(std::make_unique<TAttribute>(attr_symbol_, attr_text_, attr_value_));

  while (Ch != '>' && Ch != kEof) Advance();
  Advance();

  script_open_ = Symbol == symScript;
  if (!hidden.empty()) SkipHiddenContent(hidden, hidden == "TEMPLATE");
}

void Tokenizer::SkipHiddenContent(std::string_view upper_name, bool nests) {
  hidden_skipped_ = true;
  int depth = 0;
  while (Ch != kEof) {
    if (UpCh != '<') {
      Advance();
      continue;
    }
    Advance();
    const bool end = UpCh == '/';
    if (end) Advance();
    size_t matched = 0;
    while (matched < upper_name.size() && UpCh == static_cast<char16_t>(upper_name[matched])) {
      ++matched;
      Advance();
    }
    if (matched < upper_name.size() || IsLetter(UpCh)) continue;  // another tag, or text
    if (!end) {
      if (nests) ++depth;
      continue;
    }
    if (depth-- > 0) continue;
    while (Ch != '>' && Ch != kEof) Advance();
    Advance();
    return;
  }
}

// One attribute into attr_symbol_, attr_text_ and attr_value_; false when no name starts here.
// The name (upper case) stays in name_ for the include directive.
bool Tokenizer::ScanAttribute() {
  SkipBlanks();
  if (!IsLetter(UpCh)) return false;
  size_t length = 0;
  while (IsLetter(UpCh) || UpCh == '-') {
    if (length < kTagNameLength) name_[length++] = static_cast<char>(UpCh);
    Advance();
  }
  attr_name_length_ = length;
  attr_symbol_ = LookupAttribute(std::string_view(name_.data(), length));

  SkipBlanks();
  attr_text_.clear();
  attr_value_ = attr_symbol_ == symBorder ? 1 : 0;  // a bare BORDER is a border of 1
  if (UpCh == '=') {
    Advance();
    SkipBlanks();
    if (Ch == '"' || Ch == '\'')
      ScanQuoted();
    else if (Ch == '+' || Ch == '-' || IsDigit(Ch))
      ScanNumber();
    else
      ScanBareWord();
  }
  return true;
}

// A quoted value: line ends vanish, references are decoded, blanks are trimmed from both ends.
// A single "%" at the end is ignored for the number ("50%" is 50) but stays in the text.
void Tokenizer::ScanQuoted() {
  const char16_t quote = Ch;
  Advance();
  std::u16string& text = attr_text_;
  while (Ch != quote && Ch != kEof) {
    if (Ch == '&') {
      AppendEntity(text);  // leaves Ch after the reference
      continue;
    }
    if (Ch != '\r') text.push_back(Ch);
    Advance();
  }
  if (Ch == quote) Advance();
  text = TrimBlanks(text);
  std::u16string_view number(text);
  if (!number.empty() && number.back() == '%' && number.find('%') + 1 == number.size())
    number.remove_suffix(1);
  attr_value_ = IntegerOr(number, 0);
}

// A number: everything up to a blank, "%" or ">", upper case; "12px" is not a number and gives
// 0. A "%" after it (blanks between are skipped) joins the text.
void Tokenizer::ScanNumber() {
  while (Ch != '\r' && Ch != kEof && Ch != ' ' && Ch != '%' && Ch != '>') {
    attr_text_.push_back(UpCh);
    Advance();
  }
  SkipBlanks();
  attr_value_ = IntegerOr(attr_text_, 0);
  if (Ch == '%') {
    attr_text_.push_back('%');
    Advance();
  }
}

void Tokenizer::ScanBareWord() {
  while (Ch != '\r' && Ch != kEof && Ch != ' ' && Ch != '>') {
    attr_text_.push_back(Ch);
    Advance();
  }
}

void Tokenizer::ScanEntity() {
  Symbol = symText;
  TokenText.clear();
  AppendEntity(TokenText);
}

// At "&": appends the referenced character, or the reference's own text when it is unknown
// or malformed, and leaves Ch after what it read. "&#x" (or "&#X") starts a hexadecimal one.
// A numeric reference to a control character other than tab and line feed stays as written,
// so that no reference can end the input or break a line.
void Tokenizer::AppendEntity(std::u16string& out) {
  Advance();
  std::array<char, kEntityNameLength> name{};
  size_t length = 0;
  auto append_written = [&](std::string_view prefix, bool semicolon) {
    AppendAscii(out, prefix);
    AppendAscii(out, std::string_view(name.data(), length));
    if (semicolon) out.push_back(';');
  };
  if (Ch == '#') {
    Advance();
    const bool hex = UpCh == 'X';
    const std::string_view prefix = hex ? (Ch == 'x' ? "&#x" : "&#X") : "&#";
    if (hex) Advance();
    auto is_digit = [&] { return IsDigit(Ch) || (hex && UpCh >= 'A' && UpCh <= 'F'); };
    while (length < kMaxNumberDigits && is_digit()) {
      name[length++] = static_cast<char>(Ch);
      Advance();
    }
    if (length == kMaxNumberDigits && is_digit()) {  // too long: the rest is ordinary text
      append_written(prefix, false);
      return;
    }
    const bool semicolon = Ch == ';';
    if (semicolon) Advance();
    if (length > 0) {
      uint32_t value = 0;
      for (size_t i = 0; i < length; ++i) {
        const char up = UpperAscii(name[i]);
        value = value * (hex ? 16 : 10) + static_cast<uint32_t>(IsDigit(up) ? up - '0' : up - 'A' + 10);
      }
      if (value == 0 || value == 9 || value == 10 || value >= 32) {
        AppendUtf16(out, value == 9 ? U' ' : NumericReference(value));
        return;
      }
    }
    append_written(prefix, semicolon);
    return;
  }
  while (length < kEntityNameLength && (IsLetter(UpCh) || IsDigit(UpCh))) {
    name[length++] = static_cast<char>(Ch);
    Advance();
  }
  if (length == kEntityNameLength && (IsLetter(UpCh) || IsDigit(UpCh))) {
    // too long: the rest is ordinary text
    append_written("&", false);
    return;
  }
  const bool semicolon = Ch == ';';
  if (semicolon) Advance();
  const int32_t code = length > 0 ? EntityCodePoint(std::string_view(name.data(), length)) : -1;
  if (code >= 0) {
    AppendUtf16(out, static_cast<char32_t>(code));
    return;
  }
  append_written("&", semicolon);
}

// Up to 100 code units of text. Outside preformatted text every run of blanks and line ends
// (comments between them included) becomes one space.
// When an unclosed comment ends the input in the middle of a run, the text read so far is
// still delivered and the error comes with the next symbol, so no text before it is lost.
void Tokenizer::ScanTextRun() {
  try {
    while (IsTextChar(Ch) && HasRoom(TokenText, Ch, kTextRunLength)) {
      if (!InPre && (Ch == ' ' || Ch == '\r')) {
        TokenText.push_back(' ');
        SkipBlanks();
      } else {
        TokenText.push_back(Ch);
        // Fast path: the plain code units that follow, straight from the window, exactly as
        // Advance would deliver them one by one.
        if (pushback_ < 0) {
          const char16_t* first = window_.cur;
          const size_t room = kTextRunLength - TokenText.size();
          const char16_t* limit =
              first + std::min<size_t>(static_cast<size_t>(window_.end - first), room);
          const char16_t* last = first;
          // A single space between plain units is taken too: outside PRE it is what the space
          // branch above would leave, since no blank follows it to collapse.
          for (;;) {
            if (last != limit && IsPlainChar(*last)) {
              ++last;
            } else if (last != limit && *last == ' ' &&
                       (InPre || (last + 1 != limit && IsPlainChar(last[1])))) {
              last += InPre ? 1 : 2;
            } else {
              break;
            }
          }
          // A pair whose second half would not fit starts the next run.
          if (last == first + room && last != first && IsHighSurrogate(last[-1])) --last;
          TokenText.append(first, static_cast<size_t>(last - first));
          window_.cur = last;
        }
        Advance();
      }
    }
  } catch (const EParseError&) {
    if (TokenText.empty()) throw;
    pending_error_ = true;
    Ch = UpCh = kEof;
  }
  if (!TokenText.empty()) Symbol = symText;
}

void Tokenizer::NextTextAreaSymbol() {
  TokenText.clear();
  if (Ch == kEof) {
    Symbol = symEof;
  } else if (Ch == '\r') {
    Symbol = symEol;
    Advance();
  } else if (Ch == '<') {
    TokenText.push_back('<');
    Advance();
    Symbol = symUnknownTag;
    // Stops at the end of input too, which a tag left open at the end would otherwise never
    // reach. What passes the length cap is dropped.
    bool full = false;
    while (Ch != ' ' && Ch != '\r' && Ch != '>' && Ch != kEof) {
      full = full || !HasRoom(TokenText, Ch, kTokenTextLength);
      if (!full) TokenText.push_back(Ch);
      Advance();
    }
    if (EqualsIgnoreCase(TokenText, "</TEXTAREA")) Symbol = symTextareaEnd;
  } else if (Ch == '&') {
    ScanEntity();
  } else {
    while (Ch != '\r' && Ch != kEof && Ch != '&' && Ch != '<' &&
           HasRoom(TokenText, Ch, kTextRunLength)) {
      TokenText.push_back(Ch);
      Advance();
    }
    Symbol = symText;
  }
}

void Tokenizer::NextScriptSymbol() {
  script_open_ = false;
  TokenText.clear();
  if (Ch == kEof) {
    Symbol = symEof;
  } else if (Ch == '\r') {
    Symbol = symEol;
    Advance();
  } else if (Ch == '<') {
    TokenText.push_back('<');
    Advance();
    Symbol = symUnknownTag;
    for (int n = 0; n < 7 && (Ch == '/' || IsLetter(UpCh)); ++n) {
      TokenText.push_back(Ch);
      Advance();
    }
    if (Ch == '>') {
      TokenText.push_back('>');
      Advance();
    }
    if (EqualsIgnoreCase(TokenText, "</SCRIPT>")) Symbol = symScriptEnd;
  } else {
    // Character references are not decoded in scripts.
    while (Ch != '\r' && Ch != kEof && Ch != '<' && HasRoom(TokenText, Ch, kTextRunLength)) {
      TokenText.push_back(Ch);
      Advance();
    }
    Symbol = symText;
  }
}

}  // namespace brisomel
