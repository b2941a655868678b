// The LZHUF coder: fixed streams worked out by hand, round trips, the deep-tree case, damaged
// streams and the image steps with their bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <optional>
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

// A stream that ends before the announced size is damaged: the decoder stops as soon as it
// would use a bit the stream does not hold, and never writes past the announced size.
TEST(LZHCoder, TruncatedStreamsAreRefused) {
  const std::string input = "the quick brown fox jumps over the lazy dog; " + RandomBytes(3000, 3) +
                            std::string(500, 'q');
  const std::string stream = Pack(input).out;
  ASSERT_EQ(Unpack(stream, int32_t(input.size())).out, input);
  const struct {
    const char* name;
    size_t keep;
  } cuts[] = {
      {"no stream at all", 0},
      {"inside the first code", 1},
      {"in the middle", stream.size() / 2},
      {"one byte short", stream.size() - 1},
  };
  for (const auto& cut : cuts) {
    SCOPED_TRACE(cut.name);
    size_t reads = 0, written = 0;
    TLZH lzh;
    const std::string part = stream.substr(0, cut.keep);
    try {
      lzh.LZHUnpack(
          int32_t(input.size()),
          [&](void* d, uint16_t, uint16_t& got) {
            got = reads < part.size() ? 1 : 0;
            if (got) *static_cast<char*>(d) = part[reads];
            reads++;
          },
          [&](const void*, uint16_t n, uint16_t& put) {
            written += n;
            put = n;
          });
      ADD_FAILURE() << "accepted";
    } catch (const ElzhException& e) {
      EXPECT_NE(e.Message().find("ends before the announced 3545 bytes"), std::string::npos) << e.Message();
    }
    // It stopped at the end of the data: no token (at most 21 code and 14 distance bits) later.
    EXPECT_LE(reads, cut.keep + 6);
    EXPECT_LT(written, input.size());
  }
}

// A match that would run past the announced size never does: a stream of the method never ends
// that way, so it is damaged.
TEST(LZHCoder, AMatchPastTheAnnouncedSizeIsRefused) {
  // "aaaa" is a literal and a match of 3; announcing 2 bytes cuts the match.
  const std::string stream = Pack("aaaa").out;
  std::string out;
  TLZH lzh;
  size_t pos = 0;
  EXPECT_THROW(lzh.LZHUnpack(
                   2,
                   [&](void* d, uint16_t, uint16_t& got) {
                     got = pos < stream.size() ? 1 : 0;
                     if (got) *static_cast<char*>(d) = stream[pos++];
                   },
                   [&](const void* d, uint16_t n, uint16_t& put) {
                     out.append(static_cast<const char*>(d), n);
                     put = n;
                   }),
               ElzhException);
  EXPECT_EQ(out, "a");
}

