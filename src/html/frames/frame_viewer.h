// TFrameViewer: the frame-capable viewer the main window shows. It loads a file that may be a
// frameset document or an ordinary page into a frame set (one frame for a page), gives every
// frame its own page viewer, resolves link targets across frames and keeps a history that
// combines whole documents with the steps taken inside frames.
//
// Link clicks are handled from the event loop (a posted task), because following a link can
// free the viewer that reported the click.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/frames/frame.h"
#include "html/frames/frame_set.h"
#include "html/viewer/page_viewer.h"
#include "settings/reading_state.h"

namespace brisomel {

using THotSpotTargetEvent =
    std::function<void(void* Sender, const std::string& Target, const std::string& URL)>;
using THotSpotTargetClickEvent = std::function<void(void* Sender, const std::string& Target,
                                                    const std::string& URL, bool& Handled)>;

// Request events: the host may supply a document's source instead of a file. What they hand
// back stays the host's; the frame viewer copies it before use.
using TStringsRequestEvent = std::function<void(void* Sender, const std::string& SRC,
                                                const std::vector<std::string>*& Strings)>;
using TStreamRequestEvent =
    std::function<void(void* Sender, const std::string& SRC, TInputStream*& Stream)>;
using TBufferRequestEvent = std::function<void(void* Sender, const std::string& SRC,
                                               const char*& Buffer, int32_t& BuffSize)>;
using TFileRequestEvent =
    std::function<void(void* Sender, const std::string& SRC, std::string& NewName)>;

// Where a document's source came from.
enum TSourceKind { skFile = 0, skBuffer = 1, skStrings = 2, skStream = 3 };

// A document's source as the request events supplied it (or a plain file name).
struct TRequestedSource {
  TSourceKind Kind = skFile;
  std::string FileName;            // skFile
  std::string Bytes;               // skBuffer, skStream
  std::vector<std::string> Lines;  // skStrings
  // The source to parse; `name` names the document for relative references.
  TDocumentSource Source(Files& files, const std::string& name) const;
};

// fvOptions members.
enum TFrameViewerOption : unsigned { fvMetaRefresh = 1 };
using TFrameViewerOptions = unsigned;

class TFrameViewer : public TWindowEvents {
 public:
  struct HistoryEntry {
    std::string Name;
    std::shared_ptr<TFrameSet> Set;
    std::u16string Title;
    int32_t Pos = 0;
  };

  TFrameViewer(const TViewerServices& services, TWindowPort* parent);
  ~TFrameViewer() override;
  TFrameViewer(const TFrameViewer&) = delete;
  TFrameViewer& operator=(const TFrameViewer&) = delete;

  // --- Loading ---
  void LoadFromFile(const std::string& Name);
  void LoadImageFile(const std::string& Name);

  // --- History ---
  void GoBack();
  void GoForward();
  bool BackButtonEnabled();
  bool FwdButtonEnabled();
  void ClearHistory();
  int HistoryMaxCount() const { return HistoryMaxCount_; }
  void SetHistoryMaxCount(int Value);
  const std::vector<HistoryEntry>& History() const { return History_; }
  int HistoryIndex() const { return HistoryIndex_; }

  // --- The document shown ---
  TFrameSet& CurrentSet() { return *Current_; }
  std::string CurrentFileName() const { return Current_->CurrentFile; }
  TPageViewer* ActiveViewer();
  bool FindText(std::u16string_view S, bool MatchCase);
  void SetFindStart(int32_t Value);
  int32_t SelLength();
  // Prints pages FromPage..ToPage of the active viewer's document (nothing without one).
  void PrintRange(int FromPage, int ToPage);
  // The frame viewer's own load, or a load or re-layout in any of its viewers.
  bool Processing() const { return Processing_ || !Busy_.empty(); }
  // Repaints every frame of the current set.
  void Repaint();
  // Focuses the active viewer, or the frame viewer itself without one.
  void SetFocus();
  void SetSelLength(int32_t Value);

