#include "tests/e2e/User.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include <gtest/gtest.h>

#include "platform/gui/Controls.h"
#include "platform/text/Text.h"
#include "setup_window/Frame.h"

namespace {

// Long enough for any machine; only reached when the program is stuck.
constexpr std::chrono::seconds kPatience(60);

const std::vector<std::string> kYesNo = {"はい(&Y)", "いいえ(&N)"};


std::vector<QAbstractButton*> ButtonsLeftToRight(QMessageBox* box) {
  const QList<QAbstractButton*> list = box->buttons();
  std::vector<QAbstractButton*> buttons(list.begin(), list.end());
  std::sort(buttons.begin(), buttons.end(), [box](QAbstractButton* a, QAbstractButton* b) {
    return a->mapTo(box, QPoint(0, 0)).x() < b->mapTo(box, QPoint(0, 0)).x();
  });
  return buttons;
}

// The message box the user is looking at, if one is open.
QMessageBox* OpenBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  return box != nullptr && box->isVisible() ? box : nullptr;
}

std::string Describe(QMessageBox* box) { return (box->windowTitle() + ": " + box->text()).toStdString(); }

}  // namespace

Step ClickOk() {
  Step step;
  step.kind = Step::Kind::ClickOk;
  return step;
}

Step ClickCancel() {
  Step step;
  step.kind = Step::Kind::ClickCancel;
  return step;
}

Step Question(std::string text, Press press) {
  return Step{Step::Kind::Box, "確認", std::move(text), kYesNo, kYesNo[0], kYesNo[1], press};
}

Step Notice(std::string text, Press press) { return Step{Step::Kind::Box, "確認", std::move(text), {"OK"}, "OK", "OK", press}; }

Step Message(std::string text, Press press) {
  return Step{Step::Kind::Box, "Setup", std::move(text), {"OK"}, "OK", "OK", press};
}

User::User(std::vector<Step> script) : script_(std::move(script)) {
  timer_.setInterval(10);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
}

User::~User() { Stop(); }

void User::Start() {
  deadline_ = std::chrono::steady_clock::now() + kPatience;
  timer_.start();
}

void User::Stop() { timer_.stop(); }

void User::GiveUp(const std::string& why) {
  problems_.push_back(why);
  givenUp_ = true;
}

void User::Poll() {
  if (pending_) return;
  QMessageBox* box = OpenBox();
  if (givenUp_ || std::chrono::steady_clock::now() > deadline_) {
    if (!givenUp_ && box != nullptr && box == answered_) {
      GiveUp("the box stayed open after the answer: " + Describe(box));
    } else if (!givenUp_) {
      GiveUp("stuck before step " + std::to_string(next_ + 1));
    }
    // Get the program to end: dismiss whatever is open, then close the window.
    if (box != nullptr) {
      box->reject();
    } else if (FrameForm != nullptr && !FrameForm->Closed()) {
      FrameForm->Close();
    }
    return;
  }
  // Access keys click their button a moment after the key: until the box
  // that was answered has closed, it is not taken for the next one.
  if (box != nullptr && box == answered_) return;
  if (next_ >= script_.size()) {
    if (box != nullptr) {
      GiveUp("a box after the end of the script: " + Describe(box));
      box->reject();
    }
    return;
  }

  const Step& step = script_[next_];
  if (step.kind == Step::Kind::Box) {
    if (box == nullptr) return;  // not open yet
    ++next_;                     // before answering: the answer may open the next box
    SeenBox seen;
    seen.title = box->windowTitle().toStdString();
    seen.text = box->text().toStdString();
    for (QAbstractButton* b : ButtonsLeftToRight(box)) seen.buttons.push_back(b->text().toStdString());
    if (box->defaultButton() != nullptr) seen.defaultButton = box->defaultButton()->text().toStdString();
    if (box->escapeButton() != nullptr) seen.escapeButton = box->escapeButton()->text().toStdString();
    // The caption as the window shows it (the platform's text in its code page).
    if (FrameForm != nullptr) seen.statusLine = Utf8FromAnsi(FrameForm->Panel5->Caption());
    seen.applicationModal = box->windowModality() == Qt::ApplicationModal;
    seen_.push_back(seen);
    const Press press = step.press;
    answered_ = box;
    Later([this, box = QPointer<QMessageBox>(box), press] {
      if (box != nullptr) Answer(box, press);
    });
    return;
  }

  if (box != nullptr) {
    GiveUp("a box where the script clicks the window: " + Describe(box));
    box->reject();
    return;
  }
  // The window must be on the screen before its buttons can be pressed.
  if (FrameForm == nullptr || !FrameForm->Widget()->isVisible()) return;
  TButton* button = step.kind == Step::Kind::ClickOk ? FrameForm->Button1 : FrameForm->Button2;
  ++next_;
  // The click runs the handler, and with it the boxes' own message loops.
  Later([button] { QTest::mouseClick(button->Widget(), Qt::LeftButton); });
}

void User::Later(std::function<void()> action) {
  // Qt does not fire a timer again while its own timeout is being handled,
  // and an action may run a box's message loop for as long as the box is
  // open: so the action runs from a timer of its own, and polling goes on
  // inside that loop.
  pending_ = true;
  QTimer::singleShot(0, this, [this, action = std::move(action)] {
    pending_ = false;
    action();
  });
}

void User::Answer(QMessageBox* box, Press press) {
  // A box that opens has the keyboard, as a window manager would give it; the
  // offscreen platform does not activate windows by itself.
  if (!box->isActiveWindow()) {
    box->activateWindow();
    QApplication::setActiveWindow(box);
  }
  QWidget* focus = box->focusWidget() != nullptr ? box->focusWidget() : box;
  const std::vector<QAbstractButton*> buttons = ButtonsLeftToRight(box);
  auto click = [&](size_t i) {
    if (i < buttons.size()) {
      QTest::mouseClick(buttons[i], Qt::LeftButton);
    } else {
      GiveUp("no button " + std::to_string(i + 1) + " to click in " + Describe(box));
      box->reject();
    }
  };
  switch (press) {
    case Press::Enter: QTest::keyClick(focus, Qt::Key_Return); break;
    case Press::Escape: QTest::keyClick(focus, Qt::Key_Escape); break;
    case Press::AltY:
      QTest::keyClick(focus, Qt::Key_Y, Qt::AltModifier); break;
    case Press::AltN: QTest::keyClick(focus, Qt::Key_N, Qt::AltModifier); break;
    case Press::ClickFirst: click(0); break;
    case Press::ClickSecond: click(1); break;
  }
}

void ExpectBoxesAsScripted(const User& user, const std::vector<Step>& script) {
  std::vector<const Step*> boxes;
  for (const Step& step : script) {
    if (step.kind == Step::Kind::Box) boxes.push_back(&step);
  }
  const std::vector<SeenBox>& seen = user.Seen();
  ASSERT_EQ(seen.size(), boxes.size());
  for (size_t i = 0; i < seen.size(); ++i) {
    const Step& want = *boxes[i];
    SCOPED_TRACE("box " + std::to_string(i + 1) + ": " + want.text);
    EXPECT_EQ(seen[i].title, want.title);
    EXPECT_EQ(seen[i].text, want.text);
    EXPECT_EQ(seen[i].buttons, want.buttons);
    EXPECT_EQ(seen[i].defaultButton, want.defaultButton);
    EXPECT_EQ(seen[i].escapeButton, want.escapeButton);
    EXPECT_TRUE(seen[i].applicationModal);
  }
}
