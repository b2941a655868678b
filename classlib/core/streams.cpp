#include "classlib/core/streams.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

KARO_CLASS_INFO(TStream, TObject)
KARO_CLASS_INFO(TCustomMemoryStream, TStream)
KARO_CLASS_INFO(TMemoryStream, TCustomMemoryStream)
KARO_CLASS_INFO(TFileStream, TStream)
#ifdef _WIN32
KARO_CLASS_INFO(TResourceStream, TCustomMemoryStream)
#endif

int64_t TStream::Size() {
  int64_t pos = Seek(0, soCurrent);
  int64_t end = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return end;
}

void TStream::SetSize(int64_t) {}

void TStream::ReadBuffer(void* buffer, int32_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int32_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  const int64_t total = count;
  constexpr int32_t kChunk = 0xF000;
  std::unique_ptr<uint8_t[]> buf(new uint8_t[kChunk]);
  while (count > 0) {
    int32_t n = count > kChunk ? kChunk : int32_t(count);
    source.ReadBuffer(buf.get(), n);
    WriteBuffer(buf.get(), n);
    count -= n;
  }
  return total;
}

std::string ReadStreamToEnd(TStream& stream) {
  int64_t n = stream.Size() - stream.Position();
  std::string bytes;
  if (n <= 0) return bytes;
  if (uint64_t(n) > bytes.max_size()) throw EOutOfMemory("Out of memory");
  bytes.resize(size_t(n));
  size_t got = 0;
  while (got < bytes.size()) {
    int32_t r = stream.Read(bytes.data() + got, int32_t(std::min<size_t>(bytes.size() - got, 0x40000000)));
    if (r <= 0) break;
    got += size_t(r);
  }
  bytes.resize(got);
  return bytes;
}

void WriteStreamBytes(TStream& stream, std::string_view bytes) {
  for (size_t done = 0; done < bytes.size();) {
    int32_t chunk = int32_t(std::min<size_t>(bytes.size() - done, 0x40000000));
    stream.WriteBuffer(bytes.data() + done, chunk);
    done += size_t(chunk);
  }
}

int32_t TCustomMemoryStream::Read(void* buffer, int32_t count) {
  if (count <= 0 || position_ < 0 || position_ >= size_) return 0;
  int64_t n = size_ - position_;
  if (n > count) n = count;
  std::memcpy(buffer, data_ + position_, size_t(n));
  position_ += n;
  return int32_t(n);
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning: position_ = offset; break;
    case soCurrent: position_ += offset; break;
    case soEnd: position_ = size_ + offset; break;
  }
  return position_;
}

void TCustomMemoryStream::SaveToStream(TStream& dest) {
  WriteStreamBytes(dest, std::string_view(reinterpret_cast<const char*>(data_), size_t(size_)));
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
}

#ifdef _WIN32
void TCustomMemoryStream::SaveToFile(const WideString& fileName) {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
}
#endif

TMemoryStream::~TMemoryStream() { std::free(data_); }

void TMemoryStream::SetCapacity(int64_t capacity) {
  if (capacity == capacity_) return;
  if (capacity < 0 || uint64_t(capacity) > std::numeric_limits<size_t>::max())
    throw EOutOfMemory("Out of memory");
  if (capacity == 0) {
    std::free(data_);
    data_ = nullptr;
  } else {
    void* p = std::realloc(data_, size_t(capacity));
    if (!p) throw EOutOfMemory("Out of memory while expanding memory stream");
    data_ = static_cast<uint8_t*>(p);
  }
  capacity_ = capacity;
}

void TMemoryStream::SetSize(int64_t newSize) {
  if (newSize < 0) newSize = 0;
  int64_t oldPos = position_;
  if (newSize > capacity_ || newSize < capacity_ / 4) {
    int64_t cap = newSize;
    if (newSize > capacity_) cap = (newSize + 0x1FFF) & ~int64_t(0x1FFF);
    SetCapacity(cap);
  }
  size_ = newSize;
  if (oldPos > newSize) position_ = newSize;
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0 || position_ < 0) return 0;
  int64_t end = position_ + count;
  if (end > size_) {
    if (end > capacity_) {
      int64_t cap = capacity_ + capacity_ / 4;
      if (cap < end) cap = end;
      cap = (cap + 0x1FFF) & ~int64_t(0x1FFF);
      SetCapacity(cap);
    }
    if (position_ > size_) std::memset(data_ + size_, 0, size_t(position_ - size_));
    size_ = end;
  }
  std::memcpy(data_ + position_, buffer, size_t(count));
  position_ = end;
  return count;
}