  // --- Properties handed to every frame's viewer ---
  Color DefBackground() const { return DefBackground_; }
  void SetDefBackground(Color Value);
  bool ViewImages() const { return ViewImages_; }
  void SetViewImages(bool Value);
  const std::string& ServerRoot() const { return ServerRoot_; }
  void SetServerRoot(const std::string& Value);
  TCursorKind Cursor() const { return Cursor_; }
  void SetCursor(TCursorKind Value);
  int ImageCacheCount() const { return ImageCacheCount_; }
  void SetImageCacheCount(int Value);
  bool NoSelect() const { return NoSelect_; }
  void SetNoSelect(bool Value);
  const std::string& DefFontName() const { return DefFontName_; }
  void SetDefFontName(const std::string& Value);
  const std::string& DefPreFontName() const { return DefPreFontName_; }
  void SetDefPreFontName(const std::string& Value);
  int DefFontSize() const { return DefFontSize_; }
  void SetDefFontSize(int Value);
  // The zoom in percent of every frame (TPageViewer::SetZoomPercent), frames made later
  // included.
  int ZoomPercent() const { return Zoom_; }
  void SetZoomPercent(int Value);
  Color DefFontColor() const { return DefFontColor_; }
  void SetDefFontColor(Color Value);
  Color DefHotSpotColor() const { return DefHotSpotColor_; }
  void SetDefHotSpotColor(Color Value);
  uint8_t CharSet() const { return CharSet_; }
  void SetCharSet(uint8_t Value);
  double PrintMarginLeft() const { return PrintMargins_[0]; }
  double PrintMarginRight() const { return PrintMargins_[1]; }
  double PrintMarginTop() const { return PrintMargins_[2]; }
  double PrintMarginBottom() const { return PrintMargins_[3]; }
  void SetPrintMarginLeft(double Value) { SetPrintMargin(0, Value); }
  void SetPrintMarginRight(double Value) { SetPrintMargin(1, Value); }
  void SetPrintMarginTop(double Value) { SetPrintMargin(2, Value); }
  void SetPrintMarginBottom(double Value) { SetPrintMargin(3, Value); }
  // fvMetaRefresh: honour META refresh in frames and frameset documents.
  TFrameViewerOptions fvOptions = 0;

  // --- Events handed to every viewer of the current set ---
  void SetOnFormSubmit(TFormSubmitEvent Value);
  void SetOnBitmapRequest(decltype(TImageHandlers::bitmap_request) Value);
  void SetOnImageRequest(decltype(TImageHandlers::image_request) Value);
  void SetOnScript(TScriptEvent Value);
  using TObjectClickEvent =
      std::function<void(void* Sender, TFormControlObj* Obj, const std::string& OnClick)>;
  void SetOnObjectClick(TObjectClickEvent Value);
  void SetOnMeta(TMetaType Value);
  void SetOnPrintHeader(TPagePrinted Value);
  void SetOnPrintFooter(TPagePrinted Value);
  void SetOnImageOver(TImageOverEvent Value);
  void SetOnImageClick(TImageClickEvent Value);
  void SetOnRightClick(TRightClickEvent Value);
  const TMetaType& OnMeta() const { return OnMeta_; }

  // --- Events ---
  THotSpotTargetEvent OnHotSpotTargetCovered;
  THotSpotTargetClickEvent OnHotSpotTargetClick;
  THotSpotTargetEvent OnBlankWindowRequest;
  TNotifyEvent OnHistoryChange;
  TProcessingEvent OnProcessing;
  // Copied into viewers created later.
  TSoundType OnSoundRequest;
  TIncludeType OnInclude;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TKeyEvent OnKeyDown;
  // Request events; any of them assigned also turns off the special handling of image and
  // text files and the expansion of names.
  TStringsRequestEvent OnStringsRequest;
  TStreamRequestEvent OnStreamRequest;
  TBufferRequestEvent OnBufferRequest;
  TFileRequestEvent OnFileRequest;

  // --- Geometry ---
  void SetBounds(const Rect& bounds) { Window_->SetBounds(bounds); }
  TWindowPort& Window() { return *Window_; }
  void Resized() override;
  void Paint(Canvas& canvas, const Rect& clip) override;

