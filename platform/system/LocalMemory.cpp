// Local memory: each block is a header followed by the caller's bytes. The
// handle is the header's address; a registry of live blocks decides whether
// a handle is known before anything is read through it.
#include "platform/system/LocalMemory.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/abi/localmem.h"

namespace {

constexpr uint32_t kMagic = 0x4C4D454Du;  // "LMEM"
// Blocks are for 32-bit sizes, as on the platform the modules were written for.
constexpr size_t kLargestBlock = 0x7FFFFFFFu;

struct alignas(std::max_align_t) Header {
  uint32_t magic;
  uint32_t locks;
  size_t size;
};

std::mutex mutex;
std::map<uintptr_t, Header*> blocks;  // data address -> header

uintptr_t DataAddress(const void* header) { return reinterpret_cast<uintptr_t>(header) + sizeof(Header); }

Header* Known(HLOCAL mem) {
  if (mem == nullptr) return nullptr;
  auto it = blocks.find(DataAddress(mem));
  if (it == blocks.end() || it->second != mem || it->second->magic != kMagic) return nullptr;
  return it->second;
}

}  // namespace

HLOCAL LocalAlloc(UINT /*flags*/, size_t bytes) {
  if (bytes > kLargestBlock) return nullptr;
  // Always zeroed: a module that hands back fewer bytes than it claims then
  // shows zeros rather than stale memory.
  auto* header = static_cast<Header*>(std::calloc(1, sizeof(Header) + bytes));
  if (header == nullptr) return nullptr;
  header->magic = kMagic;
  header->size = bytes;
  std::lock_guard lock(mutex);
  blocks[DataAddress(header)] = header;
  return header;
}

void* LocalLock(HLOCAL mem) {
  std::lock_guard lock(mutex);
  Header* header = Known(mem);
  if (header == nullptr) return nullptr;
  ++header->locks;
  return reinterpret_cast<void*>(DataAddress(header));
}

BOOL LocalUnlock(HLOCAL mem) {
  std::lock_guard lock(mutex);
  Header* header = Known(mem);
  if (header == nullptr || header->locks == 0) return CORVALEN_FALSE;
  return --header->locks > 0 ? CORVALEN_TRUE : CORVALEN_FALSE;
}

HLOCAL LocalFree(HLOCAL mem) {
  std::lock_guard lock(mutex);
  Header* header = Known(mem);
  if (header == nullptr) return mem;
  blocks.erase(DataAddress(header));
  header->magic = 0;
  std::free(header);
  return nullptr;
}

size_t LocalSize(HLOCAL mem) {
  std::lock_guard lock(mutex);
  Header* header = Known(mem);
  return header != nullptr ? header->size : 0;
}

namespace localmem {

bool BytesAvailableAt(const void* p, size_t* bytes) {
  std::lock_guard lock(mutex);
  auto at = reinterpret_cast<uintptr_t>(p);
  auto it = blocks.upper_bound(at);
  if (it == blocks.begin()) return false;
  --it;
  size_t offset = at - it->first;
  if (offset >= it->second->size) return false;
  if (bytes != nullptr) *bytes = it->second->size - offset;
  return true;
}

size_t LiveBlocks() {
  std::lock_guard lock(mutex);
  return blocks.size();
}

}  // namespace localmem
