// Our GIF frames and composite pictures against giflib's decoding of the same files plus the
// compositing rules, on a corpus that ImageMagick makes at test time. Linux only.
#ifdef BRISOMEL_HAVE_PEERS
#include <gif_lib.h>
#include <gtest/gtest.h>

#include "html/images/gif_image.h"
#include "test_support.h"

namespace brisomel {
namespace {

using test::Bytes;

// What giflib reads: screen, frames with their indices (de-interlaced), tables, control.
struct Peer {
  int screen_w = 0, screen_h = 0;
  int loop = 1;
  struct Frame {
    int left, top, w, h;
    bool local_table;
    std::vector<uint32_t> table;
    std::vector<uint8_t> indices;
    int disposal, delay, transparent;
  };
  std::vector<Frame> frames;
};

bool ReadWithGiflib(const std::string& path, Peer& peer) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (!gif) return false;
  if (DGifSlurp(gif) != GIF_OK) {
    DGifCloseFile(gif, &error);
    return false;
  }
  peer.screen_w = gif->SWidth;
  peer.screen_h = gif->SHeight;
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& s = gif->SavedImages[i];
    for (int e = 0; e + 1 < s.ExtensionBlockCount; ++e) {
      const ExtensionBlock& b = s.ExtensionBlocks[e];
      if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
          std::memcmp(b.Bytes, "NETSCAPE2.0", 11) == 0) {
        const ExtensionBlock& sub = s.ExtensionBlocks[e + 1];
        if (sub.ByteCount >= 3) peer.loop = sub.Bytes[1] | (sub.Bytes[2] << 8);
      }
    }
    Peer::Frame f;
    f.left = s.ImageDesc.Left, f.top = s.ImageDesc.Top;
    f.w = s.ImageDesc.Width, f.h = s.ImageDesc.Height;
    const ColorMapObject* map = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : gif->SColorMap;
    f.local_table = s.ImageDesc.ColorMap != nullptr;
    f.table.assign(256, 0);
    for (int c = 0; map && c < map->ColorCount && c < 256; ++c) {
      const GifColorType& col = map->Colors[c];
      f.table[c] = uint32_t(col.Red) << 16 | uint32_t(col.Green) << 8 | col.Blue;
    }
    f.indices.assign(s.RasterBits, s.RasterBits + size_t(f.w) * f.h);
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, i, &gcb);
    f.disposal = gcb.DisposalMode;
    f.delay = gcb.DelayTime;
    f.transparent = gcb.TransparentColor;
    peer.frames.push_back(std::move(f));
  }
  DGifCloseFile(gif, &error);
  return true;
}

// The compositing rules applied to giflib's frames.
class Reference {
 public:
  // The screen widened over the frames.
  Reference(const Peer& p, size_t frames) : p_(p) {
    w_ = p.screen_w, h_ = p.screen_h;
    for (size_t i = 0; i < frames; ++i) {
      const auto& f = p.frames[i];
      w_ = std::max(w_, f.left + f.w), h_ = std::max(h_, f.top + f.h);
    }
    picture = Bitmap::Rgb32(w_, h_, 0);
    mask = Bitmap::Mask(w_, h_, 1);
  }
  static int Disposal(int d) { return d == 0 || d == 1 || d == 3 ? d : 2; }
  void Draw(int n) {
    const auto& f = p_.frames[n - 1];
    if (Disposal(f.disposal) == 3) saved_ = {picture, mask};
    for (int y = 0; y < f.h; ++y) {
      for (int x = 0; x < f.w; ++x) {
        size_t at = size_t(f.top + y) * w_ + f.left + x;
        uint8_t index = f.indices[size_t(y) * f.w + x];
        if (f.transparent >= 0 && index == f.transparent) continue;
        picture.pixels[at] = f.table[index];
        mask.indices[at] = 0;
      }
    }
  }
  void Dispose(int n) {
    const auto& f = p_.frames[n - 1];
    int d = Disposal(f.disposal);
    for (int y = 0; y < f.h; ++y) {
      for (int x = 0; x < f.w; ++x) {
        size_t at = size_t(f.top + y) * w_ + f.left + x;
        if (d == 2) picture.pixels[at] = 0, mask.indices[at] = 1;
        if (d == 3)
          picture.pixels[at] = saved_.first.pixels[at],
          mask.indices[at] = saved_.second.indices[at];
      }
    }
  }
  int w_ = 0, h_ = 0;
  Bitmap picture, mask;