  // --- Used by frames and frame sets ---
  const TViewerServices& Services() const { return Services_; }
  // A frame's SRC name expanded against `base` or the frameset file's directory.
  std::string ExpandSourceName(const std::string& Name, const std::string& base,
                               const std::string& FrameSetFile);
  // A new page viewer inside `frame`, configured from this viewer's properties.
  std::unique_ptr<TPageViewer> NewFrameViewer(TFrame& frame);
  // The events of reading the frameset document `file`; sound sources are handed on expanded
  // against it.
  TFrameSetEvents FrameSetEvents(void* MetaSender, const std::string& file);
  int NextSequence() { return ++Sequence_; }
  void HistoryChanged() {
    if (OnHistoryChange) OnHistoryChange(this);
  }
  bool RequestEventsAssigned() const {
    return OnStringsRequest || OnStreamRequest || OnBufferRequest || OnFileRequest;
  }
  // Asks the request events, in order, for `Name`'s source; false when none supplied it.
  bool RequestSource(const std::string& Name, TRequestedSource& Result);
  // A viewer reports a change of its Processing.
  void ViewerProcessing(TPageViewer* viewer, bool on);
  // A viewer goes away: it no longer counts as busy.
  void ViewerGone(TPageViewer* viewer);
  // The stop-sound request: an empty source with Terminate set.
  void StopSound();
  // A META refresh came due: the top-level load of `URL` when `set` is still current.
  void RefreshTopLevel(const std::weak_ptr<TSubFrameSet>& set, const std::string& URL);
  // A META refresh came due in `frame`: it loads `URL` with history.
  void RefreshFrame(TFrame& frame, const std::string& URL);
  // The frame set META callback: OnMeta, then (with fvMetaRefresh) the refresh it asks for.
  void FrameSetMeta(TSubFrameSet& set, const std::string& HttpEq, const std::string& Name,
                    const std::string& Content);
  // The click handler of every frame's viewer.
  void HotSpotClick(void* Sender, const std::string& URL, bool& Handled);
  void HotSpotCovered(void* Sender, const std::string& URL);

 private:
  void TopLevelLoad(const std::string& Name);
  void RecordHistory(const std::shared_ptr<TFrameSet>& OldSet, int32_t OldPos);
  void RecordSameSet(int32_t OldPos);
  void TopLevelStep(int I);
  void FollowLink(TFrame* frame, bool top, const std::string& file, const std::string& dest);
  void SetProcessing(bool Value);
  void ProcessingChanged(bool was);
  void SetPrintMargin(int index, double Value);
  template <typename F>
  void ForEachViewer(F f) {
    for (TPageViewer* viewer : Current_->Viewers) f(*viewer);
  }
  int32_t SingleViewerPosition(TFrameSet& set);
  std::shared_ptr<TFrameSet> NewSet();

  TViewerServices Services_;
  std::unique_ptr<TWindowPort> Window_;
  std::shared_ptr<TFrameSet> Current_;
  std::vector<HistoryEntry> History_;
  int HistoryIndex_ = 0;
  int HistoryMaxCount_ = 0;
  bool Processing_ = false;
  std::vector<TPageViewer*> Busy_;  // viewers whose Processing is on
  int Sequence_ = 10;

  Color DefBackground_ = kColorBtnFace;
  bool ViewImages_ = true;
  std::string ServerRoot_;
  TCursorKind Cursor_ = crText;
  int ImageCacheCount_ = 5;
  bool NoSelect_ = false;
  std::string DefFontName_ = "Times New Roman";
  std::string DefPreFontName_ = "Courier New";
  int DefFontSize_ = 12;
  int Zoom_ = kDefaultZoom;
  Color DefFontColor_ = kColorBtnText;
  Color DefHotSpotColor_ = 0xFF0000;
  uint8_t CharSet_ = kDefaultCharset;
  double PrintMargins_[4] = {2.0, 2.0, 2.0, 2.0};  // left, right, top, bottom

  TFormSubmitEvent OnFormSubmit_;
  decltype(TImageHandlers::bitmap_request) OnBitmapRequest_;
  decltype(TImageHandlers::image_request) OnImageRequest_;
  TScriptEvent OnScript_;
  TObjectClickEvent OnObjectClick_;
  TMetaType OnMeta_;
  TPagePrinted OnPrintHeader_, OnPrintFooter_;
  TImageOverEvent OnImageOver_;
  TImageClickEvent OnImageClick_;
  TRightClickEvent OnRightClick_;
};

}  // namespace brisomel
