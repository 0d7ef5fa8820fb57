// Device-independent pixels come from plug-ins: any header, colour table and
// pixel block, with any stated sizes, must be drawn reading only inside the
// blocks and writing only inside the bitmap.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/abi/dib.h"
#include "platform/gui/Graphics.h"

namespace {

constexpr size_t kControlBytes = 10;

uint32_t Le16(const uint8_t* p) { return p[0] | (p[1] << 8); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kControlBytes) return 0;
  // The bitmap: 1 to 64 pixels each way, rows with up to 15 bytes of padding.
  const int width = 1 + data[0] % 64;
  const int height = 1 + data[1] % 64;
  const int stride = 4 * width + data[2] % 16;
  const UINT start = data[3] & 0x80 ? Le16(data + 4) : data[4] % 8;
  const UINT lines = data[5] == 0xFF ? 0xFFFFFFFFu : Le16(data + 6);
  const uint8_t* rest = data + kControlBytes;
  const size_t restSize = size - kControlBytes;
  const size_t infoSize = restSize == 0 ? 0 : Le16(data + 8) % (restSize + 1);

  // Exact-size blocks, so that a read past either end is caught.
  std::vector<uint8_t> info(rest, rest + infoSize);
  std::vector<uint8_t> bits(rest + infoSize, rest + restSize);
  const size_t pixelBytes = static_cast<size_t>(stride) * static_cast<size_t>(height);
  std::unique_ptr<uint8_t[]> pixels(new uint8_t[pixelBytes]());

  DeviceContext dc{};
  dc.magic = CORVALEN_DC_MAGIC;
  dc.width = width;
  dc.height = height;
  dc.stride = stride;
  dc.bits = pixels.get();
  const int copied = SetDIBitsFromBlock(&dc, start, lines, bits.empty() ? nullptr : bits.data(), bits.size(),
                                        info.empty() ? nullptr : reinterpret_cast<const BITMAPINFO*>(info.data()),
                                        info.size());
  if (copied < 0 || copied > height) std::abort();
  // Padding bytes past each row's pixels stay untouched.
  for (int y = 0; y < height; ++y) {
    for (int x = 4 * width; x < stride; ++x) {
      if (pixels[static_cast<size_t>(y) * stride + x] != 0) std::abort();
    }
  }
  return 0;
}
