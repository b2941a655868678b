#include "skin/data/lzh_coder.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>

KARO_CLASS_INFO(TLZH, TObject)

namespace {

constexpr int N = 4096;           // ring size
constexpr int F = 60;             // look-ahead: the longest match
constexpr int THRESHOLD = 2;      // matches of this length or shorter are sent as literals
constexpr int NIL = N;            // empty link of the search trees
constexpr int N_CHAR = 256 - THRESHOLD + F;  // 314 symbols: 256 literals, lengths 3..60
constexpr int T = N_CHAR * 2 - 1;            // 627 Huffman nodes
constexpr int R = T - 1;                     // the root
constexpr unsigned MAX_FREQ = 0x8000;

}  // namespace

const uint8_t p_len[64] = {
    0x03, 0x04, 0x04, 0x04, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x06, 0x06, 0x06, 0x06,
    0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};

const uint8_t p_code[64] = {
    0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60, 0x68, 0x70, 0x78, 0x80, 0x88, 0x90, 0x94, 0x98, 0x9C,
    0xA0, 0xA4, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8, 0xBC, 0xC0, 0xC2, 0xC4, 0xC6, 0xC8, 0xCA, 0xCC, 0xCE,
    0xD0, 0xD2, 0xD4, 0xD6, 0xD8, 0xDA, 0xDC, 0xDE, 0xE0, 0xE2, 0xE4, 0xE6, 0xE8, 0xEA, 0xEC, 0xEE,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};

// Row by row: 32 x 0, 16 each of 1..3, 8 each of 4..11, 4 each of 12..23, 2 each of 24..47,
// 1 each of 48..63.
const uint8_t d_code[256] = {
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02,
    0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03,
    0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05,
    0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x09, 0x09, 0x09, 0x09, 0x09, 0x09, 0x09, 0x09,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B,
    0x0C, 0x0C, 0x0C, 0x0C, 0x0D, 0x0D, 0x0D, 0x0D, 0x0E, 0x0E, 0x0E, 0x0E, 0x0F, 0x0F, 0x0F, 0x0F,
    0x10, 0x10, 0x10, 0x10, 0x11, 0x11, 0x11, 0x11, 0x12, 0x12, 0x12, 0x12, 0x13, 0x13, 0x13, 0x13,
    0x14, 0x14, 0x14, 0x14, 0x15, 0x15, 0x15, 0x15, 0x16, 0x16, 0x16, 0x16, 0x17, 0x17, 0x17, 0x17,
    0x18, 0x18, 0x19, 0x19, 0x1A, 0x1A, 0x1B, 0x1B, 0x1C, 0x1C, 0x1D, 0x1D, 0x1E, 0x1E, 0x1F, 0x1F,
    0x20, 0x20, 0x21, 0x21, 0x22, 0x22, 0x23, 0x23, 0x24, 0x24, 0x25, 0x25, 0x26, 0x26, 0x27, 0x27,
    0x28, 0x28, 0x29, 0x29, 0x2A, 0x2A, 0x2B, 0x2B, 0x2C, 0x2C, 0x2D, 0x2D, 0x2E, 0x2E, 0x2F, 0x2F,
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F};

// Code lengths: 32 x 3, 48 x 4, 64 x 5, 48 x 6, 48 x 7, 16 x 8.
const uint8_t d_len[256] = {
    0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03,
    0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03,
    0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04,
    0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04,
    0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04,
    0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05,
    0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05,
    0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05,
    0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05,
    0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06,
    0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06,
    0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06,
    0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};

struct TLZH::Tables {
  int16_t lson[N + 1];
  int16_t dad[N + 1];
  int16_t rson[N + 257];  // entries N + 1 .. N + 256 are the roots, one per first byte
  uint8_t text_buf[N + F - 1];  // the window and a copy of its first F - 1 bytes
  // The Huffman tree in machine words, which its hot loops index without widening.
  unsigned freq[T + 1];
  int prnt[T + N_CHAR];  // prnt[T + c] is the leaf of symbol c
  int son[T];
};

