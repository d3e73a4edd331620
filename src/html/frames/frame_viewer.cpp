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
  viewer->SetImageCacheCount(ImageCacheCount_);
  viewer->SetNoSelect(NoSelect_);
  viewer->SetDefFontColor(DefFontColor_);
  viewer->SetDefHotSpotColor(DefHotSpotColor_);
  viewer->SetDefFontSize(DefFontSize_);
  viewer->SetZoomPercent(Zoom_);
  viewer->SetDefFontName(DefFontName_);
  viewer->SetDefPreFontName(DefPreFontName_);
  viewer->SetCharSet(CharSet_);
  viewer->SetCursor(Cursor_);
  viewer->SetHistoryMaxCount(HistoryMaxCount_);
  viewer->PrintMarginLeft = PrintMargins_[0];
  viewer->PrintMarginRight = PrintMargins_[1];
  viewer->PrintMarginTop = PrintMargins_[2];
  viewer->PrintMarginBottom = PrintMargins_[3];
  viewer->SetServerRoot(ServerRoot_);
  viewer->OnHotSpotClick = [this](void* Sender, const std::string& URL, bool& Handled) {
    HotSpotClick(Sender, URL, Handled);
  };
  viewer->OnHotSpotCovered = [this](void* Sender, const std::string& URL) {
    HotSpotCovered(Sender, URL);
  };
  viewer->SetOnBitmapRequest(OnBitmapRequest_);
  viewer->SetOnImageRequest(OnImageRequest_);
  viewer->SetOnFormSubmit(OnFormSubmit_);
  viewer->SetOnScript(OnScript_);
  viewer->SetOnObjectClick(OnObjectClick_);
  viewer->OnMeta = OnMeta_;
  viewer->OnRightClick = OnRightClick_;
  viewer->OnPrintHeader = OnPrintHeader_;
  viewer->OnPrintFooter = OnPrintFooter_;
  viewer->OnInclude = OnInclude;
  viewer->OnSoundRequest = OnSoundRequest;
  viewer->OnImageOver = OnImageOver_;
  viewer->OnImageClick = OnImageClick_;
  viewer->OnMouseDown = OnMouseDown;
  viewer->OnMouseMove = OnMouseMove;
  viewer->OnMouseUp = OnMouseUp;
  viewer->OnKeyDown = OnKeyDown;
  viewer->OnProcessing = [this](void* Sender, bool on) {
    ViewerProcessing(static_cast<TPageViewer*>(Sender), on);
  };
  viewer->OnMetaRefresh = [&frame](void* Sender, int Delay, const std::string& URL) {
    frame.RefreshRequested(*static_cast<TPageViewer*>(Sender), Delay, URL);
  };
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
  events.OnMeta = [this](void* Sender, const std::string& HttpEq, const std::string& Name,
                         const std::string& Content) {
    FrameSetMeta(*static_cast<TSubFrameSet*>(Sender), HttpEq, Name, Content);
  };
  return events;
}

void TFrameViewer::FrameSetMeta(TSubFrameSet& set, const std::string& HttpEq,
                                const std::string& Name, const std::string& Content) {
  if (OnMeta_) OnMeta_(&set, HttpEq, Name, Content);
  if (!(fvOptions & fvMetaRefresh) || LowerCase(HttpEq) != "refresh") return;
  TMetaRefresh refresh;
  if (ParseMetaRefresh(Content, refresh)) {
    set.RefreshDelay = refresh.Delay;
    set.RefreshURL = refresh.URL;
  }
}

void TFrameViewer::RefreshTopLevel(const std::weak_ptr<TSubFrameSet>& set, const std::string& URL) {
  // The load replaces (and may free) the set whose timer asked for it: run it from the loop.
  Window_->PostTask([this, set, URL] {
    if (set.lock().get() != Current_.get() || Processing()) return;
    try {
      TopLevelLoad(URL);
    } catch (const std::exception&) {
      // A refresh to a file that went away leaves the document as it is.
    }
  });
}

