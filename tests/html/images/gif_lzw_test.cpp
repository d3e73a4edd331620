#include "html/images/gif_lzw.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "gif_builder.h"

namespace brisomel {
namespace {

using test::BitPacker;
using test::Bytes;
using Result = TGifLzwDecoder::Result;

struct Decoded {
  std::vector<uint8_t> out;
  TGifLzwDecoder::Outcome outcome;
};

Decoded DecodeAll(const Bytes& data, int min_code_size, size_t count) {
  auto lzw = std::make_unique<TGifLzwDecoder>();
  std::vector<uint8_t> out(count + TGifLzwDecoder::kOutputSlack, 0xEE);
  auto outcome = lzw->Decode(data, min_code_size, out.data(), count);
  out.resize(outcome.written);
  return {out, outcome};
}

// Codes with their widths, as an encoder with minimum code size 2 would write them.
Bytes Codes(std::initializer_list<std::pair<uint32_t, int>> codes) {
  BitPacker p;
  for (auto [code, width] : codes) p.Put(code, width);
  return p.Finish();
}

TEST(GifLzw, SmallStreams) {
  struct Case {
    const char* name;
    Bytes data;
    int min_code_size;
    size_t count;
    std::vector<uint8_t> out;
    Result result;
  } cases[] = {
      {"literals then end",
       Codes({{4, 3}, {1, 3}, {2, 3}, {5, 3}}),
       2,
       9,
       {1, 2},
       Result::kEndCode},
      {"leading clear codes skipped",
       Codes({{4, 3}, {4, 3}, {3, 3}, {5, 3}}),
       2,
       9,
       {3},
       Result::kEndCode},
      {"string code",
       Codes({{4, 3}, {1, 3}, {2, 3}, {6, 3}, {5, 3}}),
       2,
       9,
       {1, 2, 1, 2},
       Result::kEndCode},
      // A code equal to the next free one: the previous string plus its first byte.
      {"kwkwk",
       Codes({{4, 3}, {1, 3}, {6, 3}, {7, 3}, {5, 3}}),
       2,
       9,
       {1, 1, 1, 1, 1, 1},
       Result::kEndCode},
      {"stops when full",
       Codes({{4, 3}, {1, 3}, {6, 3}, {7, 3}}),
       2,
       4,
       {1, 1, 1, 1},
       Result::kFilled},
      // The padding bits of the last byte read as two more codes 0.
      {"data ends", Codes({{4, 3}, {1, 3}, {2, 3}}), 2, 9, {1, 2, 0, 0}, Result::kDataEnded},
      {"empty data", {}, 2, 9, {}, Result::kDataEnded},
      {"string code first", Codes({{4, 3}, {6, 3}}), 2, 9, {}, Result::kBadCode},
      {"code past the next free one", Codes({{4, 3}, {1, 3}, {7, 3}}), 2, 9, {1}, Result::kBadCode},
      {"code size 0", Codes({{1, 1}}), 0, 9, {}, Result::kBadCodeSize},
      {"code size 9", Codes({{1, 1}}), 9, 9, {}, Result::kBadCodeSize},
      // Width grows to 4 bits once the next free code reaches 8.
      {"width grows",
       Codes({{4, 3}, {0, 3}, {1, 3}, {2, 3}, {3, 4}, {5, 4}}),
       2,
       9,
       {0, 1, 2, 3},
       Result::kEndCode},
      {"code size 1",
       Codes({{2, 2}, {1, 2}, {0, 2}, {4, 3}, {3, 3}}),
       1,
       9,
       {1, 0, 1, 0},
       Result::kEndCode},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Decoded d = DecodeAll(c.data, c.min_code_size, c.count);
    EXPECT_EQ(d.out, c.out);
    EXPECT_EQ(d.outcome.result, c.result);
  }
}

// A plain LZW encoder (dictionary of strings); once the table is full it keeps coding with 12
// bits and sends no clear code, as encoders that defer the clear do.
Bytes Encode(const std::vector<uint8_t>& in, int min_code_size, bool clear_when_full) {
  const uint32_t clear = 1u << min_code_size;
  // Strings of bytes as std::string keys.
  std::map<std::string, uint32_t> dict;
  uint32_t next = 0;
  int width = 0;
  BitPacker p;
  auto reset = [&] {
    dict.clear();
    for (uint32_t i = 0; i < clear; ++i) dict.emplace(std::string(1, char(i)), i);
    next = clear + 2;
    width = min_code_size + 1;
  };
  reset();
  p.Put(clear, width);
  std::string w;
  for (uint8_t c : in) {
    std::string wc = w + char(c);
    if (dict.count(wc)) {
      w = wc;
      continue;
    }
    p.Put(dict[w], width);
    if (next < 4096) {
      dict[wc] = next++;
      if (next > (1u << width) && width < 12) ++width;
    } else if (clear_when_full) {
      p.Put(clear, width);
      reset();
    }
    w = std::string(1, char(c));
  }
  if (!w.empty()) p.Put(dict[w], width);
  p.Put(clear + 1, width);
  return p.Finish();
}

TEST(GifLzw, RoundTripsThroughFullTables) {
  std::mt19937 rng(7);
  for (int min_code_size : {2, 4, 8}) {
    for (bool clear_when_full : {false, true}) {
      SCOPED_TRACE(testing::Message() << min_code_size << " " << clear_when_full);
      std::vector<uint8_t> in(60000);
      // Runs and noise, so that strings of every length appear and the table fills.
      for (size_t i = 0; i < in.size(); ++i) {
        in[i] = uint8_t(rng() % 5 == 0 ? rng() : (i / 7)) & uint8_t((1 << min_code_size) - 1);
      }
      Bytes data = Encode(in, min_code_size, clear_when_full);
      Decoded d = DecodeAll(data, min_code_size, in.size());
      EXPECT_EQ(d.outcome.result, TGifLzwDecoder::Result::kFilled);
      ASSERT_EQ(d.out, in);
    }
  }
}

}  // namespace
}  // namespace brisomel
