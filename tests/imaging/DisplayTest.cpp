// ImgKitDisplayHdc and ImgKitMemFree: drawing a loaded picture into device
// contexts of all kinds, never outside them, and giving images back.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/imaging/Modules.h"
#include "tests/imaging/TestFiles.h"

namespace imgtest {
namespace {

constexpr uint8_t kCanary = 0xCD;

// A device context over a buffer with room to spare: rows may be padded and
// the buffer may start off alignment; bytes outside the pixels keep kCanary.
class Surface {
 public:
  Surface(int width, int height, int padding = 0, int misalign = 0)
      : buffer_(static_cast<size_t>(misalign) + static_cast<size_t>(width * 4 + padding) * height + 64, kCanary),
        misalign_(misalign) {
    dc.magic = CORVALEN_DC_MAGIC;
    dc.width = width;
    dc.height = height;
    dc.stride = width * 4 + padding;
    dc.bits = buffer_.data() + misalign;
  }

  DeviceContext dc{};

  // 0xAARRGGBB of pixel (x, y).
  uint32_t Pixel(int x, int y) const {
    const uint8_t* p = dc.bits + static_cast<size_t>(y) * dc.stride + static_cast<size_t>(x) * 4;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
  }
  bool Untouched(int x, int y) const {
    const uint8_t* p = dc.bits + static_cast<size_t>(y) * dc.stride + static_cast<size_t>(x) * 4;
    return p[0] == kCanary && p[1] == kCanary && p[2] == kCanary && p[3] == kCanary;
  }
  // True when no byte outside the pixels (before them, in row padding or
  // after the last row) has changed.
  bool OutsideUntouched() const {
    for (size_t i = 0; i < buffer_.size(); ++i) {
      const long offset = static_cast<long>(i) - misalign_;
      const bool inPixels = offset >= 0 && offset < static_cast<long>(dc.stride) * dc.height &&
                            offset % dc.stride < dc.width * 4;
      if (!inPixels && buffer_[i] != kCanary) return false;
    }
    return true;
  }
  bool AllUntouched() const {
    for (uint8_t b : buffer_) {
      if (b != kCanary) return false;
    }
    return true;
  }

 private:
  std::vector<uint8_t> buffer_;
  int misalign_;
};

// Close to the expected colour (the JPEG is lossy), and opaque.
::testing::AssertionResult Near(uint32_t pixel, Rgb want) {
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  if ((pixel >> 24) == 0xFF && std::abs(r - want.r) <= 8 && std::abs(g - want.g) <= 8 &&
      std::abs(b - want.b) <= 8) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << std::hex << "pixel 0x" << pixel << " wants " << std::dec
                                       << int{want.r} << "," << int{want.g} << "," << int{want.b};
}

class ImgKitDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(kit.fileLoad, nullptr);
    ASSERT_NE(kit.displayHdc, nullptr);
    ASSERT_NE(kit.memFree, nullptr);
    const std::string path = dir.Write("quadrants.jpg", QuadrantJpeg());
    image = kit.fileLoad(path.c_str(), "", "");
    ASSERT_NE(image, 0);
  }
  void TearDown() override {
    if (image != 0) kit.memFree(image);
  }

  // Checks the quadrant colours at the centres of the quadrants of a
  // width x height drawing, and at its four corners.
  void ExpectQuadrants(const Surface& s, int width, int height) {
    const int xs[] = {width / 4, 3 * width / 4, 0, width - 1};
    const int ys[] = {height / 4, 3 * height / 4, 0, height - 1};
    for (int x : xs) {
      for (int y : ys) {
        EXPECT_TRUE(Near(s.Pixel(x, y), QuadrantColour(x, y, width, height))) << x << "," << y;
      }
    }
  }

  const ImgKit& kit = Library();
  ScratchDir dir;
  int32_t image = 0;
};

