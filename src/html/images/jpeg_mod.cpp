#include "html/images/jpeg_mod.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

// clang-format off
#include <cstdio>  // before jpeglib.h, which uses FILE and size_t
#include <jpeglib.h>
// clang-format on

namespace brisomel {
namespace {

// libjpeg's default error handler prints and ends the process; this one jumps back to the
// decode call instead. Warnings (corrupt but decodable data) are ignored, as djpeg does when
// it still writes its output.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void OnMessage(j_common_ptr, int) {}
void OnOutput(j_common_ptr) {}

struct Progress {
  jpeg_progress_mgr pub;
  ErrorManager* errors;
};

void OnProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->progressive_mode && d->input_scan_number > TJpegMod::kMaxScans) {
    std::longjmp(reinterpret_cast<Progress*>(cinfo->progress)->errors->jump, 1);
  }
}

// Everything libjpeg allocates through the C++ side lives here, so that a longjmp out of
// the decoder leaks nothing: no C++ object with a destructor is live across setjmp.
struct State {
  jpeg_decompress_struct cinfo;
  ErrorManager errors;
  Progress progress;
  JSAMPLE colormap_rows[3][256];
  JSAMPROW colormap_ptrs[3];
  bool created = false;
  ~State() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

bool Run(State& s, std::span<const uint8_t> data, std::span<const uint32_t> palette,
         int64_t max_pixels, Bitmap& out) {
  jpeg_decompress_struct& c = s.cinfo;
  if (setjmp(s.errors.jump)) return false;
  jpeg_create_decompress(&c);
  s.created = true;
  jpeg_mem_src(&c, data.data(), static_cast<unsigned long>(data.size()));
  if (jpeg_read_header(&c, TRUE) != JPEG_HEADER_OK) return false;
  if (int64_t{c.image_width} * c.image_height > max_pixels) return false;
  c.progress = &s.progress.pub;
  bool indexed = !palette.empty();
  if (indexed) {
    c.out_color_space = JCS_RGB;
    c.quantize_colors = TRUE;
    c.two_pass_quantize = FALSE;
    c.dither_mode = JDITHER_FS;
    for (int i = 0; i < 3; ++i) s.colormap_ptrs[i] = s.colormap_rows[i];
    int n = static_cast<int>(std::min<size_t>(palette.size(), 256));
    for (int k = 0; k < n; ++k) {
      s.colormap_rows[0][k] = static_cast<JSAMPLE>(palette[k] >> 16);
      s.colormap_rows[1][k] = static_cast<JSAMPLE>(palette[k] >> 8);
      s.colormap_rows[2][k] = static_cast<JSAMPLE>(palette[k]);
    }
    c.colormap = s.colormap_ptrs;
    c.actual_number_of_colors = n;
  } else {
    // Straight into the 32-bit layout of the bitmap (blue, green, red, unused).
    c.out_color_space = JCS_EXT_BGRX;
  }
  if (!jpeg_start_decompress(&c)) return false;
  const int w = static_cast<int>(c.output_width), h = static_cast<int>(c.output_height);
  if (int64_t{w} * h > max_pixels || w <= 0 || h <= 0) return false;
  out.width = w;
  out.height = h;
  if (indexed) {
    out.format = Bitmap::Format::kIndexed8;
    out.indices.resize(static_cast<size_t>(w) * h);
    out.palette.assign(palette.begin(), palette.begin() + c.actual_number_of_colors);
    while (c.output_scanline < c.output_height) {
      JSAMPROW row = &out.indices[static_cast<size_t>(c.output_scanline) * w];
      if (jpeg_read_scanlines(&c, &row, 1) != 1) return false;
    }
  } else {
    out.format = Bitmap::Format::kRgb32;
    out.pixels.resize(static_cast<size_t>(w) * h);
    while (c.output_scanline < c.output_height) {
      uint32_t* p = &out.pixels[static_cast<size_t>(c.output_scanline) * w];
      JSAMPROW row = reinterpret_cast<JSAMPROW>(p);
      if (jpeg_read_scanlines(&c, &row, 1) != 1) return false;
      for (int x = 0; x < w; ++x) p[x] &= 0xFFFFFF;  // the unused byte is 0 in bitmaps
    }
  }
  jpeg_finish_decompress(&c);
  return true;
}

}  // namespace

std::optional<Bitmap> TJpegMod::Decode(std::span<const uint8_t> data,
                                       std::span<const uint32_t> palette, int64_t max_pixels) {
  if (data.size() < 2) return std::nullopt;
  max_pixels = std::min(max_pixels, kMaxImagePixels);
  try {
    auto s = std::make_unique<State>();
    s->cinfo.err = jpeg_std_error(&s->errors.pub);
    s->errors.pub.error_exit = OnError;
    s->errors.pub.emit_message = OnMessage;
    s->errors.pub.output_message = OnOutput;
    s->progress.pub.progress_monitor = OnProgress;
    s->progress.errors = &s->errors;
    // The bitmap's storage is owned outside the frame that calls setjmp, so a jump out of
    // libjpeg leaks nothing; the state's destructor releases libjpeg's own memory.
    Bitmap out;
    if (!Run(*s, data, palette, max_pixels, out)) return std::nullopt;
    return out;
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace brisomel