 private:
  const Peer& p_;
  std::pair<Bitmap, Bitmap> saved_;
};

struct CorpusFile {
  std::string name;
  std::string command;  // run in the corpus folder; writes <name>.gif
};

std::vector<CorpusFile> Corpus() {
  const std::string sprites =
      " -size 40x30 xc:none -fill red -draw 'circle 20,15 20,4'"
      " -page +10+5 -size 12x10 xc:blue"
      " -page +20+12 -size 10x10 xc:none -fill green -draw 'circle 5,5 5,1'"
      " -page +0+0 -size 40x30 xc:none -fill yellow -draw 'rectangle 30,2 38,28' -loop 0 ";
  return {
      {"photo", "convert -size 320x240 -seed 4 plasma:fractal photo.gif"},
      {"interlaced", "convert -size 61x47 -seed 2 plasma:fractal -interlace GIF interlaced.gif"},
      {"transparent",
       "convert -size 40x30 xc:none -fill red -draw 'circle 20,15 20,4' -fill blue "
       "-draw 'rectangle 2,2 10,10' transparent.gif"},
      {"local_palettes",
       "convert -delay 10 -size 30x20 gradient:red-yellow gradient:blue-green "
       "-seed 3 plasma:fractal -loop 0 local_palettes.gif"},
      {"dispose_background",
       "convert -delay 5 -dispose Background" + sprites + "dispose_background.gif"},
      {"dispose_previous", "convert -delay 5 -dispose Previous" + sprites + "dispose_previous.gif"},
      {"dispose_mixed",
       "convert -delay 5 -dispose None -size 40x30 xc:white -dispose Previous "
       "-page +5+5 -size 10x10 xc:red -dispose Background -page +20+10 -size 10x10 "
       "xc:none -fill blue -draw 'circle 5,5 5,1' -dispose None -page +1+1 -size 5x5 "
       "xc:green -loop 0 dispose_mixed.gif"},
      {"loop0", "convert -delay 5 -size 8x8 xc:red xc:green xc:blue -loop 0 loop0.gif"},
      {"loop1", "convert -delay 5 -size 8x8 xc:red xc:green xc:blue -loop 1 loop1.gif"},
      {"loop3", "convert -delay 5 -size 8x8 xc:red xc:green xc:blue -loop 3 loop3.gif"},
      // loop0's three frames repeated 100 times (patched after making): ImageMagick takes
      // about a second per 5 frames here, too slow for 300.
      {"frames300", "cp loop0.gif frames300.gif"},
      // dispose_background with its screen shrunk below its frames (patched after making).
      {"beyond_screen", "cp dispose_background.gif beyond_screen.gif"},
  };
}

// Repeats the frames of a GIF (from the first extension or image after the application
// block up to the trailer) `times` times over.
void RepeatFrames(const std::string& path, int times) {
  Bytes b = test::ReadFile(path);
  if (b.size() < 13) return;
  size_t p = 13 + ((b[10] & 0x80) ? size_t{3} << ((b[10] & 7) + 1) : 0);
  auto skip_sub_blocks = [&] {
    while (p < b.size() && b[p]) p += b[p] + 1;
    ++p;
  };
  size_t first = 0;
  while (p < b.size() && b[p] != ';') {
    if (b[p] == 0x21) {
      bool app = b[p + 1] == 0xFF;
      p += 2;
      skip_sub_blocks();
      if (app) continue;
      if (!first) first = p;  // frames start after the first graphic control block...
    } else if (b[p] == ',') {
      p += 10;
      if (b[p - 1] & 0x80) p += size_t{3} << ((b[p - 1] & 7) + 1);
      ++p;
      skip_sub_blocks();
    } else {
      return;
    }
  }
  // ...which belongs to the first frame: step back over it.
  first -= 8;
  if (p >= b.size() || b[first] != 0x21) return;
  Bytes body(b.begin() + first, b.begin() + p);
  Bytes out(b.begin(), b.begin() + first);
  for (int i = 0; i < times; ++i) out.insert(out.end(), body.begin(), body.end());
  out.push_back(';');
  test::WriteFile(path, out);
}

