// The OK button through each of its exits, and Cancel: the status texts and
// boxes in order, the folders and files left behind, and the closed window.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/system/Fault.h"
#include "platform/system/Files.h"
#include "tests/install/InstallFixture.h"

namespace {

const std::string kDestText = kDest;
const char kExamining[] = "プログラムをインストールするフォルダを調べています。";
const char kCopying[] = "プログラムファイルをコピーしています。==> ";
const char kCopyFailed[] = "プログラムファイルのコピーに失敗しました。";
const char kCopyFailedMessage[] = "プログラムファイルのコピーに失敗しました。セットアップを中止します。";
const char kShortcutQuestion[] = "デスクトップにショートカットを作成しますか？";
const char kShortcutMaking[] = "デスクトップにショートカットを作成しています。";
const char kShortcutFailed[] = "ショートカットを作成出来ませんでした。";
const char kDone[] = "Corvalen のセットアップは、完了しました。";
const char kReadmeQuestion[] = "今、リードミーファイルを読みますか？";
const std::string kLink = std::string("Desktop\\") + kLinkName;

enum class Answer { Yes, No, Escape };  // to the Yes/No questions

struct SequenceCase {
  const char* name;
  std::string dest;  // the text of Edit1
  // Sets up the root and the form before OK is pressed.
  std::function<void(InstallTest&, TempRoot&, TFrameForm&)> arrange;
  std::vector<Answer> answers;
  std::vector<ExpectedBox> boxes;
  std::string finalStatus;
  // C:\ afterwards, given the fixture.
  std::function<Tree(InstallTest&)> tree;
  bool notepadStarted = false;
};

void PrintTo(const SequenceCase& c, std::ostream* os) { *os << c.name; }

Tree Base(InstallTest& t) { return t.BaseTree(); }

void Nothing(InstallTest&, TempRoot&, TFrameForm&) {}

Tree With(Tree tree, std::initializer_list<std::string> more) {
  tree.insert(more);
  return tree;
}

size_t IndexOf(const std::string& name) {
  const std::vector<std::string> order = CopyOrder();
  for (size_t i = 0; i < order.size(); ++i) {
    if (order[i] == name) return i;
  }
  ADD_FAILURE() << name << " is not in the copy order";
  return 0;
}

std::vector<ExpectedBox> Refused(const std::string& dest, const std::string& text, bool asked) {
  std::vector<ExpectedBox> boxes;
  if (asked) boxes.push_back(Question(dest + " はありません。\nこのフォルダーを新しく作成しますか？", kExamining));
  boxes.push_back(asked ? Plain(dest + text, kExamining) : Notice(dest + text, kExamining));
  return boxes;
}

// A copy that fails at `name`: by a missing source, an injected failure
// before writing, or one after a few bytes were written.
enum class Break { Missing, Refused, AfterSomeBytes };

SequenceCase CopyFails(const char* caseName, const std::string& name, Break how) {
  SequenceCase c;
  c.name = caseName;
  c.dest = kDestText;
  c.arrange = [name, how](InstallTest& t, TempRoot& root, TFrameForm&) {
    switch (how) {
      case Break::Missing:
        std::remove(root.Host(std::string(kDistFolder) + "\\" + t.DistFile(name)).c_str());
        break;
      case Break::Refused:
        fault::Add({"CopyFileA", 0, name, 5, -1});
        break;
      case Break::AfterSomeBytes:
        fault::Add({"CopyFileA", 0, name, 112, 7});
        break;
    }
  };
  c.answers = {Answer::Yes};
  c.boxes = {Question(kDestText + " はありません。\nこのフォルダーを新しく作成しますか？", kExamining),
             Plain(kCopyFailedMessage, kCopyFailed)};
  c.finalStatus = kCopyFailed;
  c.tree = [name](InstallTest& t) { return t.InstalledTree(IndexOf(name)); };
  return c;
}

// A run that gets through the copy; the rest depends on the answers.
SequenceCase Completed(const char* caseName, std::vector<Answer> later, std::vector<ExpectedBox> middle,
                       std::function<Tree(InstallTest&)> tree) {
  SequenceCase c;
  c.name = caseName;
  c.dest = kDestText;
  c.arrange = Nothing;
  c.answers = {Answer::Yes};
  c.answers.insert(c.answers.end(), later.begin(), later.end());
  c.boxes = {Question(kDestText + " はありません。\nこのフォルダーを新しく作成しますか？", kExamining),
             Question(kShortcutQuestion, kCopying + kPlugins.back())};
  c.boxes.insert(c.boxes.end(), middle.begin(), middle.end());
  c.boxes.push_back(Question(kReadmeQuestion, kDone));
  c.boxes.push_back(Plain(kDone, kDone));
  c.finalStatus = kDone;
  c.tree = std::move(tree);
  return c;
}

Tree AllInstalled(InstallTest& t) { return t.InstalledTree(CopyOrder().size()); }
Tree AllWithLink(InstallTest& t) { return With(AllInstalled(t), {kLink}); }

std::vector<SequenceCase> Cases() {
  std::vector<SequenceCase> cases;
  const std::string deep = "C:\\A\\B\\Corvalen";

  cases.push_back({"ExistingFolder", kDestText,
                   [](InstallTest&, TempRoot& r, TFrameForm&) {
                     r.MakeFolder(kDest);
                     r.WriteFile(std::string(kDest) + "\\old.txt", "old");
                   },
                   {},
                   Refused(kDestText, " はすでに他で使用されています。\nインストールを中止します。", false), kExamining,
                   [](InstallTest& t) {
                     return With(Base(t), {"Program Files\\Corvalen\\", "Program Files\\Corvalen\\old.txt"});
                   }});
  cases.push_back({"ExistingFile", kDestText, [](InstallTest&, TempRoot& r, TFrameForm&) { r.WriteFile(kDest, "a file"); },
                   {}, Refused(kDestText, " はすでに他で使用されています。\nインストールを中止します。", false),
                   kExamining, [](InstallTest& t) { return With(Base(t), {"Program Files\\Corvalen"}); }});
  cases.push_back({"Declined", kDestText, Nothing, {Answer::No},
                   {Question(kDestText + " はありません。\nこのフォルダーを新しく作成しますか？", kExamining)}, kExamining,
                   Base});
  cases.push_back({"QuestionClosed", kDestText, Nothing, {Answer::Escape},
                   {Question(kDestText + " はありません。\nこのフォルダーを新しく作成しますか？", kExamining)}, kExamining,
                   Base});
  cases.push_back({"DestCannotBeCreated", deep,
                   [](InstallTest&, TempRoot&, TFrameForm&) {
                     fault::Add({"CreateDirectoryA", 0, "\\Corvalen", 5, -1});
                   },
                   {Answer::Yes}, Refused(deep, " を作成出来ません。", true), kExamining,
                   [](InstallTest& t) { return With(Base(t), {"A\\", "A\\B\\"}); }});
  cases.push_back({"SystemCannotBeCreated", deep,
                   [](InstallTest&, TempRoot&, TFrameForm&) {
                     fault::Add({"CreateDirectoryA", 0, "\\System", 5, -1});
                   },
                   {Answer::Yes}, Refused(deep, " を作成出来ません。", true), kExamining,
                   [](InstallTest& t) { return With(Base(t), {"A\\", "A\\B\\"}); }});
  cases.push_back({"TempCannotBeCreated", deep,
                   [](InstallTest&, TempRoot&, TFrameForm&) {
                     fault::Add({"CreateDirectoryA", 0, "\\Temp", 5, -1});
                   },
                   {Answer::Yes}, Refused(deep, " を作成出来ません。", true), kExamining,
                   [](InstallTest& t) { return With(Base(t), {"A\\", "A\\B\\"}); }});

  cases.push_back(CopyFails("ProgramFirstMissing", "Corvan.exe", Break::Missing));
  cases.push_back(CopyFails("ProgramMiddleRefused", "Kxtec.txt", Break::Refused));
  cases.push_back(CopyFails("ProgramLastBrokenOff", "Image6.jpg", Break::AfterSomeBytes));
  cases.push_back(CopyFails("ModuleFirstMissing", "ImgCom3.dll", Break::Missing));
  cases.push_back(CopyFails("ModuleMiddleRefused", "ImgEtc3.dll", Break::Refused));
  cases.push_back(CopyFails("ModuleLastBrokenOff", "ImgTiff3.dll", Break::AfterSomeBytes));
  cases.push_back(CopyFails("PluginFirstMissing", "Zeta.spi", Break::Missing));
  cases.push_back(CopyFails("PluginMiddleRefused", "GifView.spi", Break::Refused));
  cases.push_back(CopyFails("PluginLastBrokenOff", "Alpha.spi", Break::AfterSomeBytes));

  cases.push_back(Completed("ShortcutNo", {Answer::No, Answer::No}, {}, AllInstalled));
  cases.push_back(Completed("ShortcutQuestionClosed", {Answer::Escape, Answer::No}, {}, AllInstalled));
  cases.push_back(Completed("ShortcutWritten", {Answer::Yes, Answer::No}, {}, AllWithLink));
  {
    SequenceCase c = Completed("ShortcutThereAsFile", {Answer::Yes, Answer::No}, {}, AllWithLink);
    c.arrange = [](InstallTest&, TempRoot& r, TFrameForm&) {
      r.WriteFile(std::string(kDesktop) + "\\" + kLinkName, "not a link");
    };
    cases.push_back(c);
  }
  {
    SequenceCase c = Completed("ShortcutThereAsFolder", {Answer::Yes, Answer::No}, {}, [](InstallTest& t) {
      return With(AllInstalled(t), {kLink + "\\"});
    });
    c.arrange = [](InstallTest&, TempRoot& r, TFrameForm&) { r.MakeFolder(std::string(kDesktop) + "\\" + kLinkName); };
    cases.push_back(c);
  }
  {
    SequenceCase c = Completed("ShortcutSaveFails", {Answer::Yes, Answer::No},
                               {Plain(kShortcutFailed, kShortcutMaking)}, AllInstalled);
    c.arrange = [](InstallTest&, TempRoot&, TFrameForm&) { fault::Add({"ShellLinkSave", 0, "", 5, -1}); };
    cases.push_back(c);
  }
  {
    SequenceCase c = Completed("ShortcutDesktopMissing", {Answer::Yes, Answer::No},
                               {Plain(kShortcutFailed, kShortcutMaking)}, AllInstalled);
    c.arrange = [](InstallTest&, TempRoot&, TFrameForm& f) { f.DesktopFolder = "C:\\Nowhere"; };
    cases.push_back(c);
  }
  {
    SequenceCase c = Completed("ShortcutNoDesktopFolder", {Answer::Yes, Answer::No},
                               {Plain(kShortcutFailed, kShortcutMaking)}, AllInstalled);
    c.arrange = [](InstallTest&, TempRoot&, TFrameForm& f) { f.DesktopFolder.clear(); };
    cases.push_back(c);
  }
  {
    SequenceCase c = Completed("ReadmeYes", {Answer::No, Answer::Yes}, {}, AllInstalled);
    c.notepadStarted = true;
    cases.push_back(c);
  }
  return cases;
}

class ButtonOneTest : public InstallTest, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(ButtonOneTest, RunsToItsExit) {
  const SequenceCase& c = GetParam();
  form_->Edit1->SetText(c.dest);
  c.arrange(*this, *root_, *form_);
  std::vector<int> answers;
  for (Answer a : c.answers) answers.push_back(a == Answer::Yes ? mrYes : a == Answer::No ? mrNo : kEscape);
  QueueAnswers(*host_, c.boxes, answers);

