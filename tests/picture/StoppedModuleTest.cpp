// After a module call ran out of time: the plug-in or the imaging library the
// watchdog stopped is never called again in the run and never unloaded, while
// the rest goes on as before (the next plug-in decodes the picture each time).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>

#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"
#include "platform/system/Files.h"
#include "platform/system/Guard.h"
#include "tests/picture/PictureSupport.h"

namespace {

using namespace picture_test;

const std::vector<std::string> kFixedDecodes = {"fixed.spi:IsSupported", "fixed.spi:GetPictureInfo",
                                                "fixed.spi:GetPicture"};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// How often `module` reported `event` ("load", "unload").
int Reports(const std::string& module, const std::string& event) {
  int n = 0;
  for (const Event& e : Events()) n += e.module == module && e.event == event ? 1 : 0;
  return n;
}

// The calls reported since the first `before` of them.
std::vector<std::string> CallsAfter(size_t before) {
  const std::vector<std::string> all = Calls();
  return {all.begin() + static_cast<std::ptrdiff_t>(std::min(before, all.size())), all.end()};
}

class StoppedModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { guard::SetTimeLimit(std::chrono::milliseconds(200)); }
  void TearDown() override {
    installer_.DestroyForm();
    guard::SetTimeLimit(saved_);
  }

  // Makes the form and sets its plug-in list to exactly these names, in order.
  TFrameForm& FormWithPluginList(const std::vector<std::string>& names) {
    TFrameForm& form = installer_.MakeForm();
    form.PluginList->Clear();
    for (const std::string& name : names) form.PluginList->Add(name);
    form.PluginCount = static_cast<int32_t>(names.size());
    return form;
  }

  const std::chrono::milliseconds saved_ = guard::TimeLimit();
  Installer installer_;
};

// A plug-in that never returns, first in the list, before one without
// IsSupported and one that decodes.
struct StoppedPluginCase {
  const char* what;
  const char* stuckPath;
  bool firstDecodes;
  std::vector<std::string> firstCalls;
};
void PrintTo(const StoppedPluginCase& c, std::ostream* os) { *os << c.what; }

class StoppedPluginTest : public StoppedModuleTest, public ::testing::WithParamInterface<StoppedPluginCase> {};

