// The parser's target over the document model: new sections are the document's text
// sections, list items and simple blocks, appended to a TSectionList; anchors go to a name
// list the caller keeps. The parser's style state is copied into the section list before every
// call that may start a font run, since the sections read it there.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/document/section_list.h"
#include "html/reader/parse_target.h"
#include "html/reader/parser.h"

namespace brisomel {

// An anchor name (upper case) and the section that holds it.
struct TNamedAnchor {
  std::u16string Name;
  TSectionBase* Section = nullptr;
};
using TNameList = std::vector<TNamedAnchor>;

// A container of the document: a cell that sections are added to.
class TBuiltContainer : public TParseCell {
 public:
  explicit TBuiltContainer(TCell* cell) : Cell(cell) {}
  TCell* Cell;
};

class TDocumentBuilder : public TParseTarget {
 public:
  // `names` may be null: anchors are then not recorded. `state` is the parser's, read at every
  // call; without one the section list's own style state is left alone.
  TDocumentBuilder(TSectionList& list, TNameList* names, const TParseState* state = nullptr)
      : list_(list), names_(names), state_(state), root_(&list), container_(&root_) {}
  void SetState(const TParseState* state) { state_ = state; }

  const TFontSettings& Settings() const override { return list_; }
  void SetFontColor(Color color) override { list_.FontColor = color; }
  void SetHotSpotColor(Color color) override { list_.HotSpotColor = color; }
  void SetBackground(Color color) override { list_.SetBackground(color); }
  void SetBackgroundImage(const std::u16string& name) override { list_.SetBackgroundImage(name); }
  bool IsEmpty() const override { return !container_ || container_->Cell->Count() == 0; }
  TParseContainer& Root() override { return root_; }
  TParseContainer* Container() const override { return container_; }
  void SetContainer(TParseContainer* container) override {
    container_ = static_cast<TBuiltContainer*>(container);
  }
  std::unique_ptr<TParseTable> NewTable(int level, TParseContainer* outer, TParseAlign align,
                                        const TAttributeList& attributes) override;
  std::unique_ptr<TParseRow> NewRow() override;
  std::unique_ptr<TParseCell> NewCell(const TAttributeList& attributes,
                                      TParseVAlign valign) override;
  void AppendTable(std::unique_ptr<TParseTable> table) override;

  std::unique_ptr<TParseSection> NewSection(int level, TParseAlign align, const TUrlTarget* link,
                                            const TMyFont& font, bool preformatted) override;
  std::unique_ptr<TParseSection> NewListItem(TListKind kind, int level, const TUrlTarget* link,
                                             const TMyFont& font, char numbering, int number,
                                             bool plain) override;
  void Append(std::unique_ptr<TParseSection> section) override;
  void AppendParagraphSpace() override;
  void AppendHeadingSpace(int level) override;
  void AppendRule(const TAttributeList& attributes) override;
  void AppendPage() override;
  void Discard(std::unique_ptr<TParseSection> discarded, TParseSection& replacement) override;
  void AddName(std::u16string_view name, TParseSection& section) override;
  void AddMap(std::unique_ptr<TMapItem> map) override { list_.Maps.push_back(std::move(map)); }
  void StartForm(const TAttributeList& attributes) override;
  void EndForm() override { list_.CurrentForm = nullptr; }
  void SetPageEncoding(Encoding encoding) override { list_.PageEncoding = encoding; }

  // Copies the parser's style state where the sections read it.
  void Sync() const {
    if (!state_) return;
    list_.ExtraStyle = state_->ExtraStyle;
    list_.SubSupState = state_->SubSupState;
  }
  TSectionList& List() const { return list_; }
  // The cell that sections go to now (the document when they are dropped).
  TCell& ContainerCell() const { return container_ ? *container_->Cell : list_; }

 private:
  void Add(std::unique_ptr<TSectionBase> section) {
    if (container_) container_->Cell->Add(std::move(section));
  }

  TSectionList& list_;
  TNameList* names_;
  const TParseState* state_;
  TBuiltContainer root_;
  TBuiltContainer* container_;
};

// A parser wired to a document: the usual way to fill a TSectionList. Events and the sender
// are set on `Parser`; the document's script handler is taken over.
class TDocumentParser {
 public:
  explicit TDocumentParser(TSectionList& list, TNameList* names = nullptr)
      : builder_(list, names), Parser(builder_) {
    builder_.SetState(&Parser.State);
    Parser.OnScript = list.OnScript;
    Parser.Sender = list.Owner;
  }

 private:
  TDocumentBuilder builder_;

 public:
  THtmlParser Parser;
};

}  // namespace brisomel
