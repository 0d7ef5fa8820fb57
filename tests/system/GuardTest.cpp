// The guard turns exceptions, hardware faults and unresolved entry points in
// a module call into the call's failure value; outside a guard a crash stays
// a crash.
#include "platform/system/Guard.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <string>

#include "platform/system/Modules.h"
#include "platform/system/Paths.h"
#include "tests/support/TempRoot.h"

namespace {

using Entry = int (*)(int);

class GuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryA(paths::ToWindows(FIXTURE_CRASH).c_str());
    ASSERT_NE(module, nullptr);
  }
  void TearDown() override { FreeLibrary(module); }

  Entry Get(const char* name) { return reinterpret_cast<Entry>(GetProcAddress(module, name)); }

  TempRoot root;
  HMODULE module = nullptr;
};

TEST_F(GuardTest, EveryKindOfFailureEndsAsTheFailureValue) {
  struct Case {
    const char* entry;
    int argument;
  };
  const Case cases[] = {
      {"FixtureThrow", 0}, {"FixtureSegv", 0}, {"FixtureFpe", 0},
      {"FixtureIll", 0},   {"FixtureBus", 0},  {"FixtureOverflow", 0},
  };
  auto add = reinterpret_cast<int (*)(int, int)>(GetProcAddress(module, "FixtureAdd"));
  ASSERT_NE(add, nullptr);
  for (const Case& c : cases) {
    Entry entry = Get(c.entry);
    ASSERT_NE(entry, nullptr) << c.entry;
    // Twice each: a fault must leave the guard ready for the next one.
    EXPECT_EQ(guard::Call(-1, entry, c.argument), -1) << c.entry;
    EXPECT_EQ(guard::Call(-1, entry, c.argument), -1) << c.entry;
    EXPECT_EQ(guard::Call(-1, add, 2, 3), 5) << "after " << c.entry;
  }
}

TEST_F(GuardTest, AnEntryPointNeverResolvedIsAFailureNotACrash) {
  Entry missing = Get("NoSuchEntry");
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(guard::Call(-7, missing, 1), -7);
}

TEST_F(GuardTest, RunReportsWhetherTheProgramsOwnCodeFinished) {
  int steps = 0;
  EXPECT_TRUE(guard::Run([&] { ++steps; }));
  auto throwing = [&] {
    ++steps;
    throw std::runtime_error("bad header");
  };
  EXPECT_FALSE(guard::Run(throwing));  // an lvalue callable
  Entry segv = Get("FixtureSegv");
  EXPECT_FALSE(guard::Run([&] {
    ++steps;
    segv(0);
    ++steps;
  }));
  EXPECT_EQ(steps, 3);
}

TEST_F(GuardTest, NestedGuardsEachCatchTheirOwnFault) {
  Entry segv = Get("FixtureSegv");
  Entry fpe = Get("FixtureFpe");
  int inner = 0;
  bool afterInner = false;
  EXPECT_TRUE(guard::Run([&] {
    inner = guard::Call(-2, segv, 0);
    afterInner = true;
  }));
  EXPECT_EQ(inner, -2);
  EXPECT_TRUE(afterInner);
  // A fault after an inner guard has ended belongs to the outer one.
  bool reached = false;
  EXPECT_FALSE(guard::Run([&] {
    guard::Call(-1, segv, 0);
    fpe(0);
    reached = true;
  }));
  EXPECT_FALSE(reached);
}

#if defined(__SANITIZE_ADDRESS__)
#define CORVALEN_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVALEN_UNDER_ASAN 1
#endif
#endif

bool DiedOfTheFault(int status) {
#if defined(CORVALEN_UNDER_ASAN)
  // The sanitizer reports the fault and ends the program itself.
  return !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
#else
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV;
#endif
}

// Without a temporary root: the child that dies would leave it behind.
TEST(GuardDeathTest, AFaultOutsideAnyGuardStillCrashes) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  void* module = dlopen(FIXTURE_CRASH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  auto segv = reinterpret_cast<Entry>(dlsym(module, "FixtureSegv"));
  ASSERT_NE(segv, nullptr);
  EXPECT_EQ(guard::Call(-1, segv, 0), -1);  // the handlers are in place
  EXPECT_EXIT(segv(0), DiedOfTheFault, "");
  dlclose(module);
}

}  // namespace
