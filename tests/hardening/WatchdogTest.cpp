// The guard's watchdog: a module call that never returns is abandoned as a
// failure once the time limit passes, the guard stays usable, and the
// plug-in host goes on to the next plug-in, which decodes the picture.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/gui/Graphics.h"
#include "platform/system/Files.h"
#include "platform/system/Guard.h"
#include "platform/system/Modules.h"
#include "platform/system/Paths.h"
#include "tests/picture/PictureSupport.h"
#include "tests/support/TempRoot.h"

// Called by the hanging module when it is unloaded.
namespace {
int unloads = 0;
}  // namespace
extern "C" void HardeningModuleUnloaded() { ++unloads; }

namespace {

using Entry = int (*)(int);

class WatchdogTest : public ::testing::Test {
 protected:
  void SetUp() override { guard::SetTimeLimit(std::chrono::milliseconds(200)); }
  void TearDown() override { guard::SetTimeLimit(saved_); }

  const std::chrono::milliseconds saved_ = guard::TimeLimit();
};

TEST_F(WatchdogTest, ACallThatNeverReturnsEndsAsTheFailureValue) {
  TempRoot root;
  HMODULE module = LoadLibraryA(paths::ToWindows(FIXTURE_HANG_PATH).c_str());
  ASSERT_NE(module, nullptr);
  const auto add = reinterpret_cast<Entry>(GetProcAddress(module, "AddOne"));
  for (const char* name : {"HangSpinning", "HangSleeping"}) {
    SCOPED_TRACE(name);
    const auto hang = reinterpret_cast<Entry>(GetProcAddress(module, name));
    ASSERT_NE(hang, nullptr);
    // Twice: the guard and the watchdog are ready again after each.
    for (int round = 0; round < 2; ++round) {
      EXPECT_EQ(guard::Call(-1, hang, 1), -1);
      EXPECT_TRUE(guard::LastTimedOut());
      EXPECT_EQ(guard::Call(-1, add, 1), 2);
      EXPECT_FALSE(guard::LastTimedOut());
    }
  }
  // A run of the program's own code is watched the same way.
  const auto spin = reinterpret_cast<Entry>(GetProcAddress(module, "HangSpinning"));
  int steps = 0;
  EXPECT_FALSE(guard::Run([&] {
    ++steps;
    spin(0);
    ++steps;
  }));
  EXPECT_EQ(steps, 1);
  EXPECT_TRUE(guard::LastTimedOut());
  // Unloading it on purpose is the caller's choice.
  unloads = 0;
  FreeLibrary(module);
  EXPECT_EQ(unloads, 1);
}

TEST_F(WatchdogTest, FaultsAreNoTimeouts) {
  EXPECT_FALSE(guard::Run([] { throw 1; }));
  EXPECT_FALSE(guard::LastTimedOut());
}

TEST_F(WatchdogTest, NoLimitMeansNoWatchdog) {
  guard::SetTimeLimit(std::chrono::milliseconds(0));
  // Finishes on its own; nothing interrupts it.
  int value = 0;
  EXPECT_TRUE(guard::Run([&] { value = 42; }));
  EXPECT_EQ(value, 42);
  EXPECT_FALSE(guard::LastTimedOut());
}

// Runs the probe and gives its wait status, or -1 when it has not ended
// after 20 s (it is then killed).
int RunProbe(std::vector<std::string> args) {
  args.insert(args.begin(), STOPPED_EXIT_PROBE);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, STOPPED_EXIT_PROBE, nullptr, nullptr, argv.data(), nullptr) != 0) return -2;
  for (int waited = 0; waited < 2000; ++waited) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    usleep(10 * 1000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

// A stopped module stays loaded to the end, and its finaliser may wait for
// what the stopped call left half-done: once a call was stopped the program
// ends without running finalisers, so it still ends, with its exit code.
TEST_F(WatchdogTest, TheProgramEndsAfterACallWasStopped) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, std::vector<std::string>{"no-stop"}}) {
    SCOPED_TRACE(args.empty() ? "a call stopped" : "nothing stopped");
    const int status = RunProbe(args);
    ASSERT_NE(status, -1) << "the program did not end";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7) << status;
  }
}

// A null entry point is no call: it does not report the previous call's
// running out of time as its own.
TEST_F(WatchdogTest, AMissingEntryPointIsNoTimeout) {
  TempRoot root;
  HMODULE module = LoadLibraryA(paths::ToWindows(FIXTURE_HANG_PATH).c_str());
  ASSERT_NE(module, nullptr);
  const auto hang = reinterpret_cast<Entry>(GetProcAddress(module, "HangSpinning"));
  EXPECT_EQ(guard::Call(-1, hang, 1), -1);
  ASSERT_TRUE(guard::LastTimedOut());
  EXPECT_EQ(guard::Call(-1, Entry{nullptr}, 1), -1);
  EXPECT_FALSE(guard::LastTimedOut());
}

// A plug-in whose IsSupported never returns is passed over like one that
// declines, and the next plug-in decodes the picture. One that claims the
// picture and then never returns ends the decoding as a failure. Either way
// the stopped module is not unloaded (that would run its code again).
TEST_F(WatchdogTest, PluginHostPassesOverAStoppedPluginAndKeepsItLoaded) {
  struct Case {
    const char* picture;
    bool decoded;
  };
  for (const Case& c : {Case{"pic.gif", true}, Case{"claim.gif", false}}) {
    SCOPED_TRACE(c.picture);
    picture_test::Installer installer;
    installer.AddModule(FIXTURE_HANG_PATH, "Hang.spi");
    installer.AddModule(GIFVIEW_PATH, "GifView.spi");
    installer.WriteDist(c.picture, picture_test::MakeGif(7, 5));
    TFrameForm& form = installer.MakeForm();
    form.PluginList->Clear();
    form.PluginList->Add("Hang.spi");
    form.PluginList->Add("GifView.spi");
    form.PluginCount = 2;
    SetCurrentDir("C:\\dist");
    TBitmap bitmap;
    unloads = 0;

    EXPECT_EQ(form.LoadPictureByPlugin(c.picture, &bitmap), c.decoded);
    EXPECT_TRUE(guard::LastTimedOut() || c.decoded);
    if (c.decoded) {
      EXPECT_EQ(bitmap.Width(), 7);
      EXPECT_EQ(bitmap.Height(), 5);
    }
    EXPECT_EQ(unloads, 0);
  }
}

}  // namespace
