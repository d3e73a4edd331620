#include "html/frames/frame.h"

#include <algorithm>

#include "html/frames/frame_viewer.h"
#include "html/reader/text_utils.h"
#include "html/viewer/page_viewer.h"
#include "text/utf.h"

namespace brisomel {
namespace {

std::string LowerExtension(const std::string& name) {
  const size_t dot = name.find_last_of(".\\/");
  if (dot == std::string::npos || name[dot] != '.') return std::string();
  return LowerCase(name.substr(dot));
}

bool IsImageName(const std::string& name) {
  const std::string ext = LowerExtension(name);
  return ext == ".gif" || ext == ".jpg" || ext == ".jpeg" || ext == ".bmp" || ext == ".png";
}

bool IsTextName(const std::string& name) { return LowerExtension(name) == ".txt"; }

bool SameName(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

void SplitAnchor(const std::string& Name, std::string& file, std::string& dest) {
  const size_t hash = Name.find('#');
  file = Name.substr(0, hash);
  dest = hash == std::string::npos ? std::string() : Name.substr(hash);
}

// A stream over bytes a request event supplied.
class TBytesStream : public TInputStream {
 public:
  explicit TBytesStream(const std::string& bytes) : bytes_(bytes) {}
  int32_t Read(void* buffer, int32_t count) override {
    const size_t n = std::min(bytes_.size() - at_, static_cast<size_t>(std::max(count, 0)));
    std::copy_n(bytes_.data() + at_, n, static_cast<char*>(buffer));
    at_ += n;
    return static_cast<int32_t>(n);
  }

 private:
  const std::string& bytes_;
  size_t at_ = 0;
};

}  // namespace

TFrame::TFrame(TFrameViewer& viewer, TSubFrameSet& owner, const TAttributeList& attributes,
               const std::string& FrameSetFile)
    : TFrameBase(viewer, &owner.Window(), owner.MasterSet), Owner_(owner) {
  BevelWidth = owner.FrameBorder;
  ++MasterSet->FrameCount;
  for (const auto& attribute : attributes) {
    switch (attribute->Symbol) {
      case symName:
        WindowName = Utf16ToUtf8(attribute->Text);
        MasterSet->FrameNames.emplace(UpperCase(WindowName), this);
        break;
      case symSrc: {
        std::string src = Utf16ToUtf8(TrimBlanks(attribute->Text));
        if (const size_t hash = src.find('#'); hash != std::string::npos) {
          Destination = src.substr(hash);
          src.erase(hash);
        }
        if (src.empty() || viewer.RequestEventsAssigned())
          Source = src;  // the request events get the name as written
        else
          Source = viewer.ExpandSourceName(src, MasterSet->Base, FrameSetFile);
        break;
      }
      case symNoresize:
        NoResize = true;
        break;
      case symScrolling:
        NoScroll = UpperCase(attribute->Text) == u"NO";
        break;
      case symMarginwidth:
        MarginWidth = std::clamp(attribute->Value, 0, 1000);
        break;
      case symMarginheight:
        MarginHeight = std::clamp(attribute->Value, 0, 1000);
        break;
      default:
        break;
    }
  }
}

TFrame::~TFrame() {
  --MasterSet->FrameCount;
  StopRefresh();
  auto found = MasterSet->FrameNames.find(UpperCase(WindowName));
  if (found != MasterSet->FrameNames.end() && found->second == this)
    MasterSet->FrameNames.erase(found);
  auto& frames = MasterSet->Frames;
  frames.erase(std::remove(frames.begin(), frames.end(), this), frames.end());
  FreeViewer();
  History_.clear();
  Set_.reset();
}

// --- Viewer and nested set ---

void TFrame::CreateViewer() {
  if (Viewer_) return;
  Viewer_ = FrameViewer().NewFrameViewer(*this);
  if (Owner_.FrameBorder == 0) Viewer_->SetBorderStyle(htNone);
  if (NoScroll) Viewer_->SetScrollBars(ssNone);
  Viewer_->SetMarginWidth(MarginWidth);
  Viewer_->SetMarginHeight(MarginHeight);
  MasterSet->Viewers.push_back(Viewer_.get());
  LayOut();
}

void TFrame::FreeViewer() {
  if (!Viewer_) return;
  MasterSet->RemoveViewer(Viewer_.get());
  Viewer_.reset();
}

void TFrame::ShowError(const std::string& name) {
  CreateViewer();
  std::string text = "<p><img src=\"qw%&.bmp\" alt=\"Error\"> Can't load " + name;
  if (text.size() > 255) text.resize(255);
  Viewer_->LoadFromBuffer(text.data(), static_cast<int32_t>(text.size()));
}

bool TFrame::SpecialFile(const std::string& name, bool (*test)(const std::string&)) {
  return !FrameViewer().RequestEventsAssigned() && test(name);
}

void TFrame::Ask(const std::string& name, TRequestedSource& result) {
  TFrameViewer& viewer = FrameViewer();
  if (viewer.RequestEventsAssigned() && viewer.RequestSource(name, result)) return;
  result = TRequestedSource();
  result.FileName = viewer.RequestEventsAssigned()
                        ? viewer.ExpandSourceName(name, MasterSet->Base, MasterSet->CurrentFile)
                        : name;
}

void TFrame::LoadIntoViewer(const std::string& name, const std::string& Dest,
                            const TRequestedSource* supplied) {
  if (SpecialFile(name, IsImageName)) {
    Viewer_->LoadImageFile(name);
    return;
  }
  if (SpecialFile(name, IsTextName)) {
    Viewer_->LoadTextFile(name);
    return;
  }
  TRequestedSource asked;
  if (!supplied) {
    Ask(name, asked);
    supplied = &asked;
  }
  switch (supplied->Kind) {
    case skFile:
      Viewer_->LoadFromFile(supplied->FileName + Dest);
      return;
    case skBuffer:
      Viewer_->LoadFromBuffer(supplied->Bytes.data(), static_cast<int32_t>(supplied->Bytes.size()));
      break;
    case skStrings:
      Viewer_->LoadStrings(supplied->Lines);
      break;
    case skStream: {
      TBytesStream stream(supplied->Bytes);
      Viewer_->LoadFromStream(stream);
      break;
    }
  }
  Viewer_->ScrollToAnchor(Dest);
}

std::shared_ptr<TSubFrameSet> TFrame::BuildSet(const std::string& name,
                                               const TRequestedSource& source) {
  auto set = std::make_shared<TSubFrameSet>(FrameViewer(), Window_.get(), MasterSet);
  set->Parent = this;
  Files& files = *FrameViewer().Services().FileSystem;
  TFrameSetParseResult parse;
  ParseFrameSetDocument(FrameViewer().FrameSetEvents(set.get(), name), *set,
                        source.Source(files, name), parse);
  return set;
}

void TFrame::DetachSet() {
  if (!Set_) return;
  MasterSet->UnregisterNames(*Set_);
  Set_->UnloadFiles();
  Set_->Window().SetVisible(false);
  Set_.reset();
}

void TFrame::LayOut() {
  const Rect inner = InnerRect();
  if (Viewer_) Viewer_->SetBounds(inner);
  if (Set_) {
    Set_->Window().SetBounds(inner);
    Set_->InitializeDimensions(0, 0, inner.height(), inner.width());
    Set_->PlaceChildren();
  }
  Window_->Invalidate();
}

void TFrame::Resized() { LayOut(); }

// --- META refresh ---

void TFrame::RefreshRequested(TPageViewer& viewer, int Delay, const std::string& URL) {
  TFrameViewer& frames = FrameViewer();
  if (!(frames.fvOptions & fvMetaRefresh)) return;
  std::string file, dest;
  SplitAnchor(URL, file, dest);
  // The URL is resolved like a link of the page that asked for it.
  const std::string path = frames.RequestEventsAssigned() ? file : viewer.ExpandLinkFilename(file);
  if (!frames.Services().FileSystem->Exists(path)) return;
  RefreshPath_ = path + dest;
  Window_->SetTimer(kRefreshTimer, RefreshInterval(Delay));
}

void TFrame::StopRefresh() { Window_->KillTimer(kRefreshTimer); }

void TFrame::Timer(int id) {
  if (id != kRefreshTimer) return;
  StopRefresh();
  if (Unloaded || RefreshPath_.empty()) return;
  if (MasterSet->Viewers.size() == 1)
    FrameViewer().RefreshTopLevel(MasterSet->weak_from_this(), RefreshPath_);
  else
    FrameViewer().RefreshFrame(*this, RefreshPath_);
}

void TFrame::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const Rect b = Window_->Bounds();
  Owner_.FrameMouse(TSubFrameSet::mkDown, button, x + b.left, y + b.top, *Window_);
}

void TFrame::MouseMove(TShiftState shift, int x, int y) {
  if (NoResize && !MasterSet->Dragged) {
    Window_->SetCursor(FrameViewer().Cursor());
    return;
  }
  const Rect b = Window_->Bounds();
  Owner_.FrameMouse(TSubFrameSet::mkMove, mbLeft, x + b.left, y + b.top, *Window_);
}

void TFrame::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const Rect b = Window_->Bounds();
  Owner_.FrameMouse(TSubFrameSet::mkUp, button, x + b.left, y + b.top, *Window_);
}

