// The compressed file form of TQuickIni, kept apart so that programs that never use it do not
// link the LZHUF coder.
#include "skin/data/lzh_coder.h"
#include "skin/data/velt_ini.h"

void TQuickIni::Decompress(TStream& Source, TStream& Dest) { LZHDecompressImage(Source, Dest); }

void TQuickIni::Compress(TStream& Source, TStream& Dest) { LZHCompressImage(Source, Dest); }

template <class FileNameT> void TQuickIni::LoadZip(const FileNameT& FileName) {
  TMemoryStream packed, text;
  packed.LoadFromFile(FileName);
  Decompress(packed, text);
  text.SetPosition(0);
  LoadFromStream(&text);
}

// The whole image is made in memory first, so a failure leaves an existing file as it was.
template <class FileNameT> void TQuickIni::SaveZip(const FileNameT& FileName) const {
  TMemoryStream text, packed;
  SaveToStream(&text);
  Compress(text, packed);
  packed.SaveToFile(FileName);
}

void TQuickIni::LoadFromZip(const std::string& FileName) { LoadZip(FileName); }
void TQuickIni::SavetoZip(const std::string& FileName) const { SaveZip(FileName); }
#ifdef _WIN32
void TQuickIni::LoadFromZip(const WideString& FileName) { LoadZip(FileName); }
void TQuickIni::SavetoZip(const WideString& FileName) const { SaveZip(FileName); }
#endif
