// LoadLibraryA's search (the executable's folder, then the current folder,
// names without regard to case), GetProcAddress and FreeLibrary.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/system/Fault.h"
#include "platform/system/Files.h"
#include "platform/system/Modules.h"
#include "tests/support/TempRoot.h"

namespace fs = std::filesystem;

namespace {

class ModulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root.MakeFolder("C:\\App");
    root.MakeFolder("C:\\Work");
    fs::copy_file(FIXTURE_IDENT_1, root.Host("C:\\App\\ImgCom3.dll"));
    fs::copy_file(FIXTURE_IDENT_2, root.Host("C:\\Work\\IMGCOM3.DLL"));
    SetExecutablePathForTesting("C:\\App\\Setup.exe");
    ASSERT_TRUE(SetCurrentDir("C:\\Work"));
  }
  void TearDown() override { SetExecutablePathForTesting(""); }

  // Which build of the ident module `name` loads; 0 when it does not load.
  static int IdentOf(const char* name) {
    HMODULE module = LoadLibraryA(name);
    if (module == nullptr) return 0;
    auto ident = reinterpret_cast<int (*)()>(GetProcAddress(module, "FixtureIdent"));
    int result = ident != nullptr ? ident() : -1;
    EXPECT_TRUE(FreeLibrary(module));
    return result;
  }

  TempRoot root;
  fault::Scope faults;
};

TEST_F(ModulesTest, ABareNameIsLookedForBesideTheExecutableFirst) {
  EXPECT_EQ(IdentOf("IMGCOM3.DLL"), 1);
  EXPECT_EQ(IdentOf("imgcom3.dll"), 1);
  fs::remove(root.Host("C:\\App\\ImgCom3.dll"));
  EXPECT_EQ(IdentOf("IMGCOM3.DLL"), 2);  // then in the current folder
  fs::remove(root.Host("C:\\Work\\IMGCOM3.DLL"));
  EXPECT_EQ(IdentOf("IMGCOM3.DLL"), 0);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(ModulesTest, AnExecutableAtADriveRootFindsModulesBesideIt) {
  fs::copy_file(FIXTURE_IDENT_1, root.Host("D:\\Decode.spi"));
  SetExecutablePathForTesting("D:\\Setup.exe");
  EXPECT_EQ(IdentOf("DECODE.SPI"), 1);
}

TEST_F(ModulesTest, ANameWithAFolderIsThatPath) {
  EXPECT_EQ(IdentOf("C:\\work\\ImgCom3.dll"), 2);
  EXPECT_EQ(IdentOf(".\\imgcom3.DLL"), 2);
  EXPECT_EQ(IdentOf("C:\\Nowhere\\ImgCom3.dll"), 0);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(ModulesTest, AFileThatIsNoModuleDoesNotLoad) {
  root.WriteFile("C:\\App\\Bad.dll", "this is text, not a module");
  EXPECT_EQ(LoadLibraryA("Bad.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);
  root.MakeFolder("C:\\App\\Folder.dll");
  EXPECT_EQ(LoadLibraryA("Folder.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(LoadLibraryA(""), nullptr);
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
}

TEST_F(ModulesTest, GetProcAddressFindsOnlyTheModulesOwnExports) {
  HMODULE module = LoadLibraryA("ImgCom3.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_NE(GetProcAddress(module, "FixtureIdent"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "ImgKitMemFree"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(module, "malloc"), nullptr);  // a dependency's, not its own
  EXPECT_EQ(GetProcAddress(module, reinterpret_cast<const char*>(uintptr_t{3})), nullptr);  // an ordinal
  EXPECT_EQ(GetProcAddress(nullptr, "FixtureIdent"), nullptr);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST_F(ModulesTest, TheFaultSeamCanRefuseALoad) {
  fault::Add({.call = "LoadLibraryA", .pathContains = "IMGCOM3", .error = ERROR_MOD_NOT_FOUND});
  EXPECT_EQ(IdentOf("IMGCOM3.DLL"), 0);
  EXPECT_EQ(IdentOf("ImgCom3.dll"), 1);
}

}  // namespace