namespace {

// ---- the ends a run reads from and writes to ----
//
// A packer reads bytes from a Source and hands its output bytes to a Sink, each over the
// callbacks (one byte per call, exactly as the callbacks have always been called) or over
// memory for the image step. The unpacker over the callbacks reads Bits and leaves what it
// decodes in a Window; the image step's unpacker works on buffers of its own (UnpackBuffer).

class TCallbackSource {
public:
  explicit TCallbackSource(const TReadProc& read) : read_(read) {}
  bool Next(uint8_t& b) {
    uint16_t got = 0;
    read_(&b, 1, got);
    return got != 0;
  }

private:
  const TReadProc& read_;
};

class TMemorySource {
public:
  TMemorySource(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
  bool Next(uint8_t& b) {
    if (p_ == end_) return false;
    b = *p_++;
    return true;
  }

private:
  const uint8_t* p_;
  const uint8_t* end_;
};

class TCallbackSink {
public:
  explicit TCallbackSink(const TWriteProc& write) : write_(write) {}
  void Put(uint8_t b) {
    uint16_t put = 0;
    write_(&b, 1, put);
  }

private:
  const TWriteProc& write_;
};

// Collects output and hands it to a stream in large blocks.
class TStreamSink {
public:
  explicit TStreamSink(TStream& dest) : dest_(dest), buf_(new uint8_t[kBlock]) {}
  void Put(uint8_t b) {
    buf_[n_++] = b;
    if (n_ == kBlock) Flush();
  }
  void Flush() {
    dest_.WriteBuffer(buf_.get(), int32_t(n_));
    n_ = 0;
  }

private:
  static constexpr size_t kBlock = size_t(1) << 16;
  TStream& dest_;
  std::unique_ptr<uint8_t[]> buf_;
  size_t n_ = 0;
};

// Asks for one byte whenever 8 bits or fewer are left, as the method defines it; a read that
// gets no byte counts as a zero byte.
class TCallbackBits {
public:
  explicit TCallbackBits(const TReadProc& read) : read_(read) {}
  unsigned GetBit() {
    Fill();
    const unsigned i = getbuf_;
    getbuf_ = uint16_t(getbuf_ << 1);
    getlen_--;
    return (i >> 15) & 1;
  }
  unsigned GetByte() {
    Fill();
    const unsigned i = getbuf_;
    getbuf_ = uint16_t(getbuf_ << 8);
    getlen_ = uint8_t(getlen_ - 8);
    return (i >> 8) & 0xFF;
  }

