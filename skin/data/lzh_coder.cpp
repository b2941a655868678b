#include "skin/data/lzh_coder.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

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
  uint16_t freq[T + 1];
  int16_t prnt[T + N_CHAR];  // prnt[T + c] is the leaf of symbol c
  int16_t son[T];
};

TLZH::TLZH() = default;
TLZH::~TLZH() = default;

void TLZH::InitLZH() {
  getbuf = 0;
  getlen = 0;
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

uint8_t TLZH::ReadByte() {
  uint8_t b = 0;
  uint16_t got = 0;
  (*read_)(&b, 1, got);
  return got == 1 ? b : 0;
}

void TLZH::WriteByte(uint8_t b) {
  uint16_t put = 0;
  (*write_)(&b, 1, put);
}

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
  match_length = 0;
  for (;;) {
    if (cmp >= 0) {
      if (rson[p] != NIL) {
        p = rson[p];
      } else {
        rson[p] = int16_t(r);
        dad[r] = int16_t(p);
        return;
      }
    } else {
      if (lson[p] != NIL) {
        p = lson[p];
      } else {
        lson[p] = int16_t(r);
        dad[r] = int16_t(p);
        return;
      }
    }
    int i = 1;
    for (; i < F; i++)
      if ((cmp = int(key[i]) - int(buf[p + i])) != 0) break;
    if (i > THRESHOLD) {
      const int d = ((r - p) & (N - 1)) - 1;
      if (i > match_length) {
        match_position = int16_t(d);
        match_length = int16_t(i);
        if (i >= F) break;
      } else if (i == match_length && d < match_position) {
        match_position = int16_t(d);
      }
    }
  }
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
  uint16_t* freq = t_->freq;
  int16_t* prnt = t_->prnt;
  int16_t* son = t_->son;
  for (int i = 0; i < N_CHAR; i++) {
    freq[i] = 1;
    son[i] = int16_t(i + T);
    prnt[i + T] = int16_t(i);
  }
  for (int i = 0, j = N_CHAR; j <= R; i += 2, j++) {
    freq[j] = uint16_t(freq[i] + freq[i + 1]);
    son[j] = int16_t(i);
    prnt[i] = prnt[i + 1] = int16_t(j);
  }
  freq[T] = 0xFFFF;
  prnt[R] = 0;
}

void TLZH::reconst() {
  uint16_t* freq = t_->freq;
  int16_t* prnt = t_->prnt;
  int16_t* son = t_->son;
  // Leaves to the front, counts halved (never to zero).
  int j = 0;
  for (int i = 0; i < T; i++) {
    if (son[i] >= T) {
      freq[j] = uint16_t((freq[i] + 1) / 2);
      son[j] = son[i];
      j++;
    }
  }
  // Join the pairs again, keeping the node table sorted by count.
  for (int i = 0, j2 = N_CHAR; j2 < T; i += 2, j2++) {
    const unsigned f = unsigned(freq[i]) + freq[i + 1];
    freq[j2] = uint16_t(f);
    int k = j2 - 1;
    while (f < freq[k]) k--;
    k++;
    const size_t moved = size_t(j2 - k);
    std::memmove(&freq[k + 1], &freq[k], moved * sizeof freq[0]);
    freq[k] = uint16_t(f);
    std::memmove(&son[k + 1], &son[k], moved * sizeof son[0]);
    son[k] = int16_t(i);
  }
  for (int i = 0; i < T; i++) {
    const int k = son[i];
    if (k >= T)
      prnt[k] = int16_t(i);
    else
      prnt[k] = prnt[k + 1] = int16_t(i);
  }
}

void TLZH::update(int c) {
  uint16_t* freq = t_->freq;
  int16_t* prnt = t_->prnt;
  int16_t* son = t_->son;
  if (freq[R] == MAX_FREQ) reconst();
  c = prnt[c + T];
  do {
    const unsigned k = ++freq[c];
    int l = c + 1;
    if (k > freq[l]) {
      while (k > freq[++l]) {
      }
      l--;
      freq[c] = freq[l];
      freq[l] = uint16_t(k);

      const int i = son[c];
      prnt[i] = int16_t(l);
      if (i < T) prnt[i + 1] = int16_t(l);

      const int j = son[l];
      son[l] = int16_t(i);

      prnt[j] = int16_t(c);
      if (j < T) prnt[j + 1] = int16_t(c);
      son[c] = int16_t(j);

      c = l;
    }
  } while ((c = prnt[c]) != 0);
}

void TLZH::EncodeChar(unsigned c) {
  // The path is collected from the leaf up, so bit n of code is the branch taken n levels
  // above the leaf and the root's branch is sent first. A tree kept in sibling order is a
  // Huffman tree, whose depth d needs a root count of at least Fibonacci(d + 2); with the
  // root held at or below 0x8000 no code is longer than 21 bits. The published coder kept
  // the code in 16 bits and so lost the leaf end of any code longer than that; the decoder
  // follows the bits one by one and reads either form.
  const int16_t* prnt = t_->prnt;
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
    Putcode(16, (code >> len) & 0xFFFF);
  }
  Putcode(len, (code << (16 - len)) & 0xFFFF);
  update(int(c));
}

