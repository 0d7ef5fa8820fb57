// Runs that end before the installation is complete: the destination exists
// already, the user declines to create it, a program file is missing from the
// distribution, or the user cancels at once. Each leaves the disk as the
// program left it and the entry still returns 0.
#include <filesystem>
#include <string>

#include "tests/e2e/RunFixture.h"

namespace fs = std::filesystem;

namespace {

const std::string kDestText = kDest;
const std::string kCreateQuestion = kDestText + " はありません。\nこのフォルダーを新しく作成しますか？";

class EndingEarlyTest : public RunTest {
 protected:
  void SetUp() override {
    RunTest::SetUp();
    UseDistribution(Distribution());
    StartIn(root_->Host("C:\\work"));
  }
  // C:\ as the fixture made it, with the stand-in in C:\work.
  static Tree Untouched() {
    Tree tree = BaseTree();
    tree.insert("work/NOTEPAD.EXE");
    return tree;
  }
  void ExpectNoShortcutAndNoViewer() {
    EXPECT_EQ(TreeOf(root_->Host(kDesktop)), Tree{});
    EXPECT_EQ(NotepadRecord(false), "");
  }
};

TEST_F(EndingEarlyTest, AnExistingDestinationIsRefusedAndLeftAsItIs) {
  root_->MakeFolder(kDest);
  root_->WriteFile(kDestText + "\\mine.txt", "the user's own file\n");
  const std::vector<Step> script = {
      ClickOk(),
      Notice(kDestText + " はすでに他で使用されています。\nインストールを中止します。", Press::Enter),
  };
  EXPECT_EQ(Run(script), 0);
  ExpectBoxesAsScripted(*user_, script);
  EXPECT_EQ(user_->Seen().at(0).statusLine, "プログラムをインストールするフォルダを調べています。");
  EXPECT_EQ(TreeOf(root_->Host(kDest)), Tree{"mine.txt"});
  EXPECT_EQ(root_->ReadFile(kDestText + "\\mine.txt"), "the user's own file\n");
  ExpectNoShortcutAndNoViewer();
}

// Every way of saying No to the question creates nothing.
TEST_F(EndingEarlyTest, DecliningTheFolderCreatesNothing) {
  for (Press no : {Press::AltN, Press::Escape, Press::ClickSecond}) {
    SCOPED_TRACE(static_cast<int>(no));
    const std::vector<Step> script = {ClickOk(), Question(kCreateQuestion, no)};
    EXPECT_EQ(Run(script), 0);
    ExpectBoxesAsScripted(*user_, script);
    EXPECT_EQ(TreeOf(root_->Host("C:\\")), Untouched());
    ExpectNoShortcutAndNoViewer();
  }
}

TEST_F(EndingEarlyTest, AMissingProgramFileStopsTheCopy) {
  // A distribution without Kxtec.txt, the fourth program file.
  const std::string broken = root_->Host("D:\\dist");
  fs::create_directories(broken);
  for (const fs::directory_entry& entry : fs::directory_iterator(Distribution())) {
    const std::string name = entry.path().filename().string();
    if (name != "Kxtec.txt" && name != "NOTEPAD.EXE") fs::copy_file(entry.path(), broken + "/" + name);
  }
  UseDistribution(broken);

  const std::vector<Step> script = {
      ClickOk(),
      Question(kCreateQuestion, Press::Enter),
      Message("プログラムファイルのコピーに失敗しました。セットアップを中止します。"),
  };
  EXPECT_EQ(Run(script), 0);
  ExpectBoxesAsScripted(*user_, script);
  EXPECT_EQ(user_->Seen().at(1).statusLine, "プログラムファイルのコピーに失敗しました。");

  // The three files before it are there, whole; nothing after it.
  const std::string dest = root_->Host(kDest);
  EXPECT_EQ(TreeOf(dest), (Tree{"Corvan.exe", "Kx.txt", "Kxopr.txt", "System/", "Temp/"}));
  for (const char* name : {"Corvan.exe", "Kx.txt", "Kxopr.txt"}) {
    EXPECT_TRUE(ReadHost(dest + "/" + name) == ReadHost(broken + "/" + name)) << name;
  }
  ExpectNoShortcutAndNoViewer();
}

TEST_F(EndingEarlyTest, CancelAtOnceEndsWithoutAQuestion) {
  const std::vector<Step> script = {ClickCancel()};
  EXPECT_EQ(Run(script), 0);
  EXPECT_TRUE(user_->Seen().empty());
  EXPECT_EQ(TreeOf(root_->Host("C:\\")), Untouched());
  ExpectNoShortcutAndNoViewer();
}

}  // namespace
