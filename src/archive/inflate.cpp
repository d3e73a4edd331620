// Deflate decoding: canonical Huffman tables with one level of sub-tables, a simple decoder
// that checks every bit it takes, and a fast path that decodes whole symbols while enough input
// and window room are at hand.
#include "archive/inflate.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace brisomel {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the fast path loads input words little-endian");

constexpr int kMaxCodeBits = 15;  // the format's longest code
constexpr int kMaxMatch = 258;    // the format's longest match

// Length symbols 257..287 and distance symbols 0..31 (RFC 1951, 3.2.5). The last entries of
// each table are symbols that valid data never uses: they decode as invalid codes.
constexpr uint16_t kLengthBase[31] = {3,  4,   5,   6,   7,   8,   9,   10, 11, 13, 15,
                                      17, 19,  23,  27,  31,  35,  43,  51, 59, 67, 83,
                                      99, 115, 131, 163, 195, 227, 258, 0,  0};
constexpr uint8_t kLengthExtra[31] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,  2, 2,
                                      3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 99, 99};
constexpr uint16_t kDistanceBase[32] = {
    1,   2,   3,   4,   5,    7,    9,    13,   17,   25,   33,   49,    65,    97,    129, 193,
    257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 0,   0};
constexpr uint8_t kDistanceExtra[32] = {0, 0, 0, 0, 1, 1, 2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                        7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 99, 99};
// Order in which the code-length code's lengths are sent.
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                          11, 4,  12, 3, 13, 2, 14, 1, 15};

uint32_t ReverseBits(uint32_t code, int length) {
  uint32_t reversed = 0;
  for (int i = 0; i < length; ++i) {
    reversed = (reversed << 1) | (code & 1);
    code >>= 1;
  }
  return reversed;
}

}  // namespace

const char* InflateResultName(InflateResult result) {
  switch (result) {
    case InflateResult::kOk:
      return "ok";
    case InflateResult::kTruncated:
      return "data ended inside a block";
    case InflateResult::kBlockType3:
      return "reserved block type";
    case InflateResult::kBadCodeLengths:
      return "bad code lengths";
    case InflateResult::kInvalidCode:
      return "invalid code";
    case InflateResult::kDistanceTooFar:
      return "distance too far back";
    case InflateResult::kTooMuchOutput:
      return "more output than the size given";
  }
  return "?";
}

int BuildHuffmanTable(const uint8_t* lengths, int count, int simple, const uint16_t* base,
                      const uint8_t* extra, int requested, HuffmanTable& table) {
  int per_length[kMaxCodeBits + 1] = {};
  for (int sym = 0; sym < count; ++sym) {
    if (lengths[sym] > kMaxCodeBits) return 2;
    ++per_length[lengths[sym]];
  }
  table.codes.clear();
  int longest = kMaxCodeBits;
  while (longest > 0 && per_length[longest] == 0) --longest;
  if (longest == 0) {
    table.width = 0;
    table.codes.assign(1, HuffmanCode{kOpInvalid, 0, 0});
    return 0;
  }
  int shortest = 1;
  while (per_length[shortest] == 0) ++shortest;
  const int root = std::clamp(requested, shortest, longest);

  int left = 1;  // codes of the current length still free
  for (int len = 1; len <= kMaxCodeBits; ++len) {
    left = (left << 1) - per_length[len];
    if (left < 0) return 2;  // over-subscribed
  }
  const int result = (left > 0 && !(longest == 1 && per_length[1] == 1)) ? 1 : 0;

  // First canonical code of each length.
  uint32_t next_code[kMaxCodeBits + 2] = {};
  per_length[0] = 0;
  uint32_t code = 0;
  for (int len = 1; len <= kMaxCodeBits; ++len) {
    code = (code + per_length[len - 1]) << 1;
    next_code[len] = code;
  }

  // The decoder reads codes least significant bit first, so tables are indexed by reversed
  // codes. Codes longer than the root share a sub-table per root-bit prefix, as wide as the
  // longest code under that prefix needs.
  const uint32_t root_size = 1u << root;
  table.width = root;
  table.codes.assign(root_size, HuffmanCode{kOpInvalid, static_cast<uint8_t>(root), 0});
  std::vector<uint32_t> reversed(count);
  std::vector<uint8_t> sub_width(root_size, 0);
  for (int sym = 0; sym < count; ++sym) {
    int len = lengths[sym];
    if (len == 0) continue;
    reversed[sym] = ReverseBits(next_code[len]++, len);
    if (len > root) {
      uint8_t& w = sub_width[reversed[sym] & (root_size - 1)];
      w = std::max<uint8_t>(w, static_cast<uint8_t>(len - root));
    }
  }
  for (uint32_t prefix = 0; prefix < root_size; ++prefix) {
    int w = sub_width[prefix];
    if (w == 0) continue;
    size_t offset = table.codes.size();
    if (offset + (size_t{1} << w) > 0xFFFF) return 3;
    table.codes.resize(offset + (size_t{1} << w),
                       HuffmanCode{kOpInvalid, static_cast<uint8_t>(w), 0});
    table.codes[prefix] = HuffmanCode{static_cast<uint8_t>(16 + w), static_cast<uint8_t>(root),
                                      static_cast<uint16_t>(offset)};
  }
  for (int sym = 0; sym < count; ++sym) {
    int len = lengths[sym];
    if (len == 0) continue;
    HuffmanCode entry;
    if (sym < simple) {
      entry.op = sym == 256 ? kOpEndOfBlock : kOpLiteral;
      entry.val = static_cast<uint16_t>(sym);
    } else {
      entry.op = extra[sym - simple];
      entry.val = base[sym - simple];
    }
    uint32_t r = reversed[sym];
    if (len <= root) {
      entry.bits = static_cast<uint8_t>(len);
      for (uint32_t i = r; i < root_size; i += 1u << len) table.codes[i] = entry;
    } else {
      const HuffmanCode& link = table.codes[r & (root_size - 1)];
      const uint32_t sub_size = 1u << (link.op - 16);
      const size_t offset = link.val;
      entry.bits = static_cast<uint8_t>(len - root);
      for (uint32_t i = r >> root; i < sub_size; i += 1u << (len - root)) {
        table.codes[offset + i] = entry;
      }
    }
  }
  return result;
}

