// --image FILE [--frame N] -o OUT.png: draws an image file at its natural size on a white
// background with the software canvas (transparent pixels show white; a PNG's alpha is
// blended with the white) and writes a PNG. A GIF
// is drawn as the animation shows it after stepping to frame N (from 1; 1 by default). A file
// that gives no image ends with a one-line reason and exit code 1.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "html/images/bmp_reader.h"
#include "html/images/gif_image.h"
#include "html/images/image_type.h"
#include "html/images/jpeg_mod.h"
#include "html/images/png_image.h"
#include "modes.h"
#include "platform/headless/png_writer.h"
#include "platform/headless/software_canvas.h"

namespace brisomel::render {
namespace {

int Fail(const std::string& reason) {
  std::fprintf(stderr, "brisomel-render: %s\n", reason.c_str());
  return 1;
}

int Usage() {
  std::fprintf(stderr, "usage: brisomel-render --image FILE [--frame N] -o OUT.png\n");
  return 2;
}

}  // namespace

int ImageMode(const std::vector<std::string>& args) {
  std::string input, output;
  int frame = 1;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      output = args[++i];
    } else if (args[i] == "--frame" && i + 1 < args.size()) {
      try {
        size_t used = 0;
        frame = std::stoi(args[++i], &used);
        if (used != args[i].size()) return Usage();
      } catch (...) {
        return Usage();
      }
    } else if (input.empty() && !args[i].empty() && args[i][0] != '-') {
      input = args[i];
    } else {
      return Usage();
    }
  }
  if (input.empty() || output.empty()) return Usage();
  if (frame < 1) return Fail("--frame counts from 1");

  std::ifstream in(input, std::ios::binary);
  if (!in) return Fail("cannot open " + input);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());

  std::optional<Bitmap> bitmap;
  TGIFImage gif;
  bool is_gif = false;
  switch (ImageTypeOf(bytes)) {
    case itBitmap:
      bitmap = ReadWindowsBitmap(bytes);
      if (!bitmap) return Fail(input + ": not a readable Windows bitmap");
      break;
    case itJpeg:
      bitmap = TJpegMod::Decode(bytes);
      if (!bitmap) return Fail(input + ": not a readable JPEG image");
      break;
    case itGif:
    case itGif89:
      if (!gif.LoadFromStream(bytes)) return Fail(input + ": not a readable GIF image");
      if (frame > gif.FrameCount()) {
        return Fail(input + ": no frame " + std::to_string(frame) + " (the image has " +
                    std::to_string(gif.FrameCount()) + ")");
      }
      // The animation's own order: each frame disposed of before the next is drawn.
      for (int n = 2; n <= frame; ++n) gif.SetCurrentFrame(n);
      is_gif = true;
      break;
    case itPng: {
      std::optional<TPngImage> png = TPngImage::Decode(bytes);
      if (!png) return Fail(input + ": not a readable PNG image");
      bitmap = std::move(png->bitmap);
      for (size_t i = 0; i < png->alpha.size(); ++i) {
        const uint32_t a = png->alpha[i], c = bitmap->pixels[i];
        auto blend = [&](int shift) {
          const uint32_t v = (c >> shift) & 0xFF;
          return ((v * a + 255 * (255 - a) + 127) / 255) << shift;
        };
        bitmap->pixels[i] = blend(16) | blend(8) | blend(0);
      }
      break;
    }
    default:
      return Fail(input + ": not an image this reader knows (BMP, JPEG, GIF, PNG)");
  }
  if (!is_gif && frame != 1) return Fail(input + ": only GIF images have frames");

  const int w = is_gif ? gif.Width() : bitmap->width;
  const int h = is_gif ? gif.Height() : bitmap->height;
  SoftwareCanvas canvas(w, h);
  if (is_gif) {
    gif.Draw(canvas, 0, 0, w, h, TGifBackdrop{});  // backdrop: white
  } else {
    canvas.DrawBitmap(0, 0, *bitmap);
  }
  if (!WritePng(canvas.surface(), output)) return Fail("cannot write " + output);
  return 0;
}

}  // namespace brisomel::render
