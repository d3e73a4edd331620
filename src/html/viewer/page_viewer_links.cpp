// TPageViewer: the pointer over links and images, clicks, the default link action, anchors
// and the history of documents left.
#include <algorithm>

#include "html/reader/text_utils.h"
#include "html/viewer/page_viewer.h"
#include "text/utf.h"

namespace brisomel {
namespace {

// The upper-cased extension of a file name, at most 5 characters.
std::string ExtensionOf(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  const size_t separator = name.find_last_of("\\/:");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return {};
  return UpperCase(name.substr(dot, 5));
}

}  // namespace

void TPageViewer::HTMLMouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
  CheckHotSpot(Shift, X, Y);
  if ((Shift & ssLeft) && !AutoScrolling_ && (Y <= 0 || Y > Height())) StartAutoScroll();
  if ((Shift & ssLeft) && !NoSelect_) ExtendSelection(X, Y);
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TPageViewer::CheckHotSpot(TShiftState Shift, int X, int Y) {
  Canvas& canvas = Windows_.ScreenCanvas();
  TWindowPort& panel = PaintPanel_->Window();
  const int32_t doc_y = DocY(Y);
  TUrlTarget link;
  TFormControlObj* control = nullptr;
  std::string url, target;
  if (Document_->LinkAt(canvas, X, doc_y, link, control)) {
    panel.SetCursor(crLink);
    if (!control) {
      url = Utf16ToUtf8(link.Url);
      target = Utf16ToUtf8(link.Target);
    }
  } else {
    TImageObj* image = nullptr;
    int32_t ix = 0, iy = 0;
    if ((OnImageClick || OnImageOver) && Document_->ImageAt(X, doc_y, image, ix, iy)) {
      panel.SetCursor(crArrow);
      if (OnImageOver) OnImageOver(this, image, Shift, ix, iy);
    } else {
      int32_t xr = 0, yr = 0, caret = 0;
      TCell* cell = nullptr;
      bool in_text = false;
      const int32_t pos = Document_->PositionAt(canvas, X, doc_y, xr, yr, caret, cell, in_text);
      panel.SetCursor(pos >= 0 && in_text ? Cursor_ : crArrow);
    }
  }
  if (url != HotSpotURL_) {
    HotSpotURL_ = url;
    HotSpotTarget_ = target;
    if (OnHotSpotCovered) OnHotSpotCovered(this, url);
  }
}

void TPageViewer::HTMLMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
  Window_->SetFocus();
  LinkFollowed_ = false;
  if (Button == mbLeft) {
    MouseDown_ = true;
    PaintPanel_->Window().SetCapture();
    StartSelection(X, Y);
  }
}

void TPageViewer::HTMLMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
  Canvas& canvas = Windows_.ScreenCanvas();
  const int32_t doc_y = DocY(Y);
  TImageObj* image = nullptr;
  int32_t ix = 0, iy = 0;
  bool image_found = false;
  if (OnImageClick || OnRightClick) image_found = Document_->ImageAt(X, doc_y, image, ix, iy);
  if (OnImageClick && image_found) OnImageClick(this, image, Button, Shift, ix, iy);

  if (Button == mbRight && OnRightClick) {
    TRightClickParameters parameters;
    if (image_found) {
      parameters.Image = image;
      parameters.ImageX = ix;
      parameters.ImageY = iy;
    }
    TUrlTarget link;
    TFormControlObj* control = nullptr;
    if (Document_->LinkAt(canvas, X, doc_y, link, control) && !control) {
      parameters.URL = Utf16ToUtf8(link.Url);
      parameters.Target = Utf16ToUtf8(link.Target);
    }
    OnRightClick(this, parameters);
  }

  if (Button != mbLeft) return;
  ExtendSelection(X, Y);
  Selecting_ = false;
  StopAutoScroll();
  PaintPanel_->Window().ReleaseCapture();
  TUrlTarget link;
  TFormControlObj* control = nullptr;
  if (MouseDown_ && Document_->SelectionLength() == 0 &&
      Document_->LinkAt(canvas, X, doc_y, link, control)) {
    MouseDown_ = false;
    if (control) {
      // The hit test has recorded the click offsets in the image input.
      SubmitImageInput(control);
    } else {
      HotSpotURL_ = Utf16ToUtf8(link.Url);
      HotSpotTarget_ = Utf16ToUtf8(link.Target);
      LinkFollowed_ = true;
      FollowHotSpot();
    }
  } else {
    MouseDown_ = false;
  }
}

void TPageViewer::SubmitImageInput(TFormControlObj* control) {
  // The hit test recorded where the image was hit; the image input submits its form, which
  // comes back through FormSubmitted.
  control->ImageClick();
}

