// The real Qt boxes: icon, title, buttons in order, default and escape
// buttons, place on the screen, and the answers of Enter, Escape and closing.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/system/Files.h"
#include "tests/support/TempRoot.h"

namespace {

// Runs `act` on the modal widget of type W as soon as the event loop of its
// exec() shows it.
template <class W>
void WhenShown(std::function<void(W*)> act, int turns = 0) {
  QTimer::singleShot(0, [act, turns] {
    if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget())) {
      act(w);
    } else if (turns < 1000) {
      WhenShown<W>(act, turns + 1);
    } else {
      ADD_FAILURE() << "no modal box appeared";
    }
  });
}

struct Seen {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title, text;
  std::vector<QString> buttons;  // left to right
  QString defaultButton, escapeButton, focused;
  QPoint centre, screenCentre;
  bool modal = false;
};

Seen Inspect(QMessageBox* box) {
  Seen s;
  s.icon = box->icon();
  s.title = box->windowTitle();
  s.text = box->text();
  const QList<QAbstractButton*> list = box->buttons();
  std::vector<QAbstractButton*> buttons(list.begin(), list.end());
  std::sort(buttons.begin(), buttons.end(), [box](QAbstractButton* a, QAbstractButton* b) {
    return a->mapTo(box, QPoint(0, 0)).x() < b->mapTo(box, QPoint(0, 0)).x();
  });
  for (QAbstractButton* b : buttons) s.buttons.push_back(b->text());
  if (box->defaultButton()) s.defaultButton = box->defaultButton()->text();
  if (box->escapeButton()) s.escapeButton = box->escapeButton()->text();
  if (auto* f = qobject_cast<QAbstractButton*>(box->focusWidget())) s.focused = f->text();
  s.centre = box->frameGeometry().center();
  s.screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
  s.modal = box->windowModality() == Qt::ApplicationModal;
  return s;
}

// Answers the next box with a key pressed where the focus is.
void AnswerWithKey(Seen& seen, Qt::Key key) {
  WhenShown<QMessageBox>([&seen, key](QMessageBox* box) {
    seen = Inspect(box);
    QWidget* target = box->focusWidget() != nullptr ? box->focusWidget() : box;
    QTest::keyClick(target, key);
  });
}

void ExpectCentred(const Seen& s) {
  EXPECT_LE(std::abs(s.centre.x() - s.screenCentre.x()), 1);
  EXPECT_LE(std::abs(s.centre.y() - s.screenCentre.y()), 1);
}

const std::vector<QString> kYesNo = {"はい(&Y)", "いいえ(&N)"};

TEST(QtBoxes, EnterAnswersYesInAYesNoQuestion) {
  Seen seen;
  AnswerWithKey(seen, Qt::Key_Return);
  EXPECT_EQ(MessageDlg("フォルダを作成しますか？", mtConfirmation, {mbYes, mbNo}, 0), mrYes);
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.title, "確認");
  EXPECT_EQ(seen.text, "フォルダを作成しますか？");
  EXPECT_EQ(seen.buttons, kYesNo);
  EXPECT_EQ(seen.defaultButton, "はい(&Y)");
  EXPECT_EQ(seen.focused, "はい(&Y)");
  EXPECT_EQ(seen.escapeButton, "いいえ(&N)");
  EXPECT_TRUE(seen.modal);
  ExpectCentred(seen);
}

TEST(QtBoxes, EscapeCountsAsNo) {
  Seen seen;
  AnswerWithKey(seen, Qt::Key_Escape);
  EXPECT_EQ(MessageDlg("q", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
  EXPECT_EQ(seen.buttons, kYesNo);
}

TEST(QtBoxes, ClosingTheBoxCountsAsTheEscapeButton) {
  WhenShown<QMessageBox>([](QMessageBox* box) { box->close(); });
  EXPECT_EQ(MessageDlg("q", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
  WhenShown<QMessageBox>([](QMessageBox* box) { box->close(); });
  EXPECT_EQ(MessageDlg("q", mtConfirmation, {mbYes, mbNo, mbOK, mbCancel}, 0), mrCancel);
}

TEST(QtBoxes, AllFourButtonsInTheirOrderWithOkDefaultAndCancelEscape) {
  Seen seen;
  AnswerWithKey(seen, Qt::Key_Return);
  EXPECT_EQ(MessageDlg("q", mtConfirmation, {mbCancel, mbOK, mbNo, mbYes}, 0), mrOk);
  EXPECT_EQ(seen.buttons, (std::vector<QString>{"はい(&Y)", "いいえ(&N)", "OK", "ｷｬﾝｾﾙ"}));
  EXPECT_EQ(seen.defaultButton, "OK");
  EXPECT_EQ(seen.escapeButton, "ｷｬﾝｾﾙ");
  AnswerWithKey(seen, Qt::Key_Escape);
  EXPECT_EQ(MessageDlg("q", mtConfirmation, {mbCancel, mbOK, mbNo, mbYes}, 0), mrCancel);
}

TEST(QtBoxes, ClickingAButtonAnswersItsResult) {
  WhenShown<QMessageBox>([](QMessageBox* box) {
    for (QAbstractButton* b : box->buttons()) {
      if (b->text() == "いいえ(&N)") QTest::mouseClick(b, Qt::LeftButton);
    }
  });
  EXPECT_EQ(MessageDlg("q", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
}

class QtPlainBoxes : public ::testing::Test {
 protected:
  void SetUp() override { SetExecutablePathForTesting("C:\\dist\\SETUP.EXE"); }
  void TearDown() override { SetExecutablePathForTesting(""); }
};

TEST_F(QtPlainBoxes, ShowMessageHasNoIconAndOneOkForEnterAndEscape) {
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    Seen seen;
    AnswerWithKey(seen, key);
    ShowMessage("完了しました。");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.title, "Setup");
    EXPECT_EQ(seen.text, "完了しました。");
    EXPECT_EQ(seen.buttons, std::vector<QString>{"OK"});
    EXPECT_EQ(seen.defaultButton, "OK");
    EXPECT_EQ(seen.escapeButton, "OK");
    ExpectCentred(seen);
  }
}

TEST_F(QtPlainBoxes, TheErrorBoxHasTheStopIcon) {
  Seen seen;
  AnswerWithKey(seen, Qt::Key_Return);
  Application->Dispatch([] { throw Exception("Broken value"); });
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.title, "Setup");
  EXPECT_EQ(seen.text, "Broken value.");
  EXPECT_EQ(seen.buttons, std::vector<QString>{"OK"});
}

TEST(QtFolderBrowser, AnswersTheChosenFolderInWindowsFormOrNothing) {
  TempRoot root;
  root.MakeFolder("C:\\Pick");
  const QString host = QString::fromStdString(root.Host("C:\\Pick"));
  QString title;
  bool ownDialog = false, dirsOnly = false, directories = false;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    title = dialog->windowTitle();
    ownDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
    dirsOnly = dialog->testOption(QFileDialog::ShowDirsOnly);
    directories = dialog->fileMode() == QFileDialog::Directory;
    dialog->setDirectory(host);
    dialog->selectFile(host);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  const auto chosen = QtDialogHost().BrowseForFolder("フォルダを選択して下さい。", nullptr);
  EXPECT_EQ(title, "フォルダを選択して下さい。");
  EXPECT_TRUE(ownDialog);
  EXPECT_TRUE(dirsOnly);
  EXPECT_TRUE(directories);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, "C:\\Pick");

  WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  EXPECT_FALSE(QtDialogHost().BrowseForFolder("t", nullptr).has_value());
}

}  // namespace
