// GifView.spi as a host calls it: IsSupported through an open descriptor,
// then GetPictureInfo and GetPicture by name, with LocalAlloc blocks coming
// back from the program's own local memory.
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/abi/localmem.h"
#include "platform/system/LocalMemory.h"
#include "tests/imaging/Modules.h"
#include "tests/imaging/TestFiles.h"

namespace imgtest {
namespace {

const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

// 5 x 3, background white (3), blue (2) transparent in the first image; a
// second image of all red must not show.
GifLayout SmallGif() {
  GifLayout layout;
  layout.width = 5;
  layout.height = 3;
  layout.background = 3;
  layout.globalColours = {kRed, kGreen, kBlue, kWhite};
  GifImage first;
  first.width = 5;
  first.height = 3;
  first.transparent = 2;
  first.indices = {0, 1, 2, 0, 1,  //
                   1, 2, 0, 1, 0,  //
                   0, 0, 1, 1, 2};
  GifImage second = first;
  second.transparent = -1;
  second.indices.assign(15, 0);
  layout.images = {first, second};
  return layout;
}

// What GetPicture handed back, copied out of the blocks, which are freed.
struct Picture {
  BITMAPINFOHEADER header{};
  std::vector<RGBQUAD> palette;
  std::vector<uint8_t> pixels;
  size_t infoSize = 0;
};

class GifViewPlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(spi.isSupported, nullptr);
    ASSERT_NE(spi.getPictureInfo, nullptr);
    ASSERT_NE(spi.getPicture, nullptr);
    blocksBefore = localmem::LiveBlocks();
    descriptorsBefore = OpenDescriptors();
  }
  void TearDown() override {
    EXPECT_EQ(localmem::LiveBlocks(), blocksBefore) << "local memory left allocated";
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore) << "a file left open";
  }

  std::string Gif(const std::string& name, const GifLayout& layout) {
    const std::string path = dir.Path() + "/" + name;
    WriteGif(path, layout);
    return path;
  }

  // Calls GetPicture; on success copies the result out and frees both blocks.
  int32_t GetPicture(const std::string& path, Picture* out, SpiProgressCallback progress = nullptr,
                     intptr_t data = 0) {
    HLOCAL info = reinterpret_cast<HLOCAL>(1), pixels = reinterpret_cast<HLOCAL>(1);
    const int32_t result = spi.getPicture(path.c_str(), 0, 0, &info, &pixels, progress, data);
    if (result != SPI_SUCCESS) {
      EXPECT_EQ(info, nullptr);
      EXPECT_EQ(pixels, nullptr);
      return result;
    }
    out->infoSize = LocalSize(info);
    const auto* infoBytes = static_cast<const uint8_t*>(LocalLock(info));
    const auto* pixelBytes = static_cast<const uint8_t*>(LocalLock(pixels));
    EXPECT_NE(infoBytes, nullptr);
    EXPECT_NE(pixelBytes, nullptr);
    if (infoBytes != nullptr && pixelBytes != nullptr && out->infoSize >= sizeof(BITMAPINFOHEADER)) {
      std::memcpy(&out->header, infoBytes, sizeof out->header);
      const size_t colours = (out->infoSize - sizeof(BITMAPINFOHEADER)) / sizeof(RGBQUAD);
      out->palette.resize(colours);
      std::memcpy(out->palette.data(), infoBytes + sizeof(BITMAPINFOHEADER), colours * sizeof(RGBQUAD));
      out->pixels.assign(pixelBytes, pixelBytes + LocalSize(pixels));
    }
    LocalUnlock(pixels);
    LocalUnlock(info);
    EXPECT_EQ(LocalFree(pixels), nullptr);
    EXPECT_EQ(LocalFree(info), nullptr);
    return result;
  }

  // Colour index at (x, y), y counted from the top of the picture.
  static uint8_t At(const Picture& p, int x, int y) {
    const size_t stride = (static_cast<size_t>(p.header.biWidth) + 3) & ~size_t{3};
    return p.pixels.at(static_cast<size_t>(p.header.biHeight - 1 - y) * stride + static_cast<size_t>(x));
  }

  const GifView& spi = Plugin();
  ScratchDir dir;
  size_t blocksBefore = 0;
  int descriptorsBefore = 0;
};

