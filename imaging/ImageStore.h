// The image store shared by the library's modules. ImgCom3.dll owns it: the
// decoding module adds images, the display module draws them, and
// ImgKitMemFree gives them back. Handles are nonzero positive 32-bit values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/abi/imgkit.h"

#define IMGKIT_SHARED __attribute__((visibility("default")))

namespace imgkit {

// A decoded picture: width x height pixels, rows top-down without padding,
// each pixel one 0xAARRGGBB word (blue first in memory, alpha 0xFF).
struct Image {
  int32_t width = 0;
  int32_t height = 0;
  std::unique_ptr<uint32_t[]> pixels;
  size_t capacity = 0;  // pixels the buffer has room for (at least width x height)
};

// True when a picture of this size may be decoded: both sides positive and
// no more than IMGKIT_MAX_PIXELS pixels in all.
inline bool AcceptableSize(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= IMGKIT_MAX_PIXELS / height;
}

// A new image with room for its pixels (left uninitialised: the decoder
// fills every one). Null when the size is not acceptable or memory is short.
// When the last holder lets an image go, its pixel buffer is kept as the one
// spare buffer (replacing any older spare), and the next image that fits in
// it and needs at least half of it takes it over: showing pictures one after
// another then allocates, and faults in, a large buffer only once.
IMGKIT_SHARED std::shared_ptr<Image> NewImage(int32_t width, int32_t height);

// Keeps the image and returns its new handle; 0 when it cannot be kept.
IMGKIT_SHARED int32_t StoreImage(std::shared_ptr<const Image> image);

// The image behind a handle, or null for a handle that is not live. The
// image stays valid while the caller holds it, even if freed meanwhile.
IMGKIT_SHARED std::shared_ptr<const Image> FindImage(int32_t handle);

// Drops the handle; false when it was not live.
IMGKIT_SHARED bool ReleaseImage(int32_t handle);

}  // namespace imgkit