void TMemoryStream::Clear() {
  SetCapacity(0);
  size_ = 0;
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  int64_t n = source.Size();
  SetSize(n);
  if (n > 0) {
    int64_t done = 0;
    while (done < n) {
      int32_t chunk = n - done > 0x40000000 ? 0x40000000 : int32_t(n - done);
      source.ReadBuffer(data_ + done, chunk);
      done += chunk;
    }
  }
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

#ifdef _WIN32
void TMemoryStream::LoadFromFile(const WideString& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}
#endif

void TMemoryStream::Assign(const std::string& bytes) {
  SetSize(int64_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(data_, bytes.data(), bytes.size());
  position_ = 0;
}

// --- TFileStream ---

namespace {
[[noreturn]] void RaiseFileError(bool create, const std::string& name, int code) {
  std::string msg = std::string(create ? "Cannot create file \"" : "Cannot open file \"") + name + "\". " +
                    SysErrorMessage(code);
  if (create) throw EFCreateError(msg);
  throw EFOpenError(msg);
}

bool IsCreate(uint16_t mode) { return (mode & fmCreate) == fmCreate; }
}  // namespace

#ifdef _WIN32

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
  Open(fileName.c_str(), false, mode);
}

TFileStream::TFileStream(const WideString& fileName, uint16_t mode) : fileName_(WideToAnsi(fileName)) {
  Open(fileName.c_str(), true, mode);
}

void TFileStream::Open(const void* name, bool wide, uint16_t mode) {
  static const DWORD kAccess[3] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  // Compatibility and exclusive both share nothing, as the platform maps them.
  static const DWORD kShare[5] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
  bool create = IsCreate(mode);
  unsigned access = mode & 0x000F, share = (mode & 0x00F0) >> 4;
  if ((!create && access > 2) || share > 4) RaiseFileError(create, fileName_, ERROR_INVALID_PARAMETER);
  DWORD acc = create ? (GENERIC_READ | GENERIC_WRITE) : kAccess[access];
  DWORD disposition = create ? CREATE_ALWAYS : OPEN_EXISTING;
  HANDLE h = wide ? CreateFileW(static_cast<const wchar_t*>(name), acc, kShare[share], nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr)
                  : CreateFileA(static_cast<const char*>(name), acc, kShare[share], nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) RaiseFileError(create, fileName_, int(GetLastError()));
  handle_ = h;
}

TFileStream::~TFileStream() {
  if (handle_) CloseHandle(handle_);
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  DWORD n = 0;
  if (!ReadFile(handle_, buffer, DWORD(count), &n, nullptr)) return 0;
  return int32_t(n);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  DWORD n = 0;
  if (!WriteFile(handle_, buffer, DWORD(count), &n, nullptr)) return 0;
  return int32_t(n);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  static const DWORD kMethod[3] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  LARGE_INTEGER to, now;
  to.QuadPart = offset;
  if (!SetFilePointerEx(handle_, to, &now, kMethod[origin])) return -1;
  return now.QuadPart;
}

void TFileStream::SetSize(int64_t newSize) {
  Seek(newSize, soBeginning);
  if (!SetEndOfFile(handle_)) throw EOSError("System Error.  Code: " + std::to_string(GetLastError()) + ".\n" +
                                             SysErrorMessage(int(GetLastError())));
}

#else

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
  bool create = IsCreate(mode);
  unsigned access = mode & 0x000F;
  if (!create && access > 2) RaiseFileError(false, fileName_, EINVAL);
  const char* how = create ? "w+b" : (access == fmOpenRead ? "rb" : "r+b");
  file_ = std::fopen(fileName.c_str(), how);
  if (!file_) RaiseFileError(create, fileName_, errno);
  // stdio opens a directory for reading without complaint; Windows refuses it, and so do we.
  struct stat st;
  if (fstat(fileno(file_), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(file_);
    file_ = nullptr;
    RaiseFileError(create, fileName_, EISDIR);
  }
}

TFileStream::~TFileStream() {
  if (file_) std::fclose(file_);
}

void TFileStream::Switch(LastOp op) {
  if (lastOp_ != opNone && lastOp_ != op) std::fseek(file_, 0, SEEK_CUR);
  lastOp_ = op;
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  Switch(opRead);
  return int32_t(std::fread(buffer, 1, size_t(count), file_));
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  Switch(opWrite);
  return int32_t(std::fwrite(buffer, 1, size_t(count), file_));
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  static const int kWhence[3] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (fseeko(file_, off_t(offset), kWhence[origin]) != 0) return -1;
  lastOp_ = opNone;
  return int64_t(ftello(file_));
}

void TFileStream::SetSize(int64_t newSize) {
  std::fflush(file_);
  if (newSize < 0 || ftruncate(fileno(file_), off_t(newSize)) != 0) {
    int code = newSize < 0 ? EINVAL : errno;
    throw EOSError("System Error.  Code: " + std::to_string(code) + ".\n" + SysErrorMessage(code));
  }
  Seek(newSize, soBeginning);
}

#endif

// --- TResourceStream ---

#ifdef _WIN32

const char* const TResourceStream::RcData = reinterpret_cast<const char*>(static_cast<uintptr_t>(10));

TResourceStream::TResourceStream(HINSTANCE__* instance, const std::string& resName, const char* resType) {
  HRSRC info = FindResourceA(instance, resName.c_str(), resType);
  if (!info) throw EResNotFound("Resource " + resName + " not found");
  Bind(instance, info, resName);
}

TResourceStream::TResourceStream(HINSTANCE__* instance, const WideString& resName, const wchar_t* resType) {
  HRSRC info = FindResourceW(instance, resName.c_str(), resType ? resType : MAKEINTRESOURCEW(10));
  if (!info) throw EResNotFound("Resource " + WideToAnsi(resName) + " not found");
  Bind(instance, info, WideToAnsi(resName));
}

std::unique_ptr<TResourceStream> TResourceStream::CreateFromID(HINSTANCE__* instance, int resId, const char* resType) {
  HRSRC info = FindResourceA(instance, MAKEINTRESOURCEA(resId), resType);
  if (!info) throw EResNotFound("Resource " + std::to_string(resId) + " not found");
  std::unique_ptr<TResourceStream> s(new TResourceStream());
  s->Bind(instance, info, std::to_string(resId));
  return s;
}

void TResourceStream::Bind(HINSTANCE__* instance, void* resInfo, const std::string& name) {
  HRSRC info = static_cast<HRSRC>(resInfo);
  HGLOBAL global = LoadResource(instance, info);
  void* data = global ? LockResource(global) : nullptr;
  if (!data) throw EResNotFound("Resource " + name + " not found");
  SetPointer(static_cast<uint8_t*>(data), int64_t(SizeofResource(instance, info)));
}

int32_t TResourceStream::Write(const void*, int32_t) {
  throw EStreamError("Can't write to a read-only resource stream");
}

#endif
