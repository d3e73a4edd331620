#include "shell/startup.h"

namespace brisomel {

std::array<std::string, kSpeedButtonCount> ChooseGlyphFiles(BookEnvironment& env) {
  std::array<std::string, kSpeedButtonCount> chosen;
  const std::string directory = env.GetTempDirectory();
  // Without a directory the literals alone would name files at the root of the current drive.
  if (directory.empty()) return chosen;
  for (int i = 0; i < kSpeedButtonCount; ++i) {
    std::string path = directory + kSpeedButtons[i].glyph_literal;
    if (env.FileExists(path)) chosen[i] = std::move(path);
  }
  return chosen;
}

void RunFormCreate(BookEnvironment& env, TMainWindowState& state,
                   const std::function<void(int index, const std::string& path)>& load_glyph) {
  state.StartDir = env.CurrentDirectory();
  env.ExtractAttachedArchive();
  const auto glyphs = ChooseGlyphFiles(env);
  for (int i = 0; i < kSpeedButtonCount; ++i) {
    if (!glyphs[i].empty()) load_glyph(i, glyphs[i]);
  }
}

std::string ChooseStartFile(BookEnvironment& env, const std::vector<std::string>& args) {
  if (!args.empty()) return args[0];
  std::string chosen;
  if (env.FileExists("index.htm")) chosen = "index.htm";
  if (env.FileExists("index.html")) chosen = "index.html";
  if (chosen.empty()) return chosen;
  std::string directory = env.CurrentDirectory();
  if (!directory.empty() && directory.back() != '\\') directory += '\\';
  return directory + chosen;
}

std::string UpperExtension(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  const size_t separator = name.find_last_of("\\/:");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return {};
  std::string ext = name.substr(dot);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return ext;
}

bool ShowAsImage(const std::string& current_ext) {
  for (const char* ext : {".GIF", ".JPG", ".JPEG", ".PNG"})
    if (current_ext.find(ext) != std::string::npos) return true;
  return false;
}

TFormBounds PlacementForScreenWidth(int screen_width) {
  if (screen_width == 640) return TFormBounds{10, 10, 500, 400};
  if (screen_width == 800) return TFormBounds{100, 60, 640, 480};
  return TFormBounds{140, 80, 800, 600};
}

std::string DirectoryPart(const std::string& name) {
  const size_t separator = name.find_last_of("\\/:");
  return separator == std::string::npos ? std::string() : name.substr(0, separator + 1);
}

std::string ServerRootFor(const std::string& file, const std::string& book_dir) {
  auto comparable = [](std::string path) {
    for (char& c : path) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c == '/') c = '\\';
    }
    return path;
  };
  const bool separated = !book_dir.empty() && (book_dir.back() == '\\' || book_dir.back() == '/');
  if (separated && file.size() > book_dir.size() &&
      comparable(file.substr(0, book_dir.size())) == comparable(book_dir)) {
    return book_dir;
  }
  return DirectoryPart(file);
}

std::string CornerImagePath(BookEnvironment& env) {
  return env.GetTempDirectory() + "\\rhcorner.gif";
}

void RunFormDestroy(BookEnvironment& env, const TMainWindowState& state) {
  if (!state.StartDir.empty()) env.ChangeDirectory(state.StartDir);
  env.DeleteExtractedFiles();
}

}  // namespace brisomel
