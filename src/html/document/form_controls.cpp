// Form controls: creation, window controls, sizes, reset, submission and events. Printing is
// in form_controls_print.cpp.
#include "html/document/form_controls.h"

#include <algorithm>

#include "html/document/html_form.h"
#include "html/document/section_list.h"
#include "html/reader/text_utils.h"
#include "text/utf.h"

namespace brisomel {
namespace {

constexpr int32_t kHiddenTop = -400;
constexpr int32_t kOffLeft = -4000;

int32_t ClampSize(int64_t size) {
  return static_cast<int32_t>(std::clamp<int64_t>(size, 0, kMaxControlSize));
}

// The extent of "A" in `font`.
Size MeasureA(Canvas& canvas, const FontSpec& font) {
  canvas.SaveState();
  canvas.SetFont(font);
  Size a = canvas.TextExtent(u"A");
  canvas.RestoreState();
  return a;
}

// Without a window control a client area gets a plain two-pixel frame.
Size WindowSize(const WindowControl* control, Size client) {
  if (control) return control->WindowSizeForClient(client);
  return Size{client.cx + 4, client.cy + 4};
}

std::u16string Pair(std::u16string_view name, std::u16string_view value) {
  std::u16string pair(name);
  pair += u'=';
  pair += value;
  return pair;
}

}  // namespace

// --- The base ---

TFormControlObj::TFormControlObj(TSectionList* List, const TAttributeList& Attributes, int32_t Pos_)
    : Pos(Pos_), MasterList(List) {
  if (List) {
    if (!List->CurrentForm) List->CurrentForm = &ThtmlForm::Create(*List, TAttributeList());
    MyForm = List->CurrentForm;
  }
  if (const TAttribute* value = Attributes.Find(symValue)) {
    Value = value->Text;
    HasValue = true;
  }
  if (const TAttribute* name = Attributes.Find(symName)) Name = name->Text;
}

TFormControlObj::~TFormControlObj() = default;

WindowControl* TFormControlObj::CreateControl(TControlKind kind, const TControlOptions& options) {
  if (!MasterList || !MasterList->Services.WindowControls) return nullptr;
  // Out of sight until the first paint places it.
  TheControl = MasterList->Services.WindowControls->Create(
      kind, options, Rect{0, kHiddenTop, Width_, kHiddenTop + Height_});
  if (!TheControl) return nullptr;
  TSectionList* list = MasterList;
  TheControl->Events.OnEnter = [list, this] { list->ControlEnter(this); };
  TheControl->Events.OnExit = [list] { list->ControlExit(); };
  return TheControl.get();
}

void TFormControlObj::SetSize(int32_t width, int32_t height) {
  // The window control takes the size when it is shown.
  Width_ = ClampSize(width);
  Height_ = ClampSize(height);
}

FontSpec TFormControlObj::FixedFont() const {
  FontSpec font;
  font.name = MasterList ? MasterList->PreFontName : "Courier New";
  font.size = MasterList ? MasterList->Zoomed(10) : 10;
  return font;
}

FontSpec TFormControlObj::CaptionFont() const {
  if (MasterList && MasterList->Services.WindowControls) {
    // The controls' own font, at the document's zoom.
    FontSpec font = MasterList->Services.WindowControls->ScreenFont();
    font.size = MasterList->Zoomed(font.size);
    font.height = MasterList->Zoomed(font.height);
    return font;
  }
  return FontSpec{"MS Sans Serif", MasterList ? MasterList->Zoomed(8) : 8};
}

void TFormControlObj::Show(int32_t X, int32_t Top) {
  if (!TheControl) return;
  const Rect want{X, Top, X + Width_, Top + Height_};
  if (TheControl->Bounds() != want) TheControl->SetBounds(want);
  if (!TheControl->Visible()) TheControl->SetVisible(true);
}

void TFormControlObj::Hide() {
  if (TheControl && TheControl->Visible()) TheControl->SetVisible(false);
}

void TFormControlObj::MoveOff() {
  if (!TheControl) return;
  const Rect b = TheControl->Bounds();
  if (b.left != kOffLeft)
    TheControl->SetBounds(Rect{kOffLeft, b.top, kOffLeft + b.width(), b.bottom});
}

bool TFormControlObj::HasFocus() const { return TheControl && TheControl->Focused(); }

// --- Edit ---

TEditFormControlObj::TEditFormControlObj(TSectionList* List, const TAttributeList& Attributes,
                                         int32_t Pos_, bool Password_)
    : TFormControlObj(List, Attributes, Pos_), Password(Password_) {
  if (const TAttribute* size = Attributes.Find(symSize)) Size = size->Value;
  if (const TAttribute* max = Attributes.Find(symMaxlength)) MaxLength = std::max(max->Value, 0);
  Width_ = 120;
  Height_ = 20;
  if (WindowControl* c =
          CreateControl(Password ? TControlKind::ckPassword : TControlKind::ckEdit)) {
    c->SetFont(FixedFont());
    c->SetMaxLength(MaxLength);
    c->Events.OnReturn = [this] {
      if (MyForm) MyForm->ReturnPressed();
    };
  }
  ResetToValue();
}

std::u16string TEditFormControlObj::Text() const {
  if (TheControl) return TheControl->Text();
  return MaxLength > 0 ? Value.substr(0, static_cast<size_t>(MaxLength)) : Value;
}

void TEditFormControlObj::ResetToValue() {
  if (TheControl) TheControl->SetText(Value);
}

bool TEditFormControlObj::GetSubmission(int Index, std::u16string& S) {
  if (Index != 0) return false;
  S = Pair(Name, Text());
  return true;
}

void TEditFormControlObj::MeasureSize(Canvas& canvas) {
  const brisomel::Size a = MeasureA(canvas, FixedFont());
  SetSize(ClampSize(static_cast<int64_t>(a.cx) * Size + 5), Height_);
}

// --- Button ---

TButtonFormControlObj::TButtonFormControlObj(TSectionList* List, const TAttributeList& Attributes,
                                             int32_t Pos_, TKind Kind_)
    : TFormControlObj(List, Attributes, Pos_), Kind(Kind_) {
  if (const TAttribute* click = Attributes.Find(symOnclick)) OnClickText = Utf16ToUtf8(click->Text);
  if (WindowControl* c = CreateControl(TControlKind::ckButton)) {
    c->SetFont(CaptionFont());
    c->Events.OnClick = [this] { Clicked(); };
  }
  ResetToValue();
}

void TButtonFormControlObj::ResetToValue() {
  if (TheControl) TheControl->SetText(Caption());
}

std::u16string TButtonFormControlObj::Caption() const {
  if (HasValue) return Value;
  static const char16_t* const kCaptions[] = {u"Submit", u"Reset", u"Button"};
  return kCaptions[Kind];
}

void TButtonFormControlObj::MeasureSize(Canvas& canvas) {
  canvas.SaveState();
  canvas.SetFont(CaptionFont());
  const int32_t height = canvas.TextExtent(u"A").cy + 8;
  const int32_t width =
      canvas.TextExtent(TheControl ? TheControl->Text() : Caption()).cx +
      20;
  canvas.RestoreState();
  SetSize(width, height);
}

void TButtonFormControlObj::Clicked() {
  if (MasterList && MasterList->OnObjectClick)
    MasterList->OnObjectClick(MasterList->Owner, this, OnClickText);
  if (!MyForm) return;
  if (Kind == bkReset) {
    MyForm->ResetControls();
  } else if (Kind == bkSubmit) {
    if (Name.empty()) {
      MyForm->SubmitForm();
    } else {
      const std::u16string extra = Pair(Name, TheControl ? TheControl->Text() : Caption());
      MyForm->SubmitForm(&extra);
    }
  }
}

// --- Check box ---

TCheckBoxFormControlObj::TCheckBoxFormControlObj(TSectionList* List,
                                                 const TAttributeList& Attributes, int32_t Pos_)
    : TFormControlObj(List, Attributes, Pos_) {
  IsChecked = Attributes.Find(symChecked) != nullptr;
  if (const TAttribute* click = Attributes.Find(symOnclick)) OnClickText = Utf16ToUtf8(click->Text);
  if (Value.empty()) Value = u"On";
  OnBaseline = true;
  Width_ = Height_ = 13;
  if (WindowControl* c = CreateControl(TControlKind::ckCheckBox)) {
    c->Events.OnClick = [this] {
      if (MasterList->OnObjectClick)
        MasterList->OnObjectClick(MasterList->Owner, this, OnClickText);
    };
  }
  ResetToValue();
}

bool TCheckBoxFormControlObj::Checked() const {
  return TheControl ? TheControl->Checked() : IsChecked;
}

void TCheckBoxFormControlObj::ResetToValue() {
  if (TheControl) TheControl->SetChecked(IsChecked);
}

bool TCheckBoxFormControlObj::GetSubmission(int Index, std::u16string& S) {
  if (Index != 0) return false;
  if (Checked()) S = Pair(Name, Value);
  return true;
}

// --- Radio button ---

TRadioButtonFormControlObj::TRadioButtonFormControlObj(TSectionList* List,
                                                       const TAttributeList& Attributes,
                                                       int32_t Pos_, TCell* Cell_)
    : TFormControlObj(List, Attributes, Pos_), Cell(Cell_) {
  IsChecked = Attributes.Find(symChecked) != nullptr;
  if (const TAttribute* click = Attributes.Find(symOnclick)) OnClickText = Utf16ToUtf8(click->Text);
  OnBaseline = true;
  Width_ = 13;
  Height_ = 14;
  if (WindowControl* c = CreateControl(TControlKind::ckRadioButton)) {
    c->Events.OnClick = [this] {
      if (MyForm) MyForm->RadioClicked(this);
      if (MasterList->OnObjectClick)
        MasterList->OnObjectClick(MasterList->Owner, this, OnClickText);
    };
  }
  ResetToValue();
}

bool TRadioButtonFormControlObj::Checked() const {
  return TheControl ? TheControl->Checked() : Model_;
}

void TRadioButtonFormControlObj::SetChecked(bool checked) {
  Model_ = checked;
  if (TheControl) TheControl->SetChecked(checked);
}

void TRadioButtonFormControlObj::ResetToValue() { SetChecked(IsChecked); }

bool TRadioButtonFormControlObj::GetSubmission(int Index, std::u16string& S) {
  if (Index != 0) return false;
  if (Checked()) S = Pair(Name, Value);
  return true;
}

void TRadioButtonFormControlObj::SetPanelColor(Color color) {
  if (TheControl) TheControl->SetPanelColor(color);
}

// --- Hidden field ---

THiddenFormControlObj::THiddenFormControlObj(TSectionList* List, const TAttributeList& Attributes,
                                             int32_t Pos_)
    : TFormControlObj(List, Attributes, Pos_) {
  HasWindow = false;
}

bool THiddenFormControlObj::GetSubmission(int Index, std::u16string& S) {
  if (Index != 0) return false;
  S = Pair(Name, Value);
  return true;
}

// --- Image input ---

TImageFormControlObj::TImageFormControlObj(TSectionList* List, const TAttributeList& Attributes,
                                           int32_t Pos_)
    : TFormControlObj(List, Attributes, Pos_) {
  HasWindow = false;
}

void TImageFormControlObj::SetClickOffsets(int32_t X, int32_t Y) {
  XTmp = X;
  YTmp = Y;
}

void TImageFormControlObj::ImageClick() {
  XPos = XTmp;
  YPos = YTmp;
  if (MyForm) MyForm->SubmitForm();
}

bool TImageFormControlObj::GetSubmission(int Index, std::u16string& S) {
  if (XPos < 0) return false;
  const std::u16string prefix = Name.empty() ? std::u16string() : Name + u".";
  if (Index == 0) {
    S = prefix + u"x=" + AsciiToUtf16(std::to_string(XPos));
    return true;
  }
  if (Index == 1) {
    S = prefix + u"y=" + AsciiToUtf16(std::to_string(YPos));
    XPos = -1;
    return true;
  }
  return false;
}

// --- Text area ---

TTextAreaFormControlObj::TTextAreaFormControlObj(TSectionList* List,
                                                 const TAttributeList& Attributes, int32_t Pos_)
    : TFormControlObj(List, Attributes, Pos_) {
  if (const TAttribute* rows = Attributes.Find(symRows)) Rows = rows->Value;
  if (const TAttribute* cols = Attributes.Find(symCols)) Cols = cols->Value;
  if (const TAttribute* wrap = Attributes.Find(symWrap)) {
    const std::u16string mode = LowerCase(wrap->Text);
    Wrap = mode == u"soft" || mode == u"hard";
  }
  if (WindowControl* c = CreateControl(TControlKind::ckMemo, TControlOptions{false, Wrap}))
    c->SetFont(FixedFont());
}

void TTextAreaFormControlObj::AddText(std::u16string_view Line) { TheText.emplace_back(Line); }

void TTextAreaFormControlObj::ResetToValue() {
  if (!TheControl) return;
  std::u16string text;
  for (size_t i = 0; i < TheText.size(); ++i) {
    if (i > 0) text += u"\r\n";
    text += TheText[i];
  }
  TheControl->SetText(text);
  TheControl->ResetCaret();
}

std::vector<std::u16string> TTextAreaFormControlObj::Lines() const {
  if (!TheControl) return TheText;
  std::vector<std::u16string> lines;
  const int count = TheControl->LineCount();
  lines.reserve(static_cast<size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) lines.push_back(TheControl->Line(i));
  return lines;
}

bool TTextAreaFormControlObj::GetSubmission(int Index, std::u16string& S) {
  // The lines are read once per submission.
  if (Index == 0) SubmitLines_ = Lines();
  if (Index < 0 || Index >= static_cast<int>(SubmitLines_.size())) {
    SubmitLines_.clear();
    return false;
  }
  S = Pair(Name, SubmitLines_[static_cast<size_t>(Index)]);
  return true;
}

void TTextAreaFormControlObj::MeasureSize(Canvas& canvas) {
  const Size a = MeasureA(canvas, FixedFont());
  const Size client{ClampSize(static_cast<int64_t>(a.cx) * Cols + 5),
                    ClampSize(static_cast<int64_t>(a.cy) * Rows + 5)};
  const Size window = WindowSize(TheControl.get(), client);
  SetSize(window.cx, window.cy);
}

// --- List box ---

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList* List, const TAttributeList& Attributes,
                                               int32_t Pos_)
    : TListBoxFormControlObj(List, Attributes, Pos_, false) {}

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList* List, const TAttributeList& Attributes,
                                               int32_t Pos_, bool Combo)
    : TFormControlObj(List, Attributes, Pos_) {
  if (const TAttribute* size = Attributes.Find(symSize)) Size = size->Value;
  Multiple = !Combo && Attributes.Find(symMultiple) != nullptr;
  const TControlKind kind = Combo ? TControlKind::ckComboBox : TControlKind::ckListBox;
  if (WindowControl* c = CreateControl(kind, TControlOptions{Multiple, false}))
    c->SetFont(FixedFont());
}

