// SetDIBits: every supported depth both ways up, and never a byte outside
// the blocks (AddressSanitizer watches the reads of these tests).
#include <QColor>
#include <QImage>
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/abi/localmem.h"
#include "platform/gui/Graphics.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A local-memory block holding exactly `bytes`.
class Block {
 public:
  explicit Block(const Bytes& bytes) : handle_(LocalAlloc(LMEM_MOVEABLE, bytes.size())) {
    data_ = static_cast<uint8_t*>(LocalLock(handle_));
    if (!bytes.empty()) std::memcpy(data_, bytes.data(), bytes.size());
  }
  ~Block() {
    LocalUnlock(handle_);
    LocalFree(handle_);
  }
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  uint8_t* data() const { return data_; }
  const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(data_); }

 private:
  HLOCAL handle_;
  uint8_t* data_;
};

void Put(Bytes& b, uint32_t v, int size) {
  for (int i = 0; i < size; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

Bytes Header(int32_t width, int32_t height, int bitCount, uint32_t clrUsed = 0, uint32_t compression = BI_RGB,
             uint32_t size = 40) {
  Bytes b;
  Put(b, size, 4);
  Put(b, static_cast<uint32_t>(width), 4);
  Put(b, static_cast<uint32_t>(height), 4);
  Put(b, 1, 2);
  Put(b, static_cast<uint32_t>(bitCount), 2);
  Put(b, compression, 4);
  for (int i = 0; i < 3; ++i) Put(b, 0, 4);
  Put(b, clrUsed, 4);
  Put(b, 0, 4);
  return b;
}

const QRgb kPalette[] = {qRgb(0, 0, 0),   qRgb(255, 255, 255), qRgb(255, 0, 0),
                         qRgb(0, 255, 0), qRgb(0, 0, 255),     qRgb(250, 200, 10)};

// The picture, top row first, as indices into kPalette.
using Picture = std::vector<std::vector<int>>;

struct Dib {
  Bytes info;
  Bytes bits;
};

// Writes `picture` as a DIB: colour table for 8 bits or fewer, rows padded
// to 4 bytes, bottom row first unless `topDown`.
Dib MakeDib(int bitCount, const Picture& picture, bool topDown, uint32_t clrUsed = 0) {
  const int height = static_cast<int>(picture.size());
  const int width = static_cast<int>(picture[0].size());
  Dib dib{Header(width, topDown ? -height : height, bitCount, clrUsed), {}};
  if (bitCount <= 8) {
    const uint32_t colours = clrUsed != 0 ? clrUsed : 1u << bitCount;
    for (uint32_t i = 0; i < colours; ++i) {
      const QRgb c = i < 6 ? kPalette[i] : qRgb(1, 2, 3);
      dib.info.insert(dib.info.end(), {static_cast<uint8_t>(qBlue(c)), static_cast<uint8_t>(qGreen(c)),
                                       static_cast<uint8_t>(qRed(c)), 0});
    }
  }
  const size_t rowBytes = static_cast<size_t>((width * bitCount + 31) / 32 * 4);
  for (int i = 0; i < height; ++i) {
    const std::vector<int>& row = picture[static_cast<size_t>(topDown ? i : height - 1 - i)];
    Bytes out(rowBytes, 0);
    for (int x = 0; x < width; ++x) {
      const int index = row[static_cast<size_t>(x)];
      const QRgb c = kPalette[index];
      switch (bitCount) {
        case 1: out[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(index << (7 - x % 8)); break;
        case 4: out[static_cast<size_t>(x / 2)] |= static_cast<uint8_t>(index << (x % 2 == 0 ? 4 : 0)); break;
        case 8: out[static_cast<size_t>(x)] = static_cast<uint8_t>(index); break;
        default: {
          uint8_t* p = &out[static_cast<size_t>(x * bitCount / 8)];
          p[0] = static_cast<uint8_t>(qBlue(c));
          p[1] = static_cast<uint8_t>(qGreen(c));
          p[2] = static_cast<uint8_t>(qRed(c));
          if (bitCount == 32) p[3] = 0x7F;  // the fourth byte means nothing
        }
      }
    }
    dib.bits.insert(dib.bits.end(), out.begin(), out.end());
  }
  return dib;
}

const Picture kColourful = {{0, 1, 2, 3, 4}, {5, 4, 3, 2, 1}, {2, 2, 5, 0, 1}};
const Picture kTwoColours = {{0, 1, 1, 0, 1}, {1, 0, 0, 1, 1}, {0, 0, 1, 1, 0}};

QColor At(const TBitmap& b, int x, int y) { return QColor(b.Image().pixel(x, y)); }

void ExpectPicture(const TBitmap& b, const Picture& p, int rows = -1) {
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      const bool painted = rows < 0 || y < rows;
      const QColor want = painted ? QColor(kPalette[p[static_cast<size_t>(y)][static_cast<size_t>(x)]]) : QColor(Qt::white);
      EXPECT_EQ(At(b, x, y), want) << "pixel " << x << "," << y;
    }
  }
}

struct DepthCase {
  int bitCount;
  bool topDown;
};

class Depths : public ::testing::TestWithParam<DepthCase> {};

TEST_P(Depths, ConvertEveryPixel) {
  const Picture& picture = GetParam().bitCount == 1 ? kTwoColours : kColourful;
  const Dib dib = MakeDib(GetParam().bitCount, picture, GetParam().topDown);
  Block info(dib.info), bits(dib.bits);
  TBitmap b;
  b.SetSize(5, 3);
  EXPECT_EQ(SetDIBits(b.Canvas()->Handle(), b.Handle(), 0, 3, bits.data(), info.info(), DIB_RGB_COLORS), 3);
  ExpectPicture(b, picture);
}

INSTANTIATE_TEST_SUITE_P(Table, Depths,
                         ::testing::Values(DepthCase{1, false}, DepthCase{1, true}, DepthCase{4, false},
                                           DepthCase{4, true}, DepthCase{8, false}, DepthCase{8, true},
                                           DepthCase{24, false}, DepthCase{24, true}, DepthCase{32, false},
                                           DepthCase{32, true}));

TEST(SetDIBits, OneBitPixelsAreReadFromTheHighBitFirst) {
  Bytes infoBytes = Header(9, -1, 1);
  infoBytes.insert(infoBytes.end(), {0, 0, 0, 0, 255, 255, 255, 0});
  Block info(infoBytes), bits(Bytes{0xA0, 0x80, 0, 0});
  TBitmap b;
  b.SetSize(9, 1);
  ASSERT_EQ(SetDIBits(b.Canvas()->Handle(), b.Handle(), 0, 1, bits.data(), info.info(), 0), 1);
  for (int x = 0; x < 9; ++x) EXPECT_EQ(At(b, x, 0), (x == 0 || x == 2 || x == 8) ? QColor(Qt::white) : QColor(Qt::black)) << x;
}

TEST(SetDIBits, AShortColourTableAndIndicesPastIt) {
  Dib dib = MakeDib(8, kColourful, true, 6);
  dib.bits[1] = 200;  // pixel (1, 0): no such colour
  Block info(dib.info), bits(dib.bits);
  TBitmap b;
  b.SetSize(5, 3);
  ASSERT_EQ(SetDIBits(b.Canvas()->Handle(), b.Handle(), 0, 3, bits.data(), info.info(), 0), 3);
  EXPECT_EQ(At(b, 1, 0), QColor(Qt::black));
  EXPECT_EQ(At(b, 2, 0), QColor(kPalette[2]));
}

TEST(SetDIBits, APixelBlockShorterThanTheHeaderSaysIsReadOnlyAsFarAsItGoes) {
  for (bool topDown : {true, false}) {
    SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
    Dib dib = MakeDib(32, kColourful, topDown);
    dib.bits.resize(2 * 20 + 3);  // two whole rows and a piece of the third
    Block info(dib.info), bits(dib.bits);
    TBitmap b;
    b.SetSize(5, 3);
    EXPECT_EQ(SetDIBits(b.Canvas()->Handle(), b.Handle(), 0, 3, bits.data(), info.info(), 0), 2);
    for (int y = 0; y < 3; ++y) {
      // The rows held are the first two stored: the top ones, or the bottom ones.
      const bool held = topDown ? y < 2 : y >= 1;
      const QColor want = held ? QColor(kPalette[kColourful[static_cast<size_t>(y)][0]]) : QColor(Qt::white);
      EXPECT_EQ(At(b, 0, y), want) << y;
    }
  }
}

TEST(SetDIBits, PointersOutsideLocalBlocksAreRefused) {
  const Dib dib = MakeDib(24, kColourful, false);
  Block info(dib.info), bits(dib.bits);
  TBitmap b;
  b.SetSize(5, 3);
  HDC dc = b.Canvas()->Handle();
  EXPECT_EQ(SetDIBits(dc, b.Handle(), 0, 3, dib.bits.data(), info.info(), 0), 0);
  EXPECT_EQ(SetDIBits(dc, b.Handle(), 0, 3, bits.data(), reinterpret_cast<const BITMAPINFO*>(dib.info.data()), 0), 0);
  EXPECT_EQ(SetDIBits(dc, b.Handle(), 0, 3, nullptr, info.info(), 0), 0);
  EXPECT_EQ(SetDIBits(dc, b.Handle(), 0, 3, bits.data(), nullptr, 0), 0);
  EXPECT_EQ(SetDIBits(dc, b.Handle(), 0, 3, bits.data(), info.info(), 1), 0);  // palette indices: unsupported
  EXPECT_EQ(At(b, 0, 0), QColor(Qt::white));
}

TEST(SetDIBits, LinesAreCappedAtThePictureAndStartCountsFromItsFirstStoredRow) {
  const Dib dib = MakeDib(24, kColourful, false);
  Block info(dib.info), bits(dib.bits);
  TBitmap b;
  b.SetSize(5, 3);
  EXPECT_EQ(SetDIBits(b.Canvas()->Handle(), b.Handle(), 0, 1000, bits.data(), info.info(), 0), 3);
  ExpectPicture(b, kColourful);
  // A negative height handed on as the line count.
  const Dib down = MakeDib(24, kColourful, true);
  Block downInfo(down.info), downBits(down.bits);
  TBitmap c;
  c.SetSize(5, 3);
  EXPECT_EQ(SetDIBits(c.Canvas()->Handle(), c.Handle(), 0, static_cast<UINT>(-3), downBits.data(), downInfo.info(), 0), 3);
  ExpectPicture(c, kColourful);
  // Rows 1 and 2 of a bottom-up picture are its middle and top rows.
  const size_t rowBytes = 16;
  Block upper(Bytes(dib.bits.begin() + static_cast<long>(rowBytes), dib.bits.end()));
  TBitmap d;
  d.SetSize(5, 3);
  EXPECT_EQ(SetDIBits(d.Canvas()->Handle(), d.Handle(), 1, 2, upper.data(), info.info(), 0), 2);
  ExpectPicture(d, kColourful, 2);
  EXPECT_EQ(SetDIBits(d.Canvas()->Handle(), d.Handle(), 3, 1, upper.data(), info.info(), 0), 0);
}

TEST(SetDIBits, APictureLargerThanTheBitmapFillsItFromTheTopLeft) {
  for (bool topDown : {true, false}) {
    const Dib dib = MakeDib(32, kColourful, topDown);
    Block info(dib.info), bits(dib.bits);
    TBitmap b;
    b.SetSize(2, 2);
    EXPECT_EQ(SetDIBits(b.Canvas()->Handle(), b.Handle(), 0, 3, bits.data(), info.info(), 0), 2);
    ExpectPicture(b, kColourful);
  }
}

TEST(SetDIBits, TheTargetBitmapIsToldOfTheChange) {
  const Dib dib = MakeDib(8, kColourful, true);
  Block info(dib.info), bits(dib.bits);
  TBitmap b;
  b.SetSize(5, 3);
  HDC dc = b.Canvas()->Handle();
  int changes = 0;
  b.SetOnChange([](void* n) { ++*static_cast<int*>(n); }, &changes);
  ASSERT_EQ(SetDIBits(dc, b.Handle(), 0, 3, bits.data(), info.info(), 0), 3);
  EXPECT_EQ(changes, 1);
}

struct BadHeader {
  const char* what;
  Bytes info;
};

class AbsurdHeaders : public ::testing::TestWithParam<BadHeader> {};

TEST_P(AbsurdHeaders, AreRefusedWithoutWriting) {
  Block info(GetParam().info), bits(Bytes(4096, 0x55));
  TBitmap b;
  b.SetSize(4, 4);
  EXPECT_EQ(SetDIBits(b.Canvas()->Handle(), b.Handle(), 0, 4, bits.data(), info.info(), 0), 0);
  EXPECT_EQ(At(b, 0, 0), QColor(Qt::white));
  EXPECT_EQ(At(b, 3, 3), QColor(Qt::white));
}

Bytes Cut(Bytes bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

Bytes WithTable(Bytes header, size_t entries) {
  header.resize(header.size() + entries * 4, 0);
  return header;
}

INSTANTIATE_TEST_SUITE_P(
    Table, AbsurdHeaders,
    ::testing::Values(BadHeader{"width 0", Header(0, 4, 24)}, BadHeader{"negative width", Header(-4, 4, 24)},
                      BadHeader{"huge width", Header(1 << 21, 4, 24)}, BadHeader{"height 0", Header(4, 0, 24)},
                      BadHeader{"huge height", Header(4, 1 << 21, 24)},
                      BadHeader{"lowest height", Header(4, INT32_MIN, 24)},
                      BadHeader{"16 bits", Header(4, 4, 16)}, BadHeader{"2 bits", Header(4, 4, 2)},
                      BadHeader{"0 bits", Header(4, 4, 0)}, BadHeader{"compressed", Header(4, 4, 8, 0, 1)},
                      BadHeader{"short header", Header(4, 4, 24, 0, BI_RGB, 12)},
                      BadHeader{"header larger than its block", Header(4, 4, 24, 0, BI_RGB, 400)},
                      BadHeader{"cut header", Cut(Header(4, 4, 24), 39)},
                      BadHeader{"more colours than the depth has", WithTable(Header(4, 4, 8, 300), 300)},
                      BadHeader{"colour table past the block", Header(4, 4, 8)},
                      BadHeader{"colour table cut short", WithTable(Header(4, 4, 4), 15)}),
    [](const ::testing::TestParamInfo<BadHeader>& info) {
      std::string name = info.param.what;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST(SetDIBits, BadContextsAreRefused) {
  const Dib dib = MakeDib(24, kColourful, false);
  Block info(dib.info), bits(dib.bits);
  EXPECT_EQ(SetDIBits(nullptr, nullptr, 0, 3, bits.data(), info.info(), 0), 0);
  uint32_t pixels[15] = {};
  DeviceContext wrongMagic{0x1234, 5, 3, 20, reinterpret_cast<uint8_t*>(pixels)};
  EXPECT_EQ(SetDIBits(&wrongMagic, nullptr, 0, 3, bits.data(), info.info(), 0), 0);
  DeviceContext narrowStride{CORVALEN_DC_MAGIC, 5, 3, 16, reinterpret_cast<uint8_t*>(pixels)};
  EXPECT_EQ(SetDIBits(&narrowStride, nullptr, 0, 3, bits.data(), info.info(), 0), 0);
  DeviceContext noBits{CORVALEN_DC_MAGIC, 5, 3, 20, nullptr};
  EXPECT_EQ(SetDIBits(&noBits, nullptr, 0, 3, bits.data(), info.info(), 0), 0);
  TBitmap empty;
  EXPECT_EQ(SetDIBits(empty.Canvas()->Handle(), empty.Handle(), 0, 3, bits.data(), info.info(), 0), 0);
  DeviceContext plain{CORVALEN_DC_MAGIC, 5, 3, 20, reinterpret_cast<uint8_t*>(pixels)};
  EXPECT_EQ(SetDIBits(&plain, nullptr, 0, 3, bits.data(), info.info(), 0), 3);
  EXPECT_EQ(pixels[0], 0xFF000000u | kPalette[kColourful[0][0]]);
}

// Random headers over random blocks of random sizes: whatever they say, the
// transfer stays inside the blocks and the context (the sanitizer build
// checks every access), and never reports more rows than the bitmap has.
TEST(SetDIBitsFromBlock, SurvivesRandomHeadersAndBlocks) {
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  const int32_t sizes[] = {0, 1, 2, 3, 7, 8, 9, 31, 33, -1, -3, -9, 1 << 20, -(1 << 20), INT32_MIN, INT32_MAX};
  const int depths[] = {1, 4, 8, 24, 32, 16, 0};
  TBitmap b;
  b.SetSize(7, 5);
  for (int i = 0; i < 3000; ++i) {
    Bytes header = Header(sizes[next() % 16], sizes[next() % 16], depths[next() % 7], next() % 3 == 0 ? next() % 300 : 0);
    header.resize(header.size() + next() % 1100, static_cast<uint8_t>(next()));
    header.resize(next() % 4 == 0 ? next() % header.size() : header.size());
    const Bytes pixels(next() % 400, static_cast<uint8_t>(next()));
    // Exactly sized heap copies, so any read past either end is caught.
    const std::unique_ptr<uint8_t[]> infoCopy(new uint8_t[header.size()]);
    const std::unique_ptr<uint8_t[]> bitsCopy(new uint8_t[pixels.size()]);
    std::copy(header.begin(), header.end(), infoCopy.get());
    std::copy(pixels.begin(), pixels.end(), bitsCopy.get());
    const int rows = SetDIBitsFromBlock(b.Canvas()->Handle(), next() % 4, next() % 12, bitsCopy.get(), pixels.size(),
                                        reinterpret_cast<const BITMAPINFO*>(infoCopy.get()), header.size());
    ASSERT_GE(rows, 0);
    ASSERT_LE(rows, 5);
  }
}

}  // namespace
