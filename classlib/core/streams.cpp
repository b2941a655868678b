#include "classlib/core/streams.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

KARO_CLASS_INFO(TStream, TObject)
KARO_CLASS_INFO(TCustomMemoryStream, TStream)
KARO_CLASS_INFO(TMemoryStream, TCustomMemoryStream)

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
  int64_t left = size_;
  const uint8_t* p = data_;
  while (left > 0) {
    int32_t n = left > 0x40000000 ? 0x40000000 : int32_t(left);
    dest.WriteBuffer(p, n);
    p += n;
    left -= n;
  }
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName) {
  std::FILE* f = std::fopen(fileName.c_str(), "wb");
  if (!f) throw EFCreateError("Cannot create file \"" + fileName + "\"");
  size_t written = size_ ? std::fwrite(data_, 1, size_t(size_), f) : 0;
  bool ok = std::fclose(f) == 0 && written == size_t(size_);
  if (!ok) throw EWriteError("Stream write error");
}

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
  std::FILE* f = std::fopen(fileName.c_str(), "rb");
  if (!f) throw EFOpenError("Cannot open file \"" + fileName + "\"");
  std::string bytes;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  bool err = std::ferror(f) != 0;
  std::fclose(f);
  if (err) throw EReadError("Stream read error");
  Assign(bytes);
}

void TMemoryStream::Assign(const std::string& bytes) {
  SetSize(int64_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(data_, bytes.data(), bytes.size());
  position_ = 0;
}
