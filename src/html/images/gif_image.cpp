// Format notes (GIF87a, GIF89a):
// - "GIF87a"/"GIF89a", then the logical screen descriptor: width, height (16-bit little
//   endian), packed (bit 7: global table; bits 0-2: n, the table has 2^(n+1) entries of 3
//   bytes), background index, aspect.
// - Blocks: 0x21 label ... extensions made of sub-blocks (a length byte, that many bytes; a
//   zero length ends them); ',' an image; ';' the end.
// - Graphic control (0x21 0xF9): size 4, packed (bits 2-4 disposal, bit 0 transparency),
//   delay in 1/100 s, transparent index; it applies to the next image.
// - Application (0x21 0xFF): an 11-byte identifier sub-block; "NETSCAPE2.0" is followed by a
//   sub-block 1, loop count (16-bit, 0 = forever).
// - Image descriptor: ',', left, top, width, height, packed (bit 7 local table, bit 6
//   interlaced, bits 0-2 its size), optional local table, LZW minimum code size, data
//   sub-blocks.
//
// Pixels go top-down into engine bitmaps (no bottom-up flip is needed). Frame pixels that the
// data never reached keep colour index 0.
#include "html/images/gif_image.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "html/images/file_bytes.h"
#include "html/images/gif_lzw.h"
#include "html/images/palette.h"
#include "platform/canvas.h"

namespace brisomel {
namespace {

constexpr size_t kTableBytes = 768;

// Bounds-checked reading over the whole file.
class Cursor {
 public:
  explicit Cursor(std::span<const uint8_t> d) : d_(d) {}
  bool Has(size_t n) const { return n <= d_.size() - p_; }
  int Byte() { return p_ < d_.size() ? d_[p_++] : -1; }
  uint16_t U16At(size_t offset) const {
    return uint16_t(d_[p_ + offset] | (d_[p_ + offset + 1] << 8));
  }
  const uint8_t* Take(size_t n) {
    if (!Has(n)) return nullptr;
    const uint8_t* at = d_.data() + p_;
    p_ += n;
    return at;
  }
  // Walks sub-blocks up to their terminator, appending their bytes to `out` if given. False
  // when the data ends first (what was there is kept).
  bool SubBlocks(std::vector<uint8_t>* out) {
    for (;;) {
      int n = Byte();
      if (n < 0) return false;
      if (n == 0) return true;
      size_t take = std::min<size_t>(n, d_.size() - p_);
      if (out) out->insert(out->end(), d_.data() + p_, d_.data() + p_ + take);
      p_ += take;
      if (take < static_cast<size_t>(n)) return false;
    }
  }

 private:
  std::span<const uint8_t> d_;
  size_t p_ = 0;
};

struct GraphicControl {
  bool present = false;
  uint8_t packed = 0;
  uint16_t delay = 0;
  uint8_t index = 0;
};

TGIFImage::TDisposal DisposalOf(uint8_t packed) {
  switch ((packed >> 2) & 7) {
    case 0:
      return TGIFImage::dmNone;
    case 1:
      return TGIFImage::dmLeave;
    case 3:
      return TGIFImage::dmPrevious;
    default:
      return TGIFImage::dmBackground;
  }
}

uint32_t TableColour(std::span<const uint8_t> table, int index) {
  const uint8_t* e = &table[3 * static_cast<size_t>(index)];
  return (uint32_t{e[0]} << 16) | (uint32_t{e[1]} << 8) | e[2];
}

Bitmap Crop(const Bitmap& from, int left, int top, int width, int height) {
  Bitmap out = from.format == Bitmap::Format::kRgb32 ? Bitmap::Rgb32(width, height)
                                                     : Bitmap::Mask(width, height);
  for (int y = 0; y < height; ++y) {
    size_t s = static_cast<size_t>(top + y) * from.width + left;
    size_t d = static_cast<size_t>(y) * width;
    if (from.format == Bitmap::Format::kRgb32) {
      std::copy_n(&from.pixels[s], width, &out.pixels[d]);
    } else {
      std::copy_n(&from.indices[s], width, &out.indices[d]);
    }
  }
  return out;
}

void Paste(Bitmap& to, const Bitmap& from, int left, int top) {
  for (int y = 0; y < from.height; ++y) {
    size_t s = static_cast<size_t>(y) * from.width;
    size_t d = static_cast<size_t>(top + y) * to.width + left;
    if (to.format == Bitmap::Format::kRgb32) {
      std::copy_n(&from.pixels[s], from.width, &to.pixels[d]);
    } else {
      std::copy_n(&from.indices[s], from.width, &to.indices[d]);
    }
  }
}

// Row of the frame that the k-th decoded row goes to in an interlaced frame: every 8th row
// from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
int InterlacedRow(int k, int height) {
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    int rows = height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
    if (k < rows) return kStart[pass] + k * kStep[pass];
    k -= rows;
  }
  return -1;
}

}  // namespace

