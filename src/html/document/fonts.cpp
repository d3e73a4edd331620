// Font runs of a document's text.
#include "html/document/fonts.h"

namespace brisomel {

// --- TFontObj ---

TFontObj::TFontObj(std::unique_ptr<TMyFont> font, int32_t pos, Canvas& screen)
    : Pos(pos), TheFont(font ? std::move(font) : std::make_unique<TMyFont>()), screen_(&screen) {
  TheFont->OnChange = [this] { ComputeMetrics(); };
  ComputeMetrics();
}

std::unique_ptr<TFontObj> TFontObj::CreateCopy(const TFontObj& source) {
  auto font = std::make_unique<TMyFont>();
  font->Assign(*source.TheFont);
  auto copy = std::make_unique<TFontObj>(std::move(font), source.Pos, *source.screen_);
  copy->ScriptKind = source.ScriptKind;
  copy->Target.Url = source.Target.Url;
  copy->Target.Target = source.Target.Target;
  return copy;
}

void TFontObj::ComputeMetrics() {
  screen_->SaveState();
  screen_->SetFont(TheFont->Description());
  TextMetrics tm = screen_->GetTextMetrics();
  screen_->RestoreState();
  CellHeight = tm.height;
  LineHeight = tm.height + tm.external_leading;
  Descent = tm.descent;
  Overhang = tm.overhang;
}

void TFontObj::Refresh(const TFontSettings& List) {
  TheFont->Refresh(List, Target.Url.empty() ? List.FontColor : List.HotSpotColor);
}

// --- TFontList ---

std::unique_ptr<TFontList> TFontList::CreateCopy(const TFontList& source) {
  auto copy = std::make_unique<TFontList>();
  for (const auto& run : source.runs_) {
    copy->runs_.push_back(TFontObj::CreateCopy(*run));
  }
  return copy;
}

void TFontList::RefreshAll(const TFontSettings& List) {
  for (auto& run : runs_) {
    run->Refresh(List);
  }
}

TFontObj* TFontList::FontObjAt(int32_t P, int& Index) const {
  Index = -1;
  if (runs_.empty()) {
    return nullptr;
  }
  // Runs are few per section: a linear scan, as the layout expects.
  Index = 0;
  for (int i = 1; i < Count(); ++i) {
    if (runs_[i]->Pos > P) {
      break;
    }
    Index = i;
  }
  return runs_[Index].get();
}

TMyFont* TFontList::FontAt(int32_t P, int32_t& Overhang) const {
  int index;
  TFontObj* run = FontObjAt(P, index);
  Overhang = run ? run->Overhang : 0;
  return run ? run->TheFont.get() : nullptr;
}

int32_t TFontList::RunLength(int32_t P, int32_t Len) const {
  for (const auto& run : runs_) {
    if (run->Pos > P) {
      return run->Pos - P;
    }
  }
  return Len - P;
}

TFontObj& TFontList::ChangeFont(const TFontSettings& List, const TMyFont& Font, int32_t Len,
                                uint8_t ExtraStyle, uint8_t ScriptState, Canvas& screen) {
  TFontObj* run;
  if (!runs_.empty() && runs_.back()->Pos == Len) {
    run = runs_.back().get();
    run->TheFont->Assign(Font);
  } else {
    auto font = std::make_unique<TMyFont>(Font);
    auto created = std::make_unique<TFontObj>(std::move(font), Len, screen);
    if (!runs_.empty()) {
      created->Target.Url = runs_.back()->Target.Url;
      created->Target.Target = runs_.back()->Target.Target;
    }
    runs_.push_back(std::move(created));
    run = runs_.back().get();
  }
  run->TheFont->BeginUpdate();
  run->TheFont->SetStyle(run->TheFont->Style() | ExtraStyle);
  run->ScriptKind = 0;
  if (ScriptState == 1 || ScriptState == 2) {
    run->ScriptKind = ScriptState;
    run->TheFont->SetRelSize(List, MulDiv(run->TheFont->RelSize, 3, 4));
  }
  run->TheFont->EndUpdate();
  return *run;
}

}  // namespace brisomel
