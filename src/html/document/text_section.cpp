// Text sections: building, measuring, line layout with floats, preformatted text.
#include "html/document/text_section.h"

#include <algorithm>

#include "html/document/form_controls.h"
#include "html/document/section_list.h"
#include "html/reader/text_utils.h"
#include "text/line_break.h"
#include "text/utf.h"

namespace brisomel {
namespace {

constexpr int32_t kPreWidth = 32000;
constexpr int32_t kMaxLevel = 1000;

bool IsBreak(char16_t c) { return c == ' ' || c == kImageMarker || c == kControlMarker; }
bool IsObject(char16_t c) { return c == kImageMarker || c == kControlMarker; }

std::string RomanNumeral(int n) {
  static const char* const kOnes[10] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
  std::string s(static_cast<size_t>(n / 10), 'X');
  return s + kOnes[n % 10];
}

}  // namespace

std::u16string ListLabel(char NumberStyle, int32_t Number) {
  // Numbers below 1 have no letter or numeral: they show in decimal.
  if (Number < 1) return AsciiToUtf16(std::to_string(Number));
  switch (NumberStyle) {
    case 'A':
      return std::u16string(1, static_cast<char16_t>(u'A' + std::min(Number - 1, 25)));
    case 'a':
      return std::u16string(1, static_cast<char16_t>(u'a' + std::min(Number - 1, 25)));
    case 'I':
      return AsciiToUtf16(RomanNumeral(std::min(Number, 20)));
    case 'i':
      return AsciiToUtf16(LowerCase(RomanNumeral(std::min(Number, 20))));
    default:
      return AsciiToUtf16(std::to_string(Number));
  }
}

// --- Building ---

TSection::TSection(TSectionList& List, int32_t Level_, uint8_t Justify_,
                   const TUrlTarget* UrlTarget, const TMyFont& Font)
    : TSectionBase(&List),
      Fonts(std::make_unique<TFontList>()),
      Level(std::clamp(Level_, 0, kMaxLevel)),
      Justify(Justify_) {
  Indent = Level * kListIndent;
  TFontObj& run = Fonts->ChangeFont(List, Font, 0, List.ExtraStyle, 0, List.Screen());
  if (UrlTarget) {
    run.Target.Url = UrlTarget->Url;
    run.Target.Target = UrlTarget->Target;
  }
  BaseFont = std::make_unique<TMyFont>(Font);
  List.SubSupState = 0;
}

TSection::TSection(TSectionList& List, const TSection& Source)
    : TSectionBase(&List),
      Buff(Source.Buff),
      Fonts(TFontList::CreateCopy(*Source.Fonts)),
      FormControls(Source.FormControls),
      Level(Source.Level),
      Indent(Source.Indent),
      ListNumber(Source.ListNumber),
      BaseFont(std::make_unique<TMyFont>(*Source.BaseFont)),
      ListType(Source.ListType),
      Justify(Source.Justify),
      ClearMode(Source.ClearMode),
      Pre(Source.Pre),
      OnlyFloats_(Source.OnlyFloats_) {
  CopyBase(Source);
  Len = Source.Len;
  Images.CreateCopy(List, Source.Images);
}

std::unique_ptr<TSectionBase> TSection::CreateCopy(TSectionList& Parent) const {
  return std::unique_ptr<TSection>(new TSection(Parent, *this));
}

void TSection::AddText(std::u16string_view S) {
  if (S.empty() || Len > kMaxSectionText) return;
  if (!KeepsSpaces() && S[0] == ' ' && (Len == 0 || Buff.back() == ' ' || OnlyFloats_)) {
    S.remove_prefix(1);
    if (S.empty()) return;
  }
  size_t at = Buff.size();
  Buff.append(S);
  // Marker bytes belong to objects only: a stray one in the text shows as "?".
  for (size_t i = at; i < Buff.size(); ++i) {
    if (IsObject(Buff[i])) Buff[i] = '?';
  }
  Len = static_cast<int32_t>(Buff.size());
  OnlyFloats_ = false;
}

void TSection::ChangeFont(const TMyFont& Font) {
  TSectionList& list = *ParentSectionList;
  Fonts->ChangeFont(list, Font, Len, list.ExtraStyle, list.SubSupState, list.Screen());
}

void TSection::HRef(TSymbol Sy, const TMyFont& Font, const TUrlTarget* UrlTarget) {
  ChangeFont(Font);
  TFontObj& run = (*Fonts)[Fonts->Count() - 1];
  run.Target.Clear();
  if (Sy == symHref && UrlTarget) {
    run.Target.Url = UrlTarget->Url;
    run.Target.Target = UrlTarget->Target;
  }
}

TImageObj* TSection::AddImage(const TAttributeList& Attributes, TCell* Cell) {
  auto image = std::make_unique<TImageObj>(ParentSectionList, Len, Attributes);
  image->Cell = Cell;
  if (!image->Floating()) OnlyFloats_ = false;
  TImageObj* added = Images.Add(std::move(image));
  Buff.push_back(kImageMarker);
  Len = static_cast<int32_t>(Buff.size());
  return added;
}

void TSection::AddFormControl(TFormControlObj* Control) {
  if (!Control) return;
  Control->Pos = Len;
  FormControls.push_back(Control);
  Buff.push_back(kControlMarker);
  Len = static_cast<int32_t>(Buff.size());
  OnlyFloats_ = false;
}

TFormControlObj* TSection::AddFormControl(TSymbol Sy, TCell* Cell,
                                          const TAttributeList& Attributes) {
  TFormControlObj* control = MakeFormControl(*ParentSectionList, Sy, Attributes, Len, Cell);
  if (!control) return nullptr;
  if (dynamic_cast<TImageFormControlObj*>(control)) {
    AddImage(Attributes, Cell)->FormControl = control;
  } else if (!dynamic_cast<THiddenFormControlObj*>(control)) {
    AddFormControl(control);
  }
  return control;
}

void TSection::ProcessClear(const TAttributeList& Attributes) {
  const TAttribute* clear = Attributes.Find(symClear);
  if (!clear) return;
  const std::u16string v = LowerCase(clear->Text);
  ClearMode = v == u"left" ? 1 : v == u"right" ? 2 : 3;
}

uint8_t TSection::CheckEmpty() {
  if (Len == 0) {
    AddText(u"X");
    Buff.back() = ' ';
  }
  return Justify;
}

void TSection::RefreshFonts() {
  TSectionList& list = *ParentSectionList;
  Fonts->RefreshAll(list);
  BaseFont->Refresh(list, list.FontColor);
  ComputeHeight();
}

// --- Measuring ---

int TSection::RunIndexAt(int32_t P) const {
  // Runs are sorted by Pos; a page may hold very many, so they are bisected.
  int lo = 0, hi = Fonts->Count() - 1;
  if (hi < 0) return -1;
  while (lo < hi) {
    int mid = lo + (hi - lo + 1) / 2;
    if ((*Fonts)[mid].Pos <= P) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  return lo;
}

int32_t TSection::RunLengthAt(int32_t P) const {
  int i = RunIndexAt(P);
  if (i >= 0 && i + 1 < Fonts->Count() && (*Fonts)[i + 1].Pos > P) return (*Fonts)[i + 1].Pos - P;
  return Len - P;
}

const TFontObj* TSection::RunAt(int32_t P) const {
  int i = RunIndexAt(P);
  return i < 0 ? nullptr : &(*Fonts)[i];
}

const TFontObj* TSection::SelectRun(Canvas& canvas, int32_t P) const {
  const TFontObj* run = RunAt(P);
  if (run) canvas.SetFont(run->TheFont->Description());
  return run;
}

TFormControlObj* TSection::ControlAt(int32_t Pos) const {
  auto it = std::lower_bound(FormControls.begin(), FormControls.end(), Pos,
                             [](const TFormControlObj* c, int32_t p) { return c->Pos < p; });
  return it != FormControls.end() && (*it)->Pos == Pos ? *it : nullptr;
}

int32_t TSection::ControlDistance(int32_t Pos) const {
  auto it = std::lower_bound(FormControls.begin(), FormControls.end(), Pos,
                             [](const TFormControlObj* c, int32_t p) { return c->Pos < p; });
  return it == FormControls.end() ? 9999 : (*it)->Pos - Pos;
}

bool TSection::EastAsianBreakBefore(int32_t At) const {
  if (At <= 0 || At >= Len) return false;
  char16_t prev = Buff[At - 1];
  if (IsHighSurrogate(prev) && IsLowSurrogate(Buff[At])) return false;
  char32_t before = prev;
  if (IsLowSurrogate(prev) && At >= 2 && IsHighSurrogate(Buff[At - 2])) {
    before = DecodeUtf16At(Buff, At - 2).code_point;
  }
  return IsLineBreakBetween(before, DecodeUtf16At(Buff, At).code_point);
}

int32_t TSection::StretchLength(int32_t P, int32_t End) const {
  int32_t L = End - P;
  L = std::min(L, RunLengthAt(P));
  L = std::min(L, Images.DistanceToNext(P));
  L = std::min(L, ControlDistance(P));
  return std::max(L, 1);
}

int32_t TSection::TextWidth(Canvas& canvas, int32_t Start, int32_t End) const {
  int32_t w = 0;
  for (int32_t P = Start; P < End;) {
    const TFontObj* run = SelectRun(canvas, P);
    int32_t L = std::min(RunLengthAt(P), End - P);
    L = std::max(L, 1);
    w += canvas.TextExtent(std::u16string_view(Buff).substr(P, L)).cx -
         (run ? run->Overhang : 0);
    P += L;
  }
  return w;
}

int32_t TSection::BuffWidth(Canvas& canvas, int32_t Start, int32_t Count, bool TrimTrailing) const {
  int32_t End = std::min(Start + Count, Len);
  if (TrimTrailing) {
    while (End > Start + 1 && Buff[End - 1] == ' ') --End;
  }
  int32_t w = 0;
  for (int32_t P = Start; P < End;) {
    char16_t c = Buff[P];
    if (c == kImageMarker) {
      if (TImageObj* image = Images.ImageAt(P)) {
        if (!image->Floating()) w += image->ImageWidth;
        ++P;
        continue;
      }
    } else if (c == kControlMarker) {
      if (TFormControlObj* control = ControlAt(P)) {
        w += control->Width();
        ++P;
        continue;
      }
    }
    int32_t L = StretchLength(P, End);
    w += TextWidth(canvas, P, P + L);
    P += L;
  }
  return w;
}

int32_t TSection::FitCount(Canvas& canvas, int32_t Avail, int32_t N, int32_t P, int32_t Overhang,
                           int32_t* Width) const {
  // Widths grow with the count: gallop from an estimate, then bisect. Each probe measures one
  // whole stretch, so a line costs a few measurements of about its own length.
  std::u16string_view text = std::u16string_view(Buff).substr(P, std::max(N, 0));
  auto width_of = [&](int32_t k) {
    return canvas.TextExtent(text.substr(0, k)).cx - Overhang;
  };
  int32_t fit = 0, fit_width = 0, no_fit = -1;
  if (N > 0) {
    int32_t ave = std::max(1, canvas.GetTextMetrics().ave_char_width);
    int32_t probe = std::clamp(Avail / ave, 1, N);
    while (true) {
      int32_t w = width_of(probe);
      if (w <= Avail) {
        fit = probe;
        fit_width = w;
        if (probe == N) break;
        probe = std::min(N, probe + std::max(probe / 2, 4));
      } else {
        no_fit = probe;
        break;
      }
    }
    while (no_fit > fit + 1) {
      int32_t mid = fit + (no_fit - fit) / 2;
      int32_t w = width_of(mid);
      if (w <= Avail) {
        fit = mid;
        fit_width = w;
      } else {
        no_fit = mid;
      }
    }
  }
  if (Width) *Width = fit_width;
  return fit;
}

int32_t TSection::FitInLine(Canvas& canvas, int32_t Start, int32_t Count, int32_t Avail,
                            int32_t& Width) const {
  int32_t used = 0, P = Start, End = std::min(Start + Count, Len);
  while (P < End) {
    char16_t c = Buff[P];
    int32_t w = -1;
    if (c == kImageMarker) {
      if (TImageObj* image = Images.ImageAt(P)) w = image->Floating() ? 0 : image->ImageWidth;
    } else if (c == kControlMarker) {
      if (TFormControlObj* control = ControlAt(P)) w = control->Width();
    }
    if (w >= 0) {
      if (used + w > Avail) break;
      used += w;
      ++P;
      continue;
    }
    int32_t L = StretchLength(P, End);
    const TFontObj* run = SelectRun(canvas, P);
    int32_t fw = 0;
    int32_t K = FitCount(canvas, Avail - used, L, P, run ? run->Overhang : 0, &fw);
    if (K > 0) used += fw;
    P += K;
    if (K < L) break;
  }
  Width = used;
  return P - Start;
}

// --- Layout ---

void TSection::PlaceFloat(TImageObj& image, IndentManager& IMgr, int32_t Y) {
  int32_t w = image.ImageWidth;
  if (image.ObjAlign == oaLeft) {
    int32_t x = IMgr.LeftEdge(Y) - IMgr.LfEdge;
    image.FloatX = x;
    IMgr.AddLeft(x + w + image.HSpace, Y, Y + image.ImageHeight);
  } else {
    int32_t right = IMgr.RightEdge(Y);
    image.FloatX = right - IMgr.LfEdge - w;
    IMgr.AddRight(right - IMgr.RtEdge - (w + image.HSpace), Y, Y + image.ImageHeight);
  }
  image.FloatY = Y;
}

int32_t TSection::FitChars(Canvas& canvas, int32_t Width, std::vector<TImageObj*>& FloatList,
                           int32_t& MaxFloatHt, IndentManager& IMgr, int32_t Y, int32_t Remaining,
                           int32_t Start) {
  int32_t used = 0, count = 0, P = Start;
  int32_t End = Start + Remaining;
  bool at_line_start = true;
  MaxFloatHt = 0;
  while (P < End) {
    char16_t c = Buff[P];
    if (c == kImageMarker) {
      if (TImageObj* image = Images.ImageAt(P)) {
        if (!image->Floating()) {
          used += image->ImageWidth;
          at_line_start = false;
          if (used > Width) return count;  // the image starts the next line
        } else if (at_line_start) {
          PlaceFloat(*image, IMgr, Y);
          used += image->ImageWidth + image->HSpace;
          MaxFloatHt = std::max(MaxFloatHt, image->ImageHeight);
        } else {
          FloatList.push_back(image);
        }
        // A float placed now stays on this line even when it overflows it: it is placed.
        ++count;
        ++P;
        if (count >= Remaining) return Remaining;
        if (used > Width) return count;
        continue;
      }
    } else if (c == kControlMarker) {
      if (TFormControlObj* control = ControlAt(P)) {
        used += control->Width();
        at_line_start = false;
        if (used > Width) return count;
        ++count;
        ++P;
        if (count >= Remaining) return Remaining;
        continue;
      }
    }
    int32_t L = StretchLength(P, End);
    const TFontObj* run = SelectRun(canvas, P);
    int32_t fw = 0;
    int32_t K = FitCount(canvas, Width - used, L, P, run ? run->Overhang : 0, &fw);
    count += K;
    if (count >= Remaining) return Remaining;
    if (K < L) return count;
    used += fw;
    at_line_start = false;
    P += K;
  }
  return count;
}

int32_t TSection::ClearSpace(IndentManager& IMgr, int32_t Y) const {
  if (ClearMode == 0) return 0;
  int32_t left, right;
  IMgr.ClearBottoms(left, right);
  int32_t bottom = ClearMode == 1 ? left : ClearMode == 2 ? right : std::max(left, right);
  return std::max(0, bottom - Y);
}

void TSection::FinishLine(Canvas& canvas, IndentManager& IMgr, int32_t& Y, int32_t Start, int32_t n,
                          int32_t MaxFloatHt, std::vector<TImageObj*>& FloatList) {
  LineRec line;
  line.Start = Start;
  line.Ln = n;
  int32_t End = Start + n;
  bool objects_only = true;
  for (int32_t i = Start; i < End && objects_only; ++i) objects_only = IsObject(Buff[i]);
  if (!objects_only) {
    int first = RunIndexAt(Start), last = RunIndexAt(End - 1);
    for (int i = std::max(first, 0); i <= last; ++i) {
      line.LineHt = std::max(line.LineHt, (*Fonts)[i].LineHeight);
      line.Descent = std::max(line.Descent, (*Fonts)[i].Descent);
    }
  }
  int32_t B = line.LineHt;
  auto first_image = std::lower_bound(Images.Items.begin(), Images.Items.end(), Start,
                                      [](const auto& image, int32_t p) { return image->Pos < p; });
  for (auto it = first_image; it != Images.Items.end() && (*it)->Pos < End; ++it) {
    TImageObj& image = **it;
    if (image.Floating()) continue;
    int32_t E = image.ImageHeight;
    switch (image.ObjAlign) {
      case oaTop:
        line.SpaceAfter = std::max(line.SpaceAfter, E - B);
        break;
      case oaMiddle: {
        int32_t G = (E - B) / 2;
        line.SpaceAfter = std::max(line.SpaceAfter, G);
        line.SpaceBefore = std::max(line.SpaceBefore, E - B - G);
        break;
      }
      default:
        line.SpaceBefore = std::max(line.SpaceBefore, E + line.Descent - B);
        break;
    }
  }
  auto first_control =
      std::lower_bound(FormControls.begin(), FormControls.end(), Start,
                       [](const TFormControlObj* c, int32_t p) { return c->Pos < p; });
  for (auto it = first_control; it != FormControls.end() && (*it)->Pos < End; ++it) {
    TFormControlObj* control = *it;
    int32_t E = control->Height();
    line.SpaceBefore =
        std::max(line.SpaceBefore, control->OnBaseline ? E + line.Descent - B : E - B);
    control->YValue = Y;
  }
  int32_t left = IMgr.LeftEdge(Y), right = IMgr.RightEdge(Y);
  if (Justify == 2 || Justify == 3) {
    int32_t W = BuffWidth(canvas, Start, n, true);
    line.LineIndent = Justify == 2 ? std::max(left, (left + right - W) / 2) : right - W - 1;
  } else {
    line.LineIndent = left;
  }
  int32_t total = line.Total();
  SectionHeight = std::min(SectionHeight + total, kMaxDocumentY);
  Y = std::min(Y + total, kMaxDocumentY);
  line.LineImgHt = std::max(total, MaxFloatHt);
  for (TImageObj* image : FloatList) {
    // Floats beyond a break that fell earlier belong to the next line.
    if (image->Pos >= End) continue;
    PlaceFloat(*image, IMgr, Y);
    line.LineImgHt = std::max(line.LineImgHt, total + image->ImageHeight);
  }
  FloatList.clear();
  Lines.push_back(line);
}

int32_t TSection::LayOut(Canvas& canvas, int32_t Y, IndentManager& IMgr, int32_t& MaxWidth,
                         int32_t& Curs) {
  YValue = Y;
  StartCurs = Curs;
  SectionHeight = 0;
  Lines.clear();
  IMgr.SetLevel(Y, Level);
  if (Len == 0) {
    SectionHeight = DrawHeight = ClearSpace(IMgr, Y);
    MaxWidth = 0;
    return SectionHeight;
  }
  canvas.SaveState();
  ContentLeft = IMgr.LeftEdge(Y);
  MaxWidth = IMgr.Width;
  int32_t avail = IMgr.RightEdge(Y) - IMgr.LeftEdge(Y);
  for (const auto& image : Images.Items) {
    image->LayOut(canvas, avail, RunAt(image->Pos));
    MaxWidth = std::max(MaxWidth, image->ImageWidth + Indent);
  }
  for (TFormControlObj* control : FormControls) {
    if (control->HasWindow) MaxWidth = std::max(MaxWidth, control->Width() + Indent);
  }
  std::vector<TImageObj*> floats;
  int32_t P = 0, N = Len;
  if (ClearMode != 0) {
    int32_t D = ClearSpace(IMgr, Y);
    if (D > 0) {
      LineRec line;
      line.SpaceBefore = D;
      line.LineImgHt = D;
      line.LineIndent = IMgr.LeftEdge(Y);
      Lines.push_back(line);
      SectionHeight += D;
      Y += D;
    }
  }
  while (N > 0) {
    int32_t width = Pre ? kPreWidth : IMgr.RightEdge(Y) - IMgr.LeftEdge(Y);
    int32_t max_float = 0;
    floats.clear();
    int32_t n = std::clamp(FitChars(canvas, width, floats, max_float, IMgr, Y, N, P), 1, N);
    if (n < N) {
      if (Buff[P + n - 1] == ' ') {
        while (n < N && Buff[P + n] == ' ') ++n;
      } else if (!IsObject(Buff[P + n])) {
        // The last break at or before the end of what fits: after a space or an object (not
        // after a leading space), or inside East Asian text.
        int32_t b = P + n;
        while (b > P && !((b > P + 1 || IsObject(Buff[P])) && IsBreak(Buff[b - 1])) &&
               !EastAsianBreakBefore(b)) {
          --b;
        }
        if (b > P) {
          n = b - P;
        } else {
          // A word longer than the line: the whole word and the spaces after it.
          int32_t j = P + n;
          while (j < P + N && !IsBreak(Buff[j]) && !EastAsianBreakBefore(j)) ++j;
          while (j < P + N && Buff[j] == ' ') ++j;
          n = j - P;
        }
      }
    }
    FinishLine(canvas, IMgr, Y, P, n, max_float, floats);
    P += n;
    N -= n;
  }
  canvas.RestoreState();
  Curs = StartCurs + Len;
  if (Level > 0) SectionHeight = std::max(SectionHeight, IMgr.ListFloatBottom() - YValue);
  DrawHeight = std::max(SectionHeight, IMgr.MaxFloatBottom() - YValue);
  return SectionHeight;
}

void TSection::MeasureWidths(Canvas& canvas, int32_t& Min, int32_t& Max) {
  canvas.SaveState();
  int32_t floats = 0, widest_image = 0;
  for (const auto& image : Images.Items) {
    image->LayOut(canvas, 0, RunAt(image->Pos));
    if (image->PercentWidth) continue;
    if (image->Floating()) {
      floats += image->ImageWidth + image->HSpace;
    } else {
      widest_image = std::max(widest_image, image->ImageWidth);
    }
  }
  Max = floats + BuffWidth(canvas, 0, Len, false) + Indent;
  int32_t widest_word = 0;
  for (int32_t P = 0; P < Len;) {
    while (P < Len && IsBreak(Buff[P])) ++P;
    int32_t start = P;
    while (P < Len && !IsBreak(Buff[P]) && !(P > start && EastAsianBreakBefore(P))) ++P;
    if (P > start) widest_word = std::max(widest_word, BuffWidth(canvas, start, P - start, false));
  }
  Min = std::max(widest_word, widest_image) + floats + Indent;
  canvas.RestoreState();
}

// --- Preformatted text ---

TPreFormated::TPreFormated(TSectionList& List, int32_t Level_, const TMyFont& Font,
                           const TUrlTarget* UrlTarget, uint8_t Justify_)
    : TSection(List, Level_, Justify_, UrlTarget, Font) {
  Pre = true;
}

TPreFormated::TPreFormated(TSectionList& List, const TPreFormated& Source)
    : TSection(List, Source) {}

std::unique_ptr<TSectionBase> TPreFormated::CreateCopy(TSectionList& Parent) const {
  return std::unique_ptr<TPreFormated>(new TPreFormated(Parent, *this));
}

void TPreFormated::AddText(std::u16string_view S) { TSection::AddText(S); }

int32_t TPreFormated::LayOut(Canvas& canvas, int32_t Y, IndentManager& IMgr, int32_t& MaxWidth,
                             int32_t& Curs) {
  int32_t saved = IMgr.Width;
  IMgr.Width = kPreWidth;
  int32_t h = TSection::LayOut(canvas, Y, IMgr, MaxWidth, Curs);
  IMgr.Width = saved;
  int32_t mn = 0, mx = 0;
  MeasureWidths(canvas, mn, mx);
  MaxWidth = mx;
  return h;
}

void TPreFormated::MeasureWidths(Canvas& canvas, int32_t& Min, int32_t& Max) {
  canvas.SaveState();
  Max = BuffWidth(canvas, 0, Len, false) + Indent;
  canvas.RestoreState();
  Min = std::min(500, Max);
}

}  // namespace brisomel
