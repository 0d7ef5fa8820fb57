// ShowPicture and FormResize: which way decodes a name first, how a failed
// way falls through to the plug-ins, how the picture is fitted into Panel2,
// and what real picture files (sound, truncated, corrupt, empty, oversized)
// come to through the real library, the real GIF plug-in and the bitmap class.
#include <gtest/gtest.h>

#include <ctime>

#include "picture/Weekday.h"
#include "platform/text/DateTime.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Exception.h"
#include "platform/system/Files.h"
#include "platform/system/LocalMemory.h"
#include "platform/text/Text.h"
#include "tests/picture/PictureSupport.h"

namespace {

using namespace picture_test;

constexpr unsigned kFakeLibraryColour = 0x20C040;  // what the stand-in library draws
constexpr int kPanelW = 584;
constexpr int kPanelH = 411;

struct Bounds {
  int left, top, width, height;
  bool operator==(const Bounds&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Bounds& b) {
  return os << b.width << "x" << b.height << "@" << b.left << "," << b.top;
}
Bounds Of(TControl* c) { return {c->Left(), c->Top(), c->Width(), c->Height()}; }

class ShowPictureTest : public ::testing::Test {
 protected:
  void SetUp() override { liveBlocks_ = localmem::LiveBlocks(); }
  void TearDown() override {
    installer_.DestroyForm();
    EXPECT_EQ(localmem::LiveBlocks(), liveBlocks_) << "local memory blocks leaked";
  }

  TFrameForm& MakeForm() {
    TFrameForm& form = installer_.MakeForm();
    form.Panel2->SetWidth(kPanelW);
    form.Panel2->SetHeight(kPanelH);
    form.Image1->SetBounds(1, 2, 3, 4);
    ClearEvents();
    return form;
  }
  // The same picture where the bitmap and library ways look (the current
  // folder) and where the plug-ins look (the installer's folder).
  void WriteBoth(const std::string& name, const std::string& bytes) {
    installer_.WriteWork(name, bytes);
    installer_.WriteDist(name, bytes);
  }
  TBitmap* Target(TFrameForm& form) { return form.Image1->Picture()->Bitmap(); }