std::span<const uint8_t> TGIFImage::TFrame::ColourTable(const TGIFImage& owner) const {
  return has_local_table ? std::span<const uint8_t>(local_table) : owner.global_table_;
}

TGIFImage::TGIFImage() = default;
TGIFImage::~TGIFImage() = default;

void TGIFImage::Clear() {
  frames_.clear();
  current_frame_ = 1;
  loop_count_ = 1;
  loop_number_ = 1;
  first_step_ = true;
  colour_bits_ = 0;
  any_transparent_ = false;
  empty_ = true;
  width_ = height_ = 0;
  std::fill(global_table_.begin(), global_table_.end(), 0);
  composite_ = Bitmap();
  composite_mask_ = Bitmap();
  buffer_.reset();
}

bool TGIFImage::LoadFromStream(std::span<const uint8_t> data) { return Load(data, false); }
bool TGIFImage::ReadHeaderFromStream(std::span<const uint8_t> data) { return Load(data, true); }

bool TGIFImage::LoadFromFile(Files& files, const std::string& path) {
  auto bytes = ReadFileBytes(files, path);
  if (!bytes) {
    Clear();
    return false;
  }
  return Load(*bytes, false);
}

bool TGIFImage::ReadHeaderFromFile(Files& files, const std::string& path) {
  auto bytes = ReadFileBytes(files, path);
  if (!bytes) {
    Clear();
    return false;
  }
  return Load(*bytes, true);
}

bool TGIFImage::Load(std::span<const uint8_t> data, bool header_only) {
  header_only_ = header_only;
  bool ok = false;
  try {
    ok = Parse(data);
  } catch (...) {  // out of memory
    ok = false;
  }
  if (!ok) Clear();
  return ok;
}