TEST_F(GifViewPlugin, IsSupportedReadsThroughTheDescriptorAndLeavesItAsItWas) {
  const std::string path = Gif("small.gif", SmallGif());
  const int fd = open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(lseek(fd, 7, SEEK_SET), 7);
  // The name given names no file: the answer can only come from the descriptor.
  EXPECT_NE(spi.isSupported((dir.Path() + "/no such file.gif").c_str(), fd), 0);
  EXPECT_EQ(lseek(fd, 0, SEEK_CUR), 7);
  EXPECT_NE(fcntl(fd, F_GETFD), -1) << "the descriptor was closed";
  close(fd);
}

TEST_F(GifViewPlugin, IsSupportedKnowsOnlyGifSignatures) {
  using namespace std::string_literals;
  struct Case {
    std::string bytes;
    bool supported;
  } cases[] = {
      {"GIF87a\x05\x00\x03\x00"s, true},  {"GIF89a\x05\x00\x03\x00"s, true},
      {"GIF88a\x05\x00\x03\x00"s, false}, {"gif89a\x05\x00\x03\x00"s, false},
      {"GIF89"s, false},                   {""s, false},
      {"\xFF\xD8\xFF\xE0\x00\x10JFIF"s, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    const std::string path = dir.Write("probe", Bytes(c.bytes.begin(), c.bytes.end()));
    const int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(spi.isSupported(path.c_str(), fd) != 0, c.supported);
    close(fd);
  }
  EXPECT_EQ(spi.isSupported("x.gif", -1), 0);
  const int fd = open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY);  // readable, but not a file
  EXPECT_EQ(spi.isSupported("x.gif", fd), 0);
  close(fd);
}

TEST_F(GifViewPlugin, PictureInfoGivesTheScreenSize) {
  const std::string path = Gif("small.gif", SmallGif());
  SpiPictureInfo info;
  std::memset(&info, 0x5A, sizeof info);
  ASSERT_EQ(spi.getPictureInfo(path.c_str(), 0, 0, &info), SPI_SUCCESS);
  EXPECT_EQ(info.left, 0);
  EXPECT_EQ(info.top, 0);
  EXPECT_EQ(info.width, 5);
  EXPECT_EQ(info.height, 3);
  EXPECT_EQ(info.colorDepth, 8);
  EXPECT_EQ(info.info, nullptr);
  // Width and height sit at bytes 8..11 and 12..15.
  int32_t atEight = 0, atTwelve = 0;
  std::memcpy(&atEight, reinterpret_cast<const uint8_t*>(&info) + 8, 4);
  std::memcpy(&atTwelve, reinterpret_cast<const uint8_t*>(&info) + 12, 4);
  EXPECT_EQ(atEight, 5);
  EXPECT_EQ(atTwelve, 3);
}

TEST_F(GifViewPlugin, PictureIsTheFirstImageBottomUpWithItsPalette) {
  Picture p;
  ASSERT_EQ(GetPicture(Gif("small.gif", SmallGif()), &p), SPI_SUCCESS);
  EXPECT_EQ(p.header.biSize, sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(p.header.biWidth, 5);
  EXPECT_EQ(p.header.biHeight, 3);
  EXPECT_EQ(p.header.biPlanes, 1);
  EXPECT_EQ(p.header.biBitCount, 8);
  EXPECT_EQ(p.header.biCompression, BI_RGB);
  EXPECT_EQ(p.header.biClrUsed, 256u);
  ASSERT_EQ(p.palette.size(), 256u);
  const Rgb want[] = {kRed, kGreen, kBlue, kWhite};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(p.palette[i].rgbRed, want[i].r) << i;
    EXPECT_EQ(p.palette[i].rgbGreen, want[i].g) << i;
    EXPECT_EQ(p.palette[i].rgbBlue, want[i].b) << i;
  }
  for (int i = 4; i < 256; ++i) {
    EXPECT_EQ(p.palette[i].rgbRed | p.palette[i].rgbGreen | p.palette[i].rgbBlue, 0) << i;
  }
  // Rows of 5 pixels padded to 8 bytes; the transparent blue shows as the
  // background's white.
  ASSERT_EQ(p.pixels.size(), 8u * 3);
  const uint8_t expected[3][5] = {{0, 1, 3, 0, 1}, {1, 3, 0, 1, 0}, {0, 0, 1, 1, 3}};
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(p, x, y), expected[y][x]) << x << "," << y;
    for (int pad = 5; pad < 8; ++pad) EXPECT_EQ(p.pixels[static_cast<size_t>(y) * 8 + pad], 0);
  }
}