Inflater::Inflater() : input_(kInputChunk + 8), window_(kBufferSize + kSlack) {}

InflateResult Inflater::Inflate(InflateSource& source, InflateSink& sink, uint64_t limit) {
  source_ = &source;
  sink_ = &sink;
  limit_ = limit;
  source_done_ = false;
  in_pos_ = in_end_ = 0;
  bitbuf_ = 0;
  bitcnt_ = 0;
  pos_ = flushed_ = 0;
  base_total_ = 0;
  fixed_built_ = false;
  bool final_block = false;
  do {
    InflateResult result = InflateBlock(final_block);
    if (result != InflateResult::kOk) return result;
  } while (!final_block);
  FlushWindow();
  return InflateResult::kOk;
}

bool Inflater::Refill() {
  if (source_done_) return false;
  const int left = in_end_ - in_pos_;
  std::memmove(input_.data(), input_.data() + in_pos_, left);
  in_pos_ = 0;
  in_end_ = left;
  const int32_t got = source_->Read(input_.data() + left, kInputChunk);
  if (got <= 0) {
    source_done_ = true;
    return false;
  }
  in_end_ += std::min<int32_t>(got, kInputChunk);
  return true;
}

int Inflater::NextByte() {
  if (in_pos_ == in_end_ && !Refill()) return -1;
  return input_[in_pos_++];
}

bool Inflater::NeedBits(int n) {
  while (bitcnt_ < n) {
    int c = NextByte();
    if (c < 0) return false;
    bitbuf_ |= static_cast<uint64_t>(c) << bitcnt_;
    bitcnt_ += 8;
  }
  return true;
}

bool Inflater::DecodeSlow(const HuffmanTable& table, HuffmanCode& code) {
  // Missing bits read as zero for the lookup; a code found is only taken when all of its bits
  // are real.
  NeedBits(table.width);
  HuffmanCode entry = table.codes[Bits(table.width)];
  if (entry.bits > bitcnt_) return false;
  if (entry.op > kOpLiteral && entry.op != kOpInvalid) {
    DumpBits(entry.bits);
    const int sub = entry.op - 16;
    NeedBits(sub);
    entry = table.codes[entry.val + Bits(sub)];
    if (entry.bits > bitcnt_) return false;
  }
  DumpBits(entry.bits);
  code = entry;
  return true;
}

void Inflater::FlushWindow() {
  if (pos_ > flushed_) sink_->Write(window_.data() + flushed_, pos_ - flushed_);
  if (pos_ >= kBufferSize) {
    // Keep the last 32768 bytes: the farthest a distance reaches.
    std::memmove(window_.data(), window_.data() + pos_ - kWindow, kWindow);
    base_total_ += pos_ - kWindow;
    pos_ = kWindow;
  }
  flushed_ = pos_;
}