bool TGIFImage::Parse(std::span<const uint8_t> data) {
  Clear();
  Cursor in(data);
  const uint8_t* signature = in.Take(6);
  if (!signature || std::memcmp(signature, "GIF", 3) != 0) return false;
  if (!in.Has(7)) return false;
  width_ = in.U16At(0);
  height_ = in.U16At(2);
  const uint8_t* screen = in.Take(7);
  if (screen[4] & 0x80) {
    size_t size = size_t{3} << ((screen[4] & 7) + 1);
    const uint8_t* table = in.Take(size);
    if (!table) return false;
    std::copy_n(table, size, global_table_.begin());
    colour_bits_ = (screen[4] & 7) + 1;
  }

  GraphicControl control;
  std::string comment;
  int64_t pixels_used = 0;
  const int64_t budget = std::min(pixel_budget_, kMaxImagePixels);
  auto lzw = std::make_unique<TGifLzwDecoder>();
  std::vector<uint8_t> codes;

  for (bool walking = true; walking;) {
    int block = in.Byte();
    if (block == 0x21) {
      int label = in.Byte();
      if (label == 0x01) {
        in.SubBlocks(nullptr);
      } else if (label == 0xF9) {
        std::vector<uint8_t> bytes;
        in.SubBlocks(&bytes);
        if (bytes.size() >= 4)
          control = {true, bytes[0], uint16_t(bytes[1] | (bytes[2] << 8)), bytes[3]};
      } else if (label == 0xFE) {
        std::vector<uint8_t> bytes;
        in.SubBlocks(&bytes);
        comment.assign(bytes.begin(), bytes.end());
      } else if (label == 0xFF) {
        int size = in.Byte();
        const uint8_t* id = size >= 0 ? in.Take(size) : nullptr;
        if (!id) break;
        if (size == 11 && std::memcmp(id, "NETSCAPE2.0", 11) == 0 && in.Has(4)) {
          const uint8_t* sub = in.Take(1);
          if (*sub >= 3) {
            const uint8_t* loop = in.Take(*sub);
            if (loop) loop_count_ = loop[1] | (loop[2] << 8);
          } else {
            in.Take(*sub);
          }
        }
        in.SubBlocks(nullptr);
      } else {
        walking = false;  // unknown extension label
      }
    } else if (block == ',') {
      if (frames_.size() >= kMaxFrames || !in.Has(9)) break;
      auto frame = std::make_unique<TFrame>();
      TFrame& f = *frame;
      f.left = in.U16At(0);
      f.top = in.U16At(2);
      f.width = in.U16At(4);
      f.height = in.U16At(6);
      const uint8_t* desc = in.Take(9);
      uint8_t packed = desc[8];
      f.interlaced = packed & 0x40;
      if (packed & 0x80) {
        f.has_local_table = true;
        f.colour_bits = (packed & 7) + 1;
        size_t size = size_t{3} << f.colour_bits;
        const uint8_t* table = in.Take(size);
        if (!table) break;
        if (!header_only_) {
          f.local_table.assign(kTableBytes, 0);
          std::copy_n(table, size, f.local_table.begin());
        }
      }
      if (control.present) {
        f.delay = control.delay * 10;
        f.disposal = DisposalOf(control.packed);
        f.transparent = control.packed & 1;
        f.transparent_index = control.index;
      }
      int64_t area = int64_t{f.width} * f.height;
      if (header_only_) {
        if (in.Byte() < 0) break;  // the code size
        in.SubBlocks(nullptr);
        if (f.has_local_table) f.local_table.clear();
      } else {
        if (pixels_used + area > budget) break;
        pixels_used += area;
        int code_size = in.Byte();
        if (code_size < 0) break;
        codes.clear();
        in.SubBlocks(&codes);
        std::vector<uint8_t> indices(static_cast<size_t>(area) + TGifLzwDecoder::kOutputSlack, 0);
        auto outcome = lzw->Decode(codes, code_size, indices.data(), static_cast<size_t>(area));
        if (outcome.result == TGifLzwDecoder::Result::kBadCodeSize) break;
        // Copies run a few bytes past what they write: what was never decoded is index 0.
        std::fill(indices.begin() + static_cast<ptrdiff_t>(outcome.written), indices.end(), 0);
        indices.resize(static_cast<size_t>(area));
        if (f.interlaced && area > 0) {
          std::vector<uint8_t> rows(indices.size());
          for (int k = 0; k < f.height; ++k) {
            std::copy_n(&indices[static_cast<size_t>(k) * f.width], f.width,
                        &rows[static_cast<size_t>(InterlacedRow(k, f.height)) * f.width]);
          }
          indices.swap(rows);
        }

        std::span<const uint8_t> table = f.has_local_table
                                             ? std::span<const uint8_t>(f.local_table)
                                             : std::span<const uint8_t>(global_table_);
        f.image.format = Bitmap::Format::kIndexed8;
        f.image.width = f.width;
        f.image.height = f.height;
        f.image.palette.resize(256);
        for (int i = 0; i < 256; ++i) {
          uint32_t colour = TableColour(table, i);
          f.image.palette[i] = shared_palette_.empty()
                                   ? colour
                                   : shared_palette_[NearestPaletteIndex(shared_palette_, colour)];
        }
        f.image.indices = std::move(indices);
        f.transparent_colour = TableColour(table, f.transparent_index);
        if (f.transparent) {
          f.mask = Bitmap::Mask(f.width, f.height);
          const uint8_t key = f.transparent_index;
          const uint8_t* s = f.image.indices.data();
          uint8_t* m = f.mask.indices.data();
          for (int64_t i = 0; i < area; ++i) m[i] = s[i] == key;
        }
      }
      colour_bits_ = std::max(colour_bits_, f.colour_bits);
      any_transparent_ |= f.transparent;
      f.comment = std::move(comment);
      comment.clear();
      control = GraphicControl();
      frames_.push_back(std::move(frame));
    } else {
      walking = false;  // ';', the end of the data, or anything unexpected
    }
  }

  if (frames_.empty()) return false;
  for (const auto& f : frames_) {
    width_ = std::max(width_, f->left + f->width);
    height_ = std::max(height_, f->top + f->height);
  }
  if (width_ <= 0 || height_ <= 0 || int64_t{width_} * height_ > budget) return false;
  if (!header_only_) {
    composite_ = Bitmap::Rgb32(width_, height_, 0);
    if (any_transparent_) composite_mask_ = Bitmap::Mask(width_, height_, 1);
  }
  empty_ = false;
  DrawFrameIntoComposite();
  return true;
}