void TFrameViewer::RefreshFrame(TFrame& frame, const std::string& URL) {
  if (Processing()) return;
  std::string file, dest;
  SplitAnchor(URL, file, dest);
  FollowLink(&frame, false, file, dest);
}

// --- Request events ---

TDocumentSource TRequestedSource::Source(Files& files, const std::string& name) const {
  switch (Kind) {
    case skBuffer:
    case skStream:
      return TDocumentSource::Buffer(Bytes.data(), Bytes.size(), name);
    case skStrings:
      return TDocumentSource::Strings(Lines, name);
    case skFile:
      break;
  }
  return TDocumentSource::File(files, FileName);
}

bool TFrameViewer::RequestSource(const std::string& Name, TRequestedSource& Result) {
  Result = TRequestedSource();
  if (OnStringsRequest) {
    const std::vector<std::string>* strings = nullptr;
    OnStringsRequest(this, Name, strings);
    if (strings) {
      Result.Kind = skStrings;
      Result.Lines = *strings;
      return true;
    }
  } else if (OnStreamRequest) {
    TInputStream* stream = nullptr;
    OnStreamRequest(this, Name, stream);
    if (stream) {
      Result.Kind = skStream;
      char chunk[4096];
      for (int32_t got; (got = stream->Read(chunk, sizeof chunk)) > 0;)
        Result.Bytes.append(chunk, static_cast<size_t>(std::min<int32_t>(got, sizeof chunk)));
      return true;
    }
  } else if (OnBufferRequest) {
    const char* buffer = nullptr;
    int32_t size = 0;
    OnBufferRequest(this, Name, buffer, size);
    if (buffer && size > 0) {
      Result.Kind = skBuffer;
      Result.Bytes.assign(buffer, static_cast<size_t>(size));
      return true;
    }
  } else if (OnFileRequest) {
    std::string name;
    OnFileRequest(this, Name, name);
    if (!name.empty()) {
      Result.Kind = skFile;
      Result.FileName = name;
      return true;
    }
  }
  Result.FileName = Name;
  return false;
}

// --- Properties ---

void TFrameViewer::SetDefBackground(Color Value) {
  if (Value == DefBackground_) return;
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetDefBackground(Value); });
  DefBackground_ = Value;
  Window_->Invalidate();
}

void TFrameViewer::SetViewImages(bool Value) {
  if (Processing()) return;
  ViewImages_ = Value;
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetViewImages(Value); });
}

void TFrameViewer::SetImageCacheCount(int Value) {
  if (Processing()) return;
  ImageCacheCount_ = std::clamp(Value, 0, 20);
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetImageCacheCount(Value); });
}

void TFrameViewer::SetNoSelect(bool Value) {
  NoSelect_ = Value;
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetNoSelect(Value); });
}

void TFrameViewer::SetDefFontName(const std::string& Value) {
  if (SameName(Value, DefFontName_)) return;
  DefFontName_ = Value;
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetDefFontName(Value); });
}

void TFrameViewer::SetDefPreFontName(const std::string& Value) {
  if (SameName(Value, DefPreFontName_)) return;
  DefPreFontName_ = Value;
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetDefPreFontName(Value); });
}

void TFrameViewer::SetDefFontSize(int Value) {
  if (Value == DefFontSize_) return;
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetDefFontSize(Value); });
  DefFontSize_ = Value;
}

void TFrameViewer::SetZoomPercent(int Value) {
  Value = std::clamp(Value, kMinZoom, kMaxZoom);
  if (Value == Zoom_) return;
  Zoom_ = Value;
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetZoomPercent(Value); });
}

void TFrameViewer::SetDefFontColor(Color Value) {
  if (Value == DefFontColor_) return;
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetDefFontColor(Value); });
  DefFontColor_ = Value;
}

void TFrameViewer::SetDefHotSpotColor(Color Value) {
  if (Value == DefHotSpotColor_) return;
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetDefHotSpotColor(Value); });
  DefHotSpotColor_ = Value;
}

