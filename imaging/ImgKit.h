// The entry points this library exports, each from the module named beside
// it. Their types are those of platform/abi/imgkit.h.
#pragma once

#include <cstdint>

#include "platform/abi/dib.h"
#include "platform/abi/imgkit.h"

#define IMGKIT_API extern "C" __attribute__((visibility("default")))

// ImgCom3.dll: gives an image back. 1 when the handle was live, else 0.
IMGKIT_API int32_t ImgKitMemFree(int32_t image);

// ImgFile3.dll: reads only the file's header and fills the 24-byte
// ImgKitFileInfo. Nonzero when the file is a JPEG picture of an acceptable size.
IMGKIT_API int32_t ImgKitFileType(const char* fileName, void* info);

// ImgFile3.dll: decodes the whole file. The two options are not used.
// Returns the new image's handle, 0 on failure.
IMGKIT_API int32_t ImgKitFileLoad(const char* fileName, const char* option1, const char* option2);

// ImgDsp3.dll: draws the image scaled to width x height at the device
// context's top-left corner, clipped to the context. `mode` must be 0.
// Nonzero when something was drawn.
IMGKIT_API int32_t ImgKitDisplayHdc(HDC dc, int32_t image, int32_t width, int32_t height,
                                    int32_t mode);
