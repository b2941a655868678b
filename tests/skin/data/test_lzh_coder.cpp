// The LZHUF coder: fixed streams worked out by hand, round trips, the deep-tree case, damaged
// streams and the image steps with their bounds.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "skin/data/lzh_coder.h"

namespace {

struct Coded {
  std::string out;
  int longest = 0;
  size_t reads = 0;
};

Coded Pack(const std::string& in) {
  Coded run;
  size_t pos = 0;
  TLZH lzh;
  int32_t bytes = -1;
  const int32_t result = lzh.LZHPack(
      bytes,
      [&](void* d, uint16_t n, uint16_t& got) {
        EXPECT_EQ(n, 1);
        got = pos < in.size() ? 1 : 0;
        if (got) *static_cast<char*>(d) = in[pos++];
      },
      [&](const void* d, uint16_t n, uint16_t& put) {
        run.out.append(static_cast<const char*>(d), n);
        put = n;
      });
  EXPECT_EQ(result, int32_t(in.size()));
  EXPECT_EQ(bytes, int32_t(in.size()));
  run.longest = lzh.LongestCode();
  return run;
}

Coded Unpack(const std::string& in, int32_t size) {
  Coded run;
  size_t pos = 0;
  TLZH lzh;
  lzh.LZHUnpack(
      size,
      [&](void* d, uint16_t, uint16_t& got) {
        run.reads++;
        got = pos < in.size() ? 1 : 0;
        if (got) *static_cast<char*>(d) = in[pos++];
      },
      [&](const void* d, uint16_t n, uint16_t& put) {
        run.out.append(static_cast<const char*>(d), n);
        put = n;
      });
  run.longest = lzh.LongestCode();
  return run;
}

std::string Hex(const std::string& s) {
  static const char digits[] = "0123456789abcdef";
  std::string h;
  for (unsigned char c : s) {
    h += digits[c >> 4];
    h += digits[c & 15];
  }
  return h;
}

struct Xorshift {
  uint32_t s;
  uint32_t Next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
};

std::string RandomBytes(size_t n, uint32_t seed) {
  Xorshift r{seed};
  std::string s(n, '\0');
  for (char& c : s) c = char(r.Next() >> 24);
  return s;
}

}  // namespace

