#include "archive/inflate.h"

#include <gtest/gtest.h>

#include <functional>

#include "archive_fixtures.h"

namespace brisomel {
namespace {

using testing::BitWriter;
using testing::Bytes;

// Decodes with both the fast path and the simple decoder and expects the same outcome.
InflateResult InflateBoth(const Bytes& stream, Bytes& out, uint64_t limit = Inflater::kNoLimit) {
  Bytes simple;
  InflateResult fast_result = InflateBuffer(stream.data(), stream.size(), out, limit, true);
  InflateResult simple_result = InflateBuffer(stream.data(), stream.size(), simple, limit, false);
  EXPECT_EQ(fast_result, simple_result);
  EXPECT_EQ(out, simple);
  return fast_result;
}

void ExpectRoundTrip(const Bytes& data, int level, int strategy = Z_DEFAULT_STRATEGY) {
  const Bytes stream = testing::Deflate(data, level, strategy);
  Bytes out;
  ASSERT_EQ(InflateBoth(stream, out), InflateResult::kOk);
  ASSERT_EQ(out.size(), data.size());
  EXPECT_TRUE(out == data) << "size " << data.size() << " level " << level;
}

TEST(InflateAgreesWithZlib, Corpus) {
  struct Case {
    const char* what;
    Bytes data;
  };
  const Case cases[] = {
      {"empty", {}},
      {"one byte", {'x'}},
      {"32767 text", testing::MixedText(32767, 1)},
      {"32768 text", testing::MixedText(32768, 2)},
      {"32769 text", testing::MixedText(32769, 3)},
      {"65536 + 1 text", testing::MixedText(65537, 4)},
      {"incompressible", testing::RandomBytes(100000, 5)},
      {"one repeated byte", Bytes(200000, 'a')},
      {"short period",
       [] {
         Bytes b(70000);
         for (size_t i = 0; i < b.size(); ++i) b[i] = "abcdefg"[i % 7];
         return b;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (int level : {0, 1, 6, 9}) ExpectRoundTrip(c.data, level);
    ExpectRoundTrip(c.data, 9, Z_FIXED);
    ExpectRoundTrip(c.data, 9, Z_HUFFMAN_ONLY);
    ExpectRoundTrip(c.data, 9, Z_RLE);
  }
}

TEST(InflateAgreesWithZlib, SeveralMegabytes) {
  const Bytes text = testing::MixedText(5 << 20, 11);
  ExpectRoundTrip(text, 6);
  Bytes mixed = testing::MixedText(1 << 20, 12);
  const Bytes noise = testing::RandomBytes(1 << 20, 13);
  mixed.insert(mixed.end(), noise.begin(), noise.end());
  ExpectRoundTrip(mixed, 1);
}

TEST(InflateAgreesWithZlib, RandomInputsAtEveryLevel) {
  std::mt19937 rng(2026);
  for (int i = 0; i < 3000; ++i) {
    const size_t size = rng() % (i % 10 == 0 ? 70000 : 3000);
    Bytes data =
        (rng() % 3 == 0) ? testing::RandomBytes(size, rng()) : testing::MixedText(size, rng());
    // A small alphabet gives long matches and short codes.
    if (rng() % 4 == 0) {
      for (auto& b : data) b = 'a' + b % (1 + rng() % 4);
    }
    const int level = i % 10;
    const int strategy = (i / 10) % 4 == 3 ? Z_FIXED : Z_DEFAULT_STRATEGY;
    ExpectRoundTrip(data, level, strategy);
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "input " << i;
      return;
    }
  }
}

// The farthest distance the format allows: zlib never makes it, so the stream is written here.
TEST(Inflate, DistanceOf32768RepeatsTheByteWrittenThatFarBack) {
  const Bytes first = testing::RandomBytes(32768, 21);
  BitWriter w;
  w.BlockHeader(false, 0);
  w.AlignToByte();
  w.Bits(32768, 16);
  w.Bits(~32768u & 0xFFFF, 16);
  for (uint8_t b : first) w.Byte(b);
  w.BlockHeader(true, 1);
  w.Fixed(285);  // length 258
  w.FixedDistance(29);
  w.Bits(32768 - 24577, 13);
  w.Fixed(256);
  Bytes out;
  ASSERT_EQ(InflateBoth(w.Finish(), out), InflateResult::kOk);
  Bytes expected = first;
  expected.insert(expected.end(), first.begin(), first.begin() + 258);
  EXPECT_TRUE(out == expected);
}

// Streams that end decoding, each with its outcome and the output written before it.
TEST(Inflate, MalformedStreams) {
  struct Case {
    const char* what;
    std::function<void(BitWriter&)> write;
    InflateResult result;
    size_t written;
  };
  const Case cases[] = {
      {"no data", [](BitWriter&) {}, InflateResult::kTruncated, 0},
      {"block type 3", [](BitWriter& w) { w.BlockHeader(true, 3); }, InflateResult::kBlockType3, 0},
      {"block type 3 after a stored block",
       [](BitWriter& w) {
         w.BlockHeader(false, 0);
         w.AlignToByte();
         w.Bits(1, 16);
         w.Bits(0xFFFE, 16);
         w.Byte('a');
         w.BlockHeader(false, 3);
       },
       InflateResult::kBlockType3, 0},
      {"stored block shorter than its length",
       [](BitWriter& w) {
         w.BlockHeader(true, 0);
         w.AlignToByte();
         w.Bits(10, 16);
         w.Bits(0, 16);
         for (int i = 0; i < 5; ++i) w.Byte('s');
       },
       InflateResult::kTruncated, 0},
      {"stored block whose NLEN does not match is taken as its LEN says",
       [](BitWriter& w) {
         w.BlockHeader(true, 0);
         w.AlignToByte();
         w.Bits(2, 16);
         w.Bits(1234, 16);
         w.Byte('o');
         w.Byte('k');
       },
       InflateResult::kOk, 2},
      {"fixed block without end of block",
       [](BitWriter& w) {
         w.BlockHeader(true, 1);
         for (int i = 0; i < 50; ++i) w.Fixed('z');
       },
       InflateResult::kTruncated, 0},
      {"no final block",
       [](BitWriter& w) {
         w.BlockHeader(false, 1);
         w.Fixed('a');
         w.Fixed(256);
       },
       InflateResult::kTruncated, 0},
      {"literal/length symbol 286",
       [](BitWriter& w) {
         w.BlockHeader(true, 1);
         w.Fixed('a');
         w.Fixed(286);
       },
       InflateResult::kInvalidCode, 0},
      {"distance symbol 30",
       [](BitWriter& w) {
         w.BlockHeader(true, 1);
         w.Fixed('a');
         w.Fixed(257);
         w.FixedDistance(30);
         w.Fixed(256);
       },
       InflateResult::kInvalidCode, 0},
      {"distance before the first output byte",
       [](BitWriter& w) {
         w.BlockHeader(true, 1);
         w.Fixed('a');
         w.Fixed(257);        // length 3
         w.FixedDistance(1);  // distance 2
         w.Fixed(256);
       },
       InflateResult::kDistanceTooFar, 0},
      {"distance before the first output byte, far into the stream",
       [](BitWriter& w) {
         w.BlockHeader(true, 1);
         for (int i = 0; i < 1000; ++i) w.Fixed('a' + i % 26);
         w.Fixed(257);
         w.FixedDistance(19);  // 769 + up to 511
         w.Bits(255, 8);       // 1024
         w.Fixed(256);
       },
       InflateResult::kDistanceTooFar, 0},
      {"over-subscribed code-length code",
       [](BitWriter& w) {
         w.BlockHeader(true, 2);
         w.Bits(0, 5);
         w.Bits(0, 5);
         w.Bits(0, 4);  // four code-length lengths
         for (int i = 0; i < 4; ++i) w.Bits(1, 3);
       },
       InflateResult::kBadCodeLengths, 0},
      {"incomplete literal/length code",
       [](BitWriter& w) {
         w.BlockHeader(true, 2);
         w.Bits(0, 5);  // 257 lengths
         w.Bits(0, 5);  // 1 distance length
         w.Bits(12,
                4);  // 16 code-length lengths, in the order 16 17 18 0 8 7 9 6 10 5 11 4 12 3 13 2
         for (int i = 0; i < 16; ++i) w.Bits((i == 3 || i == 15) ? 1 : 0, 3);
         // Code-length symbol 0 is code 0, symbol 2 is code 1: two literals of length 2 and
         // nothing else leave half the code unused.
         w.Code(1, 1);
         w.Code(1, 1);
         for (int i = 2; i < 258; ++i) w.Code(0, 1);
       },
       InflateResult::kBadCodeLengths, 0},
      {"repeat past the declared count",
       [](BitWriter& w) {
         w.BlockHeader(true, 2);
         w.Bits(0, 5);
         w.Bits(0, 5);
         w.Bits(0, 4);  // lengths for 16, 17, 18, 0
         w.Bits(0, 3);
         w.Bits(0, 3);
         w.Bits(1, 3);  // 18: code 0
         w.Bits(1, 3);  // 0: code 1
         for (int i = 0; i < 3; ++i) {
           w.Code(1, 1);    // symbol 18 (symbol 0 is code 0)
           w.Bits(127, 7);  // 138 zeros each: 414 > 258
         }
       },
       InflateResult::kBadCodeLengths, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BitWriter w;
    c.write(w);
    Bytes out;
    EXPECT_EQ(InflateBoth(w.Finish(), out), c.result) << c.what;
    EXPECT_EQ(out.size(), c.written);
  }
}

TEST(Inflate, StopsAtTheLimitWithoutWritingPastIt) {
  const Bytes data = testing::MixedText(300000, 31);
  const Bytes stream = testing::Deflate(data, 6);
  for (uint64_t limit :
       {uint64_t{0}, uint64_t{1}, uint64_t{65535}, uint64_t{65536}, uint64_t{299999}}) {
    Bytes out;
    EXPECT_EQ(InflateBoth(stream, out, limit), InflateResult::kTooMuchOutput) << limit;
    EXPECT_LE(out.size(), limit);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin()));
  }
  Bytes out;
  EXPECT_EQ(InflateBoth(stream, out, data.size()), InflateResult::kOk);
  EXPECT_EQ(out.size(), data.size());
}

TEST(Inflate, TrailingBytesAfterTheFinalBlockAreLeft) {
  Bytes stream = testing::Deflate(testing::ToBytes("hello hello hello"), 9);
  stream.insert(stream.end(), 100, 0xFF);
  Bytes out;
  EXPECT_EQ(InflateBoth(stream, out), InflateResult::kOk);
  EXPECT_EQ(out, testing::ToBytes("hello hello hello"));
}

TEST(BuildHuffmanTable, ReportsCompleteIncompleteAndOverSubscribedSets) {
  struct Case {
    std::vector<uint8_t> lengths;
    int result;
    int width;
  };
  const Case cases[] = {
      {{1, 1}, 0, 1},
      {{1}, 0, 1},  // one code of length 1 counts as complete
      {{2}, 1, 2},  // incomplete
      {{1, 2, 2}, 0, 2},
      {{1, 1, 1}, 2, -1},  // over-subscribed
      {{0, 0, 0}, 0, 0},   // no codes: no table
      {{16}, 2, -1},       // longer than the format allows
      {{3, 3, 3, 3, 3, 3, 3, 3}, 0, 3},
  };
  for (const Case& c : cases) {
    HuffmanTable table;
    const int result =
        BuildHuffmanTable(c.lengths.data(), static_cast<int>(c.lengths.size()),
                          static_cast<int>(c.lengths.size()), nullptr, nullptr, 7, table);
    EXPECT_EQ(result, c.result);
    if (c.width >= 0) {
      EXPECT_EQ(table.width, c.width);
    }
  }
}

}  // namespace
}  // namespace brisomel
