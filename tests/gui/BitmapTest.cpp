// Bitmaps: sizes, pixels kept on resizing, limits, loading Windows bitmap
// files, canvases and pictures.
#include <QColor>
#include <QImage>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/gui/Exception.h"
#include "platform/gui/Graphics.h"
#include "tests/support/TempRoot.h"

namespace {

QColor At(const TBitmap& b, int x, int y) { return QColor(b.Image().pixel(x, y)); }

void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, unsigned v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// A 24-bit Windows bitmap file, rows bottom-up as such files store them.
std::string Bmp24(int w, int h, QColor (*colour)(int x, int y)) {
  const int rowBytes = (w * 3 + 3) / 4 * 4;
  std::string s = "BM";
  Put32(s, static_cast<unsigned>(54 + rowBytes * h));
  Put32(s, 0);
  Put32(s, 54);
  Put32(s, 40);
  Put32(s, static_cast<unsigned>(w));
  Put32(s, static_cast<unsigned>(h));
  Put16(s, 1);
  Put16(s, 24);
  for (int i = 0; i < 6; ++i) Put32(s, 0);
  for (int y = h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      const QColor c = colour(x, y);
      row += static_cast<char>(c.blue());
      row += static_cast<char>(c.green());
      row += static_cast<char>(c.red());
    }
    row.resize(static_cast<size_t>(rowBytes), '\0');
    s += row;
  }
  return s;
}

QColor Sample(int x, int y) { return QColor(x * 60, y * 100, 200); }

TEST(Bitmap, StartsEmptyAndGrowsWhite) {
  TBitmap b;
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
  EXPECT_TRUE(b.Image().isNull());
  b.SetWidth(3);
  EXPECT_EQ(b.Width(), 3);
  EXPECT_TRUE(b.Image().isNull());  // still no pixels: the height is 0
  b.SetHeight(2);
  ASSERT_EQ(b.Image().size(), QSize(3, 2));
  EXPECT_EQ(b.Image().format(), QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(b, x, y), QColor(Qt::white));
  }
}

TEST(Bitmap, ResizingKeepsTheOverlappingPixels) {
  TBitmap b;
  b.SetSize(3, 2);
  b.Image().setPixel(0, 0, qRgb(1, 2, 3));
  b.Image().setPixel(2, 1, qRgb(4, 5, 6));
  b.SetSize(5, 4);
  EXPECT_EQ(At(b, 0, 0), QColor(1, 2, 3));
  EXPECT_EQ(At(b, 2, 1), QColor(4, 5, 6));
  EXPECT_EQ(At(b, 4, 3), QColor(Qt::white));
  EXPECT_EQ(At(b, 3, 0), QColor(Qt::white));
  b.SetWidth(1);
  EXPECT_EQ(b.Image().size(), QSize(1, 4));
  EXPECT_EQ(At(b, 0, 0), QColor(1, 2, 3));
  b.SetHeight(-7);
  EXPECT_EQ(b.Height(), 0);
  EXPECT_TRUE(b.Image().isNull());
}

TEST(Bitmap, ASizeBeyondTheLimitRaisesAndChangesNothing) {
  TBitmap b;
  b.SetSize(4, 4);
  EXPECT_THROW(b.SetSize(20000, 20000), EOutOfResources);
  EXPECT_THROW(b.SetSize(INT32_MAX, INT32_MAX), EOutOfResources);
  EXPECT_EQ(b.Width(), 4);
  EXPECT_EQ(b.Height(), 4);
  EXPECT_EQ(b.Image().size(), QSize(4, 4));
  EXPECT_THROW(b.SetSize(10001, 10000), EOutOfResources);  // one row past the limit
  EXPECT_EQ(b.Width(), 4);
}

TEST(Bitmap, TheCanvasHandleDescribesThePixelsUntilTheBitmapIsResized) {
  TBitmap b;
  b.SetSize(3, 2);
  HDC dc = b.Canvas()->Handle();
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(dc->magic, CORVALEN_DC_MAGIC);
  EXPECT_EQ(dc->width, 3);
  EXPECT_EQ(dc->height, 2);
  EXPECT_GE(dc->stride, 12);
  const uint32_t blue = 0xFF0000FFu;
  std::memcpy(dc->bits + dc->stride + 2 * 4, &blue, 4);  // pixel (2, 1)
  EXPECT_EQ(At(b, 2, 1), QColor(0, 0, 255));
  b.SetWidth(4);
  EXPECT_EQ(dc->bits, nullptr);  // a stale context draws nothing
  EXPECT_EQ(dc->width, 0);
  dc = b.Canvas()->Handle();
  EXPECT_EQ(dc->width, 4);
  EXPECT_EQ(At(b, 2, 1), QColor(0, 0, 255));

  TBitmap empty;
  EXPECT_EQ(empty.Canvas()->Handle()->bits, nullptr);
}

