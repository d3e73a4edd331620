#include "html/frames/frame_set.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "html/document/fonts.h"
#include "html/frames/frame.h"
#include "html/frames/frame_viewer.h"
#include "html/reader/text_utils.h"
#include "text/utf.h"

namespace brisomel {
namespace {

constexpr Color kBevelShadow = 0x808080;
constexpr Color kBevelLight = 0xFFFFFF;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// --- Dimensions ---

std::vector<int16_t> ParseDimensions(std::string_view value) {
  std::vector<int16_t> dims;
  size_t i = 0;
  // Past the end (and at a CR) the reader sees the end mark.
  auto ch = [&] { return i < value.size() && value[i] != '\r' ? value[i] : '\r'; };
  while (dims.size() < static_cast<size_t>(kMaxDimensions)) {
    while (!IsDigit(ch()) && ch() != '*' && ch() != ',' && ch() != '\r') ++i;
    const char c = ch();
    if (c == '*' || c == ',' || c == '\r') {
      dims.push_back(-1);
      if (c == '*') ++i;
    } else {
      int n = 0;
      for (int digits = 0; IsDigit(ch()); ++i, ++digits)
        if (digits < 20) n = std::min(n * 10 + (ch() - '0'), 100000);
      n = std::max(1, n);
      while (ch() != '%' && ch() != '*' && ch() != ',' && ch() != '\r') ++i;
      if (ch() == '*')
        dims.push_back(static_cast<int16_t>(-std::min(99, n)));
      else if (ch() == '%')
        dims.push_back(static_cast<int16_t>(-std::min(1000, n + 100)));
      else
        dims.push_back(static_cast<int16_t>(std::min(n, kMaxPixelDimension)));
    }
    while (ch() != ',' && ch() != '\r') ++i;
    if (ch() == '\r') break;
    ++i;
  }
  return dims;
}

std::vector<int> DimensionLengths(const std::vector<int16_t>& dims, int L) {
  int P = 0, Q = 0, S = 0;
  for (int16_t d : dims) {
    if (d > 0)
      P += d;
    else if (d <= -100)
      Q += -d - 100;
    else
      S += -d;
  }
  std::vector<int> lengths;
  if (L - P > 0) {
    const int A = std::min(MulDiv(L, Q, 100), L - P);
    const int U = S > 0 ? (L - P - A) / S : 0;
    for (int16_t d : dims)
      lengths.push_back(d > 0 ? d : d <= -100 ? MulDiv(-d - 100, A, Q) : -d * U);
  } else {
    for (int16_t d : dims) lengths.push_back(d > 0 ? MulDiv(d, L, P) : 0);
  }
  return lengths;
}

int RefreshInterval(int seconds) { return std::clamp(seconds, 0, 2000000) * 1000; }

// --- TFrameBase ---

TFrameBase::TFrameBase(TFrameViewer& viewer, TWindowPort* parent, TFrameSet* master)
    : MasterSet(master), Viewer_(viewer) {
  Window_ = viewer.Services().Windows->NewWindow(parent, *this);
}

TFrameBase::~TFrameBase() = default;

Rect TFrameBase::InnerRect() const {
  const Size size = Window_->ClientSize();
  const int b = std::min({BevelWidth, size.cx / 2, size.cy / 2});
  return Rect{b, b, size.cx - b, size.cy - b};
}

void TFrameBase::Paint(Canvas& canvas, const Rect& clip) {
  const Size size = Window_->ClientSize();
  canvas.FillRect(Rect{0, 0, size.cx, size.cy}, Viewer_.DefBackground());
  for (int i = 0; i < BevelWidth && i < size.cx / 2 && i < size.cy / 2; ++i) {
    canvas.FillRect(Rect{i, i, size.cx - i, i + 1}, kBevelShadow);
    canvas.FillRect(Rect{i, i, i + 1, size.cy - i}, kBevelShadow);
    canvas.FillRect(Rect{i, size.cy - i - 1, size.cx - i, size.cy - i}, kBevelLight);
    canvas.FillRect(Rect{size.cx - i - 1, i, size.cx - i, size.cy - i}, kBevelLight);
  }
}

// --- TSubFrameSet ---

TSubFrameSet::TSubFrameSet(TFrameViewer& viewer, TWindowPort* parent, TFrameSet* master)
    : TFrameBase(viewer, parent, master) {
  if (master) FrameBorder = master->FrameBorder;
}

TSubFrameSet::~TSubFrameSet() {
  if (MasterSet != this && MasterSet->Dragged == this) MasterSet->Dragged = nullptr;
}

void TSubFrameSet::SetFrameSetAttributes(const TAttributeList& attributes) {
  const TAttribute* rows = attributes.Find(symRows);
  const TAttribute* cols = attributes.Find(symCols);
  if (rows) {
    Rows = true;
    Dims = ParseDimensions(Utf16ToUtf8(rows->Text));
  }
  if (cols && Dims.size() <= 1) {
    Rows = false;
    Dims = ParseDimensions(Utf16ToUtf8(cols->Text));
  }
  if (MasterSet == this) {
    const TAttribute* border = attributes.Find(symBorder);
    if (const TAttribute* frame_border = attributes.Find(symFrameborder)) border = frame_border;
    if (border) {
      FrameBorder = std::clamp(border->Value, 0, 100);
      BorderSize = std::max(2 - FrameBorder, 0);
      BevelWidth = BorderSize;
    }
  }
}

TFrameSetTarget& TSubFrameSet::AddSubFrameSet() {
  auto set = std::make_unique<TSubFrameSet>(Viewer_, Window_.get(), MasterSet);
  set->Parent = this;
  TSubFrameSet& result = *set;
  Children.push_back(std::move(set));
  return result;
}

void TSubFrameSet::AddFrame(const TAttributeList& attributes, const std::string& FrameSetFile) {
  auto frame = std::make_unique<TFrame>(Viewer_, *this, attributes, FrameSetFile);
  const Size size = Window_->ClientSize();
  frame->Window().SetBounds(Rect{BorderSize, BorderSize, std::max(BorderSize, size.cx - BorderSize),
                                 std::max(BorderSize, size.cy - BorderSize)});
  Children.push_back(std::move(frame));
}

TFrame& TSubFrameSet::AddSourceFrame(const std::string& Source, const std::string& Destination) {
  AddFrame(TAttributeList(), std::string());
  auto& frame = static_cast<TFrame&>(*Children.back());
  frame.Source = Source;
  frame.Destination = Destination;
  return frame;
}

void TSubFrameSet::EndFrameSet(const TFrameSetParseResult& parse) {
  while (Children.size() < Dims.size()) AddFrame(TAttributeList(), std::string());
  while (Dims.size() < Children.size()) Dims.push_back(-1);
  Base = parse.Base;
  BaseTarget = parse.BaseTarget;
}

void TSubFrameSet::Clear() {
  StopRefresh();
  RefreshDelay = 0;
  RefreshURL.clear();
  RefreshPath.clear();
  Children.clear();
  Dims.clear();
  Lengths.clear();
  Borders.clear();
  Fixed.clear();
  Total = 0;
}

void TSubFrameSet::InitializeDimensions(int X, int Y, int Height, int Width) {
  Lengths = DimensionLengths(Dims, Rows ? Height : Width);
  Total = 0;
  for (size_t i = 0; i < Lengths.size() && i < Children.size(); ++i) {
    if (Rows)
      Children[i]->InitializeDimensions(X, Y + Total, Lengths[i], Width);
    else
      Children[i]->InitializeDimensions(X + Total, Y, Height, Lengths[i]);
    Total += Lengths[i];
  }
}

void TSubFrameSet::PlaceChildren() {
  const Size size = Window_->ClientSize();
  const Rect area{BorderSize, BorderSize, std::max(BorderSize, size.cx - BorderSize),
                  std::max(BorderSize, size.cy - BorderSize)};
  const int extent = Rows ? area.height() : area.width();
  Borders.assign(Children.size() + 1, 0);
  if (Fixed.size() < Children.size() + 1) Fixed.resize(Children.size() + 1, false);
  int at = 0;
  for (size_t i = 0; i < Children.size(); ++i) {
    const int length =
        i < Lengths.size() && Total > 0 ? std::max(0, MulDiv(Lengths[i], extent, Total)) : 0;
    if (Rows)
      Children[i]->Window().SetBounds(
          Rect{area.left, area.top + at, area.right, area.top + at + length});
    else
      Children[i]->Window().SetBounds(
          Rect{area.left + at, area.top, area.left + at + length, area.bottom});
    at += length;
    Borders[i + 1] = at;
  }
  Window_->Invalidate();
}

void TSubFrameSet::CollectFrames(std::vector<TFrame*>& frames) {
  for (auto& child : Children) {
    if (auto* frame = dynamic_cast<TFrame*>(child.get())) {
      frames.push_back(frame);
      if (frame->FrameSet()) frame->FrameSet()->CollectFrames(frames);
    } else if (auto* set = dynamic_cast<TSubFrameSet*>(child.get())) {
      set->CollectFrames(frames);
    }
  }
}

void TSubFrameSet::UpdateFrameList() {
  for (auto& child : Children) child->UpdateFrameList();
}

bool TSubFrameSet::CheckNoResize(bool& Lower, bool& Upper) {
  bool result = false;
  Lower = Upper = false;
  Fixed.assign(Children.size() + 1, false);
  for (size_t i = 0; i < Children.size(); ++i) {
    bool lower = false, upper = false;
    if (Children[i]->CheckNoResize(lower, upper)) {
      Fixed[i] = Fixed[i + 1] = true;
      result = true;
    }
    if (i == 0) Lower = lower;
    if (i + 1 == Children.size()) Upper = upper;
  }
  return result;
}

void TSubFrameSet::LoadFiles() {
  for (auto& child : Children) child->LoadFiles();
}

void TSubFrameSet::ReloadFiles(int32_t Position) {
  for (auto& child : Children) child->ReloadFiles(Position);
  if (!RefreshPath.empty() && RefreshDelay > 0)
    Window_->SetTimer(kRefreshTimer, RefreshInterval(RefreshDelay));
  Unloaded = false;
}

void TSubFrameSet::UnloadFiles() {
  StopRefresh();
  for (auto& child : Children) child->UnloadFiles();
  Unloaded = true;
}

// --- META refresh ---

void TSubFrameSet::StartRefresh(const std::string& FrameSetFile) {
  RefreshPath.clear();
  if (RefreshDelay <= 0 || RefreshURL.empty()) return;
  std::string file = RefreshURL, dest;
  if (const size_t hash = file.find('#'); hash != std::string::npos) {
    dest = file.substr(hash);
    file.erase(hash);
  }
  // A relative URL is taken from the frameset document's folder, as its SRC names are.
  if (!Viewer_.RequestEventsAssigned()) file = Viewer_.ExpandSourceName(file, Base, FrameSetFile);
  if (!Viewer_.Services().FileSystem->Exists(file)) return;
  RefreshPath = file + dest;
  Window_->SetTimer(kRefreshTimer, RefreshInterval(RefreshDelay));
}

void TSubFrameSet::Timer(int id) {
  if (id != kRefreshTimer) return;
  StopRefresh();
  if (Unloaded || RefreshPath.empty()) return;
  if (MasterSet == this) {
    Viewer_.RefreshTopLevel(weak_from_this(), RefreshPath);
    return;
  }
  // The frame's load detaches (and may free) this set: run it from the event loop.
  TFrameViewer& viewer = Viewer_;
  viewer.Window().PostTask([&viewer, set = weak_from_this(), path = RefreshPath] {
    std::shared_ptr<TSubFrameSet> alive = set.lock();
    if (!alive || alive->Unloaded) return;
    auto* frame = dynamic_cast<TFrame*>(alive->Parent);
    if (frame && frame->FrameSet() == alive.get()) viewer.RefreshFrame(*frame, path);
  });
}

// --- Border dragging ---

int TSubFrameSet::BorderNear(int pos) const {
  const int count = static_cast<int>(Children.size());
  int best = 0, distance = 0;
  for (int i = 1; i < count && i < static_cast<int>(Borders.size()); ++i) {
    const int d = std::abs(pos - Borders[static_cast<size_t>(i)]);
    // On equal distance the later border wins when pos is at or beyond it.
    if (best == 0 || d < distance || (d == distance && pos >= Borders[static_cast<size_t>(i)])) {
      best = i;
      distance = d;
    }
  }
  if (best == 0 || distance > 4) return 0;
  if (static_cast<size_t>(best) < Fixed.size() && Fixed[static_cast<size_t>(best)]) return 0;
  return best;
}

TSubFrameSet* TSubFrameSet::UpperSet(int& x, int& y) {
  if (!Parent) return nullptr;
  const Rect mine = Window_->Bounds();
  x += mine.left;
  y += mine.top;
  if (auto* set = dynamic_cast<TSubFrameSet*>(Parent)) return set;
  auto* frame = static_cast<TFrame*>(Parent);
  const Rect b = frame->Window().Bounds();
  x += b.left;
  y += b.top;
  return &frame->OwnerSet();
}

void TSubFrameSet::FrameMouse(TMouseKind kind, TMouseButton button, int x, int y,
                              TWindowPort& source) {
  TFrameSet& master = *MasterSet;
  if (master.Dragged && master.Dragged != this) {
    int ux = x, uy = y;
    if (TSubFrameSet* upper = UpperSet(ux, uy)) upper->FrameMouse(kind, button, ux, uy, source);
    return;
  }
  const int pos = (Rows ? y : x) - BorderSize;
  if (master.Dragged == this) {
    if (kind == mkUp && button == mbLeft) {
      master.Dragged = nullptr;
      source.ReleaseCapture();
      EndDrag(pos);
    }
    return;
  }
  const int border = BorderNear(pos);
  if (border == 0) {
    int ux = x, uy = y;
    if (TSubFrameSet* upper = UpperSet(ux, uy))
      upper->FrameMouse(kind, button, ux, uy, source);
    else
      source.SetCursor(Viewer_.Cursor());
    return;
  }
  source.SetCursor(Rows ? crVSplit : crHSplit);
  if (kind == mkDown && button == mbLeft) {
    dragged_border_ = border;
    master.Dragged = this;
    source.SetCapture();
  }
}

void TSubFrameSet::EndDrag(int pos) {
  const size_t i = static_cast<size_t>(dragged_border_);
  if (i == 0 || i + 1 >= Borders.size()) return;
  // A border stops one pixel inside its neighbours.
  Borders[i] =
      std::clamp(pos, Borders[i - 1] + 1, std::max(Borders[i - 1] + 1, Borders[i + 1] - 1));
  const int extent = Borders.back();
  if (extent <= 0 || Total <= 0) return;
  for (size_t k = 0; k < Lengths.size() && k + 1 < Borders.size(); ++k)
    Lengths[k] = MulDiv(Borders[k + 1] - Borders[k], Total, extent);
  PlaceChildren();
}

// --- TFrameSet ---

TFrameSet::TFrameSet(TFrameViewer& viewer, TWindowPort* parent)
    : TSubFrameSet(viewer, parent, nullptr) {
  MasterSet = this;
}

TFrameSet::~TFrameSet() {
  // The frames reach the name, viewer and frame lists while they go.
  Children.clear();
}

void TFrameSet::Clear() {
  TSubFrameSet::Clear();
  Dragged = nullptr;
  FrameNames.clear();
  Viewers.clear();
  Frames.clear();
  ActiveViewer = nullptr;
  Title.clear();
  CurrentFile.clear();
  ResetSize();
}

void TFrameSet::EndFrameSet(const TFrameSetParseResult& parse) {
  TSubFrameSet::EndFrameSet(parse);
  Title = parse.Title;
}

void TFrameSet::Resized() {
  const Rect inner = InnerRect();
  const Size size{inner.width(), inner.height()};
  if (size.cx != Remembered_.cx || size.cy != Remembered_.cy) {
    InitializeDimensions(inner.left, inner.top, size.cy, size.cx);
    PlaceChildren();
    Remembered_ = size;
  }
}

void TFrameSet::LoadFromFile(const std::string& file, const std::string& dest) {
  Clear();
  NestingLevel = 0;
  CurrentFile = file;
  TFrameSetParseResult parse;
  Files& files = *Viewer_.Services().FileSystem;
  TRequestedSource source;
  source.FileName = file;
  if (Viewer_.RequestEventsAssigned()) Viewer_.RequestSource(file, source);
  if (IsFrameSetDocument(Viewer_.OnInclude, &Viewer_, source.Source(files, file))) {
    ParseFrameSetDocument(Viewer_.FrameSetEvents(this, file), *this, source.Source(files, file),
                          parse);
    LoadFiles();
  } else {
    TFrame& frame = AddSourceFrame(file, dest);
    EndFrameSet(parse);
    frame.LoadFiles(&source);
    if (frame.Viewer()) {
      Title = frame.Viewer()->DocumentTitle();
      BaseTarget = frame.Viewer()->BaseTarget();
    }
  }
  ResetSize();
  Resized();
  bool lower = false, upper = false;
  CheckNoResize(lower, upper);
  UpdateFrameList();
  StartRefresh(CurrentFile);
}

void TFrameSet::ClearForwards() {
  for (TFrame* frame : Frames) frame->DropForwards();
}

void TFrameSet::RemoveViewer(TPageViewer* viewer) {
  Viewers.erase(std::remove(Viewers.begin(), Viewers.end(), viewer), Viewers.end());
  if (ActiveViewer == viewer) ActiveViewer = nullptr;
  Viewer_.ViewerGone(viewer);
}

void TFrameSet::RegisterNames(TSubFrameSet& set) {
  std::vector<TFrame*> frames;
  set.CollectFrames(frames);
  for (TFrame* frame : frames)
    if (!frame->WindowName.empty()) FrameNames.emplace(UpperCase(frame->WindowName), frame);
}

void TFrameSet::UnregisterNames(TSubFrameSet& set) {
  std::vector<TFrame*> frames;
  set.CollectFrames(frames);
  for (TFrame* frame : frames) {
    auto found = FrameNames.find(UpperCase(frame->WindowName));
    if (found != FrameNames.end() && found->second == frame) FrameNames.erase(found);
  }
}

}  // namespace brisomel