void TPageViewer::FollowHotSpot() {
  bool handled = false;
  if (OnHotSpotClick) OnHotSpotClick(this, HotSpotURL_, handled);
  if (handled) return;
  const int32_t old_pos = Position();
  const std::string url = HotSpotURL_;
  if (const size_t mail = url.find("mailto:"); mail != std::string::npos) {
    if (Services_.Sys) Services_.Sys->ShellOpen(url.substr(mail));
    return;
  }
  if (!url.empty() && url[0] == '#') {
    if (ScrollToAnchor(url))
      AddToHistory(CurrentFileName_, DocumentTitle_, CurrentFileType_, old_pos);
    return;
  }
  const size_t hash = url.find('#');
  const std::string dest = hash == std::string::npos ? std::string() : url.substr(hash);
  const std::string file = ExpandLinkFilename(url.substr(0, hash));
  const std::string ext = ExtensionOf(file);
  if (ext == ".HTM" || ext == ".HTML") {
    if (file != CurrentFileName_) {
      LoadFromFile(file + dest);
    } else if (ScrollToAnchor(dest)) {
      AddToHistory(CurrentFileName_, DocumentTitle_, ftHTML, old_pos);
    }
  } else if (ext == ".BMP" || ext == ".GIF" || ext == ".JPG" || ext == ".JPEG" || ext == ".PNG") {
    LoadImageFile(file);
  }
}

bool TPageViewer::ScrollToAnchor(const std::string& Dest) {
  if (Dest.empty()) return false;
  const std::u16string name = UpperCase(Utf8ToUtf16(Dest[0] == '#' ? Dest.substr(1) : Dest));
  auto it =
      std::lower_bound(NameList_.begin(), NameList_.end(), name,
                       [](const TNamedAnchor& a, const std::u16string& n) { return a.Name < n; });
  if (it == NameList_.end() || it->Name != name || !it->Section) return false;
  ScrollTo(it->Section->YValue);
  SetHorizontalPosition(0);
  return true;
}

void TPageViewer::AddToHistory(const std::string& OldFile, const std::u16string& OldTitle,
                               THTMLFileType OldType, int32_t OldPos) {
  if (HistoryMaxCount_ < 1 || CurrentFileName_.empty()) return;
  if (OldFile == CurrentFileName_ && OldType == CurrentFileType_ && OldPos == Position()) return;
  if (!History_.empty() && !OldFile.empty()) {
    const size_t at = static_cast<size_t>(std::clamp<int>(HistoryIndex_, 0, History_.size() - 1));
    History_[at] = OldFile;
    TitleHistory_[at] = OldTitle;
    PositionHistory_[at]->Pos = OldPos;
    PositionHistory_[at]->FileType = OldType;
    History_.erase(History_.begin(), History_.begin() + at);
    TitleHistory_.erase(TitleHistory_.begin(), TitleHistory_.begin() + at);
    PositionHistory_.erase(PositionHistory_.begin(), PositionHistory_.begin() + at);
  }
  HistoryIndex_ = 0;
  History_.insert(History_.begin(), CurrentFileName_);
  TitleHistory_.insert(TitleHistory_.begin(), DocumentTitle_);
  PositionHistory_.insert(PositionHistory_.begin(),
                          std::make_unique<PositionObj>(PositionObj{Position(), CurrentFileType_}));
  if (static_cast<int>(History_.size()) > HistoryMaxCount_) {
    History_.erase(History_.begin() + HistoryMaxCount_);
    TitleHistory_.erase(TitleHistory_.begin() + HistoryMaxCount_);
    PositionHistory_.erase(PositionHistory_.begin() + HistoryMaxCount_);
  }
  if (OnHistoryChange) OnHistoryChange(this);
}

void TPageViewer::GoHistory(int Index) {
  if (Processing_ || Index < 0 || Index >= static_cast<int>(History_.size()) ||
      Index == HistoryIndex_) {
    return;
  }
  if (HistoryIndex_ >= 0 && HistoryIndex_ < static_cast<int>(PositionHistory_.size()))
    PositionHistory_[HistoryIndex_]->Pos = Position();
  const std::string file = History_[Index];
  const PositionObj entry = *PositionHistory_[Index];
  HistoryIndex_ = Index;
  if (file != CurrentFileName_ || entry.FileType != CurrentFileType_)
    LoadFile(file, entry.FileType);
  SetPosition(entry.Pos);
  if (OnHistoryChange) OnHistoryChange(this);
}

void TPageViewer::ClearHistory() {
  const bool had_entries = !History_.empty();
  History_.clear();
  TitleHistory_.clear();
  PositionHistory_.clear();
  HistoryIndex_ = 0;
  if (had_entries && OnHistoryChange) OnHistoryChange(this);
}

void TPageViewer::SetHistoryMaxCount(int Value) {
  if (Value < 0 || Value == HistoryMaxCount_) return;
  if (Value < HistoryMaxCount_) ClearHistory();
  HistoryMaxCount_ = Value;
}

}  // namespace brisomel