InflateResult Inflater::PutByte(uint8_t byte) {
  if (Produced() >= limit_) return InflateResult::kTooMuchOutput;
  window_[pos_++] = byte;
  if (pos_ == kBufferSize) FlushWindow();
  return InflateResult::kOk;
}

InflateResult Inflater::CopyMatch(uint32_t length, uint32_t distance) {
  // The window always holds at least min(output so far, 32768) bytes before pos_.
  if (distance > static_cast<uint32_t>(pos_)) return InflateResult::kDistanceTooFar;
  while (length > 0) {
    const uint64_t room = limit_ - Produced();
    if (room == 0) return InflateResult::kTooMuchOutput;
    uint32_t n = std::min<uint32_t>(length, kBufferSize - pos_);
    if (n > room) n = static_cast<uint32_t>(room);
    uint8_t* dest = window_.data() + pos_;
    const uint8_t* src = dest - distance;
    for (uint32_t i = 0; i < n; ++i) dest[i] = src[i];  // overlapping copies repeat bytes
    pos_ += n;
    length -= n;
    if (pos_ == kBufferSize) FlushWindow();
  }
  return InflateResult::kOk;
}

InflateResult Inflater::InflateBlock(bool& final_block) {
  if (!NeedBits(3)) return InflateResult::kTruncated;
  final_block = Bits(1) != 0;
  DumpBits(1);
  const uint32_t type = Bits(2);
  DumpBits(2);
  switch (type) {
    case 0:
      return InflateStored();
    case 1:
      return InflateFixed();
    case 2:
      return InflateDynamic();
    default:
      return InflateResult::kBlockType3;
  }
}

InflateResult Inflater::InflateStored() {
  DumpBits(bitcnt_ & 7);
  if (!NeedBits(32)) return InflateResult::kTruncated;
  uint32_t length = Bits(16);
  DumpBits(32);  // LEN, and NLEN, which plays no part
  while (length > 0 && bitcnt_ >= 8) {
    InflateResult result = PutByte(static_cast<uint8_t>(Bits(8)));
    if (result != InflateResult::kOk) return result;
    DumpBits(8);
    --length;
  }
  while (length > 0) {
    if (in_pos_ == in_end_ && !Refill()) return InflateResult::kTruncated;
    uint32_t n = std::min<uint32_t>({length, static_cast<uint32_t>(in_end_ - in_pos_),
                                     static_cast<uint32_t>(kBufferSize - pos_)});
    const uint64_t room = limit_ - Produced();
    const bool too_much = n > room;
    if (too_much) n = static_cast<uint32_t>(room);
    std::memcpy(window_.data() + pos_, input_.data() + in_pos_, n);
    pos_ += n;
    in_pos_ += n;
    length -= n;
    if (too_much) return InflateResult::kTooMuchOutput;
    if (pos_ == kBufferSize) FlushWindow();
  }
  return InflateResult::kOk;
}

InflateResult Inflater::InflateFixed() {
  if (!fixed_built_) {
    uint8_t lengths[288];
    std::fill(lengths, lengths + 144, 8);
    std::fill(lengths + 144, lengths + 256, 9);
    std::fill(lengths + 256, lengths + 280, 7);
    std::fill(lengths + 280, lengths + 288, 8);
    if (BuildHuffmanTable(lengths, 288, 257, kLengthBase, kLengthExtra, 7, fixed_lit_) != 0) {
      return InflateResult::kBadCodeLengths;
    }
    std::fill(lengths, lengths + 30, 5);
    // Thirty codes of five bits leave two unused: incomplete, and accepted.
    if (BuildHuffmanTable(lengths, 30, 0, kDistanceBase, kDistanceExtra, 5, fixed_dist_) > 1) {
      return InflateResult::kBadCodeLengths;
    }
    fixed_built_ = true;
  }
  return InflateCodes(fixed_lit_, fixed_dist_);
}

