// brisomel-render: headless views of what the engine makes of a file.
#include <cstdio>
#include <string>
#include <vector>

#include "modes.h"

namespace {

struct Mode {
  const char* option;
  const char* usage;
  int (*run)(const std::vector<std::string>& args);
};

const Mode kModes[] = {
    {"--tokens", "--tokens FILE   print FILE's symbol stream", brisomel::render::TokensMode},
    {"--image", "--image FILE [--frame N] -o OUT.png   draw an image file (a GIF at frame N)",
     brisomel::render::ImageMode},
};

int Usage(FILE* to = stderr) {
  std::fprintf(to, "usage: brisomel-render MODE ARGS...\n");
  for (const Mode& mode : kModes) std::fprintf(to, "  %s\n", mode.usage);
  std::fprintf(to,
               "  PAGE -o OUT.png [--width N] [--test-font]\n"
               "                  lay PAGE (HTML, or text if it ends in .txt) out for width N\n"
               "                  (default 800) and draw it with margins of 10 and 5 pixels;\n"
               "                  --test-font uses the deterministic test font, not FreeType\n"
               "  --zoom N        (with any page mode but --print) lay the page out and draw it\n"
               "                  at N percent (50 to 300, default 100), as the reader's zoom\n"
               "  PAGE --dump [--width N] [--test-font]\n"
               "                  print the laid-out document instead, one line per section:\n"
               "                  <class> y=<YValue> h=<SectionHeight> dh=<DrawHeight>\n"
               "                  curs=<StartCurs>+<Len>, and beneath text sections their lines\n"
               "                  (line x= y= h= \"chars\"), images (image x= y= w= h= align=)\n"
               "                  and form controls (control <class> x= y= w= h=)\n"
               "  PAGE -o OUT.png --height N [--scroll Y] [--width N] [--test-font]\n"
               "                  the screen a page viewer of N x height pixels (width default\n"
               "                  800) shows at vertical position Y, painted by the viewer\n"
               "  PAGE --find TEXT [--match-case] [--width N] [--test-font]\n"
               "                  one line per hit as the viewer's find walks from the top:\n"
               "                  hit pos=<character position> x= y= (document coordinates)\n"
               "  PAGE --submit [N] [--width N] [--test-font]\n"
               "                  print what form N (default 0) would submit with its controls\n"
               "                  in their initial state, as by its first submit button:\n"
               "                  method=<Method> action=<Action> target=<Target> enctype=<EncType>\n"
               "                  and then one name=value pair per line\n"
               "  PAGE --print OUT-%%d.png [--dpi N] [--pages FROM-TO] [--test-font]\n"
               "                  print PAGE through a viewer on A4 at N dots per inch (default\n"
               "                  600) with 2 cm margins: one PNG per printed page (%%d its\n"
               "                  number) and a line per page: page <n> lines <first>-<last>\n"

               "  FRAMESET -o OUT.png [--width W] [--height H] [--test-font]\n"
               "                  a frameset document: the whole frame viewer painted\n"
               "  FRAMESET --dump [--width W] [--height H] [--test-font]\n"
               "                  one line per frame set (frameset rows|cols x= y= w= h=) and\n"
               "                  per frame (frame name=<name or -> x= y= w= h= src=<Source>),\n"
               "                  two spaces deeper per level, before each frame's layout dump\n");
  return to == stderr ? 2 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string option = argv[1];
  if (option == "--help" || option == "-h") return Usage(stdout);
  for (const Mode& mode : kModes)
    if (option == mode.option) return mode.run(std::vector<std::string>(argv + 2, argv + argc));
  // Anything else names a page.
  return brisomel::render::PageMode(std::vector<std::string>(argv + 1, argv + argc));
}
