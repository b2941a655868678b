// libFuzzer entry point for the untrusted-input path of a skin file: the first byte picks what
// the rest is (a skin file image, an already decompressed archive, or data for a round trip).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "skin/data/lzh_coder.h"
#include "skin/data/skin_reader.h"
#include "tools/skntool/skin_archive.h"

namespace {

void ReadEverything(TSkinReader& reader) {
  TMemoryStream entry;
  std::string name;
  reader.readIni(".ini", entry, name);
  for (int i = 0; i < reader.Count(); i++) reader.readfile(reader.Names(i), entry);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  SkinReadShowMessage = [](const std::wstring&) {};
  const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] % 3) {
    case 0: {
      TSkinReader reader;
      TMemoryStream image;
      image.Assign(rest);
      try {
        if (reader.Loadfromstream(image)) ReadEverything(reader);
      } catch (const ElzhException&) {
        // A damaged image is refused.
      }
      break;
    }
    case 1: {
      TSkinReader reader;
      TMemoryStream archive;
      archive.Assign(rest);
      if (reader.LoadArchive(archive)) ReadEverything(reader);
      break;
    }
    default:
      if (DecompressImage(CompressImage(rest)) != rest) std::abort();
      break;
  }
  return 0;
}
