// GIF files of any content: the plug-in's decoder opens, paints or refuses
// them without reading or writing outside the canvas.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

#include "plugins/GifDecode.h"
#include "tests/fuzz/FuzzFiles.h"

namespace {

// Stops after a few rows for pictures larger than the fuzzer should paint.
int32_t Progress(int32_t done, int32_t, intptr_t limit) { return done > limit ? 1 : 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzzfiles::WriteInput(data, size);
  GifFileType* gif = nullptr;
  const int32_t opened = gifview::Open(path.c_str(), 0, &gif);
  if (opened != SPI_SUCCESS) {
    if (gif != nullptr) std::abort();
    return 0;
  }
  // Canvases of up to a million bytes are painted; larger screens are
  // only opened (the canvas alone would be most of the run).
  const size_t stride = (static_cast<size_t>(gif->SWidth) + 3) / 4 * 4;
  const size_t bytes = stride * static_cast<size_t>(gif->SHeight);
  if (bytes <= (1u << 20)) {
    std::unique_ptr<uint8_t[]> rows(new uint8_t[bytes]);
    std::unique_ptr<RGBQUAD[]> palette(new RGBQUAD[256]);
    gifview::Canvas canvas{rows.get(), stride, palette.get()};
    (void)gifview::DrawFirstImage(gif, canvas, Progress, 4096);
  }
  gifview::Close(gif);
  return 0;
}