void TListBoxFormControlObj::AddOption(std::u16string_view Text,
                                       const std::optional<std::u16string>& Value_, bool Selected) {
  TheOptions.push_back(TOptionItem{std::u16string(Text), TOptionObj{Value_, Selected}});
  LongestOption =
      std::max(LongestOption, static_cast<int32_t>(std::min<size_t>(Text.size(), kMaxControlSize)));
}

void TListBoxFormControlObj::ResetToValue() {
  // Without MULTIPLE the last selected option is current; else, or when none is, the first.
  int current = -1;
  if (!Multiple) {
    for (size_t i = 0; i < TheOptions.size(); ++i)
      if (TheOptions[i].Option.Selected) current = static_cast<int>(i);
  }
  if (current < 0 && !TheOptions.empty()) current = 0;
  Current_ = current;
  if (!TheControl) return;
  TheControl->SetItems(OptionTexts());
  if (Multiple) {
    for (size_t i = 0; i < TheOptions.size(); ++i)
      if (TheOptions[i].Option.Selected) TheControl->SetSelected(static_cast<int>(i), true);
  }
  TheControl->SetItemIndex(current);
  TheControl->SetTopIndex(0);
}

int TListBoxFormControlObj::ItemIndex() const {
  return TheControl ? TheControl->ItemIndex() : Current_;
}

