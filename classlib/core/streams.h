// Streams: the abstract TStream with the platform's buffer and copy helpers, TMemoryStream,
// TFileStream (Win32 files with share modes on Windows, stdio natively) and, on Windows only,
// TResourceStream over a module's RCDATA resource.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "classlib/core/objects.h"
#include "classlib/core/sysutils.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
  KARO_CLASS(TStream)
public:
  // Reads up to count bytes; returns how many were read (0 at the end).
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  // Writes up to count bytes; returns how many were written.
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t newSize);

  // Read or write exactly count bytes, or raise EReadError / EWriteError.
  void ReadBuffer(void* buffer, int32_t count);
  void WriteBuffer(const void* buffer, int32_t count);
  // Copies count bytes from source's position; a count of 0 copies the whole of source from its start.
  int64_t CopyFrom(TStream& source, int64_t count);
};

// The bytes from the stream's position to its end (fewer when the stream ends early).
std::string ReadStreamToEnd(TStream& stream);
// Writes all of bytes at the stream's position, or raises EWriteError.
void WriteStreamBytes(TStream& stream, std::string_view bytes);

class TCustomMemoryStream : public TStream {
  KARO_CLASS(TCustomMemoryStream)
public:
  int32_t Read(void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return size_; }
  int64_t Size() const { return size_; }

  // The bytes, valid until the next change of size.
  uint8_t* Memory() { return data_; }
  const uint8_t* Memory() const { return data_; }

  void SaveToStream(TStream& dest);
  void SaveToFile(const std::string& fileName);
#ifdef _WIN32
  void SaveToFile(const WideString& fileName);
#endif

protected:
  void SetPointer(uint8_t* data, int64_t size) { data_ = data; size_ = size; }
  uint8_t* data_ = nullptr;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
  KARO_CLASS(TMemoryStream)
public:
  TMemoryStream() = default;
  ~TMemoryStream() override;

  int32_t Write(const void* buffer, int32_t count) override;
  void SetSize(int64_t newSize) override;
  void Clear();
  // Replaces the content by the whole of the source stream (from its start); position 0 after.
  void LoadFromStream(TStream& source);
  // Replaces the content by the file's bytes (opened for reading, others may read but not write).
  void LoadFromFile(const std::string& fileName);
#ifdef _WIN32
  void LoadFromFile(const WideString& fileName);
#endif

  // Convenience for code that builds or inspects streams as byte strings.
  void Assign(const std::string& bytes);
  std::string AsString() const { return std::string(reinterpret_cast<const char*>(data_), size_t(size_)); }

private:
  void SetCapacity(int64_t capacity);
  int64_t capacity_ = 0;
};

// Open modes of TFileStream, as the platform numbers them: one access mode, or fmCreate, or'ed
// with one share mode. fmCreate makes the file anew (emptied when it exists) for reading and
// writing. The share modes take effect on Windows; the native build has no file locking.
enum : uint16_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

class TFileStream : public TStream {
  KARO_CLASS(TFileStream)
public:
  // Raises EFCreateError ('Cannot create file "name". reason') or EFOpenError
  // ('Cannot open file "name". reason').
  TFileStream(const std::string& fileName, uint16_t mode);
#ifdef _WIN32
  // The wide name reaches files whose names are not in the ANSI code page.
  TFileStream(const WideString& fileName, uint16_t mode);
#endif
  ~TFileStream() override;

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // Cuts or extends the file; raises EOSError when the system refuses.
  void SetSize(int64_t newSize) override;

  const std::string& FileName() const { return fileName_; }

private:
  std::string fileName_;
#ifdef _WIN32
  void Open(const void* name, bool wide, uint16_t mode);
  void* handle_ = nullptr;
#else
  // stdio wants a seek between a read and a following write (and the other way round).
  enum LastOp { opNone, opRead, opWrite };
  void Switch(LastOp op);
  std::FILE* file_ = nullptr;
  LastOp lastOp_ = opNone;
#endif
};

#ifdef _WIN32
struct HINSTANCE__;

// A read-only stream over a resource of a module (RCDATA unless another type is given).
// Raises EResNotFound ("Resource NAME not found") when the module has no such resource.
class TResourceStream : public TCustomMemoryStream {
  KARO_CLASS(TResourceStream)
public:
  static const char* const RcData;  // the RCDATA resource type

  TResourceStream(HINSTANCE__* instance, const std::string& resName, const char* resType = RcData);
  TResourceStream(HINSTANCE__* instance, const WideString& resName, const wchar_t* resType = nullptr);
  // A resource named by number.
  static std::unique_ptr<TResourceStream> CreateFromID(HINSTANCE__* instance, int resId, const char* resType = RcData);

  // Raises EStreamError: a resource cannot be written.
  int32_t Write(const void* buffer, int32_t count) override;

private:
  TResourceStream() = default;
  void Bind(HINSTANCE__* instance, void* resInfo, const std::string& name);
};
#endif
