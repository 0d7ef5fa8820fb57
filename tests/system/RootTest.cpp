// Which root is chosen and how a fresh one is laid out. HOME and the XDG
// folders point into a temporary folder, so the real home is never touched.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "platform/system/Root.h"

namespace fs = std::filesystem;

namespace {

class RootTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/corvalen-home-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    base = pattern;
    home = base + "/home";
    fs::create_directories(home);
    for (const char* name : {"HOME", "WINEPREFIX", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DESKTOP_DIR"}) {
      const char* value = getenv(name);
      saved[name] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
      unsetenv(name);
    }
    setenv("HOME", home.c_str(), 1);
    WinRoot::Reset();
  }

  void TearDown() override {
    for (const auto& [name, value] : saved) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    WinRoot::Reset();
    fs::remove_all(base);
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  static std::string UserHiveFor(const std::string& desktop) {
    return "WINE REGISTRY Version 2\n\n"
           "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1700000000\n"
           "\"Desktop\"=\"" + desktop + "\"\n";
  }

  std::string base, home;
  std::map<std::string, std::optional<std::string>> saved;
};

TEST_F(RootTest, AMissingWinePrefixIsCreatedWithDrivesAndHives) {
  std::string prefix = base + "/prefix";
  setenv("WINEPREFIX", prefix.c_str(), 1);
  setenv("XDG_DESKTOP_DIR", "/srv/some one/Schreibtisch", 1);
  WinRoot& root = WinRoot::Instance();
  EXPECT_EQ(root.HostPath(), prefix);
  EXPECT_EQ(fs::read_symlink(prefix + "/dosdevices/c:"), "../drive_c");
  EXPECT_EQ(fs::read_symlink(prefix + "/dosdevices/z:"), "/");
  EXPECT_TRUE(fs::is_directory(prefix + "/drive_c/Program Files"));
  EXPECT_EQ(Read(root.SystemHivePath()),
            "WINE REGISTRY Version 2\n\n"
            "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n"
            "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n");
  EXPECT_EQ(Read(root.UserHivePath()), UserHiveFor("Z:\\\\srv\\\\some one\\\\Schreibtisch"));
  const std::map<char, std::string> drives = {{'C', fs::canonical(prefix + "/drive_c").string()}, {'Z', "/"}};
  EXPECT_EQ(root.Drives(), drives);
}

TEST_F(RootTest, AnEmptyWinePrefixIsFilledAndAUsedOneLeftAsItIs) {
  std::string empty = base + "/empty";
  fs::create_directories(empty);
  setenv("WINEPREFIX", empty.c_str(), 1);
  EXPECT_EQ(WinRoot::Instance().Drives().count('C'), 1u);

  std::string used = base + "/used";
  fs::create_directories(used);
  std::ofstream(used + "/marker") << "x";
  setenv("WINEPREFIX", used.c_str(), 1);
  WinRoot::Reset();
  EXPECT_EQ(WinRoot::Instance().HostPath(), used);
  EXPECT_FALSE(fs::exists(used + "/dosdevices"));
  EXPECT_FALSE(fs::exists(used + "/system.reg"));
  EXPECT_EQ(WinRoot::Instance().Drives(), (std::map<char, std::string>{{'Z', "/"}}));
}

TEST_F(RootTest, TheDesktopComesFromUserDirsThenFallsBackToDesktopInHome) {
  fs::create_directories(home + "/.config");
  std::ofstream(home + "/.config/user-dirs.dirs") << "# written by xdg-user-dirs-update\n"
                                                   << "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                                                   << "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n";
  std::string first = base + "/first";
  setenv("WINEPREFIX", first.c_str(), 1);
  WinRoot::Instance();
  std::string homeZ = "Z:" + home;
  for (size_t at = homeZ.find('/'); at != std::string::npos; at = homeZ.find('/', at + 2)) homeZ.replace(at, 1, "\\\\");
  EXPECT_EQ(Read(first + "/user.reg"), UserHiveFor(homeZ + "\\\\Bureau"));

  fs::remove(home + "/.config/user-dirs.dirs");
  std::string second = base + "/second";
  setenv("WINEPREFIX", second.c_str(), 1);
  WinRoot::Reset();
  WinRoot::Instance();
  EXPECT_EQ(Read(second + "/user.reg"), UserHiveFor(homeZ + "\\\\Desktop"));
}

TEST_F(RootTest, WithoutWinePrefixAnExistingDotWineIsUsedUntouched) {
  fs::create_directories(home + "/.wine");
  EXPECT_EQ(WinRoot::Instance().HostPath(), home + "/.wine");
  EXPECT_TRUE(fs::is_empty(home + "/.wine"));
}

TEST_F(RootTest, OtherwiseAPrivateRootIsCreatedUnderTheDataFolder) {
  setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
  EXPECT_EQ(WinRoot::Instance().HostPath(), base + "/data/corvalen-setup/root");
  EXPECT_TRUE(fs::exists(base + "/data/corvalen-setup/root/system.reg"));

  unsetenv("XDG_DATA_HOME");
  WinRoot::Reset();
  EXPECT_EQ(WinRoot::Instance().HostPath(), home + "/.local/share/corvalen-setup/root");
  EXPECT_TRUE(fs::is_symlink(home + "/.local/share/corvalen-setup/root/dosdevices/c:"));
}

TEST_F(RootTest, DriveLettersAreReadInEitherCase) {
  std::string prefix = base + "/letters";
  fs::create_directories(prefix + "/dosdevices");
  fs::create_directories(prefix + "/drive_q");
  fs::create_symlink("../drive_q", prefix + "/dosdevices/q:");
  fs::create_symlink("../drive_q", prefix + "/dosdevices/R:");
  fs::create_symlink("../drive_q", prefix + "/dosdevices/q::");  // a raw device entry, no drive
  setenv("WINEPREFIX", prefix.c_str(), 1);
  std::string q = fs::canonical(prefix + "/drive_q").string();
  EXPECT_EQ(WinRoot::Instance().Drives(), (std::map<char, std::string>{{'Q', q}, {'R', q}, {'Z', "/"}}));
}

}  // namespace
