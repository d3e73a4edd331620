// Frame sets: panels that split their area into rows or columns among frames and nested frame
// sets. TFrameBase is what a frame and a set have in common; TSubFrameSet is a set (nested, or
// the base of the top set); TFrameSet is the top set of one document, which keeps the frame
// names, the viewers and the frames shown in its tree.
//
// ROWS and COLS values become dimension specs: pixels (> 0, at most 5000), star weights
// (-1..-99) and percentages p encoded as -(100 + p). Only the first 20 dimensions of a value
// count. Initialising dimensions turns the specs into lengths for a given extent; placing the
// children scales those lengths to the set's actual extent, so the children always fill it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/reader/frameset_parser.h"
#include "platform/window.h"

namespace brisomel {

class TFrame;
class TFrameSet;
class TFrameViewer;
class TPageViewer;

inline constexpr int kMaxDimensions = 20;
inline constexpr int kMaxPixelDimension = 5000;
inline constexpr int kMaxFrameNesting = 4;
// Frames one document's tree may hold before nested frameset documents stop loading: a set
// that includes itself many times over would otherwise grow by that many at every level.
inline constexpr int kMaxFramesPerDocument = 256;
// The window timer of a META refresh (frames and sets each use their own window).
inline constexpr int kRefreshTimer = 1;
// A refresh delay in seconds as timer milliseconds, kept within the timer's range.
int RefreshInterval(int seconds);

// The dimension specs of a ROWS or COLS value (at most kMaxDimensions).
std::vector<int16_t> ParseDimensions(std::string_view value);
// The lengths the specs give for an extent of `length` pixels.
std::vector<int> DimensionLengths(const std::vector<int16_t>& dims, int length);

class TFrameBase : public TWindowEvents {
 public:
  TFrameBase(TFrameViewer& viewer, TWindowPort* parent, TFrameSet* master);
  ~TFrameBase() override;
  TFrameBase(const TFrameBase&) = delete;
  TFrameBase& operator=(const TFrameBase&) = delete;

  TFrameSet* MasterSet;  // the top set (itself for the top set)
  bool Unloaded = false;
  int BevelWidth = 0;  // a lowered outer bevel of this width

  virtual void UpdateFrameList() = 0;
  virtual bool CheckNoResize(bool& Lower, bool& Upper) = 0;
  virtual void LoadFiles() = 0;
  virtual void ReloadFiles(int32_t Position) = 0;
  virtual void UnloadFiles() = 0;
  virtual void InitializeDimensions(int X, int Y, int Height, int Width) = 0;

  TWindowPort& Window() { return *Window_; }
  TFrameViewer& FrameViewer() { return Viewer_; }
  // The client rectangle inside the bevel.
  Rect InnerRect() const;

  void Paint(Canvas& canvas, const Rect& clip) override;

