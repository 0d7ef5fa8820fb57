// Windows paths to host paths and back, under a temporary root with drives
// C: (drive_c), D: (drive_d) and Z: (/).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/system/Paths.h"
#include "platform/system/Root.h"
#include "tests/support/TempRoot.h"
#include "tests/text/CodePageScope.h"

namespace fs = std::filesystem;

namespace {

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root.MakeFolder("C:\\Program Files\\Corvalen");
    root.MakeFolder("C:\\MixedCase\\Inner");
    // Host paths come back canonical; the temporary folder may lie behind a link.
    c = fs::canonical(root.Host("C:\\")).string();
    d = fs::canonical(root.Host("D:\\")).string();
  }

  std::string Chdir(const std::string& winPath) {
    std::string host = root.Host(winPath);
    EXPECT_EQ(chdir(host.c_str()), 0);
    return host;
  }

  TempRoot root;
  std::string c, d;
};

TEST_F(PathsTest, MapsDrivePathsMatchingExistingNamesWithoutRegardToCase) {
  struct Case {
    const char* win;
    std::string host;
  };
  const Case cases[] = {
      {"C:\\", c},
      {"c:\\", c},
      {"C:", c},
      {"C:\\Program Files", c + "/Program Files"},
      {"c:\\PROGRAM FILES\\corvalen", c + "/Program Files/Corvalen"},
      {"C:/Program Files/Corvalen/New/Deeper", c + "/Program Files/Corvalen/New/Deeper"},
      {"C:\\mixedcase\\INNER\\NewName", c + "/MixedCase/Inner/NewName"},
      {"C:\\Program Files\\.\\..\\MixedCase\\", c + "/MixedCase"},
      {"C:\\\\Program Files\\\\\\Corvalen", c + "/Program Files/Corvalen"},
      {"D:\\", d},
      {"D:\\a\\b", d + "/a/b"},
      {"Z:\\", "/"},
      {"Z:\\usr\\lib", "/usr/lib"},
  };
  for (const Case& cs : cases) {
    DWORD error = 0;
    auto host = paths::ToHost(cs.win, &error);
    ASSERT_TRUE(host.has_value()) << cs.win << " error " << error;
    EXPECT_EQ(*host, cs.host) << cs.win;
  }
}

TEST_F(PathsTest, PrefersTheExactNameWhenOnlyCaseTellsTwoApart) {
  root.MakeFolder("C:\\dup");
  root.MakeFolder("C:\\DUP");
  EXPECT_EQ(paths::ToHost("C:\\dup"), c + "/dup");
  EXPECT_EQ(paths::ToHost("C:\\DUP"), c + "/DUP");
  auto other = paths::ToHost("C:\\Dup");
  ASSERT_TRUE(other.has_value());
  EXPECT_TRUE(*other == c + "/dup" || *other == c + "/DUP") << *other;
}

TEST_F(PathsTest, RefusesBadPathsWithTheWindowsError) {
  const std::string at259 = "C:\\" + std::string(200, 'a') + "\\" + std::string(55, 'b');
  ASSERT_EQ(at259.size(), 259u);
  struct Case {
    std::string win;
    DWORD error;
  };
  const Case cases[] = {
      {"", ERROR_INVALID_NAME},
      {"C:\\a<b", ERROR_INVALID_NAME},
      {"C:\\a>b", ERROR_INVALID_NAME},
      {"C:\\a\"b", ERROR_INVALID_NAME},
      {"C:\\a|b\\c", ERROR_INVALID_NAME},
      {"C:\\a?", ERROR_INVALID_NAME},
      {"C:\\*.spi", ERROR_INVALID_NAME},
      {"C:\\a:b", ERROR_INVALID_NAME},
      {"C:\\a\x01" "b", ERROR_INVALID_NAME},
      {"1:\\a", ERROR_INVALID_NAME},
      {"Q:\\a", ERROR_INVALID_DRIVE},
      {"C:\\..", ERROR_PATH_NOT_FOUND},
      {"C:\\a\\..\\..\\b", ERROR_PATH_NOT_FOUND},
      {"\\\\server\\share", ERROR_PATH_NOT_FOUND},
      {at259 + "b", ERROR_FILENAME_EXCED_RANGE},
      {at259 + "\\c", ERROR_FILENAME_EXCED_RANGE},
  };
  for (const Case& cs : cases) {
    DWORD error = 0;
    EXPECT_FALSE(paths::ToHost(cs.win, &error).has_value()) << cs.win;
    EXPECT_EQ(error, cs.error) << cs.win;
  }
  EXPECT_TRUE(paths::ToHost(at259).has_value());
}

