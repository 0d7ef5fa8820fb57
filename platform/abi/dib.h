/* Device-independent bitmaps and the device context that the program hands to
   loaded modules. A device context describes a 32-bit pixel buffer: each pixel
   is one little-endian 0xAARRGGBB word (blue first in memory), rows top-down. */
#ifndef CORVALEN_ABI_DIB_H
#define CORVALEN_ABI_DIB_H

#include "wintypes.h"

#ifdef __cplusplus
extern "C" {
#endif

#define BI_RGB 0u
#define DIB_RGB_COLORS 0u

#pragma pack(push, 2)
typedef struct BITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
} BITMAPFILEHEADER;
#pragma pack(pop)

typedef struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight; /* positive: bottom-up rows; negative: top-down rows */
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
} BITMAPINFOHEADER;

typedef struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
} RGBQUAD;

typedef struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
} BITMAPINFO;

#define CORVALEN_DC_MAGIC 0x43445643u /* "CVDC" */

/* The drawing surface of a bitmap. `bits` points at height rows of
   `stride` bytes each, top row first. */
struct DeviceContext {
  uint32_t magic;
  int32_t width;
  int32_t height;
  int32_t stride;
  uint8_t* bits;
};

#ifdef __cplusplus
}
#endif

#endif
