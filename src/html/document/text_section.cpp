// Text sections: building, line layout with floats, painting, hit tests, search and copy.
#include "html/document/text_section.h"

#include <algorithm>
#include <cstring>

#include "html/document/section_list.h"
#include "html/reader/text_utils.h"
#include "html/reader/token_dump.h"

namespace brisomel {
namespace {

constexpr int32_t kPreWidth = 32000;
constexpr int32_t kMaxLevel = 1000;

bool IsBreak(char c) { return c == ' ' || c == kImageMarker || c == kControlMarker; }
bool IsObject(char c) { return c == kImageMarker || c == kControlMarker; }

// Case folding of the system code page (Windows-1252): ASCII and the Latin-1 letters.
unsigned char FoldLower(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  return c;
}
unsigned char FoldUpper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  return c;
}

std::string RomanNumeral(int n) {
  static const char* const kOnes[10] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
  std::string s(static_cast<size_t>(n / 10), 'X');
  return s + kOnes[n % 10];
}

}  // namespace

std::string ListLabel(char NumberStyle, int32_t Number) {
  // Numbers below 1 have no letter or numeral: they show in decimal.
  if (Number < 1) return std::to_string(Number);
  switch (NumberStyle) {
    case 'A':
      return std::string(1, static_cast<char>('A' + std::min(Number - 1, 25)));
    case 'a':
      return std::string(1, static_cast<char>('a' + std::min(Number - 1, 25)));
    case 'I':
      return RomanNumeral(std::min(Number, 20));
    case 'i':
      return LowerCase(RomanNumeral(std::min(Number, 20)));
    default:
      return std::to_string(Number);
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

void TSection::AddText(std::string_view S) {
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

void TSection::ProcessClear(const TAttributeList& Attributes) {
  const TAttribute* clear = Attributes.Find(symClear);
  if (!clear) return;
  std::string v = LowerCase(clear->Text);
  ClearMode = v == "left" ? 1 : v == "right" ? 2 : 3;
}

uint8_t TSection::CheckEmpty() {
  if (Len == 0) {
    AddText("X");
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
  if (run) canvas.SetFont(run->TheFont->Spec());
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
    w += canvas.TextExtent(std::string_view(Buff).substr(P, L)).cx - (run ? run->Overhang : 0);
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
    char c = Buff[P];
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

int32_t TSection::FitCount(Canvas& canvas, int32_t Avail, int32_t N, int32_t P,
                           int32_t Overhang, int32_t* Width) const {
  // Widths grow with the count: gallop from an estimate, then bisect. Each probe measures one
  // whole stretch, so a line costs a few measurements of about its own length.
  std::string_view text = std::string_view(Buff).substr(P, std::max(N, 0));
  auto width_of = [&](int32_t k) { return canvas.TextExtent(text.substr(0, k)).cx - Overhang; };
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
    char c = Buff[P];
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
                           int32_t& MaxFloatHt, IndentManager& IMgr, int32_t Y,
                           int32_t Remaining, int32_t Start) {
  int32_t used = 0, count = 0, P = Start;
  int32_t End = Start + Remaining;
  bool at_line_start = true;
  MaxFloatHt = 0;
  while (P < End) {
    char c = Buff[P];
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

void TSection::FinishLine(Canvas& canvas, IndentManager& IMgr, int32_t& Y, int32_t Start,
                          int32_t n, int32_t MaxFloatHt, std::vector<TImageObj*>& FloatList) {
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
    line.SpaceBefore = std::max(line.SpaceBefore,
                                control->OnBaseline() ? E + line.Descent - B : E - B);
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
        int32_t i = P + n - 1;
        while (i > P && !IsBreak(Buff[i])) --i;
        if (i > P || IsObject(Buff[P])) {
          n = i - P + 1;
        } else {
          // A word longer than the line: the whole word and the spaces after it.
          int32_t j = P + n;
          while (j < P + N && !IsBreak(Buff[j])) ++j;
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
    while (P < Len && !IsBreak(Buff[P])) ++P;
    if (P > start) widest_word = std::max(widest_word, BuffWidth(canvas, start, P - start, false));
  }
  Min = std::max(widest_word, widest_image) + floats + Indent;
  canvas.RestoreState();
}

// --- Painting ---

void TSection::DrawLine(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X,
                        int32_t& Y, LineRec& line, bool first, int32_t SelStart,
                        int32_t SelEnd) {
  TSectionList& list = *ParentSectionList;
  int32_t yoff = list.YOff;
  int32_t line_top = Y;
  Y += line.SpaceBefore + line.LineHt;
  int32_t baseline = Y - line.Descent - yoff;
  if (first) DrawMarker(canvas, X, baseline, line);
  int32_t x = X + line.LineIndent;
  line.DrawX = x;
  line.DrawY = Y - line.LineHt;
  // Floats were placed at layout Y; the section may paint elsewhere (a moved table cell).
  int32_t shift = PaintShift_;
  int32_t End = line.Start + line.Ln;
  bool monochrome = false;
  if (list.Printing) {
    DeviceCaps caps = canvas.GetDeviceCaps();
    monochrome = caps.bits_per_pixel * caps.planes < 3;
  }
  for (int32_t P = line.Start; P < End;) {
    char c = Buff[P];
    if (c == kImageMarker) {
      if (TImageObj* image = Images.ImageAt(P)) {
        const TFontObj* run = RunAt(P);
        if (!image->Floating()) {
          image->Paint(canvas, x, run, baseline, Y - line.LineHt - yoff);
          x += image->ImageWidth;
        } else {
          image->Paint(canvas, X + image->FloatX, run, baseline, image->FloatY + shift - yoff);
        }
        ++P;
        continue;
      }
    } else if (c == kControlMarker) {
      if (TFormControlObj* control = ControlAt(P)) {
        control->ShowIt = true;
        int32_t top = Y - control->Height() - yoff - (control->OnBaseline() ? line.Descent : 0);
        if (list.Printing) {
          control->Print(canvas, x, top);
        } else {
          control->SetPanelColor(OwnerCell && OwnerCell->HasBkColor ? OwnerCell->BkColor
                                                                   : list.Background);
          control->Show(x, top);
        }
        x += control->Width();
        ++P;
        continue;
      }
    }
    int32_t L = StretchLength(P, End);
    if (P < SelStart && SelStart < P + L) L = SelStart - P;
    if (P < SelEnd && SelEnd < P + L) L = SelEnd - P;
    const TFontObj* run = SelectRun(canvas, P);
    int32_t overhang = run ? run->Overhang : 0;
    Color color = run ? run->TheFont->FontColor() : list.FontColor;
    if (list.Printing) {
      if (monochrome) {
        color = 0;
      } else if (RedOf(color) >= 0xE0 && GreenOf(color) >= 0xE0) {
        color = 0x02A0A0A0;
      }
    }
    bool selected = P >= SelStart && P < SelEnd;
    if (selected) {
      canvas.SetBkMode(BkMode::kOpaque);
      canvas.SetBkColor(color);
      canvas.SetTextColor(list.Background);
    } else {
      canvas.SetBkMode(BkMode::kTransparent);
      canvas.SetTextColor(color);
    }
    int32_t ty = baseline;
    if (run && run->ScriptKind == 1) ty += run->Descent / 2 + 1;
    if (run && run->ScriptKind == 2) ty -= run->LineHeight / 3;
    std::string_view text = std::string_view(Buff).substr(P, L);
    if (Pre) {
      Rect clip{X, line_top - yoff, X + IMgr.ClipWidth, Y + line.SpaceAfter - yoff};
      canvas.ExtTextOut(x - overhang / 2, ty, kTextClipped, &clip, text);
    } else {
      canvas.TextOut(x - overhang / 2, ty, text);
    }
    x += canvas.TextExtent(text).cx - overhang;
    P += L;
  }
  Y += line.SpaceAfter;
}

int32_t TSection::Paint(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X,
                        int32_t Y) {
  TSectionList& list = *ParentSectionList;
  int32_t yoff = list.YOff;
  if (Y + DrawHeight - yoff < ARect.top || Y - yoff >= ARect.bottom) return Y + SectionHeight;
  canvas.SaveState();
  canvas.SetTextAlign(kAlignBaseline | kAlignLeft);
  PaintShift_ = Y - YValue;
  int32_t sel_start = list.SelB - StartCurs, sel_end = list.SelE - StartCurs;
  int32_t y = Y;
  for (size_t i = 0; i < Lines.size(); ++i) {
    LineRec& line = Lines[i];
    int32_t total = line.Total();
    if (list.Printing) {
      if (y + line.LineImgHt > list.PageBottom && line.LineImgHt < ARect.height()) {
        if (y < list.PageBottom) list.PageBottom = y;
        break;
      }
      if (y + line.LineImgHt < ARect.top + yoff) {
        y += total;
        continue;
      }
    } else if (y + line.LineImgHt - yoff < ARect.top || y - yoff >= ARect.bottom) {
      // Outside the rectangle: only the position that hit tests use is kept current.
      line.DrawX = X + line.LineIndent;
      line.DrawY = y + line.SpaceBefore;
      y += total;
      continue;
    }
    DrawLine(canvas, ARect, IMgr, X, y, line, i == 0 || (i == 1 && Lines[0].Ln == 0), sel_start,
             sel_end);
  }
  canvas.RestoreState();
  return Y + SectionHeight;
}

// --- Hit tests ---

int TSection::LineAtY(int32_t Y, int32_t& LineTop) const {
  if (Y < 0) return -1;
  int32_t top = 0;
  for (size_t i = 0; i < Lines.size(); ++i) {
    int32_t total = Lines[i].Total();
    if (Y < top + total) {
      LineTop = top;
      return static_cast<int>(i);
    }
    top += total;
  }
  return -1;
}

int32_t TSection::PositionAt(Canvas& canvas, int32_t X, int32_t Y, int32_t& XR, int32_t& YR,
                             int32_t& CaretHt, bool& InText) {
  int32_t top;
  int i = LineAtY(Y, top);
  if (i < 0) return -1;
  const LineRec& line = Lines[i];
  InText = true;
  CaretHt = line.LineHt;
  YR = top + line.SpaceBefore;
  if (X < line.DrawX) {
    InText = false;
    XR = line.DrawX;
    return StartCurs + line.Start;
  }
  canvas.SaveState();
  int32_t width = 0;
  int32_t K = FitInLine(canvas, line.Start, line.Ln, X - line.DrawX, width);
  XR = line.DrawX + width;
  if (K < line.Ln) {
    int32_t next = BuffWidth(canvas, line.Start + K, 1, false);
    if (width + next / 2 < X - line.DrawX) {
      XR += next;
      ++K;
    }
  } else {
    InText = false;
  }
  canvas.RestoreState();
  return StartCurs + line.Start + K;
}

bool TSection::LinkAt(Canvas& canvas, int32_t X, int32_t Y, TUrlTarget& UrlTarget,
                      TFormControlObj*& FormControl) {
  TFormControlObj* control = nullptr;
  TMapItem* map = nullptr;
  bool map_found = false, is_map = false;
  int32_t pos = 0, ix = 0, iy = 0;
  if (Images.HitLink(X, Y + YValue, control, map, map_found, is_map, pos, ix, iy)) {
    if (control) {
      control->SetClickOffsets(ix, iy);
      FormControl = control;
      return true;
    }
    if (map_found) {
      auto target = map->Hit(ix, iy);
      if (!target) return false;
      UrlTarget = *target;
      return true;
    }
    const TFontObj* run = RunAt(pos);
    if (!run || run->Target.Url.empty()) return false;
    UrlTarget.Url = run->Target.Url;
    UrlTarget.Target = run->Target.Target;
    if (is_map) {
      UrlTarget.Url.push_back('?');
      UrlTarget.Url.append(std::to_string(ix));
      UrlTarget.Url.push_back(',');
      UrlTarget.Url.append(std::to_string(iy));
    }
    return true;
  }
  int32_t top;
  int i = LineAtY(Y, top);
  if (i < 0) return false;
  const LineRec& line = Lines[i];
  if (X < line.DrawX) return false;
  canvas.SaveState();
  int32_t width = 0;
  int32_t K = FitInLine(canvas, line.Start, line.Ln, X - line.DrawX, width);
  canvas.RestoreState();
  // Objects answer through their own hit tests only (a click on an image border is no hit).
  if (K >= line.Ln || IsObject(Buff[line.Start + K])) return false;
  const TFontObj* run = RunAt(line.Start + K);
  if (!run || run->Target.Url.empty()) return false;
  UrlTarget.Url = run->Target.Url;
  UrlTarget.Target = run->Target.Target;
  return true;
}

bool TSection::ImageAt(int32_t X, int32_t Y, TImageObj*& Obj, int32_t& IX, int32_t& IY) {
  return Images.HitImage(X, Y + YValue, IX, IY, Obj);
}

bool TSection::PositionToPoint(Canvas& canvas, int32_t Position, int32_t& X, int32_t& Y) {
  if (Len == 0 || Position < StartCurs || Position >= StartCurs + Len) return false;
  int32_t P = Position - StartCurs;
  int32_t y = YValue;
  for (const LineRec& line : Lines) {
    if (P >= line.Start && P < line.Start + line.Ln) {
      canvas.SaveState();
      X = line.LineIndent + BuffWidth(canvas, line.Start, P - line.Start, false);
      canvas.RestoreState();
      Y = y;
      return true;
    }
    y += line.Total();
  }
  return false;
}

bool TSection::CharAt(int32_t Position, char& Ch, TSectionBase*& Obj) {
  if (Position < StartCurs || Position >= StartCurs + Len) return false;
  Ch = Buff[Position - StartCurs];
  Obj = this;
  return true;
}

int32_t TSection::FindString(int32_t From, std::string_view ToFind, bool MatchCase) {
  if (Len == 0 || ToFind.empty() || From >= StartCurs + Len) return -1;
  size_t start = From > StartCurs ? static_cast<size_t>(From - StartCurs) : 0;
  if (MatchCase) {
    size_t at = Buff.find(ToFind, start);
    return at == std::string::npos ? -1 : StartCurs + static_cast<int32_t>(at);
  }
  size_t compare = std::min<size_t>(ToFind.size(), 255);
  unsigned char lower = FoldLower(static_cast<unsigned char>(ToFind[0]));
  unsigned char upper = FoldUpper(static_cast<unsigned char>(ToFind[0]));
  const char* data = Buff.data();
  size_t size = Buff.size();
  for (size_t at = start; at + compare <= size;) {
    const void* a = std::memchr(data + at, lower, size - at);
    const void* b = lower == upper ? nullptr : std::memchr(data + at, upper, size - at);
    const char* hit = static_cast<const char*>(a);
    if (!hit || (b && static_cast<const char*>(b) < hit)) hit = static_cast<const char*>(b);
    if (!hit) return -1;
    size_t p = static_cast<size_t>(hit - data);
    if (p + compare > size) return -1;
    bool same = true;
    for (size_t k = 0; k < compare && same; ++k) {
      same = FoldLower(static_cast<unsigned char>(data[p + k])) ==
             FoldLower(static_cast<unsigned char>(ToFind[k]));
    }
    if (same) return StartCurs + static_cast<int32_t>(p);
    at = p + 1;
  }
  return -1;
}

void TSection::CopySelection() {
  TSectionList& list = *ParentSectionList;
  if (!list.TextSink) return;
  int32_t sb = list.SelB - StartCurs, se = list.SelE - StartCurs;
  for (const LineRec& line : Lines) {
    if (line.Ln == 0) continue;
    int32_t ls = line.Start, le = line.Start + line.Ln;
    if (le <= sb || ls >= se) continue;
    int32_t a = std::max(ls, sb), b = std::min(le, se);
    if (sb <= ls) {
      std::string indent(static_cast<size_t>(std::max(0, line.LineIndent / kListIndent)) * 3, ' ');
      if (!indent.empty()) list.TextSink->AddText(indent);
    }
    list.TextSink->AddText(std::string_view(Buff).substr(a, b - a));
    if (se >= le) list.TextSink->AddText("\r\n");
  }
}

// --- Dump ---

void TSection::DumpDetails(std::string& out, int indent) const {
  Canvas& canvas = ParentSectionList->Screen();
  canvas.SaveState();
  std::string pad(static_cast<size_t>(indent), ' ');
  int32_t y = YValue;
  for (const LineRec& line : Lines) {
    out += pad + "line x=" + std::to_string(line.LineIndent) + " y=" + std::to_string(y) +
           " h=" + std::to_string(line.Total()) + " " +
           QuoteText(std::string_view(Buff).substr(line.Start, line.Ln)) + "\n";
    int32_t text_top = y + line.SpaceBefore;
    int32_t baseline = text_top + line.LineHt - line.Descent;
    for (int32_t P = line.Start; P < line.Start + line.Ln; ++P) {
      if (Buff[P] != kImageMarker) continue;
      TImageObj* image = Images.ImageAt(P);
      if (!image) continue;
      int32_t ix, iy;
      if (image->Floating()) {
        ix = image->FloatX;
        iy = image->FloatY;
      } else {
        ix = line.LineIndent + BuffWidth(canvas, line.Start, P - line.Start, false);
        iy = image->PictureTop(RunAt(P), baseline, text_top);
      }
      out += pad + "  image x=" + std::to_string(ix) + " y=" + std::to_string(iy) +
             " w=" + std::to_string(image->ImageWidth) + " h=" +
             std::to_string(image->ImageHeight) + " align=" + std::to_string(image->ObjAlign) +
             "\n";
    }
    y += line.Total();
  }
  canvas.RestoreState();
}

// --- Preformatted text ---

TPreFormated::TPreFormated(TSectionList& List, int32_t Level_, const TMyFont& Font)
    : TSection(List, Level_, 1, nullptr, Font) {
  Pre = true;
}

TPreFormated::TPreFormated(TSectionList& List, const TPreFormated& Source)
    : TSection(List, Source) {}

std::unique_ptr<TSectionBase> TPreFormated::CreateCopy(TSectionList& Parent) const {
  return std::unique_ptr<TPreFormated>(new TPreFormated(Parent, *this));
}

void TPreFormated::AddText(std::string_view S) { TSection::AddText(S); }

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

// --- List items ---

TUListItem::TUListItem(TSectionList& List, int32_t Level_, const TUrlTarget* UrlTarget,
                       const TMyFont& Font, bool Plain_)
    : TSection(List, Level_, 1, UrlTarget, Font), Plain(Plain_) {
  ListType = 2;
}

TUListItem::TUListItem(TSectionList& List, const TUListItem& Source)
    : TSection(List, Source), Plain(Source.Plain) {}

std::unique_ptr<TSectionBase> TUListItem::CreateCopy(TSectionList& Parent) const {
  return std::unique_ptr<TUListItem>(new TUListItem(Parent, *this));
}

void TUListItem::DrawMarker(Canvas& canvas, int32_t X, int32_t Baseline, const LineRec& line) {
  if (Plain) return;
  TSectionList& list = *ParentSectionList;
  int32_t cx = X + ContentLeft - 8;
  int32_t m = Baseline - line.LineHt / 2;
  Color bg = list.Background;
  bool light = bg == kColorBtnFace || (bg & 0xFFFFFF) == 0xFFFFFF || (bg & 0xFFFFFF) == 0xC0C0C0 ||
               (bg == kColorWindow && canvas.ResolveColor(kColorWindow) == 0xFFFFFF);
  canvas.SaveState();
  if (light) {
    Color c;
    bool known = true;
    switch (Level) {
      case 1:
      case 4: c = 0x800000; break;
      case 2:
      case 5: c = 0x000080; break;
      case 0:
      case 3: c = 0x0000FF; break;
      default: known = false; c = 0; break;
    }
    if (known) {
      canvas.SetBrush(Brush{BrushStyle::kSolid, c});
      canvas.SetPen(Pen{PenStyle::kSolid, 1, c});
    }
  } else {
    canvas.SetBrush(Brush{BrushStyle::kHollow, 0});
    canvas.SetPen(Pen{PenStyle::kSolid, 1, list.FontColor});
  }
  canvas.Ellipse(Rect{cx - 2, m - 2, cx + 3, m + 3});
  canvas.RestoreState();
}

TOListItem::TOListItem(TSectionList& List, int32_t Level_, const TUrlTarget* UrlTarget,
                       const TMyFont& Font, char NumberStyle_, int32_t Number)
    : TSection(List, Level_, 1, UrlTarget, Font), NumberStyle(NumberStyle_) {
  ListType = 1;
  ListNumber = Number;
}

TOListItem::TOListItem(TSectionList& List, const TOListItem& Source)
    : TSection(List, Source), NumberStyle(Source.NumberStyle) {}

std::unique_ptr<TSectionBase> TOListItem::CreateCopy(TSectionList& Parent) const {
  return std::unique_ptr<TOListItem>(new TOListItem(Parent, *this));
}

void TOListItem::DrawMarker(Canvas& canvas, int32_t X, int32_t Baseline, const LineRec& line) {
  std::string label = ListLabel(NumberStyle, ListNumber) + ".";
  canvas.SaveState();
  canvas.SetFont(BaseFont->Spec());
  canvas.SetTextColor(BaseFont->FontColor());
  canvas.SetBkMode(BkMode::kTransparent);
  canvas.SetTextAlign(kAlignBaseline | kAlignLeft);
  int32_t w = canvas.TextExtent(label).cx;
  canvas.TextOut(X + ContentLeft - 5 - w, Baseline, label);
  canvas.RestoreState();
}

TDListItem::TDListItem(TSectionList& List, int32_t Level_, const TUrlTarget* UrlTarget,
                       const TMyFont& Font)
    : TSection(List, Level_, 1, UrlTarget, Font) {
  ListType = 3;
}

TDListItem::TDListItem(TSectionList& List, const TDListItem& Source) : TSection(List, Source) {}

std::unique_ptr<TSectionBase> TDListItem::CreateCopy(TSectionList& Parent) const {
  return std::unique_ptr<TDListItem>(new TDListItem(Parent, *this));
}

}  // namespace brisomel
