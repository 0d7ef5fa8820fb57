// The installation when the disk fills up in the middle of a file, when a
// source is cut while it is copied, when its target folder goes away between
// the stages, and when the desktop folder is not a folder: the texts the user
// sees, the result, no partial file, and nothing touched outside the
// destination anywhere in the temporary root.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/system/Fault.h"
#include "setup_window/WorkingFolder.h"
#include "tests/hardening/InstallTexts.h"
#include "tests/hardening/Snapshot.h"
#include "tests/install/InstallFixture.h"

namespace {

namespace fs = std::filesystem;
using namespace texts;

class InstallFaultTest : public InstallTest {
 protected:
  // A host path of the root relative to the root's folder.
  std::string Rel(const std::string& winPath) const { return root_->Host(winPath).substr(root_->Path().size() + 1); }
  Snapshot Shot() const { return TakeSnapshot(root_->Path()); }
  std::string Contents(const std::string& name) const {
    return "file:" + root_->ReadFile(std::string(kDistFolder) + "\\" + DistFile(name));
  }
  // DEST as an installation that copied the first `copies` files leaves it.
  Snapshot Installed(size_t copies, bool withSystem = true) const {
    Snapshot dest = {{"", "folder"}, {"Temp", "folder"}};
    if (withSystem) dest["System"] = "folder";
    const std::vector<std::string> order = CopyOrder();
    for (size_t i = 0; i < copies; ++i) {
      dest[(i < kProgramFiles.size() ? "" : "System/") + order[i]] = Contents(order[i]);
    }
    return dest;
  }
  bool CopyStage() {
    bool copied = false;
    WithInstallerFolder([&] { copied = form_->CopyProductFiles(); });
    return copied;
  }
  static size_t IndexOf(const std::string& name) {
    const std::vector<std::string> order = CopyOrder();
    size_t i = 0;
    while (i < order.size() && order[i] != name) ++i;
    return i;
  }
};

// The disk fills up after some bytes of one file: the run says the copy
// failed, the files before it are whole, and of that file nothing is left.
TEST_F(InstallFaultTest, DiskFullInTheMiddleOfAFile) {
  struct Case {
    std::string name;
    long long bytes;
  };
  for (const Case& c : {Case{"Corvan.exe", 1}, Case{"Kxopr.txt", 100}, Case{"ImgDsp3.dll", 150}, Case{"GifView.spi", 20}}) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    const Snapshot before = Shot();
    fault::Add({"CopyFileA", 0, c.name, ERROR_DISK_FULL, c.bytes});
    const std::vector<ExpectedBox> boxes = {Question(kDest + kCreateQuestion, kExamining),
                                            Plain(kCopyFailedMessage, kCopyFailed)};
    QueueAnswers(*host_, boxes, {mrYes});

    form_->Button1->Click();

    ExpectBoxes(*host_, boxes);
    EXPECT_TRUE(form_->Closed());
    const Snapshot after = Shot();
    EXPECT_EQ(ChangesOutside(before, after, Rel(kDest)), std::vector<std::string>{});
    EXPECT_EQ(Below(after, Rel(kDest)), Installed(IndexOf(c.name)));
  }
}

// Another program cuts a source file while it is copied: the run says the
// copy failed instead of installing a shortened file; the files before it are
// whole and of that file nothing is left. The cut source is the one change
// outside the destination, and it is not the run's.
TEST_F(InstallFaultTest, SourceThatShrinksWhileCopied) {
  for (const char* name : {"Kx.txt", "ImgCut3.dll", "GifView.spi"}) {
    SCOPED_TRACE(name);
    TearDown();
    SetUp();
    const Snapshot before = Shot();
    const std::string source = Rel(std::string(kDistFolder) + "\\" + DistFile(name));
    fault::Add({.call = "CopyFileA", .pathContains = name, .shrinkSourceAt = 3});
    const std::vector<ExpectedBox> boxes = {Question(kDest + kCreateQuestion, kExamining),
                                            Plain(kCopyFailedMessage, kCopyFailed)};
    QueueAnswers(*host_, boxes, {mrYes});

    form_->Button1->Click();

    ExpectBoxes(*host_, boxes);
    EXPECT_TRUE(form_->Closed());
    const Snapshot after = Shot();
    EXPECT_EQ(ChangesOutside(before, after, Rel(kDest)), std::vector<std::string>{"changed " + source});
    EXPECT_EQ(after.at(source), before.at(source).substr(0, 5 + 3));  // "file:" and three bytes
    EXPECT_EQ(Below(after, Rel(kDest)), Installed(IndexOf(name)));
  }
}

