// Page breaks, paragraph and heading spaces, horizontal rules.
#include "html/document/simple_sections.h"

#include "html/document/section_list.h"
#include "html/reader/text_utils.h"

namespace brisomel {
namespace {

void AddLineBreak(TSectionList* list) {
  if (list && list->TextSink) list->TextSink->AddText(u"\r\n");
}

// The base font size in points at the document's zoom.
int32_t BaseSize(const TSectionList* list) { return list ? list->Zoomed(list->FontSize) : 12; }
// A pixel length at the document's zoom.
int32_t Zoomed(const TSectionList* list, int32_t pixels) {
  return list ? list->Zoomed(pixels) : pixels;
}

}  // namespace

// --- TPage ---

std::unique_ptr<TSectionBase> TPage::CreateCopy(TSectionList& Parent) const {
  auto copy = std::make_unique<TPage>(&Parent);
  copy->CopyBase(*this);
  return copy;
}

int32_t TPage::Paint(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X, int32_t Y) {
  YValue = Y;
  TSectionList* list = ParentSectionList;
  if (list && list->Printing) {
    int32_t y = Y - list->YOff;
    if (y > ARect.top + 5 && y < ARect.bottom && Y < list->PageBottom) list->PageBottom = Y;
  }
  return Y + SectionHeight;
}

// --- TParagraphSpace ---

std::unique_ptr<TSectionBase> TParagraphSpace::CreateCopy(TSectionList& Parent) const {
  auto copy = std::make_unique<TParagraphSpace>(&Parent);
  copy->CopyBase(*this);
  return copy;
}

void TParagraphSpace::ComputeHeight() {
  SectionHeight = MulDiv(14, BaseSize(ParentSectionList), 12);
}

void TParagraphSpace::CopySelection() { AddLineBreak(ParentSectionList); }

// --- THeadingSpace ---

std::unique_ptr<TSectionBase> THeadingSpace::CreateCopy(TSectionList& Parent) const {
  auto copy = std::make_unique<THeadingSpace>(&Parent, HeadingSize);
  copy->CopyBase(*this);
  return copy;
}

void THeadingSpace::ComputeHeight() {
  static constexpr int kSpace[6] = {16, 12, 10, 8, 6, 4};
  int n = (HeadingSize >= 1 && HeadingSize <= 6) ? kSpace[HeadingSize - 1] : 8;
  SectionHeight = MulDiv(n, BaseSize(ParentSectionList), 12);
}

void THeadingSpace::CopySelection() { AddLineBreak(ParentSectionList); }

// --- THorzLine ---

THorzLine::THorzLine(TSectionList* list, const TAttributeList& Attributes) : TSectionBase(list) {
  for (const auto& item : Attributes) {
    const TAttribute& a = *item;
    switch (a.Symbol) {
      case symSize:
        if (a.Value >= 1 && a.Value <= 20) VSize = a.Value;
        break;
      case symWidth:
        if (a.Text.find(u'%') != std::u16string::npos) {
          HPercent = true;
          if (a.Value >= 0 && a.Value <= 100) HWidth = a.Value;
        } else if (a.Value > 0) {
          HWidth = a.Value;
        }
        break;
      case symColor:
        if (auto c = ColorFromText(a.Text)) {
          HRColor = *c;
          HasColor = true;
        }
        break;
      case symAlign: {
        const std::u16string v = LowerCase(a.Text);
        if (v == u"left") {
          Align = alLeft;
        } else if (v == u"right") {
          Align = alRight;
        }
        break;
      }
      case symNoshade:
        NoShade = true;
        break;
      default:
        break;
    }
  }
}

std::unique_ptr<TSectionBase> THorzLine::CreateCopy(TSectionList& Parent) const {
  auto copy = std::unique_ptr<THorzLine>(new THorzLine(&Parent));
  copy->CopyBase(*this);
  copy->VSize = VSize;
  copy->HWidth = HWidth;
  copy->HPercent = HPercent;
  copy->HRColor = HRColor;
  copy->HasColor = HasColor;
  copy->Align = Align;
  copy->NoShade = NoShade;
  copy->EdgeLeft = EdgeLeft;
  copy->EdgeRight = EdgeRight;
  return copy;
}

void THorzLine::ComputeHeight() {
  SectionHeight =
      MulDiv(20, BaseSize(ParentSectionList), 12) + Zoomed(ParentSectionList, VSize - 2);
}

void THorzLine::CopySelection() { AddLineBreak(ParentSectionList); }

int32_t THorzLine::LayOut(Canvas& canvas, int32_t Y, IndentManager& IMgr, int32_t& MaxWidth,
                          int32_t& Curs) {
  EdgeLeft = IMgr.LeftEdge(Y) - IMgr.LfEdge;
  EdgeRight = IMgr.RightEdge(Y) - IMgr.LfEdge;
  return TSectionBase::LayOut(canvas, Y, IMgr, MaxWidth, Curs);
}

int32_t THorzLine::Paint(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X,
                         int32_t Y) {
  YValue = Y;
  TSectionList* list = ParentSectionList;
  int32_t yoff = list ? list->YOff : 0;
  bool printing = list && list->Printing;
  if (Y + SectionHeight - yoff < ARect.top || Y - yoff >= ARect.bottom ||
      (printing && Y >= list->PageBottom)) {
    return Y + SectionHeight;
  }
  const int32_t size = Zoomed(list, VSize);
  int32_t T = Y + (SectionHeight - size) / 2 - yoff;
  // The edges at Y, as layout found them (the float records may be gone by now).
  int32_t XL = IMgr.LfEdge + EdgeLeft, XR = IMgr.LfEdge + EdgeRight;
  int32_t start, end;
  if (HWidth < 0) {
    start = XL + 10;
    end = XR - 10;
  } else {
    int32_t W = HPercent ? MulDiv(XR - XL, HWidth, 100) : Zoomed(list, HWidth);
    start = Align == alLeft ? XL : Align == alRight ? XR - W : XL + (XR - XL - W) / 2;
    end = start + W;
  }
  canvas.SaveState();
  if (HasColor) {
    canvas.FillRect(Rect{start, T, end, T + size}, HRColor | kPaletteRelative);
  } else {
    bool mono = NoShade || (printing && canvas.GetDeviceCaps().monochrome());
    Color background = list ? list->Background : 0xFFFFFF;
    bool white = printing || (background & 0xFFFFFF) == 0xFFFFFF ||
                 (background == kColorWindow && canvas.ResolveColor(kColorWindow) == 0xFFFFFF);
    Color dark = mono ? 0 : kColorBtnShadow;
    Color light = mono ? 0 : white ? 0xC0C0C0 : kColorBtnHighlight;
    canvas.SetPen(Pen{PenStyle::kSolid, 1, dark});
    canvas.MoveTo(start, T + size);
    canvas.LineTo(start, T);
    canvas.LineTo(end, T);
    canvas.SetPen(Pen{PenStyle::kSolid, 1, light});
    canvas.LineTo(end, T + size);
    canvas.LineTo(start, T + size);
  }
  canvas.RestoreState();
  return Y + SectionHeight;
}

}  // namespace brisomel