class GifDifferential : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!test::HaveTool("convert")) return;
    dir_ = test::WorkDir("gif_corpus");
    // Files made by an earlier run with the same command are kept.
    for (const CorpusFile& c : Corpus()) {
      std::string stamp = dir_ + "/" + c.name + ".cmd";
      if (test::ReadFile(stamp) == test::Text(c.command)) continue;
      std::string cmd = "cd '" + dir_ + "' && " + c.command + " 2>/dev/null";
      bool ok = std::system(cmd.c_str()) == 0;
      made_ &= ok;
      if (c.name == "frames300") RepeatFrames(dir_ + "/frames300.gif", 100);
      if (ok) test::WriteFile(stamp, test::Text(c.command));
    }
    std::string beyond = dir_ + "/beyond_screen.gif";
    Bytes b = test::ReadFile(beyond);
    if (b.size() > 10) {
      b[6] = 20, b[7] = 0, b[8] = 15, b[9] = 0;
      test::WriteFile(beyond, b);
    }
  }
  static std::string dir_;
  static bool made_;
};
std::string GifDifferential::dir_;
bool GifDifferential::made_ = true;

TEST_F(GifDifferential, FramesAndCompositesEqualGiflibWithTheRules) {
  if (dir_.empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  ASSERT_TRUE(made_);
  bool saw_local = false, saw_interlace = false, saw_transparent = false, saw_beyond = false;
  bool saw_d2 = false, saw_d3 = false;
  for (const CorpusFile& c : Corpus()) {
    SCOPED_TRACE(c.name);
    std::string path = dir_ + "/" + c.name + ".gif";
    Peer peer;
    ASSERT_TRUE(ReadWithGiflib(path, peer));
    Bytes data = test::ReadFile(path);
    saw_interlace |= data.size() > 20 && c.name == "interlaced";
    TGIFImage gif;
    ASSERT_TRUE(gif.LoadFromStream(data));
    size_t frames = std::min<size_t>(peer.frames.size(), TGIFImage::kMaxFrames);
    ASSERT_EQ(size_t(gif.FrameCount()), frames);
    EXPECT_EQ(gif.LoopCount(), peer.loop);
    Reference ref(peer, frames);
    ASSERT_EQ(gif.Width(), ref.w_);
    ASSERT_EQ(gif.Height(), ref.h_);
    saw_beyond |= ref.w_ > peer.screen_w;
    ref.Draw(1);
    for (int n = 1; n <= int(frames); ++n) {
      SCOPED_TRACE(n);
      const auto& f = peer.frames[n - 1];
      const auto& ours = gif.Frame(n);
      saw_local |= f.local_table;
      saw_transparent |= f.transparent >= 0;
      saw_d2 |= Reference::Disposal(f.disposal) == 2 && n < int(frames);
      saw_d3 |= Reference::Disposal(f.disposal) == 3 && n < int(frames);
      ASSERT_EQ(ours.left, f.left);
      ASSERT_EQ(ours.top, f.top);
      ASSERT_EQ(ours.width, f.w);
      ASSERT_EQ(ours.height, f.h);
      EXPECT_EQ(ours.delay, f.delay * 10);
      EXPECT_EQ(ours.disposal, Reference::Disposal(f.disposal));
      ASSERT_EQ(ours.transparent, f.transparent >= 0);
      for (int i = 0; i < f.w * f.h; ++i) {
        uint8_t index = f.indices[i];
        bool clear = f.transparent >= 0 && index == f.transparent;
        ASSERT_EQ(ours.image.indices[i], index) << i;
        ASSERT_EQ(ours.image.palette[index], f.table[index]) << i;
        if (ours.transparent) {
          ASSERT_EQ(ours.mask.indices[i], clear) << i;
        }
      }
      if (n > 1) {
        gif.SetCurrentFrame(n);
        ref.Dispose(n - 1);
        ref.Draw(n);
      }
      for (size_t i = 0; i < ref.picture.pixels.size(); ++i) {
        ASSERT_EQ(gif.Composite().pixels[i] & 0xFFFFFF, ref.picture.pixels[i]) << i;
        if (gif.AnyTransparent()) {
          ASSERT_EQ(gif.CompositeMask().indices[i], ref.mask.indices[i]) << i;
        }
      }
    }
  }
  // The corpus covers what it is meant to.
  EXPECT_TRUE(saw_local);
  EXPECT_TRUE(saw_interlace);
  EXPECT_TRUE(saw_transparent);
  EXPECT_TRUE(saw_beyond);
  EXPECT_TRUE(saw_d2);
  EXPECT_TRUE(saw_d3);
}

}  // namespace
}  // namespace brisomel
#endif
