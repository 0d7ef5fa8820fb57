// The library as a host binds it: seven modules loaded by name, entry points
// looked up in the module that is meant to export them, one image store
// shared by all of them.
#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/imaging/Modules.h"
#include "tests/imaging/TestFiles.h"

namespace imgtest {
namespace {

namespace fs = std::filesystem;

// Ends a death-test child: its scratch folder would outlive it otherwise.
[[noreturn]] void Finish(const ScratchDir& folder, bool ok) {
  std::error_code ignored;
  fs::remove_all(folder.Path(), ignored);
  std::_Exit(ok ? 0 : 1);
}

struct EntryPoint {
  const char* name;
  const char* module;
  bool exported;  // only entry points that work are exported
};

// Every name a host resolves, with the module it resolves it from.
const EntryPoint kEntryPoints[] = {
    {"ImgKitMemSize", "ImgCom3.dll", false},        {"ImgKitMemFree", "ImgCom3.dll", true},
    {"ImgKitSystemPalette", "ImgCom3.dll", false},  {"ImgKitScanSelect", "ImgScan3.dll", false},
    {"ImgKitScan", "ImgScan3.dll", false},          {"ImgKitScanEasy", "ImgScan3.dll", false},
    {"ImgKitScanMulti", "ImgScan3.dll", false},     {"ImgKitRotation", "ImgEtc3.dll", false},
    {"ImgKitBit24To8", "ImgEtc3.dll", false},       {"ImgKitBit8To4", "ImgEtc3.dll", false},
    {"ImgKitSetGray", "ImgEtc3.dll", false},        {"ImgKitImageSize", "ImgEtc3.dll", false},
    {"ImgKitImageInfo", "ImgEtc3.dll", false},      {"ImgKitEmboss", "ImgEtc3.dll", false},
    {"ImgKitColorReverse", "ImgEtc3.dll", false},   {"ImgKitColor24And8", "ImgEtc3.dll", false},
    {"ImgKitMosaic", "ImgEtc3.dll", false},         {"ImgKitFilter", "ImgEtc3.dll", false},
    {"ImgKitCopy", "ImgEtc3.dll", false},           {"ImgKitFileLoad", "ImgFile3.dll", true},
    {"ImgKitJpegFileLoad", "ImgFile3.dll", false},  {"ImgKitBmpFileSave", "ImgFile3.dll", false},
    {"ImgKitJpegFileSave", "ImgFile3.dll", false},  {"ImgKitSuperFileSave", "ImgFile3.dll", false},
    {"ImgKitGifFileSave", "ImgFile3.dll", false},   {"ImgKitGifInterFileSave", "ImgFile3.dll", false},
    {"ImgKitGifFileLoad", "ImgFile3.dll", false},   {"ImgKitDisplay", "ImgDsp3.dll", false},
    {"ImgKitDisplayHdc", "ImgDsp3.dll", true},      {"ImgKitPrintStart", "ImgDsp3.dll", false},
    {"ImgKitPrint", "ImgDsp3.dll", false},          {"ImgKitPrintEnd", "ImgDsp3.dll", false},
    {"ImgKitCut", "ImgCut3.dll", false},            {"ImgKitTiffFileSave", "ImgTiff3.dll", false},
    {"ImgKitTiffFileLoad", "ImgTiff3.dll", false},  {"ImgKitRectCut", "ImgCut3.dll", false},
    {"ImgKitGetFromClipBrd", "ImgEtc3.dll", false}, {"ImgKitSetToClipBrd", "ImgEtc3.dll", false},
    {"ImgKitBright", "ImgEtc3.dll", false},         {"ImgKitRGB", "ImgEtc3.dll", false},
    {"ImgKitFileType", "ImgFile3.dll", true},       {"ImgKitImageAdd", "ImgEtc3.dll", false},
    {"ImgKitConvertColor", "ImgEtc3.dll", false},   {"ImgKitDisplayRGB", "ImgDsp3.dll", false},
    {"ImgKitDisplayHdcRGB", "ImgDsp3.dll", false},  {"ImgKitDisplayHdcXY", "ImgDsp3.dll", false},
    {"ImgKitDisplayXY", "ImgDsp3.dll", false},
};

// In the order a host loads them.
const char* const kModules[] = {"ImgCom3.dll", "ImgScan3.dll", "ImgEtc3.dll", "ImgFile3.dll",
                                "ImgDsp3.dll", "ImgCut3.dll",  "ImgTiff3.dll"};

TEST(ImgKitModules, EachEntryPointComesFromItsOwnModule) {
  for (const EntryPoint& entry : kEntryPoints) {
    SCOPED_TRACE(entry.name);
    void* module = OpenModule(entry.module);
    ASSERT_NE(module, nullptr) << dlerror();
    void* address = dlsym(module, entry.name);
    if (!entry.exported) {
      EXPECT_EQ(address, nullptr);
      continue;
    }
    ASSERT_NE(address, nullptr);
    // A module's lookup also searches what it depends on: make sure the
    // address really lies in the named module.
    Dl_info where{};
    ASSERT_NE(dladdr(address, &where), 0);
    EXPECT_EQ(fs::path(where.dli_fname).filename(), entry.module);
  }
}

// The modules in `folder` under the given names, loaded in the host's order
// in this (fresh) process; a handle made by the decoding module must be drawn
// by the display module and freed by ImgCom3.dll. Ends the process: 0 when
// every step did as expected.
[[noreturn]] void LoadAndUseThenExit(const ScratchDir& folder, bool upperCase) {
  auto name = [upperCase](std::string n) {
    if (upperCase) {
      for (char& c : n) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return n;
  };
  bool ok = true;
  void* handles[7] = {};
  for (int i = 0; i < 7; ++i) {
    fs::copy_file(fs::path(ModuleFolder()) / kModules[i], fs::path(folder.Path()) / name(kModules[i]));
  }
  for (int i = 0; i < 7; ++i) {
    handles[i] = dlopen((folder.Path() + "/" + name(kModules[i])).c_str(), RTLD_NOW | RTLD_LOCAL);
    ok = ok && handles[i] != nullptr;
  }
  if (ok) {
    auto memFree = reinterpret_cast<ImgKitMemFreeProc>(dlsym(handles[0], "ImgKitMemFree"));
    auto fileLoad = reinterpret_cast<ImgKitFileLoadProc>(dlsym(handles[3], "ImgKitFileLoad"));
    auto display = reinterpret_cast<ImgKitDisplayHdcProc>(dlsym(handles[4], "ImgKitDisplayHdc"));
    const std::string jpeg = folder.Write("q.jpg", QuadrantJpeg());
    uint32_t pixel = 0;
    DeviceContext dc{CORVALEN_DC_MAGIC, 1, 1, 4, reinterpret_cast<uint8_t*>(&pixel)};
    const int32_t image = fileLoad(jpeg.c_str(), "", "");
    ok = image != 0 && display(&dc, image, kQuadWidth, kQuadHeight, 0) != 0 &&
         (pixel & 0x00FF0000u) > 0x00F00000u && memFree(image) == 1 &&
         display(&dc, image, kQuadWidth, kQuadHeight, 0) == 0;
  }
  Finish(folder, ok);
}

class ImgKitLoading : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ImgKitLoading, DistributionFolderWorksOnItsOwn) {
  EXPECT_EXIT(LoadAndUseThenExit(ScratchDir(), false), ::testing::ExitedWithCode(0), "");
}

TEST_F(ImgKitLoading, UpperCaseFileNamesWorkWhenImgComIsLoadedFirst) {
  EXPECT_EXIT(LoadAndUseThenExit(ScratchDir(), true), ::testing::ExitedWithCode(0), "");
}

// Without ImgCom3.dll beside them the modules that need it do not load; the
// others still do.
[[noreturn]] void LoadWithoutImgComThenExit(const ScratchDir& folder) {
  bool ok = true;
  for (const char* module : kModules) {
    if (std::string(module) == "ImgCom3.dll") continue;
    fs::copy_file(fs::path(ModuleFolder()) / module, fs::path(folder.Path()) / module);
    const bool needsImgCom = std::string(module) == "ImgFile3.dll" || std::string(module) == "ImgDsp3.dll";
    void* handle = dlopen((folder.Path() + "/" + module).c_str(), RTLD_NOW | RTLD_LOCAL);
    ok = ok && (handle == nullptr) == needsImgCom;
  }
  Finish(folder, ok);
}

TEST_F(ImgKitLoading, ModulesNeedingImgComFailToLoadWithoutIt) {
  EXPECT_EXIT(LoadWithoutImgComThenExit(ScratchDir()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace imgtest
