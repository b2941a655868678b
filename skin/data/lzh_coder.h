// The LZHUF coder (unit WinConvert): TLZH, its position tables and ElzhException, and the two
// stream-to-stream steps that every compressed image uses (4-byte size, then the LZHUF stream).
#pragma once

#include <cstdint>
#include <functional>

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
  // Decompresses until TextSize bytes have been written.
  void LZHUnpack(int32_t TextSize, const TReadProc& ReadProc, const TWriteProc& WriteProc);

  void GetBlockStream(void* DTA, uint16_t NBytes, uint16_t& Bytes_Got);
  void PutBlockStream(const void* DTA, uint16_t NBytes, uint16_t& Bytes_Put);

  // The callbacks bound to this object's streams.
  TReadProc StreamReader();
  TWriteProc StreamWriter();

private:
  struct Impl;
  Impl* impl_;
};

// Source holds a 4-byte little-endian size followed by an LZHUF stream; the decoded bytes are
// written to Dest. Both streams are positioned at 0 first. Used by the skin reader and the INI
// reader alike.
void LZHDecompressImage(TStream& Source, TStream& Dest);
// Writes Source's size as 4 bytes to Dest, then the LZHUF stream of Source's bytes.
void LZHCompressImage(TStream& Source, TStream& Dest);