void TGIFImage::DrawFrameIntoComposite() {
  if (empty_ || header_only_ || frames_.empty()) return;
  TFrame& f = *frames_[current_frame_ - 1];
  if (f.width == 0 || f.height == 0) {  // a frame of no pixels changes nothing
    if (current_frame_ == 1 && f.disposal <= dmLeave) buffer_needs_refresh_ = true;
    return;
  }
  if (f.disposal == dmPrevious) {
    f.saved_image = Crop(composite_, f.left, f.top, f.width, f.height);
    if (any_transparent_) f.saved_mask = Crop(composite_mask_, f.left, f.top, f.width, f.height);
  }
  const uint32_t* lut = f.image.palette.data();
  for (int y = 0; y < f.height; ++y) {
    size_t s = static_cast<size_t>(y) * f.width;
    size_t d = static_cast<size_t>(f.top + y) * width_ + f.left;
    uint32_t* comp = &composite_.pixels[d];
    const uint8_t* img = &f.image.indices[s];
    if (f.transparent) {
      // Mask AND frame mask, composite AND frame mask, composite XOR frame image (black where
      // transparent): opaque pixels replace, transparent ones keep what was there.
      const uint8_t* fm = &f.mask.indices[s];
      uint8_t* cm = &composite_mask_.indices[d];
      for (int x = 0; x < f.width; ++x) {
        if (!fm[x]) {
          cm[x] = 0;
          comp[x] = lut[img[x]];
        }
      }
    } else {
      if (any_transparent_) std::fill_n(&composite_mask_.indices[d], f.width, 0);
      for (int x = 0; x < f.width; ++x) comp[x] = lut[img[x]];
    }
  }
  if (current_frame_ == 1 && frames_[0]->disposal <= dmLeave) buffer_needs_refresh_ = true;
}

void TGIFImage::DisposeCurrentFrame() {
  if (empty_ || header_only_ || frames_.empty()) return;
  TFrame& f = *frames_[current_frame_ - 1];
  if (f.width == 0 || f.height == 0) return;
  if (f.disposal == dmBackground) {
    for (int y = 0; y < f.height; ++y) {
      size_t d = static_cast<size_t>(f.top + y) * width_ + f.left;
      std::fill_n(&composite_.pixels[d], f.width, 0);
      if (any_transparent_) std::fill_n(&composite_mask_.indices[d], f.width, 1);
    }
  } else if (f.disposal == dmPrevious && !f.saved_image.empty()) {
    Paste(composite_, f.saved_image, f.left, f.top);
    if (any_transparent_ && !f.saved_mask.empty())
      Paste(composite_mask_, f.saved_mask, f.left, f.top);
  }
}

