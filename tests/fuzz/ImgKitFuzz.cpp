// Pictures are files of any content: the header reader and the decoder must
// refuse or decode them without fault, and a decoded picture has the size
// the header reported.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "imaging/ImageStore.h"
#include "imaging/ImgKit.h"
#include "tests/fuzz/FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzzfiles::WriteInput(data, size);
  ImgKitFileInfo info{};
  const int32_t known = ImgKitFileType(path.c_str(), &info);
  if (known != 0 && (info.width <= 0 || info.height <= 0 || info.fileSize != static_cast<int32_t>(size))) {
    std::abort();
  }
  // Pictures the header reader refuses are given to the decoder too; those
  // it accepts as larger than a million pixels are not (decoding them is
  // bounded, but would take most of the run).
  if (known != 0 && static_cast<int64_t>(info.width) * info.height > (1ll << 20)) return 0;
  const int32_t image = ImgKitFileLoad(path.c_str(), nullptr, nullptr);
  if (image != 0) {
    // A file the decoder accepts has a header the header reader accepts too.
    if (known == 0) std::abort();
    auto decoded = imgkit::FindImage(image);
    if (!decoded || decoded->width != info.width || decoded->height != info.height) std::abort();
    decoded.reset();
    if (ImgKitMemFree(image) != 1) std::abort();
  }
  return 0;
}