// --- Loading ---

void TFrame::LoadFiles() { LoadFiles(nullptr); }

void TFrame::LoadFiles(const TRequestedSource* supplied) {
  if (Source.empty() || MasterSet->NestingLevel >= kMaxFrameNesting) return;
  const bool special = SpecialFile(Source, IsImageName) || SpecialFile(Source, IsTextName);
  Files& files = *FrameViewer().Services().FileSystem;
  ++MasterSet->NestingLevel;
  try {
    TRequestedSource asked;
    if (!special && !supplied) {
      Ask(Source, asked);
      supplied = &asked;
    }
    const bool is_set = !special && IsFrameSetDocument(FrameViewer().OnInclude, &FrameViewer(),
                                                       supplied->Source(files, Source));
    if (is_set && MasterSet->FrameCount >= kMaxFramesPerDocument) {
      --MasterSet->NestingLevel;
      return;  // stays empty, as below the nesting limit
    }
    if (is_set) {
      Set_ = BuildSet(Source, *supplied);
      BevelWidth = 0;
      AddHistory(Source, 0, 0, true);
      Set_->LoadFiles();
      LayOut();
      bool lower = false, upper = false;
      Set_->CheckNoResize(lower, upper);
      Set_->StartRefresh(Source);
    } else {
      CreateViewer();
      Viewer_->SetBase(MasterSet->Base);
      LoadIntoViewer(Source, Destination, supplied);
      AddHistory(Source, Viewer_->Position(), 0, true);
    }
  } catch (const std::exception&) {
    Set_.reset();
    ShowError(Source);
  }
  --MasterSet->NestingLevel;
}

