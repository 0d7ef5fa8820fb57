// The registry accessor over the hive files of a temporary root.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "platform/registry/Registry.h"
#include "platform/system/Fault.h"
#include "tests/support/TempRoot.h"

namespace {

const char kVersionKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kShellFoldersKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    codePage_ = ActiveCodePage();
    root_ = std::make_unique<TempRoot>();
    root_->WriteSystemHive(
        "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n"
        "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
        "\"CommonFilesDir\"=str(2):\"%ProgramFiles%\\\\Common Files\"\n"
        "\"Count\"=dword:0000001f\n"
        "\"Blob\"=hex:01,02\n"
        "\"NoBytes\"=hex:\n"
        "\"Empty\"=\"\"\n"
        "\"WideExpand\"=hex(2):25,00,41,00,25,00,00,00\n"
        "\"Katakana\"=\"\xE3\x82\xBD\"\n"
        "\"Cut\"=\"before\\0after\"\n");
    root_->WriteUserHive(
        "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders]\n"
        "\"Desktop\"=\"C:\\\\users\\\\me\\\\Desktop\"\n");
  }
  void TearDown() override {
    fault::Clear();
    SetActiveCodePage(codePage_);
    root_.reset();
  }

  std::unique_ptr<TempRoot> root_;
  CodePage codePage_ = CodePage::Utf8;
};

TEST_F(RegistryTest, StartsAtTheCurrentUserWithNoKeyOpen) {
  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_FALSE(reg.HasCurrentKey());
  EXPECT_EQ(reg.ReadString("Desktop"), "");
  ASSERT_TRUE(reg.OpenKey(kShellFoldersKey, false));
  EXPECT_EQ(reg.ReadString("Desktop"), "C:\\users\\me\\Desktop");
}

TEST_F(RegistryTest, ReadStringByValueKind) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(kVersionKey, false));
  struct Case {
    const char* name;
    const char* text;
  };
  const Case cases[] = {
      {"ProgramFilesDir", "C:\\Program Files"},
      {"programfilesdir", "C:\\Program Files"},                // names ignore case
      {"CommonFilesDir", "%ProgramFiles%\\Common Files"},      // not expanded
      {"WideExpand", "%A%"},                                   // expandable, stored in hex
      {"Missing", ""},
      {"Empty", ""},
      {"NoBytes", ""},                                         // no data: no type check
      {"Cut", "before"},                                       // a string ends at its NUL
  };
  for (const Case& c : cases) EXPECT_EQ(reg.ReadString(c.name), c.text) << c.name;
}

TEST_F(RegistryTest, ReadStringOfAnotherTypeRaisesTheReadErrorNamingTheValue) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(kVersionKey, false));
  for (const char* name : {"Count", "Blob"}) {
    try {
      reg.ReadString(name);
      ADD_FAILURE() << "no error for " << name;
    } catch (const ERegistryException& e) {
      EXPECT_EQ(e.Message(), std::string("Invalid data type for '") + name + "'");
    }
  }
  // The read error is one of the platform's errors.
  EXPECT_THROW(reg.ReadString("Count"), Exception);
}

TEST_F(RegistryTest, ReadStringGivesTheActiveCodePage) {
  SetActiveCodePage(CodePage::Cp932);
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(kVersionKey, false));
  EXPECT_EQ(reg.ReadString("Katakana"), "\x83\x5C");  // ソ in Shift-JIS
}

TEST_F(RegistryTest, SwitchingToAnotherRootClosesTheKey) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(kVersionKey, false));
  reg.SetRootKey(HKEY_LOCAL_MACHINE);  // the same root: the key stays open
  EXPECT_TRUE(reg.HasCurrentKey());
  EXPECT_EQ(reg.ReadString("ProgramFilesDir"), "C:\\Program Files");

  reg.SetRootKey(HKEY_CURRENT_USER);
  EXPECT_FALSE(reg.HasCurrentKey());
  EXPECT_EQ(reg.CurrentPath(), "");
  EXPECT_EQ(reg.ReadString("ProgramFilesDir"), "");
  // A relative path now counts from the new root, not from the closed key.
  EXPECT_FALSE(reg.OpenKey("Explorer", false));
  EXPECT_TRUE(reg.OpenKey(kShellFoldersKey, false));
}

TEST_F(RegistryTest, OpenKeyFindsExistingKeysOnly) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.OpenKey("\\SOFTWARE\\Microsoft\\Windows\\NoSuchVersion", false));
  EXPECT_FALSE(reg.HasCurrentKey());
  // The HKLM hive does not hold the user's keys, and the other way round.
  EXPECT_FALSE(reg.OpenKey(kShellFoldersKey, false));
  EXPECT_TRUE(reg.OpenKey("\\software\\MICROSOFT", false));  // a parent, any case
  EXPECT_EQ(reg.CurrentPath(), "software\\MICROSOFT");

  // Relative to the open key; a failed open keeps the current key.
  EXPECT_FALSE(reg.OpenKey("Nothing", false));
  EXPECT_EQ(reg.CurrentPath(), "software\\MICROSOFT");
  ASSERT_TRUE(reg.OpenKey("Windows\\CurrentVersion", false));
  EXPECT_EQ(reg.ReadString("ProgramFilesDir"), "C:\\Program Files");

  reg.CloseKey();
  EXPECT_FALSE(reg.HasCurrentKey());
  EXPECT_EQ(reg.ReadString("ProgramFilesDir"), "");
}

TEST_F(RegistryTest, OpenKeyNeverCreatesAKey) {
  const std::string before = ReadHostFile(root_->Path() + "/system.reg");
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.OpenKey("\\Software\\Corvalen", false));
  EXPECT_FALSE(reg.OpenKey("\\Software\\Corvalen", true));
  EXPECT_FALSE(reg.OpenKey("\\Software\\Corvalen", false));
  EXPECT_EQ(ReadHostFile(root_->Path() + "/system.reg"), before);
}

TEST_F(RegistryTest, RefusedFullAccessFailsTheOpen) {
  fault::Scope scope;
  fault::Rule rule;
  rule.call = "RegOpenKey";
  rule.pathContains = "Shell Folders";
  fault::Add(rule);
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey(kShellFoldersKey, false));
  EXPECT_FALSE(reg.HasCurrentKey());
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_TRUE(reg.OpenKey(kVersionKey, false));  // another key is not refused
}

TEST_F(RegistryTest, TheFaultSeamSeesTheRootAndTheFullPath) {
  fault::Scope scope;
  fault::Rule rule;
  rule.call = "RegOpenKey";
  rule.pathContains = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  fault::Add(rule);
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Microsoft", false));
  EXPECT_FALSE(reg.OpenKey("Windows\\CurrentVersion", false));  // relative, same full path
  reg.SetRootKey(HKEY_CURRENT_USER);
  EXPECT_TRUE(reg.OpenKey(kShellFoldersKey, false));
}

TEST_F(RegistryTest, MissingHiveFileHasNoKeys) {
  ASSERT_EQ(::unlink((root_->Path() + "/user.reg").c_str()), 0);
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey(kShellFoldersKey, false));
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_TRUE(reg.OpenKey(kVersionKey, false));
}

TEST_F(RegistryTest, RootsWithoutAHiveCannotBeOpened) {
  TRegistry reg;
  reg.SetRootKey(HKEY_CLASSES_ROOT);
  EXPECT_FALSE(reg.OpenKey("\\Software", false));
  EXPECT_FALSE(reg.HasCurrentKey());
}

}  // namespace
