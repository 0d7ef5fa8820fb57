// Binding the imaging library: seven modules loaded in their order, 47 entry
// points each resolved from its own module, unloading in load order, and
// silence about whatever is missing.
#include <gtest/gtest.h>

#include "picture/ImageLibrary.h"
#include "platform/system/Modules.h"
#include "tests/picture/PictureSupport.h"

namespace {

using namespace picture_test;

const std::vector<std::string> kLoadOrder = {"ImgCom3.dll", "ImgScan3.dll", "ImgEtc3.dll", "ImgFile3.dll",
                                             "ImgDsp3.dll", "ImgCut3.dll",  "ImgTiff3.dll"};

std::vector<std::string> ModulesWith(const std::string& event) {
  std::vector<std::string> modules;
  for (const Event& e : Events())
    if (e.event == event) modules.push_back(e.module);
  return modules;
}

TEST(ImageLibrary, NothingPresentBindsNothingSilently) {
  Installer installer;
  installer.MakeForm();
  EXPECT_EQ(imagelibrary::LoadedModules(), 0);
  EXPECT_EQ(imagelibrary::BoundEntryPoints(), 0);
  EXPECT_EQ(imagelibrary::ImgKitFileType, nullptr);
  installer.DestroyForm();  // unloads nothing, and does not fail
}

TEST(ImageLibrary, LoadsInTableOrderAndUnloadsInTheSameOrder) {
  Installer installer;
  installer.AddFakeLibrary();
  installer.MakeForm();
  EXPECT_EQ(ModulesWith("load"), kLoadOrder);
  EXPECT_EQ(imagelibrary::LoadedModules(), 7);
  // Each fake exports only its own module's names, so all 47 bound means each
  // was looked up in the right module.
  EXPECT_EQ(imagelibrary::BoundEntryPoints(), 47);
  EXPECT_TRUE(ModulesWith("unload").empty());

  installer.DestroyForm();
  EXPECT_EQ(ModulesWith("unload"), kLoadOrder);
  EXPECT_EQ(imagelibrary::LoadedModules(), 0);
  // Nothing of the library was called by binding and unbinding it.
  EXPECT_TRUE(Calls().empty());
}

TEST(ImageLibrary, TheCalledEntryPointsComeFromTheirModules) {
  Installer installer;
  installer.AddFakeLibrary();
  installer.MakeForm();
  const struct {
    const char* name;
    const char* module;
    const void* bound;
  } called[] = {
      {"ImgKitFileType", "IMGFILE3.DLL", reinterpret_cast<const void*>(imagelibrary::ImgKitFileType)},
      {"ImgKitFileLoad", "IMGFILE3.DLL", reinterpret_cast<const void*>(imagelibrary::ImgKitFileLoad)},
      {"ImgKitDisplayHdc", "IMGDSP3.DLL", reinterpret_cast<const void*>(imagelibrary::ImgKitDisplayHdc)},
      {"ImgKitMemFree", "IMGCOM3.DLL", reinterpret_cast<const void*>(imagelibrary::ImgKitMemFree)},
  };
  for (const auto& c : called) {
    ASSERT_NE(c.bound, nullptr) << c.name;
    EXPECT_EQ(c.bound, GetProcAddress(imagelibrary::Module(c.module), c.name)) << c.name;
    EXPECT_EQ(c.bound, imagelibrary::EntryPoint(c.name)) << c.name;
  }
}

struct MissingCase {
  const char* leftOut;
  int modules;
  int entryPoints;
};
void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.leftOut; }


class ImageLibraryMissing : public ::testing::TestWithParam<MissingCase> {};

TEST_P(ImageLibraryMissing, LeavesOnlyThatModulesEntryPointsEmpty) {
  Installer installer;
  installer.AddFakeLibrary({GetParam().leftOut});
  installer.MakeForm();
  EXPECT_EQ(imagelibrary::LoadedModules(), GetParam().modules);
  EXPECT_EQ(imagelibrary::BoundEntryPoints(), GetParam().entryPoints);
  std::vector<std::string> expected = kLoadOrder;
  std::erase(expected, std::string(GetParam().leftOut));
  EXPECT_EQ(ModulesWith("load"), expected);
  installer.DestroyForm();
  EXPECT_EQ(ModulesWith("unload"), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImageLibraryMissing,
                         ::testing::Values(MissingCase{"ImgCom3.dll", 6, 44}, MissingCase{"ImgScan3.dll", 6, 43},
                                           MissingCase{"ImgEtc3.dll", 6, 29}, MissingCase{"ImgFile3.dll", 6, 38},
                                           MissingCase{"ImgDsp3.dll", 6, 38}, MissingCase{"ImgCut3.dll", 6, 45},
                                           MissingCase{"ImgTiff3.dll", 6, 45}));

TEST(ImageLibrary, AModuleWithoutOneNameLeavesOnlyThatPointerEmpty) {
  Installer installer;
  installer.AddFakeLibrary({}, FIXTURE_IMGKIT_COM_NOFREE_PATH);
  installer.MakeForm();
  EXPECT_EQ(imagelibrary::LoadedModules(), 7);
  EXPECT_EQ(imagelibrary::BoundEntryPoints(), 46);
  EXPECT_EQ(imagelibrary::ImgKitMemFree, nullptr);
  EXPECT_NE(imagelibrary::EntryPoint("ImgKitMemSize"), nullptr);
}

TEST(ImageLibrary, TheRealLibraryBindsItsFourCalledEntryPoints) {
  Installer installer;
  installer.AddRealLibrary();
  installer.MakeForm();
  EXPECT_EQ(imagelibrary::LoadedModules(), 7);
  EXPECT_NE(imagelibrary::ImgKitFileType, nullptr);
  EXPECT_NE(imagelibrary::ImgKitFileLoad, nullptr);
  EXPECT_NE(imagelibrary::ImgKitDisplayHdc, nullptr);
  EXPECT_NE(imagelibrary::ImgKitMemFree, nullptr);
}

}  // namespace
