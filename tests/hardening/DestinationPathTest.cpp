// Odd destinations typed by the user, run through the OK button: each ends
// with a clear message and writes nothing outside the destination (only the
// destination itself and the folders above it may be made).
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/system/Root.h"
#include "platform/text/Text.h"
#include "tests/hardening/InstallTexts.h"
#include "tests/hardening/Snapshot.h"
#include "tests/install/InstallFixture.h"

namespace {

namespace fs = std::filesystem;
using namespace texts;

struct PathCase {
  const char* name;
  std::string dest;
  std::function<void(TempRoot&)> arrange;
  std::vector<int> answers;  // to the Yes/No questions
  std::vector<ExpectedBox> boxes;
  // The Windows folder the run installs into; empty when nothing may change.
  std::string installedIn;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

void Nothing(TempRoot&) {}

// Refused before anything is looked at.
PathCase TooLong(const char* name, size_t length) {
  const std::string dest = LongPath(length);
  return {name, dest, Nothing, {}, {Plain(dest + kCannotCreate, kExamining)}, ""};
}

// Asked, then found impossible to create.
PathCase Cannot(const char* name, std::string dest, std::function<void(TempRoot&)> arrange = Nothing) {
  return {name, dest, std::move(arrange), {mrYes},
          {Question(dest + kCreateQuestion, kExamining), Plain(dest + kCannotCreate, kExamining)}, ""};
}

// Installed completely into `installedIn`.
PathCase Installs(const char* name, std::string dest, std::string installedIn) {
  return {name,
          dest,
          Nothing,
          {mrYes, mrNo, mrNo},
          {Question(dest + kCreateQuestion, kExamining), Question(kShortcutQuestion, kCopying + kPlugins.back()),
           Question(kReadmeQuestion, kDone), Plain(kDone, kDone)},
          std::move(installedIn)};
}

void DriveLink(TempRoot& root, const std::string& name, const std::string& target) {
  fs::create_symlink(target, root.Path() + "/dosdevices/" + name);
  WinRoot::Reset();
}

std::vector<PathCase> Cases() {
  const std::string fits = LongPath(252);
  return {
      // The folders fit, the files do not: the copy fails on the first one
      // and the folders made stay.
      {"LongestThatFitsTheFolders", fits, Nothing, {mrYes},
       {Question(fits + kCreateQuestion, kExamining), Plain(kCopyFailedMessage, kCopyFailed)}, fits},
      // Matched without regard to case, '/' taken as a separator: the new
      // folder keeps the case typed.
      Installs("ForwardSlashesAndLowerCase", "c:/program files/corvalen", "C:\\Program Files\\corvalen"),
      TooLong("Length259", 259),
      TooLong("Length260", 260),
      TooLong("Length300", 300),
      Cannot("InvalidCharacter", "C:\\Program Files\\Cor|valen"),
      Cannot("WildcardMatchingNothing", "C:\\Program Files\\Corval*"),
      {"WildcardMatchingAFolder", "C:\\Prog*", Nothing, {}, {Notice(std::string("C:\\Prog*") + kInUse, kExamining)}, ""},
      Cannot("UnmappedDrive", "Q:\\Corvalen"),
      // Its System level would be "DEST\\System": the empty level before it
      // is no folder, so the tree cannot be made, and DEST is taken back.
      Cannot("TrailingSeparator", std::string(kDest) + "\\"),
      // The level "C:\\work\\.." is the drive's root, which is never taken for
      // a folder that exists or can be made.
      Cannot("DotDotInside", "C:\\work\\..\\Corvalen"),
      Cannot("DotDotAboveTheDrive", "C:\\..\\..\\Corvalen"),
      Cannot("DriveLinkToAMissingFolder", "E:\\Corvalen", [](TempRoot& r) { DriveLink(r, "e:", "../missing"); }),
      Cannot("DriveLinkLoop", "F:\\Corvalen", [](TempRoot& r) { DriveLink(r, "f:", "f:"); }),
      {"DestinationIsADanglingLinkOutside", kDest,
       [](TempRoot& r) { fs::create_symlink(r.Path() + "/outside", r.Host(kDest)); }, {},
       {Notice(kDest + kInUse, kExamining)}, ""},
  };
}

class DestinationPathTest : public InstallTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(DestinationPathTest, ClearOutcomeAndNoWriteOutside) {
  const PathCase& c = GetParam();
  c.arrange(*root_);
  form_->Edit1->SetText(c.dest);
  const Snapshot before = TakeSnapshot(root_->Path());
  QueueAnswers(*host_, c.boxes, c.answers);

  form_->Button1->Click();

  ExpectBoxes(*host_, c.boxes);
  EXPECT_TRUE(form_->Closed());
  const Snapshot after = TakeSnapshot(root_->Path());
  const std::string allowed =
      c.installedIn.empty() ? "" : root_->Host(c.installedIn).substr(root_->Path().size() + 1);
  EXPECT_EQ(ChangesOutside(before, after, allowed), std::vector<std::string>{});
  if (!c.installedIn.empty() && c.boxes.back().text == kDone) {
    for (const std::string& name : CopyOrder()) {
      const bool program = std::find(kProgramFiles.begin(), kProgramFiles.end(), name) != kProgramFiles.end();
      const std::string target = c.installedIn + (program ? "\\" : "\\System\\") + name;
      EXPECT_EQ(root_->ReadFile(target), root_->ReadFile(std::string(kDistFolder) + "\\" + DistFile(name))) << name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Destinations, DestinationPathTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Under Shift-JIS a folder name may end in a character whose second byte is
// 0x5C: it is no separator, and the product lands in that folder.
TEST_F(InstallTest, DoubleByteFolderEndingInSo) {
  const CodePage previous = ActiveCodePage();
  SetActiveCodePage(CodePage::Cp932);
  const std::string dest = "C:\\Program Files\\\x83\x5C";  // katakana so
  form_->Edit1->SetText(dest);
  const Snapshot before = TakeSnapshot(root_->Path());
  for (int a : {mrYes, mrNo, mrNo, mrOk}) host_->Answer(a);

  form_->Button1->Click();

  const std::vector<BoxRequest>& boxes = host_->Boxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].text, dest + AnsiFromUtf8(kCreateQuestion));
  EXPECT_EQ(boxes[3].text, AnsiFromUtf8(kDone));
  SetActiveCodePage(previous);
  const Snapshot after = TakeSnapshot(root_->Path());
  EXPECT_EQ(ChangesOutside(before, after, "drive_c/Program Files/ソ"), std::vector<std::string>{});
  EXPECT_EQ(after.at("drive_c/Program Files/ソ/System/GifView.spi"),
            "file:" + root_->ReadFile(std::string(kDistFolder) + "\\GifView.spi"));
}

}  // namespace