  Installer installer_;
  size_t liveBlocks_ = 0;
};

// Which way a name takes first, with a library and a plug-in that both
// decode anything of theirs, and a file that is no bitmap.
struct WayCase {
  const char* name;
  bool libraryAsked;
  bool bitmapWay;  // a bitmap way that fails hands over to the plug-ins
  bool pluginsAsked;
};
void PrintTo(const WayCase& c, std::ostream* os) { *os << c.name; }


class WayChoiceTest : public ShowPictureTest, public ::testing::WithParamInterface<WayCase> {};

TEST_P(WayChoiceTest, TakesTheWayTheNameSays) {
  const WayCase& c = GetParam();
  installer_.AddFakeLibrary();
  installer_.AddModule(FIXTURE_SPI_FIXED_PATH, "fixed.spi");
  WriteBoth(c.name, FakeLibraryPicture(30, 20));
  TFrameForm& form = MakeForm();

  form.ShowPicture(c.name);

  EXPECT_EQ(CountOf("ImgKitFileType") > 0, c.libraryAsked) << c.name;
  EXPECT_EQ(CountOf("IsSupported") > 0, c.pluginsAsked) << c.name;
  // The library decodes at 30 x 20, the plug-in at 4 x 2: both are small
  // enough to be only centred.
  const Bounds expected = c.libraryAsked ? Bounds{(kPanelW - 30) / 2, (kPanelH - 20) / 2, 30, 20}
                                         : Bounds{(kPanelW - 4) / 2, (kPanelH - 2) / 2, 4, 2};
  EXPECT_EQ(Of(form.Image1), expected) << c.name;
  EXPECT_EQ(GetCurrentDir(), "C:\\work") << "the working-folder switch was not undone";
}

INSTANTIATE_TEST_SUITE_P(Cases, WayChoiceTest,
                         ::testing::Values(WayCase{"Image3.jpg", true, false, false},
                                           WayCase{"Image", true, false, false},
                                           WayCase{"pic.bmp", false, true, true},
                                           WayCase{"pic.BMP", false, true, true},
                                           WayCase{"photo.bmp.jpg", false, true, true},
                                           WayCase{"pic.bmp.gif", false, true, true},
                                           WayCase{"pic.gif", false, false, true},
                                           WayCase{"pic.GIF", false, false, true},
                                           WayCase{"anim.gif.jpg", false, false, true},
                                           WayCase{"pic.Gif", true, false, false},
                                           WayCase{"pic.Bmp", true, false, false}));

TEST_F(ShowPictureTest, TheLibraryWayDrawsAtNaturalSizeAndGivesTheImageBack) {
  installer_.AddFakeLibrary();
  WriteBoth("Image3.jpg", FakeLibraryPicture(200, 100));
  TFrameForm& form = MakeForm();
  form.Panel2->SetWidth(501);
  form.Panel2->SetHeight(301);

  form.ShowPicture("Image3.jpg");

  EXPECT_EQ(Calls(), (std::vector<std::string>{"ImgFile3.dll:ImgKitFileType", "ImgFile3.dll:ImgKitFileLoad",
                                               "ImgDsp3.dll:ImgKitDisplayHdc", "ImgCom3.dll:ImgKitMemFree"}));
  EXPECT_EQ(Of(form.Image1), (Bounds{150, 100, 200, 100}));
  ASSERT_EQ(Target(form)->Width(), 200);
  ASSERT_EQ(Target(form)->Height(), 100);
  EXPECT_EQ(PixelAt(Target(form), 0, 0), kFakeLibraryColour);
  EXPECT_EQ(PixelAt(Target(form), 199, 99), kFakeLibraryColour);
}

TEST_F(ShowPictureTest, ALargePictureIsShrunkToThePanelAndCentred) {
  installer_.AddFakeLibrary();
  WriteBoth("Image3.jpg", FakeLibraryPicture(640, 480));
  TFrameForm& form = MakeForm();
  form.ShowPicture("Image3.jpg");
  EXPECT_EQ(Of(form.Image1), (Bounds{29, 8, 526, 395}));
  // The bitmap keeps the natural size; Image1 stretches it.
  EXPECT_EQ(Target(form)->Width(), 640);
  EXPECT_EQ(Target(form)->Height(), 480);
  EXPECT_TRUE(form.Image1->Stretch());
}

// Library failures after the image was loaded: the image is still given back
// once, and the plug-ins are asked.
struct LibraryFailureCase {
  const char* what;
  std::vector<std::string> leaveOut;
  const char* com;
  const char* dsp;
  std::vector<std::string> calls;
};
void PrintTo(const LibraryFailureCase& c, std::ostream* os) { *os << c.what; }


class LibraryFailureTest : public ShowPictureTest, public ::testing::WithParamInterface<LibraryFailureCase> {};

TEST_P(LibraryFailureTest, FallsThroughToThePlugins) {
  const LibraryFailureCase& c = GetParam();
  installer_.AddFakeLibrary(c.leaveOut, c.com, c.dsp);
  installer_.AddModule(FIXTURE_SPI_FIXED_PATH, "fixed.spi");
  WriteBoth("Image3.jpg", FakeLibraryPicture(30, 20));
  TFrameForm& form = MakeForm();

  form.ShowPicture("Image3.jpg");

  EXPECT_EQ(Calls(), c.calls) << c.what;
  for (const Event& e : Events())
    if (e.event == "ImgKitMemFree") {
      EXPECT_EQ(e.value, 0x2A2A) << c.what;
    }
  // The plug-in's 4 x 2 picture is what shows.
  EXPECT_EQ(Of(form.Image1), (Bounds{(kPanelW - 4) / 2, (kPanelH - 2) / 2, 4, 2})) << c.what;
  EXPECT_EQ(Target(form)->Width(), 4);
}

const std::vector<std::string> kPluginDecodes = {"fixed.spi:IsSupported", "fixed.spi:GetPictureInfo",
                                                 "fixed.spi:GetPicture"};
std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LibraryFailureTest,
    ::testing::Values(
        LibraryFailureCase{"no drawing module",
                           {"ImgDsp3.dll"},
                           "",
                           "",
                           Join({"ImgFile3.dll:ImgKitFileType", "ImgFile3.dll:ImgKitFileLoad",
                                 "ImgCom3.dll:ImgKitMemFree"},
                                kPluginDecodes)},
        LibraryFailureCase{"drawing faults",
                           {},
                           "",
                           FIXTURE_IMGKIT_DSP_CRASH_PATH,
                           Join({"ImgFile3.dll:ImgKitFileType", "ImgFile3.dll:ImgKitFileLoad",
                                 "ImgDsp3.dll:ImgKitDisplayHdc", "ImgCom3.dll:ImgKitMemFree"},
                                kPluginDecodes)},
        LibraryFailureCase{"no ImgKitMemFree: drawn, then counted as failed",
                           {},
                           FIXTURE_IMGKIT_COM_NOFREE_PATH,
                           "",
                           Join({"ImgFile3.dll:ImgKitFileType", "ImgFile3.dll:ImgKitFileLoad",
                                 "ImgDsp3.dll:ImgKitDisplayHdc"},
                                kPluginDecodes)},
        LibraryFailureCase{"no loading module", {"ImgFile3.dll"}, "", "", kPluginDecodes}));

TEST_F(ShowPictureTest, APictureOnlyInTheInstallerFolderIsLeftToThePlugins) {
  installer_.AddFakeLibrary();
  installer_.AddModule(FIXTURE_SPI_FIXED_PATH, "fixed.spi");
  installer_.WriteDist("Image3.jpg", FakeLibraryPicture(30, 20));
  TFrameForm& form = MakeForm();
  form.ShowPicture("Image3.jpg");
  EXPECT_EQ(Calls(), Join({"ImgFile3.dll:ImgKitFileType"}, kPluginDecodes));
  EXPECT_EQ(Target(form)->Width(), 4);
  EXPECT_EQ(GetCurrentDir(), "C:\\work");
}

TEST_F(ShowPictureTest, TheBitmapWayCopiesTheBitmapUnscaled) {
  installer_.AddModule(FIXTURE_SPI_FIXED_PATH, "fixed.spi");
  WriteBoth("pic.bmp", MakeBmp(7, 5));
  TFrameForm& form = MakeForm();
  form.ShowPicture("pic.bmp");
  EXPECT_TRUE(Calls().empty()) << "the plug-ins were asked although the bitmap loaded";
  ASSERT_EQ(Target(form)->Width(), 7);
  ASSERT_EQ(Target(form)->Height(), 5);
  EXPECT_EQ(PixelAt(Target(form), 0, 0), 0xF09030u);
  EXPECT_EQ(PixelAt(Target(form), 6, 4), 0xF09030u);
  EXPECT_EQ(Of(form.Image1), (Bounds{(kPanelW - 7) / 2, (kPanelH - 5) / 2, 7, 5}));
}

TEST_F(ShowPictureTest, WhenNothingDecodesImage1StaysAsItWas) {
  installer_.AddFakeLibrary();
  installer_.AddModule(FIXTURE_SPI_DECLINE_PATH, "decline.spi");
  WriteBoth("Image3.jpg", "neither library nor plug-in knows this");
  TFrameForm& form = MakeForm();
  for (const char* name : {"Image3.jpg", "Image3.bmp", "Image3.gif", "missing.jpg"}) {
    form.ShowPicture(name);
    EXPECT_EQ(Of(form.Image1), (Bounds{1, 2, 3, 4})) << name;
  }
  EXPECT_EQ(GetCurrentDir(), "C:\\work");
}

TEST_F(ShowPictureTest, ABitmapThatCannotBeMadePassesOutOfShowPicture) {
  installer_.AddModule(FIXTURE_SPI_HUGE_PATH, "huge.spi");
  WriteBoth("pic.gif", "anything");
  TFrameForm& form = MakeForm();
  EXPECT_THROW(form.ShowPicture("pic.gif"), Exception);
  EXPECT_EQ(Of(form.Image1), (Bounds{1, 2, 3, 4}));
}

// Real files through the real library, the real GIF plug-in and the bitmap
// class: a sound file shows at its natural size; a broken one never crashes,
// never leaks and never shows a picture of another size.
struct RealFileCase {
  const char* what;
  const char* name;
  std::string bytes;
  int width;  // 0: must not show
  int height;
};
void PrintTo(const RealFileCase& c, std::ostream* os) { *os << c.what; }


std::string Cut(std::string s, size_t keep) { return s.substr(0, keep); }
std::string Scramble(std::string s, size_t from) {
  for (size_t i = from; i < s.size(); ++i) s[i] = static_cast<char>(s[i] * 31 + 7);
  return s;
}
// Sets every 16-bit big-endian size field of a JPEG's SOF0 to 65535.
std::string JpegClaiming65535(std::string s) {
  for (size_t i = 0; i + 8 < s.size(); ++i)
    if (static_cast<unsigned char>(s[i]) == 0xFF && static_cast<unsigned char>(s[i + 1]) == 0xC0) {
      s[i + 5] = s[i + 6] = s[i + 7] = s[i + 8] = static_cast<char>(0xFF);
      break;
    }
  return s;
}
std::string GifClaiming65535(std::string s) {
  // Logical screen (bytes 6..9) and the first image descriptor (after the
  // global colour table of 2 entries: 13 + 6 = 19, then ',' and x, y, w, h).
  for (size_t at : {size_t{6}, size_t{8}, size_t{19 + 5}, size_t{19 + 7}}) s[at] = s[at + 1] = static_cast<char>(0xFF);
  return s;
}
std::string BmpClaiming65535(std::string s) {
  for (size_t at : {size_t{18}, size_t{22}}) {
    s[at] = s[at + 1] = static_cast<char>(0xFF);
    s[at + 2] = s[at + 3] = 0;
  }
  return s;
}

class RealFileTest : public ShowPictureTest, public ::testing::WithParamInterface<RealFileCase> {};

TEST_P(RealFileTest, ShowsOnlyWhatDecodes) {
  const RealFileCase& c = GetParam();
  installer_.AddRealLibrary();
  installer_.AddModule(GIFVIEW_PATH, "GifView.spi");
  WriteBoth(c.name, c.bytes);
  TFrameForm& form = MakeForm();

  form.ShowPicture(c.name);

  if (c.width == 0) {
    EXPECT_EQ(Of(form.Image1), (Bounds{1, 2, 3, 4})) << c.what;
  } else {
    EXPECT_EQ(Target(form)->Width(), c.width) << c.what;
    EXPECT_EQ(Target(form)->Height(), c.height) << c.what;
    EXPECT_EQ(Of(form.Image1), (Bounds{(kPanelW - c.width) / 2, (kPanelH - c.height) / 2, c.width, c.height}))
        << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RealFileTest,
    ::testing::Values(
        RealFileCase{"sound JPEG", "Image3.jpg", MakeJpeg(64, 48), 64, 48},
        RealFileCase{"empty JPEG", "Image3.jpg", "", 0, 0},
        RealFileCase{"JPEG cut after its header", "Image3.jpg", Cut(MakeJpeg(64, 48), 20), 0, 0},
        RealFileCase{"JPEG that claims 65535 x 65535", "Image3.jpg", JpegClaiming65535(MakeJpeg(64, 48)), 0, 0},
        RealFileCase{"sound GIF", "Image3.gif", MakeGif(40, 30), 40, 30},
        RealFileCase{"empty GIF", "Image3.gif", "", 0, 0},
        RealFileCase{"GIF cut inside its header", "Image3.gif", Cut(MakeGif(40, 30), 10), 0, 0},
        RealFileCase{"GIF that claims 65535 x 65535", "Image3.gif", GifClaiming65535(MakeGif(40, 30)), 0, 0},
        RealFileCase{"sound BMP", "Image3.bmp", MakeBmp(33, 17), 33, 17},
        RealFileCase{"empty BMP", "Image3.bmp", "", 0, 0},
        RealFileCase{"BMP cut inside its header", "Image3.bmp", Cut(MakeBmp(33, 17), 30), 0, 0},
        RealFileCase{"BMP that claims 65535 x 65535", "Image3.bmp", BmpClaiming65535(MakeBmp(33, 17)), 0, 0}));

// Broken data past a sound header: whatever the decoder makes of it, nothing
// crashes or leaks, and a picture that shows has the header's size.
struct DamagedCase {
  const char* what;
  const char* name;
  std::string bytes;
  int width;
  int height;
};
void PrintTo(const DamagedCase& c, std::ostream* os) { *os << c.what; }


class DamagedFileTest : public ShowPictureTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedFileTest, NeverShowsAnotherSize) {
  const DamagedCase& c = GetParam();
  installer_.AddRealLibrary();
  installer_.AddModule(GIFVIEW_PATH, "GifView.spi");
  WriteBoth(c.name, c.bytes);
  TFrameForm& form = MakeForm();
  form.ShowPicture(c.name);
  const Bounds after = Of(form.Image1);
  if (!(after == Bounds{1, 2, 3, 4})) {
    EXPECT_EQ(Target(form)->Width(), c.width) << c.what;
    EXPECT_EQ(Target(form)->Height(), c.height) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedFileTest,
    ::testing::Values(DamagedCase{"JPEG cut halfway", "Image3.jpg", Cut(MakeJpeg(64, 48), 400), 64, 48},
                      DamagedCase{"JPEG scrambled after its header", "Image3.jpg", Scramble(MakeJpeg(64, 48), 200),
                                  64, 48},
                      DamagedCase{"GIF cut halfway", "Image3.gif", Cut(MakeGif(40, 30), 40), 40, 30},
                      DamagedCase{"GIF scrambled after its header", "Image3.gif", Scramble(MakeGif(40, 30), 30), 40,
                                  30},
                      DamagedCase{"BMP cut halfway", "Image3.bmp", Cut(MakeBmp(33, 17), 200), 33, 17},
                      DamagedCase{"BMP scrambled pixels", "Image3.bmp", Scramble(MakeBmp(33, 17), 54), 33, 17}));

// FormResize: the weekday's picture, laid out and shown.
std::time_t fixedNow = 0;
std::time_t FixedClock() { return fixedNow; }
std::time_t Noon(int year, int month, int day) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = 12;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

class FormResizeTest : public ShowPictureTest {
 protected:
  void SetUp() override {
    ShowPictureTest::SetUp();
    SetClockForTesting(FixedClock);
  }
  void TearDown() override {
    SetClockForTesting(nullptr);
    SetDayNamesForTesting(nullptr);
    ShowPictureTest::TearDown();
  }
  void UseNames(const std::vector<const char*>& utf8) {
    DayNames names;
    for (size_t i = 0; i < 7; ++i) names[i] = AnsiFromUtf8(utf8[i]);
    SetDayNamesForTesting(&names);
  }
};

TEST_F(FormResizeTest, ShowsTheJapaneseWeekdaysPictureFittedIntoTheLaidOutPanel) {
  UseNames({"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"});
  installer_.AddFakeLibrary();
  // Only Wednesday's picture exists; 3 January 2024 was a Wednesday.
  WriteBoth("Image3.jpg", FakeLibraryPicture(2000, 1500));
  fixedNow = Noon(2024, 1, 3);
  TFrameForm& form = MakeForm();

  form.FormResize(nullptr);

  EXPECT_EQ(CountOf("ImgKitDisplayHdc"), 1);
  // The panel was laid out first; the picture fits into its new size.
  const int pw = form.Panel2->Width();
  const int ph = form.Panel2->Height();
  EXPECT_NE(pw, kPanelW);
  ASSERT_GT(pw, 16);
  ASSERT_GT(ph, 16);
  const Bounds b = Of(form.Image1);
  EXPECT_LE(b.width, pw - 16);
  EXPECT_LE(b.height, ph - 16);
  EXPECT_TRUE(b.width == pw - 16 || b.height == ph - 16);
  EXPECT_EQ(b.left, (pw - b.width) / 2);
  EXPECT_EQ(b.top, (ph - b.height) / 2);

  // The next day, at the next resize, Thursday's picture is asked for.
  ClearEvents();
  fixedNow = Noon(2024, 1, 4);
  form.FormResize(nullptr);
  EXPECT_EQ(CountOf("ImgKitDisplayHdc"), 0) << "Image4.jpg does not exist";
}

TEST_F(FormResizeTest, EnglishNamesAskForThePlainBaseName) {
  UseNames({"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"});
  installer_.AddFakeLibrary();
  WriteBoth("Image", FakeLibraryPicture(20, 10));
  WriteBoth("Image3.jpg", FakeLibraryPicture(30, 30));
  fixedNow = Noon(2024, 1, 3);
  TFrameForm& form = MakeForm();
  form.FormResize(nullptr);
  EXPECT_EQ(form.Image1->Width(), 20);
  EXPECT_EQ(form.Image1->Height(), 10);
}

}  // namespace