// Streams derived by hand from the initial tree (leaves 0..313 paired in order, so a code is
// the parities of the nodes from the root down) and the window of spaces with a zero tail.
TEST(LZHCoder, FixedStreamsWorkedOutByHand) {
  struct Case {
    const char* name;
    std::string input;
    const char* stream;
  };
  const Case cases[] = {
      // The empty input still sends one literal: ring[4036], which is 0, coded 110001100.
      {"empty", "", "c600"},
      {"one literal", "A", "e680"},
      // After 'A' (leaf 65) is counted it trades places with leaf 313; 'B' keeps its code.
      {"two literals", "AB", "e6f380"},
      // Literal 'a', then a match of 3 at distance value 0: code 10001100, distance 000 000000.
      {"literal and match", "aaaa", "f6c60000"},
      // A run: one literal and matches of 60 at distance value 0; symbol 313 took the leaf
      // that 'x' left, so both first codes are 00000100.
      {"run of 61", std::string(61, 'x'), "04040000"},
      {"run of 121", std::string(121, 'x'), "040400620000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Coded packed = Pack(c.input);
    EXPECT_EQ(Hex(packed.out), c.stream);
    EXPECT_EQ(Unpack(packed.out, int32_t(c.input.size())).out, c.input);
  }
}

TEST(LZHCoder, DistanceTablesFollowFromTheCodeTables) {
  for (int b = 0; b < 256; b++) {
    int found = -1;
    for (int i = 0; i < 64; i++) {
      const int shift = 8 - p_len[i];
      if ((b >> shift) == (p_code[i] >> shift)) {
        EXPECT_EQ(found, -1) << "byte " << b << " matches two codes";
        found = i;
      }
    }
    ASSERT_NE(found, -1) << "byte " << b;
    EXPECT_EQ(d_code[b], found) << "byte " << b;
    EXPECT_EQ(d_len[b], p_len[found]) << "byte " << b;
  }
}

TEST(LZHCoder, RoundTripsAcrossLengthsAndContents) {
  const size_t lengths[] = {1,    2,    3,    59,   60,   61,   62,   119,  120,  121,  4035,
                            4036, 4037, 4095, 4096, 4097, 4156, 8192, 8193, 65535, 65536, 70000};
  auto allBytes = [](size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; i++) s[i] = char(i * 7 + i / 256);
    return s;
  };
  auto runs = [](size_t n) {
    std::string s;
    for (size_t i = 0; s.size() < n; i++) s.append(1 + i % 97, char(i % 5 ? 'a' + i % 26 : 0));
    return s.substr(0, n);
  };
  auto text = [](size_t n) {
    static const char* words[] = {"skin ", "window ", "caption\r\n", "[Title]\r\n", "Frame=3\r\n", "rhyme "};
    std::string s;
    for (size_t i = 0; s.size() < n; i++) s += words[(i * i + i / 3) % 6];
    return s.substr(0, n);
  };
  for (size_t n : lengths) {
    const std::pair<const char*, std::string> contents[] = {
        {"random", RandomBytes(n, uint32_t(n) + 1)},
        {"all byte values", allBytes(n)},
        {"runs", runs(n)},
        {"text", text(n)},
        {"spaces", std::string(n, ' ')},
    };
    for (const auto& [kind, input] : contents) {
      SCOPED_TRACE(std::string(kind) + ", " + std::to_string(n) + " bytes");
      const Coded packed = Pack(input);
      const Coded unpacked = Unpack(packed.out, int32_t(n));
      ASSERT_EQ(unpacked.out.size(), n);
      ASSERT_TRUE(unpacked.out == input);
      EXPECT_EQ(Pack(input).out, packed.out) << "packing is not repeatable";
    }
  }
}

TEST(LZHCoder, RandomDataPastTheFrequencyLimitRoundTrips) {
  // Well over 0x8000 symbols, so the tree is rebuilt several times on both sides.
  const std::string input = RandomBytes(150000, 7) + std::string(20000, 'z') + RandomBytes(30000, 8);
  const Coded packed = Pack(input);
  EXPECT_TRUE(Unpack(packed.out, int32_t(input.size())).out == input);
}

TEST(LZHCoder, SpacesAtTheStartMatchTheInitialWindow) {
  // 60 spaces are one match into the window: one code of at most 9 bits and 9 distance bits.
  EXPECT_LE(Pack(std::string(60, ' ')).out.size(), 3u);
}

namespace {

// Builds input whose greedy parse is a planned sequence of tokens: every match is copied from
// the last 4000 bytes and may not run on into the next token, and a literal starts no repeat.
class TokenPlanner {
public:
  explicit TokenPlanner(uint32_t seed) : rng_{seed}, head_(1 << 16, -1) {}
  std::vector<uint8_t> data;

  uint32_t Next() { return rng_.Next(); }

  bool Literal(uint8_t b) {
    if (banned_[b]) return false;
    if (literals_ >= 2 && Occurs({data[data.size() - 2], data[data.size() - 1], b})) return false;
    data.push_back(b);
    literals_++;
    std::memset(banned_, 0, sizeof banned_);
    return true;
  }

