// Streams: the abstract TStream with the platform's buffer and copy helpers, and TMemoryStream.
// Plain standard C++: also built natively for the coder and archive tests.
#pragma once

#include <cstdint>
#include <string>

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

class TCustomMemoryStream : public TStream {
  KARO_CLASS(TCustomMemoryStream)
public:
  int32_t Read(void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return size_; }

  // The bytes, valid until the next change of size.
  uint8_t* Memory() { return data_; }
  const uint8_t* Memory() const { return data_; }

  void SaveToStream(TStream& dest);
  void SaveToFile(const std::string& fileName);

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
  void LoadFromFile(const std::string& fileName);

  // Convenience for code that builds or inspects streams as byte strings.
  void Assign(const std::string& bytes);
  std::string AsString() const { return std::string(reinterpret_cast<const char*>(data_), size_t(size_)); }

private:
  void SetCapacity(int64_t capacity);
  int64_t capacity_ = 0;
};
