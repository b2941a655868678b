// The skin archive reader (unit SkinRead): TSkinReader decompresses a skin file image and takes
// the archive inside it apart into named entries (one INI text and the BMP images it names).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/core/objects.h"
#include "classlib/core/streams.h"

// An archive holds at most this many entries; one with more is not a format this reader knows.
constexpr int SkinMaxEntries = 1001;

// Length of the block that follows the archive header for each known version (20000, 30000,
// 40000, 50000); -1 for any other version.
int SkinArchiveBlockSize(int32_t Version);

// Shows a message to the user. By default a warning box (MessageBoxW) on Windows and nothing
// natively; tests and tools put their own in so that nothing waits on a modal box.
using TSkinMessageProc = std::function<void(const std::wstring& Text)>;
extern TSkinMessageProc SkinReadShowMessage;

// The text shown for an archive of unknown version: the file's version differs, please upgrade.
std::wstring SkinUnknownVersionText();

class TSkinReader : public TObject {
  KARO_CLASS(TSkinReader)
public:
  TSkinReader();
  ~TSkinReader() override;

  // Source: 4-byte size and LZHUF stream; Dest receives the decoded archive.
  void Decompress(TStream& Source, TStream& Dest);
  // Decompresses a skin file image and loads its archive; True when the archive was accepted.
  // An archive of unknown version (or with more than SkinMaxEntries names, or too short for its
  // header and its version's block) shows SkinUnknownVersionText through SkinReadShowMessage
  // and leaves the reader as it was. A damaged image raises ElzhException (see
  // LZHDecompressImage) and leaves the reader as it was too.
  bool Loadfromstream(TStream& Image);
  // The same for an image in a file; False when the file cannot be opened.
  bool loadfromfile(const std::string& FileName);
  // Loads an archive that is already decompressed; the rules of Loadfromstream apply.
  bool LoadArchive(TStream& Archive);

  // Copies the entry with this name (any letter case) into Dest, positioned at 0; Dest stays
  // empty when there is none.
  void readfile(const std::string& Name, TMemoryStream& Dest);
  // Copies the first entry whose name contains Fragment (compared as given, so pass lower
  // case) into Dest and sets Name to that entry's name; no match leaves Dest empty and Name as
  // it was.
  void readIni(const std::string& Fragment, TMemoryStream& Dest, std::string& Name);

  int Count() const { return count_; }
  // The lower-cased name of entry i (0 <= i < Count()).
  const std::string& Names(int i) const;
  // The size recorded for entry i.
  int32_t Sizes(int i) const;
  // The archive's version field (0 before the first accepted load).
  int32_t Version() const;
  // The concatenated entries.
  TMemoryStream& EntryData() { return *data_; }

private:
  // Parses the decoded archive and, when it is accepted, keeps its memory as the entry data.
  bool TakeArchive(std::unique_ptr<TMemoryStream> Archive);
  // Finds entry i's bytes within the entry data, bounded by it.
  void EntryRange(int i, int64_t& Offset, int64_t& Size) const;
  void CopyEntry(int i, TMemoryStream& Dest) const;

  std::vector<std::string> names_;
  int count_ = 0;
  int32_t sizes_[SkinMaxEntries] = {};
  std::unique_ptr<TMemoryStream> data_;
  uint8_t header_[16] = {};
};
