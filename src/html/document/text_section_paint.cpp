// Text sections: painting lines with fonts, selection, objects, sub/superscript and the
// printing rules, and the list items with their markers.
#include <algorithm>

#include "html/document/section_list.h"
#include "html/document/text_section.h"

namespace brisomel {

// --- Painting ---

void TSection::DrawLine(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X,
                        int32_t& Y, LineRec& line, bool first, int32_t SelStart, int32_t SelEnd) {
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
    // Fewer than 3 colours: one bit per pixel.
    monochrome = caps.bits_per_pixel * caps.planes <= 1;
  }
  for (int32_t P = line.Start; P < End;) {
    char16_t c = Buff[P];
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
        int32_t top = Y - control->Height() - yoff - (control->OnBaseline ? line.Descent : 0);
        if (list.Printing) {
          control->PrintAt(canvas, x, top);
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
    const std::u16string_view text = std::u16string_view(Buff).substr(P, L);
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
      case 4:
        c = 0x800000;
        break;
      case 2:
      case 5:
        c = 0x000080;
        break;
      case 0:
      case 3:
        c = 0x0000FF;
        break;
      default:
        known = false;
        c = 0;
        break;
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
  const std::u16string label = ListLabel(NumberStyle, ListNumber) + u".";
  canvas.SaveState();
  canvas.SetFont(BaseFont->Description());
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
