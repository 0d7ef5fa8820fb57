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

// The pixel buffer of the image freed last, kept for the next one.
struct Spare {
  std::mutex lock;
  std::unique_ptr<uint32_t[]> pixels;
  size_t capacity = 0;
};

struct Store {
  // Declared first so that it outlives the images: images still kept when
  // the module goes give their buffers back to it.
  Spare spare;
  std::mutex lock;
  std::unordered_map<int32_t, std::shared_ptr<const Image>> images;
  int32_t last = 0;  // the handle given out most recently
};

Store& TheStore() {
  static Store store;
  return store;
}

Spare& TheSpare() { return TheStore().spare; }

// Keeps a freed image's buffer as the spare; the older spare is freed (after
// the lock is let go).
void KeepAsSpare(std::unique_ptr<uint32_t[]> pixels, size_t capacity) {
  if (!pixels) return;
  Spare& spare = TheSpare();
  std::lock_guard<std::mutex> hold(spare.lock);
  std::swap(spare.pixels, pixels);
  spare.capacity = capacity;
}

// The spare buffer when `need` pixels fit in it without wasting more than
// half of it; null otherwise. A spare that is too small is freed first, so
// that it is not held while a larger buffer is made.
std::unique_ptr<uint32_t[]> TakeSpare(size_t need, size_t* capacity) {
  std::unique_ptr<uint32_t[]> taken;
  Spare& spare = TheSpare();
  std::lock_guard<std::mutex> hold(spare.lock);
  if (spare.pixels && need <= spare.capacity && need >= spare.capacity / 2) {
    *capacity = spare.capacity;
    taken = std::move(spare.pixels);
    spare.capacity = 0;
  } else if (spare.pixels && need > spare.capacity) {
    spare.pixels.reset();
    spare.capacity = 0;
  }
  return taken;
}

// Gives the image's buffer back as the spare when the image goes.
struct Recycle {
  void operator()(Image* image) const {
    KeepAsSpare(std::move(image->pixels), image->capacity);
    delete image;
  }
};

}  // namespace

std::shared_ptr<Image> NewImage(int32_t width, int32_t height) {
  if (!AcceptableSize(width, height)) return nullptr;
  const size_t need = static_cast<size_t>(width) * static_cast<size_t>(height);
  try {
    std::shared_ptr<Image> image(new Image, Recycle());
    image->width = width;
    image->height = height;
    image->pixels = TakeSpare(need, &image->capacity);
    if (!image->pixels) {
      image->pixels = std::make_unique_for_overwrite<uint32_t[]>(need);
      image->capacity = need;
    }
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