TEST_F(ImgKitDisplay, DrawsAtAnySize) {
  struct Case {
    int width, height;
  } cases[] = {{kQuadWidth, kQuadHeight}, {32, 24}, {128, 96}, {64, 12}, {10, 90}, {1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    Surface s(c.width, c.height);
    ASSERT_EQ(kit.displayHdc(&s.dc, image, c.width, c.height, 0), 1);
    if (c.width > 1) {
      ExpectQuadrants(s, c.width, c.height);
    } else {
      EXPECT_TRUE(Near(s.Pixel(0, 0), Rgb{255, 255, 255}));  // the centre lies in the white quadrant
    }
    EXPECT_TRUE(s.OutsideUntouched());
  }
}

// A freed image's buffer serves the next load: a smaller picture of another
// shape decoded into it must draw as itself, with nothing of the old one.
TEST_F(ImgKitDisplay, SmallerPictureAfterAFreedOneDrawsAsItself) {
  kit.memFree(image);
  image = 0;
  const int width = 56, height = 30;  // fewer pixels than 64 x 48, another row length
  const std::string path = dir.Write("smaller.jpg", QuadrantJpeg(width, height));
  image = kit.fileLoad(path.c_str(), "", "");
  ASSERT_NE(image, 0);
  Surface s(width, height);
  ASSERT_EQ(kit.displayHdc(&s.dc, image, width, height, 0), 1);
  ExpectQuadrants(s, width, height);
  EXPECT_TRUE(s.OutsideUntouched());
}

TEST_F(ImgKitDisplay, ClipsToTheContext) {
  // Drawn at 128 x 96 into 20 x 10 with padded rows: only the context's
  // pixels change, all of them red (the top-left quadrant).
  Surface small(20, 10, 12);
  ASSERT_EQ(kit.displayHdc(&small.dc, image, 128, 96, 0), 1);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x) EXPECT_TRUE(Near(small.Pixel(x, y), Rgb{255, 0, 0})) << x << "," << y;
  }
  EXPECT_TRUE(small.OutsideUntouched());

  // Drawn smaller than the context: the rest of the context is left alone.
  Surface large(50, 40);
  ASSERT_EQ(kit.displayHdc(&large.dc, image, 16, 12, 0), 1);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 50; ++x) {
      if (x < 16 && y < 12) {
        EXPECT_TRUE(Near(large.Pixel(x, y), QuadrantColour(x, y, 16, 12))) << x << "," << y;
      } else {
        EXPECT_TRUE(large.Untouched(x, y)) << x << "," << y;
      }
    }
  }
  EXPECT_TRUE(large.OutsideUntouched());
}

TEST_F(ImgKitDisplay, RowsNeedNoAlignment) {
  for (int misalign : {1, 2, 3}) {
    Surface s(kQuadWidth, kQuadHeight, 3, misalign);
    ASSERT_EQ(kit.displayHdc(&s.dc, image, kQuadWidth, kQuadHeight, 0), 1);
    ExpectQuadrants(s, kQuadWidth, kQuadHeight);
    Surface scaled(30, 20, 1, misalign);
    ASSERT_EQ(kit.displayHdc(&scaled.dc, image, 30, 20, 0), 1);
    ExpectQuadrants(scaled, 30, 20);
    EXPECT_TRUE(s.OutsideUntouched());
    EXPECT_TRUE(scaled.OutsideUntouched());
  }
}

TEST_F(ImgKitDisplay, RefusedCallsDrawNothing) {
  struct Case {
    const char* what;
    void (*spoil)(DeviceContext*);
    int width, height, mode;
  } cases[] = {
      {"wrong magic", [](DeviceContext* dc) { dc->magic ^= 1; }, 8, 8, 0},
      {"no pixels", [](DeviceContext* dc) { dc->bits = nullptr; }, 8, 8, 0},
      {"rows shorter than the width", [](DeviceContext* dc) { dc->stride = dc->width * 4 - 1; }, 8, 8, 0},
      {"negative stride", [](DeviceContext* dc) { dc->stride = -dc->stride; }, 8, 8, 0},
      {"context of width 0", [](DeviceContext* dc) { dc->width = 0; }, 8, 8, 0},
      {"context of negative height", [](DeviceContext* dc) { dc->height = -3; }, 8, 8, 0},
      {"width 0", [](DeviceContext*) {}, 0, 8, 0},
      {"height 0", [](DeviceContext*) {}, 8, 0, 0},
      {"negative width", [](DeviceContext*) {}, -8, 8, 0},
      {"negative height", [](DeviceContext*) {}, 8, -1, 0},
      {"unknown mode", [](DeviceContext*) {}, 8, 8, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Surface s(8, 8);
    c.spoil(&s.dc);
    EXPECT_EQ(kit.displayHdc(&s.dc, image, c.width, c.height, c.mode), 0);
    EXPECT_TRUE(s.AllUntouched());
  }
  EXPECT_EQ(kit.displayHdc(nullptr, image, 8, 8, 0), 0);
}

TEST_F(ImgKitDisplay, FreedAndUnknownHandlesAreNotDrawn) {
  Surface s(8, 8);
  for (int32_t bad : {0, -1, image + 1000, INT32_MAX}) {
    EXPECT_EQ(kit.displayHdc(&s.dc, bad, 8, 8, 0), 0) << bad;
    EXPECT_EQ(kit.memFree(bad), 0) << bad;
  }
  EXPECT_EQ(kit.memFree(image), 1);
  EXPECT_EQ(kit.memFree(image), 0);  // a second time: unknown
  EXPECT_EQ(kit.displayHdc(&s.dc, image, 8, 8, 0), 0);
  EXPECT_TRUE(s.AllUntouched());
  image = 0;
}

TEST_F(ImgKitDisplay, FreeingOneImageKeepsTheOthers) {
  const std::string path = dir.Write("other.jpg", QuadrantJpeg(16, 16));
  const int32_t other = kit.fileLoad(path.c_str(), "", "");
  ASSERT_NE(other, 0);
  EXPECT_EQ(kit.memFree(image), 1);
  image = 0;
  Surface s(16, 16);
  ASSERT_EQ(kit.displayHdc(&s.dc, other, 16, 16, 0), 1);
  ExpectQuadrants(s, 16, 16);
  EXPECT_EQ(kit.memFree(other), 1);
}

}  // namespace
}  // namespace imgtest