bool TListBoxFormControlObj::ItemSelected(int I) const {
  if (!Multiple) return I == ItemIndex();
  if (TheControl) return TheControl->Selected(I);
  return I >= 0 && I < static_cast<int>(TheOptions.size()) &&
         TheOptions[static_cast<size_t>(I)].Option.Selected;
}

std::vector<std::u16string> TListBoxFormControlObj::OptionTexts() const {
  std::vector<std::u16string> texts;
  texts.reserve(TheOptions.size());
  for (const TOptionItem& item : TheOptions) texts.push_back(item.Text);
  return texts;
}

std::u16string TListBoxFormControlObj::Pair(int I) const {
  const TOptionItem& item = TheOptions[static_cast<size_t>(I)];
  return brisomel::Pair(Name, item.Option.Value ? *item.Option.Value : item.Text);
}

bool TListBoxFormControlObj::GetSubmission(int Index, std::u16string& S) {
  if (Index < 0 || Index >= static_cast<int>(TheOptions.size())) return false;
  if (ItemSelected(Index)) S = Pair(Index);
  return true;
}

void TListBoxFormControlObj::MeasureSize(Canvas& canvas) {
  if (Size == -1) Size = std::max(1, std::min(8, static_cast<int>(TheOptions.size())));
  const brisomel::Size a = MeasureA(canvas, FixedFont());
  const brisomel::Size client{ClampSize(static_cast<int64_t>(a.cx) * LongestOption + 15),
                              ClampSize(static_cast<int64_t>(a.cy) * Size)};
  const brisomel::Size window = WindowSize(TheControl.get(), client);
  SetSize(window.cx, window.cy);
}

