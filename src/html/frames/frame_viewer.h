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
#include <vector>

#include "html/frames/frame.h"
#include "html/frames/frame_set.h"
#include "html/viewer/page_viewer.h"

namespace brisomel {

using THotSpotTargetEvent =
    std::function<void(void* Sender, const std::string& Target, const std::string& URL)>;
using THotSpotTargetClickEvent = std::function<void(void* Sender, const std::string& Target,
                                                    const std::string& URL, bool& Handled)>;

class TFrameViewer : public TWindowEvents {
 public:
  struct HistoryEntry {
    std::string Name;
    std::shared_ptr<TFrameSet> Set;
    std::string Title;
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
  bool FindText(const std::string& S, bool MatchCase);
  void SetFindStart(int32_t Value);
  int32_t SelLength();
  // Prints pages FromPage..ToPage of the active viewer's document (nothing without one).
  void PrintRange(int FromPage, int ToPage);
  bool Processing() const { return Processing_; }

  // --- Properties handed to every frame's viewer ---
  Color DefBackground() const { return DefBackground_; }
  void SetDefBackground(Color Value);
  bool ViewImages() const { return ViewImages_; }
  void SetViewImages(bool Value);
  const std::string& ServerRoot() const { return ServerRoot_; }
  void SetServerRoot(const std::string& Value);
  TCursorKind Cursor() const { return Cursor_; }

  // --- Events ---
  THotSpotTargetEvent OnHotSpotTargetCovered;
  THotSpotTargetClickEvent OnHotSpotTargetClick;
  THotSpotTargetEvent OnBlankWindowRequest;
  TNotifyEvent OnHistoryChange;
  TProcessingEvent OnProcessing;
  TSoundType OnSoundRequest;
  TMetaType OnMeta;
  TIncludeType OnInclude;

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
  void StopSound();
  int32_t SingleViewerPosition(TFrameSet& set);
  std::shared_ptr<TFrameSet> NewSet();

  TViewerServices Services_;
  std::unique_ptr<TWindowPort> Window_;
  std::shared_ptr<TFrameSet> Current_;
  std::vector<HistoryEntry> History_;
  int HistoryIndex_ = 0;
  int HistoryMaxCount_ = 0;
  bool Processing_ = false;
  int Sequence_ = 10;

  Color DefBackground_ = kColorBtnFace;
  bool ViewImages_ = true;
  std::string ServerRoot_;
  TCursorKind Cursor_ = crText;
};

}  // namespace brisomel