TEST_F(GifViewPlugin, ImageSmallerThanTheScreenSitsOnTheBackground) {
  GifLayout layout;
  layout.width = 6;
  layout.height = 4;
  layout.background = 1;
  layout.globalColours = {kRed, kGreen};
  GifImage image;
  image.left = 2;
  image.top = 1;
  image.width = 3;
  image.height = 2;
  image.localColours = {kBlue, kWhite, kRed, kGreen};
  image.indices = {0, 2, 3, 3, 2, 0};
  layout.images = {image};
  Picture p;
  ASSERT_EQ(GetPicture(Gif("framed.gif", layout), &p), SPI_SUCCESS);
  ASSERT_EQ(p.header.biWidth, 6);
  ASSERT_EQ(p.header.biHeight, 4);
  // The image's own colour table is the palette.
  EXPECT_EQ(p.palette[0].rgbBlue, 255);
  EXPECT_EQ(p.palette[1].rgbRed, 255);
  EXPECT_EQ(p.palette[1].rgbGreen, 255);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool inImage = x >= 2 && x < 5 && y >= 1 && y < 3;
      const uint8_t want = inImage ? image.indices[static_cast<size_t>((y - 1) * 3 + (x - 2))] : 1;
      EXPECT_EQ(At(p, x, y), want) << x << "," << y;
    }
  }
}

TEST_F(GifViewPlugin, InterlacedRowsLandInTheirPlace) {
  GifLayout layout;
  layout.width = 3;
  layout.height = 11;
  std::vector<Rgb> colours;
  for (int i = 0; i < 16; ++i) colours.push_back(Rgb{static_cast<uint8_t>(i * 16), 0, 0});
  layout.globalColours = colours;
  GifImage image;
  image.width = 3;
  image.height = 11;
  image.interlaced = true;
  for (int y = 0; y < 11; ++y) image.indices.insert(image.indices.end(), 3, static_cast<uint8_t>(y));
  layout.images = {image};
  Picture p;
  ASSERT_EQ(GetPicture(Gif("interlaced.gif", layout), &p), SPI_SUCCESS);
  for (int y = 0; y < 11; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(p, x, y), y) << x << "," << y;
  }
}

TEST_F(GifViewPlugin, PictureMayStartInsideTheFile) {
  const std::string plain = Gif("plain.gif", SmallGif());
  Bytes bytes(16, 'x');
  const Bytes gif = ReadFile(plain);
  bytes.insert(bytes.end(), gif.begin(), gif.end());
  const std::string path = dir.Write("wrapped.bin", bytes);
  SpiPictureInfo info{};
  ASSERT_EQ(spi.getPictureInfo(path.c_str(), 16, 0, &info), SPI_SUCCESS);
  EXPECT_EQ(info.width, 5);
  HLOCAL bitmapInfo = nullptr, pixels = nullptr;
  ASSERT_EQ(spi.getPicture(path.c_str(), 16, 0, &bitmapInfo, &pixels, nullptr, 0), SPI_SUCCESS);
  LocalFree(bitmapInfo);
  LocalFree(pixels);
  EXPECT_NE(spi.getPictureInfo(path.c_str(), 0, 0, &info), SPI_SUCCESS);
}

TEST_F(GifViewPlugin, ProgressIsReportedAndCanStopTheDecoding) {
  struct Calls {
    int count = 0;
    int last = 0;
    int denom = 0;
    int stopAt = 0;  // 0: never stop
  };
  auto progress = [](int32_t num, int32_t denom, intptr_t data) -> int32_t {
    auto* calls = reinterpret_cast<Calls*>(data);
    ++calls->count;
    calls->last = num;
    calls->denom = denom;
    return calls->stopAt != 0 && calls->count >= calls->stopAt ? 1 : 0;
  };
  const std::string path = Gif("small.gif", SmallGif());
  Calls all;
  Picture p;
  ASSERT_EQ(GetPicture(path, &p, progress, reinterpret_cast<intptr_t>(&all)), SPI_SUCCESS);
  EXPECT_GT(all.count, 0);
  EXPECT_EQ(all.last, 3);
  EXPECT_EQ(all.denom, 3);

  Calls stopping;
  stopping.stopAt = 2;
  EXPECT_EQ(GetPicture(path, &p, progress, reinterpret_cast<intptr_t>(&stopping)), SPI_OUT_OF_ORDER);
  EXPECT_EQ(stopping.count, 2);
}

