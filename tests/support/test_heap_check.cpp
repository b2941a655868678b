// The test programs' heap check: what it catches, and that ordinary use goes on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// Hides from the compiler that the pointer is the one just deleted.
template <class T>
T* Opaque(T* p) {
  asm volatile("" : "+r"(p));
  return p;
}

TEST(HeapCheck, ADoubleDeleteEndsTheProgramSayingSo) {
  EXPECT_DEATH(
      {
        int* p = new int(1);
        delete Opaque(p);
        delete Opaque(p);
      },
      "deleted twice");
}

TEST(HeapCheck, AWriteAfterDeleteShowsWhenTheBlockGoesBackToTheHeap) {
  EXPECT_DEATH(
      {
        char* p = new char[64];
        delete[] Opaque(p);
        Opaque(p)[10] = 1;
        for (int i = 0; i < 10000; ++i) delete Opaque(new char[16]);
      },
      "written to after its delete");
}

TEST(HeapCheck, ADeleteOfMemoryOperatorNewNeverGaveEndsTheProgram) {
  EXPECT_DEATH(
      {
        auto* raw = static_cast<char*>(std::calloc(1, 64));
        ::operator delete(Opaque(raw + 32));
      },
      "not made by operator new");
}

TEST(HeapCheck, ASizeTheHeaderWouldWrapIsRefused) {
  for (size_t n : {SIZE_MAX, SIZE_MAX - 8}) {
    void* volatile p = nullptr;
    EXPECT_THROW(p = ::operator new(n), std::bad_alloc) << n;
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(::operator new(n, std::nothrow), nullptr) << n;
  }
}

TEST(HeapCheck, OrdinaryUseGoesOnPastTheQuarantine) {
  size_t total = 0;
  for (int i = 0; i < 50000; ++i) {
    std::vector<int> v(size_t(i % 97), i);
    auto s = std::make_unique<std::string>(size_t(i % 31), 'x');
    total += v.size() + s->size();
  }
  std::vector<char> large(size_t(4) << 20, 'y');
  EXPECT_EQ(large.back(), 'y');
  EXPECT_GT(total, 0u);
}

}  // namespace
