// Part of GifView.spi: reading the first image of a GIF file with giflib.
#include "plugins/GifDecode.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <new>
#include <vector>

#include "platform/abi/imgkit.h"

namespace gifview {
namespace {

bool AcceptableSize(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= IMGKIT_MAX_PIXELS / height;
}

int32_t FromGifError(int error) {
  switch (error) {
    case D_GIF_ERR_OPEN_FAILED:
    case D_GIF_ERR_READ_FAILED:
      return SPI_FILE_READ_ERROR;
    case D_GIF_ERR_NOT_ENOUGH_MEM:
      return SPI_MEMORY_ERROR;
    default:
      return SPI_BROKEN_DATA;
  }
}

// The transparent colour index named by a graphic control extension, or -1.
// Reads (and so steps over) every sub-block of the extension.
bool ReadExtension(GifFileType* gif, int* transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
    GraphicsControlBlock control{};
    if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
      *transparent = control.TransparentColor;
    }
  }
  while (block != nullptr) {
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
  }
  return true;
}

void FillPalette(const ColorMapObject* map, RGBQUAD* palette) {
  std::memset(palette, 0, 256 * sizeof(RGBQUAD));
  for (int i = 0; i < 256; ++i) {
    if (map != nullptr) {
      if (i >= map->ColorCount) break;
      palette[i].rgbRed = map->Colors[i].Red;
      palette[i].rgbGreen = map->Colors[i].Green;
      palette[i].rgbBlue = map->Colors[i].Blue;
    } else {
      palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = static_cast<BYTE>(i);
    }
  }
}

// The order in which an image's rows arrive: four passes when interlaced.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(static_cast<size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  static const int kStart[] = {0, 4, 2, 1};
  static const int kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  }
  return order;
}

int32_t DrawImage(GifFileType* gif, const Canvas& canvas, int transparent,
                  SpiProgressCallback progress, intptr_t data) {
  const GifImageDesc& image = gif->Image;
  if (!AcceptableSize(image.Width, image.Height)) return SPI_BROKEN_DATA;
  FillPalette(image.ColorMap != nullptr ? image.ColorMap : gif->SColorMap, canvas.palette);

  const int screenWidth = gif->SWidth;
  const int screenHeight = gif->SHeight;
  std::vector<GifPixelType> line(static_cast<size_t>(image.Width));
  std::vector<int> order = RowOrder(image.Height, image.Interlace);
  int done = 0;
  for (int row : order) {
    if (DGifGetLine(gif, line.data(), image.Width) != GIF_OK) return FromGifError(gif->Error);
    const int y = image.Top + row;
    if (y >= 0 && y < screenHeight) {
      uint8_t* target = canvas.rows + static_cast<size_t>(screenHeight - 1 - y) * canvas.stride;
      for (int x = 0; x < image.Width; ++x) {
        const int sx = image.Left + x;
        if (sx >= screenWidth) break;
        if (sx < 0 || line[static_cast<size_t>(x)] == transparent) continue;
        target[sx] = line[static_cast<size_t>(x)];
      }
    }
    ++done;
    if (progress != nullptr && progress(done, image.Height, data) != 0) return SPI_OUT_OF_ORDER;
  }
  return SPI_SUCCESS;
}

}  // namespace

int32_t Open(const char* fileName, intptr_t offset, GifFileType** gif) {
  *gif = nullptr;
  if (fileName == nullptr || offset < 0) return SPI_FILE_READ_ERROR;
  int fd = open(fileName, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return SPI_FILE_READ_ERROR;
  if (offset > 0 && lseek(fd, static_cast<off_t>(offset), SEEK_SET) != static_cast<off_t>(offset)) {
    close(fd);
    return SPI_FILE_READ_ERROR;
  }
  int error = 0;
  GifFileType* opened = DGifOpenFileHandle(fd, &error);  // closes fd itself on failure
  if (opened == nullptr) return FromGifError(error);
  if (!AcceptableSize(opened->SWidth, opened->SHeight)) {
    Close(opened);
    return SPI_BROKEN_DATA;
  }
  *gif = opened;
  return SPI_SUCCESS;
}

void Close(GifFileType* gif) {
  if (gif != nullptr) DGifCloseFile(gif, nullptr);
}

int32_t DrawFirstImage(GifFileType* gif, const Canvas& canvas, SpiProgressCallback progress,
                       intptr_t data) {
  const ColorMapObject* global = gif->SColorMap;
  const int background =
      global != nullptr && gif->SBackGroundColor < global->ColorCount ? gif->SBackGroundColor : 0;
  for (int y = 0; y < gif->SHeight; ++y) {
    std::memset(canvas.rows + static_cast<size_t>(y) * canvas.stride, background,
                static_cast<size_t>(gif->SWidth));
  }
  int transparent = NO_TRANSPARENT_COLOR;
  try {
    for (;;) {
      GifRecordType record = UNDEFINED_RECORD_TYPE;
      if (DGifGetRecordType(gif, &record) != GIF_OK) return FromGifError(gif->Error);
      switch (record) {
        case EXTENSION_RECORD_TYPE:
          if (!ReadExtension(gif, &transparent)) return FromGifError(gif->Error);
          break;
        case IMAGE_DESC_RECORD_TYPE:
          if (DGifGetImageDesc(gif) != GIF_OK) return FromGifError(gif->Error);
          return DrawImage(gif, canvas, transparent, progress, data);
        case TERMINATE_RECORD_TYPE:
          return SPI_BROKEN_DATA;  // a file without any image
        default:
          return SPI_BROKEN_DATA;
      }
    }
  } catch (const std::bad_alloc&) {
    return SPI_MEMORY_ERROR;
  }
}

}  // namespace gifview
