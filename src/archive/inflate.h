// Deflate decoder (RFC 1951) for archive entries: table driven, reading from a bounded source
// and writing through a sliding window.
//
// Format notes this decoder relies on:
// - Codes are at most 15 bits; literal/length symbols 286 and 287 and distance symbols 30 and
//   31 never occur in valid data and decode as invalid codes.
// - A distance reaches at most 32768 bytes back, so the window keeps the last 32768 output bytes.
// - Stored blocks: LEN is used as given; NLEN is read and ignored.
//
// Decoding of a stream ends, with its own outcome, when the data runs out inside a block, at
// block type 3, at an invalid code or bad code lengths, at a distance reaching before the first
// output byte of the stream, or when the output would pass the given limit. Bytes still pending
// in the window when such a fault ends decoding are not written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace brisomel {

enum class InflateResult {
  kOk,              // the final block ended
  kTruncated,       // the data ran out before the final block ended
  kBlockType3,      // reserved block type
  kBadCodeLengths,  // code lengths that make no usable code, or a run past the declared count
  kInvalidCode,     // a bit pattern that no code of the block's tables uses
  kDistanceTooFar,  // a distance reaching before the stream's first output byte
  kTooMuchOutput,   // the output would pass the limit
};

const char* InflateResultName(InflateResult result);

// Where compressed bytes come from. Read returns up to `max` bytes, 0 when no more follow.
class InflateSource {
 public:
  virtual ~InflateSource() = default;
  virtual int32_t Read(uint8_t* buffer, int32_t max) = 0;
};

// Where decoded bytes go, in chunks of at most 65536 bytes.
class InflateSink {
 public:
  virtual ~InflateSink() = default;
  virtual void Write(const uint8_t* bytes, size_t count) = 0;
};

// One entry of a lookup table.
struct HuffmanCode {
  // 0..13: a length or distance base follows with this many extra bits; 15: end of block;
  // 16: literal byte; 99: invalid code; 17 and above: a sub-table with (op - 16) index bits.
  uint8_t op = 99;
  uint8_t bits = 0;  // code bits this entry consumes
  uint16_t val = 0;  // literal, base, or offset of the sub-table in the table set
};

inline constexpr uint8_t kOpEndOfBlock = 15;
inline constexpr uint8_t kOpLiteral = 16;
inline constexpr uint8_t kOpInvalid = 99;

// A primary table of 2^width entries followed by its sub-tables.
struct HuffmanTable {
  std::vector<HuffmanCode> codes;
  int width = 0;
};

// Builds the table set of a canonical code. `lengths` holds `count` code lengths (0..15);
// symbols below `simple` are literals (256 is end of block), the others take
// base[sym - simple] and extra[sym - simple]. The primary width is `requested` raised to the
// shortest and lowered to the longest length present.
// Result: 0 complete; 1 incomplete (codes missing, unless the set is one code of length 1);
// 2 over-subscribed or bad lengths; 3 out of memory. All-zero lengths: 0, width 0, and a table
// whose single slot is invalid.
int BuildHuffmanTable(const uint8_t* lengths, int count, int simple, const uint16_t* base,
                      const uint8_t* extra, int requested, HuffmanTable& table);

class Inflater {
 public:
  static constexpr uint64_t kNoLimit = std::numeric_limits<uint64_t>::max();

  Inflater();

  // Decodes one stream from `source` into `sink`, writing at most `limit` bytes.
  InflateResult Inflate(InflateSource& source, InflateSink& sink, uint64_t limit = kNoLimit);

  // Bytes decoded by the last Inflate (including bytes not written because a fault ended it).
  uint64_t total_out() const { return base_total_ + pos_; }
  // The fast path decodes whole symbols from buffered input without per-bit checks; turning it
  // off leaves the simple decoder, which checks it.
  void set_fast_path(bool on) { fast_path_ = on; }

 private:
  static constexpr int kWindow = 32768;
  static constexpr int kBufferSize = 2 * kWindow;
  static constexpr int kInputChunk = 32768;
  static constexpr int kSlack = 16;  // room for 8-byte copies that overrun a match's end

  InflateResult InflateBlock(bool& final_block);
  InflateResult InflateStored();
  InflateResult InflateFixed();
  InflateResult InflateDynamic();
  InflateResult InflateCodes(const HuffmanTable& lit, const HuffmanTable& dist);
  InflateResult FastCodes(const HuffmanTable& lit, const HuffmanTable& dist, bool& block_end);

  // Input: bytes buffered from the source, and the bit buffer in front of them.
  bool Refill();
  int NextByte();
  bool NeedBits(int n);
  uint32_t Bits(int n) const { return static_cast<uint32_t>(bitbuf_ & ((uint64_t{1} << n) - 1)); }
  void DumpBits(int n) {
    bitbuf_ >>= n;
    bitcnt_ -= n;
  }
  // Decodes one code with the simple path; false when the data ran out.
  bool DecodeSlow(const HuffmanTable& table, HuffmanCode& code);

  // Output.
  InflateResult PutByte(uint8_t byte);
  InflateResult CopyMatch(uint32_t length, uint32_t distance);
  void FlushWindow();
  uint64_t Produced() const { return base_total_ + pos_; }

  InflateSource* source_ = nullptr;
  InflateSink* sink_ = nullptr;
  uint64_t limit_ = kNoLimit;
  bool fast_path_ = true;
  bool source_done_ = false;

  std::vector<uint8_t> input_;
  int in_pos_ = 0;
  int in_end_ = 0;
  uint64_t bitbuf_ = 0;
  int bitcnt_ = 0;

  std::vector<uint8_t> window_;
  int pos_ = 0;              // next free byte of the window
  int flushed_ = 0;          // window bytes before this are written
  uint64_t base_total_ = 0;  // output count at window index 0

  HuffmanTable fixed_lit_, fixed_dist_;
  bool fixed_built_ = false;
};

// Decodes a whole buffer; for tests, fuzzing and benchmarks.
InflateResult InflateBuffer(const uint8_t* data, size_t size, std::vector<uint8_t>& out,
                            uint64_t limit = Inflater::kNoLimit, bool fast_path = true);

}  // namespace brisomel