// --- Combo box ---

TComboFormControlObj::TComboFormControlObj(TSectionList* List, const TAttributeList& Attributes,
                                           int32_t Pos_)
    : TListBoxFormControlObj(List, Attributes, Pos_, true) {}

void TComboFormControlObj::ResetToValue() {
  int current = TheOptions.empty() ? -1 : 0;
  for (size_t i = 0; i < TheOptions.size(); ++i)
    if (TheOptions[i].Option.Selected) current = static_cast<int>(i);
  Current_ = current;
  if (!TheControl) return;
  TheControl->SetItems(OptionTexts());
  TheControl->SetItemIndex(current);
}

bool TComboFormControlObj::GetSubmission(int Index, std::u16string& S) {
  if (Index < 0 || Index >= static_cast<int>(TheOptions.size())) return false;
  if (Index == ItemIndex()) S = Pair(Index);
  return true;
}

void TComboFormControlObj::MeasureSize(Canvas& canvas) {
  const brisomel::Size a = MeasureA(canvas, CaptionFont());
  const int32_t width = ClampSize(static_cast<int64_t>(a.cx) * LongestOption + 30);
  if (TheControl) {
    // The platform decides the height of a drop-down list.
    const Rect b = TheControl->Bounds();
    TheControl->SetBounds(Rect{b.left, b.top, b.left + width, b.bottom});
    SetSize(width, TheControl->Bounds().height());
  } else {
    SetSize(width, MeasureA(canvas, FixedFont()).cy + 6);
  }
}

