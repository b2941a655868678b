// The LZHUF coder (unit WinConvert): TLZH, its position tables and ElzhException, and the two
// stream-to-stream steps that every compressed image uses (4-byte size, then the LZHUF stream).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "classlib/core/objects.h"
#include "classlib/core/streams.h"
#include "classlib/core/sysutils.h"

KARO_EXCEPTION(ElzhException, Exception);

// The coder asks for and hands over one byte at a time through these callbacks.
using TReadProc = std::function<void(void* DTA, uint16_t NBytes, uint16_t& Bytes_Got)>;
using TWriteProc = std::function<void(const void* DTA, uint16_t NBytes, uint16_t& Bytes_Put)>;

// Tables of the published method, indexed by the upper six bits of a distance (p_len, p_code)
// and by the next eight input bits (d_code, d_len).
extern const uint8_t p_len[64];
extern const uint8_t p_code[64];
extern const uint8_t d_code[256];
extern const uint8_t d_len[256];

// Largest decoded image LZHDecompressImage accepts, whatever its compressed length. Skins and
// their INI texts are a few hundred kilobytes; 32 MiB leaves room for any real one, and no file
// that claims more costs more than that to refuse.
constexpr int64_t LZHMaxImageSize = int64_t(32) << 20;
// No LZHUF stream decodes to more than this many bytes per compressed byte: a 60-byte match
// costs at least 10 bits (1 for the shortest Huffman code, 9 for the distance).
constexpr int64_t LZHMaxExpansion = 48;

class TLZH : public TObject {
  KARO_CLASS(TLZH)
public:
  TLZH();
  ~TLZH() override;

  // Not owned; used only by GetBlockStream and PutBlockStream.
  TStream* InputStream = nullptr;
  TStream* OutputStream = nullptr;

  // Compresses everything ReadProc delivers; returns the number of input bytes (also in Bytes).
  int32_t LZHPack(int32_t& Bytes, const TReadProc& ReadProc, const TWriteProc& WriteProc);
  // Decompresses until TextSize bytes have been written. A stream whose data ends before that
  // (its missing bits would be read as zeros) or whose last match runs past TextSize is
  // damaged: ElzhException, raised as soon as that is seen; no byte past TextSize is written.
  void LZHUnpack(int32_t TextSize, const TReadProc& ReadProc, const TWriteProc& WriteProc);

  void GetBlockStream(void* DTA, uint16_t NBytes, uint16_t& Bytes_Got);
  void PutBlockStream(const void* DTA, uint16_t NBytes, uint16_t& Bytes_Put);

  // The callbacks bound to this object's streams.
  TReadProc StreamReader();
  TWriteProc StreamWriter();

  // Longest Huffman code (in bits) sent or received by the last run; for diagnostics.
  int LongestCode() const { return longestCode_; }

private:
  struct Tables;
  friend void LZHDecompressImage(TStream& Source, TStream& Dest);
  friend void LZHCompressImage(TStream& Source, TStream& Dest);

  // The runs over the callbacks above, or over memory for the image steps (the instances live
  // in the .cpp).
  template <class Source, class Sink> int32_t Pack(Source& in, Sink& out);
  template <class Bits, class Window> void Unpack(int32_t TextSize, Bits& in, Window& out);
  // Decodes the stream in [in, in + inSize) to out, which has room for TextSize + 7 bytes;
  // returns the number of input bits used. Raises ElzhException as LZHUnpack does.
  uint64_t UnpackBuffer(int32_t TextSize, const uint8_t* in, size_t inSize, uint8_t* out);

  void InitLZH();
  void EndLZH();
  void InitTree();
  void InsertNode(int r);
  void DeleteNode(int p);
  void StartHuff();
  void reconst();
  void update(int c);
  void Count(int c);
  int Move(int c);
  template <class Sink> void EncodeChar(Sink& out, unsigned c);
  template <class Sink> void EncodePosition(Sink& out, unsigned c);
  template <class Sink> void EncodeEnd(Sink& out);
  template <class Sink> void Putcode(Sink& out, int l, unsigned c);
  template <class Bits> int DecodeChar(Bits& in);
  template <class Bits> int DecodePosition(Bits& in);

  uint8_t putlen = 0;
  uint16_t putbuf = 0;
  int32_t textsize = 0;
  int16_t match_position = 0;
  int16_t match_length = 0;
  int longestCode_ = 0;
  std::unique_ptr<Tables> t_;
};

// Source holds a 4-byte little-endian size followed by an LZHUF stream; the decoded bytes are
// written to Dest. Both streams are positioned at 0 first. Used by the skin reader and the INI
// reader alike. A source shorter than its size field, or a size that its stream cannot possibly
// yield (more than LZHMaxExpansion per compressed byte, or above LZHMaxImageSize), raises
// ElzhException before anything is decoded; a damaged stream (see LZHUnpack) raises it as soon
// as the damage is seen. Dest is written only once the whole image is decoded, so it is left as
// it was on any failure. An empty TMemoryStream Dest is decoded into in place: the image is held
// once, in Dest.
void LZHDecompressImage(TStream& Source, TStream& Dest);
// Writes Source's size as 4 bytes to Dest, then the LZHUF stream of Source's bytes. A source
// larger than LZHMaxImageSize raises ElzhException, since no reader would accept the image.
void LZHCompressImage(TStream& Source, TStream& Dest);
