// GifView.spi: the picture-import plug-in for GIF files. It hands back the
// first image of a file on its logical screen as an 8-bit bitmap.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <type_traits>

#include "platform/abi/spi.h"
#include "plugins/GifDecode.h"

#define SPI_API extern "C" __attribute__((visibility("default")))

SPI_API int32_t IsSupported(const char* fileName, intptr_t handle);
SPI_API int32_t GetPictureInfo(const char* source, intptr_t length, uint32_t flag,
                               SpiPictureInfo* info);
SPI_API int32_t GetPicture(const char* source, intptr_t length, uint32_t flag,
                           HLOCAL* bitmapInfo, HLOCAL* pixels, SpiProgressCallback progress,
                           intptr_t data);

static_assert(std::is_same_v<decltype(&IsSupported), SpiIsSupportedProc>);
static_assert(std::is_same_v<decltype(&GetPictureInfo), SpiGetPictureInfoProc>);
static_assert(std::is_same_v<decltype(&GetPicture), SpiGetPictureProc>);

namespace {

// The low three bits of `flag` say where the picture is: 0 for a file, whose
// name is `source` and where the picture starts `length` bytes in. Pictures
// held in memory are not supported.
bool FromFile(uint32_t flag) { return (flag & 7u) == 0; }

constexpr size_t kInfoBytes = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);

// A local-memory block, locked while this object holds it; freed unless
// released to the caller.
class LocalBlock {
 public:
  explicit LocalBlock(size_t bytes) : handle_(LocalAlloc(LHND, bytes)) {
    if (handle_ != nullptr) {
      memory_ = static_cast<uint8_t*>(LocalLock(handle_));
      if (memory_ == nullptr) {
        LocalFree(handle_);
        handle_ = nullptr;
      }
    }
  }
  ~LocalBlock() {
    if (handle_ != nullptr) {
      LocalUnlock(handle_);
      LocalFree(handle_);
    }
  }
  LocalBlock(const LocalBlock&) = delete;
  LocalBlock& operator=(const LocalBlock&) = delete;

  uint8_t* memory() const { return memory_; }
  HLOCAL Release() {
    LocalUnlock(handle_);
    HLOCAL handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  HLOCAL handle_;
  uint8_t* memory_ = nullptr;
};

class OpenGif {
 public:
  OpenGif() = default;
  ~OpenGif() { gifview::Close(gif_); }
  OpenGif(const OpenGif&) = delete;
  OpenGif& operator=(const OpenGif&) = delete;
  GifFileType** out() { return &gif_; }
  GifFileType* operator->() const { return gif_; }
  GifFileType* get() const { return gif_; }

 private:
  GifFileType* gif_ = nullptr;
};

}  // namespace

int32_t IsSupported(const char* /*fileName*/, intptr_t handle) {
  // The host holds the file open; read its first bytes through the handle,
  // wherever its position is, and leave the position as it was.
  if (handle < 0 || handle > INT32_MAX) return 0;
  char stamp[6];
  ssize_t got;
  do {
    got = pread(static_cast<int>(handle), stamp, sizeof stamp, 0);
  } while (got < 0 && errno == EINTR);
  if (got != static_cast<ssize_t>(sizeof stamp)) return 0;
  return std::memcmp(stamp, "GIF87a", 6) == 0 || std::memcmp(stamp, "GIF89a", 6) == 0 ? 1 : 0;
}

int32_t GetPictureInfo(const char* source, intptr_t length, uint32_t flag, SpiPictureInfo* info) {
  if (info == nullptr || !FromFile(flag)) return SPI_NOT_SUPPORTED;
  OpenGif gif;
  int32_t result = gifview::Open(source, length, gif.out());
  if (result != SPI_SUCCESS) return result;
  *info = SpiPictureInfo{};
  info->width = gif->SWidth;
  info->height = gif->SHeight;
  info->colorDepth = 8;
  return SPI_SUCCESS;
}

int32_t GetPicture(const char* source, intptr_t length, uint32_t flag, HLOCAL* bitmapInfo,
                   HLOCAL* pixels, SpiProgressCallback progress, intptr_t data) {
  if (bitmapInfo == nullptr || pixels == nullptr || !FromFile(flag)) return SPI_NOT_SUPPORTED;
  *bitmapInfo = nullptr;
  *pixels = nullptr;
  OpenGif gif;
  int32_t result = gifview::Open(source, length, gif.out());
  if (result != SPI_SUCCESS) return result;

  const int32_t width = gif->SWidth;
  const int32_t height = gif->SHeight;
  const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
  const size_t pixelBytes = stride * static_cast<size_t>(height);
  LocalBlock infoBlock(kInfoBytes);
  if (infoBlock.memory() == nullptr) return SPI_MEMORY_ERROR;
  LocalBlock pixelBlock(pixelBytes);
  if (pixelBlock.memory() == nullptr) return SPI_MEMORY_ERROR;

  BITMAPINFOHEADER header{};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = height;  // positive: rows bottom-up
  header.biPlanes = 1;
  header.biBitCount = 8;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(pixelBytes);
  header.biClrUsed = 256;
  std::memcpy(infoBlock.memory(), &header, sizeof header);

  gifview::Canvas canvas;
  canvas.rows = pixelBlock.memory();
  canvas.stride = stride;
  canvas.palette = reinterpret_cast<RGBQUAD*>(infoBlock.memory() + sizeof(BITMAPINFOHEADER));
  result = gifview::DrawFirstImage(gif.get(), canvas, progress, data);
  if (result != SPI_SUCCESS) return result;

  *bitmapInfo = infoBlock.Release();
  *pixels = pixelBlock.Release();
  return SPI_SUCCESS;
}
