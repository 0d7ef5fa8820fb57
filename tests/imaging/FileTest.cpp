// ImgKitFileType and ImgKitFileLoad on good, hostile and broken files.
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "tests/imaging/Modules.h"
#include "tests/imaging/TestFiles.h"

namespace imgtest {
namespace {

class ImgKitFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(kit.fileType, nullptr);
    ASSERT_NE(kit.fileLoad, nullptr);
    ASSERT_NE(kit.memFree, nullptr);
  }

  // The record as the call leaves it; bytes it did not write keep 0x5A.
  int32_t FileType(const std::string& path, ImgKitFileInfo* info) {
    std::memset(info, 0x5A, sizeof *info);
    return kit.fileType(path.c_str(), info);
  }

  const ImgKit& kit = Library();
  ScratchDir dir;
};

TEST_F(ImgKitFile, TypeReadsSizeAndKindOfAJpeg) {
  struct Case {
    int width, height;
    bool grey;
    int32_t bitCount;
  } cases[] = {{64, 48, false, 24}, {17, 301, false, 24}, {40, 8, true, 8}};
  for (const Case& c : cases) {
    const Bytes jpeg = QuadrantJpeg(c.width, c.height, c.grey);
    const std::string path = dir.Write("picture.jpg", jpeg);
    ImgKitFileInfo info;
    ASSERT_NE(FileType(path, &info), 0) << c.width << "x" << c.height;
    EXPECT_EQ(info.format, 1);
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
    EXPECT_EQ(info.bitCount, c.bitCount);
    EXPECT_EQ(info.fileSize, static_cast<int32_t>(jpeg.size()));
    // Width and height sit at bytes 4..7 and 8..11 of the 24-byte record.
    int32_t atFour = 0, atEight = 0;
    std::memcpy(&atFour, reinterpret_cast<const uint8_t*>(&info) + 4, 4);
    std::memcpy(&atEight, reinterpret_cast<const uint8_t*>(&info) + 8, 4);
    EXPECT_EQ(atFour, c.width);
    EXPECT_EQ(atEight, c.height);
  }
}

TEST_F(ImgKitFile, TypeSkipsMetadataWithoutNeedingIt) {
  // Three full-size Exif-like segments and a comment between SOI and the
  // tables, as cameras write them.
  Bytes jpeg = QuadrantJpeg();
  Bytes metadata;
  for (int i = 0; i < 3; ++i) {
    metadata.insert(metadata.end(), {0xFF, 0xE1, 0xFF, 0xFF});
    metadata.insert(metadata.end(), 65533, static_cast<uint8_t>(0xD8 + i));  // junk, even FF-free
  }
  metadata.insert(metadata.end(), {0xFF, 0xFE, 0x00, 0x07, 'h', 'e', 'l', 'l', 'o'});
  jpeg.insert(jpeg.begin() + 2, metadata.begin(), metadata.end());
  const std::string path = dir.Write("camera.jpg", jpeg);

  ImgKitFileInfo info;
  ASSERT_NE(FileType(path, &info), 0);
  EXPECT_EQ(info.width, kQuadWidth);
  EXPECT_EQ(info.height, kQuadHeight);
  const int32_t image = kit.fileLoad(path.c_str(), "", "");
  EXPECT_NE(image, 0);
  kit.memFree(image);
}

TEST_F(ImgKitFile, HostileAndBrokenFilesAreRefusedAndTheRecordLeftAlone) {
  const Bytes good = QuadrantJpeg();
  const long sof = SofOffset(good);
  const long sos = SosOffset(good);
  const long scan = ScanDataOffset(good);
  ASSERT_GT(sof, 0);
  ASSERT_GT(sos, sof);
  ASSERT_GT(scan, sos);
  Bytes garbage(4000);
  std::mt19937 random(7);
  for (uint8_t& b : garbage) b = static_cast<uint8_t>(random());
  Bytes soiThenGarbage = garbage;
  soiThenGarbage[0] = 0xFF;
  soiThenGarbage[1] = 0xD8;

  struct Case {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"zero bytes", {}},
      {"SOI only", Bytes(good.begin(), good.begin() + 2)},
      {"cut inside the frame header", Bytes(good.begin(), good.begin() + sof + 6)},
      {"cut before the scan header", Bytes(good.begin(), good.begin() + sos)},
      {"cut inside the scan header", Bytes(good.begin(), good.begin() + (scan - 3))},
      {"frame of 65535 x 65535", WithFrameSize(good, 65535, 65535)},
      {"frame of 10000 x 10001, just over the limit", WithFrameSize(good, 10000, 10001)},
      {"frame of width 0", WithFrameSize(good, 0, 48)},
      {"frame of height 0", WithFrameSize(good, 64, 0)},
      {"a GIF", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B}},
      {"text", {'h', 'e', 'l', 'l', 'o', '\n'}},
      {"random bytes", garbage},
      {"SOI and random bytes", soiThenGarbage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.Write("bad.jpg", c.bytes);
    ImgKitFileInfo info;
    EXPECT_EQ(FileType(path, &info), 0);
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(&info);
    for (size_t i = 0; i < sizeof info; ++i) ASSERT_EQ(raw[i], 0x5A) << "byte " << i;
    EXPECT_EQ(kit.fileLoad(path.c_str(), "", ""), 0);
  }
}

