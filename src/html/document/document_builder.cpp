// The parser's target over the document model.
#include "html/document/document_builder.h"

#include "html/document/form_controls.h"
#include "html/document/simple_sections.h"
#include "html/document/table.h"
#include "html/document/text_section.h"

namespace brisomel {
namespace {

// A text area or a list of options while the parser fills it.
class TBuiltControl : public TParseControl {
 public:
  explicit TBuiltControl(TFormControlObj* control) : control_(control) {}
  void AddOption(std::u16string_view text, const std::optional<std::u16string>& value,
                 bool selected) override {
    if (auto* list = dynamic_cast<TListBoxFormControlObj*>(control_))
      list->AddOption(text, value, selected);
  }
  void AddLine(std::u16string_view line) override {
    if (auto* area = dynamic_cast<TTextAreaFormControlObj*>(control_)) area->AddText(line);
  }
  void Reset() override { control_->ResetToValue(); }

 private:
  TFormControlObj* control_;
};

std::unique_ptr<TParseControl> MakeParseControl(TFormControlObj* control) {
  if (!control) return nullptr;
  return std::make_unique<TBuiltControl>(control);
}

// A text section of the document while the parser fills it.
class TBuiltSection : public TParseSection {
 public:
  TBuiltSection(const TDocumentBuilder& builder, std::unique_ptr<TSection> section)
      : builder_(builder), section_(std::move(section)) {}

  void AddText(std::u16string_view text) override {
    builder_.Sync();
    section_->AddText(text);
  }
  void ChangeFont(const TMyFont& font) override {
    builder_.Sync();
    section_->ChangeFont(font);
  }
  void HRef(TSymbol which, const TMyFont& font, const TUrlTarget* link) override {
    builder_.Sync();
    section_->HRef(which, font, link);
  }
  void ProcessBreak(const TAttributeList& attributes) override {
    section_->ProcessClear(attributes);
  }
  TParseAlign Align() const override { return static_cast<TParseAlign>(section_->Justify); }
  void AddImage(const TAttributeList& attributes) override {
    builder_.Sync();
    section_->AddImage(attributes, &builder_.ContainerCell());
  }
  std::unique_ptr<TParseControl> AddFormControl(TSymbol symbol,
                                                const TAttributeList& attributes) override {
    builder_.Sync();
    return MakeParseControl(section_->AddFormControl(symbol, &builder_.List(), attributes));
  }

  TSection* Section() const { return section_.get(); }
  std::unique_ptr<TSection> Take() { return std::move(section_); }

 private:
  const TDocumentBuilder& builder_;
  std::unique_ptr<TSection> section_;
};

// A table cell being filled: its slot, whose cell takes the sections.
class TBuiltCell : public TBuiltContainer {
 public:
  explicit TBuiltCell(TCellObj slot) : TBuiltContainer(nullptr), Slot(std::move(slot)) {
    Cell = Slot.Cell.get();
  }
  TCellObj Slot;
};

class TBuiltRow : public TParseRow {
 public:
  void ProcessAttributes(const TAttributeList& attributes) override {
    Row->ProcessAttributes(attributes);
  }
  void Add(std::unique_ptr<TParseCell> cell) override {
    Row->Cells.push_back(std::move(static_cast<TBuiltCell&>(*cell).Slot));
  }
  std::unique_ptr<TCellList> Row = std::make_unique<TCellList>();
};

class TBuiltTable : public TParseTable {
 public:
  explicit TBuiltTable(std::unique_ptr<ThtmlTable> table)
      : Table(std::move(table)), caption_(Table->Caption->Cell.get()) {}
  TParseContainer& Caption() override { return caption_; }
  void SetCaptionAtTop(bool top) override { Table->CaptionAtTop = top; }
  void AddRow(std::unique_ptr<TParseRow> row) override {
    Table->AddRow(std::move(static_cast<TBuiltRow&>(*row).Row));
  }
  std::unique_ptr<ThtmlTable> Table;