  void Match(int len) {
    const size_t q = data.size();
    for (;;) {
      const size_t from = q - (size_t(len) + Next() % uint32_t(4000 - len));
      if (banned_[data[from]]) continue;
      if (literals_ >= 2 && Occurs({data[q - 2], data[q - 1], data[from]})) continue;
      if (literals_ >= 1 && Occurs({data[q - 1], data[from], data[from + 1]})) continue;
      for (int j = 0; j < len; j++) data.push_back(data[from + size_t(j)]);
      break;
    }
    literals_ = 0;
    // The bytes that would lengthen this match: those after each earlier copy of it.
    std::memset(banned_, 0, sizeof banned_);
    Index(q + size_t(len));
    for (int p = head_[Hash(&data[q])]; p >= 0 && size_t(p) + 4096 > q; p = prev_[size_t(p)])
      if (size_t(p) < q && std::memcmp(&data[size_t(p)], &data[q], size_t(len)) == 0) banned_[data[size_t(p) + len]] = true;
  }

private:
  bool Occurs(std::initializer_list<uint8_t> key) {
    Index(data.size());
    for (int p = head_[Hash(key.begin())]; p >= 0 && size_t(p) + 4096 > data.size(); p = prev_[size_t(p)])
      if (std::memcmp(&data[size_t(p)], key.begin(), 3) == 0) return true;
    return false;
  }
  static unsigned Hash(const uint8_t* p) { return (p[0] * 977u + p[1] * 31u + p[2]) & 0xFFFF; }
  void Index(size_t end) {
    for (; indexed_ + 3 <= end; indexed_++) {
      prev_.push_back(head_[Hash(&data[indexed_])]);
      head_[Hash(&data[indexed_])] = int(indexed_);
    }
  }

  Xorshift rng_;
  std::vector<int> head_, prev_;
  size_t indexed_ = 0;
  bool banned_[256] = {};
  int literals_ = 0;
};

// Match lengths 3..11 are sent with counts in Fibonacci proportion, so that just before each
// rebuild of the tree (root count 0x8000) the leaves of weight 1 hang 18 levels deep; a few
// rare literals are sent at exactly those moments.
std::string DeepTreeInput() {
  TokenPlanner plan(12345);
  unsigned weight[314];
  unsigned root = 314;
  int rebuilds = 0;
  for (unsigned& w : weight) w = 1;
  auto count = [&](int symbol) {
    if (root == 0x8000) {
      rebuilds++;
      root = 0;
      for (unsigned& w : weight) root += (w = (w + 1) / 2);
    }
    weight[symbol]++;
    root++;
  };
  // Material to copy from; its literal counts wear down to 1 over the first rebuilds.
  for (int i = 0; i < 4000; i++) {
    uint8_t b;
    do b = uint8_t(plan.Next() >> 24);
    while (!plan.Literal(b));
    count(b);
  }
  const unsigned target[9] = {12564, 7765, 4799, 2966, 1833, 1133, 700, 432, 267};
  unsigned literal = 0;
  while (rebuilds < 6) {
    if (0x8000 - root <= 12) {
      while (!plan.Literal(uint8_t(literal))) literal++;
      count(int(uint8_t(literal++)));
      continue;
    }
    long deficit[9], total = 0;
    for (int i = 0; i < 9; i++) total += deficit[i] = std::max(0L, long(target[i]) - long(weight[256 + i]));
    if (total == 0)
      for (int i = 0; i < 9; i++) total += deficit[i] = target[i];
    long u = long(plan.Next() % uint32_t(total));
    int i = 0;
    while (u >= deficit[i]) u -= deficit[i++];
    plan.Match(3 + i);
    count(256 + i);
  }
  return std::string(plan.data.begin(), plan.data.end());
}

}  // namespace

TEST(LZHCoder, CodesDeeperThanSixteenBitsRoundTrip) {
  const std::string input = DeepTreeInput();
  const Coded packed = Pack(input);
  // A code of 16 bits or fewer would not exercise the case at all.
  EXPECT_GT(packed.longest, 16);
  const Coded unpacked = Unpack(packed.out, int32_t(input.size()));
  EXPECT_EQ(unpacked.longest, packed.longest);
  EXPECT_TRUE(unpacked.out == input);
}

