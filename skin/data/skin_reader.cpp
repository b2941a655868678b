#include "skin/data/skin_reader.h"

#include <algorithm>
#include <cstring>

#include "skin/data/lzh_coder.h"

#ifdef _WIN32
#include <windows.h>
#endif

KARO_CLASS_INFO(TSkinReader, TObject)

namespace {

int32_t ReadInt32(const uint8_t* p) {
  return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

// Splits the name list into lower-cased names the way a string list takes text: a line ends at
// CR, LF or CR LF, a break at the very end adds no empty name, a NUL ends the list. Stops once
// more than maxNames are found, since such a list is refused anyway.
std::vector<std::string> SplitNames(const uint8_t* p, size_t n, size_t maxNames) {
  std::vector<std::string> names;
  const uint8_t* end = p + n;
  const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(p, 0, n));
  if (nul) end = nul;
  while (p < end && names.size() <= maxNames) {
    const uint8_t* start = p;
    while (p < end && *p != '\r' && *p != '\n') p++;
    names.push_back(LowerAscii(std::string(reinterpret_cast<const char*>(start), size_t(p - start))));
    if (p < end && *p == '\r') p++;
    if (p < end && *p == '\n') p++;
  }
  return names;
}

void DefaultShowMessage(const std::wstring& text) {
#ifdef _WIN32
  // The box's caption is the program's own name, as the class library's message boxes have it.
  wchar_t path[MAX_PATH] = {};
  DWORD len = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring caption(path, len < MAX_PATH ? len : 0);
  size_t slash = caption.find_last_of(L"\\/");
  if (slash != std::wstring::npos) caption.erase(0, slash + 1);
  size_t dot = caption.find_last_of(L'.');
  if (dot != std::wstring::npos) caption.erase(dot);
  MessageBoxW(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
#else
  (void)text;
#endif
}

}  // namespace

TSkinMessageProc SkinReadShowMessage = DefaultShowMessage;

int SkinArchiveBlockSize(int32_t Version) {
  switch (Version) {
    case 20000: return 0;
    case 30000: return 256;
    case 40000: return 80;
    case 50000: return 48;
    default: return -1;
  }
}

std::wstring SkinUnknownVersionText() {
  return L"\u6B64\u6587\u4EF6\u7248\u672C\u4E0D\u540C\r\u8BF7\u5347\u7EA7\u65B0\u7248\u672C !";
}

TSkinReader::TSkinReader() : data_(std::make_unique<TMemoryStream>()) {}
TSkinReader::~TSkinReader() = default;

void TSkinReader::Decompress(TStream& Source, TStream& Dest) { LZHDecompressImage(Source, Dest); }

bool TSkinReader::Loadfromstream(TStream& Image) {
  // Decoded straight into the stream that becomes the entry data: the image is held once.
  auto archive = std::make_unique<TMemoryStream>();
  Decompress(Image, *archive);
  return TakeArchive(std::move(archive));
}

bool TSkinReader::loadfromfile(const std::string& FileName) {
  TMemoryStream image;
  try {
    image.LoadFromFile(FileName);
  } catch (const EFOpenError&) {
    return false;
  }
  return Loadfromstream(image);
}

bool TSkinReader::LoadArchive(TStream& Archive) {
  auto copy = std::make_unique<TMemoryStream>();
  copy->LoadFromStream(Archive);
  return TakeArchive(std::move(copy));
}

bool TSkinReader::TakeArchive(std::unique_ptr<TMemoryStream> Archive) {
  uint8_t* p = Archive->Memory();
  const int64_t n = Archive->Size();

  auto refuse = [] {
    if (SkinReadShowMessage) SkinReadShowMessage(SkinUnknownVersionText());
    return false;
  };
  if (n < 16) return refuse();
  const int32_t version = ReadInt32(p);
  const int block = SkinArchiveBlockSize(version);
  // An archive too short for its header and its version's block is no archive of that version.
  if (block < 0 || n < 16 + block) return refuse();

  // Every count, length and offset below comes from the file: each is clamped to what the
  // archive holds, in 64-bit arithmetic.
  int64_t pos = 16 + block;
  const int64_t listLen = std::clamp<int64_t>(ReadInt32(p + 4), 0, n - pos);
  std::vector<std::string> names = SplitNames(p + pos, size_t(listLen), SkinMaxEntries);
  if (names.size() > size_t(SkinMaxEntries)) return refuse();
  pos += listLen;

  int32_t sizes[SkinMaxEntries] = {};
  const int count = int(names.size());
  for (int i = 0; i < count && pos + 4 <= n; i++, pos += 4) sizes[i] = ReadInt32(p + pos);
  pos = std::min<int64_t>(16 + block + listLen + 4 * int64_t(count), n);

  // Accepted: only now does the reader change. The entries move to the front of the archive's
  // own memory, which becomes the entry data.
  names_ = std::move(names);
  count_ = count;
  std::memcpy(sizes_, sizes, sizeof sizes_);
  std::memcpy(header_, p, sizeof header_);
  std::memmove(p, p + pos, size_t(n - pos));
  Archive->SetSize(n - pos);
  Archive->SetPosition(0);
  data_ = std::move(Archive);
  return true;
}

const std::string& TSkinReader::Names(int i) const {
  if (i < 0 || i >= count_) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
  return names_[size_t(i)];
}

int32_t TSkinReader::Sizes(int i) const {
  if (i < 0 || i >= count_) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
  return sizes_[i];
}

int32_t TSkinReader::Version() const { return ReadInt32(header_); }

void TSkinReader::EntryRange(int i, int64_t& Offset, int64_t& Size) const {
  // A negative size counts as 0; an entry reaching past the data is cut at its end.
  const int64_t total = data_->Size();
  int64_t offset = 0;
  for (int k = 0; k < i; k++) offset += std::max<int32_t>(sizes_[k], 0);
  const int64_t end = std::min(offset + std::max<int32_t>(sizes_[i], 0), total);
  Offset = std::min(offset, total);
  Size = end - Offset;
}

void TSkinReader::CopyEntry(int i, TMemoryStream& Dest) const {
  int64_t offset = 0, size = 0;
  EntryRange(i, offset, size);
  if (size > 0) {
    Dest.SetSize(size);
    std::memcpy(Dest.Memory(), data_->Memory() + offset, size_t(size));
  }
  Dest.SetPosition(0);
}

void TSkinReader::readfile(const std::string& Name, TMemoryStream& Dest) {
  Dest.Clear();
  const std::string wanted = LowerAscii(Name);
  for (int i = 0; i < count_; i++) {
    if (names_[size_t(i)] == wanted) {
      CopyEntry(i, Dest);
      return;
    }
  }
}

void TSkinReader::readIni(const std::string& Fragment, TMemoryStream& Dest, std::string& Name) {
  Dest.Clear();
  for (int i = 0; i < count_; i++) {
    if (names_[size_t(i)].find(Fragment) != std::string::npos) {
      CopyEntry(i, Dest);
      Name = names_[size_t(i)];
      return;
    }
  }
}
