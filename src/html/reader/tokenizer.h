// The HTML tokenizer: turns the text of one of five input sources into symbols for the
// parser — tags with their attributes, text runs with character references decoded, and, in the
// TEXTAREA and SCRIPT readers, line ends. Comments, declarations and include directives are
// removed below everything else, while characters are read.
//
// Reading notes:
// - Every source is read whole first and decoded once into UTF-16 (DecodePage: byte-order
//   mark, META declaration, UTF-8 when valid, else windows-1252); the scanners read code units.
//   An include buffer is decoded in the page's encoding, or as UTF-8 when it is valid UTF-8.
// - Line ends (CR LF, LF CR, lone CR, lone LF) become one CR; tabs become spaces.
// - Character 26 ends every source and is read again on every further read; a 26 inside the
//   input ends it too.
// - One character can be pushed back; the next read takes it first.
// - Every scanner advances with Advance(), which removes "<!...>" constructs. End of input
//   inside one raises EParseError; nothing else fails.
// - Token texts are kept short (150 code units, text runs cut at 100), so a token never grows
//   with the input; a cut never falls inside a surrogate pair. Attribute values are as long as
//   they stand in the input.
// - Character references give code points: named ones, decimal and hexadecimal ones (128..159
//   as windows-1252 reads those bytes; 0, surrogates and values above U+10FFFF give U+FFFD).
// - Content that browsers never show is passed over below the parser: STYLE and TEMPLATE
//   elements whole (a template's nested templates included), and the content of a SCRIPT that
//   the parser does not read with NextScriptSymbol. Wherever such an element stands, its text
//   never reaches a document.
//
// The parser owns one Tokenizer for one parse and reads its public state directly.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "html/reader/attributes.h"
#include "html/reader/symbols.h"
#include "platform/files.h"
#include "text/encoding.h"

namespace brisomel {

class EParseError : public std::runtime_error {
 public:
  EParseError() : std::runtime_error(kMessage) {}
  static constexpr const char* kMessage = "Open Comment at End of HTML File";
};

enum TInputKind { ikFile, ikBuffer, ikStrings, ikStream, ikInclude };

// A stream that can be read from; Read returns the number of bytes read, fewer at its end.
class TInputStream {
 public:
  virtual ~TInputStream() = default;
  virtual int32_t Read(void* buffer, int32_t count) = 0;
};

// Called at an include directive "<!--#command name=value ... -->" with the command's name
// and its parameters as `NAME="value"` texts. Whatever the handler leaves in `Buffer` is read
// in place of the directive. The tokenizer takes the buffer over, so it stays valid for as
// long as it is read.
using TIncludeType =
    std::function<void(void* Sender, const std::string& Command,
                       const std::vector<std::string>& Params, std::string& Buffer)>;

class Tokenizer {
 public:
  static constexpr char16_t kEofChar = 26;
  static constexpr size_t kTokenTextLength = 150;
  static constexpr size_t kTagNameLength = 150;
  static constexpr size_t kEntityNameLength = 8;  // the longest name, "thetasym"
  static constexpr size_t kMaxNumberDigits = 6;   // decimal or hexadecimal
  static constexpr size_t kTextRunLength = 100;
  static constexpr size_t kFileBufferSize = 2000;
  static constexpr int32_t kStreamBlockSize = 250;

  Tokenizer();
  Tokenizer(const Tokenizer&) = delete;
  Tokenizer& operator=(const Tokenizer&) = delete;

  // Input sources. Each clears the push-back slot, InPre, InScript and the current token, and
  // reads and decodes the whole source at once. Then call Advance() once and NextSymbol() for
  // the first symbol.
  void SetInputFile(File& file);  // read in 2000-byte pieces
  void SetInputBuffer(const char* data, size_t size);
  void SetInputStrings(const std::vector<std::string>& lines);  // each line ends with a CR;
                                                                 // decoded as one page
  void SetInputStream(TInputStream& stream);  // 250-byte blocks; a short block is the last

  // The include handler and the sender it receives; an empty handler leaves include
  // directives as comments.
  void SetIncludeHandler(TIncludeType handler, void* sender) {
    include_handler_ = std::move(handler);
    include_sender_ = sender;
  }

  TInputKind ActiveInput() const { return kind_; }
  // The encoding the page was decoded from.
  Encoding PageEncoding() const { return encoding_; }

  // Called every kProgressInterval symbols, so that a long parse can let the program answer
  // its windows (or stop the parse by throwing).
  std::function<void()> OnProgress;
  static constexpr uint32_t kProgressInterval = 1024;

  // Moves to the next character, with comments, declarations and include directives removed.
  void Advance();
  // Advances while Ch is a space or a CR.
  void SkipBlanks();

  // Reads the next token into Symbol, TokenText, HeadingLevel and, for tags that take
  // attributes, Attributes.
  void NextSymbol();
  // The readers of TEXTAREA and SCRIPT content, which the parser uses inside those elements.
  void NextTextAreaSymbol();
  void NextScriptSymbol();

  // State the parser reads.
  char16_t Ch = kEofChar;    // current code unit, normalised
  char16_t UpCh = kEofChar;  // its ASCII upper-case form
  TSymbol Symbol = symEof;
  std::u16string TokenText;  // at most kTokenTextLength code units
  int HeadingLevel = 0;
  TAttributeList Attributes;  // of the last tag that takes attributes

  // State the parser sets.
  bool InPre = false;           // blanks are kept in text runs
  bool InScript = false;        // comments are not removed
  bool ParagraphLatch = false;  // cleared when content arrives

 private:
  struct Window {
    const char16_t* cur = nullptr;
    const char16_t* end = nullptr;
  };

  void ResetInput(TInputKind kind);
  uint32_t symbols_ = 0;  // read since the input was set, for OnProgress
  void StartPage(std::string_view bytes);
  void SetWindow(const std::u16string& text);
  int ReadRawChar() { return window_.cur != window_.end ? *window_.cur++ : Refill(); }
  int Refill();
  void ReadChar();
  void SkipConstruct();
  void SkipCommentBody();
  void HandleInclude();

  void ScanTag();
  // Passes over the content of the element just opened, up to and with its end tag.
  void SkipHiddenContent(std::string_view upper_name, bool nests);
  bool ScanAttribute();
  void ScanQuoted();
  void ScanNumber();
  void ScanBareWord();
  void ScanEntity();
  void AppendEntity(std::u16string& out);
  void ScanTextRun();

  // Raw input: the decoded page.
  TInputKind kind_ = ikBuffer;
  Window window_;
  std::u16string page_;
  Encoding encoding_ = Encoding::kWindows1252;
  int pushback_ = -1;  // -1: empty

  // Include buffers, which do not nest.
  TIncludeType include_handler_;
  void* include_sender_ = nullptr;
  std::u16string include_buffer_;
  TInputKind saved_kind_ = ikBuffer;
  Window saved_window_;
  bool in_include_directive_ = false;

  bool script_open_ = false;     // a SCRIPT start tag was read; its content is not yet
  bool hidden_skipped_ = false;  // the tag just read opened an element now passed over
  int construct_depth_ = 0;     // inside "<!...": end of input is an error
  bool pending_error_ = false;  // raised by the next NextSymbol, after the text before it

  // The attribute being scanned.
  TSymbol attr_symbol_ = symUnknownAttr;
  std::u16string attr_text_;
  int32_t attr_value_ = 0;
  std::array<char, kTagNameLength> name_{};  // tag or attribute name, upper case
  size_t attr_name_length_ = 0;
};

}  // namespace brisomel