TEST(LZHCoder, UnpackingZeroBytesReadsAndWritesNothing) {
  const Coded r = Unpack(std::string("\xc6\x00", 2), 0);
  EXPECT_EQ(r.reads, 0u);
  EXPECT_EQ(r.out, "");
}

TEST(LZHCoder, ShortStreamDecodesToTheAnnouncedSizeOrAMatchMore) {
  const std::string input = "the quick brown fox jumps over the lazy dog; " + RandomBytes(3000, 3) +
                            std::string(500, 'q');
  const std::string stream = Pack(input).out;
  for (size_t keep : {size_t(0), size_t(1), stream.size() / 3, stream.size() - 1}) {
    SCOPED_TRACE(keep);
    const Coded r = Unpack(stream.substr(0, keep), int32_t(input.size()));
    EXPECT_GE(r.out.size(), input.size());
    EXPECT_LE(r.out.size(), input.size() + 59);
  }
}

TEST(LZHCoder, GarbageStreamsDecodeWithinBounds) {
  for (uint32_t seed = 1; seed <= 200; seed++) {
    const std::string garbage = RandomBytes(1 + seed % 97, seed);
    const int32_t size = int32_t(seed * 131 % 5000);
    const Coded r = Unpack(garbage, size);
    ASSERT_GE(r.out.size(), size_t(size));
    ASSERT_LE(r.out.size(), size_t(size) + 59);
  }
}

TEST(LZHCoder, CallbackErrorsPassThrough) {
  TLZH lzh;
  int32_t bytes = 0;
  int calls = 0;
  EXPECT_THROW(lzh.LZHPack(
                   bytes,
                   [&](void* d, uint16_t, uint16_t& got) {
                     if (++calls > 100) throw EReadError("Stream read error");
                     *static_cast<char*>(d) = char(calls);
                     got = 1;
                   },
                   [](const void*, uint16_t n, uint16_t& put) { put = n; }),
               EReadError);
  // The object is usable again after a failed run.
  EXPECT_THROW(lzh.LZHUnpack(
                   1000, [](void*, uint16_t, uint16_t& got) { got = 0; },
                   [](const void*, uint16_t, uint16_t&) { throw EWriteError("Stream write error"); }),
               EWriteError);
  EXPECT_EQ(Unpack(Pack("again").out, 5).out, "again");
}

TEST(LZHCoder, StreamCallbacksHandOverWhatTheStreamsHold) {
  TMemoryStream in, out;
  in.Assign("xyz");
  TLZH lzh;
  lzh.InputStream = &in;
  lzh.OutputStream = &out;
  char buf[8] = {};
  uint16_t got = 99;
  in.SetPosition(1);
  lzh.GetBlockStream(buf, 8, got);
  EXPECT_EQ(got, 2);
  EXPECT_EQ(std::string(buf, 2), "yz");
  lzh.GetBlockStream(buf, 8, got);
  EXPECT_EQ(got, 0);
  uint16_t put = 0;
  lzh.PutBlockStream("ab", 2, put);
  EXPECT_EQ(put, 2);
  EXPECT_EQ(out.AsString(), "ab");
}

namespace {

std::string Image(uint32_t size, const std::string& stream) {
  std::string s;
  for (int i = 0; i < 4; i++) s += char(uint8_t(size >> (8 * i)));
  return s + stream;
}

std::string Decompress(const std::string& image) {
  TMemoryStream src, dst;
  src.Assign(image);
  LZHDecompressImage(src, dst);
  return dst.AsString();
}

}  // namespace

TEST(LZHImage, CompressWritesTheSizeThenTheStream) {
  TMemoryStream src, dst;
  src.Assign("aaaa");
  src.SetPosition(2);
  LZHCompressImage(src, dst);
  EXPECT_EQ(Hex(dst.AsString()), "04000000f6c60000");
  EXPECT_EQ(Decompress(dst.AsString()), "aaaa");
}

