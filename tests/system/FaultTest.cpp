// The fault seam: which call fails, and that each faultable call honours it.
#include "platform/system/Fault.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/system/Files.h"
#include "platform/system/Modules.h"
#include "platform/system/Paths.h"
#include "tests/support/TempRoot.h"

namespace {

TEST(Fault, TheNthMatchingCallFailsAndOnlyIt) {
  fault::Scope scope;
  fault::Add({.call = "CreateDirectoryA", .nth = 2, .error = 112});
  EXPECT_FALSE(fault::Check("CreateDirectoryA", "C:\\a"));
  EXPECT_FALSE(fault::Check("RemoveDirectoryA", "C:\\a"));  // another call does not count
  auto fired = fault::Check("CreateDirectoryA", "C:\\b");
  ASSERT_TRUE(fired);
  EXPECT_EQ(fired->error, 112u);
  EXPECT_FALSE(fault::Check("CreateDirectoryA", "C:\\c"));
}

TEST(Fault, ThePathFilterDecidesWhichCallsCount) {
  fault::Scope scope;
  fault::Add({.call = "FindFirstFileA", .nth = 1, .pathContains = "\\Temp"});
  EXPECT_FALSE(fault::Check("FindFirstFileA", "C:\\Dest"));
  EXPECT_FALSE(fault::Check("FindFirstFileA", "C:\\Dest\\System"));
  EXPECT_TRUE(fault::Check("FindFirstFileA", "C:\\Dest\\Temp"));
  EXPECT_FALSE(fault::Check("FindFirstFileA", "C:\\Dest\\Temp"));
}

TEST(Fault, EveryMatchingCallFailsWithNthZeroUntilTheScopeEnds) {
  {
    fault::Scope scope;
    fault::Add({.call = "spawnlp"});
    EXPECT_TRUE(fault::Check("spawnlp"));
    EXPECT_TRUE(fault::Check("spawnlp", "NOTEPAD.EXE"));
  }
  EXPECT_FALSE(fault::Check("spawnlp"));
}

class FaultCallsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root.MakeFolder("C:\\Dist");
    root.WriteFile("C:\\Dist\\Kx.txt", "x");
  }
  TempRoot root;
  fault::Scope scope;
};

TEST_F(FaultCallsTest, EachFaultableCallFailsWithTheChosenErrorAndDoesNothing) {
  struct Case {
    const char* call;
    std::function<bool()> run;  // true when the call succeeded
  };
  WIN32_FIND_DATAA data;
  const Case cases[] = {
      {"FindFirstFileA",
       [&] {
         HANDLE h = FindFirstFileA("C:\\Dist\\Kx.txt", &data);
         return h != INVALID_HANDLE_VALUE && FindClose(h);
       }},
      {"FindNextFileA",
       [&] {
         HANDLE h = FindFirstFileA("C:\\Dist\\*", &data);
         bool next = FindNextFileA(h, &data);
         FindClose(h);
         return next || GetLastError() == ERROR_NO_MORE_FILES;
       }},
      {"CreateDirectoryA", [] { return CreateDirectoryA("C:\\Dist\\New", nullptr) != 0; }},
      {"RemoveDirectoryA", [] { return RemoveDirectoryA("C:\\Dist\\New") != 0; }},
      {"CopyFileA", [] { return CopyFileA("C:\\Dist\\Kx.txt", "C:\\Dist\\Copy.txt", CORVALEN_FALSE) != 0; }},
      {"SetCurrentDir", [] { return SetCurrentDir("C:\\Dist"); }},
      {"FileOpen",
       [] {
         int h = FileOpen("C:\\Dist\\Kx.txt", fmOpenRead);
         FileClose(h);
         return h >= 0;
       }},
      {"LoadLibraryA",
       [] {
         HMODULE module = LoadLibraryA(paths::ToWindows(FIXTURE_IDENT_1).c_str());
         return module != nullptr && FreeLibrary(module);
       }},
  };
  for (const Case& c : cases) {
    fault::Clear();
    fault::Add({.call = c.call, .error = 0x4444});
    SetLastError(0);
    EXPECT_FALSE(c.run()) << c.call;
    EXPECT_EQ(GetLastError(), 0x4444u) << c.call;
  }
  EXPECT_FALSE(root.Exists("C:\\Dist\\New"));
  EXPECT_FALSE(root.Exists("C:\\Dist\\Copy.txt"));
  fault::Clear();
  for (const Case& c : cases) EXPECT_TRUE(c.run()) << c.call << " without a fault";
}

}  // namespace