TEST(Bitmap, StretchDrawScalesIntoTheRectangle) {
  TBitmap source, target;
  source.SetSize(2, 2);
  source.Image().fill(QColor(10, 20, 30));
  source.Image().setPixel(1, 1, qRgb(200, 0, 0));
  target.SetSize(6, 6);
  target.Canvas()->StretchDraw(Rect(0, 0, 4, 4), &source);
  EXPECT_EQ(At(target, 0, 0), QColor(10, 20, 30));
  EXPECT_EQ(At(target, 3, 3), QColor(200, 0, 0));
  EXPECT_EQ(At(target, 1, 1), QColor(10, 20, 30));
  EXPECT_EQ(At(target, 5, 5), QColor(Qt::white));  // outside the rectangle
}

TEST(Bitmap, ChangesAreReported) {
  int changes = 0;
  TBitmap b;
  b.SetOnChange([](void* n) { ++*static_cast<int*>(n); }, &changes);
  b.SetSize(2, 2);
  EXPECT_EQ(changes, 1);
  b.Canvas()->Handle();
  EXPECT_EQ(changes, 2);
  b.SetSize(2, 2);  // same size: nothing happens
  EXPECT_EQ(changes, 2);
}

class BitmapFile : public ::testing::Test {
 protected:
  TempRoot root;
};

TEST_F(BitmapFile, LoadsAWindowsBitmapTopRowFirst) {
  root.MakeFolder("C:\\pics");
  root.WriteFile("C:\\pics\\Image1.bmp", Bmp24(3, 2, &Sample));
  TBitmap b;
  b.LoadFromFile("C:\\PICS\\image1.BMP");  // Windows paths ignore letter case
  ASSERT_EQ(b.Width(), 3);
  ASSERT_EQ(b.Height(), 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(b, x, y), Sample(x, y)) << x << "," << y;
  }
  EXPECT_EQ(b.Image().format(), QImage::Format_RGB32);
}

TEST_F(BitmapFile, MissingOrForeignFilesRaiseInvalidGraphicAndChangeNothing) {
  root.WriteFile("C:\\text.bmp", "This is no bitmap at all, just text.");
  root.WriteFile("C:\\fake.bmp", "BM and then nothing that makes a bitmap");
  std::string gif = "GIF89a";
  gif += Bmp24(2, 2, &Sample).substr(6);
  root.WriteFile("C:\\gif.bmp", gif);
  root.MakeFolder("C:\\folder.bmp");
  TBitmap b;
  b.SetSize(2, 3);
  for (const char* name : {"C:\\missing.bmp", "C:\\text.bmp", "C:\\fake.bmp", "C:\\gif.bmp", "C:\\folder.bmp",
                           "Q:\\nodrive.bmp", "C:\\bad|name.bmp"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(b.LoadFromFile(name), EInvalidGraphic);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Height(), 3);
  }
}

TEST(Picture, AskingForTheBitmapMakesAnEmptyOne) {
  TPicture p;
  EXPECT_FALSE(p.HasGraphic());
  EXPECT_EQ(p.Graphic(), nullptr);
  TBitmap* b = p.Bitmap();
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(p.HasGraphic());
  EXPECT_EQ(b->Width(), 0);
  EXPECT_EQ(b->Height(), 0);
  EXPECT_EQ(p.Bitmap(), b);  // the same bitmap every time
  int notices = 0;
  p.SetOnChange([](void* n) { ++*static_cast<int*>(n); }, &notices);
  b->SetSize(1, 1);
  EXPECT_EQ(notices, 1);
  p.Bitmap();
  EXPECT_EQ(notices, 2);
}

TEST(Picture, HandlesOfLiveBitmapsAreKnown) {
  std::optional<TBitmap> b(std::in_place);
  const HBITMAP h = b->Handle();
  EXPECT_EQ(TBitmap::FromHandle(h), &*b);
  b.reset();  // the same storage, no longer a bitmap
  EXPECT_EQ(TBitmap::FromHandle(h), nullptr);
  int local = 0;
  EXPECT_EQ(TBitmap::FromHandle(&local), nullptr);
}

}  // namespace