TEST_F(GifViewPlugin, BrokenAndHostileFilesFailWithoutLeaking) {
  const Bytes good = ReadFile(Gif("good.gif", SmallGif()));
  // A larger picture, so that its data spans several blocks and can be cut
  // in the middle of its rows.
  GifLayout big;
  big.width = big.height = 64;
  for (int i = 0; i < 256; ++i) big.globalColours.push_back(Rgb{static_cast<uint8_t>(i), 0, 0});
  GifImage noise;
  noise.width = noise.height = 64;
  for (int i = 0; i < 64 * 64; ++i) noise.indices.push_back(static_cast<uint8_t>((i * 7919) >> 3));
  big.images = {noise};
  const Bytes bigGif = ReadFile(Gif("big.gif", big));
  ASSERT_GT(bigGif.size(), 1000u);

  auto withScreen = [&](int width, int height) {
    Bytes b = good;
    b[6] = static_cast<uint8_t>(width);
    b[7] = static_cast<uint8_t>(width >> 8);
    b[8] = static_cast<uint8_t>(height);
    b[9] = static_cast<uint8_t>(height >> 8);
    return b;
  };
  // GIF header (6) + screen (7) + global table (4 x 3) = 25 bytes; then the
  // graphic control extension (8) and the first image descriptor (10).
  Bytes hugeImage = good;
  ASSERT_EQ(hugeImage[25 + 8], 0x2C);
  hugeImage[25 + 8 + 5] = hugeImage[25 + 8 + 6] = 0xFF;  // width 65535
  hugeImage[25 + 8 + 7] = hugeImage[25 + 8 + 8] = 0xFF;  // height 65535
  const Bytes noImage = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B};

  // `screenKnown`: the file is readable as far as its screen description,
  // so GetPictureInfo may answer; GetPicture never may.
  struct Case {
    const char* what;
    Bytes bytes;
    bool screenKnown;
  } cases[] = {
      {"empty file", {}, false},
      {"signature only", Bytes(good.begin(), good.begin() + 6), false},
      {"cut inside the colour table", Bytes(good.begin(), good.begin() + 20), false},
      {"cut before the first image", Bytes(good.begin(), good.begin() + 25), true},
      {"cut inside the image data",
       Bytes(bigGif.begin(), bigGif.begin() + static_cast<long>(bigGif.size() / 2)), true},
      {"no image at all", noImage, true},
      {"screen of 65535 x 65535", withScreen(65535, 65535), false},
      {"screen of 10001 x 10000", withScreen(10001, 10000), false},
      {"screen of width 0", withScreen(0, 3), false},
      {"screen of height 0", withScreen(5, 0), false},
      {"first image of 65535 x 65535", hugeImage, true},
      {"a JPEG", QuadrantJpeg(), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.Write("bad.gif", c.bytes);
    Picture p;
    EXPECT_NE(GetPicture(path, &p), SPI_SUCCESS);
    SpiPictureInfo info{};
    EXPECT_EQ(spi.getPictureInfo(path.c_str(), 0, 0, &info) == SPI_SUCCESS, c.screenKnown);
  }
}

TEST_F(GifViewPlugin, OnlyFilesAreSupportedSources) {
  const std::string path = Gif("small.gif", SmallGif());
  SpiPictureInfo info{};
  HLOCAL bitmapInfo = nullptr, pixels = nullptr;
  // Flag 1: the source would be the picture in memory.
  EXPECT_EQ(spi.getPictureInfo(path.c_str(), 0, 1, &info), SPI_NOT_SUPPORTED);
  EXPECT_EQ(spi.getPicture(path.c_str(), 0, 1, &bitmapInfo, &pixels, nullptr, 0), SPI_NOT_SUPPORTED);
  EXPECT_EQ(bitmapInfo, nullptr);
  EXPECT_EQ(pixels, nullptr);
  EXPECT_NE(spi.getPictureInfo((dir.Path() + "/missing.gif").c_str(), 0, 0, &info), SPI_SUCCESS);
  EXPECT_NE(spi.getPictureInfo(nullptr, 0, 0, &info), SPI_SUCCESS);
  EXPECT_NE(spi.getPictureInfo(path.c_str(), 0, 0, nullptr), SPI_SUCCESS);
  EXPECT_NE(spi.getPicture(path.c_str(), 0, 0, nullptr, &pixels, nullptr, 0), SPI_SUCCESS);
  EXPECT_NE(spi.getPicture(path.c_str(), 0, 0, &bitmapInfo, nullptr, nullptr, 0), SPI_SUCCESS);
}

}  // namespace
}  // namespace imgtest
