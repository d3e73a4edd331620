// What the HTML parser builds into. The parser knows the document only through these roles:
// a text section being filled (TParseSection), tables with their rows and cells being filled,
// and the document that makes them, appends finished ones to the current container (the
// document, a table cell or a caption) and keeps the page-wide properties (TParseTarget). The
// document model implements them over its section list; tests implement them with a recorder.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "html/reader/attributes.h"
#include "html/reader/html_fonts.h"
#include "html/reader/image_map.h"
#include "html/reader/symbols.h"
#include "text/encoding.h"

namespace brisomel {

// Alignment of a block; left is 1.
enum TParseAlign : uint8_t { paNone, paLeft, paCenter, paRight };

// Parse state that the document model reads (and, for SubSupState, resets) while a parse runs.
struct TParseState {
  uint8_t ExtraStyle = 0;   // FontStyle bits switched on by B, I, U, S and their kin
  uint8_t SubSupState = 0;  // 0 none, 1 subscript, 2 superscript
};

// A form control while the parser fills it: a SELECT's options, a TEXTAREA's lines.
class TParseControl {
 public:
  virtual ~TParseControl() = default;
  virtual void AddOption(std::u16string_view text, const std::optional<std::u16string>& value,
                         bool selected) {}
  virtual void AddLine(std::u16string_view line) {}
  // Puts the control into its initial state once its content is read.
  virtual void Reset() {}
};

// A text section (plain, preformatted or a list item) while the parser fills it.
class TParseSection {
 public:
  virtual ~TParseSection() = default;
  virtual void AddText(std::u16string_view text) = 0;
  // The font for text from here on is `font` (with the parse state's extra styles).
  virtual void ChangeFont(const TMyFont& font) = 0;
  // A link starts (symHref, with its target) or ends (symAEnd, link null) here.
  virtual void HRef(TSymbol which, const TMyFont& font, const TUrlTarget* link) = 0;
  // The attributes of the BR that started this section (CLEAR).
  virtual void ProcessBreak(const TAttributeList& attributes) = 0;
  virtual TParseAlign Align() const = 0;
  // An inline image from IMG attributes.
  virtual void AddImage(const TAttributeList& attributes) = 0;
  // The form control of an INPUT, SELECT or TEXTAREA; null when the target keeps none.
  virtual std::unique_ptr<TParseControl> AddFormControl(TSymbol symbol,
                                                        const TAttributeList& attributes) {
    return nullptr;
  }
};

enum class TListKind { Ordered, Unordered, Definition };

// Where finished sections go: the document, a table cell or a table caption. The target makes
// them; the parser only hands them back.
class TParseContainer {
 public:
  virtual ~TParseContainer() = default;
};

// A table cell (TD or TH) while the parser fills it.
class TParseCell : public TParseContainer {};

// A table row while the parser fills it.
class TParseRow {
 public:
  virtual ~TParseRow() = default;
  // The attributes of TR.
  virtual void ProcessAttributes(const TAttributeList& attributes) = 0;
  virtual void Add(std::unique_ptr<TParseCell> cell) = 0;
};

// A table while the parser fills it.
class TParseTable {
 public:
  virtual ~TParseTable() = default;
  virtual TParseContainer& Caption() = 0;
  virtual void SetCaptionAtTop(bool top) = 0;
  virtual void AddRow(std::unique_ptr<TParseRow> row) = 0;
};

// Vertical alignment of a table cell.
enum TParseVAlign : uint8_t { pvTop, pvMiddle, pvBottom };

class TParseTarget {
 public:
  virtual ~TParseTarget() = default;

  // The document's font defaults (faces, base size, colours, character set).
  virtual const TFontSettings& Settings() const = 0;
  // BODY attributes.
  virtual void SetFontColor(Color color) = 0;
  virtual void SetHotSpotColor(Color color) = 0;
  virtual void SetBackground(Color color) = 0;
  virtual void SetBackgroundImage(const std::u16string& name) = 0;

  // True while nothing has been appended to the current container.
  virtual bool IsEmpty() const = 0;

  // The document's own container, and the container that sections, rules, spaces and tables
  // are appended to from now on (null: they are dropped).
  virtual TParseContainer& Root() = 0;
  virtual TParseContainer* Container() const = 0;
  virtual void SetContainer(TParseContainer* container) = 0;

  // A table at list level `level` inside `outer`, with the enclosing alignment and the TABLE
  // attributes; its rows and cells; appending the finished table to the current container.
  virtual std::unique_ptr<TParseTable> NewTable(int level, TParseContainer* outer,
                                                TParseAlign align,
                                                const TAttributeList& attributes) = 0;
  virtual std::unique_ptr<TParseRow> NewRow() = 0;
  virtual std::unique_ptr<TParseCell> NewCell(const TAttributeList& attributes,
                                              TParseVAlign valign) = 0;
  virtual void AppendTable(std::unique_ptr<TParseTable> table) = 0;

  virtual std::unique_ptr<TParseSection> NewSection(int level, TParseAlign align,
                                                    const TUrlTarget* link, const TMyFont& font,
                                                    bool preformatted) = 0;
  // A list item; `numbering` and `number` only for ordered lists, `plain` only for unordered.
  virtual std::unique_ptr<TParseSection> NewListItem(TListKind kind, int level,
                                                     const TUrlTarget* link, const TMyFont& font,
                                                     char numbering, int number, bool plain) = 0;
  // Appends a finished section to the current container.
  virtual void Append(std::unique_ptr<TParseSection> section) = 0;
  virtual void AppendParagraphSpace() = 0;
  virtual void AppendHeadingSpace(int level) = 0;
  virtual void AppendRule(const TAttributeList& attributes) = 0;
  virtual void AppendPage() = 0;

  // `discarded` (the text before BODY) is dropped; anchors it held now belong to
  // `replacement`, the section that starts the body.
  virtual void Discard(std::unique_ptr<TParseSection> discarded, TParseSection& replacement) = 0;
  // An anchor name (upper case) held by `section`, which is open.
  virtual void AddName(std::u16string_view name, TParseSection& section) = 0;
  virtual void AddMap(std::unique_ptr<TMapItem> map) = 0;

  // FORM opens a form that the following controls join; FORM end (and the start of a parse)
  // closes it.
  virtual void StartForm(const TAttributeList& attributes) {}
  // The encoding the page's bytes were read in; forms submit in it.
  virtual void SetPageEncoding(Encoding encoding) {}
  virtual void EndForm() {}
};

}  // namespace brisomel
