// Fuzzes the tokenizer through all its readers and input sources, with an include handler that
// returns fuzzed buffers. The page may start with a byte-order mark the flags choose, so UTF-16
// pages are read too. Checks that every symbol consumes input (no hang), that token texts stay
// short and are never cut inside a surrogate pair, and that the attribute texts convert without
// fault.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "html/reader/text_utils.h"
#include "html/reader/token_dump.h"
#include "html/reader/tokenizer.h"
#include "text/utf.h"

namespace {

using namespace brisomel;

class MemoryFile : public File {
 public:
  explicit MemoryFile(const std::string& data) : data_(data) {}
  int32_t Read(void* buffer, int32_t count) override {
    size_t n = std::min(static_cast<size_t>(count), data_.size() - pos_);
    std::copy_n(data_.data() + pos_, n, static_cast<char*>(buffer));
    pos_ += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  bool Seek(int64_t) override { return false; }
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  bool Close() override { return true; }

 private:
  const std::string& data_;
  size_t pos_ = 0;
};

class MemoryStream : public TInputStream {
 public:
  MemoryStream(const std::string& data, bool short_reads) : data_(data), short_reads_(short_reads) {}
  int32_t Read(void* buffer, int32_t count) override {
    size_t want = short_reads_ ? std::min<size_t>(static_cast<size_t>(count), 7) : static_cast<size_t>(count);
    size_t n = std::min(want, data_.size() - pos_);
    std::copy_n(data_.data() + pos_, n, static_cast<char*>(buffer));
    pos_ += n;
    return static_cast<int32_t>(n);
  }

 private:
  const std::string& data_;
  bool short_reads_;
  size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const uint8_t flags = input.ConsumeIntegral<uint8_t>();
  std::vector<std::string> includes(input.ConsumeIntegralInRange<size_t>(0, 3));
  for (auto& buffer : includes) buffer = input.ConsumeRandomLengthString(512);
  const std::string modes = input.ConsumeRandomLengthString(32);
  static const char* const kMarks[] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
  const std::string html = kMarks[flags >> 6] + input.ConsumeBytesAsString(input.remaining_bytes());

  Tokenizer tokenizer;
  size_t include_calls = 0;
  size_t include_bytes = 0;
  if (flags & 0x10) {
    tokenizer.SetIncludeHandler(
        [&](void*, const std::string&, const std::vector<std::string>& params, std::string& buffer) {
          for (const auto& p : params)
            if (p.size() < 3) abort();  // NAME="value"
          if (!includes.empty()) buffer = includes[include_calls % includes.size()];
          include_bytes += buffer.size();
          ++include_calls;
        },
        nullptr);
  }

  std::vector<std::string> lines;
  MemoryFile file(html);
  MemoryStream stream(html, flags & 0x20);
  switch (flags & 3) {
    case 0: tokenizer.SetInputBuffer(html.data(), html.size()); break;
    case 1: tokenizer.SetInputFile(file); break;
    case 2: tokenizer.SetInputStream(stream); break;
    case 3: {
      size_t start = 0;
      for (size_t i = 0; i <= html.size(); ++i)
        if (i == html.size() || html[i] == '\n') {
          lines.push_back(html.substr(start, i - start));
          start = i + 1;
        }
      tokenizer.SetInputStrings(lines);
      break;
    }
  }

  size_t symbols = 0;
  try {
    tokenizer.Advance();
    tokenizer.InPre = flags & 4;
    for (;;) {
      const char mode = modes.empty() ? 0 : modes[symbols % modes.size()] % 3;
      tokenizer.InScript = mode == 2;
      if (mode == 0) tokenizer.NextSymbol();
      else if (mode == 1) tokenizer.NextTextAreaSymbol();
      else tokenizer.NextScriptSymbol();
      ++symbols;

      if (tokenizer.TokenText.size() > Tokenizer::kTokenTextLength) abort();
      if (!tokenizer.TokenText.empty() && IsHighSurrogate(tokenizer.TokenText.back()) &&
          IsLowSurrogate(tokenizer.Ch))
        abort();
      if (tokenizer.Symbol >= kSymbolCount || tokenizer.HeadingLevel < 0 || tokenizer.HeadingLevel > 6) abort();
      // Every symbol but the last consumes at least one character of the input or of an
      // include buffer (a string list adds one CR per line).
      if (symbols > html.size() + lines.size() + include_bytes + 2) abort();
      if (flags & 8) {
        (void)DumpSymbol(tokenizer);
        for (const auto& attribute : tokenizer.Attributes) {
          (void)ColorFromText(attribute->Text);
          (void)UrlToLocalPathWithRoot(Utf16ToUtf8(attribute->Text), "R:");
        }
      }
      if (tokenizer.Symbol == symEof) break;
    }
  } catch (const EParseError&) {
  }
  return 0;
}
