/* The imaging library's calling interface. Every value is 32 bits wide; texts
   are zero-terminated byte strings; an image handle is a nonzero 32-bit value
   owned by the library until it is given back with ImgKitMemFree. */
#ifndef CORVALEN_ABI_IMGKIT_H
#define CORVALEN_ABI_IMGKIT_H

#include "wintypes.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Filled by ImgKitFileType: 24 bytes, width at bytes 4..7, height at 8..11. */
typedef struct ImgKitFileInfo {
  int32_t format;   /* 1: JPEG */
  int32_t width;
  int32_t height;
  int32_t bitCount; /* 24 for colour, 8 for grey */
  int32_t fileSize;
  int32_t reserved;
} ImgKitFileInfo;

/* Largest decoded picture the library accepts, in pixels (width x height). */
#define IMGKIT_MAX_PIXELS 100000000LL

typedef int32_t (*ImgKitFileTypeProc)(const char* fileName, void* info);
typedef int32_t (*ImgKitFileLoadProc)(const char* fileName, const char* option1, const char* option2);
typedef int32_t (*ImgKitDisplayHdcProc)(HDC dc, int32_t image, int32_t width, int32_t height, int32_t mode);
typedef int32_t (*ImgKitMemFreeProc)(int32_t image);

#ifdef __cplusplus
}
#endif

#endif
