// Fonts of a document: size scale, MulDiv, font objects and runs.
#include "html/document/fonts.h"

#include <algorithm>
#include <cstdlib>

namespace brisomel {
namespace {

constexpr int kProportionalSizes[7] = {8, 10, 12, 14, 18, 24, 36};
constexpr int kFixedSizes[7] = {7, 8, 10, 12, 15, 20, 30};

}  // namespace

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) {
    return -1;
  }
  int64_t product = static_cast<int64_t>(a) * b;
  int64_t divisor = c;
  bool negative = (product < 0) != (divisor < 0);
  uint64_t p = static_cast<uint64_t>(product < 0 ? -product : product);
  uint64_t d = static_cast<uint64_t>(divisor < 0 ? -divisor : divisor);
  uint64_t q = (p + d / 2) / d;  // halves away from zero
  if (q > static_cast<uint64_t>(INT32_MAX)) {
    return -1;
  }
  return negative ? -static_cast<int32_t>(q) : static_cast<int32_t>(q);
}

int FontSizeForStep(int step, bool fixed_pitch) {
  step = std::clamp(step, 1, 7);
  return fixed_pitch ? kFixedSizes[step - 1] : kProportionalSizes[step - 1];
}

// --- TFont ---

void TFont::Changed() {
  if (updating_ > 0) {
    pending_ = true;
    return;
  }
  if (OnChange) {
    OnChange();
  }
}

void TFont::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0 && pending_) {
    pending_ = false;
    if (OnChange) {
      OnChange();
    }
  }
}

void TFont::SetName(const std::string& name) {
  if (spec_.name == name) {
    return;
  }
  spec_.name = name;
  Changed();
}

void TFont::SetSize(int size) {
  if (spec_.size == size && spec_.height == 0) {
    return;
  }
  spec_.size = size;
  spec_.height = 0;
  Changed();
}

void TFont::SetColor(Color color) {
  if (color_ == color) {
    return;
  }
  color_ = color;
  Changed();
}

void TFont::SetStyle(uint8_t style) {
  if (spec_.style == style) {
    return;
  }
  spec_.style = style;
  Changed();
}

void TFont::SetCharset(uint8_t charset) {
  if (spec_.charset == charset) {
    return;
  }
  spec_.charset = charset;
  Changed();
}

void TFont::Assign(const TFont& source) {
  BeginUpdate();
  if (!(spec_ == source.spec_)) {
    spec_ = source.spec_;
    Changed();
  }
  SetColor(source.color_);
  EndUpdate();
}

// --- TMyFont ---

void TMyFont::Assign(const TFont& source) {
  if (auto* my = dynamic_cast<const TMyFont*>(&source)) {
    RelSize = my->RelSize;
    FixedPitch = my->FixedPitch;
  }
  TFont::Assign(source);
}

void TMyFont::SetRelSize(const TFontSettings& List, int32_t size) {
  RelSize = size;
  SetSize(MulDiv(List.FontSize, size, 12));
}

void TMyFont::Refresh(const TFontSettings& List, Color color) {
  BeginUpdate();
  SetName(FixedPitch ? List.PreFontName : List.FontName);
  SetCharset(List.Charset);
  SetSize(MulDiv(List.FontSize, RelSize, 12));
  SetColor(color | kPaletteRelativeFlag);
  EndUpdate();
}

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
