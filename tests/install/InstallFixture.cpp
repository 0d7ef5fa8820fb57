#include "tests/install/InstallFixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/gui/Forms.h"
#include "platform/system/Fault.h"
#include "platform/system/Files.h"

namespace fs = std::filesystem;

const std::vector<std::string> kProgramFiles = {
    "Corvan.exe", "Kx.txt",     "Kxopr.txt",  "Kxtec.txt",  "Readme.txt", "Image0.jpg",
    "Image1.jpg", "Image2.jpg", "Image3.jpg", "Image4.jpg", "Image5.jpg", "Image6.jpg"};
const std::vector<std::string> kLibraryModules = {"ImgCom3.dll",  "ImgCut3.dll",  "ImgDsp3.dll", "ImgEtc3.dll",
                                                  "ImgFile3.dll", "ImgScan3.dll", "ImgTiff3.dll"};
const std::vector<std::string> kPlugins = {"Zeta.spi", "GifView.spi", "Alpha.spi"};

const char kDest[] = "C:\\Program Files\\Corvalen";
const char kDesktop[] = "C:\\Desktop";
const char kLinkName[] = "Corvalen Version 2.20.lnk";
const char kWorkFolder[] = "C:\\work";
const char kDistFolder[] = "D:\\dist";

std::vector<std::string> CopyOrder() {
  std::vector<std::string> all = kProgramFiles;
  all.insert(all.end(), kLibraryModules.begin(), kLibraryModules.end());
  all.insert(all.end(), kPlugins.begin(), kPlugins.end());
  return all;
}

int RecordingHost::ShowBox(const BoxRequest& request) {
  statuses.push_back(status != nullptr ? status->Caption() : AnsiString("<no status line>"));
  return ScriptedDialogHost::ShowBox(request);
}

std::string LongPath(size_t length) {
  std::string path = "C:\\" + std::string(40, 'x');
  while (path.size() + 41 <= length) path += "\\" + std::string(40, 'y');
  const size_t rest = length - path.size();
  if (rest == 1) path += "z";
  if (rest >= 2) path += "\\" + std::string(rest - 1, 'z');
  return path;
}

ExpectedBox Question(std::string text, std::optional<std::string> status) {
  return {BoxKind::Confirmation, true, std::move(text), std::move(status)};
}
ExpectedBox Notice(std::string text, std::optional<std::string> status) {
  return {BoxKind::Confirmation, false, std::move(text), std::move(status)};
}
ExpectedBox Plain(std::string text, std::optional<std::string> status) {
  return {BoxKind::Plain, false, std::move(text), std::move(status)};
}

void QueueAnswers(ScriptedDialogHost& host, const std::vector<ExpectedBox>& boxes, const std::vector<int>& questionAnswers) {
  size_t next = 0;
  for (const ExpectedBox& box : boxes) {
    if (!box.yesNo) {
      host.Answer(mrOk);
    } else if (next >= questionAnswers.size()) {
      ADD_FAILURE() << "no answer for the question " << box.text;
    } else if (questionAnswers[next] == kEscape) {
      ++next;
      host.AnswerEscape();
    } else {
      host.Answer(questionAnswers[next++]);
    }
  }
  EXPECT_EQ(next, questionAnswers.size()) << "answers left for questions that are not expected";
}

void ExpectBoxes(const RecordingHost& host, const std::vector<ExpectedBox>& expected) {
  const std::vector<BoxRequest>& boxes = host.Boxes();
  ASSERT_EQ(boxes.size(), expected.size());
  for (size_t i = 0; i < boxes.size(); ++i) {
    SCOPED_TRACE("box " + std::to_string(i + 1) + ": " + expected[i].text);
    const BoxRequest& box = boxes[i];
    const ExpectedBox& want = expected[i];
    EXPECT_EQ(box.text, want.text);
    EXPECT_EQ(box.kind, want.kind);
    if (want.kind == BoxKind::Confirmation) {
      EXPECT_EQ(box.title, "確認");
      EXPECT_EQ(box.icon, BoxIcon::Question);
      if (want.yesNo) {
        EXPECT_EQ(box.buttons, (std::vector<AnsiString>{"はい(&Y)", "いいえ(&N)"}));
        EXPECT_EQ(box.results, (std::vector<int>{mrYes, mrNo}));
      } else {
        EXPECT_EQ(box.buttons, std::vector<AnsiString>{"OK"});
      }
    } else {
      EXPECT_EQ(box.title, "Setup");
      EXPECT_EQ(box.icon, BoxIcon::None);
      EXPECT_EQ(box.buttons, std::vector<AnsiString>{"OK"});
    }
    if (want.status) {
      EXPECT_EQ(host.statuses.at(i), *want.status);
    }
  }
}