InflateResult Inflater::InflateDynamic() {
  if (!NeedBits(14)) return InflateResult::kTruncated;
  const int hlit = static_cast<int>(Bits(5)) + 257;
  DumpBits(5);
  const int hdist = static_cast<int>(Bits(5)) + 1;
  DumpBits(5);
  const int hclen = static_cast<int>(Bits(4)) + 4;
  DumpBits(4);

  uint8_t code_lengths[19] = {};
  for (int i = 0; i < hclen; ++i) {
    if (!NeedBits(3)) return InflateResult::kTruncated;
    code_lengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(Bits(3));
    DumpBits(3);
  }
  HuffmanTable length_table;
  if (BuildHuffmanTable(code_lengths, 19, 19, nullptr, nullptr, 7, length_table) != 0) {
    return InflateResult::kBadCodeLengths;
  }

  // Up to 288 + 32 lengths as the counts are read.
  uint8_t lengths[320] = {};
  const int total = hlit + hdist;
  int n = 0;
  uint8_t previous = 0;
  while (n < total) {
    HuffmanCode code;
    if (!DecodeSlow(length_table, code)) return InflateResult::kTruncated;
    if (code.op != kOpLiteral) return InflateResult::kInvalidCode;
    if (code.val < 16) {
      previous = static_cast<uint8_t>(code.val);
      lengths[n++] = previous;
      continue;
    }
    int repeat;
    uint8_t value = 0;
    if (code.val == 16) {
      if (!NeedBits(2)) return InflateResult::kTruncated;
      repeat = 3 + static_cast<int>(Bits(2));
      DumpBits(2);
      value = previous;
    } else if (code.val == 17) {
      if (!NeedBits(3)) return InflateResult::kTruncated;
      repeat = 3 + static_cast<int>(Bits(3));
      DumpBits(3);
    } else {
      if (!NeedBits(7)) return InflateResult::kTruncated;
      repeat = 11 + static_cast<int>(Bits(7));
      DumpBits(7);
    }
    if (code.val != 16) previous = 0;
    if (n + repeat > total) return InflateResult::kBadCodeLengths;
    std::fill(lengths + n, lengths + n + repeat, value);
    n += repeat;
  }

  HuffmanTable lit, dist;
  if (BuildHuffmanTable(lengths, hlit, 257, kLengthBase, kLengthExtra, 9, lit) != 0) {
    return InflateResult::kBadCodeLengths;
  }
  // An incomplete distance code is used as built; its unused slots are invalid codes.
  if (BuildHuffmanTable(lengths + hlit, hdist, 0, kDistanceBase, kDistanceExtra, 6, dist) > 1) {
    return InflateResult::kBadCodeLengths;
  }
  return InflateCodes(lit, dist);
}

InflateResult Inflater::InflateCodes(const HuffmanTable& lit, const HuffmanTable& dist) {
  for (;;) {
    if (fast_path_) {
      if (in_end_ - in_pos_ < 8) Refill();
      if (in_end_ - in_pos_ >= 8) {
        bool block_end = false;
        InflateResult result = FastCodes(lit, dist, block_end);
        if (result != InflateResult::kOk || block_end) return result;
      }
    }
    // One symbol the simple way: near the end of the input, the window or the limit.
    HuffmanCode code;
    if (!DecodeSlow(lit, code)) return InflateResult::kTruncated;
    if (code.op == kOpLiteral) {
      InflateResult result = PutByte(static_cast<uint8_t>(code.val));
      if (result != InflateResult::kOk) return result;
      continue;
    }
    if (code.op == kOpEndOfBlock) return InflateResult::kOk;
    if (code.op > kOpEndOfBlock) return InflateResult::kInvalidCode;
    if (!NeedBits(code.op)) return InflateResult::kTruncated;
    const uint32_t length = code.val + Bits(code.op);
    DumpBits(code.op);
    if (!DecodeSlow(dist, code)) return InflateResult::kTruncated;
    if (code.op >= kOpEndOfBlock) return InflateResult::kInvalidCode;
    if (!NeedBits(code.op)) return InflateResult::kTruncated;
    const uint32_t distance = code.val + Bits(code.op);
    DumpBits(code.op);
    InflateResult result = CopyMatch(length, distance);
    if (result != InflateResult::kOk) return result;
  }
}