TEST_F(ImgKitFile, SizeLimitIsInclusive) {
  // 10000 x 10000 is exactly the limit; only the header is read.
  const std::string path = dir.Write("big.jpg", WithFrameSize(QuadrantJpeg(), 10000, 10000));
  ImgKitFileInfo info;
  ASSERT_NE(FileType(path, &info), 0);
  EXPECT_EQ(info.width, 10000);
  EXPECT_EQ(info.height, 10000);
}

TEST_F(ImgKitFile, NamesThatAreNoFileAreRefused) {
  ImgKitFileInfo info;
  EXPECT_EQ(FileType(dir.Path() + "/missing.jpg", &info), 0);
  EXPECT_EQ(FileType(dir.Path(), &info), 0);  // a folder
  EXPECT_EQ(kit.fileType(nullptr, &info), 0);
  const std::string path = dir.Write("good.jpg", QuadrantJpeg());
  EXPECT_EQ(kit.fileType(path.c_str(), nullptr), 0);
  EXPECT_EQ(kit.fileLoad(nullptr, "", ""), 0);
  EXPECT_EQ(kit.fileLoad((dir.Path() + "/missing.jpg").c_str(), "", ""), 0);
  EXPECT_EQ(kit.fileLoad(dir.Path().c_str(), "", ""), 0);
}

TEST_F(ImgKitFile, LoadGivesDistinctLiveHandles) {
  const std::string path = dir.Write("good.jpg", QuadrantJpeg());
  const int32_t first = kit.fileLoad(path.c_str(), "", "");
  const int32_t second = kit.fileLoad(path.c_str(), "", "");
  EXPECT_GT(first, 0);
  EXPECT_GT(second, 0);
  EXPECT_NE(first, second);
  EXPECT_EQ(kit.memFree(first), 1);
  EXPECT_EQ(kit.memFree(second), 1);
}

TEST_F(ImgKitFile, PictureCutShortInItsDataStillLoads) {
  // Like a viewer, the library shows what arrived of a picture whose data
  // ends early; the header is whole, so the size is known.
  const Bytes good = QuadrantJpeg();
  const long scan = ScanDataOffset(good);
  const std::string path =
      dir.Write("cut.jpg", Bytes(good.begin(), good.begin() + (scan + static_cast<long>(good.size())) / 2));
  ImgKitFileInfo info;
  EXPECT_NE(FileType(path, &info), 0);
  const int32_t image = kit.fileLoad(path.c_str(), "", "");
  EXPECT_NE(image, 0);
  kit.memFree(image);
}

// Every prefix of a good file, and many files with bytes changed at random
// (fixed seed): nothing may crash or read out of bounds (the sanitizer build
// checks that), and the header answer must follow where the file is cut.
TEST_F(ImgKitFile, NeverFailsBadlyOnDamagedFiles) {
  const Bytes good = QuadrantJpeg();
  const long scan = ScanDataOffset(good);
  uint32_t pixels[4 * 4];
  DeviceContext dc{CORVALEN_DC_MAGIC, 4, 4, 16, reinterpret_cast<uint8_t*>(pixels)};
  auto exercise = [&](const Bytes& bytes) {
    const std::string path = dir.Write("damaged.jpg", bytes);
    ImgKitFileInfo info;
    const int32_t known = FileType(path, &info);
    if (known != 0) {
      EXPECT_GT(info.width, 0);
      EXPECT_GT(info.height, 0);
      EXPECT_LE(int64_t{info.width} * info.height, IMGKIT_MAX_PIXELS);
    }
    const int32_t image = kit.fileLoad(path.c_str(), "", "");
    if (image != 0) {
      EXPECT_EQ(kit.displayHdc(&dc, image, 4, 4, 0), 1);
      EXPECT_EQ(kit.memFree(image), 1);
    }
    return known;
  };

  for (size_t length = 0; length <= good.size(); ++length) {
    SCOPED_TRACE(length);
    const int32_t known = exercise(Bytes(good.begin(), good.begin() + static_cast<long>(length)));
    EXPECT_EQ(known != 0, static_cast<long>(length) >= scan);
  }
  std::mt19937 random(2024);
  for (int round = 0; round < 400; ++round) {
    Bytes damaged = good;
    const int changes = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < changes; ++i) damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
    exercise(damaged);
  }
}

}  // namespace
}  // namespace imgtest
