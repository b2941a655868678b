// Writing skin archives and skin file images: the counterpart of TSkinReader, for skntool and
// for test fixtures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TSkinArchiveEntry {
  std::string Name;
  std::string Data;
};

// The archive bytes: version, name-list length, 8 zero bytes, the version block (every byte
// blockFill), the names each ended by CR LF, the 32-bit sizes, then the entries' bytes.
// Raises EConvertError for an unknown version, more than SkinMaxEntries entries, a name that
// holds CR, LF or NUL, or an entry too large for its size field.
std::string BuildSkinArchive(const std::vector<TSkinArchiveEntry>& entries, int32_t version = 20000,
                             char blockFill = 0);

// A skin file image (or any compressed image): 4-byte size, then the LZHUF stream.
std::string CompressImage(const std::string& bytes);
// Its inverse; raises ElzhException for an image that cannot be valid.
std::string DecompressImage(const std::string& image);
