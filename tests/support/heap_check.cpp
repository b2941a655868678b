// The Windows test programs' operator new and delete: a double delete, a delete of memory that
// operator new never gave, and a write into memory after its delete end the program with a line
// saying so. The sanitizers do not exist for MinGW, and a heap corrupted this way under Wine showed
// only as a crash somewhere later, in another test.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kLive = 0x4B61726F, kFreed = 0x44656164;
constexpr unsigned char kFill = 0xDD;
// Freed blocks are kept back from the heap for a while, filled, so a second delete still finds
// them marked and a late write shows in the fill. Large blocks go back at once.
constexpr size_t kQuarantine = 8192, kQuarantineBytes = size_t(48) << 20, kLargest = size_t(1) << 20;

struct alignas(16) THeader {
  size_t Size;
  uint32_t Cookie;
};
static_assert(sizeof(THeader) == 16, "the block after the header keeps malloc's alignment");

SRWLOCK lock = SRWLOCK_INIT;
THeader* quarantine[kQuarantine];
size_t head = 0, count = 0, bytes = 0;

[[noreturn]] void Fail(const char* what, const void* p) {
  std::fprintf(stderr, "heap check: %s (block %p)\n", what, p);
  std::fflush(stderr);
  // Nothing of the program may run on: its heap is not to be trusted, and abort could show a box.
  TerminateProcess(GetCurrentProcess(), 3);
  for (;;) {
  }
}

void Release(THeader* h) {
  const auto* body = reinterpret_cast<const unsigned char*>(h + 1);
  for (size_t i = 0; i < h->Size; ++i)
    if (body[i] != kFill) Fail("written to after its delete", body);
  std::free(h);
}

void* Allocate(size_t n) {
  // The header must not wrap a size near the largest around to a small block.
  if (n > SIZE_MAX - sizeof(THeader)) throw std::bad_alloc();
  auto* h = static_cast<THeader*>(std::malloc(sizeof(THeader) + (n ? n : 1)));
  if (!h) throw std::bad_alloc();
  h->Size = n;
  h->Cookie = kLive;
  return h + 1;
}

void Delete(void* p) noexcept {
  if (!p) return;
  THeader* h = static_cast<THeader*>(p) - 1;
  AcquireSRWLockExclusive(&lock);
  if (h->Cookie != kLive) {
    ReleaseSRWLockExclusive(&lock);
    Fail(h->Cookie == kFreed ? "deleted twice" : "deleted but not made by operator new", p);
  }
  h->Cookie = kFreed;
  if (h->Size > kLargest) {
    ReleaseSRWLockExclusive(&lock);
    std::free(h);
    return;
  }
  std::memset(p, kFill, h->Size);
  while (count == kQuarantine || (count > 0 && bytes + h->Size > kQuarantineBytes)) {
    THeader* old = quarantine[(head + kQuarantine - count) % kQuarantine];
    --count;
    bytes -= old->Size;
    Release(old);
  }
  quarantine[head] = h;
  head = (head + 1) % kQuarantine;
  ++count;
  bytes += h->Size;
  ReleaseSRWLockExclusive(&lock);
}

}  // namespace

void* operator new(size_t n) { return Allocate(n); }
void* operator new[](size_t n) { return Allocate(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept {
  try {
    return Allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { Delete(p); }
void operator delete[](void* p) noexcept { Delete(p); }
void operator delete(void* p, size_t) noexcept { Delete(p); }
void operator delete[](void* p, size_t) noexcept { Delete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Delete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Delete(p); }
