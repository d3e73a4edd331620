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

void RunFormDestroy(BookEnvironment& env, const TMainWindowState& state) {
  if (!state.StartDir.empty()) env.ChangeDirectory(state.StartDir);
  env.DeleteExtractedFiles();
}

}  // namespace brisomel