void TFrame::LoadWithHistory(const std::string& file, const std::string& Dest, bool record) {
  const std::string Old = Source;
  const std::string New = file.empty() ? Old : file;
  Source = New;
  const bool same = SameName(New, Old);
  const bool special = SpecialFile(New, IsImageName) || SpecialFile(New, IsTextName);
  Files& files = *FrameViewer().Services().FileSystem;
  try {
    TRequestedSource source;
    source.FileName = New;
    if (!same && !special) Ask(New, source);
    bool is_set = false;
    try {
      is_set =
          !same && !special &&
          IsFrameSetDocument(FrameViewer().OnInclude, &FrameViewer(), source.Source(files, New));
    } catch (const std::exception&) {
      throw EInOutError("Can't load: " + New);
    }
    if (!same && (!Viewer_ || is_set)) {
      std::unique_ptr<TPageViewer> old_viewer = std::move(Viewer_);
      const int32_t old_pos = old_viewer ? old_viewer->Position() : 0;
      std::shared_ptr<TSubFrameSet> old_set = Set_;
      if (old_set) MasterSet->UnregisterNames(*old_set);
      Set_.reset();
      if (!is_set) {
        CreateViewer();
        try {
          LoadIntoViewer(New, Dest, &source);
        } catch (const std::exception&) {
          ShowError(New);
        }
        Viewer_->SetBase(MasterSet->Base);
        AddHistory(New, Viewer_->Position(), 0);
        BevelWidth = Owner_.FrameBorder;
      } else {
        StopRefresh();
        Set_ = BuildSet(New, source);
        const int level = MasterSet->NestingLevel;
        MasterSet->NestingLevel = FramesAbove() + 1;
        Set_->LoadFiles();
        MasterSet->NestingLevel = level;
        BevelWidth = 0;
        bool lower = false, upper = false;
        Set_->CheckNoResize(lower, upper);
        Set_->StartRefresh(New);
        AddHistory(New, 0, old_pos);
      }
      LayOut();
      if (old_viewer) {
        MasterSet->RemoveViewer(old_viewer.get());
        old_viewer.reset();
      }
      if (old_set) {
        old_set->UnloadFiles();
        old_set->Window().SetVisible(false);
      }
      MasterSet->UpdateFrameList();
    } else if (!same && Viewer_) {
      const int32_t old_pos = Viewer_->Position();
      try {
        LoadIntoViewer(New, Dest, &source);
      } catch (const std::exception&) {
        ShowError(New);
      }
      if (record) AddHistory(New, Viewer_->Position(), old_pos);
      Viewer_->SetBase(MasterSet->Base);
    } else if (Viewer_) {
      const int32_t old_pos = Viewer_->Position();
      Viewer_->ScrollToAnchor(Dest);
      if (record && Viewer_->Position() != old_pos) AddHistory(New, Viewer_->Position(), old_pos);
    }
  } catch (...) {
    Source = Old;
    throw;
  }
  Window_->Invalidate();
}

