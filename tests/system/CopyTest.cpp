// CopyFileA: whole copies, replaced targets, kept modification times, and
// copies that fail without leaving anything half-written.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/system/Fault.h"
#include "platform/system/Files.h"
#include "tests/support/TempRoot.h"

namespace fs = std::filesystem;

namespace {

class CopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root.MakeFolder("C:\\Dist");
    root.MakeFolder("C:\\Dest\\System");
    // Over two of the copy's 1 MiB steps, in a pattern that shows misplaced bytes.
    const std::string line = "abcdefghijklmnopqrstuvw";
    while (big.size() < (2u << 20) + 17) big += line;
    root.WriteFile("C:\\Dist\\Big.jpg", big);
    root.WriteFile("C:\\Dist\\Kx.txt", "the document");
    SetMtime("C:\\Dist\\Kx.txt", 1000000000);
  }

  void SetMtime(const std::string& win, time_t seconds) {
    timespec times[2] = {{seconds, 0}, {seconds, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, root.Host(win).c_str(), times, 0), 0);
  }
  timespec Mtime(const std::string& win) {
    struct stat st = {};
    EXPECT_EQ(stat(root.Host(win).c_str(), &st), 0) << win;
    return st.st_mtim;
  }
  std::set<std::string> Names(const std::string& win) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(root.Host(win))) names.insert(entry.path().filename());
    return names;
  }

  TempRoot root;
  fault::Scope faults;
  std::string big;
};

TEST_F(CopyTest, CopiesTheWholeFileAndKeepsItsModificationTime) {
  ASSERT_TRUE(CopyFileA("C:\\Dist\\Kx.txt", "C:\\Dest\\Kx.txt", CORVALEN_FALSE));
  EXPECT_EQ(root.ReadFile("C:\\Dest\\Kx.txt"), "the document");
  EXPECT_EQ(Mtime("C:\\Dest\\Kx.txt").tv_sec, 1000000000);
  EXPECT_EQ(Mtime("C:\\Dest\\Kx.txt").tv_nsec, 123456789);
  ASSERT_TRUE(CopyFileA("C:\\Dist\\Big.jpg", "C:\\Dest\\System\\Big.jpg", CORVALEN_FALSE));
  EXPECT_EQ(root.ReadFile("C:\\Dest\\System\\Big.jpg"), big);
  EXPECT_EQ(Names("C:\\Dest\\System"), (std::set<std::string>{"Big.jpg"}));
}

TEST_F(CopyTest, SourceNamesMatchWithoutCaseAndTargetsKeepTheNameAsWritten) {
  ASSERT_EQ(chdir(root.Host("C:\\Dist").c_str()), 0);
  ASSERT_TRUE(CopyFileA("KX.TXT", "C:\\Dest\\Kx.txt", CORVALEN_FALSE));
  ASSERT_TRUE(CopyFileA("big.JPG", "c:\\dest\\BIG.jpg", CORVALEN_FALSE));
  EXPECT_EQ(Names("C:\\Dest"), (std::set<std::string>{"BIG.jpg", "Kx.txt", "System"}));
}