TEST_F(PathsTest, RelativePathsStartFromTheCurrentFolder) {
  Chdir("C:\\Program Files\\Corvalen");
  EXPECT_EQ(paths::ToHost("x.txt"), c + "/Program Files/Corvalen/x.txt");
  EXPECT_EQ(paths::ToHost("."), c + "/Program Files/Corvalen");
  EXPECT_EQ(paths::ToHost("..\\..\\mixedcase"), c + "/MixedCase");
  EXPECT_EQ(paths::ToHost("\\MixedCase\\inner"), c + "/MixedCase/Inner");  // the current drive's root
  EXPECT_EQ(paths::ToHost("D:rel\\x"), d + "/rel/x");                         // from the root of D:
  DWORD error = 0;
  EXPECT_FALSE(paths::ToHost("..\\..\\..", &error).has_value());
  EXPECT_EQ(error, ERROR_PATH_NOT_FOUND);
}

TEST_F(PathsTest, RelativePathsCountTheirFullLength) {
  std::string deep = "C:\\" + std::string(120, 'a') + "\\" + std::string(120, 'b');
  root.MakeFolder(deep);
  Chdir(deep);
  DWORD error = 0;
  EXPECT_TRUE(paths::ToHost(std::string(10, 'x')).has_value());
  EXPECT_FALSE(paths::ToHost(std::string(20, 'x'), &error).has_value());
  EXPECT_EQ(error, ERROR_FILENAME_EXCED_RANGE);
}

TEST_F(PathsTest, HostPathsReadBackThroughTheLongestDrive) {
  struct Case {
    std::string host;
    const char* win;
  };
  const Case cases[] = {
      {root.Host("C:\\"), "C:\\"},
      {root.Host("C:\\") + "/", "C:\\"},
      {root.Host("C:\\Program Files"), "C:\\Program Files"},
      {root.Host("C:\\MixedCase") + "/../Program Files/./Corvalen", "C:\\Program Files\\Corvalen"},
      {root.Path() + "/dosdevices/c:/MixedCase", "C:\\MixedCase"},
      {root.Host("D:\\not\\there"), "D:\\not\\there"},
      {"/", "Z:\\"},
      {"/usr/lib", "Z:\\usr\\lib"},
  };
  for (const Case& cs : cases) EXPECT_EQ(paths::ToWindows(cs.host), cs.win) << cs.host;
  Chdir("C:\\MixedCase");
  EXPECT_EQ(paths::ToWindows("Inner"), "C:\\MixedCase\\Inner");
}

TEST_F(PathsTest, DanglingLoopingAndFileLinksLeaveTheirDrivesUnmapped) {
  fs::create_symlink("../missing", root.Path() + "/dosdevices/e:");
  fs::create_symlink("f:", root.Path() + "/dosdevices/f:");
  root.WriteFile("C:\\file.txt", "x");
  fs::create_symlink("../drive_c/file.txt", root.Path() + "/dosdevices/g:");
  fs::create_symlink("../drive_c/MixedCase", root.Path() + "/dosdevices/h:");
  WinRoot::Reset();
  for (const char* win : {"E:\\x", "F:\\x", "G:\\x"}) {
    DWORD error = 0;
    EXPECT_FALSE(paths::ToHost(win, &error).has_value()) << win;
    EXPECT_EQ(error, ERROR_INVALID_DRIVE) << win;
  }
  EXPECT_EQ(paths::ToHost("h:\\inner"), c + "/MixedCase/Inner");
  EXPECT_EQ(paths::ToWindows(c + "/MixedCase/Inner"), "H:\\Inner");  // the longest drive wins
}

TEST_F(PathsTest, WithoutItsOwnZTheRootStillReachesTheHostThroughZ) {
  fs::remove(root.Path() + "/dosdevices/z:");
  WinRoot::Reset();
  EXPECT_EQ(WinRoot::Instance().Drives().at('Z'), "/");
  EXPECT_EQ(paths::ToHost("Z:\\usr"), "/usr");
}

TEST_F(PathsTest, Cp932NamesAreUtf8OnTheHostAndTheirSecondBytesNoSeparators) {
  CodePageScope cp932(CodePage::Cp932);
  fs::create_directories(c + "/ソフト/表");
  const std::string sofuto = "\x83\x5C\x83\x74\x83\x67";  // ソフト
  const std::string hyo = "\x95\x5C";                      // 表
  const std::string po = "\x83\x7C";                       // ポ: its second byte is '|'
  EXPECT_EQ(paths::ToHost("C:\\" + sofuto + "\\" + hyo), c + "/ソフト/表");
  EXPECT_EQ(paths::ToHost("C:\\" + po), c + "/ポ");
  EXPECT_EQ(paths::ToWindows(c + "/ソフト/表"), "C:\\" + sofuto + "\\" + hyo);
}

}  // namespace