// --- Making controls ---

TFormControlObj* MakeFormControl(TSectionList& List, TSymbol Sy, const TAttributeList& Attributes,
                                 int32_t Pos, TCell* Cell) {
  std::unique_ptr<TFormControlObj> control;
  bool hidden = false;
  switch (Sy) {
    case symInput: {
      const TAttribute* type = Attributes.Find(symType);
      const std::u16string kind = type ? LowerCase(type->Text) : std::u16string();
      if (kind == u"submit") {
        control = std::make_unique<TButtonFormControlObj>(&List, Attributes, Pos,
                                                          TButtonFormControlObj::bkSubmit);
      } else if (kind == u"reset") {
        control = std::make_unique<TButtonFormControlObj>(&List, Attributes, Pos,
                                                          TButtonFormControlObj::bkReset);
      } else if (kind == u"button") {
        control = std::make_unique<TButtonFormControlObj>(&List, Attributes, Pos,
                                                          TButtonFormControlObj::bkButton);
      } else if (kind == u"radio") {
        control = std::make_unique<TRadioButtonFormControlObj>(&List, Attributes, Pos, Cell);
      } else if (kind == u"checkbox") {
        control = std::make_unique<TCheckBoxFormControlObj>(&List, Attributes, Pos);
      } else if (kind == u"hidden") {
        control = std::make_unique<THiddenFormControlObj>(&List, Attributes, Pos);
        hidden = true;
      } else if (kind == u"image") {
        control = std::make_unique<TImageFormControlObj>(&List, Attributes, Pos);
      } else {
        control =
            std::make_unique<TEditFormControlObj>(&List, Attributes, Pos, kind == u"password");
      }
      break;
    }
    case symTextarea:
      control = std::make_unique<TTextAreaFormControlObj>(&List, Attributes, Pos);
      break;
    case symSelect: {
      const TAttribute* size = Attributes.Find(symSize);
      if (Attributes.Find(symMultiple) || (size && size->Value > 1))
        control = std::make_unique<TListBoxFormControlObj>(&List, Attributes, Pos);
      else
        control = std::make_unique<TComboFormControlObj>(&List, Attributes, Pos);
      break;
    }
    default:
      return nullptr;
  }
  ThtmlForm* form = control->MyForm;
  return form->Add(std::move(control), hidden);
}

}  // namespace brisomel