void TFrame::ReloadFiles(int32_t Position) {
  if (!Source.empty()) {
    if (Set_) {
      Set_->ReloadFiles(-1);
      bool lower = false, upper = false;
      Set_->CheckNoResize(lower, upper);
    } else if (Viewer_) {
      Viewer_->SetBase(MasterSet->Base);
      try {
        LoadIntoViewer(Source, std::string());
      } catch (const std::exception&) {
        ShowError(Source);
      }
      Viewer_->SetPosition(Position >= 0 ? Position : SavedPosition_);
      // The page shown again played no sound; what it loads from now on may.
      Viewer_->OnSoundRequest = FrameViewer().OnSoundRequest;
    }
  }
  Unloaded = false;
}

void TFrame::UnloadFiles() {
  StopRefresh();
  if (Set_) Set_->UnloadFiles();
  if (Viewer_) {
    SavedPosition_ = Viewer_->Position();
    // Quietly: the frame viewer asked for silence before the document that replaces this one,
    // whose own sound must not be stopped now. A page shown again from history plays none.
    Viewer_->OnSoundRequest = nullptr;
    Viewer_->Clear();
  }
  Unloaded = true;
}

// --- History ---

void TFrame::AddHistory(const std::string& name, int32_t NewPos, int32_t OldPos, bool first) {
  if (!first) {
    if (!History_.empty()) History_[static_cast<size_t>(HistoryIndex_)].Pos = OldPos;
    MasterSet->ClearForwards();
  }
  HistoryIndex_ = 0;
  History_.insert(History_.begin(), HistoryEntry{name, Set_, NewPos, FrameViewer().NextSequence()});
  MasterSet->UpdateFrameList();
  FrameViewer().HistoryChanged();
}

void TFrame::DropForwards() {
  History_.erase(History_.begin(), History_.begin() + HistoryIndex_);
  HistoryIndex_ = 0;
}

void TFrame::ClearHistory() {
  History_.clear();
  HistoryIndex_ = 0;
}

void TFrame::HistoryStep(int I) {
  if (I == HistoryIndex_ || I < 0 || I >= static_cast<int>(History_.size())) return;
  StopRefresh();
  if (Viewer_)
    History_[static_cast<size_t>(HistoryIndex_)].Pos = Viewer_->Position();
  else
    DetachSet();
  const HistoryEntry entry = History_[static_cast<size_t>(I)];
  if (entry.Set) {
    Set_ = entry.Set;
    Set_->Window().SetVisible(true);
    Set_->ReloadFiles(-1);
    MasterSet->RegisterNames(*Set_);
    FreeViewer();
    BevelWidth = 0;
  } else {
    CreateViewer();
    if (Source != entry.Name) {
      try {
        LoadIntoViewer(entry.Name, std::string());
      } catch (const std::exception&) {
        ShowError(entry.Name);
      }
    }
    Viewer_->SetPosition(entry.Pos);
    BevelWidth = Owner_.FrameBorder;
  }
  LayOut();
  Source = entry.Name;
  HistoryIndex_ = I;
  MasterSet->UpdateFrameList();
  FrameViewer().HistoryChanged();
}

// --- Structure ---

int TFrame::FramesAbove() {
  int count = 0;
  for (TFrameBase* at = Owner_.Parent; at;) {
    if (auto* frame = dynamic_cast<TFrame*>(at)) {
      ++count;
      at = frame->Owner_.Parent ? static_cast<TFrameBase*>(&frame->Owner_) : nullptr;
    } else {
      at = static_cast<TSubFrameSet*>(at)->Parent;
    }
  }
  return count;
}

void TFrame::UpdateFrameList() {
  MasterSet->Frames.push_back(this);
  if (Set_) Set_->UpdateFrameList();
}

bool TFrame::CheckNoResize(bool& Lower, bool& Upper) {
  Lower = Upper = NoResize;
  return NoResize;
}

void TFrame::InitializeDimensions(int X, int Y, int Height, int Width) {
  if (Set_) Set_->InitializeDimensions(0, 0, Height, Width);
}

}  // namespace brisomel