TEST(LZHImage, SizesBeyondWhatTheStreamCanHoldAreRefused) {
  struct Case {
    const char* name;
    std::string image;
    bool accepted;
  };
  const std::string twoBytes("\xc6\x00", 2);
  const Case cases[] = {
      {"empty file", "", false},
      {"size field cut short", std::string("\x01\x00\x00", 3), false},
      {"size 0 and no stream", Image(0, ""), true},
      {"five-byte file announcing 4 GiB", Image(0xFFFFFFFFu, std::string(1, '\0')), false},
      {"five-byte file announcing 2 GiB", Image(0x80000000u, std::string(1, '\0')), false},
      {"one byte past what two bytes can yield", Image(2 * LZHMaxExpansion + 1, twoBytes), false},
      {"exactly what two bytes can yield", Image(2 * LZHMaxExpansion, twoBytes), true},
      {"past the absolute cap", Image(uint32_t(LZHMaxImageSize + 1), std::string(LZHMaxImageSize / 40, '\0')), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.accepted)
      EXPECT_NO_THROW(Decompress(c.image));
    else
      EXPECT_THROW(Decompress(c.image), ElzhException);
  }
}

TEST(LZHImage, TheRatioBoundHoldsForTheBestCompressibleInput) {
  // A long run is the most a stream can expand: the bound must let every real image through.
  const std::string input(2000000, '\0');
  TMemoryStream src, dst;
  src.Assign(input);
  LZHCompressImage(src, dst);
  EXPECT_LE(int64_t(input.size()), (dst.Size() - 4) * LZHMaxExpansion);
  EXPECT_TRUE(Decompress(dst.AsString()) == input);
}

// The image steps run their own loops over memory; whatever the input, damaged or not, they
// must give the very bytes that the one-byte callback runs give.
TEST(LZHImage, MemoryRunsGiveTheBytesOfTheCallbackRuns) {
  struct Case {
    const char* name;
    std::string text;
  };
  std::string runs, text;
  for (int i = 0; i < 70000; i++) runs += char('a' + (i / 61) % 3);
  for (int i = 0; i < 9000; i++) text += "rhyme and word "[i % 15];
  const Case cases[] = {
      {"empty", ""},
      {"one byte", "x"},
      {"a look-ahead", std::string(60, 'q')},
      {"a look-ahead and one", RandomBytes(61, 3)},
      {"just under the window", RandomBytes(4095, 4)},
      {"the window", text.substr(0, 4096)},
      {"just over the window", text.substr(0, 4097)},
      {"text", text},
      {"runs past 64 KiB", runs},
      {"random past 64 KiB", RandomBytes(66000, 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryStream src, image;
    src.Assign(c.text);
    LZHCompressImage(src, image);
    const std::string stream = image.AsString().substr(4);
    EXPECT_EQ(stream, Pack(c.text).out);
    EXPECT_EQ(Decompress(image.AsString()), c.text);

    // Flipped bits and cut streams: the image step keeps the announced size.
    Xorshift r{uint32_t(c.text.size()) + 11};
    for (int damage = 0; damage < 8 && !stream.empty(); damage++) {
      std::string bad = stream;
      if (damage % 2 == 0)
        bad[r.Next() % bad.size()] ^= char(1 << (r.Next() % 8));
      else
        bad.resize(r.Next() % bad.size());
      const int32_t size = int32_t(c.text.size());
      std::string expected = Unpack(bad, size).out;
      std::string got;
      try {
        got = Decompress(Image(uint32_t(size), bad));
      } catch (const ElzhException&) {
        continue;  // refused by the size bound before decoding: nothing to compare
      }
      EXPECT_EQ(got, expected.substr(0, got.size())) << "damage " << damage;
      EXPECT_GE(got.size(), std::min(expected.size(), size_t(size))) << "damage " << damage;
    }
  }
}