// Entry assumptions: at least 8 input bytes are buffered. The loop runs while 8 more bytes can
// be loaded at once and a longest match still fits both the window and the output limit, so no
// check inside it looks at a single bit or byte. One refill gives at least 56 bits, enough for
// a length code with its extra bits and a distance code with its extra bits (at most 48).
InflateResult Inflater::FastCodes(const HuffmanTable& lit, const HuffmanTable& dist,
                                  bool& block_end) {
  const HuffmanCode* const lit_codes = lit.codes.data();
  const HuffmanCode* const dist_codes = dist.codes.data();
  const uint64_t lit_mask = (uint64_t{1} << lit.width) - 1;
  const uint64_t dist_mask = (uint64_t{1} << dist.width) - 1;
  uint8_t* const window = window_.data();
  uint8_t* out = window + pos_;
  const uint64_t room = limit_ - Produced();
  if (room < kMaxMatch) return InflateResult::kOk;
  uint8_t* out_last = window + kBufferSize - kMaxMatch;  // last start for a symbol
  if (out > out_last) return InflateResult::kOk;
  if (room - kMaxMatch < static_cast<uint64_t>(out_last - out)) out_last = out + (room - kMaxMatch);
  const uint8_t* in = input_.data() + in_pos_;
  const uint8_t* const in_last = input_.data() + in_end_ - 8;
  uint64_t bb = bitbuf_;
  int bc = bitcnt_;
  InflateResult result = InflateResult::kOk;

  while (in <= in_last && out <= out_last) {
    uint64_t word;
    std::memcpy(&word, in, 8);
    bb |= word << bc;
    in += (63 - bc) >> 3;
    bc |= 56;

    HuffmanCode e = lit_codes[bb & lit_mask];
    if (e.op > kOpLiteral) {
      if (e.op == kOpInvalid) {
        result = InflateResult::kInvalidCode;
        break;
      }
      bb >>= e.bits;
      bc -= e.bits;
      e = lit_codes[e.val + (bb & ((uint64_t{1} << (e.op - 16)) - 1))];
    }
    bb >>= e.bits;
    bc -= e.bits;
    if (e.op == kOpLiteral) {
      *out++ = static_cast<uint8_t>(e.val);
      continue;
    }
    if (e.op == kOpEndOfBlock) {
      block_end = true;
      break;
    }
    if (e.op > kOpEndOfBlock) {
      result = InflateResult::kInvalidCode;
      break;
    }
    const uint32_t length = e.val + static_cast<uint32_t>(bb & ((uint64_t{1} << e.op) - 1));
    bb >>= e.op;
    bc -= e.op;

    HuffmanCode d = dist_codes[bb & dist_mask];
    if (d.op > kOpLiteral && d.op != kOpInvalid) {
      bb >>= d.bits;
      bc -= d.bits;
      d = dist_codes[d.val + (bb & ((uint64_t{1} << (d.op - 16)) - 1))];
    }
    if (d.op >= kOpEndOfBlock) {
      result = InflateResult::kInvalidCode;
      break;
    }
    bb >>= d.bits;
    bc -= d.bits;
    const uint32_t distance = d.val + static_cast<uint32_t>(bb & ((uint64_t{1} << d.op) - 1));
    bb >>= d.op;
    bc -= d.op;
    if (distance > static_cast<uint32_t>(out - window)) {
      result = InflateResult::kDistanceTooFar;
      break;
    }
    const uint8_t* src = out - distance;
    uint8_t* const end = out + length;
    if (distance >= 8) {
      // Eight bytes at a time; each piece reads only bytes already in place. The last piece
      // may run up to 7 bytes past the match into the window's slack.
      do {
        std::memcpy(out, src, 8);
        out += 8;
        src += 8;
      } while (out < end);
    } else if (distance == 1) {
      std::memset(out, *src, length);
    } else {
      for (uint32_t i = 0; i < length; ++i) out[i] = src[i];
    }
    out = end;
  }

  pos_ = static_cast<int>(out - window);
  in_pos_ = static_cast<int>(in - input_.data());
  bitbuf_ = bc >= 64 ? bb : bb & ((uint64_t{1} << bc) - 1);
  bitcnt_ = bc;
  return result;
}

namespace {

class BufferSource : public InflateSource {
 public:
  BufferSource(const uint8_t* data, size_t size) : data_(data), left_(size) {}
  int32_t Read(uint8_t* buffer, int32_t max) override {
    const size_t n = std::min<size_t>(left_, static_cast<size_t>(max));
    if (n > 0) std::memcpy(buffer, data_, n);
    data_ += n;
    left_ -= n;
    return static_cast<int32_t>(n);
  }

 private:
  const uint8_t* data_;
  size_t left_;
};

class VectorSink : public InflateSink {
 public:
  explicit VectorSink(std::vector<uint8_t>& out) : out_(out) {}
  void Write(const uint8_t* bytes, size_t count) override {
    out_.insert(out_.end(), bytes, bytes + count);
  }

 private:
  std::vector<uint8_t>& out_;
};

}  // namespace

InflateResult InflateBuffer(const uint8_t* data, size_t size, std::vector<uint8_t>& out,
                            uint64_t limit, bool fast_path) {
  BufferSource source(data, size);
  VectorSink sink(out);
  Inflater inflater;
  inflater.set_fast_path(fast_path);
  return inflater.Inflate(source, sink, limit);
}

}  // namespace brisomel