TEST(LZHCoder, GarbageStreamsDecodeToTheAnnouncedSizeOrAreRefused) {
  int refused = 0;
  for (uint32_t seed = 1; seed <= 200; seed++) {
    const std::string garbage = RandomBytes(1 + seed % 97, seed);
    const int32_t size = int32_t(seed * 131 % 5000);
    try {
      ASSERT_EQ(Unpack(garbage, size).out.size(), size_t(size));
    } catch (const ElzhException&) {
      refused++;
    }
  }
  // Most announce far more than their few bytes hold.
  EXPECT_GT(refused, 100);
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
  const std::string stream = Pack("written").out;
  size_t pos = 0;
  EXPECT_THROW(lzh.LZHUnpack(
                   7,
                   [&](void* d, uint16_t, uint16_t& got) {
                     got = pos < stream.size() ? 1 : 0;
                     if (got) *static_cast<char*>(d) = stream[pos++];
                   },
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
    const char* error;  // the start of the message's reason, or nullptr when accepted
  };
  const std::string twoBytes("\xc6\x00", 2);
  const char* bound = "LZH : Damaged image: it announces";
  const char* cut = "LZH : Damaged data: it ends before";
  const Case cases[] = {
      {"empty file", "", "LZH : Image too short for its size field"},
      {"size field cut short", std::string("\x01\x00\x00", 3), "LZH : Image too short for its size field"},
      {"size 0 and no stream", Image(0, ""), nullptr},
      {"five-byte file announcing 4 GiB", Image(0xFFFFFFFFu, std::string(1, '\0')), bound},
      {"five-byte file announcing 2 GiB", Image(0x80000000u, std::string(1, '\0')), bound},
      {"one byte past what two bytes can yield", Image(2 * LZHMaxExpansion + 1, twoBytes), bound},
      // Within the bound, so decoded: the stream runs out long before.
      {"exactly what two bytes can yield", Image(2 * LZHMaxExpansion, twoBytes), cut},
      {"past the absolute cap", Image(uint32_t(LZHMaxImageSize + 1), std::string(LZHMaxImageSize / 40, '\0')), bound},
      {"3 MB announcing 128 MiB", Image(128u << 20, std::string(3000000, '\0')), bound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryStream src, dst;
    src.Assign(c.image);
    dst.Assign("kept");
    try {
      LZHDecompressImage(src, dst);
      EXPECT_EQ(c.error, nullptr) << "accepted";
      EXPECT_EQ(dst.AsString(), "kept");  // size 0: nothing written over
    } catch (const ElzhException& e) {
      ASSERT_NE(c.error, nullptr) << e.Message();
      EXPECT_EQ(e.Message().rfind(c.error, 0), 0u) << e.Message();
      EXPECT_EQ(dst.AsString(), "kept");
    }
  }
}

TEST(LZHImage, TheBoundIsWhatASkinCanSensiblyHold) {
  // Skins are a few hundred kilobytes; the bound is 32 MiB.
  EXPECT_EQ(LZHMaxImageSize, int64_t(32) << 20);
  // A file long enough for 32 MiB by the ratio is refused for one byte more, before decoding.
  const std::string data(size_t(LZHMaxImageSize / LZHMaxExpansion) + 1, '\0');
  EXPECT_THROW(Decompress(Image(uint32_t(LZHMaxImageSize + 1), data)), ElzhException);
  TMemoryStream big;
  big.SetSize(LZHMaxImageSize + 1);
  TMemoryStream out;
  EXPECT_THROW(LZHCompressImage(big, out), ElzhException);
}

// A cut image is refused whole: the destination stays as it was, also when it is decoded into
// in place.
TEST(LZHImage, TruncatedImagesAreRefusedAndChangeNothing) {
  TMemoryStream src, whole;
  src.Assign(RandomBytes(5000, 9) + std::string(3000, 'k'));
  LZHCompressImage(src, whole);
  const std::string image = whole.AsString();
  const size_t cuts[] = {2, 5, image.size() / 2, image.size() - 1};
  for (size_t keep : cuts) {
    SCOPED_TRACE(keep);
    for (const char* before : {"", "earlier"}) {
      TMemoryStream in, out;
      in.Assign(image.substr(0, keep));
      out.Assign(before);
      EXPECT_THROW(LZHDecompressImage(in, out), ElzhException);
      EXPECT_EQ(out.AsString(), before);
    }
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
  size_t compared = 0, refused = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryStream src, image;
    src.Assign(c.text);
    LZHCompressImage(src, image);
    const std::string stream = image.AsString().substr(4);
    EXPECT_EQ(stream, Pack(c.text).out);
    EXPECT_EQ(Decompress(image.AsString()), c.text);

    // Flipped bits and cut streams: both runs refuse the same streams and decode the others to
    // the same bytes. Every case is compared.
    Xorshift r{uint32_t(c.text.size()) + 11};
    for (int damage = 0; damage < 8 && !stream.empty(); damage++) {
      std::string bad = stream;
      if (damage % 2 == 0)
        bad[r.Next() % bad.size()] ^= char(1 << (r.Next() % 8));
      else
        bad.resize(r.Next() % bad.size());
      const int32_t size = int32_t(c.text.size());
      std::optional<std::string> expected, got;
      try {
        expected = Unpack(bad, size).out;
      } catch (const ElzhException&) {
      }
      try {
        got = Decompress(Image(uint32_t(size), bad));
      } catch (const ElzhException&) {
      }
      EXPECT_EQ(got.has_value(), expected.has_value()) << "damage " << damage;
      if (got && expected) {
        EXPECT_EQ(got->size(), size_t(size)) << "damage " << damage;
        EXPECT_TRUE(*got == *expected) << "damage " << damage;
      }
      refused += !got;
      compared++;
    }
  }
  // Eight damaged streams for each case; cut streams are refused but where nothing is announced.
  EXPECT_EQ(compared, 8 * std::size(cases));
  EXPECT_GE(refused, 4 * (std::size(cases) - 1));
}

// Streams written by the published implementation, long enough for several rebuilds of the
// tree: both runs decode them and pack their inputs to them, byte for byte.
namespace {

std::string ReadDataFile(const std::string& name) {
  const std::string path = std::string(KARO_LZHUF_DATA_DIR) + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    ADD_FAILURE() << "cannot open " << path;
    return {};
  }
  std::string bytes;
  char buf[65536];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
  std::fclose(f);
  return bytes;
}

// A stream that is not a memory stream, so that the image step reads it through its interface.
class TPlainStream : public TStream {
public:
  explicit TPlainStream(const std::string& bytes) : bytes_(bytes) {}
  int32_t Read(void* buffer, int32_t count) override {
    const int64_t n = std::max<int64_t>(0, std::min<int64_t>(count, int64_t(bytes_.size()) - pos_));
    std::memcpy(buffer, bytes_.data() + pos_, size_t(n));
    pos_ += n;
    return int32_t(n);
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    pos_ = origin == soBeginning ? offset : origin == soCurrent ? pos_ + offset : int64_t(bytes_.size()) + offset;
    return pos_;
  }

private:
  std::string bytes_;
  int64_t pos_ = 0;
};

}  // namespace

TEST(LZHPublished, StreamsOfThePublishedImplementationDecodeAndEncodeByteForByte) {
  int checked = 0;
  for (const char* name : {"pub_text", "pub_bmp", "pub_mixed"}) {
    SCOPED_TRACE(name);
    const std::string input = ReadDataFile(std::string(name) + ".bin");
    const std::string image = ReadDataFile(std::string(name) + ".lz");
    ASSERT_GT(input.size(), 60000u);
    ASSERT_GT(image.size(), 4u);
    const std::string stream = image.substr(4);
    const uint32_t size = uint8_t(image[0]) | uint8_t(image[1]) << 8 | uint8_t(image[2]) << 16 | uint32_t(uint8_t(image[3])) << 24;
    ASSERT_EQ(size, input.size());

    // Over the callbacks, one byte per call.
    EXPECT_TRUE(Pack(input).out == stream);
    const Coded unpacked = Unpack(stream, int32_t(size));
    EXPECT_TRUE(unpacked.out == input);

    // The image steps over memory.
    TMemoryStream raw, packed;
    raw.Assign(input);
    LZHCompressImage(raw, packed);
    EXPECT_TRUE(packed.AsString() == image);
    TMemoryStream src, dst;
    src.Assign(image);
    LZHDecompressImage(src, dst);
    EXPECT_TRUE(dst.AsString() == input);
    // The source is left where the one-byte reader leaves it: here, at its end.
    EXPECT_EQ(src.Position(), int64_t(image.size()));
    EXPECT_EQ(src.Position(), 4 + int64_t(std::min(unpacked.reads, stream.size())));

    // Decoding only the first part leaves the source where the one-byte reader stops. The part
    // ends with a token, as a whole stream does (one that ends inside a match is damaged).
    uint32_t part = size / 3;
    Coded partial;
    for (;; part++) {
      try {
        partial = Unpack(stream, int32_t(part));
        break;
      } catch (const ElzhException&) {
        ASSERT_LT(part, size / 3 + 60);
      }
    }
    std::string head = image;
    for (int i = 0; i < 4; i++) head[size_t(i)] = char(uint8_t(part >> (8 * i)));
    EXPECT_TRUE(partial.out == input.substr(0, part));
    TMemoryStream headSrc, headDst;
    headSrc.Assign(head);
    LZHDecompressImage(headSrc, headDst);
    EXPECT_TRUE(headDst.AsString() == input.substr(0, part));
    EXPECT_EQ(headSrc.Position(), 4 + int64_t(partial.reads));
    EXPECT_LT(headSrc.Position(), int64_t(image.size()));

    // A source that is not in memory gives the same bytes and position.
    TPlainStream plain(head);
    TMemoryStream plainDst;
    LZHDecompressImage(plain, plainDst);
    EXPECT_TRUE(plainDst.AsString() == input.substr(0, part));
    EXPECT_EQ(plain.Position(), headSrc.Position());
    checked++;
  }
  EXPECT_EQ(checked, 3);
}