uint32_t TGIFImage::Now() const {
  if (clock_) return clock_();
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int TGIFImage::Interval() const {
  int64_t delay = frames_.empty() ? 0 : frames_[current_frame_ - 1]->delay;
  return static_cast<int>(std::max<int64_t>(1, delay * 100 / speed_));
}

void TGIFImage::SetAnimate(bool on) {
  if (on == animate_) return;
  animate_ = on;
  loop_number_ = 1;
  if (on && frames_.size() > 1) {
    next_interval_ = Interval();
    last_step_time_ = Now();
  }
}

void TGIFImage::SetCurrentFrame(int n) {
  if (n == current_frame_ || empty_ || frames_.empty()) return;
  DisposeCurrentFrame();
  int count = FrameCount();
  if (n > count) n = 1;
  if (n <= 0) n = count;
  current_frame_ = n;
  DrawFrameIntoComposite();
}

void TGIFImage::Step(const std::function<void(const TImageRect&)>& invalidate) {
  if (!animate_ || empty_ || header_only_ || frames_.empty()) return;
  uint32_t now = Now();
  if (now - last_step_time_ < next_interval_) return;
  last_step_time_ = now;
  int count = FrameCount();
  if (loop_count_ > 0 && current_frame_ == count) {
    if (loop_number_ >= loop_count_) {
      animate_ = false;
      return;
    }
    ++loop_number_;
  }
  if (first_step_) {
    first_step_ = false;
  } else {
    DisposeCurrentFrame();
    current_frame_ = current_frame_ % count + 1;
    DrawFrameIntoComposite();
    if (invalidate) invalidate(last_drawn_);
  }
  next_interval_ = Interval();
}

std::unique_ptr<TGIFImage> TGIFImage::Copy() const {
  auto c = std::make_unique<TGIFImage>();
  try {
    for (const auto& f : frames_) c->frames_.push_back(std::make_unique<TFrame>(*f));
    c->empty_ = empty_;
    c->header_only_ = header_only_;
    c->width_ = width_;
    c->height_ = height_;
    c->global_table_ = global_table_;
    c->colour_bits_ = colour_bits_;
    c->any_transparent_ = any_transparent_;
    c->loop_count_ = loop_count_;
    c->loop_number_ = loop_number_;
    c->animate_ = animate_;
    c->visible_ = visible_;
    c->speed_ = speed_;
    c->first_step_ = first_step_;
    c->next_interval_ = next_interval_;
    c->last_step_time_ = last_step_time_;
    c->last_drawn_ = last_drawn_;
    c->shared_palette_ = shared_palette_;
    c->pixel_budget_ = pixel_budget_;
    c->clock_ = clock_;
    c->current_frame_ = 1;
    c->is_copy_ = true;
    if (!empty_ && !header_only_) {
      c->composite_ = Bitmap::Rgb32(width_, height_, 0);
      if (any_transparent_) c->composite_mask_ = Bitmap::Mask(width_, height_, 1);
      c->DrawFrameIntoComposite();
    }
  } catch (...) {
    c->Clear();
  }
  return c;
}

Bitmap TGIFImage::FirstFrameBitmap() const {
  if (empty_ || header_only_ || frames_.empty()) return Bitmap();
  const TFrame& f = *frames_[0];
  Bitmap out = Bitmap::Rgb32(f.width, f.height);
  for (size_t i = 0; i < out.pixels.size(); ++i) {
    bool clear = f.transparent && f.mask.indices[i];
    out.pixels[i] = clear ? 0 : f.image.palette[f.image.indices[i]];
  }
  return out;
}

Bitmap TGIFImage::FirstFrameMask() const {
  if (empty_ || header_only_ || frames_.empty() || !frames_[0]->transparent) return Bitmap();
  return frames_[0]->mask;
}

}  // namespace brisomel