TEST_P(StoppedPluginTest, IsNeverAskedAgainNorUnloaded) {
  const StoppedPluginCase& c = GetParam();
  installer_.AddModule(c.stuckPath, "stuck.spi");
  installer_.AddModule(FIXTURE_SPI_NO_ISSUPPORTED_PATH, "none.spi");
  installer_.AddModule(FIXTURE_SPI_FIXED_PATH, "fixed.spi");
  installer_.WriteDist("pic.gif", "P: any bytes, the plug-ins do not look");
  TFrameForm& form = FormWithPluginList({"stuck.spi", "none.spi", "fixed.spi"});
  SetCurrentDir("C:\\dist");

  TBitmap first;
  EXPECT_EQ(form.LoadPictureByPlugin("pic.gif", &first), c.firstDecodes);
  EXPECT_EQ(Calls(), c.firstCalls);
  const size_t before = Calls().size();

  // As on the next resize: the stopped plug-in is passed over, the others are
  // asked in order and the picture decodes.
  TBitmap second;
  EXPECT_TRUE(form.LoadPictureByPlugin("pic.gif", &second));
  EXPECT_EQ(CallsAfter(before), kFixedDecodes);
  EXPECT_EQ(second.Width(), 4);
  EXPECT_EQ(second.Height(), 2);

  // Loaded once, never unloaded, not even with the form; the others are
  // unloaded after each use (also after a stopped call, for one that has no
  // IsSupported to call).
  installer_.DestroyForm();
  EXPECT_EQ(Reports("stuck.spi", "load"), 1);
  EXPECT_EQ(Reports("stuck.spi", "unload"), 0);
  for (const char* module : {"none.spi", "fixed.spi"}) {
    EXPECT_GE(Reports(module, "load"), 1) << module;
    EXPECT_EQ(Reports(module, "unload"), Reports(module, "load")) << module;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoppedPluginTest,
    ::testing::Values(StoppedPluginCase{"IsSupported never returns: passed over like one that declines",
                                        FIXTURE_SPI_HANG_PATH, true, Join({"stuck.spi:IsSupported"}, kFixedDecodes)},
                      StoppedPluginCase{"GetPictureInfo never returns: the decoding fails",
                                        FIXTURE_SPI_INFO_HANG_PATH,
                                        false,
                                        {"stuck.spi:IsSupported", "stuck.spi:GetPictureInfo"}}));

// The stand-in library with one call that never returns; the plug-ins decode
// the picture instead.
struct StoppedLibraryCase {
  const char* what;
  const char* file;
  const char* dsp;
  const char* com;
  std::vector<std::string> libraryCalls;
};
void PrintTo(const StoppedLibraryCase& c, std::ostream* os) { *os << c.what; }

class StoppedLibraryTest : public StoppedModuleTest, public ::testing::WithParamInterface<StoppedLibraryCase> {};

const char* const kLibraryModules[] = {"ImgCom3.dll", "ImgScan3.dll", "ImgEtc3.dll", "ImgFile3.dll",
                                       "ImgDsp3.dll", "ImgCut3.dll",  "ImgTiff3.dll"};

TEST_P(StoppedLibraryTest, IsNeverCalledAgainNorUnloaded) {
  const StoppedLibraryCase& c = GetParam();
  installer_.AddFakeLibrary({}, c.com, c.dsp, c.file);
  installer_.AddModule(FIXTURE_SPI_NO_ISSUPPORTED_PATH, "none.spi");
  installer_.AddModule(FIXTURE_SPI_FIXED_PATH, "fixed.spi");
  installer_.WriteWork("Image3.jpg", FakeLibraryPicture(30, 20));
  installer_.WriteDist("Image3.jpg", FakeLibraryPicture(30, 20));
  const std::vector<std::string> plugins = {"none.spi", "fixed.spi"};

  // Shows the picture with Image1 set aside first; true when the plug-in's
  // 4 x 2 picture is what shows.
  auto showsPluginPicture = [](TFrameForm& form) {
    form.Image1->SetBounds(1, 2, 3, 4);
    form.ShowPicture("Image3.jpg");
    return form.Image1->Width() == 4 && form.Image1->Height() == 2 && form.Image1->Picture()->Bitmap()->Width() == 4;
  };

  TFrameForm& form = FormWithPluginList(plugins);
  EXPECT_TRUE(showsPluginPicture(form));
  EXPECT_EQ(Calls(), Join(c.libraryCalls, kFixedDecodes));
  size_t before = Calls().size();

  // The next resize goes straight to the plug-ins.
  EXPECT_TRUE(showsPluginPicture(form));
  EXPECT_EQ(CallsAfter(before), kFixedDecodes);

  // Releasing the library with the form unloads none of its modules.
  installer_.DestroyForm();
  for (const char* module : kLibraryModules) EXPECT_EQ(Reports(module, "unload"), 0) << module;

  // A form made again binds the same modules, still stopped.
  TFrameForm& again = FormWithPluginList(plugins);
  before = Calls().size();
  EXPECT_TRUE(showsPluginPicture(again));
  EXPECT_EQ(CallsAfter(before), kFixedDecodes);
  installer_.DestroyForm();
  for (const char* module : kLibraryModules) {
    EXPECT_EQ(Reports(module, "load"), 1) << module;
    EXPECT_EQ(Reports(module, "unload"), 0) << module;
  }

  // The plug-in without IsSupported was unloaded each time although a library
  // call had run out of time just before.
  EXPECT_EQ(Reports("none.spi", "load"), 3);
  EXPECT_EQ(Reports("none.spi", "unload"), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoppedLibraryTest,
    ::testing::Values(StoppedLibraryCase{"ImgKitFileType never returns",
                                         FIXTURE_IMGKIT_FILE_HANG_PATH,
                                         "",
                                         "",
                                         {"ImgFile3.dll:ImgKitFileType"}},
                      StoppedLibraryCase{"drawing never returns: the image is not given back",
                                         "",
                                         FIXTURE_IMGKIT_DSP_HANG_PATH,
                                         "",
                                         {"ImgFile3.dll:ImgKitFileType", "ImgFile3.dll:ImgKitFileLoad",
                                          "ImgDsp3.dll:ImgKitDisplayHdc"}},
                      StoppedLibraryCase{"giving the image back never returns: not tried again",
                                         "",
                                         "",
                                         FIXTURE_IMGKIT_COM_HANG_PATH,
                                         {"ImgFile3.dll:ImgKitFileType", "ImgFile3.dll:ImgKitFileLoad",
                                          "ImgDsp3.dll:ImgKitDisplayHdc", "ImgCom3.dll:ImgKitMemFree"}}));

// A library call that fails or faults without running out of time leaves the
// library in use: the next picture is asked of it again, and it is unloaded.
TEST_F(StoppedModuleTest, AFaultIsNoStop) {
  installer_.AddFakeLibrary({}, "", FIXTURE_IMGKIT_DSP_CRASH_PATH);
  installer_.WriteWork("Image3.jpg", FakeLibraryPicture(30, 20));
  TFrameForm& form = installer_.MakeForm();
  for (int round = 0; round < 2; ++round) form.ShowPicture("Image3.jpg");
  EXPECT_EQ(CountOf("ImgKitDisplayHdc"), 2);
  EXPECT_EQ(CountOf("ImgKitMemFree"), 2);
  installer_.DestroyForm();
  for (const char* module : kLibraryModules) EXPECT_EQ(Reports(module, "unload"), 1) << module;
}

}  // namespace
