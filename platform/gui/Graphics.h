// Bitmaps, pictures and canvases over QImage.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/abi/dib.h"
#include "platform/text/Text.h"

class QImage;
class TBitmap;

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
inline TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }

// The drawing surface of a bitmap. Its Handle is the device context that
// modules draw into; it stays valid until the bitmap is resized, reloaded or
// destroyed (the context is emptied then, so a stale one writes nothing).
class TCanvas {
 public:
  explicit TCanvas(TBitmap* owner) : owner_(owner) {}
  // The device context over the bitmap's pixels (rebuilt at each call). A
  // bitmap without pixels gives a context of 0 x 0 with no buffer.
  HDC Handle();
  // Draws `graphic` scaled into `rect`.
  void StretchDraw(const TRect& rect, TBitmap* graphic);
  // Forgets the pixel buffer (the bitmap's pixels moved).
  void Invalidate();

 private:
  TBitmap* owner_;
  DeviceContext dc_{};
};

class TBitmap {
 public:
  TBitmap();
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Resizing keeps the overlapping pixels; new pixels are white. A size that
  // cannot be made (more than MaxPixels, or no memory for it) raises
  // EOutOfResources and leaves the bitmap as it was. Negative values count as 0.
  void SetWidth(int width);
  void SetHeight(int height);
  void SetSize(int width, int height);
  // Loads a Windows bitmap file (path in Windows form). Raises EInvalidGraphic
  // when the file is missing or is no bitmap; the bitmap is unchanged then.
  void LoadFromFile(const AnsiString& fileName);
  TCanvas* Canvas() { return &canvas_; }
  HBITMAP Handle() { return this; }

  // The pixels (Format_RGB32); a null image while either size is 0.
  QImage& Image();
  const QImage& Image() const;
  // Called after the pixels changed (repaints the image control that shows it).
  void Changed();
  void SetOnChange(void (*callback)(void*), void* context);

  // The largest bitmap made, in pixels.
  static constexpr long long MaxPixels = 100000000LL;
  // The live bitmap behind a handle, or null when `handle` is none.
  static TBitmap* FromHandle(HBITMAP handle);

 private:
  void Replace(int width, int height, QImage&& image);
  std::unique_ptr<QImage> image_;
  int width_ = 0;
  int height_ = 0;
  TCanvas canvas_{this};
  void (*onChange_)(void*) = nullptr;
  void* onChangeContext_ = nullptr;
};

// A picture holds at most one graphic; here always a bitmap once asked for.
class TPicture {
 public:
  TPicture();
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;
  // Asking for the bitmap makes the picture hold one (empty, 0 x 0, at first).
  TBitmap* Bitmap();
  bool HasGraphic() const { return bitmap_ != nullptr; }
  // The bitmap held, or null; does not count as taking it.
  TBitmap* Graphic() const { return bitmap_.get(); }
  void SetOnChange(void (*callback)(void*), void* context);

 private:
  static void BitmapChanged(void* picture);
  void Notify();
  std::unique_ptr<TBitmap> bitmap_;
  void (*onChange_)(void*) = nullptr;
  void* onChangeContext_ = nullptr;
};

// Copies device-independent pixels (1, 4, 8, 24 or 32 bits, BI_RGB, colours
// from the table that follows the header for 8 bits or fewer) into the
// bitmap behind `dc`. `lines` rows from DIB row `start` are copied; rows are
// stored bottom-up when biHeight > 0 and top-down when biHeight < 0, and
// |biHeight| is the number of rows either way; `lines` is capped at that and
// at the bitmap's height. Both `info` and `bits` must point into live
// local-memory blocks; nothing is read beyond the end of either block, so
// rows that the pixel block does not hold are not copied. Returns the number
// of rows copied, 0 on failure (a pointer in no block, an absurd header, a
// bad context). `bitmap`, when it is a live bitmap, repaints afterwards.
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT usage);
// The same transfer from blocks whose sizes the caller states.
int SetDIBitsFromBlock(HDC dc, UINT start, UINT lines, const void* bits, size_t bitsSize,
                       const BITMAPINFO* info, size_t infoSize);
