// The frameset document reader: tells whether a document is a frameset document and reads a
// FRAMESET element (with nested sets and frames) into a frame-set model. Body content is never
// read: the first body tag ends the scan. TITLE, BASE, BGSOUND, META and SCRIPT before it are
// reported as the HTML parser reports them; NOFRAMES content is skipped whole.
//
// Reading notes:
// - FRAMESET nesting deeper than kMaxFrameSetNesting reads as if the deeper FRAMESET tags were
//   absent (their frames go to the enclosing set), so a hostile file cannot exhaust the stack.
// - A file source keeps what was read when the input ends inside a comment; the other source
//   kinds end quietly on any error. Either way the answer is true only if a FRAMESET was read.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "html/reader/parser.h"
#include "html/reader/tokenizer.h"
#include "platform/files.h"

namespace brisomel {

// One of the four source kinds a document can come from. `FileName` is the document's name
// (the file for ikFile; for the others the name the source was requested under, if any).
struct TDocumentSource {
  TInputKind Kind = ikFile;
  Files* FileSystem = nullptr;
  std::string FileName;
  const char* Data = nullptr;
  size_t Size = 0;
  const std::vector<std::string>* Lines = nullptr;
  TInputStream* Stream = nullptr;

  static TDocumentSource File(Files& files, const std::string& name);
  static TDocumentSource Buffer(const char* data, size_t size, const std::string& name = {});
  static TDocumentSource Strings(const std::vector<std::string>& lines,
                                 const std::string& name = {});
  static TDocumentSource FromStream(TInputStream& stream, const std::string& name = {});
};

// What the parse leaves behind besides the frame sets: the document's TITLE and BASE.
struct TFrameSetParseResult {
  std::u16string Title;
  std::string Base, BaseTarget;
};

// The frame-set model as the reader fills it.
class TFrameSetTarget {
 public:
  virtual ~TFrameSetTarget() = default;
  // The FRAMESET tag's attributes (ROWS, COLS, BORDER, FRAMEBORDER).
  virtual void SetFrameSetAttributes(const TAttributeList& attributes) = 0;
  // A nested FRAMESET: a new child set, appended to this set's children.
  virtual TFrameSetTarget& AddSubFrameSet() = 0;
  // A FRAME: a child frame from its attributes; `FrameSetFile` is the document's name.
  virtual void AddFrame(const TAttributeList& attributes, const std::string& FrameSetFile) = 0;
  // The FRAMESET element is complete; `parse` holds what was read so far.
  virtual void EndFrameSet(const TFrameSetParseResult& parse) = 0;
};

// The events the reader raises: includes and sounds with `Sender` (the frame viewer), META
// with `MetaSender` (the frame set being filled), SCRIPT with `Sender`.
struct TFrameSetEvents {
  void* Sender = nullptr;
  void* MetaSender = nullptr;
  TIncludeType OnInclude;
  TSoundType OnSoundRequest;
  TMetaType OnMeta;
  TParserScriptHandler OnScript;
};

inline constexpr int kMaxFrameSetNesting = 50;

// Reads the document into `target` when it holds a FRAMESET; true if one was read.
bool ParseFrameSetDocument(const TFrameSetEvents& events, TFrameSetTarget& target,
                           const TDocumentSource& source, TFrameSetParseResult& result);
// True if a FRAMESET comes before the first body tag. Only the include event is used.
bool IsFrameSetDocument(const TIncludeType& on_include, void* sender,
                        const TDocumentSource& source);

}  // namespace brisomel
