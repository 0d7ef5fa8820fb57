// The working-folder switch and the installer's own folder.
#include <stdexcept>

#include "platform/gui/Forms.h"
#include "setup_window/WorkingFolder.h"
#include "tests/setup_window/FrameFixture.h"

namespace {

TEST_F(FrameTest, TheSwitchRunsTheWorkInTheInstallersFolderAndComesBack) {
  struct Case {
    const char* exe;
    const char* startIn;
    const char* installerFolder;
  };
  root_->MakeFolder("D:\\work");
  root_->MakeFolder("C:\\dist\\sub");
  const Case cases[] = {
      {"C:\\dist\\Setup.exe", "C:\\dist", "C:\\dist"},
      {"C:\\dist\\Setup.exe", "D:\\work", "C:\\dist"},
      {"C:\\dist\\Setup.exe", "C:\\dist\\sub", "C:\\dist"},
      {"D:\\Setup.exe", "D:\\work", "D:\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.exe) + " from " + c.startIn);
    SetExecutablePathForTesting(c.exe);
    ASSERT_TRUE(SetCurrentDir(c.startIn));
    AnsiString inside;
    int runs = 0;
    WithInstallerFolder([&] {
      inside = GetCurrentDir();
      ++runs;
    });
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(inside, c.installerFolder);
    EXPECT_EQ(GetCurrentDir(), c.startIn);
  }
}

TEST_F(FrameTest, TheSwitchComesBackWhenTheWorkEndsWithAnError) {
  root_->MakeFolder("D:\\work");
  ASSERT_TRUE(SetCurrentDir("D:\\work"));
  EXPECT_THROW(WithInstallerFolder([] { throw Exception("broken"); }), Exception);
  EXPECT_EQ(GetCurrentDir(), "D:\\work");
}

TEST_F(FrameTest, AnInstallerFolderThatCannotBeEnteredLeavesTheWorkWhereItWas) {
  root_->MakeFolder("D:\\work");
  SetExecutablePathForTesting("C:\\gone\\Setup.exe");
  ASSERT_TRUE(SetCurrentDir("D:\\work"));
  AnsiString inside;
  WithInstallerFolder([&] { inside = GetCurrentDir(); });
  EXPECT_EQ(inside, "D:\\work");
  EXPECT_EQ(GetCurrentDir(), "D:\\work");
}

TEST_F(FrameTest, InstallerFolderIsTheFolderPartOfTheExecutable) {
  auto form = LoadFrame();
  EXPECT_EQ(form->InstallerFolder(), "C:\\dist");
  SetExecutablePathForTesting("D:\\Setup.exe");
  EXPECT_EQ(form->InstallerFolder(), "D:\\");
}

// Started from another folder: the plug-ins are looked for beside the
// installer, and the folder started from is current again afterwards.
TEST_F(FrameTest, FormCreateListsPluginsBesideTheInstallerWhereverItStarts) {
  root_->MakeFolder("D:\\work");
  root_->WriteFile("C:\\dist\\ifgif.spi", "");
  root_->WriteFile("D:\\work\\elsewhere.spi", "");
  ASSERT_TRUE(SetCurrentDir("D:\\work"));
  TFrameForm* form = CreateFrame();
  ASSERT_EQ(form->PluginCount, 1);
  EXPECT_EQ(form->PluginList->Strings(0), "ifgif.spi");
  EXPECT_EQ(GetCurrentDir(), "D:\\work");
}

}  // namespace
