// brisomel-render --tokens on small pages, compared with the expected symbol streams.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string kDir = BRISOMEL_TEST_SOURCE_DIR "/html/reader/render/";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string RunTool(const std::string& command, int* status) {
  std::string out;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  *status = pclose(pipe);
  return out;
}

TEST(RenderTokens, PrintsExpectedStreams) {
  for (const char* name : {"page", "open_comment", "scripts"}) {
    int status = -1;
    std::string out = RunTool(std::string(BRISOMEL_RENDER) + " --tokens " + kDir + name + ".htm", &status);
    EXPECT_EQ(status, 0) << name;
    EXPECT_EQ(out, ReadFile(kDir + name + ".tokens")) << name;
  }
}

TEST(RenderTokens, MissingFileAndBadUsageFail) {
  int status = 0;
  EXPECT_EQ(RunTool(std::string(BRISOMEL_RENDER) + " --tokens " + kDir + "missing.htm 2>/dev/null", &status), "");
  EXPECT_NE(status, 0);
  RunTool(std::string(BRISOMEL_RENDER) + " --nonsense 2>/dev/null", &status);
  EXPECT_NE(status, 0);
}

}  // namespace
