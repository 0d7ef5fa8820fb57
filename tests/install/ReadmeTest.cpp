// The read-me viewer is started on the bare name in the current folder and is
// not waited for: the handler returns while it still runs.
#include <fstream>
#include <string>

#include "tests/install/InstallFixture.h"

namespace {

TEST_F(InstallTest, ReadmeViewerIsNotWaitedFor) {
  WriteNotepad(true);
  for (int answer : {mrYes, mrNo, mrYes}) host_->Answer(answer);
  host_->Answer(mrOk);

  form_->Button1->Click();
  EXPECT_TRUE(form_->Closed());

  const std::string started = "started|Readme.txt|" + root_->Host(kWorkFolder) + "\n";
  ASSERT_TRUE(WaitForFile(NotepadRecord()));
  // It has started, in the installer's starting folder, and has not ended.
  EXPECT_EQ(ReadHost(NotepadRecord()), started);

  std::ofstream(NotepadGo()) << "go\n";
  EXPECT_TRUE(WaitUntil([&] { return ReadHost(NotepadRecord()) == started + "ended\n"; }));
}

}  // namespace