// A file of an earlier installation that is being replaced when the disk
// fills up stays as it was.
TEST_F(InstallFaultTest, DiskFullWhileReplacingKeepsTheEarlierFile) {
  root_->MakeFolder(std::string(kDest) + "\\System");
  root_->MakeFolder(std::string(kDest) + "\\Temp");
  root_->WriteFile(std::string(kDest) + "\\Image3.jpg", "the earlier picture");
  const Snapshot before = Shot();
  fault::Add({"CopyFileA", 0, "Image3.jpg", ERROR_DISK_FULL, 50});

  EXPECT_FALSE(CopyStage());

  const Snapshot after = Shot();
  EXPECT_EQ(ChangesOutside(before, after, Rel(kDest)), std::vector<std::string>{});
  Snapshot expected = Installed(IndexOf("Image3.jpg"));
  expected["Image3.jpg"] = "file:the earlier picture";
  EXPECT_EQ(Below(after, Rel(kDest)), expected);
}

// DEST\System goes away (or becomes a file) after the folders were made and
// before the copy: the program files are copied, the first module fails,
// System is not made again and a file standing there is not touched.
TEST_F(InstallFaultTest, SystemFolderGoneBetweenTheStages) {
  for (const bool replacedByFile : {false, true}) {
    SCOPED_TRACE(replacedByFile ? "replaced by a file" : "removed");
    TearDown();
    SetUp();
    const Snapshot before = Shot();
    host_->Answer(mrYes);
    ASSERT_TRUE(form_->PrepareDestination(kDest));
    const std::string system = root_->Host(std::string(kDest) + "\\System");
    ASSERT_TRUE(fs::remove(system));
    if (replacedByFile) root_->WriteFile(std::string(kDest) + "\\System", "not a folder");
    form_->Panel5->SetCaption(kCopying);

    EXPECT_FALSE(CopyStage());

    EXPECT_EQ(form_->Panel5->Caption(), kCopying + "ImgCom3.dll");
    const Snapshot after = Shot();
    EXPECT_EQ(ChangesOutside(before, after, Rel(kDest)), std::vector<std::string>{});
    Snapshot expected = Installed(kProgramFiles.size(), false);
    if (replacedByFile) expected["System"] = "file:not a folder";
    EXPECT_EQ(Below(after, Rel(kDest)), expected);
  }
}

// The desktop folder is a file, or the link's name is a link that leads out
// of the desktop: the shortcut is reported as not made (or, for the link,
// counted as there), the run completes, and what the names lead to is
// untouched.
TEST_F(InstallFaultTest, DesktopThatIsNoFolder) {
  const std::vector<ExpectedBox> failed = {
      Question(kDest + kCreateQuestion, kExamining), Question(kShortcutQuestion, kCopying + kPlugins.back()),
      Plain(kShortcutFailed, kShortcutMaking), Question(kReadmeQuestion, kDone), Plain(kDone, kDone)};
  const std::vector<ExpectedBox> completed = {Question(kDest + kCreateQuestion, kExamining),
                                              Question(kShortcutQuestion, kCopying + kPlugins.back()),
                                              Question(kReadmeQuestion, kDone), Plain(kDone, kDone)};
  struct Case {
    const char* name;
    std::function<void(TempRoot&)> arrange;
    std::vector<ExpectedBox> boxes;
  };
  const std::string link = std::string(kDesktop) + "\\" + kLinkName;
  const Case cases[] = {
      {"DesktopIsAFile",
       [](TempRoot& r) {
         fs::remove(r.Host(kDesktop));
         r.WriteFile(kDesktop, "a file where the desktop should be");
       },
       failed},
      {"LinkNameLeadsToAMissingFileOutside",
       [link](TempRoot& r) { fs::create_symlink(r.Path() + "/outside/victim.lnk", r.Host(link)); }, completed},
      {"LinkNameLeadsToAFileOutside",
       [link](TempRoot& r) {
         fs::create_directories(r.Path() + "/outside");
         std::ofstream(r.Path() + "/outside/victim.lnk") << "precious";
         fs::create_symlink(r.Path() + "/outside/victim.lnk", r.Host(link));
       },
       completed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    c.arrange(*root_);
    const Snapshot before = Shot();
    QueueAnswers(*host_, c.boxes, {mrYes, mrYes, mrNo});

    form_->Button1->Click();

    ExpectBoxes(*host_, c.boxes);
    const Snapshot after = Shot();
    EXPECT_EQ(ChangesOutside(before, after, Rel(kDest)), std::vector<std::string>{});
    EXPECT_EQ(Below(after, Rel(kDest)), Installed(CopyOrder().size()));
  }
}

}  // namespace