TEST_F(CopyTest, AnExistingTargetIsReplacedUnlessTheCallerForbidsIt) {
  root.WriteFile("C:\\Dest\\Kx.txt", "an older, longer document");
  ASSERT_TRUE(CopyFileA("C:\\Dist\\Kx.txt", "C:\\Dest\\Kx.txt", CORVALEN_FALSE));
  EXPECT_EQ(root.ReadFile("C:\\Dest\\Kx.txt"), "the document");
  EXPECT_EQ(Mtime("C:\\Dest\\Kx.txt").tv_sec, 1000000000);

  root.WriteFile("C:\\Dest\\Kept.txt", "kept");
  EXPECT_FALSE(CopyFileA("C:\\Dist\\Kx.txt", "C:\\Dest\\Kept.txt", CORVALEN_TRUE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(root.ReadFile("C:\\Dest\\Kept.txt"), "kept");
  EXPECT_TRUE(CopyFileA("C:\\Dist\\Kx.txt", "C:\\Dest\\New.txt", CORVALEN_TRUE));
  EXPECT_EQ(Names("C:\\Dest"), (std::set<std::string>{"Kept.txt", "Kx.txt", "New.txt", "System"}));
}

TEST_F(CopyTest, FailuresLeaveNoTarget) {
  struct Case {
    const char* source;
    const char* target;
    DWORD error;
  };
  const Case cases[] = {
      {"C:\\Dist\\Missing.txt", "C:\\Dest\\Missing.txt", ERROR_FILE_NOT_FOUND},
      {"C:\\NoDist\\Kx.txt", "C:\\Dest\\Kx.txt", ERROR_PATH_NOT_FOUND},
      {"C:\\Dist", "C:\\Dest\\Dist", ERROR_ACCESS_DENIED},  // a folder is no file
      {"C:\\Dist\\Kx.txt", "C:\\NoDest\\Kx.txt", ERROR_PATH_NOT_FOUND},
      {"C:\\Dist\\Kx.txt", "C:\\Dest\\System", ERROR_ACCESS_DENIED},  // a folder stands there
      {"C:\\Dist\\Kx.txt", "C:\\Dest\\K|x.txt", ERROR_INVALID_NAME},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(CopyFileA(c.source, c.target, CORVALEN_FALSE)) << c.source << " -> " << c.target;
    EXPECT_EQ(GetLastError(), c.error) << c.source << " -> " << c.target;
  }
  EXPECT_EQ(Names("C:\\Dest"), (std::set<std::string>{"System"}));
  EXPECT_TRUE(Names("C:\\Dest\\System").empty());
}

TEST_F(CopyTest, ACopyThatBreaksOffRemovesItsPartialFile) {
  fault::Add({.call = "CopyFileA", .error = ERROR_DISK_FULL, .failAfterBytes = 1 << 20});
  EXPECT_FALSE(CopyFileA("C:\\Dist\\Big.jpg", "C:\\Dest\\Big.jpg", CORVALEN_FALSE));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_EQ(Names("C:\\Dest"), (std::set<std::string>{"System"}));
}

TEST_F(CopyTest, ACopyThatBreaksOffLeavesAnExistingTargetAsItWas) {
  root.WriteFile("C:\\Dest\\Big.jpg", "the previous picture");
  SetMtime("C:\\Dest\\Big.jpg", 1200000000);
  fault::Add({.call = "CopyFileA", .error = ERROR_DISK_FULL, .failAfterBytes = 5});
  EXPECT_FALSE(CopyFileA("C:\\Dist\\Big.jpg", "C:\\Dest\\Big.jpg", CORVALEN_FALSE));
  EXPECT_EQ(root.ReadFile("C:\\Dest\\Big.jpg"), "the previous picture");
  EXPECT_EQ(Mtime("C:\\Dest\\Big.jpg").tv_sec, 1200000000);
  EXPECT_EQ(Names("C:\\Dest"), (std::set<std::string>{"Big.jpg", "System"}));
}

// Another program cuts the source while it is copied: the copy fails instead
// of reporting a shortened file as whole, and leaves no target (or the
// earlier one).
TEST_F(CopyTest, ASourceThatShrinksWhileCopiedFailsTheCopy) {
  for (bool earlier : {false, true}) {
    SCOPED_TRACE(earlier ? "replacing a target" : "a new target");
    root.WriteFile("C:\\Dist\\Big.jpg", big);
    if (earlier) root.WriteFile("C:\\Dest\\Big.jpg", "the previous picture");
    fault::Add({.call = "CopyFileA", .shrinkSourceAt = (1 << 20) + 3});
    EXPECT_FALSE(CopyFileA("C:\\Dist\\Big.jpg", "C:\\Dest\\Big.jpg", CORVALEN_FALSE));
    EXPECT_EQ(GetLastError(), ERROR_HANDLE_EOF);
    fault::Clear();
    EXPECT_EQ(root.ReadFile("C:\\Dist\\Big.jpg"), big.substr(0, (1 << 20) + 3));
    if (earlier) {
      EXPECT_EQ(root.ReadFile("C:\\Dest\\Big.jpg"), "the previous picture");
      EXPECT_EQ(Names("C:\\Dest"), (std::set<std::string>{"Big.jpg", "System"}));
    } else {
      EXPECT_EQ(Names("C:\\Dest"), (std::set<std::string>{"System"}));
    }
  }
}

// Names are matched without regard to case also in a folder that was just
// written to and then changed by another program: a target that another
// program made meanwhile is replaced, not doubled by a second spelling.
TEST_F(CopyTest, ATargetMadeByAnotherProgramIsFoundWithoutCase) {
  for (int i = 0; i < 20; ++i) {
    const std::string name = "C:\\Dest\\System\\Plugin" + std::to_string(i) + ".spi";
    ASSERT_TRUE(CopyFileA("C:\\Dist\\Kx.txt", name.c_str(), CORVALEN_FALSE));
  }
  root.WriteFile("C:\\Dest\\System\\LATE.SPI", "made by another program");
  fs::rename(root.Host("C:\\Dest\\System\\Plugin3.spi"), root.Host("C:\\Dest\\System\\MOVED.SPI"));
  ASSERT_TRUE(CopyFileA("C:\\Dist\\Kx.txt", "C:\\Dest\\System\\late.spi", CORVALEN_FALSE));
  ASSERT_TRUE(CopyFileA("C:\\Dist\\Kx.txt", "C:\\Dest\\System\\moved.spi", CORVALEN_FALSE));
  ASSERT_TRUE(CopyFileA("C:\\Dist\\Kx.txt", "C:\\Dest\\System\\plugin3.SPI", CORVALEN_FALSE));
  EXPECT_EQ(root.ReadFile("C:\\Dest\\System\\LATE.SPI"), "the document");
  const std::set<std::string> names = Names("C:\\Dest\\System");
  EXPECT_EQ(names.size(), 22u);
  EXPECT_EQ(names.count("LATE.SPI") + names.count("MOVED.SPI") + names.count("plugin3.SPI"), 3u);
}

TEST_F(CopyTest, AFaultFiltersOnEitherPathAndCanFailBeforeWriting) {
  fault::Add({.call = "CopyFileA", .pathContains = "\\System\\", .error = ERROR_ACCESS_DENIED});
  EXPECT_TRUE(CopyFileA("C:\\Dist\\Kx.txt", "C:\\Dest\\Kx.txt", CORVALEN_FALSE));
  EXPECT_FALSE(CopyFileA("C:\\Dist\\Kx.txt", "C:\\Dest\\System\\Kx.txt", CORVALEN_FALSE));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  fault::Clear();
  fault::Add({.call = "CopyFileA", .nth = 1, .pathContains = "Dist\\Kx", .error = ERROR_DISK_FULL});
  EXPECT_TRUE(CopyFileA("C:\\Dist\\Big.jpg", "C:\\Dest\\Big.jpg", CORVALEN_FALSE));
  EXPECT_FALSE(CopyFileA("C:\\Dist\\Kx.txt", "C:\\Dest\\System\\Kx.txt", CORVALEN_FALSE));
  EXPECT_TRUE(CopyFileA("C:\\Dist\\Kx.txt", "C:\\Dest\\System\\Kx.txt", CORVALEN_FALSE));
  EXPECT_EQ(Names("C:\\Dest"), (std::set<std::string>{"Big.jpg", "Kx.txt", "System"}));
}

TEST_F(CopyTest, CopiesBetweenFileSystemsThroughABuffer) {
  struct stat tmp, shm;
  if (stat("/dev/shm", &shm) != 0 || stat(root.Path().c_str(), &tmp) != 0 || shm.st_dev == tmp.st_dev) {
    GTEST_SKIP() << "no second file system at /dev/shm";
  }
  char pattern[] = "/dev/shm/corvalen-copy-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::string winFolder = "Z:" + std::string(pattern);
  for (char& c : winFolder) {
    if (c == '/') c = '\\';
  }
  EXPECT_TRUE(CopyFileA("C:\\Dist\\Big.jpg", (winFolder + "\\Big.jpg").c_str(), CORVALEN_FALSE));
  EXPECT_TRUE(CopyFileA((winFolder + "\\Big.jpg").c_str(), "C:\\Dest\\Back.jpg", CORVALEN_FALSE));
  EXPECT_EQ(root.ReadFile("C:\\Dest\\Back.jpg"), big);
  fs::remove_all(pattern);
}

}  // namespace
