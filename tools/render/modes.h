// The modes of brisomel-render. Each takes the arguments after its option and returns the
// process exit code.
#pragma once

#include <string>
#include <vector>

namespace brisomel::render {

// --tokens FILE: the symbol stream of FILE as the parser reads it, one symbol per line.
int TokensMode(const std::vector<std::string>& args);

// PAGE -o OUT.png | PAGE --dump [--width N] [--test-font]: a page laid out and drawn to a
// picture, or its layout dump.
int PageMode(const std::vector<std::string>& args);

// The options of the page modes.
struct PageOptions {
  std::string page, out;
  int width = 800;
  int zoom = 100;  // --zoom: percent, as the reader's zoom
  bool test_font = false;
  bool dump = false;
  int submit = -1;  // --submit: the form whose submission is printed; -1: none
  int height = 0;  // viewer mode when set (or with --scroll or --find)
  int scroll = 0;
  bool scrolled = false;
  std::string find;
  bool finding = false;
  bool match_case = false;
  std::string print;  // --print OUT-%d.png
  int dpi = 600;
  int from_page = 1, to_page = 9999;
};

// PAGE -o OUT.png --height N [--scroll Y] [--width N]: the screen a page viewer of N x height
// pixels shows at vertical position Y, painted through the viewer. PAGE --find TEXT
// [--match-case]: one line per hit as the viewer's find walks from the top.
int ViewerPage(const PageOptions& options);

// PAGE --print OUT-%d.png [--dpi N] [--pages FROM-TO]: the page printed by a page viewer on
// the recording printer (A4 at N dots per inch, 2 cm margins); one PNG per printed page (%d
// the page number) and one line per page: page <n> lines <first>-<last>, the document Y range
// the page holds.
int PrintPage(const PageOptions& options);

// A frameset document: FILE -o OUT.png [--width W] [--height H] paints the whole frame viewer;
// FILE --dump prints one line per frame set (frameset rows|cols x= y= w= h=) and per frame
// (frame name=<name or -> x= y= w= h= src=<Source>), two spaces deeper per level, each
// frame's line followed by its document's layout dump.
bool IsFrameSetPage(const std::string& page);
int FrameSetPage(const PageOptions& options);

// --image FILE [--frame N] -o OUT.png: FILE drawn at its natural size on white (a GIF after
// stepping to frame N) with the software canvas, written as PNG.
int ImageMode(const std::vector<std::string>& args);

}  // namespace brisomel::render
