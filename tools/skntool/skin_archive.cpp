#include "tools/skntool/skin_archive.h"

#include <limits>

#include "classlib/core/streams.h"
#include "classlib/core/sysutils.h"
#include "skin/data/lzh_coder.h"
#include "skin/data/skin_reader.h"

namespace {

void PutInt32(std::string& out, int64_t v) {
  const uint32_t u = uint32_t(v);
  for (int i = 0; i < 4; i++) out.push_back(char(uint8_t(u >> (8 * i))));
}

}  // namespace

std::string BuildSkinArchive(const std::vector<TSkinArchiveEntry>& entries, int32_t version, char blockFill) {
  const int block = SkinArchiveBlockSize(version);
  if (block < 0) throw EConvertError("Unknown skin archive version " + std::to_string(version));
  if (entries.size() > size_t(SkinMaxEntries))
    throw EConvertError("A skin archive holds at most " + std::to_string(SkinMaxEntries) + " entries");
  std::string names;
  for (const TSkinArchiveEntry& e : entries) {
    if (e.Name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
      throw EConvertError("An entry name may not hold a line break or NUL");
    if (e.Data.size() > size_t(std::numeric_limits<int32_t>::max()))
      throw EConvertError("Entry \"" + e.Name + "\" is too large");
    names += e.Name;
    names += "\r\n";
  }
  std::string out;
  PutInt32(out, version);
  PutInt32(out, int64_t(names.size()));
  out.append(8, '\0');
  out.append(size_t(block), blockFill);
  out += names;
  for (const TSkinArchiveEntry& e : entries) PutInt32(out, int64_t(e.Data.size()));
  for (const TSkinArchiveEntry& e : entries) out += e.Data;
  return out;
}

std::string CompressImage(const std::string& bytes) {
  TMemoryStream src, dst;
  src.Assign(bytes);
  LZHCompressImage(src, dst);
  return dst.AsString();
}

std::string DecompressImage(const std::string& image) {
  TMemoryStream src, dst;
  src.Assign(image);
  LZHDecompressImage(src, dst);
  return dst.AsString();
}
