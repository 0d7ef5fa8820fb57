// SetDIBits: device-independent pixels into a device context, reading only
// inside the blocks that hold them.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Graphics.h"
#include "platform/system/LocalMemory.h"

namespace {

// Larger widths or heights are taken as a damaged header.
constexpr long long kMaxDimension = 1LL << 20;

bool UsableContext(const DeviceContext* dc) {
  return dc != nullptr && dc->magic == CORVALEN_DC_MAGIC && dc->bits != nullptr && dc->width > 0 &&
         dc->height > 0 && static_cast<long long>(dc->stride) >= 4LL * dc->width;
}

void ConvertRow(const uint8_t* src, uint8_t* dst, int columns, int bitCount, const uint8_t* table,
                size_t colours) {
  for (int x = 0; x < columns; ++x) {
    const auto ux = static_cast<size_t>(x);
    uint8_t b = 0, g = 0, r = 0;
    if (bitCount >= 24) {
      const uint8_t* p = src + ux * static_cast<size_t>(bitCount / 8);
      b = p[0];
      g = p[1];
      r = p[2];
    } else {
      size_t index;
      if (bitCount == 8) {
        index = src[ux];
      } else if (bitCount == 4) {
        index = (ux % 2 == 0) ? (src[ux / 2] >> 4) : (src[ux / 2] & 0x0F);
      } else {
        index = (src[ux / 8] >> (7 - ux % 8)) & 1;
      }
      if (index < colours) {  // an index past the table gives black
        b = table[index * 4];
        g = table[index * 4 + 1];
        r = table[index * 4 + 2];
      }
    }
    const uint32_t pixel = 0xFF000000u | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
    std::memcpy(dst + ux * 4, &pixel, 4);
  }
}

}  // namespace

int SetDIBitsFromBlock(HDC dc, UINT start, UINT lines, const void* bits, size_t bitsSize,
                       const BITMAPINFO* info, size_t infoSize) {
  if (!UsableContext(dc) || bits == nullptr || info == nullptr) return 0;
  BITMAPINFOHEADER h;
  if (infoSize < sizeof h) return 0;
  std::memcpy(&h, info, sizeof h);
  if (h.biSize < sizeof h || h.biSize > infoSize || h.biCompression != BI_RGB) return 0;
  const int bitCount = h.biBitCount;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) return 0;
  const long long width = h.biWidth;
  const long long height = h.biHeight;
  const long long rows = height < 0 ? -height : height;
  if (width <= 0 || width > kMaxDimension || rows == 0 || rows > kMaxDimension) return 0;
  const bool topDown = height < 0;

  const uint8_t* table = nullptr;
  size_t colours = 0;
  if (bitCount <= 8) {
    const size_t full = size_t{1} << bitCount;
    colours = h.biClrUsed != 0 ? h.biClrUsed : full;
    if (colours > full || colours > (infoSize - h.biSize) / 4) return 0;
    table = reinterpret_cast<const uint8_t*>(info) + h.biSize;
  }

  const auto rowBytes = static_cast<size_t>((width * bitCount + 31) / 32 * 4);
  if (start >= rows) return 0;
  const long long count = std::min<long long>(lines, rows - start);
  const int columns = static_cast<int>(std::min<long long>(width, dc->width));
  const auto* src = static_cast<const uint8_t*>(bits);
  int copied = 0;
  for (long long i = 0; i < count && copied < dc->height; ++i) {
    const auto row = static_cast<size_t>(i);
    if ((row + 1) * rowBytes > bitsSize) break;  // the block ends: the rest is not there
    // Row `start + i` of the picture; its top row lands on the bitmap's top row.
    const long long scan = start + i;
    const long long y = topDown ? scan : rows - 1 - scan;
    if (y < 0 || y >= dc->height) continue;
    ConvertRow(src + row * rowBytes, dc->bits + y * dc->stride, columns, bitCount, table, colours);
    ++copied;
  }
  return copied;
}

int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT usage) {
  if (usage != DIB_RGB_COLORS) return 0;
  size_t infoSize = 0;
  size_t bitsSize = 0;
  if (!localmem::BytesAvailableAt(info, &infoSize) || !localmem::BytesAvailableAt(bits, &bitsSize)) return 0;
  const int copied = SetDIBitsFromBlock(dc, start, lines, bits, bitsSize, info, infoSize);
  if (copied > 0) {
    if (TBitmap* target = TBitmap::FromHandle(bitmap)) target->Changed();
  }
  return copied;
}
