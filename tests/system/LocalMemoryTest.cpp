// Local memory: blocks, locks, unknown handles, and blocks that a loaded
// module allocates with the program's own LocalAlloc.
#include "platform/system/LocalMemory.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/abi/localmem.h"

namespace {

TEST(LocalMemory, ABlockIsZeroedLockedAndFreed) {
  size_t before = localmem::LiveBlocks();
  HLOCAL block = LocalAlloc(LHND, 100);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(localmem::LiveBlocks(), before + 1);
  EXPECT_EQ(LocalSize(block), 100u);
  auto* bytes = static_cast<unsigned char*>(LocalLock(block));
  ASSERT_NE(bytes, nullptr);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(LocalLock(block), bytes);  // locked twice
  EXPECT_TRUE(LocalUnlock(block));     // still locked once
  EXPECT_FALSE(LocalUnlock(block));    // now unlocked
  EXPECT_FALSE(LocalUnlock(block));    // was not locked
  EXPECT_EQ(LocalFree(block), nullptr);
  EXPECT_EQ(localmem::LiveBlocks(), before);
}

TEST(LocalMemory, UnknownHandlesAreRefusedWithoutBeingRead) {
  int notABlock[16] = {};
  HLOCAL stranger = notABlock;
  EXPECT_EQ(LocalLock(stranger), nullptr);
  EXPECT_FALSE(LocalUnlock(stranger));
  EXPECT_EQ(LocalSize(stranger), 0u);
  EXPECT_EQ(LocalFree(stranger), stranger);
  EXPECT_EQ(LocalLock(nullptr), nullptr);
  EXPECT_EQ(LocalFree(nullptr), nullptr);

  HLOCAL block = LocalAlloc(LMEM_FIXED, 8);
  void* data = LocalLock(block);
  EXPECT_EQ(LocalLock(data), nullptr);  // the memory is not the handle
  EXPECT_EQ(LocalFree(block), nullptr);
  EXPECT_EQ(LocalFree(block), block);  // freed twice: the second is refused
  EXPECT_EQ(LocalLock(block), nullptr);
}

TEST(LocalMemory, BytesAvailableAtCountsToTheEndOfTheBlock) {
  HLOCAL block = LocalAlloc(LHND, 64);
  auto* data = static_cast<char*>(LocalLock(block));
  size_t bytes = 0;
  EXPECT_TRUE(localmem::BytesAvailableAt(data, &bytes));
  EXPECT_EQ(bytes, 64u);
  EXPECT_TRUE(localmem::BytesAvailableAt(data + 40, &bytes));
  EXPECT_EQ(bytes, 24u);
  EXPECT_FALSE(localmem::BytesAvailableAt(data + 64, &bytes));
  int elsewhere = 0;
  EXPECT_FALSE(localmem::BytesAvailableAt(&elsewhere, &bytes));
  LocalUnlock(block);
  LocalFree(block);
  EXPECT_FALSE(localmem::BytesAvailableAt(data, &bytes));
}

TEST(LocalMemory, ABlockBeyondThirtyOneBitsIsRefused) {
  EXPECT_EQ(LocalAlloc(LHND, size_t{0x80000000u}), nullptr);
  HLOCAL empty = LocalAlloc(LHND, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(LocalSize(empty), 0u);
  size_t bytes = 0;
  EXPECT_FALSE(localmem::BytesAvailableAt(LocalLock(empty), &bytes));
  LocalFree(empty);
}

TEST(LocalMemory, ALoadedModuleAllocatesWithTheProgramsLocalAlloc) {
  void* module = dlopen(FIXTURE_ALLOC, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  auto make = reinterpret_cast<HLOCAL (*)(size_t, unsigned char)>(dlsym(module, "FixtureMakeBlock"));
  ASSERT_NE(make, nullptr);
  size_t before = localmem::LiveBlocks();
  HLOCAL block = make(32, 0xAB);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(localmem::LiveBlocks(), before + 1);
  EXPECT_EQ(LocalSize(block), 32u);
  auto* data = static_cast<unsigned char*>(LocalLock(block));
  ASSERT_NE(data, nullptr);
  unsigned char expected[32];
  std::memset(expected, 0xAB, sizeof expected);
  EXPECT_EQ(std::memcmp(data, expected, sizeof expected), 0);
  LocalUnlock(block);
  EXPECT_EQ(LocalFree(block), nullptr);
  EXPECT_EQ(localmem::LiveBlocks(), before);
  dlclose(module);
}

}  // namespace