void TFrameViewer::SetCharSet(uint8_t Value) {
  if (Value == CharSet_) return;
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetCharSet(Value); });
  CharSet_ = Value;
}

void TFrameViewer::SetCursor(TCursorKind Value) {
  if (Value == Cursor_) return;
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetCursor(Value); });
  Cursor_ = Value;
}

void TFrameViewer::SetPrintMargin(int index, double Value) {
  if (Value == PrintMargins_[index]) return;
  PrintMargins_[index] = Value;
  ForEachViewer([&](TPageViewer& viewer) {
    double* margins[] = {&viewer.PrintMarginLeft, &viewer.PrintMarginRight, &viewer.PrintMarginTop,
                         &viewer.PrintMarginBottom};
    *margins[index] = Value;
  });
}

void TFrameViewer::SetServerRoot(const std::string& Value) {
  ServerRoot_ = TrimBlanks(Value);
  if (!ServerRoot_.empty() && ServerRoot_.back() == '\\') ServerRoot_.pop_back();
}

void TFrameViewer::SetOnFormSubmit(TFormSubmitEvent Value) {
  OnFormSubmit_ = std::move(Value);
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetOnFormSubmit(OnFormSubmit_); });
}

void TFrameViewer::SetOnBitmapRequest(decltype(TImageHandlers::bitmap_request) Value) {
  OnBitmapRequest_ = std::move(Value);
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetOnBitmapRequest(OnBitmapRequest_); });
}

void TFrameViewer::SetOnImageRequest(decltype(TImageHandlers::image_request) Value) {
  OnImageRequest_ = std::move(Value);
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetOnImageRequest(OnImageRequest_); });
}

void TFrameViewer::SetOnScript(TScriptEvent Value) {
  OnScript_ = std::move(Value);
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetOnScript(OnScript_); });
}

void TFrameViewer::SetOnObjectClick(TObjectClickEvent Value) {
  OnObjectClick_ = std::move(Value);
  ForEachViewer([&](TPageViewer& viewer) { viewer.SetOnObjectClick(OnObjectClick_); });
}

void TFrameViewer::SetOnMeta(TMetaType Value) {
  OnMeta_ = std::move(Value);
  ForEachViewer([&](TPageViewer& viewer) { viewer.OnMeta = OnMeta_; });
}

void TFrameViewer::SetOnPrintHeader(TPagePrinted Value) {
  OnPrintHeader_ = std::move(Value);
  ForEachViewer([&](TPageViewer& viewer) { viewer.OnPrintHeader = OnPrintHeader_; });
}

void TFrameViewer::SetOnPrintFooter(TPagePrinted Value) {
  OnPrintFooter_ = std::move(Value);
  ForEachViewer([&](TPageViewer& viewer) { viewer.OnPrintFooter = OnPrintFooter_; });
}

void TFrameViewer::SetOnImageOver(TImageOverEvent Value) {
  OnImageOver_ = std::move(Value);
  ForEachViewer([&](TPageViewer& viewer) { viewer.OnImageOver = OnImageOver_; });
}

void TFrameViewer::SetOnImageClick(TImageClickEvent Value) {
  OnImageClick_ = std::move(Value);
  ForEachViewer([&](TPageViewer& viewer) { viewer.OnImageClick = OnImageClick_; });
}

void TFrameViewer::SetOnRightClick(TRightClickEvent Value) {
  OnRightClick_ = std::move(Value);
  ForEachViewer([&](TPageViewer& viewer) { viewer.OnRightClick = OnRightClick_; });
}

TPageViewer* TFrameViewer::ActiveViewer() {
  if (Current_->Viewers.size() == 1) return Current_->Viewers.front();
  return Current_->ActiveViewer;
}

bool TFrameViewer::FindText(std::u16string_view S, bool MatchCase) {
  TPageViewer* viewer = ActiveViewer();
  return viewer && viewer->FindText(S, MatchCase);
}

