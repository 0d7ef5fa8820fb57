// Decoding the first picture of a GIF file into an 8-bit canvas of the
// logical screen's size, for the GifView plug-in.
#pragma once

#include <gif_lib.h>

#include <cstddef>
#include <cstdint>

#include "platform/abi/spi.h"

namespace gifview {

// Opens the GIF that starts `offset` bytes into the named file. Returns
// SPI_SUCCESS and sets *gif, or an SPI error code. The screen size is
// checked: both sides positive and no more than IMGKIT_MAX_PIXELS in all.
int32_t Open(const char* fileName, intptr_t offset, GifFileType** gif);

// Closes what Open opened (null is ignored).
void Close(GifFileType* gif);

// Where the picture goes: `rows` holds screen-height rows of `stride` bytes,
// the bottom row first; `palette` has 256 entries.
struct Canvas {
  uint8_t* rows = nullptr;
  size_t stride = 0;
  RGBQUAD* palette = nullptr;
};

// Paints the first image of the file on the canvas: the screen's background
// colour first, then the image at its place on the screen, its transparent
// pixels left in the background colour. The palette is the image's own
// colour table, else the file's, else a grey ramp; unused entries are black.
// `progress` (may be null) is told the rows done; a nonzero answer aborts.
int32_t DrawFirstImage(GifFileType* gif, const Canvas& canvas, SpiProgressCallback progress,
                       intptr_t data);

}  // namespace gifview
