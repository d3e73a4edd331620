// TPageViewer: construction, properties, loading, layout, scroll bars, positions, scrolling,
// resizing, painting and META refresh.
#include "html/viewer/page_viewer.h"

#include <algorithm>
#include <climits>
#include <exception>

#include "html/reader/text_utils.h"
#include "settings/reading_state.h"
#include "text/utf.h"

namespace brisomel {

// The document's animation timer as a timer of the paint panel's window.
class TPageViewer::TWindowTimer : public TAnimationTimer {
 public:
  explicit TWindowTimer(TWindowPort& window) : window_(window) {}
  ~TWindowTimer() override {
    if (enabled_) window_.KillTimer(kAnimationTimer);
  }
  void SetEnabled(bool on) override {
    if (on == enabled_) return;
    enabled_ = on;
    if (on)
      window_.SetTimer(kAnimationTimer, interval_);
    else
      window_.KillTimer(kAnimationTimer);
  }
  bool Enabled() const override { return enabled_; }
  void SetInterval(int milliseconds) override {
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    if (enabled_) window_.SetTimer(kAnimationTimer, interval_);
  }
  int Interval() const override { return interval_; }

 private:
  TWindowPort& window_;
  bool enabled_ = false;
  int interval_ = TSectionList::kAnimationInterval;
};

bool ParseMetaRefresh(const std::string& Content, TMetaRefresh& result) {
  const size_t semicolon = Content.find(';');
  if (semicolon == std::string::npos) return false;
  const int delay = IntegerOr(TrimBlanks(Content.substr(0, semicolon)), -1);
  if (delay <= 0) return false;
  const size_t url = LowerCase(Content).find("url=");
  if (url == std::string::npos) return false;
  result.Delay = delay;
  result.URL = Content.substr(url + 4);
  return true;
}

namespace {

// Restores the screen cursor and ends processing however a load ends.
class TLoadGuard {
 public:
  TLoadGuard(TWindowSystem& windows, std::function<void()> end)
      : windows_(windows), old_(windows.SetScreenCursor(crHourGlass)), end_(std::move(end)) {}
  ~TLoadGuard() { Finish(); }
  void Finish() {
    if (done_) return;
    done_ = true;
    windows_.SetScreenCursor(old_);
    end_();
  }