void TFrameViewer::PrintRange(int FromPage, int ToPage) {
  if (TPageViewer* viewer = ActiveViewer()) viewer->PrintRange(FromPage, ToPage);
}

void TFrameViewer::SetSelLength(int32_t Value) {
  if (TPageViewer* viewer = ActiveViewer()) viewer->SetSelLength(Value);
}

void TFrameViewer::Repaint() {
  Current_->Window().Invalidate();
  for (TFrame* frame : Current_->Frames) {
    frame->Window().Invalidate();
    if (TPageViewer* viewer = frame->Viewer()) {
      viewer->Window().Invalidate();
      viewer->PaintPanel().Window().Invalidate();
    }
  }
}

void TFrameViewer::SetFocus() {
  TPageViewer* viewer = ActiveViewer();
  if (viewer && viewer->Window().Visible())
    viewer->Window().SetFocus();
  else
    Window_->SetFocus();
}

void TFrameViewer::SetFindStart(int32_t Value) {
  if (TPageViewer* viewer = ActiveViewer()) viewer->FindStart = Value;
}

int32_t TFrameViewer::SelLength() {
  TPageViewer* viewer = ActiveViewer();
  return viewer ? viewer->SelLength() : 0;
}

void TFrameViewer::SetProcessing(bool Value) {
  const bool was = Processing();
  Processing_ = Value;
  ProcessingChanged(was);
}

void TFrameViewer::ProcessingChanged(bool was) {
  const bool now = Processing();
  if (now != was && OnProcessing) OnProcessing(this, now);
}

void TFrameViewer::ViewerProcessing(TPageViewer* viewer, bool on) {
  const bool was = Processing();
  auto found = std::find(Busy_.begin(), Busy_.end(), viewer);
  if (on && found == Busy_.end()) Busy_.push_back(viewer);
  if (!on && found != Busy_.end()) Busy_.erase(found);
  ProcessingChanged(was);
}

void TFrameViewer::ViewerGone(TPageViewer* viewer) {
  if (std::find(Busy_.begin(), Busy_.end(), viewer) != Busy_.end()) ViewerProcessing(viewer, false);
}

void TFrameViewer::StopSound() {
  if (OnSoundRequest) OnSoundRequest(this, std::string(), 0, true);
}

int32_t TFrameViewer::SingleViewerPosition(TFrameSet& set) {
  return set.Viewers.size() == 1 ? set.Viewers.front()->Position() : 0;
}

// --- Loading ---

void TFrameViewer::LoadFromFile(const std::string& Name) {
  if (Processing()) return;
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
  Busy_.clear();
  // The stop comes before the new document, whose own sound requests then stand.
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
  if (I == HistoryIndex_ || I < 0 || I >= static_cast<int>(History_.size()) || Processing()) return;
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
  if (Processing()) return;  // a followed link is still to come
  TFrame* chosen = nullptr;
  for (TFrame* frame : Current_->Frames) {
    const int index = frame->HistoryIndex();
    if (index > static_cast<int>(frame->History().size()) - 2) continue;
    if (!chosen || frame->History()[static_cast<size_t>(index)].Seq >
                       chosen->History()[static_cast<size_t>(chosen->HistoryIndex())].Seq)
      chosen = frame;
  }
  StopSound();
  if (chosen)
    chosen->HistoryStep(chosen->HistoryIndex() + 1);
  else
    TopLevelStep(HistoryIndex_ + 1);
}

void TFrameViewer::GoForward() {
  if (Processing()) return;
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
  StopSound();
  if (chosen)
    chosen->HistoryStep(chosen->HistoryIndex() - 1);
  else
    TopLevelStep(HistoryIndex_ - 1);
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
    viewer->SetHistoryMaxCount(Value);
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
  if (Processing()) return;
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
  if (!file.empty() && !RequestEventsAssigned()) file = viewer->ExpandLinkFilename(file);
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
