/* Picture-import plug-in interface. A plug-in is a shared module with the
   extension ".spi" that exports IsSupported, GetPictureInfo and GetPicture.
   Blocks handed back by GetPicture are allocated with LocalAlloc (localmem.h)
   and belong to the caller once the call has succeeded. */
#ifndef CORVALEN_ABI_SPI_H
#define CORVALEN_ABI_SPI_H

#include "dib.h"
#include "localmem.h"
#include "wintypes.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Width and height are signed 32-bit fields at bytes 8 and 12. */
typedef struct SpiPictureInfo {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
  uint16_t xDensity;
  uint16_t yDensity;
  int16_t colorDepth;
  uint16_t reserved;
  HLOCAL info; /* text information, unused: NULL */
} SpiPictureInfo;

typedef int32_t (*SpiProgressCallback)(int32_t num, int32_t denom, intptr_t data);

/* `handle` is an open file descriptor positioned at the file's start.
   Nonzero: the plug-in can decode the file. It must read through the handle,
   the file may not be opened by name while the host holds it. */
typedef int32_t (*SpiIsSupportedProc)(const char* fileName, intptr_t handle);
/* `length` 0 and `flag` 0: `source` is a file name. 0 means success. */
typedef int32_t (*SpiGetPictureInfoProc)(const char* source, intptr_t length, uint32_t flag,
                                         SpiPictureInfo* info);
/* 0 means success: *bitmapInfo holds a BITMAPINFO with its colour table,
   *pixels the device-independent pixel rows it describes. */
typedef int32_t (*SpiGetPictureProc)(const char* source, intptr_t length, uint32_t flag,
                                     HLOCAL* bitmapInfo, HLOCAL* pixels,
                                     SpiProgressCallback progress, intptr_t data);

#define SPI_SUCCESS 0
#define SPI_NOT_SUPPORTED (-1)
#define SPI_OUT_OF_ORDER 1
#define SPI_FILE_READ_ERROR 4
#define SPI_MEMORY_ERROR 5
#define SPI_BROKEN_DATA 2

#ifdef __cplusplus
}
#endif

#endif
