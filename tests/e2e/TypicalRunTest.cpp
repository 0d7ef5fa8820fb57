// The typical run, as a user meets it: the window opens, OK, Yes to creating
// the folder, Yes to the shortcut, Yes to the read-me file, OK to the
// completion message; then the files on the disk, the shortcut and the
// read-me viewer are looked at. Once started from the distribution folder,
// once from another folder.
#include <filesystem>
#include <string>

#include "tests/e2e/RunFixture.h"
#include "tests/support/Lnkinfo.h"

namespace {

const std::string kDestText = kDest;
const char kExamining[] = "プログラムをインストールするフォルダを調べています。";
const char kCopying[] = "プログラムファイルをコピーしています。==> ";
const char kComplete[] = "Corvalen のセットアップは、完了しました。";

struct TypicalCase {
  const char* name;
  bool fromDistribution;  // else from C:\work
  Press create, shortcut, readme;
};

void PrintTo(const TypicalCase& c, std::ostream* os) { *os << c.name; }

class TypicalRunTest : public RunTest, public ::testing::WithParamInterface<TypicalCase> {};

TEST_P(TypicalRunTest, InstallsEverythingAndOpensTheReadMe) {
  const TypicalCase& c = GetParam();
  UseDistribution(Distribution());
  const std::string startedIn = c.fromDistribution ? Distribution() : root_->Host("C:\\work");
  StartIn(startedIn);

  const std::vector<Step> script = {
      ClickOk(),
      Question(kDestText + " はありません。\nこのフォルダーを新しく作成しますか？", c.create),
      Question("デスクトップにショートカットを作成しますか？", c.shortcut),
      Question("今、リードミーファイルを読みますか？", c.readme),
      Message(kComplete),
  };
  EXPECT_EQ(Run(script), 0);
  ExpectBoxesAsScripted(*user_, script);
  // The status line as each box opened.
  std::vector<std::string> statuses;
  for (const SeenBox& box : user_->Seen()) statuses.push_back(box.statusLine);
  EXPECT_EQ(statuses,
            (std::vector<std::string>{kExamining, std::string(kCopying) + "GifView.spi", kComplete, kComplete}));

  // The folders and every file, byte for byte as the distribution has it.
  const std::string dest = root_->Host(kDest);
  Tree expected = {"System/", "Temp/", "System/GifView.spi"};
  for (const std::string& name : kProgramFiles) expected.insert(name);
  for (const std::string& name : kLibraryModules) expected.insert("System/" + name);
  EXPECT_EQ(TreeOf(dest), expected);
  for (const std::string& entry : expected) {
    if (entry.back() == '/') continue;
    const std::string name = std::filesystem::path(entry).filename().string();
    const std::string source = ReadHost(Distribution() + "/" + name);
    EXPECT_FALSE(source.empty()) << name;
    EXPECT_TRUE(ReadHost(dest + "/" + entry) == source) << entry << " differs from the distribution's";
  }
  // Nothing else on C: than the destination and the shortcut.
  Tree wholeC = BaseTree();
  for (const std::string& entry : expected) wholeC.insert("Program Files/Corvalen/" + entry);
  wholeC.insert({"Program Files/Corvalen/", std::string("Desktop/") + kLinkName});
  if (!c.fromDistribution) wholeC.insert("work/NOTEPAD.EXE");
  EXPECT_EQ(TreeOf(root_->Host("C:\\")), wholeC);

  // The shortcut, as a reader written by nobody here reads it.
  const std::string report = RunLnkinfo(root_->Host(std::string(kDesktop) + "\\" + kLinkName)).output;
  EXPECT_EQ(LnkinfoField(report, "Local path").value_or("<none>"), "C:\\Program Files\\Corvalen\\Corvan.exe") << report;

  // The read-me viewer got the bare name, in the folder the program started in.
  EXPECT_EQ(NotepadRecord(true), "1|Readme.txt|" + startedIn + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Runs, TypicalRunTest,
    ::testing::Values(TypicalCase{"FromTheDistributionFolder", true, Press::Enter, Press::AltY, Press::ClickFirst},
                      TypicalCase{"FromAnotherFolder", false, Press::ClickFirst, Press::Enter, Press::AltY}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
