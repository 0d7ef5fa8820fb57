// The requests MessageDlg and ShowMessage make, answered by the scripted host.
#include <gtest/gtest.h>

#include "platform/gui/Dialogs.h"
#include "platform/gui/Exception.h"
#include "platform/system/Files.h"
#include "tests/support/ScriptedDialogHost.h"

namespace {

struct DlgCase {
  TMsgDlgButtons buttons;
  std::vector<AnsiString> captions;
  std::vector<int> results;
  int defaultButton;
  int escapeButton;
};

class MessageDlgRequest : public ::testing::TestWithParam<DlgCase> {};

TEST_P(MessageDlgRequest, MakesTheButtonsInTheFixedOrder) {
  const DlgCase& c = GetParam();
  const BoxRequest r = MakeMessageDlgRequest("フォルダを作成しますか？\n二行目", mtConfirmation, c.buttons);
  EXPECT_EQ(r.kind, BoxKind::Confirmation);
  EXPECT_EQ(r.icon, BoxIcon::Question);
  EXPECT_EQ(r.title, "確認");
  EXPECT_EQ(r.text, "フォルダを作成しますか？\n二行目");
  EXPECT_EQ(r.buttons, c.captions);
  EXPECT_EQ(r.results, c.results);
  EXPECT_EQ(r.defaultButton, c.defaultButton);
  EXPECT_EQ(r.escapeButton, c.escapeButton);
}

const AnsiString kYes = "はい(&Y)", kNo = "いいえ(&N)", kOk = "OK", kCancel = "ｷｬﾝｾﾙ";

INSTANTIATE_TEST_SUITE_P(
    Table, MessageDlgRequest,
    ::testing::Values(DlgCase{{mbYes, mbNo}, {kYes, kNo}, {6, 7}, 0, 1},
                      DlgCase{{mbOK}, {kOk}, {1}, 0, 0},
                      DlgCase{{mbNo, mbYes}, {kYes, kNo}, {6, 7}, 0, 1},
                      DlgCase{{mbYes, mbNo, mbCancel}, {kYes, kNo, kCancel}, {6, 7, 2}, 0, 2},
                      DlgCase{{mbCancel, mbOK, mbNo, mbYes}, {kYes, kNo, kOk, kCancel}, {6, 7, 1, 2}, 2, 3},
                      DlgCase{{mbOK, mbCancel}, {kOk, kCancel}, {1, 2}, 0, 1},
                      DlgCase{{mbNo, mbOK}, {kNo, kOk}, {7, 1}, 1, 0},
                      DlgCase{{mbYes}, {kYes}, {6}, 0, -1},
                      DlgCase{{}, {kOk}, {1}, 0, 0}));

TEST(MessageDlgRequestOther, HalfWidthCancelIsKeptByteForByte) {
  // "ｷｬﾝｾﾙ" in half-width katakana: U+FF77 U+FF6C U+FF9D U+FF7E U+FF99.
  EXPECT_EQ(kCancel, "\xEF\xBD\xB7\xEF\xBD\xAC\xEF\xBE\x9D\xEF\xBD\xBE\xEF\xBE\x99");
}

TEST(MessageDlgRequestOther, OtherButtonsAreRefused) {
  EXPECT_THROW(MakeMessageDlgRequest("x", mtConfirmation, {mbYes, mbAbort}), Exception);
}

TEST(MessageDlgRequestOther, OtherTypesHaveTheirIcons) {
  EXPECT_EQ(MakeMessageDlgRequest("x", mtError, {mbOK}).icon, BoxIcon::Stop);
  EXPECT_EQ(MakeMessageDlgRequest("x", mtWarning, {mbOK}).icon, BoxIcon::Warning);
  EXPECT_EQ(MakeMessageDlgRequest("x", mtInformation, {mbOK}).icon, BoxIcon::Information);
  EXPECT_EQ(MakeMessageDlgRequest("x", mtCustom, {mbOK}).icon, BoxIcon::None);
}

class DialogCalls : public ::testing::Test {
 protected:
  void SetUp() override { SetExecutablePathForTesting("D:\\SETUP.EXE"); }
  void TearDown() override { SetExecutablePathForTesting(""); }
};

TEST_F(DialogCalls, ShowMessageIsAPlainBoxTitledWithTheApplication) {
  ScriptedDialogHost host;
  host.AnswerDefault();
  ShowMessage("インストールが完了しました。");
  ASSERT_EQ(host.Boxes().size(), 1u);
  const BoxRequest& r = host.Boxes()[0];
  EXPECT_EQ(r.kind, BoxKind::Plain);
  EXPECT_EQ(r.icon, BoxIcon::None);
  EXPECT_EQ(r.title, "Setup");
  EXPECT_EQ(r.text, "インストールが完了しました。");
  EXPECT_EQ(r.buttons, std::vector<AnsiString>{"OK"});
  EXPECT_EQ(r.results, std::vector<int>{mrOk});
  EXPECT_EQ(r.defaultButton, 0);
  EXPECT_EQ(r.escapeButton, 0);
}

TEST_F(DialogCalls, MessageDlgReturnsTheResultOfTheButtonThatClosedIt) {
  ScriptedDialogHost host;
  host.Answer(mrNo);
  host.AnswerDefault();
  host.AnswerEscape();
  host.Answer(mrOk);
  EXPECT_EQ(MessageDlg("q", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
  EXPECT_EQ(MessageDlg("q", mtConfirmation, {mbYes, mbNo}, 0), mrYes);  // Enter
  EXPECT_EQ(MessageDlg("q", mtConfirmation, {mbYes, mbNo}, 0), mrNo);   // Escape
  EXPECT_EQ(MessageDlg("n", mtConfirmation, {mbOK}, 0), mrOk);
  EXPECT_EQ(host.Boxes().size(), 4u);
}

TEST_F(DialogCalls, TheScriptedHostRestoresThePreviousHost) {
  DialogHost* before = &CurrentDialogHost();
  {
    ScriptedDialogHost outer;
    {
      ScriptedDialogHost inner;
      EXPECT_EQ(&CurrentDialogHost(), &inner);
    }
    EXPECT_EQ(&CurrentDialogHost(), &outer);
  }
  EXPECT_EQ(&CurrentDialogHost(), before);
  EXPECT_EQ(before, &QtDialogHost());
}

}  // namespace
