// The document: a TCell of sections with the document-wide settings (fonts, colours,
// selection, scroll offset, images on or off), the background image, the image maps, the
// animated images and their timer, and the platform services the sections use (the screen
// canvas that font metrics come from, message boxes, the image module and files).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/document/fonts.h"
#include "html/document/form_control_base.h"
#include "html/document/html_form.h"
#include "html/document/section_base.h"
#include "html/images/image_loading.h"
#include "html/reader/image_map.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/files.h"
#include "text/encoding.h"

namespace brisomel {

class TImageObj;

// The animation timer of a document: the viewer supplies a window timer that calls
// TSectionList::AnimationTick; tests use the manual one and call the tick themselves.
class TAnimationTimer {
 public:
  virtual ~TAnimationTimer() = default;
  virtual void SetEnabled(bool on) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;
};

class TManualTimer : public TAnimationTimer {
 public:
  void SetEnabled(bool on) override { enabled_ = on; }
  bool Enabled() const override { return enabled_; }
  void SetInterval(int milliseconds) override { interval_ = milliseconds; }
  int Interval() const override { return interval_; }

 private:
  bool enabled_ = false;
  int interval_ = 50;
};

// An image whose fetch is pending, with the object to tell when it arrives (null: the
// document's background).
struct TMissingImage {
  std::string Name;
  TImageObj* Image = nullptr;
};

// TScriptEvent: Sender, Language, Script.
using TScriptEvent =
    std::function<void(void* Sender, const std::string& Language, const std::string& Script)>;

// A form's submission: Sender, Action, the pairs, Method, EncType, Target.
using TFormSubmitHandler = std::function<void(
    void* Sender, const std::string& Action, const std::vector<std::string>& Results,
    const std::string& Method, const std::string& EncType, const std::string& Target)>;

// Where a section list reaches the platform. Screen is required (font metrics are measured
// on it); the others may be null: no message boxes, no images fetched (error placeholders),
// no window controls for forms (controls keep their initial state).
struct TDocumentServices {
  Canvas* Screen = nullptr;
  System* Sys = nullptr;
  TImageModule* ImageModule = nullptr;
  Files* FileSystem = nullptr;
  Controls* WindowControls = nullptr;
};

class TSectionList : public TCell, public TFontSettings {
 public:
  static constexpr int kAnimationInterval = 50;

  explicit TSectionList(const TDocumentServices& services, void* Owner = nullptr,
                        void* PaintPanel = nullptr);
  ~TSectionList() override;

  // A copy of every section and of the settings, without background image, timer, forms,
  // animated images, maps or missing images (printing).
  std::unique_ptr<TSectionList> CreateCopy() const;

  void Clear();
  void SetYOffset(int32_t Y);
  void SetFonts(const std::string& Name, const std::string& PreName, int Size, Color Color_,
                Color HotSpot, Color Background_);
  void SetBackground(Color color);
  void SetBackgroundImage(const std::u16string& Name);
  // The background bitmap, fetched on first use when images are shown; null without one.
  const Bitmap* BackgroundImage();
  // The background image's alpha plane when it has partial transparency (after
  // BackgroundImage); null otherwise.
  const std::vector<uint8_t>* BackgroundAlpha() const { return BackgroundAlpha_; }
  const std::u16string& BackgroundImageName() const { return BackgroundImageName_; }
  int32_t SelectionLength();
  // The selected text, as a copy to the clipboard would take it.
  std::u16string SelectedText();
  int32_t SectionTop(int Index) const;

  // Lays out the whole document for Width from Y; returns its height.
  int32_t LayOut(Canvas& canvas, int32_t Y, int32_t Width, int32_t& MaxWidth, int32_t& Curs);
  int32_t DoLayout(Canvas& canvas, int32_t Width) {
    int32_t max_width = 0, curs = 0;
    return LayOut(canvas, 0, Width, max_width, curs);
  }
  int32_t Paint(Canvas& canvas, const Rect& ARect, int32_t ClipWidth, int32_t X, int32_t Y);
  // One tick of the animation timer.
  void AnimationTick();
  void SetAnimationTimer(std::unique_ptr<TAnimationTimer> timer) {
    AnimationTimer = std::move(timer);
  }

  // The image lookup of document images (cache, request events, file).
  TLookupResult LookupImage(const std::string& Source, TTransparency kind);
  // The first map whose name (upper case) is Name; null when none.
  TMapItem* FindMap(std::u16string_view Name) const;
  bool IsMissing(const std::string& UpperName) const;
  // An image going away (its section was removed) leaves the animated and missing lists.
  void ForgetImage(TImageObj* image);
  // Focus events of window controls: the controls not shown in the last paint move out of
  // sight to the left while a control has the focus, and hide when it leaves.
  void ControlEnter(TFormControlObj* Control);
  void ControlExit();

