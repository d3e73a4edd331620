// TFrame: one frame of a frame set. It shows its Source in a page viewer of its own, or, when
// the source is itself a frameset document, in a nested frame set. It keeps its own history:
// source names with positions and global sequence numbers, so that the frame viewer can step
// back through the frames in the order the reader followed links in them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/frames/frame_set.h"

namespace brisomel {

struct TRequestedSource;

class TFrame : public TFrameBase {
 public:
  struct HistoryEntry {
    std::string Name;
    std::shared_ptr<TSubFrameSet> Set;  // the nested set shown for it, or null
    int32_t Pos = 0;
    int Seq = 0;
  };

  // A frame of `owner` from FRAME attributes; `FrameSetFile` names the frameset document.
  TFrame(TFrameViewer& viewer, TSubFrameSet& owner, const TAttributeList& attributes,
         const std::string& FrameSetFile);
  ~TFrame() override;

  std::string Source;
  std::string Destination;
  std::string WindowName;
  bool NoResize = false;
  bool NoScroll = false;
  int MarginWidth = 10;
  int MarginHeight = 5;
  TSubFrameSet& OwnerSet() { return Owner_; }
  TPageViewer* Viewer() { return Viewer_.get(); }
  TSubFrameSet* FrameSet() { return Set_.get(); }

  const std::vector<HistoryEntry>& History() const { return History_; }
  int HistoryIndex() const { return HistoryIndex_; }
  // Loads `file` (empty: the current source) with anchor `Dest`, adding a history entry when
  // `record` is set. Frames that fail to load show the error document.
  void LoadWithHistory(const std::string& file, const std::string& Dest, bool record);
  // Shows history entry `I`.
  void HistoryStep(int I);
  // Drops the entries newer than the current one.
  void DropForwards();
  void ClearHistory();

  // The frame's viewer found a META refresh (delay in seconds, URL as written).
  void RefreshRequested(TPageViewer& viewer, int Delay, const std::string& URL);

  void UpdateFrameList() override;
  bool CheckNoResize(bool& Lower, bool& Upper) override;
  void LoadFiles() override;
  // Loads Source, from `supplied` when the request events already gave its source.
  void LoadFiles(const TRequestedSource* supplied);
  void ReloadFiles(int32_t Position) override;
  void UnloadFiles() override;
  void InitializeDimensions(int X, int Y, int Height, int Width) override;

  void Resized() override;
  void Timer(int id) override;
  // The mouse over the frame's bevel goes to the containing set, for dragging borders.
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void CreateViewer();
  void FreeViewer();
  // Asks the request events for `name`'s source when any is assigned; a name none supplies
  // becomes a file expanded like a SRC.
  void Ask(const std::string& name, TRequestedSource& result);
  bool SpecialFile(const std::string& name, bool (*test)(const std::string&));
  void LoadIntoViewer(const std::string& name, const std::string& Dest,
                      const TRequestedSource* supplied = nullptr);
  void StopRefresh();
  void ShowError(const std::string& name);
  std::shared_ptr<TSubFrameSet> BuildSet(const std::string& name, const TRequestedSource& source);
  void DetachSet();
  void AddHistory(const std::string& name, int32_t NewPos, int32_t OldPos, bool first = false);
  void LayOut();
  // How many frames this frame lies in.
  int FramesAbove();

  TSubFrameSet& Owner_;
  std::unique_ptr<TPageViewer> Viewer_;
  std::shared_ptr<TSubFrameSet> Set_;
  std::vector<HistoryEntry> History_;
  int HistoryIndex_ = 0;
  int32_t SavedPosition_ = 0;
  std::string RefreshPath_;  // the page's META refresh target, with its anchor
};

}  // namespace brisomel