 private:
  TBuiltContainer caption_;
};

}  // namespace

void TDocumentBuilder::StartForm(const TAttributeList& attributes) {
  list_.CurrentForm = &ThtmlForm::Create(list_, attributes);
}

std::unique_ptr<TParseSection> TDocumentBuilder::NewSection(int level, TParseAlign align,
                                                            const TUrlTarget* link,
                                                            const TMyFont& font,
                                                            bool preformatted) {
  Sync();
  std::unique_ptr<TSection> section;
  if (preformatted) {
    section = std::make_unique<TPreFormated>(list_, level, font);
    // A line that starts inside a link belongs to it.
    if (link) section->HRef(symHref, font, link);
  } else {
    section = std::make_unique<TSection>(list_, level, static_cast<uint8_t>(align), link, font);
  }
  return std::make_unique<TBuiltSection>(*this, std::move(section));
}

std::unique_ptr<TParseSection> TDocumentBuilder::NewListItem(TListKind kind, int level,
                                                             const TUrlTarget* link,
                                                             const TMyFont& font, char numbering,
                                                             int number, bool plain) {
  Sync();
  std::unique_ptr<TSection> item;
  switch (kind) {
    case TListKind::Ordered:
      item = std::make_unique<TOListItem>(list_, level, link, font, numbering, number);
      break;
    case TListKind::Unordered:
      item = std::make_unique<TUListItem>(list_, level, link, font, plain);
      break;
    case TListKind::Definition:
      item = std::make_unique<TDListItem>(list_, level, link, font);
      break;
  }
  return std::make_unique<TBuiltSection>(*this, std::move(item));
}

void TDocumentBuilder::Append(std::unique_ptr<TParseSection> section) {
  auto* built = static_cast<TBuiltSection*>(section.get());
  Add(built->Take());
}

void TDocumentBuilder::AppendParagraphSpace() { Add(std::make_unique<TParagraphSpace>(&list_)); }

void TDocumentBuilder::AppendHeadingSpace(int level) {
  Add(std::make_unique<THeadingSpace>(&list_, level));
}

void TDocumentBuilder::AppendRule(const TAttributeList& attributes) {
  Add(std::make_unique<THorzLine>(&list_, attributes));
}

void TDocumentBuilder::AppendPage() { Add(std::make_unique<TPage>(&list_)); }

std::unique_ptr<TParseTable> TDocumentBuilder::NewTable(int level, TParseContainer* outer,
                                                        TParseAlign align,
                                                        const TAttributeList& attributes) {
  TCell* owner = outer ? static_cast<TBuiltContainer*>(outer)->Cell : nullptr;
  return std::make_unique<TBuiltTable>(
      std::make_unique<ThtmlTable>(&list_, level, owner, static_cast<uint8_t>(align), attributes));
}

std::unique_ptr<TParseRow> TDocumentBuilder::NewRow() { return std::make_unique<TBuiltRow>(); }

std::unique_ptr<TParseCell> TDocumentBuilder::NewCell(const TAttributeList& attributes,
                                                      TParseVAlign valign) {
  return std::make_unique<TBuiltCell>(TCellObj(&list_, attributes, valign));
}

void TDocumentBuilder::AppendTable(std::unique_ptr<TParseTable> table) {
  Add(std::move(static_cast<TBuiltTable&>(*table).Table));
}

void TDocumentBuilder::Discard(std::unique_ptr<TParseSection> discarded,
                               TParseSection& replacement) {
  if (!names_) return;
  TSection* old = static_cast<TBuiltSection&>(*discarded).Section();
  for (TNamedAnchor& anchor : *names_)
    if (anchor.Section == old) anchor.Section = static_cast<TBuiltSection&>(replacement).Section();
}

void TDocumentBuilder::AddName(std::u16string_view name, TParseSection& section) {
  if (names_) {
    names_->push_back({std::u16string(name), static_cast<TBuiltSection&>(section).Section()});
  }
}

}  // namespace brisomel
