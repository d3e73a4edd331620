#include "html/frames/frame_viewer.h"

#include <algorithm>

#include "html/reader/text_utils.h"

namespace brisomel {
namespace {

bool SameName(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

std::string DirectoryOf(const std::string& path) {
  const size_t at = path.find_last_of("\\/:");
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

void SplitAnchor(const std::string& Name, std::string& file, std::string& dest) {
  const size_t hash = Name.find('#');
  file = Name.substr(0, hash);
  dest = hash == std::string::npos ? std::string() : Name.substr(hash);
}

}  // namespace

TFrameViewer::TFrameViewer(const TViewerServices& services, TWindowPort* parent)
    : Services_(services) {
  Window_ = services.Windows->NewWindow(parent, *this);
  Window_->SetBounds(Rect{0, 0, 150, 150});
  Current_ = NewSet();
  Current_->BorderSize = 2;
  Current_->BevelWidth = 2;
}

TFrameViewer::~TFrameViewer() {
  History_.clear();
  Current_.reset();
}

std::shared_ptr<TFrameSet> TFrameViewer::NewSet() {
  auto set = std::make_shared<TFrameSet>(*this, Window_.get());
  const Size size = Window_->ClientSize();
  set->Window().SetBounds(Rect{0, 0, size.cx, size.cy});
  return set;
}

void TFrameViewer::Resized() {
  const Size size = Window_->ClientSize();
  if (Current_) Current_->Window().SetBounds(Rect{0, 0, size.cx, size.cy});
}

void TFrameViewer::Paint(Canvas& canvas, const Rect& clip) {
  canvas.FillRect(clip, DefBackground_);
}

// --- Services for frames ---

std::string TFrameViewer::ExpandSourceName(const std::string& Name, const std::string& base,
                                           const std::string& FrameSetFile) {
  Files& files = *Services_.FileSystem;
  std::string S = UrlToLocalPathWithRoot(TrimBlanks(Name), ServerRoot_);
  const bool unc = S.size() >= 2 && S[0] == '\\' && S[1] == '\\';
  const bool drive = S.size() >= 2 && S[1] == ':';
  if (unc || drive) return S;
  if (!S.empty() && (S[0] == '\\' || S[0] == '/')) return files.FullPath(S);
  if (UpperCase(base) == "DOSPATH") return files.FullPath(S);
  const std::string prefix = !base.empty() ? UrlToLocalPath(base) : DirectoryOf(FrameSetFile);
  return files.FullPath(prefix + S);
}

std::unique_ptr<TPageViewer> TFrameViewer::NewFrameViewer(TFrame& frame) {
  auto viewer = std::make_unique<TPageViewer>(Services_, &frame.Window());
  viewer->FrameOwner = &frame;
  viewer->SetDefBackground(DefBackground_);
  viewer->SetViewImages(ViewImages_);
  viewer->SetServerRoot(ServerRoot_);
  viewer->SetCursor(Cursor_);
  viewer->OnHotSpotClick = [this](void* Sender, const std::string& URL, bool& Handled) {
    HotSpotClick(Sender, URL, Handled);
  };
  viewer->OnHotSpotCovered = [this](void* Sender, const std::string& URL) {
    HotSpotCovered(Sender, URL);
  };
  viewer->OnInclude = OnInclude;
  viewer->OnSoundRequest = OnSoundRequest;
  viewer->OnMeta = OnMeta;
  TFrameSet* master = frame.MasterSet;
  viewer->OnEnter = [master](void* Sender) {
    master->ActiveViewer = static_cast<TPageViewer*>(Sender);
  };
  return viewer;
}

TFrameSetEvents TFrameViewer::FrameSetEvents(void* MetaSender, const std::string& file) {
  TFrameSetEvents events;
  events.Sender = this;
  events.MetaSender = MetaSender;
  events.OnInclude = OnInclude;
  if (OnSoundRequest) {
    events.OnSoundRequest = [this, file](void* Sender, const std::string& SRC, int Loop,
                                         bool Terminate) {
      OnSoundRequest(Sender, SRC.empty() ? SRC : ExpandSourceName(SRC, "", file), Loop, Terminate);
    };
  }
  events.OnMeta = OnMeta;
  return events;
}

// --- Properties ---

void TFrameViewer::SetDefBackground(Color Value) {
  DefBackground_ = Value;
  for (TPageViewer* viewer : Current_->Viewers) viewer->SetDefBackground(Value);
  Window_->Invalidate();
}

void TFrameViewer::SetViewImages(bool Value) {
  if (Processing_) return;
  ViewImages_ = Value;
  for (TPageViewer* viewer : Current_->Viewers) viewer->SetViewImages(Value);
}

void TFrameViewer::SetServerRoot(const std::string& Value) {
  ServerRoot_ = TrimBlanks(Value);
  if (!ServerRoot_.empty() && ServerRoot_.back() == '\\') ServerRoot_.pop_back();
}

TPageViewer* TFrameViewer::ActiveViewer() {
  if (Current_->Viewers.size() == 1) return Current_->Viewers.front();
  return Current_->ActiveViewer;
}

bool TFrameViewer::FindText(const std::string& S, bool MatchCase) {
  TPageViewer* viewer = ActiveViewer();
  return viewer && viewer->FindText(S, MatchCase);
}

void TFrameViewer::PrintRange(int FromPage, int ToPage) {
  if (TPageViewer* viewer = ActiveViewer()) viewer->PrintRange(FromPage, ToPage);
}

void TFrameViewer::SetFindStart(int32_t Value) {
  if (TPageViewer* viewer = ActiveViewer()) viewer->FindStart = Value;
}

int32_t TFrameViewer::SelLength() {
  TPageViewer* viewer = ActiveViewer();
  return viewer ? viewer->SelLength() : 0;
}

void TFrameViewer::SetProcessing(bool Value) {
  if (Processing_ == Value) return;
  Processing_ = Value;
  if (OnProcessing) OnProcessing(this, Value);
}

void TFrameViewer::StopSound() {
  if (OnSoundRequest) OnSoundRequest(this, std::string(), 0, true);
}

int32_t TFrameViewer::SingleViewerPosition(TFrameSet& set) {
  return set.Viewers.size() == 1 ? set.Viewers.front()->Position() : 0;
}

// --- Loading ---

void TFrameViewer::LoadFromFile(const std::string& Name) {
  if (Processing_) return;
  std::string file, dest;
  SplitAnchor(Name, file, dest);
  if (!Services_.FileSystem->Exists(file)) throw EInOutError("Can't locate file: " + file);
  TopLevelLoad(Name);
}

void TFrameViewer::LoadImageFile(const std::string& Name) {
  const size_t dot = Name.find_last_of('.');
  const std::string ext = dot == std::string::npos ? std::string() : LowerCase(Name.substr(dot));
  if (ext == ".gif" || ext == ".jpg" || ext == ".jpeg" || ext == ".bmp" || ext == ".png")
    LoadFromFile(Name);
}

void TFrameViewer::TopLevelLoad(const std::string& Name) {
  SetProcessing(true);
  struct Done {
    TFrameViewer* self;
    ~Done() { self->SetProcessing(false); }
  } done{this};
  std::string file, dest;
  SplitAnchor(Name, file, dest);
  StopSound();
  if (!Current_->CurrentFile.empty() && SameName(file, Current_->CurrentFile)) {
    const int32_t old_pos = SingleViewerPosition(*Current_);
    Current_->LoadFromFile(file, dest);
    RecordSameSet(old_pos);
    return;
  }
  std::shared_ptr<TFrameSet> set = NewSet();
  set->Window().SetVisible(false);
  set->LoadFromFile(file, dest);  // an error drops the new set; the old one stays
  std::shared_ptr<TFrameSet> old = Current_;
  const int32_t old_pos = SingleViewerPosition(*old);
  old->UnloadFiles();
  old->Window().SetVisible(false);
  set->Window().SetVisible(true);
  set->Window().Invalidate();
  Current_ = set;
  RecordHistory(old, old_pos);
}

// --- History ---

void TFrameViewer::RecordHistory(const std::shared_ptr<TFrameSet>& OldSet, int32_t OldPos) {
  if (HistoryMaxCount_ <= 0 || Current_->CurrentFile.empty()) return;
  if (!History_.empty()) {
    History_[static_cast<size_t>(HistoryIndex_)] =
        HistoryEntry{OldSet->CurrentFile, OldSet, OldSet->Title, OldPos};
    OldSet->ClearForwards();
  }
  History_.erase(History_.begin(), History_.begin() + HistoryIndex_);
  HistoryIndex_ = 0;
  History_.insert(History_.begin(),
                  HistoryEntry{Current_->CurrentFile, Current_, Current_->Title, 0});
  if (static_cast<int>(History_.size()) > HistoryMaxCount_)
    History_.erase(History_.begin() + HistoryMaxCount_);
  HistoryChanged();
}

void TFrameViewer::RecordSameSet(int32_t OldPos) {
  if (HistoryMaxCount_ <= 0 || Current_->CurrentFile.empty()) return;
  if (!History_.empty())
    History_[static_cast<size_t>(HistoryIndex_)] =
        HistoryEntry{Current_->CurrentFile, Current_, Current_->Title, OldPos};
  History_.erase(History_.begin(), History_.begin() + HistoryIndex_);
  HistoryIndex_ = 0;
  History_.insert(History_.begin(),
                  HistoryEntry{Current_->CurrentFile, Current_, Current_->Title, 0});
  if (static_cast<int>(History_.size()) > HistoryMaxCount_)
    History_.erase(History_.begin() + HistoryMaxCount_);
  HistoryChanged();
}

void TFrameViewer::TopLevelStep(int I) {
  if (I == HistoryIndex_ || I < 0 || I >= static_cast<int>(History_.size()) || Processing_) return;
  if (!Current_->CurrentFile.empty()) {
    HistoryEntry& here = History_[static_cast<size_t>(HistoryIndex_)];
    here.Title = Current_->Title;
    here.Pos = Current_->Viewers.empty() ? 0 : Current_->Viewers.front()->Position();
  }
  const HistoryEntry entry = History_[static_cast<size_t>(I)];
  if (entry.Set != Current_) {
    std::shared_ptr<TFrameSet> set = entry.Set;
    const Size size = Window_->ClientSize();
    set->ResetSize();
    set->Window().SetBounds(Rect{0, 0, size.cx, size.cy});
    set->Resized();
    set->ReloadFiles(set->Viewers.size() == 1 ? entry.Pos : -1);
    set->Window().SetVisible(true);
    set->Window().Invalidate();
    Current_->UnloadFiles();
    Current_->Window().SetVisible(false);
    Current_ = set;
  } else if (Current_->Viewers.size() == 1) {
    Current_->Viewers.front()->SetPosition(entry.Pos);
  }
  HistoryIndex_ = I;
  HistoryChanged();
}

void TFrameViewer::GoBack() {
  if (Processing_) return;  // a followed link is still to come
  TFrame* chosen = nullptr;
  for (TFrame* frame : Current_->Frames) {
    const int index = frame->HistoryIndex();
    if (index > static_cast<int>(frame->History().size()) - 2) continue;
    if (!chosen || frame->History()[static_cast<size_t>(index)].Seq >
                       chosen->History()[static_cast<size_t>(chosen->HistoryIndex())].Seq)
      chosen = frame;
  }
  if (chosen)
    chosen->HistoryStep(chosen->HistoryIndex() + 1);
  else
    TopLevelStep(HistoryIndex_ + 1);
  StopSound();
}

void TFrameViewer::GoForward() {
  if (Processing_) return;
  TFrame* chosen = nullptr;
  int lowest = 9999;
  for (TFrame* frame : Current_->Frames) {
    const int index = frame->HistoryIndex();
    if (index <= 0) continue;
    const int seq = frame->History()[static_cast<size_t>(index - 1)].Seq;
    if (seq < lowest) {
      lowest = seq;
      chosen = frame;
    }
  }
  if (chosen)
    chosen->HistoryStep(chosen->HistoryIndex() - 1);
  else
    TopLevelStep(HistoryIndex_ - 1);
  StopSound();
}

bool TFrameViewer::BackButtonEnabled() {
  if (HistoryIndex_ <= static_cast<int>(History_.size()) - 2) return true;
  for (TFrame* frame : Current_->Frames)
    if (frame->HistoryIndex() <= static_cast<int>(frame->History().size()) - 2) return true;
  return false;
}

bool TFrameViewer::FwdButtonEnabled() {
  if (HistoryIndex_ > 0) return true;
  for (TFrame* frame : Current_->Frames)
    if (frame->HistoryIndex() > 0) return true;
  return false;
}

void TFrameViewer::ClearHistory() {
  bool had = !History_.empty();
  History_.clear();
  for (TFrame* frame : Current_->Frames) {
    had = had || !frame->History().empty();
    frame->ClearHistory();
  }
  HistoryIndex_ = 0;
  if (had) HistoryChanged();
}

void TFrameViewer::SetHistoryMaxCount(int Value) {
  if (Value < 0 || Value == HistoryMaxCount_) return;
  ClearHistory();
  for (TPageViewer* viewer : Current_->Viewers) {
    viewer->ClearHistory();
    viewer->SetHistoryMaxCount(0);
  }
  HistoryMaxCount_ = Value;
}

// --- Links ---

void TFrameViewer::HotSpotCovered(void* Sender, const std::string& URL) {
  if (!OnHotSpotTargetCovered) return;
  auto* viewer = static_cast<TPageViewer*>(Sender);
  OnHotSpotTargetCovered(viewer, viewer->HotSpotTarget(), URL);
}

void TFrameViewer::HotSpotClick(void* Sender, const std::string& URL, bool& Handled) {
  Handled = true;
  if (Processing_) return;
  auto* viewer = static_cast<TPageViewer*>(Sender);
  auto* frame = static_cast<TFrame*>(viewer->FrameOwner);
  if (!frame) return;
  std::string target = viewer->HotSpotTarget();
  if (target.empty()) target = viewer->BaseTarget();
  if (target.empty()) target = frame->OwnerSet().BaseTarget;
  bool handled = false;
  if (OnHotSpotTargetClick) OnHotSpotTargetClick(this, target, URL, handled);
  if (handled) return;

  const std::string upper = UpperCase(target);
  TFrame* dest_frame = nullptr;
  bool top = false;
  if (upper.empty() || upper == "_SELF") {
    dest_frame = frame;
  } else if (auto found = Current_->FrameNames.find(upper); found != Current_->FrameNames.end()) {
    dest_frame = found->second;
  } else if (upper == "_TOP") {
    top = true;
  } else if (upper == "_PARENT") {
    TFrameBase* at = &frame->OwnerSet();
    while (at != Current_.get()) {
      auto* set = dynamic_cast<TSubFrameSet*>(at);
      if (!set || !set->Parent) break;
      at = set->Parent;
      if (auto* owner = dynamic_cast<TFrame*>(at)) {
        dest_frame = owner;
        break;
      }
    }
    if (!dest_frame) top = true;
  } else {
    if (OnBlankWindowRequest) OnBlankWindowRequest(this, target, URL);
    return;
  }
  std::string file, dest;
  SplitAnchor(URL, file, dest);
  if (!file.empty()) file = viewer->ExpandLinkFilename(file);
  if (dest_frame && Current_->Viewers.size() == 1 && !file.empty() &&
      !SameName(file, Current_->CurrentFile)) {
    dest_frame = nullptr;
    top = true;
  }
  // Following the link may free the viewer that reports the click: do it from the event loop.
  SetProcessing(true);
  std::weak_ptr<TFrameSet> set = Current_;
  Window_->PostTask([this, set, dest_frame, top, file, dest] {
    SetProcessing(false);
    if (set.lock() != Current_) return;  // another document came meanwhile
    FollowLink(dest_frame, top, file, dest);
  });
}

void TFrameViewer::FollowLink(TFrame* frame, bool top, const std::string& file,
                              const std::string& dest) {
  // A missing file shows as the error document of the frame that would have shown it.
  if (top) {
    TopLevelLoad((file.empty() ? Current_->CurrentFile : file) + dest);
    return;
  }
  SetProcessing(true);
  try {
    if (frame) frame->LoadWithHistory(file, dest, true);
  } catch (const std::exception&) {
    // The frame keeps what it showed.
  }
  SetProcessing(false);
}

}  // namespace brisomel