  // True once a bit that the stream does not hold has been used.
  bool Overrun() const { return getlen_ < 8 * missing_; }

private:
  void Fill() {
    while (getlen_ <= 8) {
      uint8_t b = 0;
      uint16_t got = 0;
      read_(&b, 1, got);
      if (got != 1) missing_++;
      getbuf_ = uint16_t(getbuf_ | (unsigned(got == 1 ? b : 0) << (8 - getlen_)));
      getlen_ = uint8_t(getlen_ + 8);
    }
  }
  const TReadProc& read_;
  uint16_t getbuf_ = 0;
  uint8_t getlen_ = 0;
  unsigned missing_ = 0;  // zero bytes put in for reads that got nothing
};

[[noreturn]] void DataEndsEarly(int64_t size) {
  throw ElzhException("LZH : Damaged data: it ends before the announced " + std::to_string(size) + " bytes");
}

[[noreturn]] void MatchPastTheEnd(int64_t size) {
  throw ElzhException("LZH : Damaged data: a match runs past the announced " + std::to_string(size) + " bytes");
}

// The ring of the method, every byte also handed to the write callback.
class TCallbackWindow {
public:
  explicit TCallbackWindow(const TWriteProc& write) : write_(write) {}
  void Start(uint8_t* ring) {
    ring_ = ring;
    std::memset(ring_, ' ', size_t(N - F));
    r_ = N - F;
  }
  void Literal(uint8_t c) { Put(c); }
  void Copy(int d, int n) {
    const int from = (r_ - d - 1) & (N - 1);
    for (int k = 0; k < n; k++) Put(ring_[(from + k) & (N - 1)]);
  }

private:
  void Put(uint8_t b) {
    uint16_t put = 0;
    write_(&b, 1, put);
    ring_[r_] = b;
    r_ = (r_ + 1) & (N - 1);
  }
  const TWriteProc& write_;
  uint8_t* ring_ = nullptr;
  int r_ = 0;
};

// The index of the first of bytes 1 .. F - 1 where a and b differ, or F.
int MatchLength(const uint8_t* a, const uint8_t* b) {
  int i = 1;
  if constexpr (std::endian::native == std::endian::little) {
    using Word = std::conditional_t<sizeof(void*) >= 8, uint64_t, uint32_t>;
    for (; i + int(sizeof(Word)) <= F; i += int(sizeof(Word))) {
      Word x, y;
      std::memcpy(&x, a + i, sizeof x);
      std::memcpy(&y, b + i, sizeof y);
      if (x != y) return i + std::countr_zero(x ^ y) / 8;
    }
  }
  for (; i < F; i++)
    if (a[i] != b[i]) return i;
  return F;
}

}  // namespace

TLZH::TLZH() = default;
TLZH::~TLZH() = default;

void TLZH::InitLZH() {
  putlen = 0;
  putbuf = 0;
  textsize = 0;
  match_position = 0;
  match_length = 0;
  longestCode_ = 0;
  // Value-initialised: every byte of the window, its tail included, starts at zero, so the
  // same input always packs to the same bytes.
  t_.reset(new (std::nothrow) Tables());
  if (!t_) throw ElzhException("LZH : Cannot get memory for dictionary tables");
}

void TLZH::EndLZH() { t_.reset(); }

// ---- match finder ----

void TLZH::InitTree() {
  for (int i = N + 1; i <= N + 256; i++) t_->rson[i] = NIL;
  for (int i = 0; i < N; i++) t_->dad[i] = NIL;
}

void TLZH::InsertNode(int r) {
  int16_t* lson = t_->lson;
  int16_t* rson = t_->rson;
  int16_t* dad = t_->dad;
  const uint8_t* buf = t_->text_buf;
  const uint8_t* key = &buf[r];
  int cmp = 1;
  int p = N + 1 + key[0];
  rson[r] = lson[r] = NIL;
  int best = 0;
  int bestPos = 0;
  for (;;) {
    int16_t* link = cmp >= 0 ? &rson[p] : &lson[p];
    if (*link == NIL) {
      *link = int16_t(r);
      dad[r] = int16_t(p);
      match_length = int16_t(best);
      match_position = int16_t(bestPos);
      return;
    }
    p = *link;
    const int i = MatchLength(key, &buf[p]);
    if (i < F) cmp = int(key[i]) - int(buf[p + i]);
    if (i > THRESHOLD) {
      const int d = ((r - p) & (N - 1)) - 1;
      if (i > best) {
        bestPos = d;
        best = i;
        if (i >= F) break;
      } else if (i == best && d < bestPos) {
        bestPos = d;
      }
    }
  }
  match_length = int16_t(best);
  match_position = int16_t(bestPos);
  // r replaces p, whose key it equals over the whole look-ahead.
  dad[r] = dad[p];
  lson[r] = lson[p];
  rson[r] = rson[p];
  dad[lson[p]] = int16_t(r);
  dad[rson[p]] = int16_t(r);
  if (rson[dad[p]] == p)
    rson[dad[p]] = int16_t(r);
  else
    lson[dad[p]] = int16_t(r);
  dad[p] = NIL;
}

void TLZH::DeleteNode(int p) {
  int16_t* lson = t_->lson;
  int16_t* rson = t_->rson;
  int16_t* dad = t_->dad;
  if (dad[p] == NIL) return;
  int q;
  if (rson[p] == NIL) {
    q = lson[p];
  } else if (lson[p] == NIL) {
    q = rson[p];
  } else {
    q = lson[p];
    if (rson[q] != NIL) {
      do q = rson[q];
      while (rson[q] != NIL);
      rson[dad[q]] = lson[q];
      dad[lson[q]] = dad[q];
      lson[q] = lson[p];
      dad[lson[p]] = int16_t(q);
    }
    rson[q] = rson[p];
    dad[rson[p]] = int16_t(q);
  }
  dad[q] = dad[p];
  if (rson[dad[p]] == p)
    rson[dad[p]] = int16_t(q);
  else
    lson[dad[p]] = int16_t(q);
  dad[p] = NIL;
}

// ---- adaptive Huffman code ----

void TLZH::StartHuff() {
  unsigned* freq = t_->freq;
  int* prnt = t_->prnt;
  int* son = t_->son;
  for (int i = 0; i < N_CHAR; i++) {
    freq[i] = 1;
    son[i] = i + T;
    prnt[i + T] = i;
  }
  for (int i = 0, j = N_CHAR; j <= R; i += 2, j++) {
    freq[j] = freq[i] + freq[i + 1];
    son[j] = i;
    prnt[i] = prnt[i + 1] = j;
  }
  freq[T] = 0xFFFF;
  prnt[R] = 0;
}

void TLZH::reconst() {
  unsigned* freq = t_->freq;
  int* prnt = t_->prnt;
  int* son = t_->son;
  // Leaves to the front, counts halved (never to zero).
  int j = 0;
  for (int i = 0; i < T; i++) {
    if (son[i] >= T) {
      freq[j] = (freq[i] + 1) / 2;
      son[j] = son[i];
      j++;
    }
  }
  // Join the pairs again, keeping the node table sorted by count.
  for (int i = 0, j2 = N_CHAR; j2 < T; i += 2, j2++) {
    const unsigned f = freq[i] + freq[i + 1];
    freq[j2] = f;
    int k = j2 - 1;
    while (f < freq[k]) k--;
    k++;
    const size_t moved = size_t(j2 - k);
    std::memmove(&freq[k + 1], &freq[k], moved * sizeof freq[0]);
    freq[k] = f;
    std::memmove(&son[k + 1], &son[k], moved * sizeof son[0]);
    son[k] = i;
  }
  for (int i = 0; i < T; i++) {
    const int k = son[i];
    if (k >= T)
      prnt[k] = i;
    else
      prnt[k] = prnt[k + 1] = i;
  }
}

void TLZH::update(int c) {
  if (t_->freq[R] == MAX_FREQ) reconst();
  Count(t_->prnt[c + T]);
}

// Counts one more at node c and at each node above it, up to the root (whose parent entry is 0;
// node 0 is never a parent). The node table stays sorted by count:
// a node whose new count passes the next node's trades places (subtrees and all) with the last
// node of its old count before the walk goes on upward from there.
void TLZH::Count(int c) {
  unsigned* freq = t_->freq;
  const int* prnt = t_->prnt;
  do {
    if (++freq[c] > freq[c + 1]) c = Move(c);
  } while ((c = prnt[c]) != 0);
}

// Node c has just been counted past its right neighbour; returns where its subtree went.
int TLZH::Move(int c) {
  unsigned* freq = t_->freq;
  int* prnt = t_->prnt;
  int* son = t_->son;
  const unsigned k = freq[c];
  int l = c + 1;
  while (k > freq[l + 1]) l++;
  freq[c] = freq[l];
  freq[l] = k;

  const int i = son[c];
  prnt[i] = l;
  if (i < T) prnt[i + 1] = l;

  const int j = son[l];
  son[l] = i;

  prnt[j] = c;
  if (j < T) prnt[j + 1] = c;
  son[c] = j;
  return l;
}

template <class Sink> void TLZH::EncodeChar(Sink& out, unsigned c) {
  // The path is collected from the leaf up, so bit n of code is the branch taken n levels
  // above the leaf and the root's branch is sent first. A tree kept in sibling order is a
  // Huffman tree, whose depth d needs a root count of at least Fibonacci(d + 2); with the
  // root held at or below 0x8000 no code is longer than 21 bits. The published coder kept
  // the code in 16 bits and so lost the leaf end of any code longer than that; the decoder
  // follows the bits one by one and reads either form.
  const int* prnt = t_->prnt;
  uint32_t code = 0;
  int len = 0;
  int k = prnt[c + T];
  do {
    code |= uint32_t(k & 1) << len;
    len++;
    k = prnt[k];
  } while (k != R);
  longestCode_ = std::max(longestCode_, len);
  while (len > 16) {
    len -= 16;
    Putcode(out, 16, (code >> len) & 0xFFFF);
  }
  Putcode(out, len, (code << (16 - len)) & 0xFFFF);
  update(int(c));
}

template <class Sink> void TLZH::EncodePosition(Sink& out, unsigned c) {
  const unsigned i = c >> 6;
  Putcode(out, p_len[i], unsigned(p_code[i]) << 8);
  Putcode(out, 6, (c & 0x3F) << 10);
}

template <class Sink> void TLZH::EncodeEnd(Sink& out) {
  if (putlen) out.Put(uint8_t(putbuf >> 8));
}

template <class Sink> void TLZH::Putcode(Sink& out, int l, unsigned c) {
  putbuf = uint16_t(putbuf | (c >> putlen));
  putlen = uint8_t(putlen + l);
  if (putlen >= 8) {
    out.Put(uint8_t(putbuf >> 8));
    putlen = uint8_t(putlen - 8);
    if (putlen >= 8) {
      out.Put(uint8_t(putbuf));
      putlen = uint8_t(putlen - 8);
      putbuf = uint16_t(c << (l - putlen));
    } else {
      putbuf = uint16_t(putbuf << 8);
    }
  }
}

template <class Bits> int TLZH::DecodeChar(Bits& in) {
  const int* son = t_->son;
  int c = son[R];
  int depth = 0;
  while (c < T) {
    c = son[c + int(in.GetBit())];
    depth++;
  }
  longestCode_ = std::max(longestCode_, depth);
  c -= T;
  update(c);
  return c;
}

template <class Bits> int TLZH::DecodePosition(Bits& in) {
  unsigned i = in.GetByte();
  const unsigned c = unsigned(d_code[i]) << 6;
  unsigned j = d_len[i];
  j -= 2;
  while (j--) i = (i << 1) + in.GetBit();
  return int(c | (i & 0x3F));
}

// ---- the two runs ----

template <class Source, class Sink> int32_t TLZH::Pack(Source& in, Sink& out) {
  struct Guard {
    TLZH* self;
    ~Guard() { self->EndLZH(); }
  } guard{this};
  InitLZH();
  uint8_t* buf = t_->text_buf;

  textsize = 0;
  StartHuff();
  InitTree();
  int s = 0;
  int r = N - F;
  std::memset(buf, ' ', size_t(r));
  int len = 0;
  for (uint8_t b; len < F && in.Next(b); len++) buf[r + len] = b;
  textsize = len;
  for (int i = 1; i <= F; i++) InsertNode(r - i);
  InsertNode(r);
  // One token is sent even for an empty input, so every stream holds at least one symbol.
  do {
    if (match_length > len) match_length = int16_t(len);
    if (match_length <= THRESHOLD) {
      match_length = 1;
      EncodeChar(out, buf[r]);
    } else {
      EncodeChar(out, unsigned(255 - THRESHOLD + match_length));
      EncodePosition(out, unsigned(match_position));
    }
    const int last_match_length = match_length;
    int i = 0;
    for (uint8_t b; i < last_match_length && in.Next(b); i++) {
      DeleteNode(s);
      buf[s] = b;
      if (s < F - 1) buf[s + N] = b;
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      InsertNode(r);
    }
    textsize += i;
    while (i++ < last_match_length) {
      DeleteNode(s);
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      if (--len) InsertNode(r);
    }
  } while (len > 0);
  EncodeEnd(out);
  return textsize;
}

template <class Bits, class Window> void TLZH::Unpack(int32_t TextSize, Bits& in, Window& out) {
  struct Guard {
    TLZH* self;
    ~Guard() { self->EndLZH(); }
  } guard{this};
  InitLZH();
  StartHuff();
  out.Start(t_->text_buf);
  int64_t count = 0;
  while (count < TextSize) {
    const int c = DecodeChar(in);
    if (c < 256) {
      if (in.Overrun()) DataEndsEarly(TextSize);
      out.Literal(uint8_t(c));
      count++;
    } else {
      const int n = c - 255 + THRESHOLD;
      const int d = DecodePosition(in);
      if (in.Overrun()) DataEndsEarly(TextSize);
      if (n > TextSize - count) MatchPastTheEnd(TextSize);
      out.Copy(d, n);
      count += n;
    }
  }
}

// Unpack over buffers, for the image step. Reading a code and counting its symbol walk the same
// path, one down and one up; here they are done in one walk down. Counting changes the shape of
// the tree first at the deepest node on the path whose count equals its right neighbour's (the
// nodes are kept sorted by count, and a node's right neighbour is never below it; when it is the
// node's parent it has the larger count anyway). Below that node only counts change, so they are
// raised on the way down; from that node on, the upward walk of update takes over, after the
// nodes above it, raised too early, are put back.
uint64_t TLZH::UnpackBuffer(int32_t TextSize, const uint8_t* in, size_t inSize, uint8_t* out) {
  struct Guard {
    TLZH* self;
    ~Guard() { self->EndLZH(); }
  } guard{this};
  InitLZH();
  StartHuff();
  Tables& t = *t_;

  uint32_t buf = 0;  // the next input bits, most significant first
  int n = 0;         // how many of them are valid
  size_t pos = 0;    // input bytes taken into buf, the zeros read past the end included
  auto refill = [&] {
    if (pos + 4 <= inSize) {
      const uint32_t w = uint32_t(in[pos]) << 24 | uint32_t(in[pos + 1]) << 16 | uint32_t(in[pos + 2]) << 8 | in[pos + 3];
      // Whole bytes only; the bits of a partial byte are or-ed in again, unchanged, next time.
      buf |= w >> n;
      const int take = (32 - n) >> 3;
      pos += size_t(take);
      n += 8 * take;
    } else {
      for (; n <= 24; n += 8, pos++) buf |= uint32_t(pos < inSize ? in[pos] : 0) << (24 - n);
    }
  };
  // Whether a bit past the end of the data has been used: the stream was cut short.
  auto overrun = [&] { return pos > inSize && uint64_t(pos) * 8 - unsigned(n) > uint64_t(inSize) * 8; };

  uint8_t* o = out;
  int longest = 0;
  int32_t left = TextSize;
  while (left > 0) {
    if (n < 25) refill();
    // No code is longer than 21 bits (see EncodeChar), so 25 are enough for the walk; a marker
    // bit behind them tells how many it took.
    uint32_t w = (buf & 0xFFFFFF80u) | 0x40u;
    int c = t.son[R];
    if (t.freq[R] != MAX_FREQ) {
      t.freq[R]++;
      int moved = -1;  // the deepest node on the path that moves when counted
      do {
        const int node = c + int(w >> 31);
        w <<= 1;
        const unsigned f = t.freq[node];
        moved = f >= t.freq[node + 1] ? node : moved;
        t.freq[node] = f + 1;
        c = t.son[node];
      } while (c < T);
      if (moved >= 0) {
        for (int p = t.prnt[moved]; p != 0; p = t.prnt[p]) t.freq[p]--;
        Count(t.prnt[Move(moved)]);
      }
    } else {
      // The tree is rebuilt between reading this code and counting it.
      do {
        c = t.son[c + int(w >> 31)];
        w <<= 1;
      } while (c < T);
      update(c - T);
    }
    const int depth = std::countr_zero(w) - 6;
    longest = std::max(longest, depth);
    buf <<= depth;
    n -= depth;
    const int sym = c - T;
    if (sym < 256) {
      if (overrun()) DataEndsEarly(TextSize);
      *o++ = uint8_t(sym);
      left--;
      continue;
    }
    // The distance: 8 bits, and d_len - 2 more.
    if (n < 14) refill();
    const unsigned i = buf >> 24;
    const int j = d_len[i] - 2;
    const int d = int(unsigned(d_code[i]) << 6 | ((buf >> (24 - j)) & 0x3F));
    buf <<= 8 + j;
    n -= 8 + j;
    if (overrun()) DataEndsEarly(TextSize);
    const int len = sym - 255 + THRESHOLD;
    if (len > left) MatchPastTheEnd(TextSize);
    const ptrdiff_t at = (o - out) - d - 1;
    if (at >= 0) {
      // Byte by byte, as a match may overlap its own output; eight always, since most are
      // short (the room behind the output allows for it).
      const uint8_t* from = out + at;
      for (int k = 0; k < 8; k++) o[k] = from[k];
      for (int k = 8; k < len; k++) o[k] = from[k];
    } else {
      // Within the first window: bytes before the output are the ring's starting content,
      // spaces just before the first write position and zeros (the 60 unfilled bytes) further.
      for (int k = 0; k < len; k++) {
        const ptrdiff_t src = at + k;
        o[k] = src >= 0 ? out[src] : src >= -ptrdiff_t(N - F) ? uint8_t(' ') : uint8_t(0);
      }
    }
    o += len;
    left -= len;
  }
  longestCode_ = longest;
  return uint64_t(pos) * 8 - unsigned(n);
}

int32_t TLZH::LZHPack(int32_t& Bytes, const TReadProc& ReadProc, const TWriteProc& WriteProc) {
  TCallbackSource in(ReadProc);
  TCallbackSink out(WriteProc);
  Bytes = Pack(in, out);
  return Bytes;
}

void TLZH::LZHUnpack(int32_t TextSize, const TReadProc& ReadProc, const TWriteProc& WriteProc) {
  TCallbackBits in(ReadProc);
  TCallbackWindow out(WriteProc);
  Unpack(TextSize, in, out);
}

void TLZH::GetBlockStream(void* DTA, uint16_t NBytes, uint16_t& Bytes_Got) {
  const int64_t left = InputStream->Size() - InputStream->Position();
  Bytes_Got = left <= 0 ? 0 : uint16_t(std::min<int64_t>(NBytes, left));
  InputStream->ReadBuffer(DTA, Bytes_Got);
}

void TLZH::PutBlockStream(const void* DTA, uint16_t NBytes, uint16_t& Bytes_Put) {
  Bytes_Put = NBytes;
  OutputStream->WriteBuffer(DTA, NBytes);
}

TReadProc TLZH::StreamReader() {
  return [this](void* DTA, uint16_t NBytes, uint16_t& Bytes_Got) { GetBlockStream(DTA, NBytes, Bytes_Got); };
}

TWriteProc TLZH::StreamWriter() {
  return [this](const void* DTA, uint16_t NBytes, uint16_t& Bytes_Put) { PutBlockStream(DTA, NBytes, Bytes_Put); };
}

// Both image steps read a memory stream in place (any other source is read into memory first)
// and write the stream they are given in large blocks.
void LZHDecompressImage(TStream& Source, TStream& Dest) {
  Source.SetPosition(0);
  Dest.SetPosition(0);
  const int64_t total = Source.Size();
  if (total < 4) throw ElzhException("LZH : Image too short for its size field");
  uint8_t head[4];
  Source.ReadBuffer(head, 4);
  const uint32_t size = uint32_t(head[0]) | uint32_t(head[1]) << 8 | uint32_t(head[2]) << 16 | uint32_t(head[3]) << 24;
  const int64_t limit = std::min((total - 4) * LZHMaxExpansion, LZHMaxImageSize);
  if (int64_t(size) > limit)
    throw ElzhException("LZH : Damaged image: it announces " + std::to_string(size) + " bytes, its data can hold at most " +
                        std::to_string(limit));
  TMemoryStream copy;
  TCustomMemoryStream* memory = dyn<TCustomMemoryStream>(&Source);
  if (!memory) {
    copy.LoadFromStream(Source);
    memory = &copy;
  }
  const size_t stored = size_t(total - 4);
  // The match copy may write up to 7 bytes past the last one.
  constexpr size_t kRoom = 7;
  TLZH lzh;
  uint64_t bits = 0;
  TMemoryStream* destMemory = dyn<TMemoryStream>(&Dest);
  if (destMemory && destMemory->Size() == 0) {
    destMemory->SetSize(int64_t(size) + int64_t(kRoom));
    try {
      bits = lzh.UnpackBuffer(int32_t(size), memory->Memory() + 4, stored, destMemory->Memory());
    } catch (...) {
      destMemory->Clear();
      throw;
    }
    destMemory->SetSize(size);
    destMemory->SetPosition(size);
  } else {
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size + kRoom]);
    if (!buffer) throw EOutOfMemory("Out of memory");
    bits = lzh.UnpackBuffer(int32_t(size), memory->Memory() + 4, stored, buffer.get());
    Dest.WriteBuffer(buffer.get(), int32_t(size));
  }
  // Where the one-byte-at-a-time reader would have left the source: it keeps more than 8 bits
  // before each step, and every token ends with a single bit.
  const uint64_t asked = bits == 0 ? 0 : (bits + 7) / 8 + 1;
  Source.SetPosition(4 + int64_t(std::min<uint64_t>(asked, stored)));
}

void LZHCompressImage(TStream& Source, TStream& Dest) {
  Source.SetPosition(0);
  Dest.SetPosition(0);
  const int64_t size = Source.Size();
  if (size > LZHMaxImageSize)
    throw ElzhException("LZH : Data too large to compress: " + std::to_string(size) + " bytes, at most " +
                        std::to_string(LZHMaxImageSize));
  const uint32_t n = uint32_t(size);
  const uint8_t head[4] = {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
  Dest.WriteBuffer(head, 4);
  TLZH lzh;
  TCustomMemoryStream* memory = dyn<TCustomMemoryStream>(&Source);
  if (!memory) {
    lzh.InputStream = &Source;
    lzh.OutputStream = &Dest;
    int32_t bytes = 0;
    lzh.LZHPack(bytes, lzh.StreamReader(), lzh.StreamWriter());
    return;
  }
  TMemorySource in(memory->Memory(), size_t(size));
  TStreamSink out(Dest);
  lzh.Pack(in, out);
  out.Flush();
  Source.SetPosition(size);
}
