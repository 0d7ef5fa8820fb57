// CreateDirectoryA, RemoveDirectoryA, the current folder and the executable's
// path.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/system/Files.h"
#include "platform/system/Paths.h"
#include "tests/support/TempRoot.h"

namespace fs = std::filesystem;

namespace {

class FoldersTest : public ::testing::Test {
 protected:
  TempRoot root;
};

TEST_F(FoldersTest, CreateDirectoryMakesOneLevel) {
  EXPECT_TRUE(CreateDirectoryA("C:\\Program Files\\Corvalen", nullptr));
  EXPECT_TRUE(root.IsFolder("C:\\Program Files\\Corvalen"));
  EXPECT_TRUE(CreateDirectoryA("c:\\program files\\corvalen\\System", nullptr));
  EXPECT_TRUE(root.IsFolder("C:\\Program Files\\Corvalen\\System"));
  EXPECT_TRUE(CreateDirectoryA("D:\\Trailing\\", nullptr));
  EXPECT_TRUE(root.IsFolder("D:\\Trailing"));
}

TEST_F(FoldersTest, CreateDirectoryFailuresKeepTheirMeaning) {
  root.WriteFile("C:\\file.txt", "x");
  struct Case {
    std::string path;
    DWORD error;
  };
  const Case cases[] = {
      {"C:\\Program Files", ERROR_ALREADY_EXISTS},
      {"C:\\PROGRAM FILES", ERROR_ALREADY_EXISTS},
      {"C:\\file.txt", ERROR_ALREADY_EXISTS},
      {"C:\\missing\\child", ERROR_PATH_NOT_FOUND},
      {"C:\\file.txt\\child", ERROR_PATH_NOT_FOUND},
      {"C:\\bad|name", ERROR_INVALID_NAME},
      {"Q:\\x", ERROR_INVALID_DRIVE},
      {"C:\\" + std::string(200, 'a') + "\\" + std::string(56, 'b'), ERROR_FILENAME_EXCED_RANGE},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_FALSE(CreateDirectoryA(c.path.c_str(), nullptr)) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
  EXPECT_FALSE(root.Exists("C:\\missing"));
  EXPECT_FALSE(root.Exists("C:\\" + std::string(200, 'a')));
}

TEST_F(FoldersTest, RemoveDirectoryRemovesOnlyAnEmptyFolder) {
  root.MakeFolder("C:\\Empty");
  root.MakeFolder("C:\\Full\\Child");
  root.WriteFile("C:\\file.txt", "x");
  EXPECT_TRUE(RemoveDirectoryA("c:\\EMPTY"));
  EXPECT_FALSE(root.Exists("C:\\Empty"));

  struct Case {
    const char* path;
    DWORD error;
  };
  const Case cases[] = {
      {"C:\\Full", ERROR_DIR_NOT_EMPTY},
      {"C:\\Empty", ERROR_FILE_NOT_FOUND},
      {"C:\\file.txt", 267},      // not a folder
      {"D:\\", ERROR_ACCESS_DENIED},  // a drive's own folder stays, even empty
      {"D:", ERROR_ACCESS_DENIED},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(RemoveDirectoryA(c.path)) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
  EXPECT_TRUE(root.IsFolder("C:\\Full\\Child"));
  EXPECT_TRUE(root.Exists("C:\\file.txt"));
  EXPECT_TRUE(fs::is_directory(root.Path() + "/drive_d"));
}

TEST_F(FoldersTest, TheCurrentFolderIsTheProcesssOwnInWindowsForm) {
  root.MakeFolder("C:\\Dist");
  EXPECT_TRUE(SetCurrentDir("c:\\dist"));
  EXPECT_EQ(GetCurrentDir(), "C:\\Dist");
  EXPECT_EQ(fs::current_path(), fs::canonical(root.Host("C:\\Dist")));
  EXPECT_TRUE(SetCurrentDir("D:\\"));
  EXPECT_EQ(GetCurrentDir(), "D:\\");
}

TEST_F(FoldersTest, SetCurrentDirFailsOnAMissingFolderAndKeepsTheCurrentOne) {
  EXPECT_TRUE(SetCurrentDir("C:\\Program Files"));
  root.WriteFile("C:\\file.txt", "x");
  for (const char* path : {"C:\\missing", "C:\\file.txt", "Q:\\", ""}) {
    EXPECT_FALSE(SetCurrentDir(path)) << path;
    EXPECT_EQ(GetCurrentDir(), "C:\\Program Files") << path;
  }
}

TEST_F(FoldersTest, ACurrentFolderThatWasRemovedIsNoFolderAtAll) {
  root.MakeFolder("C:\\Gone");
  ASSERT_TRUE(SetCurrentDir("C:\\Gone"));
  fs::remove(root.Host("C:\\Gone"));
  EXPECT_EQ(GetCurrentDir(), "");
  DWORD error = 0;
  EXPECT_FALSE(paths::ToHost("Readme.txt", &error).has_value());
  EXPECT_EQ(error, ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(paths::ToHost("C:\\Program Files"), fs::canonical(root.Host("C:\\Program Files")).string());
}

TEST_F(FoldersTest, ExecutablePathIsTheRunningProgramUnlessATestSaysOtherwise) {
  auto host = paths::ToHost(ExecutablePath());
  ASSERT_TRUE(host.has_value());
  EXPECT_EQ(fs::path(*host), fs::canonical("/proc/self/exe"));
  SetExecutablePathForTesting("D:\\Setup.exe");
  EXPECT_EQ(ExecutablePath(), "D:\\Setup.exe");
  SetExecutablePathForTesting("");
  EXPECT_EQ(paths::ToHost(ExecutablePath()), host);
}

}  // namespace
