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

// --image FILE [--frame N] -o OUT.png: FILE drawn at its natural size on white (a GIF after
// stepping to frame N) with the software canvas, written as PNG.
int ImageMode(const std::vector<std::string>& args);

}  // namespace brisomel::render