void TLZH::EncodePosition(unsigned c) {
  const unsigned i = c >> 6;
  Putcode(p_len[i], unsigned(p_code[i]) << 8);
  Putcode(6, (c & 0x3F) << 10);
}

void TLZH::EncodeEnd() {
  if (putlen) WriteByte(uint8_t(putbuf >> 8));
}

void TLZH::Putcode(int l, unsigned c) {
  putbuf = uint16_t(putbuf | (c >> putlen));
  putlen = uint8_t(putlen + l);
  if (putlen >= 8) {
    WriteByte(uint8_t(putbuf >> 8));
    putlen = uint8_t(putlen - 8);
    if (putlen >= 8) {
      WriteByte(uint8_t(putbuf));
      putlen = uint8_t(putlen - 8);
      putbuf = uint16_t(c << (l - putlen));
    } else {
      putbuf = uint16_t(putbuf << 8);
    }
  }
}

int TLZH::DecodeChar() {
  const int16_t* son = t_->son;
  int c = son[R];
  int depth = 0;
  while (c < T) {
    c += GetBit();
    c = son[c];
    depth++;
  }
  longestCode_ = std::max(longestCode_, depth);
  c -= T;
  update(c);
  return c;
}

int TLZH::DecodePosition() {
  unsigned i = unsigned(GetByte());
  const unsigned c = unsigned(d_code[i]) << 6;
  unsigned j = d_len[i];
  j -= 2;
  while (j--) i = (i << 1) + unsigned(GetBit());
  return int(c | (i & 0x3F));
}

// Input past the end of the data reads as zero bits.
void TLZH::FillBits() {
  while (getlen <= 8) {
    getbuf = uint16_t(getbuf | (unsigned(ReadByte()) << (8 - getlen)));
    getlen = uint8_t(getlen + 8);
  }
}

int TLZH::GetBit() {
  FillBits();
  const unsigned i = getbuf;
  getbuf = uint16_t(getbuf << 1);
  getlen--;
  return int((i & 0x8000) >> 15);
}

int TLZH::GetByte() {
  FillBits();
  const unsigned i = getbuf;
  getbuf = uint16_t(getbuf << 8);
  getlen = uint8_t(getlen - 8);
  return int((i & 0xFF00) >> 8);
}

// ---- the two runs ----

int32_t TLZH::LZHPack(int32_t& Bytes, const TReadProc& ReadProc, const TWriteProc& WriteProc) {
  read_ = &ReadProc;
  write_ = &WriteProc;
  struct Guard {
    TLZH* self;
    ~Guard() { self->EndLZH(); }
  } guard{this};
  InitLZH();
  uint8_t* buf = t_->text_buf;

  auto next = [&](uint8_t& b) {
    uint16_t got = 0;
    (*read_)(&b, 1, got);
    return got != 0;
  };

  textsize = 0;
  StartHuff();
  InitTree();
  int s = 0;
  int r = N - F;
  std::memset(buf, ' ', size_t(r));
  int len = 0;
  for (uint8_t b; len < F && next(b); len++) buf[r + len] = b;
  textsize = len;
  for (int i = 1; i <= F; i++) InsertNode(r - i);
  InsertNode(r);
  // One token is sent even for an empty input, so every stream holds at least one symbol.
  do {
    if (match_length > len) match_length = int16_t(len);
    if (match_length <= THRESHOLD) {
      match_length = 1;
      EncodeChar(buf[r]);
    } else {
      EncodeChar(unsigned(255 - THRESHOLD + match_length));
      EncodePosition(unsigned(match_position));
    }
    const int last_match_length = match_length;
    int i = 0;
    for (uint8_t b; i < last_match_length && next(b); i++) {
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
  EncodeEnd();
  Bytes = textsize;
  return textsize;
}

void TLZH::LZHUnpack(int32_t TextSize, const TReadProc& ReadProc, const TWriteProc& WriteProc) {
  read_ = &ReadProc;
  write_ = &WriteProc;
  struct Guard {
    TLZH* self;
    ~Guard() { self->EndLZH(); }
  } guard{this};
  InitLZH();
  uint8_t* buf = t_->text_buf;
  StartHuff();
  std::memset(buf, ' ', size_t(N - F));
  int r = N - F;
  int64_t count = 0;
  while (count < TextSize) {
    const int c = DecodeChar();
    if (c < 256) {
      WriteByte(uint8_t(c));
      buf[r] = uint8_t(c);
      r = (r + 1) & (N - 1);
      count++;
    } else {
      const int from = (r - DecodePosition() - 1) & (N - 1);
      const int n = c - 255 + THRESHOLD;
      for (int k = 0; k < n; k++) {
        const uint8_t b = buf[(from + k) & (N - 1)];
        WriteByte(b);
        buf[r] = b;
        r = (r + 1) & (N - 1);
        count++;
      }
    }
  }
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
  TLZH lzh;
  lzh.InputStream = &Source;
  lzh.OutputStream = &Dest;
  lzh.LZHUnpack(int32_t(size), lzh.StreamReader(), lzh.StreamWriter());
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
  lzh.InputStream = &Source;
  lzh.OutputStream = &Dest;
  int32_t bytes = 0;
  lzh.LZHPack(bytes, lzh.StreamReader(), lzh.StreamWriter());
}
