// TPageViewer: the control that shows one HTML document (or a text file, or one image) with
// scroll bars. It owns the document, fills it through the parser, lays it out at its width,
// paints it double-buffered on its paint panel and scrolls it with a 32-bit vertical range. It
// follows links, keeps a history of the documents it left, selects text with the mouse and
// finds text. The host reaches it through its properties, operations and events.
//
// Window structure: the viewer's own window draws the one-pixel border; inside it the paint
// panel (TPaintPanel) shows the document and takes the mouse, and the two scroll bars sit
// along the right and bottom edges.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "html/document/document_builder.h"
#include "html/document/section_list.h"
#include "html/reader/parser.h"
#include "html/viewer/paint_panel.h"
#include "html/viewer/scroll_bar_32.h"
#include "platform/files.h"
#include "platform/printer.h"
#include "platform/window.h"

namespace brisomel {

enum THTMLFileType { ftHTML = 0, ftText = 1, ftImage = 2 };
enum THTMLBorderStyle { htFocused, htNone, htSingle };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// Loads that cannot find or read their file: "Can't locate file: " and "Can't load: ".
class EInOutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
// The off-screen bitmap of a paint could not be made.
class EOutOfResources : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One history entry's position and file type.
struct PositionObj {
  int32_t Pos = 0;
  THTMLFileType FileType = ftHTML;
};

// What a right-button release was over; lives for the duration of OnRightClick.
struct TRightClickParameters {
  std::string URL;
  std::string Target;
  TImageObj* Image = nullptr;
  int32_t ImageX = 0;
  int32_t ImageY = 0;
};

// The META refresh a CONTENT text asks for: delay above 0 and a "url=" part; nothing else.
struct TMetaRefresh {
  int Delay = 0;
  std::string URL;
};
bool ParseMetaRefresh(const std::string& Content, TMetaRefresh& result);

// Where a viewer reaches the platform.
struct TViewerServices {
  TWindowSystem* Windows = nullptr;
  Files* FileSystem = nullptr;
  System* Sys = nullptr;
  TImageModule* ImageModule = nullptr;
  PrinterPort* Printer = nullptr;  // the default printer; null: none
};

// Events. Every event receives the viewer (Sender) first.
using THotSpotEvent = std::function<void(void* Sender, const std::string& SRC)>;
using THotSpotClickEvent = std::function<void(void* Sender, const std::string& SRC, bool& Handled)>;
using TFormSubmitEvent = std::function<void(
    void* Sender, const std::string& Action, const std::string& Target, const std::string& EncType,
    const std::string& Method, const std::vector<std::string>& Results)>;
using TNotifyEvent = std::function<void(void* Sender)>;
using TProcessingEvent = std::function<void(void* Sender, bool ProcessingOn)>;
using TMetaRefreshEvent = std::function<void(void* Sender, int Delay, const std::string& URL)>;
using TImageClickEvent = std::function<void(void* Sender, TImageObj* Obj, TMouseButton Button,
                                            TShiftState Shift, int X, int Y)>;
using TImageOverEvent =
    std::function<void(void* Sender, TImageObj* Obj, TShiftState Shift, int X, int Y)>;
using TRightClickEvent = std::function<void(void* Sender, TRightClickParameters& Parameters)>;
using TMouseEvent =
    std::function<void(void* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(void* Sender, TShiftState Shift, int X, int Y)>;
// OnPrintHeader, OnPrintFooter: the canvas is the printer's, W x H logical units (screen
// pixels) of the margin the handler draws in.
using TPagePrinted = std::function<void(void* Sender, Canvas& Canvas, int NumPage, int W, int H,
                                        bool& StopPrinting)>;
// A page PrintRange put on paper and the document Y range it holds.
struct TPrintedPage {
  int NumPage = 0;
  int32_t Top = 0, Bottom = 0;
};
using TKeyEvent = std::function<void(void* Sender, int& Key, TShiftState Shift)>;

class TPageViewer : public TWindowEvents {
 public:
  static constexpr int kFormSubmitMessage = 100;  // user message + 100
  static constexpr int kAutoScrollTimer = 102;    // user message + 102: the drag auto-scroll
  static constexpr int kAnimationTimer = 1;
  static constexpr int kAutoScrollInterval = 100;  // milliseconds between auto-scroll steps
  static constexpr int32_t kMaxScrollWidth = 2000;

  // A viewer inside `parent` (null: a window of its own), 150 x 150 pixels.
  TPageViewer(const TViewerServices& services, TWindowPort* parent);
  ~TPageViewer() override;
  TPageViewer(const TPageViewer&) = delete;
  TPageViewer& operator=(const TPageViewer&) = delete;

  // --- Loading ---
  void LoadFromFile(const std::string& Name);
  void LoadTextFile(const std::string& Name);
  void LoadImageFile(const std::string& Name);
  void LoadFromBuffer(const char* Buffer, int32_t Size);
  void LoadStrings(const std::vector<std::string>& Strings);
  void LoadFromStream(TInputStream& Stream);
  // A string list parsed as plain text (no stop-sound request, no history).
  void LoadTextStrings(const std::vector<std::string>& Strings);
  virtual void Clear();
  void Reformat();

  // --- Position and scrolling ---
  int32_t Position();
  void SetPosition(int32_t Value);
  int32_t VerticalPosition() const { return VScrollBar_->Position(); }
  void SetVerticalPosition(int32_t Value);
  int32_t HorizontalPosition() const { return HPosition_; }
  void SetHorizontalPosition(int32_t Value);
  void ScrollTo(int32_t Y);
  bool ScrollToAnchor(const std::string& Dest);
  // Brings document Y into view when it lies outside it (found text, a focused control).
  void ScrollIntoView(int32_t Y);

  // --- Links and history ---
  virtual void FollowHotSpot();
  virtual std::string ExpandLinkFilename(const std::string& Name);
  void AddToHistory(const std::string& OldFile, const std::u16string& OldTitle,
                    THTMLFileType OldType, int32_t OldPos);
  void ClearHistory();
  int HistoryMaxCount() const { return HistoryMaxCount_; }
  void SetHistoryMaxCount(int Value);

  // --- Selection and find ---
  bool FindText(std::u16string_view S, bool MatchCase);
  int32_t FindStart = 0;
  int32_t SelLength();
  void SetSelLength(int32_t Value);
  std::u16string SelText() { return Document_->SelectedText(); }
  // Copies the selection to the clipboard (Ctrl+C).
  void CopyToClipboard();

  // --- Form controls (the document reports these) ---
  // A form was submitted; OnFormSubmit is raised from the event loop, after the submitting
  // control has finished its own handling.
  void FormSubmitted(const std::string& Action, const std::string& Target,
                     const std::string& EncType, const std::string& Method,
                     std::vector<std::string> Results);
  // A form control at document Y took the focus.
  void ControlFocused(int32_t Y);

  // --- Properties ---
  bool ViewImages() const { return Document_->ShowImages; }
  void SetViewImages(bool Value);
  Color DefBackground() const { return DefBackground_; }
  void SetDefBackground(Color Value);
  THTMLBorderStyle BorderStyle() const { return BorderStyle_; }
  void SetBorderStyle(THTMLBorderStyle Value);
  const std::string& DefFontName() const { return DefFontName_; }
  void SetDefFontName(const std::string& Value);
  const std::string& DefPreFontName() const { return DefPreFontName_; }
  void SetDefPreFontName(const std::string& Value);
  int DefFontSize() const { return DefFontSize_; }
  void SetDefFontSize(int Value);
  // The zoom in percent (kMinZoom to kMaxZoom; values beyond are held to them): fonts,
  // pictures and pixel widths scale with it, and a new zoom lays the page out again keeping
  // the line at the top of the window there. It stays for the pages loaded after; printing
  // is at 100%.
  int ZoomPercent() const { return Document_->Zoom; }
  void SetZoomPercent(int Value);
  Color DefFontColor() const { return DefFontColor_; }
  void SetDefFontColor(Color Value);
  Color DefHotSpotColor() const { return DefHotSpotColor_; }
  void SetDefHotSpotColor(Color Value);
  int ImageCacheCount() const { return ImageCacheCount_; }
  void SetImageCacheCount(int Value);
  bool NoSelect() const { return NoSelect_; }
  void SetNoSelect(bool Value);
  TScrollStyle ScrollBars() const { return ScrollBars_; }
  void SetScrollBars(TScrollStyle Value);
  uint8_t CharSet() const { return CharSet_; }
  void SetCharSet(uint8_t Value);
  int MarginHeight() const { return MarginHeight_; }
  void SetMarginHeight(int Value);
  int MarginWidth() const { return MarginWidth_; }
  void SetMarginWidth(int Value);
  const std::string& ServerRoot() const { return ServerRoot_; }
  void SetServerRoot(const std::string& Value);
  TCursorKind Cursor() const { return Cursor_; }
  void SetCursor(TCursorKind Value);
  // --- Printing ---
  // Prints pages FromPage to ToPage of the document on the default printer; raises EPrinter
  // when the printer fails. Nothing happens while processing or without sections.
  void PrintRange(int FromPage, int ToPage);
  // The last page the last PrintRange processed, and the pages it put on paper.
  int PrintedPageCount() const { return PrintedPageCount_; }
  const std::vector<TPrintedPage>& PrintedPages() const { return PrintedPages_; }
  TPagePrinted OnPrintHeader;
  TPagePrinted OnPrintFooter;
  double PrintMarginLeft = 2.0, PrintMarginRight = 2.0, PrintMarginTop = 2.0,
         PrintMarginBottom = 2.0;

  // Read-only state.
  const std::string& CurrentFileName() const { return CurrentFileName_; }
  THTMLFileType CurrentFileType() const { return CurrentFileType_; }
  const std::u16string& DocumentTitle() const { return DocumentTitle_; }
  const std::string& Base() const { return Base_; }
  void SetBase(const std::string& Value);
  const std::string& BaseTarget() const { return BaseTarget_; }
  const std::string& HotSpotURL() const { return HotSpotURL_; }
  const std::string& HotSpotTarget() const { return HotSpotTarget_; }
  int32_t MaxVertical() const { return MaxVertical_; }
  int32_t ScrollWidth() const { return ScrollWidth_; }
  bool Processing() const { return Processing_; }
  int32_t RefreshDelay() const { return RefreshDelay_; }
  const std::string& RefreshURL() const { return RefreshURL_; }
  const TNameList& NameList() const { return NameList_; }

  // History, index 0 the most recent.
  const std::vector<std::string>& History() const { return History_; }
  const std::vector<std::u16string>& TitleHistory() const { return TitleHistory_; }
  const std::vector<std::unique_ptr<PositionObj>>& PositionHistory() const {
    return PositionHistory_;
  }
  int HistoryIndex() const { return HistoryIndex_; }
  void SetHistoryIndex(int Value) { HistoryIndex_ = Value; }
  // Shows history entry `Index` where the reader left it, after noting the current position
  // in the current entry; the history itself stays (Back and Forward of a stand-alone viewer).
  void GoHistory(int Index);

  // Geometry.
  void SetBounds(const Rect& bounds);
  int Width() const { return Window_->ClientSize().cx; }
  int Height() const { return Window_->ClientSize().cy; }
  TWindowPort& Window() { return *Window_; }
  TPaintPanel& PaintPanel() { return *PaintPanel_; }
  T32ScrollBar& VScrollBar() { return *VScrollBar_; }
  T32ScrollBar& HScrollBar() { return *HScrollBar_; }
  int32_t HorizontalMax() const { return HScrollBar_->Max(); }
  TSectionList& Document() { return *Document_; }

  // The owning frame, null for a stand-alone viewer.
  void* FrameOwner = nullptr;

  // --- Events ---
  THotSpotEvent OnHotSpotCovered;
  THotSpotClickEvent OnHotSpotClick;
  void SetOnBitmapRequest(decltype(TImageHandlers::bitmap_request) handler);
  void SetOnImageRequest(decltype(TImageHandlers::image_request) handler);
  void SetOnScript(TScriptEvent handler);
  // Setting it to nothing also stops the document's submissions from being held.
  void SetOnFormSubmit(TFormSubmitEvent handler) { OnFormSubmit_ = std::move(handler); }
  TNotifyEvent OnHistoryChange;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TMouseEvent OnMouseDown;
  TKeyEvent OnKeyDown;
  TNotifyEvent OnEnter;
  TProcessingEvent OnProcessing;
  TIncludeType OnInclude;
  TSoundType OnSoundRequest;
  TMetaType OnMeta;
  TMetaRefreshEvent OnMetaRefresh;
  TImageClickEvent OnImageClick;
  TImageOverEvent OnImageOver;
  void SetOnObjectClick(
      std::function<void(void* Sender, TFormControlObj* Obj, const std::string& OnClick)> handler);
  TRightClickEvent OnRightClick;

  // --- Input, as the paint panel reports it (panel client coordinates) ---
  virtual void HTMLMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void HTMLMouseMove(TShiftState Shift, int X, int Y);
  virtual void HTMLMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  void HTMLDoubleClick(int X, int Y);
  // Draws the document on the panel's off-screen canvas.
  virtual void DrawDocument(Canvas& canvas);
  // The background (colour or tiled image) of the panel rectangle `R` on `canvas`.
  void DrawBackground(Canvas& canvas, const Rect& R, bool Erasing);
  bool Layouting() const { return Layouting_; }
  Color PanelColor() const { return PanelColor_; }

  // --- The viewer's own window ---
  void Paint(Canvas& canvas, const Rect& clip) override;
  void KeyDown(int& key, TShiftState shift) override;
  void MouseWheel(int delta, TShiftState shift) override;
  void Resized() override;
  void FocusChanged(bool focused) override;
  void Timer(int id) override;

 protected:
  void LoadFile(const std::string& Name, THTMLFileType FileType);
  void FinishLoad();
  void Layout();
  void SetupScrollBars();
  void SetProcessing(bool Value);

 private:
  class TWindowTimer;
  enum class TSource { kBuffer, kStrings, kStream, kTextStrings };

  void PublicLoad(const std::string& Name, THTMLFileType FileType);
  void LoadFromMemory(TSource source, const std::function<void(THtmlParser&)>& parse);
  void PrepareDocument();
  void RequestStopSound();
  void HandleMeta(void* Sender, const std::string& HttpEq, const std::string& Name,
                  const std::string& Content);
  // Connects the parser's events. Sound sources are handed on expanded like links, against
  // the document being read (`reading_file`) or the BASE read so far, so that a relative
  // source names the file beside its page whatever the current directory is.
  void SetupParser(THtmlParser& parser, const std::string& reading_file);
  std::string ExpandFilenameFor(const std::string& Name, const std::string& base,
                                const std::string& file);
  void ReLayoutKeepingPosition();
  // Lays the document out again (keeping the reading position, or not) with Processing set
  // for the time it takes, also when the layout throws.
  void LayOutWhileProcessing(bool keep_position);
  void RefreshFontsAndLayout(bool relayout);
  void Invalidate() { PaintPanel_->Window().Invalidate(); }
  int32_t PanelHeight() const;
  int32_t PanelWidth() const;
  int32_t ClampVertical(int32_t Y) const;
  void VScroll(TScrollCode code);
  void HScroll(TScrollCode code);
  void ScrollVerticalBy(int32_t NewPos, bool scroll_contents);
  // Document coordinates of a panel point.
  int32_t DocY(int Y) const { return Y + Document_->YOff - MarginHeight_; }
  // Selection.
  void StartSelection(int X, int Y);
  void ExtendSelection(int X, int Y);
  void StartAutoScroll();
  void StopAutoScroll();
  void AutoScrollStep();
  void CheckHotSpot(TShiftState Shift, int X, int Y);
  void SubmitImageInput(TFormControlObj* control);
  int32_t PositionAtPanelPoint(int X, int Y, bool* InText = nullptr);

  TViewerServices Services_;
  TWindowSystem& Windows_;
  std::unique_ptr<TWindowPort> Window_;
  std::unique_ptr<TPaintPanel> PaintPanel_;
  std::unique_ptr<T32ScrollBar> VScrollBar_;
  std::unique_ptr<T32ScrollBar> HScrollBar_;
  std::unique_ptr<TSectionList> Document_;
  TNameList NameList_;
  int32_t HPosition_ = 0;

  std::string CurrentFileName_;
  THTMLFileType CurrentFileType_ = ftHTML;
  std::u16string DocumentTitle_;
  std::string Base_, ExternalBase_, BaseTarget_;
  std::string HotSpotURL_, HotSpotTarget_;
  int32_t MaxVertical_ = 0;
  int32_t ScrollWidth_ = 0;
  int ScrollBarWidth_ = 16;
  int32_t RefreshDelay_ = 0;
  std::string RefreshURL_;
  bool Processing_ = false;
  bool Layouting_ = false;
  // While a layout runs the windows answer every kAnswerInterval milliseconds.
  static constexpr uint32_t kAnswerInterval = 50;
  uint32_t LastAnswer_ = 0;
  void AnswerEvents();
  int LastWidth_ = -1;  // the window width the document was last laid out for

  // Properties.
  Color DefBackground_ = kColorBtnFace;
  THTMLBorderStyle BorderStyle_ = htFocused;
  int HistoryMaxCount_ = 0;
  std::string DefFontName_ = "Times New Roman";
  std::string DefPreFontName_ = "Courier New";
  int DefFontSize_ = 12;
  Color DefFontColor_ = kColorBtnText;
  Color DefHotSpotColor_ = 0xFF0000;
  int ImageCacheCount_ = 5;
  bool NoSelect_ = false;
  TScrollStyle ScrollBars_ = ssBoth;
  uint8_t CharSet_ = kDefaultCharset;
  int MarginHeight_ = 5;
  int MarginWidth_ = 10;
  std::string ServerRoot_;
  TCursorKind Cursor_ = crText;
  Color PanelColor_ = kColorBtnFace;
  TFormSubmitEvent OnFormSubmit_;

  // History.
  std::vector<std::string> History_;
  std::vector<std::u16string> TitleHistory_;
  std::vector<std::unique_ptr<PositionObj>> PositionHistory_;
  int HistoryIndex_ = 0;

  // Mouse and selection.
  int32_t SelectionAnchor_ = -1;
  bool Selecting_ = false;
  bool AutoScrolling_ = false;
  bool LinkFollowed_ = false;
  bool MouseDown_ = false;

  // Printing.
  int PrintedPageCount_ = 0;
  std::vector<TPrintedPage> PrintedPages_;
};

}  // namespace brisomel
