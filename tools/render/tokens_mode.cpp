// --tokens FILE: reads FILE through the tokenizer's file source and prints each symbol that
// NextSymbol delivers, in the form of html/reader/token_dump.h, ending with the symEof line or
// with `error "message"` when the tokenizer raises.
#include <cstdio>
#include <string>
#include <vector>

#include "html/reader/token_dump.h"
#include "modes.h"

namespace brisomel::render {
namespace {

// A read-only file through stdio, enough for the tokenizer's file source.
class StdioFile : public File {
 public:
  explicit StdioFile(std::FILE* f) : f_(f) {}
  ~StdioFile() override { Close(); }
  int32_t Read(void* buffer, int32_t count) override {
    return f_ ? static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(count), f_)) : 0;
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  bool Seek(int64_t offset) override {
    return f_ && std::fseek(f_, static_cast<long>(offset), SEEK_SET) == 0;
  }
  int64_t Size() override { return -1; }
  bool Close() override {
    bool ok = !f_ || std::fclose(f_) == 0;
    f_ = nullptr;
    return ok;
  }

 private:
  std::FILE* f_;
};

}  // namespace

int TokensMode(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: brisomel-render --tokens FILE\n");
    return 2;
  }
  std::FILE* f = std::fopen(args[0].c_str(), "rb");
  if (!f) {
    std::fprintf(stderr, "brisomel-render: cannot open %s\n", args[0].c_str());
    return 1;
  }
  StdioFile file(f);
  Tokenizer tokenizer;
  tokenizer.SetInputFile(file);
  DumpSymbolStream(tokenizer, [](const std::string& lines) {
    std::fwrite(lines.data(), 1, lines.size(), stdout);
  });
  return 0;
}

}  // namespace brisomel::render