  form_->Button1->Click();

  ExpectBoxes(*host_, c.boxes);
  EXPECT_EQ(form_->Panel5->Caption(), c.finalStatus);
  EXPECT_TRUE(form_->Closed());
  EXPECT_EQ(TreeOf("C:\\"), c.tree(*this));
  // The switch to the installer's folder is undone.
  EXPECT_EQ(GetCurrentDir(), kWorkFolder);
  // Every file that is there is whole.
  for (const std::string& name : CopyOrder()) {
    const bool program = IndexOf(name) < kProgramFiles.size();
    const std::string target = std::string(kDest) + (program ? "\\" : "\\System\\") + name;
    if (root_->Exists(target)) {
      EXPECT_EQ(root_->ReadFile(target), root_->ReadFile(std::string(kDistFolder) + "\\" + DistFile(name))) << name;
    }
  }
  if (c.notepadStarted) {
    ASSERT_TRUE(WaitForFile(NotepadRecord()));
    EXPECT_EQ(ReadHost(NotepadRecord()), "started|Readme.txt|" + root_->Host(kWorkFolder) + "\n");
  } else {
    EXPECT_FALSE(std::filesystem::exists(NotepadRecord()));
  }
}

INSTANTIATE_TEST_SUITE_P(Exits, ButtonOneTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// An entry already standing where the link goes is left exactly as it was.
TEST_F(InstallTest, ExistingShortcutFileIsNotTouched) {
  const std::string link = std::string(kDesktop) + "\\" + kLinkName;
  root_->WriteFile(link, "not a link");
  for (int a : {mrYes, mrYes, mrNo, mrOk}) host_->Answer(a);
  form_->Button1->Click();
  EXPECT_EQ(root_->ReadFile(link), "not a link");
}

TEST_F(InstallTest, CancelClosesAtOnce) {
  const Tree before = TreeOf("C:\\");
  const AnsiString status = form_->Panel5->Caption();
  form_->Button2->Click();
  EXPECT_TRUE(form_->Closed());
  EXPECT_TRUE(host_->Boxes().empty());
  EXPECT_EQ(form_->Panel5->Caption(), status);
  EXPECT_EQ(TreeOf("C:\\"), before);
}

}  // namespace
