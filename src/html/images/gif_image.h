// GIF87a/GIF89a images with animation: the frames, the composite picture the animation shows
// now, and the stepping that the document's animation timer drives.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "html/images/limits.h"
#include "platform/bitmap.h"
#include "platform/geometry.h"

namespace brisomel {

class Canvas;
class Files;

// What lies under a transparent GIF where it is drawn: the enclosing table cell's colour if
// it has one, else the document's background image (tiled in document coordinates: canvas
// position plus the scroll position), else the document's background colour. Colours are
// platform values (0x00BBGGRR).
struct TGifBackdrop {
  bool has_cell_colour = false;
  uint32_t cell_colour = 0;
  const Bitmap* image = nullptr;
  Point scroll;
  uint32_t colour = 0xFFFFFF;
};

struct TImageRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const TImageRect&) const = default;
};

class TGIFImage {
 public:
  // Files with more images keep their first 256.
  static constexpr int kMaxFrames = 256;
  // All frames together (and the composite) hold at most this many pixels; frames beyond it
  // are dropped as if the file ended there.
  static constexpr int64_t kDefaultPixelBudget = int64_t{64} << 20;

  enum TDisposal { dmNone = 0, dmLeave = 1, dmBackground = 2, dmPrevious = 3 };

  // One image of the file.
  class TFrame {
   public:
    int left = 0, top = 0, width = 0, height = 0;
    bool has_local_table = false;
    int colour_bits = 0;  // of the local table; 0 without one
    int delay = 0;        // milliseconds
    TDisposal disposal = dmNone;
    bool interlaced = false;
    bool transparent = false;
    uint8_t transparent_index = 0;
    uint32_t transparent_colour = 0;   // 0x00RRGGBB
    std::vector<uint8_t> local_table;  // 768 bytes when the frame has its own table
    // kIndexed8: the decoded indices with the colour table as palette (on 8-bit displays each
    // entry is the shared palette's colour nearest to it). Transparent pixels keep their index;
    // the mask says which they are.
    Bitmap image;
    Bitmap mask;                     // kMask1, white where transparent; empty if opaque
    Bitmap saved_image, saved_mask;  // disposal 3: what the frame covered
    std::string comment;

    // The colour table the frame uses: its own, or the image's global one (768 bytes).
    std::span<const uint8_t> ColourTable(const TGIFImage& owner) const;
  };

  TGIFImage();
  ~TGIFImage();
  TGIFImage(const TGIFImage&) = delete;
  TGIFImage& operator=(const TGIFImage&) = delete;

  // Full decode. False (and the image cleared) when the data is not a GIF, holds no readable
  // frame or runs out of memory. Never throws.
  bool LoadFromStream(std::span<const uint8_t> data);
  bool LoadFromFile(Files& files, const std::string& path);
  // Frames parsed, pixels skipped: frame count, sizes, delays, transparency.
  bool ReadHeaderFromStream(std::span<const uint8_t> data);
  bool ReadHeaderFromFile(Files& files, const std::string& path);

  // A new image with this one's state and copies of its frames, its own composite, mask and
  // drawing buffer, showing frame 1, and marked as a copy.
  std::unique_ptr<TGIFImage> Copy() const;

  void SetAnimate(bool on);
  void SetVisible(bool on) { visible_ = on; }
  // 1-based; above the count gives 1, 0 or less gives the last frame.
  void SetCurrentFrame(int n);
  // One tick of the animation timer; `invalidate` receives the last drawn rectangle when the
  // picture changed.
  void Step(const std::function<void(const TImageRect&)>& invalidate);

  // Draws the picture the animation shows now, stretched to w x h at (x, y), and remembers
  // that rectangle for Step's invalidation. Nothing when not visible, empty or header-only.
  void Draw(Canvas& canvas, int x, int y, int w, int h, const TGifBackdrop& backdrop = {});
  TImageRect LastDrawn() const { return last_drawn_; }

  // Frame 1 as a 32-bit bitmap with its transparent pixels black, and a copy of its mask;
  // empty bitmaps when there is none.
  Bitmap FirstFrameBitmap() const;
  Bitmap FirstFrameMask() const;

  // Settings taken before a load.
  // The shared palette: frame colours are mapped to its nearest entries (8-bit displays).
  void SetSharedPalette(std::vector<uint32_t> palette) { shared_palette_ = std::move(palette); }
  void SetPixelBudget(int64_t pixels) { pixel_budget_ = pixels; }
  // Milliseconds of the system timer; a steady clock unless replaced (tests).
  void SetClock(std::function<uint32_t()> clock) { clock_ = std::move(clock); }

  int FrameCount() const { return static_cast<int>(frames_.size()); }
  const TFrame& Frame(int n) const { return *frames_[n - 1]; }  // 1-based
  int CurrentFrame() const { return current_frame_; }
  bool Animated() const { return frames_.size() > 1; }
  bool Animate() const { return animate_; }
  bool Empty() const { return empty_; }
  bool HeaderOnly() const { return header_only_; }
  bool Visible() const { return visible_; }
  bool IsCopy() const { return is_copy_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int ColourBits() const { return colour_bits_; }
  bool AnyTransparent() const { return any_transparent_; }
  int LoopCount() const { return loop_count_; }
  int LoopNumber() const { return loop_number_; }
  int Speed() const { return speed_; }
  void SetSpeed(int percent) { speed_ = percent > 0 ? percent : 1; }
  const std::vector<uint8_t>& GlobalTable() const { return global_table_; }
  const Bitmap& Composite() const { return composite_; }
  const Bitmap& CompositeMask() const { return composite_mask_; }
  bool drawn = false;  // set by the document image that draws it; only drawn GIFs step

 private:
  bool Load(std::span<const uint8_t> data, bool header_only);
  bool Parse(std::span<const uint8_t> data);
  void Clear();
  void DrawFrameIntoComposite();
  void DisposeCurrentFrame();
  uint32_t Now() const;
  int Interval() const;
  void RefreshBuffer(Canvas& buffer, int x, int y, const TGifBackdrop& backdrop);

  std::vector<std::unique_ptr<TFrame>> frames_;
  int current_frame_ = 1;
  bool empty_ = true;
  bool header_only_ = false;
  int width_ = 0, height_ = 0;
  std::vector<uint8_t> global_table_ = std::vector<uint8_t>(768, 0);
  int colour_bits_ = 0;
  bool any_transparent_ = false;
  int loop_count_ = 1;
  int loop_number_ = 1;
  bool animate_ = false;
  bool visible_ = true;
  int speed_ = 100;
  bool first_step_ = true;
  uint32_t next_interval_ = 0;
  uint32_t last_step_time_ = 0;
  Bitmap composite_;
  Bitmap composite_mask_;           // only when some frame is transparent
  std::unique_ptr<Canvas> buffer_;  // drawing buffer: made by the first transparent draw
  Size buffer_size_;
  bool buffer_needs_refresh_ = true;
  TImageRect last_drawn_;
  bool is_copy_ = false;

  std::vector<uint32_t> shared_palette_;
  int64_t pixel_budget_ = kDefaultPixelBudget;
  std::function<uint32_t()> clock_;
};

}  // namespace brisomel