std::string InstallTest::DistFile(const std::string& name) const {
  // The platform matches names without regard to case; the distribution need
  // not use the manifest's case.
  if (name == "ImgCom3.dll") return "IMGCOM3.DLL";
  if (name == "ImgTiff3.dll") return "imgtiff3.dll";
  return name;
}

void InstallTest::SetUp() {
  root_ = std::make_unique<TempRoot>();
  root_->MakeFolder(kDistFolder);
  for (const std::string& name : CopyOrder()) {
    std::string contents;
    for (int i = 0; i < 8; ++i) contents += "sample content of " + name + "\n";
    root_->WriteFile(std::string(kDistFolder) + "\\" + DistFile(name), contents);
  }
  root_->MakeFolder(kDesktop);
  root_->MakeFolder(kWorkFolder);
  ASSERT_EQ(chdir(root_->Host(kWorkFolder).c_str()), 0);
  WriteNotepad(false);
  SetExecutablePathForTesting(std::string(kDistFolder) + "\\Setup.exe");

  host_ = std::make_unique<RecordingHost>();
  Application->CreateForm(FrameForm);
  form_ = FrameForm;
  ASSERT_NE(form_, nullptr);
  // What FormCreate found is replaced by the fixture's own settings.
  form_->Edit1->SetText(kDest);
  form_->DesktopFolder = kDesktop;
  form_->PluginList->Clear();
  for (const std::string& name : kPlugins) form_->PluginList->Add(name);
  form_->PluginCount = static_cast<int32_t>(kPlugins.size());
  host_->status = form_->Panel5;
}

void InstallTest::TearDown() {
  // Let a started stand-in finish before its folder goes away.
  if (access(NotepadRecord().c_str(), F_OK) == 0) {
    std::ofstream(NotepadGo()) << "go\n";
  }
  Application->DestroyForms();
  FrameForm = nullptr;
  host_.reset();
  SetExecutablePathForTesting("");
  fault::Clear();
  root_.reset();
}

Tree InstallTest::TreeOf(const std::string& winFolder) const {
  Tree tree;
  const fs::path base = root_->Host(winFolder);
  for (auto it = fs::recursive_directory_iterator(base); it != fs::recursive_directory_iterator(); ++it) {
    std::string rel = fs::relative(it->path(), base).string();
    for (char& c : rel) {
      if (c == '/') c = '\\';
    }
    if (it->is_directory() && !it->is_symlink()) rel += '\\';
    tree.insert(rel);
  }
  return tree;
}

Tree InstallTest::BaseTree() const { return {"Program Files\\", "Desktop\\", "work\\", "work\\NOTEPAD.EXE"}; }

Tree InstallTest::InstalledTree(size_t copies) const {
  Tree tree = BaseTree();
  tree.insert({"Program Files\\Corvalen\\", "Program Files\\Corvalen\\System\\", "Program Files\\Corvalen\\Temp\\"});
  const std::vector<std::string> order = CopyOrder();
  for (size_t i = 0; i < copies && i < order.size(); ++i) {
    const bool program = i < kProgramFiles.size();
    tree.insert(std::string("Program Files\\Corvalen\\") + (program ? "" : "System\\") + order[i]);
  }
  return tree;
}

std::string InstallTest::NotepadRecord() const { return root_->Path() + "/notepad.record"; }
std::string InstallTest::NotepadGo() const { return root_->Path() + "/notepad.go"; }

void InstallTest::WriteNotepad(bool waitForGo) const {
  const std::string record = NotepadRecord();
  std::ostringstream script;
  script << "#!/bin/sh\n"
         << "printf 'started|%s|%s\\n' \"$*\" \"$(pwd)\" >> '" << record << ".tmp'\n"
         << "mv '" << record << ".tmp' '" << record << "'\n";
  if (waitForGo) {
    script << "i=0\n"
           << "while [ ! -e '" << NotepadGo() << "' ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done\n"
           << "printf 'ended\\n' >> '" << record << "'\n";
  }
  const std::string path = fs::current_path() / "NOTEPAD.EXE";
  std::ofstream(path, std::ios::trunc) << script.str();
  chmod(path.c_str(), 0755);
}

bool InstallTest::WaitUntil(const std::function<bool()>& condition) {
  for (int i = 0; i < 400; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return false;
}

bool InstallTest::WaitForFile(const std::string& hostPath) {
  return WaitUntil([&hostPath] { return access(hostPath.c_str(), F_OK) == 0; });
}

std::string InstallTest::ReadHost(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}
