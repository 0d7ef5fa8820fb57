// ImgDsp3.dll: ImgKitDisplayHdc, drawing a stored image into a device context.
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "imaging/ImageStore.h"
#include "imaging/ImgKit.h"

static_assert(std::is_same_v<decltype(&ImgKitDisplayHdc), ImgKitDisplayHdcProc>);

namespace {

// Source index of each drawn column or row: the source pixel under the
// centre of the target pixel (nearest neighbour).
void MapAxis(int64_t source, int64_t target, int32_t drawn, std::vector<int32_t>* map) {
  map->resize(static_cast<size_t>(drawn));
  for (int32_t i = 0; i < drawn; ++i) {
    (*map)[static_cast<size_t>(i)] = static_cast<int32_t>(((2 * int64_t{i} + 1) * source) / (2 * target));
  }
}

bool UsableContext(const DeviceContext* dc) {
  return dc != nullptr && dc->magic == CORVALEN_DC_MAGIC && dc->bits != nullptr && dc->width > 0 &&
         dc->height > 0 && dc->stride >= 0 && dc->stride / 4 >= dc->width;
}

}  // namespace

int32_t ImgKitDisplayHdc(HDC dc, int32_t handle, int32_t width, int32_t height, int32_t mode) {
  if (mode != 0 || width <= 0 || height <= 0 || !UsableContext(dc)) return 0;
  std::shared_ptr<const imgkit::Image> image = imgkit::FindImage(handle);
  if (!image) return 0;

  const int32_t drawnWidth = width < dc->width ? width : dc->width;
  const int32_t drawnHeight = height < dc->height ? height : dc->height;
  const uint32_t* source = image->pixels.get();
  const size_t sourceWidth = static_cast<size_t>(image->width);

  // The natural size into a context of the same width without row padding:
  // the pixels are one block, copied as it stands.
  if (width == image->width && height == image->height && drawnWidth == width &&
      static_cast<int64_t>(dc->stride) == int64_t{width} * 4) {
    std::memcpy(dc->bits, source, static_cast<size_t>(drawnHeight) * sourceWidth * 4);
    return 1;
  }

  std::vector<int32_t> rows;
  std::vector<int32_t> columns;
  try {
    MapAxis(image->height, height, drawnHeight, &rows);
    if (width != image->width) MapAxis(image->width, width, drawnWidth, &columns);
  } catch (const std::bad_alloc&) {
    return 0;
  }

  for (int32_t y = 0; y < drawnHeight; ++y) {
    const uint32_t* from = source + static_cast<size_t>(rows[static_cast<size_t>(y)]) * sourceWidth;
    // The context's rows need not be 4-byte aligned: pixels are stored bytewise.
    uint8_t* to = dc->bits + static_cast<size_t>(y) * static_cast<size_t>(dc->stride);
    if (columns.empty()) {
      // Same width: the row is copied as it stands.
      std::memcpy(to, from, static_cast<size_t>(drawnWidth) * 4);
    } else {
      const int32_t* map = columns.data();
      for (int32_t x = 0; x < drawnWidth; ++x) std::memcpy(to + 4 * x, &from[map[x]], 4);
    }
  }
  return 1;
}