  // Services.
  TDocumentServices Services;
  Canvas& Screen() const { return *Services.Screen; }

  // Settings (fonts and colours come from TFontSettings).
  bool ShowImages = true;
  bool Printing = false;
  int32_t YOff = 0;
  bool ControlsNeedHiding = false;
  int32_t SelB = 0, SelE = 0;
  Color Background = 0xC0C0C0;
  // Builder state read while a parse runs: extra style bits (FontStyle) and the script state
  // (0 normal, 1 subscript, 2 superscript) that new font runs take.
  uint8_t ExtraStyle = 0;
  uint8_t SubSupState = 0;

  std::u16string BackgroundImageName_;
  const Bitmap* BackgroundBitmap = nullptr;
  const std::vector<uint8_t>* BackgroundAlpha_ = nullptr;
  bool BackgroundLoaded = false;

  std::vector<std::unique_ptr<TMapItem>> Maps;
  std::vector<TImageObj*> AnimatedImages;      // not owned
  std::vector<TFormControlObj*> FormControls;  // not owned: every control of every form
  std::vector<std::unique_ptr<ThtmlForm>> Forms;
  ThtmlForm* CurrentForm = nullptr;  // the open form while a parse runs
  // The encoding the page was read in: forms submit their values in it.
  Encoding PageEncoding = Encoding::kWindows1252;
  std::vector<TMissingImage> MissingImages;
  TTextSink* TextSink = nullptr;
  int32_t PageBottom = 0;
  // Counts the layouts of the document; while one runs (InLayout) tables may reuse what they
  // measured and laid out earlier in the same layout.
  int64_t LayoutGeneration = 0;
  bool InLayout = false;
  std::unique_ptr<TAnimationTimer> AnimationTimer;
  void* Owner;
  void* PaintPanel;

  // Event hooks.
  TImageHandlers ImageHandlers;  // OnBitmapRequest, OnImageRequest
  TScriptEvent OnScript;
  // Clicks on buttons, check boxes and radio buttons: Sender, the control, its ONCLICK text.
  std::function<void(void* Sender, TFormControlObj* Obj, const std::string& OnClick)> OnObjectClick;
  std::function<void()> OnBackgroundChange;
  // A window control took the focus.
  std::function<void(TFormControlObj* Control)> OnControlEntered;
  TFormSubmitHandler FormSubmitHandler;
  // The viewer turns an image source into a full file name (when no request event is set).
  std::function<std::string(std::u16string_view)> ExpandName;
  // Invalidates a rectangle of the paint panel (animation steps).
  std::function<void(const Rect&)> InvalidateRect;
  // Called after each section laid out, at every depth, so that a long layout can let the
  // windows answer; it may throw to stop the layout.
  std::function<void()> OnLayoutProgress;

 private:
  void HideControls();
  std::string BackgroundKey_;  // cache key held while the background bitmap is in use
};

// Text dump of a laid-out document: one line per section in document order, text lines and
// images indented beneath.
//   <class name> y=<YValue> h=<SectionHeight> dh=<DrawHeight> curs=<StartCurs>+<Len>
//     line x=<LineIndent> y=<top> h=<total height> "<characters>"
//       image x=<drawing X> y=<top> w=<width> h=<height> align=<ObjAlign>
//       control <class name> x=<X> y=<top> w=<width> h=<height>
// A table adds its width and grid X to its line, then lists its caption and its cells (not
// the covered slots), each with its own sections two spaces deeper; table, caption and cell
// coordinates are document coordinates (line X stays relative to the line's cell):
//   ThtmlTable ... w=<TableWidth> x=<TableLeft>
//     caption x=<X> y=<top> w=<OuterWidth> h=<CaptionHeight>
//     cell row=<r> col=<c> x=<X of its column> y=<row top> w=<Wd> h=<Ht>
std::string DumpLayout(const TSectionList& list);
// Text in double quotes as the dump shows it, in UTF-8: '"' and '\\' escaped, carriage
// returns as "\\r", the other control characters (the object markers among them) as "\\xNN".
std::string QuoteUtf16(std::u16string_view text);
// One section's lines of the dump at `indent`, in a cell whose left is at document X.
void DumpSection(const TSectionBase& section, std::string& out, int indent, int32_t X);

}  // namespace brisomel
