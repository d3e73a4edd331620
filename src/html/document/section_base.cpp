// The float and indent manager, the default section operations, and the cell: a list of
// sections laid out top to bottom with one float manager.
#include "html/document/section_base.h"

#include <algorithm>
#include <climits>

#include "html/document/section_list.h"
#include "html/document/text_section.h"

namespace brisomel {

// --- IndentManager ---

int32_t IndentManager::LeftEdge(int32_t Y) const {
  int32_t x = 0;
  for (const IndentRec& r : L) {
    if (Y >= r.YT && Y < r.YB) x = std::max(x, r.X);
  }
  return LfEdge + x;
}

int32_t IndentManager::RightEdge(int32_t Y) const {
  int32_t x = 0;
  for (const IndentRec& r : R) {
    if (Y >= r.YT && Y < r.YB) x = std::min(x, r.X);
  }
  return RtEdge + x;
}

void IndentManager::AddLeft(int32_t X, int32_t YT, int32_t YB, int32_t ID) {
  if (ID == 0) {
    std::erase_if(
        L, [&](const IndentRec& r) { return r.ID == 0 && r.X <= X && r.YB <= YB && r.YT <= YT; });
  }
  L.push_back({X, YT, YB, ID});
}

void IndentManager::AddRight(int32_t X, int32_t YT, int32_t YB, int32_t ID) {
  if (ID == 0) {
    std::erase_if(
        R, [&](const IndentRec& r) { return r.ID == 0 && r.X >= X && r.YB <= YB && r.YT <= YT; });
  }
  R.push_back({X, YT, YB, ID});
}

void IndentManager::AddBlockIndent(int32_t Y, int32_t W, int Align, int32_t H) {
  if (Align == 1) {
    AddLeft(LeftEdge(Y) + W - LfEdge, Y, Y + H);
  } else if (Align == 3) {
    AddRight(RightEdge(Y) - RtEdge - W, Y, Y + H);
  }
}

void IndentManager::Prune(int32_t Y) {
  auto prune = [Y](std::vector<IndentRec>& side, int32_t& pruned) {
    auto dead = [Y](const IndentRec& r) { return r.ID == 0 && r.YB <= Y; };
    for (const IndentRec& r : side) {
      if (dead(r)) pruned = std::max(pruned, r.YB);
    }
    side.erase(std::remove_if(side.begin(), side.end(), dead), side.end());
  };
  prune(L, PrunedLeftBottom);
  prune(R, PrunedRightBottom);
}

int32_t IndentManager::MaxFloatBottom() const {
  int32_t bottom = std::max({0, PrunedLeftBottom, PrunedRightBottom});
  for (const auto* side : {&L, &R}) {
    for (const IndentRec& r : *side) {
      if (r.ID == 0) bottom = std::max(bottom, r.YB);
    }
  }
  return bottom;
}

void IndentManager::ClearBottoms(int32_t& LeftBottom, int32_t& RightBottom) const {
  auto bottom = [](const std::vector<IndentRec>& side, int32_t pruned) {
    int32_t b = pruned;
    for (const IndentRec& r : side) {
      if (r.ID == 0) b = std::max(b, r.YB);
    }
    return b < 0 ? 0 : b + 1;
  };
  LeftBottom = bottom(L, PrunedLeftBottom);
  RightBottom = bottom(R, PrunedRightBottom);
}

int32_t IndentManager::ListFloatBottom() const {
  int32_t level_x = 0;
  for (const IndentRec& r : L) {
    if (r.ID == Level) level_x = r.X;
  }
  int32_t bottom = -1;
  for (const IndentRec& r : L) {
    if (r.X > level_x) bottom = std::max(bottom, r.YB);
  }
  // Without such a record nothing hangs below the item.
  return bottom < 0 ? 0 : bottom + 1;
}

void IndentManager::SetLevel(int32_t Y, int32_t NewLevel) {
  if (NewLevel > Level) {
    for (int32_t level = Level + 1; level <= NewLevel; ++level) {
      AddLeft(LeftEdge(Y) - LfEdge + TSection::kListIndent, Y, 9999999, level);
    }
  } else if (NewLevel < Level && Level > 0) {
    for (IndentRec& r : L) {
      if (r.ID > NewLevel) {
        r.ID = 0;
        r.YB = Y - 1;
      }
    }
  }
  Level = NewLevel;
}

// --- Text sinks ---

void TTextCounter::AddText(std::u16string_view text) {
  for (char16_t c : text) {
    if (c != kImageMarker && c != kControlMarker) ++Count;
  }
}

// --- TSectionBase defaults ---

int32_t TSectionBase::LayOut(Canvas& canvas, int32_t Y, IndentManager& IMgr, int32_t& MaxWidth,
                             int32_t& Curs) {
  StartCurs = Curs;
  YValue = Y;
  DrawHeight = SectionHeight;
  MaxWidth = IMgr.Width;
  return SectionHeight;
}

int32_t TSectionBase::Paint(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X,
                            int32_t Y) {
  YValue = Y;
  return Y + SectionHeight;
}

// --- TCell ---

TCell::~TCell() = default;

void TCell::Add(std::unique_ptr<TSectionBase> Section) {
  if (!Section) return;
  if (auto* pre = dynamic_cast<TPreFormated*>(Section.get()); pre && pre->Len == 0) {
    pre->AddText(u" ");
  }
  Section->ParentSectionList = MasterList;
  Section->OwnerCell = this;
  Section->ComputeHeight();
  Sections.push_back(std::move(Section));
  ForgetSectionExtents();
}

void TCell::RefreshFonts() {
  for (auto& s : Sections) s->RefreshFonts();
  ForgetSectionExtents();
}

int32_t TCell::LayOut(Canvas& canvas, int32_t Y, int32_t Width, int32_t& MaxWidth, int32_t& Curs) {
  ForgetSectionExtents();
  IMgr.Reset();
  IMgr.Init(0, Width);
  IMgr.Width = Width;
  YValue = Y;
  StartCurs = Curs;
  MaxWidth = 0;
  int32_t H = 0;
  for (size_t i = 0; i < Sections.size();) {
    int32_t W = 0;
    IMgr.Prune(Y + H);
    try {
      H = std::min(H + Sections[i]->LayOut(canvas, Y + H, IMgr, W, Curs), kMaxDocumentY);
      MaxWidth = std::max(MaxWidth, W);
      ++i;
      if (MasterList && MasterList->OnLayoutProgress) MasterList->OnLayoutProgress();
    } catch (const EProcessError& error) {
      ReportAndRemove(error, i);
    }
  }
  Len = Curs - StartCurs;
  IndexSectionExtents();
  return std::max(H, IMgr.MaxFloatBottom() - Y);
}

void TCell::IndexSectionExtents() {
  const size_t n = Sections.size();
  Tops.resize(n);
  ReachBelow.resize(n);
  LowestTopFrom.resize(n);
  OriginKeepers.clear();
  int64_t top = 0, reach = INT64_MIN;
  for (size_t i = 0; i < n; ++i) {
    const TSectionBase& s = *Sections[i];
    Tops[i] = top;
    reach = std::max(reach, top + std::max(s.SectionHeight, s.DrawHeight));
    ReachBelow[i] = reach;
    if (s.KeepsPaintOrigin()) OriginKeepers.push_back(i);
    top += s.SectionHeight;
  }
  int64_t lowest = INT64_MAX;
  for (size_t i = n; i-- > 0;) {
    lowest = std::min(lowest, Tops[i]);
    LowestTopFrom[i] = lowest;
  }
}

void TCell::ForgetSectionExtents() {
  Tops.clear();
  ReachBelow.clear();
  LowestTopFrom.clear();
  OriginKeepers.clear();
}

void TCell::MeasureWidths(Canvas& canvas, int32_t& Min, int32_t& Max) {
  Min = 0;
  Max = 0;
  for (size_t i = 0; i < Sections.size();) {
    int32_t mn = 0, mx = 0;
    try {
      Sections[i]->MeasureWidths(canvas, mn, mx);
    } catch (const EProcessError& error) {
      // A table measured inside another one fails here before its own layout would: it is
      // removed the same way, so only it disappears.
      ReportAndRemove(error, i);
      continue;
    }
    Min = std::max(Min, mn);
    Max = std::max(Max, mx);
    ++i;
  }
}

void TCell::ReportAndRemove(const EProcessError& error, size_t index) {
  if (MasterList && MasterList->Services.Sys) {
    MasterList->Services.Sys->MessageBox(error.what(), "Error");
  }
  Sections.erase(Sections.begin() + static_cast<std::ptrdiff_t>(index));
  ForgetSectionExtents();
}

int32_t TCell::Paint(Canvas& canvas, const Rect& ARect, int32_t ClipWidth, int32_t X, int32_t Y) {
  IMgr.LfEdge = X;
  IMgr.RtEdge = X + IMgr.Width;
  IMgr.ClipWidth = ClipWidth;
  // Printing decides where pages end while it walks, so it visits every section.
  if (Sections.empty() || Tops.size() != Sections.size() || !MasterList || MasterList->Printing) {
    for (auto& s : Sections) Y = s->Paint(canvas, ARect, IMgr, X, Y);
    return Y;
  }
  // A section paints nothing when it lies wholly above or below the rectangle, so the screen's
  // sections are found from the heights instead of asking every one.
  const int64_t screen_top = int64_t{Y} - MasterList->YOff;
  const auto above = std::partition_point(ReachBelow.begin(), ReachBelow.end(),
                                          [&](int64_t r) { return screen_top + r < ARect.top; });
  const size_t first = static_cast<size_t>(above - ReachBelow.begin());
  const auto below = std::partition_point(
      LowestTopFrom.begin() + static_cast<std::ptrdiff_t>(first), LowestTopFrom.end(),
      [&](int64_t t) { return screen_top + t < ARect.bottom; });
  const size_t end = static_cast<size_t>(below - LowestTopFrom.begin());
  auto at = [Y](int64_t offset) {
    return static_cast<int32_t>(std::clamp<int64_t>(Y + offset, INT32_MIN, INT32_MAX));
  };
  for (size_t i : OriginKeepers) {
    if (i < first || i >= end) Sections[i]->NotePaintOrigin(X, at(Tops[i]));
  }
  int32_t y = first < Sections.size() ? at(Tops[first]) : Y;
  for (size_t i = first; i < end; ++i) y = Sections[i]->Paint(canvas, ARect, IMgr, X, y);
  return at(Tops.back() + Sections.back()->SectionHeight);
}

bool TCell::LinkAt(Canvas& canvas, int32_t X, int32_t Y, TUrlTarget& UrlTarget,
                   TFormControlObj*& FormControl) {
  int32_t top = 0;
  for (auto& s : Sections) {
    if (Y >= top && Y < top + s->DrawHeight &&
        s->LinkAt(canvas, X, Y - top, UrlTarget, FormControl)) {
      return true;
    }
    top += s->SectionHeight;
  }
  return false;
}

bool TCell::ImageAt(int32_t X, int32_t Y, TImageObj*& Obj, int32_t& IX, int32_t& IY) {
  int32_t top = 0;
  for (auto& s : Sections) {
    if (Y >= top && Y < top + s->DrawHeight && s->ImageAt(X, Y - top, Obj, IX, IY)) return true;
    top += s->SectionHeight;
  }
  return false;
}

TSectionBase* TCell::SectionAt(int32_t Y, int32_t& Top, int& Index) {
  int32_t top = 0;
  for (size_t i = 0; i < Sections.size(); ++i) {
    int32_t h = Sections[i]->SectionHeight;
    if (Y >= top && Y < top + h) {
      Top = top;
      Index = static_cast<int>(i);
      return Sections[i].get();
    }
    top += h;
  }
  Top = 0;
  Index = -1;
  return nullptr;
}

int32_t TCell::PositionAt(Canvas& canvas, int32_t X, int32_t Y, int32_t& XR, int32_t& YR,
                          int32_t& CaretHt, TCell*& SCell, bool& InText) {
  int32_t top;
  int index;
  TSectionBase* s = SectionAt(Y, top, index);
  if (!s) return -1;
  int32_t result = s->PositionAt(canvas, X, Y - top, XR, YR, CaretHt, InText);
  if (result >= 0) {
    YR += top;
    if (!SCell) SCell = this;
  }
  return result;
}

int32_t TCell::FindString(int32_t From, std::u16string_view ToFind, bool MatchCase) {
  for (auto& s : Sections) {
    int32_t r = s->FindString(From, ToFind, MatchCase);
    if (r >= 0) return r;
  }
  return -1;
}

bool TCell::CharAt(int32_t Position, char16_t& Ch, TSectionBase*& Obj) {
  for (auto& s : Sections) {
    if (s->CharAt(Position, Ch, Obj)) return true;
  }
  return false;
}

bool TCell::PositionToPoint(Canvas& canvas, int32_t Position, int32_t& X, int32_t& Y) {
  if (Position < StartCurs || Position > StartCurs + Len) return false;
  for (auto& s : Sections) {
    if (s->PositionToPoint(canvas, Position, X, Y)) return true;
  }
  return false;
}

void TCell::CopySelection() {
  if (!MasterList || MasterList->SelB >= MasterList->SelE) return;
  for (auto& s : Sections) {
    if (s->StartCurs >= MasterList->SelE) break;
    if (s->StartCurs + s->Len > MasterList->SelB) s->CopySelection();
  }
}

}  // namespace brisomel
