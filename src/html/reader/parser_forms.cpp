// Form elements: FORM opens a form that the following controls join, INPUT, SELECT and
// TEXTAREA make controls in the current section, a SELECT reads its OPTIONs and a TEXTAREA its
// text up to the end tag.
#include "html/reader/parser.h"

namespace brisomel {
namespace {

constexpr size_t kMaxOptionText = 80;

}  // namespace

void THtmlParser::ParseFormElement(int level) {
  const TSymbol symbol = tok_.Symbol;
  switch (symbol) {
    case symForm:
      document_.StartForm(tok_.Attributes);
      break;
    case symFormEnd:
      document_.EndForm();
      break;
    case symInput:
    case symSelect:
    case symTextarea: {
      EnsureSection(level);
      std::unique_ptr<TParseControl> control = section_->AddFormControl(symbol, tok_.Attributes);
      if (symbol == symSelect) ParseSelectOptions(control.get());
      if (symbol == symTextarea) ParseTextArea(control.get());
      break;
    }
    default:
      break;  // TEXTAREA end outside a text area
  }
}

// Reads OPTIONs up to SELECT end: each option's text (blanks trimmed, at most 80 characters),
// VALUE (none when absent) and SELECTED. Options with empty text are dropped. The SELECT end
// tag stays current.
void THtmlParser::ParseSelectOptions(TParseControl* control) {
  std::u16string text;
  std::optional<std::u16string> value;
  bool selected = false, open = false;
  auto add = [&] {
    if (text.size() > kMaxOptionText)
      text.resize(kMaxOptionText - (IsHighSurrogate(text[kMaxOptionText - 1]) ? 1 : 0));
    const std::u16string trimmed = TrimBlanks(text);
    if (open && !trimmed.empty() && control) control->AddOption(trimmed, value, selected);
  };
  tok_.NextSymbol();
  while (tok_.Symbol != symEof && tok_.Symbol != symSelectEnd) {
    if (tok_.Symbol == symText) {
      if (open && text.size() < kMaxOptionText) text += tok_.TokenText;
    } else if (tok_.Symbol == symOption || tok_.Symbol == symOptionEnd) {
      add();
      text.clear();
      value.reset();
      selected = false;
      open = tok_.Symbol == symOption;
      if (open) {
        selected = tok_.Attributes.Find(symSelected) != nullptr;
        if (const TAttribute* v = tok_.Attributes.Find(symValue))
          value = v->Text.substr(0, kMaxOptionText);
      }
    }
    tok_.NextSymbol();
  }
  add();
  if (control) control->Reset();
}

// Reads the text up to TEXTAREA end as it stands: every line end ends a line, tags inside stay
// as text. Then the rest of the end tag is skipped.
void THtmlParser::ParseTextArea(TParseControl* control) {
  std::u16string line;
  tok_.NextTextAreaSymbol();
  while (tok_.Symbol != symEof && tok_.Symbol != symTextareaEnd) {
    if (tok_.Symbol == symEol) {
      if (control) control->AddLine(line);
      line.clear();
    } else {
      line += tok_.TokenText;
    }
    tok_.NextTextAreaSymbol();
  }
  while (tok_.Ch != '>' && tok_.Ch != Tokenizer::kEofChar) tok_.Advance();
  if (tok_.Ch == '>') tok_.Advance();
  if (!line.empty() && control) control->AddLine(line);
  if (control) control->Reset();
}

}  // namespace brisomel