 private:
  TWindowSystem& windows_;
  TCursorKind old_;
  std::function<void()> end_;
  bool done_ = false;
};

// The directory part of a path, separator included.
std::string DirectoryOf(const std::string& path) {
  const size_t at = path.find_last_of("\\/:");
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

// The position a scroll bar's code asks for, from `pos`: the thumb's track position, a line or
// a page further, the start, or `bottom`.
int32_t ScrollCodePosition(TScrollCode code, int32_t pos, T32ScrollBar& bar, int32_t bottom) {
  switch (code) {
    case scTrack:
    case scPosition:
      return bar.Port().TrackPosition();
    case scLineUp:
      return pos - bar.SmallChange;
    case scLineDown:
      return pos + bar.SmallChange;
    case scPageUp:
      return pos - bar.LargeChange;
    case scPageDown:
      return pos + bar.LargeChange;
    case scTop:
      return 0;
    case scBottom:
      return bottom;
    default:
      return pos;
  }
}

}  // namespace

TPageViewer::TPageViewer(const TViewerServices& services, TWindowPort* parent)
    : Services_(services), Windows_(*services.Windows) {
  Window_ = Windows_.NewWindow(parent, *this);
  PaintPanel_ = std::make_unique<TPaintPanel>(*this, Windows_, *Window_);
  VScrollBar_ = std::make_unique<T32ScrollBar>(Windows_.NewScrollBar(*Window_, true));
  VScrollBar_->SmallChange = 16;
  VScrollBar_->SetVisible(false);
  VScrollBar_->Port().OnScroll = [this](TScrollCode code) { VScroll(code); };
  HScrollBar_ = std::make_unique<T32ScrollBar>(Windows_.NewScrollBar(*Window_, false));
  HScrollBar_->SmallChange = 15;
  HScrollBar_->SetVisible(false);
  HScrollBar_->Port().OnScroll = [this](TScrollCode code) { HScroll(code); };
  ScrollBarWidth_ = Windows_.ScrollBarWidth();

  TDocumentServices document_services{&Windows_.ScreenCanvas(), Services_.Sys,
                                      Services_.ImageModule, Services_.FileSystem,
                                      &PaintPanel_->Window().FormControls()};
  Document_ = std::make_unique<TSectionList>(document_services, this, PaintPanel_.get());
  Document_->ShowImages = false;
  Document_->SetAnimationTimer(std::make_unique<TWindowTimer>(PaintPanel_->Window()));
  Document_->OnBackgroundChange = [this] {
    PanelColor_ = Document_->Background | kPaletteRelative;
  };
  Document_->InvalidateRect = [this](const Rect& r) { PaintPanel_->Window().Invalidate(&r); };
  Document_->OnLayoutProgress = [this] { AnswerEvents(); };
  Document_->ExpandName = [this](std::u16string_view name) {
    return ExpandLinkFilename(Utf16ToUtf8(name));
  };
  // A control that takes the focus is scrolled into view; a submitted form is loaded later,
  // from the event loop, so that the control that submitted it is not destroyed under it.
  Document_->OnControlEntered = [this](TFormControlObj* Control) {
    if (Control) ControlFocused(Control->YValue);
  };
  Document_->FormSubmitHandler =
      [this](void*, const std::string& Action, const std::vector<std::string>& Results,
             const std::string& Method, const std::string& EncType, const std::string& Target) {
        FormSubmitted(Action, Target, EncType, Method, Results);
      };
  Document_->SetFonts(DefFontName_, DefPreFontName_, DefFontSize_, DefFontColor_, DefHotSpotColor_,
                      DefBackground_);
  Document_->Charset = CharSet_;
  PaintPanel_->Window().SetCursor(Cursor_);
  SetBounds(Rect{0, 0, 150, 150});
}

TPageViewer::~TPageViewer() {
  // The document's timer and callbacks point into the panel: the document goes first.
  Document_.reset();
}

// --- Loading ---

void TPageViewer::SetProcessing(bool Value) {
  if (Processing_ == Value) return;
  Processing_ = Value;
  if (OnProcessing) OnProcessing(this, Value);
}

void TPageViewer::RequestStopSound() {
  if (OnSoundRequest) OnSoundRequest(this, "", 0, true);
}

void TPageViewer::PrepareDocument() {
  Document_->Clear();
  if (Services_.ImageModule) Services_.ImageModule->Cache().AgeAll();
  Document_->SetFonts(DefFontName_, DefPreFontName_, DefFontSize_, DefFontColor_, DefHotSpotColor_,
                      DefBackground_);
  NameList_.clear();
  FindStart = 0;
  SelectionAnchor_ = -1;
}

void TPageViewer::HandleMeta(void*, const std::string& HttpEq, const std::string& Name,
                             const std::string& Content) {
  if (OnMeta) OnMeta(this, HttpEq, Name, Content);
  if (!OnMetaRefresh || LowerCase(HttpEq) != "refresh") return;
  TMetaRefresh refresh;
  if (ParseMetaRefresh(Content, refresh)) {
    RefreshDelay_ = refresh.Delay;
    RefreshURL_ = refresh.URL;
  }
}

void TPageViewer::SetupParser(THtmlParser& parser, const std::string& reading_file) {
  parser.Sender = this;
  if (OnSoundRequest) {
    parser.OnSoundRequest = [this, &parser, reading_file](void* Sender, const std::string& SRC,
                                                          int Loop, bool Terminate) {
      const std::string base = parser.Base().empty() ? ExternalBase_ : Utf16ToUtf8(parser.Base());
      OnSoundRequest(Sender, SRC.empty() ? SRC : ExpandFilenameFor(SRC, base, reading_file), Loop,
                     Terminate);
    };
  }
  parser.OnInclude = OnInclude;
  // A long page lets the windows answer while it is read, as while it is laid out.
  if (Services_.Sys) LastAnswer_ = Services_.Sys->TickCount();
  parser.OnProgress = [this] { AnswerEvents(); };
  parser.OnMeta = [this](void* sender, const std::string& http_eq, const std::string& name,
                         const std::string& content) {
    HandleMeta(sender, http_eq, name, content);
  };
}

void TPageViewer::LoadFile(const std::string& Name, THTMLFileType FileType) {
  std::string file = Name, anchor;
  if (const size_t hash = Name.find('#'); hash != std::string::npos) {
    file = Name.substr(0, hash);
    anchor = Name.substr(hash + 1, 255);
  }
  RefreshDelay_ = 0;
  SetProcessing(true);
  TLoadGuard guard(Windows_, [this] { SetProcessing(false); });
  Files& files = *Services_.FileSystem;
  if (!files.Exists(file)) throw EInOutError("Can't locate file: " + file);

  PrepareDocument();
  const std::string expanded = files.FullPath(file);
  std::exception_ptr error;
  std::u16string title;
  std::string base, base_target;
  {
    TDocumentParser parser(*Document_, &NameList_);
    SetupParser(parser.Parser, expanded);
    Layouting_ = true;  // nothing is painted from a document half read
    try {
      switch (FileType) {
        case ftHTML:
          RequestStopSound();
          if (!parser.Parser.ParseHtmlFile(files, file)) throw EInOutError("Can't load: " + file);
          break;
        case ftText:
          if (!parser.Parser.ParsePlainTextFile(files, file))
            throw EInOutError("Can't load: " + file);
          break;
        case ftImage: {
          const std::string buffer = "<img src=\"" + expanded + "\">";
          parser.Parser.ParseHtmlBuffer(buffer.data(), buffer.size());
          break;
        }
      }
    } catch (const EWorkStopped&) {
      Layouting_ = false;
      throw;
    } catch (...) {
      error = std::current_exception();
    }
    Layouting_ = false;
    title = parser.Parser.Title();
    base = Utf16ToUtf8(parser.Parser.Base());
    base_target = Utf16ToUtf8(parser.Parser.BaseTarget());
  }
  const std::string previous = CurrentFileName_;
  CurrentFileName_ = expanded;
  CurrentFileType_ = FileType;
  DocumentTitle_ = title;
  Base_ = base.empty() ? ExternalBase_ : base;
  BaseTarget_ = base_target;
  FinishLoad();
  if (!anchor.empty()) {
    ScrollToAnchor(anchor);
  } else if (expanded != previous) {
    ScrollTo(0);
    SetHorizontalPosition(0);
  } else {
    ScrollTo(VerticalPosition());
  }
  Invalidate();
  guard.Finish();
  if (error) std::rethrow_exception(error);
  if (RefreshDelay_ > 0 && OnMetaRefresh) OnMetaRefresh(this, RefreshDelay_, RefreshURL_);
}

void TPageViewer::FinishLoad() {
  std::stable_sort(NameList_.begin(), NameList_.end(),
                   [](const TNamedAnchor& a, const TNamedAnchor& b) { return a.Name < b.Name; });
  Layouting_ = true;
  try {
    if (Document_->ShowImages) Document_->BackgroundImage();
  } catch (...) {
    Layouting_ = false;
    throw;
  }
  Layouting_ = false;
  Layout();
}

void TPageViewer::PublicLoad(const std::string& Name, THTMLFileType FileType) {
  if (Processing_ || Name.empty()) return;
  const std::string old_file = CurrentFileName_;
  const std::u16string old_title = DocumentTitle_;
  const int32_t old_pos = Position();
  const THTMLFileType old_type = CurrentFileType_;
  LoadFile(Name, FileType);
  if (CurrentFileName_ != old_file || CurrentFileType_ != old_type)
    AddToHistory(old_file, old_title, old_type, old_pos);
}

void TPageViewer::LoadFromFile(const std::string& Name) { PublicLoad(Name, ftHTML); }
void TPageViewer::LoadTextFile(const std::string& Name) { PublicLoad(Name, ftText); }
void TPageViewer::LoadImageFile(const std::string& Name) { PublicLoad(Name, ftImage); }

void TPageViewer::LoadFromMemory(TSource source, const std::function<void(THtmlParser&)>& parse) {
  if (Processing_) return;
  RefreshDelay_ = 0;
  SetProcessing(true);
  TLoadGuard guard(Windows_, [this] { SetProcessing(false); });
  PrepareDocument();
  if (source != TSource::kTextStrings) RequestStopSound();
  std::exception_ptr error;
  std::u16string title;
  std::string base, base_target;
  {
    TDocumentParser parser(*Document_, &NameList_);
    SetupParser(parser.Parser, CurrentFileName_);
    Layouting_ = true;  // nothing is painted from a document half read
    try {
      parse(parser.Parser);
    } catch (const EWorkStopped&) {
      Layouting_ = false;
      throw;
    } catch (...) {
      error = std::current_exception();
    }
    Layouting_ = false;
    title = parser.Parser.Title();
    base = Utf16ToUtf8(parser.Parser.Base());
    base_target = Utf16ToUtf8(parser.Parser.BaseTarget());
  }
  DocumentTitle_ = title;
  Base_ = base.empty() ? ExternalBase_ : base;
  BaseTarget_ = base_target;
  FinishLoad();
  ScrollTo(0);
  SetHorizontalPosition(0);
  Invalidate();
  CurrentFileName_.clear();
  guard.Finish();
  if (error) std::rethrow_exception(error);
  if (RefreshDelay_ > 0 && OnMetaRefresh) OnMetaRefresh(this, RefreshDelay_, RefreshURL_);
}

void TPageViewer::LoadFromBuffer(const char* Buffer, int32_t Size) {
  LoadFromMemory(TSource::kBuffer, [&](THtmlParser& parser) {
    parser.ParseHtmlBuffer(Buffer, Buffer && Size > 0 ? static_cast<size_t>(Size) : 0);
  });
}

void TPageViewer::LoadStrings(const std::vector<std::string>& Strings) {
  LoadFromMemory(TSource::kStrings, [&](THtmlParser& parser) { parser.ParseHtmlStrings(Strings); });
}

void TPageViewer::LoadFromStream(TInputStream& Stream) {
  LoadFromMemory(TSource::kStream, [&](THtmlParser& parser) { parser.ParseHtmlStream(Stream); });
}

void TPageViewer::LoadTextStrings(const std::vector<std::string>& Strings) {
  LoadFromMemory(TSource::kTextStrings,
                 [&](THtmlParser& parser) { parser.ParsePlainTextStrings(Strings); });
}

void TPageViewer::Clear() {
  if (Processing_) return;
  StopAutoScroll();
  Document_->Clear();
  Document_->SetFonts(DefFontName_, DefPreFontName_, DefFontSize_, DefFontColor_, DefHotSpotColor_,
                      DefBackground_);
  NameList_.clear();
  Base_.clear();
  ExternalBase_.clear();
  BaseTarget_.clear();
  DocumentTitle_.clear();
  MaxVertical_ = 0;
  VScrollBar_->SetMax(0);
  VScrollBar_->SetVisible(false);
  HScrollBar_->SetVisible(false);
  FindStart = 0;
  SelectionAnchor_ = -1;
  RequestStopSound();
  Invalidate();
}

// --- Layout ---

// A long layout lets the windows answer now and then (painting shows what was there, since the
// paint panel draws nothing while Layouting). When the program is asked to close meanwhile, the
// layout stops.
void TPageViewer::AnswerEvents() {
  if (!Services_.Sys) return;
  const uint32_t now = Services_.Sys->TickCount();
  if (now - LastAnswer_ < kAnswerInterval) return;
  if (!Windows_.ProcessEvents()) throw EWorkStopped();
  LastAnswer_ = Services_.Sys->TickCount();
}

void TPageViewer::Layout() {
  ScrollWidth_ = 0;
  Layouting_ = true;
  if (Services_.Sys) LastAnswer_ = Services_.Sys->TickCount();
  const int allowance = BorderStyle_ == htNone ? 1 : 3;
  const bool vertical = ScrollBars_ == ssVertical || ScrollBars_ == ssBoth;
  int32_t max_width = 0, curs = 0;
  try {
    // The window may be resized while a long layout answers events; a layout for a width the
    // window no longer has would leave lines cut off or a horizontal scroll bar for text that
    // fits, so it is done again for the new width (a few times at most: someone dragging the
    // window's edge keeps the last width laid out).
    for (int round = 0; round < 3; ++round) {
      LastWidth_ = Width();
      const int32_t width =
          LastWidth_ - allowance - 2 * MarginWidth_ - (vertical ? ScrollBarWidth_ : 0);
      max_width = 0;
      const int32_t height = Document_->LayOut(Windows_.ScreenCanvas(), MarginHeight_,
                                               std::max(width, 1), max_width, curs);
      MaxVertical_ = height + (vertical ? 2 : 1) * MarginHeight_;
      if (Width() == LastWidth_) break;
    }
  } catch (...) {
    Layouting_ = false;
    throw;
  }
  ScrollWidth_ = max_width;
  Layouting_ = false;
  SetupScrollBars();
}

void TPageViewer::SetupScrollBars() {
  ScrollWidth_ = std::min(ScrollWidth_, kMaxScrollWidth);
  const int B = BorderStyle_ == htNone ? 0 : 1;
  const int32_t N = 2 * MarginWidth_ + ScrollWidth_;
  const int SBW = ScrollBarWidth_;
  const int W0 = Width(), H0 = Height();
  const bool horizontal_allowed = ScrollBars_ == ssHorizontal || ScrollBars_ == ssBoth;
  bool vertical = false, horizontal = false;
  if (ScrollBars_ != ssVertical && ScrollBars_ != ssBoth) {
    horizontal = horizontal_allowed && W0 < N;
  } else {
    vertical = MaxVertical_ >= H0 - 2 ||
               (horizontal_allowed && MaxVertical_ >= H0 - SBW - 2 && W0 - SBW < N);
    horizontal = horizontal_allowed && (W0 < N || (vertical && W0 - SBW < N));
  }
  const int W = vertical ? W0 - SBW : W0;
  const int panel_width = std::max(0, W - 2 * B);
  const int panel_height = std::max(0, H0 - 2 * B - (horizontal ? SBW : 0));
  PaintPanel_->Window().SetBounds(Rect{B, B, B + panel_width, B + panel_height});

  HScrollBar_->SetVisible(horizontal);
  HScrollBar_->LargeChange = std::max(1, W - 20);
  HScrollBar_->SetBounds(Rect{B, H0 - B - SBW, W - B, H0 - B});
  HScrollBar_->SetParams(HPosition_, W, 0, std::max(N, W - 2 * B));

  VScrollBar_->SetBounds(Rect{W0 - B - SBW, B, W0 - B, B + panel_height});
  VScrollBar_->LargeChange = panel_height - 16;
  VScrollBar_->SetVisible(vertical);
  VScrollBar_->SetParams(VScrollBar_->Position(), panel_height + 1, 0, MaxVertical_);
}

void TPageViewer::Reformat() {
  if (Processing_) return;
  LayOutWhileProcessing(true);
}

void TPageViewer::LayOutWhileProcessing(bool keep_position) {
  SetProcessing(true);
  try {
    if (keep_position)
      ReLayoutKeepingPosition();
    else
      Layout();
  } catch (...) {
    SetProcessing(false);
    throw;
  }
  SetProcessing(false);
}

void TPageViewer::ReLayoutKeepingPosition() {
  const int32_t pos = Position();
  Layout();
  SetPosition(pos);
}

// --- Positions and scrolling ---

int32_t TPageViewer::PanelHeight() const { return PaintPanel_->Window().ClientSize().cy; }
int32_t TPageViewer::PanelWidth() const { return PaintPanel_->Window().ClientSize().cx; }

int32_t TPageViewer::ClampVertical(int32_t Y) const {
  return std::max(0, std::min(Y, MaxVertical_ - PanelHeight()));
}

int32_t TPageViewer::Position() {
  const int32_t Y = VerticalPosition();
  int32_t top = 0;
  int index = -1;
  if (!Document_->SectionAt(Y, top, index) || index < 0) return 0;
  return static_cast<int32_t>((static_cast<uint32_t>(index) << 16) |
                              (static_cast<uint32_t>(Y - top) & 0xFFFF));
}

void TPageViewer::SetPosition(int32_t Value) {
  if (Value < 0) return;
  const int index = static_cast<int>(static_cast<uint32_t>(Value) >> 16);
  if (index < Document_->Count()) ScrollTo(Document_->SectionTop(index) + (Value & 0xFFFF));
}

void TPageViewer::SetVerticalPosition(int32_t Value) {
  const int32_t Y = ClampVertical(Value);
  if (Y != VerticalPosition()) ScrollTo(Y);
}

void TPageViewer::SetHorizontalPosition(int32_t Value) {
  const int32_t limit = std::max(0, HScrollBar_->Max() - PanelWidth());
  HPosition_ = std::clamp(Value, 0, limit);
  HScrollBar_->SetPosition(HPosition_);
}

void TPageViewer::ScrollTo(int32_t Y) {
  Y = ClampVertical(Y);
  VScrollBar_->SetPosition(Y);
  Document_->SetYOffset(Y);
  Invalidate();
}

void TPageViewer::ScrollIntoView(int32_t Y) {
  const int32_t top = VerticalPosition();
  if (Y < top || Y > top + PanelHeight() - 20) SetVerticalPosition(Y - PanelHeight() / 2);
}

void TPageViewer::ControlFocused(int32_t Y) {
  ScrollIntoView(Y);
  Invalidate();
}

void TPageViewer::ScrollVerticalBy(int32_t NewPos, bool scroll_contents) {
  NewPos = ClampVertical(NewPos);
  const int32_t old = VerticalPosition();
  if (NewPos == old) return;
  VScrollBar_->SetPosition(NewPos);
  Document_->SetYOffset(NewPos);
  if (scroll_contents) {
    PaintPanel_->Window().ScrollContents(0, old - NewPos);
    PaintPanel_->Window().Update();
  } else {
    Invalidate();
  }
}

void TPageViewer::VScroll(TScrollCode code) {
  Window_->SetFocus();
  ScrollVerticalBy(
      ScrollCodePosition(code, VerticalPosition(), *VScrollBar_, MaxVertical_ - PanelHeight()),
      true);
}

void TPageViewer::HScroll(TScrollCode code) {
  Window_->SetFocus();
  SetHorizontalPosition(ScrollCodePosition(code, HPosition_, *HScrollBar_, HScrollBar_->Max()));
  Invalidate();
}

void TPageViewer::KeyDown(int& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
  if (key == 0) return;
  if (key == vkC && (shift & ssCtrl)) {
    CopyToClipboard();
    return;
  }
  const int32_t pos = VerticalPosition();
  int32_t target = pos;
  switch (key) {
    case vkPrior:
      target = pos - VScrollBar_->LargeChange;
      break;
    case vkNext:
      target = pos + VScrollBar_->LargeChange;
      break;
    case vkHome:
      target = 0;
      break;
    case vkEnd:
      target = MaxVertical_;
      break;
    case vkUp:
      target = pos - VScrollBar_->SmallChange;
      break;
    case vkDown:
      target = pos + VScrollBar_->SmallChange;
      break;
    case vkLeft:
    case vkRight:
      SetHorizontalPosition(HPosition_ +
                            (key == vkLeft ? -HScrollBar_->SmallChange : HScrollBar_->SmallChange));
      Invalidate();
      return;
    default:
      return;
  }
  target = ClampVertical(target);
  ScrollVerticalBy(target, std::abs(target - pos) == VScrollBar_->SmallChange);
}

void TPageViewer::MouseWheel(int delta, TShiftState shift) {
  // Three lines per notch, as the platform's default wheel setting.
  const int32_t lines = delta / 120 * 3;
  ScrollVerticalBy(VerticalPosition() - lines * VScrollBar_->SmallChange, false);
}

void TPageViewer::SetBounds(const Rect& bounds) { Window_->SetBounds(bounds); }

void TPageViewer::Resized() {
  if (!Document_) return;
  // A resize while the page is loaded or laid out needs no layout here: that layout takes the
  // window's width when it gets to it, or lays out again when the width changed under it.
  if (Width() == LastWidth_ || Processing_) {
    SetupScrollBars();
  } else {
    PaintPanel_->EraseOnce = true;
    Reformat();
  }
  if (MaxVertical_ < PanelHeight())
    SetPosition(0);
  else
    ScrollTo(VerticalPosition());
  SetHorizontalPosition(std::min(HPosition_, HScrollBar_->Max() - PanelWidth()));
  Window_->Invalidate();
}

void TPageViewer::FocusChanged(bool focused) {
  if (focused && OnEnter) OnEnter(this);
  Window_->Invalidate();
}

void TPageViewer::Timer(int id) {
  if (id == kAnimationTimer) {
    Document_->AnimationTick();
  } else if (id == kAutoScrollTimer) {
    AutoScrollStep();
  }
}

// --- Painting ---

void TPageViewer::Paint(Canvas& canvas, const Rect& clip) {
  // The border box: the one-pixel border over the whole size, on the panel's colour.
  const Size size = Window_->ClientSize();
  canvas.FillRect(clip, PanelColor_);
  const bool visible_border =
      BorderStyle_ == htSingle ||
      (BorderStyle_ == htFocused && (Window_->Focused() || PaintPanel_->Window().Focused()));
  const Color pen = visible_border ? kColorBtnText : PanelColor_;
  if (BorderStyle_ != htNone) {
    canvas.SetPen(Pen{PenStyle::kSolid, 1, pen});
    canvas.SetBrush(Brush{BrushStyle::kHollow, 0});
    canvas.Rectangle(Rect{0, 0, size.cx, size.cy});
  }
}

void TPageViewer::DrawDocument(Canvas& canvas) {
  if (Layouting_) return;
  Document_->Paint(canvas, Rect{MarginWidth_, 1, PanelWidth(), PanelHeight()}, kMaxScrollWidth,
                   MarginWidth_ - HPosition_, MarginHeight_);
}

void TPageViewer::DrawBackground(Canvas& canvas, const Rect& R, bool Erasing) {
  const Bitmap* tile = nullptr;
  if (Document_->ShowImages && !Document_->Printing) tile = Document_->BackgroundImage();
  if (!tile || tile->width <= 0 || tile->height <= 0) {
    canvas.FillRect(R, PanelColor_);
    return;
  }
  try {
    // Tiles scroll with the document: start a column and a row before the first whole tile.
    const int W = tile->width, H = tile->height;
    int x = -(HPosition_ % W);
    while (x < R.left) x += W;
    x -= W;
    int y = -(VerticalPosition() % H);
    while (y < R.top) y += H;
    y -= H;
    // A tile with partial transparency is blended with the panel colour.
    const std::vector<uint8_t>* alpha = Document_->BackgroundAlpha();
    if (alpha) canvas.FillRect(R, PanelColor_);
    for (int column = x; column < R.right; column += W) {
      for (int row = y; row < R.bottom; row += H) {
        if (!alpha || !canvas.AlphaBlendBitmap(Rect{column, row, column + W, row + H}, *tile,
                                               Rect{0, 0, W, H}, *alpha)) {
          canvas.DrawBitmap(column, row, *tile);
        }
      }
    }
  } catch (...) {
    canvas.FillRect(R, PanelColor_);
  }
}

// --- Properties ---

void TPageViewer::SetViewImages(bool Value) {
  if (Value == Document_->ShowImages || Processing_) return;
  TCursorKind old = Windows_.SetScreenCursor(crHourGlass);
  SetProcessing(true);
  try {
    Document_->ShowImages = Value;
    if (Value) Document_->BackgroundImage();
    ReLayoutKeepingPosition();
  } catch (...) {
    Windows_.SetScreenCursor(old);
    SetProcessing(false);
    throw;
  }
  Windows_.SetScreenCursor(old);
  SetProcessing(false);
  Invalidate();
}

void TPageViewer::SetDefBackground(Color Value) {
  if (Processing_) return;
  DefBackground_ = Value;
  Document_->SetBackground(Value);
  Invalidate();
}

void TPageViewer::SetBorderStyle(THTMLBorderStyle Value) {
  if (Value == BorderStyle_) return;
  BorderStyle_ = Value;
  Window_->Invalidate();
}

void TPageViewer::RefreshFontsAndLayout(bool relayout) {
  Document_->RefreshFonts();
  if (relayout && Document_->Count() > 0 && !Processing_) {
    LayOutWhileProcessing(true);
  }
  Invalidate();
}

void TPageViewer::SetDefFontName(const std::string& Value) {
  if (UpperCase(Value) == UpperCase(DefFontName_)) return;
  DefFontName_ = Value;
  Document_->FontName = Value.substr(0, 33);
  RefreshFontsAndLayout(true);
}

void TPageViewer::SetDefPreFontName(const std::string& Value) {
  if (UpperCase(Value) == UpperCase(DefPreFontName_)) return;
  DefPreFontName_ = Value;
  Document_->PreFontName = Value.substr(0, 33);
  RefreshFontsAndLayout(true);
}

void TPageViewer::SetDefFontSize(int Value) {
  DefFontSize_ = std::max(Value, 6);
  Document_->FontSize = DefFontSize_;
  RefreshFontsAndLayout(true);
}

void TPageViewer::SetZoomPercent(int Value) {
  Value = std::clamp(Value, kMinZoom, kMaxZoom);
  if (Value == Document_->Zoom) return;
  const int old_zoom = Document_->Zoom;
  if (Document_->Count() == 0 || Processing_) {
    // Nothing laid out yet (or a load runs): the next layout takes the zoom.
    Document_->Zoom = Value;
    Document_->RefreshFonts();
    Invalidate();
    return;
  }
  // The reading position, taken before the change: the first character of the line at the
  // top of the window, found again after the new layout; a top without text (a picture, a
  // rule) keeps its section and the zoomed offset into it.
  Canvas& canvas = Windows_.ScreenCanvas();
  const int32_t top = VerticalPosition();
  int32_t xr = 0, yr = 0, caret = 0;
  TCell* cell = nullptr;
  bool in_text = false;
  const int32_t top_char =
      Document_->PositionAt(canvas, INT_MIN / 4, DocY(0), xr, yr, caret, cell, in_text);
  const int32_t old_position = Position();
  Document_->Zoom = Value;
  Document_->RefreshFonts();
  LayOutWhileProcessing(false);
  int32_t x = 0, y = 0;
  if (top > 0 && top_char >= 0 && Document_->PositionToPoint(canvas, top_char, x, y)) {
    ScrollTo(y);
  } else if (top > 0) {
    const int32_t offset = old_position & 0xFFFF;
    SetPosition((old_position & ~0xFFFF) | (MulDiv(offset, Value, old_zoom) & 0xFFFF));
  } else {
    ScrollTo(0);
  }
  Invalidate();
}

void TPageViewer::SetDefFontColor(Color Value) {
  DefFontColor_ = Value;
  Document_->FontColor = Value;
  Document_->RefreshFonts();
}

void TPageViewer::SetDefHotSpotColor(Color Value) {
  DefHotSpotColor_ = Value;
  Document_->HotSpotColor = Value;
  Document_->RefreshFonts();
  Invalidate();
}

void TPageViewer::SetImageCacheCount(int Value) {
  Value = std::clamp(Value, 0, 20);
  if (Value == ImageCacheCount_) return;
  ImageCacheCount_ = Value;
  if (Services_.ImageModule) Services_.ImageModule->Cache().SetImageCacheCount(Value);
}

void TPageViewer::SetNoSelect(bool Value) {
  NoSelect_ = Value;
  if (Value) {
    Document_->SelB = Document_->SelE = -1;
    Invalidate();
  }
}

void TPageViewer::SetScrollBars(TScrollStyle Value) {
  if (Value == ScrollBars_) return;
  ScrollBars_ = Value;
  if (Processing_) return;
  LayOutWhileProcessing(false);
  Invalidate();
}

void TPageViewer::SetCharSet(uint8_t Value) {
  CharSet_ = Value;
  Document_->Charset = Value;
  RefreshFontsAndLayout(true);
}

void TPageViewer::SetMarginHeight(int Value) {
  if (Value == MarginHeight_ || Value < 0 || Value > 50 || Processing_) return;
  MarginHeight_ = Value;
  TCursorKind old = Windows_.SetScreenCursor(crHourGlass);
  RefreshFontsAndLayout(true);
  Windows_.SetScreenCursor(old);
}

void TPageViewer::SetMarginWidth(int Value) {
  if (Value == MarginWidth_ || Value < 0 || Value > 50 || Processing_) return;
  MarginWidth_ = Value;
  TCursorKind old = Windows_.SetScreenCursor(crHourGlass);
  RefreshFontsAndLayout(true);
  Windows_.SetScreenCursor(old);
}

void TPageViewer::SetServerRoot(const std::string& Value) {
  ServerRoot_ = TrimBlanks(Value);
  if (!ServerRoot_.empty() && ServerRoot_.back() == '\\') ServerRoot_.pop_back();
}

void TPageViewer::SetCursor(TCursorKind Value) {
  Cursor_ = Value;
  PaintPanel_->Window().SetCursor(Value);
}

void TPageViewer::SetBase(const std::string& Value) {
  Base_ = Value;
  ExternalBase_ = Value;
}

void TPageViewer::SetOnBitmapRequest(decltype(TImageHandlers::bitmap_request) handler) {
  Document_->ImageHandlers.bitmap_request = std::move(handler);
}

void TPageViewer::SetOnImageRequest(decltype(TImageHandlers::image_request) handler) {
  Document_->ImageHandlers.image_request = std::move(handler);
}

void TPageViewer::SetOnScript(TScriptEvent handler) { Document_->OnScript = std::move(handler); }

void TPageViewer::SetOnObjectClick(
    std::function<void(void* Sender, TFormControlObj* Obj, const std::string& OnClick)> handler) {
  Document_->OnObjectClick = std::move(handler);
}

// --- Forms ---

void TPageViewer::FormSubmitted(const std::string& Action, const std::string& Target,
                                const std::string& EncType, const std::string& Method,
                                std::vector<std::string> Results) {
  if (!OnFormSubmit_) return;
  // The submitting control finishes its own mouse or key handling before the host may
  // replace the document.
  PaintPanel_->Window().PostTask(
      [this, Action, Target, EncType, Method, Results = std::move(Results)] {
        if (OnFormSubmit_) OnFormSubmit_(this, Action, Target, EncType, Method, Results);
      });
}

// --- Link file names ---

std::string TPageViewer::ExpandLinkFilename(const std::string& Name) {
  return ExpandFilenameFor(Name, Base_, CurrentFileName_);
}

std::string TPageViewer::ExpandFilenameFor(const std::string& Name, const std::string& base,
                                           const std::string& file) {
  Files& files = *Services_.FileSystem;
  std::string S = UrlToLocalPathWithRoot(TrimBlanks(Name), ServerRoot_);
  const bool unc = S.size() >= 2 && S[0] == '\\' && S[1] == '\\';
  if (!S.empty() && S[0] == '\\' && !unc) return files.FullPath(S);
  const bool drive = S.size() >= 2 && S[1] == ':';
  if (!drive && !unc && UpperCase(base) != "DOSPATH") {
    const std::string prefix = !base.empty() ? UrlToLocalPath(base) : DirectoryOf(file);
    return files.FullPath(prefix + S);
  }
  return S;
}

}  // namespace brisomel
