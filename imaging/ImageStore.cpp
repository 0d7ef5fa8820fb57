// ImgCom3.dll: the image store and ImgKitMemFree.
#include "imaging/ImageStore.h"

#include <mutex>
#include <new>
#include <type_traits>
#include <unordered_map>

#include "imaging/ImgKit.h"

static_assert(std::is_same_v<decltype(&ImgKitMemFree), ImgKitMemFreeProc>);

namespace imgkit {
namespace {

struct Store {
  std::mutex lock;
  std::unordered_map<int32_t, std::shared_ptr<const Image>> images;
  int32_t last = 0;  // the handle given out most recently
};

Store& TheStore() {
  static Store store;
  return store;
}

}  // namespace

std::shared_ptr<Image> NewImage(int32_t width, int32_t height) {
  if (!AcceptableSize(width, height)) return nullptr;
  try {
    auto image = std::make_shared<Image>();
    image->width = width;
    image->height = height;
    image->pixels = std::make_unique_for_overwrite<uint32_t[]>(static_cast<size_t>(width) *
                                                                static_cast<size_t>(height));
    return image;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

int32_t StoreImage(std::shared_ptr<const Image> image) {
  if (!image) return 0;
  Store& store = TheStore();
  std::lock_guard<std::mutex> hold(store.lock);
  // Handles count up and wrap round to 1, skipping any still in use.
  for (int32_t tries = 0; tries < INT32_MAX; ++tries) {
    store.last = store.last == INT32_MAX ? 1 : store.last + 1;
    if (store.images.count(store.last) != 0) continue;
    try {
      store.images.emplace(store.last, std::move(image));
    } catch (const std::bad_alloc&) {
      return 0;
    }
    return store.last;
  }
  return 0;
}

std::shared_ptr<const Image> FindImage(int32_t handle) {
  Store& store = TheStore();
  std::lock_guard<std::mutex> hold(store.lock);
  auto it = store.images.find(handle);
  return it == store.images.end() ? nullptr : it->second;
}

bool ReleaseImage(int32_t handle) {
  std::shared_ptr<const Image> dropped;  // destroyed after the lock is let go
  Store& store = TheStore();
  std::lock_guard<std::mutex> hold(store.lock);
  auto it = store.images.find(handle);
  if (it == store.images.end()) return false;
  dropped = std::move(it->second);
  store.images.erase(it);
  return true;
}

}  // namespace imgkit

int32_t ImgKitMemFree(int32_t image) { return imgkit::ReleaseImage(image) ? 1 : 0; }