 protected:
  TFrameViewer& Viewer_;
  std::unique_ptr<TWindowPort> Window_;
};

class TSubFrameSet : public TFrameBase,
                     public TFrameSetTarget,
                     public std::enable_shared_from_this<TSubFrameSet> {
 public:
  // A set inside `parent` (a frame's or a set's window).
  TSubFrameSet(TFrameViewer& viewer, TWindowPort* parent, TFrameSet* master);
  ~TSubFrameSet() override;

  TFrameBase* Parent = nullptr;  // the frame or set this set lies in; null for the top set
  std::vector<std::unique_ptr<TFrameBase>> Children;
  bool Rows = false;
  std::vector<int16_t> Dims;
  std::vector<int> Lengths;
  int Total = 0;
  std::vector<int> Borders;  // Borders[i]: after the first i children
  std::vector<bool> Fixed;
  int BorderSize = 0;
  int FrameBorder = 2;
  std::string Base, BaseTarget;
  // META refresh of the frameset document: what it asked for, and the path it resolved to
  // (with its anchor; empty when the file does not exist).
  int RefreshDelay = 0;
  std::string RefreshURL, RefreshPath;

  // TFrameSetTarget.
  void SetFrameSetAttributes(const TAttributeList& attributes) override;
  TFrameSetTarget& AddSubFrameSet() override;
  void AddFrame(const TAttributeList& attributes, const std::string& FrameSetFile) override;
  void EndFrameSet(const TFrameSetParseResult& parse) override;

  // A frame with no attributes showing `Source`.
  TFrame& AddSourceFrame(const std::string& Source, const std::string& Destination);
  // Frees the children and forgets the dimensions.
  virtual void Clear();
  // Places the children in the client rectangle by the lengths last initialised.
  void PlaceChildren();
  // Every frame in this set's tree, in document order.
  void CollectFrames(std::vector<TFrame*>& frames);

  void UpdateFrameList() override;
  bool CheckNoResize(bool& Lower, bool& Upper) override;
  void LoadFiles() override;
  void ReloadFiles(int32_t Position) override;
  void UnloadFiles() override;
  void InitializeDimensions(int X, int Y, int Height, int Width) override;

  void Resized() override { PlaceChildren(); }
  // Starts the refresh timer when the document asked for a refresh to a file that exists;
  // `FrameSetFile` names the document, for a relative URL.
  void StartRefresh(const std::string& FrameSetFile);
  void StopRefresh() { Window_->KillTimer(kRefreshTimer); }
  void Timer(int id) override;

  // Border dragging. Frames report their mouse here in this set's client coordinates, with the
  // window the pointer is over (it shows the cursor and holds the capture while dragging).
  enum TMouseKind { mkDown, mkMove, mkUp };
  void FrameMouse(TMouseKind kind, TMouseButton button, int x, int y, TWindowPort& source);
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    FrameMouse(mkDown, button, x, y, *Window_);
  }
  void MouseMove(TShiftState shift, int x, int y) override {
    FrameMouse(mkMove, mbLeft, x, y, *Window_);
  }
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override {
    FrameMouse(mkUp, button, x, y, *Window_);
  }

 private:
  // The inner border within 4 pixels of `pos` that may be dragged, or 0.
  int BorderNear(int pos) const;
  // The set above this one, with (x, y) turned into its client coordinates; null at the top.
  TSubFrameSet* UpperSet(int& x, int& y);
  void EndDrag(int pos);
  int dragged_border_ = 0;
};

class TFrameSet : public TSubFrameSet {
 public:
  TFrameSet(TFrameViewer& viewer, TWindowPort* parent);
  ~TFrameSet() override;

  std::string CurrentFile;
  std::u16string Title;
  std::map<std::string, TFrame*> FrameNames;  // upper-cased NAME
  std::vector<TPageViewer*> Viewers;
  std::vector<TFrame*> Frames;  // shown in the tree, rebuilt by UpdateFrameList
  int NestingLevel = 0;
  int FrameCount = 0;  // frames alive in this set's tree, history included
  TPageViewer* ActiveViewer = nullptr;
  TSubFrameSet* Dragged = nullptr;  // the set whose border is being dragged

  // Shows `file` (a frameset document or a page) in this set, from scratch.
  void LoadFromFile(const std::string& file, const std::string& dest);
  void Clear() override;
  void EndFrameSet(const TFrameSetParseResult& parse) override;
  // Drops every shown frame's entries newer than its current one.
  void ClearForwards();
  // Forgets the remembered size, so that the next resize lays out again.
  void ResetSize() { Remembered_ = Size{0, 0}; }
  void RemoveViewer(TPageViewer* viewer);
  void RegisterNames(TSubFrameSet& set);
  void UpdateFrameList() override {
    Frames.clear();
    TSubFrameSet::UpdateFrameList();
  }
  void UnregisterNames(TSubFrameSet& set);

  void Resized() override;

 private:
  Size Remembered_{0, 0};
};

}  // namespace brisomel
