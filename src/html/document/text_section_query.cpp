// Text sections: hit tests, search, copying the selection and the layout dump.
#include <algorithm>

#include "html/document/section_list.h"
#include "html/document/text_section.h"
#include "text/case_fold.h"
#include "text/utf.h"

namespace brisomel {
namespace {

bool IsObject(char16_t c) { return c == kImageMarker || c == kControlMarker; }

}  // namespace

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
      UrlTarget.Url +=
          u'?' + AsciiToUtf16(std::to_string(ix)) + u',' + AsciiToUtf16(std::to_string(iy));
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

bool TSection::CharAt(int32_t Position, char16_t& Ch, TSectionBase*& Obj) {
  if (Position < StartCurs || Position >= StartCurs + Len) return false;
  Ch = Buff[Position - StartCurs];
  Obj = this;
  return true;
}

int32_t TSection::FindString(int32_t From, std::u16string_view ToFind, bool MatchCase) {
  if (Len == 0 || ToFind.empty() || From >= StartCurs + Len) return -1;
  size_t start = From > StartCurs ? static_cast<size_t>(From - StartCurs) : 0;
  // Simple case folding keeps every character's length, so positions in the folded text are
  // positions in Buff.
  size_t at = MatchCase ? Buff.find(ToFind, start) : FoldCase(Buff).find(FoldCase(ToFind), start);
  return at == std::u16string::npos ? -1 : StartCurs + static_cast<int32_t>(at);
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
      std::u16string indent(static_cast<size_t>(std::max(0, line.LineIndent / kListIndent)) * 3,
                            u' ');
      if (!indent.empty()) list.TextSink->AddText(indent);
    }
    list.TextSink->AddText(std::u16string_view(Buff).substr(a, b - a));
    if (se >= le) list.TextSink->AddText(u"\r\n");
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
           QuoteUtf16(std::u16string_view(Buff).substr(line.Start, line.Ln)) + "\n";
    int32_t text_top = y + line.SpaceBefore;
    int32_t baseline = text_top + line.LineHt - line.Descent;
    for (int32_t P = line.Start; P < line.Start + line.Ln; ++P) {
      if (Buff[P] == kControlMarker) {
        if (TFormControlObj* control = ControlAt(P)) {
          // Placed as painting places it: on the baseline or on the text area's bottom.
          int32_t bottom = text_top + line.LineHt - (control->OnBaseline ? line.Descent : 0);
          int32_t cx = line.LineIndent + BuffWidth(canvas, line.Start, P - line.Start, false);
          out += pad + "  control " + control->ClassName() + " x=" + std::to_string(cx) +
                 " y=" + std::to_string(bottom - control->Height()) +
                 " w=" + std::to_string(control->Width()) +
                 " h=" + std::to_string(control->Height()) + "\n";
        }
        continue;
      }
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
             " w=" + std::to_string(image->ImageWidth) +
             " h=" + std::to_string(image->ImageHeight) +
             " align=" + std::to_string(image->ObjAlign) + "\n";
    }
    y += line.Total();
  }
  canvas.RestoreState();
}

}  // namespace brisomel
