// The application object: title rule, error handling of handlers, form
// creation, the message loop and destruction.
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include <gtest/gtest.h>

#include "TestForm.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/system/Files.h"
#include "tests/support/ScriptedDialogHost.h"

namespace {

struct TitleCase {
  const char* exe;
  const char* title;
};

class TitleRule : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TitleRule, CutsAtTheFirstDotAndLowersAllButTheFirstCharacter) {
  EXPECT_EQ(TitleFromExeName(GetParam().exe), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Table, TitleRule,
                         ::testing::Values(TitleCase{"C:\\dist\\SETUP.EXE", "Setup"},
                                           TitleCase{"D:\\Setup.exe", "Setup"},
                                           TitleCase{"D:\\setup.exe", "setup"},
                                           TitleCase{"C:\\a.b\\MY.SETUP.EXE", "My"},
                                           TitleCase{"Z:\\tmp\\INSTALL", "Install"},
                                           TitleCase{"C:\\x\\.HIDDEN", ""},
                                           TitleCase{"SETUP2.EXE", "Setup2"},
                                           TitleCase{"C:\\dist\\ÄBC.EXE", "Äbc"}));

// Under Shift-JIS a trailing byte in the A-Z range belongs to its character
// and is never lowered.
TEST(TitleRuleShiftJis, LeavesDoubleByteCharactersAlone) {
  const CodePage before = ActiveCodePage();
  SetActiveCodePage(CodePage::Cp932);
  EXPECT_EQ(TitleFromExeName("C:\\\x83\x41" "BC.EXE"), "\x83\x41" "bc");         // first character double-byte
  EXPECT_EQ(TitleFromExeName("C:\\X\x83\x41" "B.EXE"), "X\x83\x41" "b");         // one in the middle
  EXPECT_EQ(TitleFromExeName("C:\\\xB1" "BC.EXE"), "\xB1" "bc");                  // single-byte katakana
  EXPECT_EQ(TitleFromExeName("C:\\dist\\\x83\x5C" "FT.EXE"), "\x83\x5C" "ft");    // 0x5C trail is no separator
  SetActiveCodePage(before);
}

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetExecutablePathForTesting("C:\\dist\\SETUP.EXE");
    TTestForm::ClearHooks();
  }
  void TearDown() override {
    Application->DestroyForms();
    TTestForm::ClearHooks();
    SetExecutablePathForTesting("");
  }
  void ExpectErrorBox(const BoxRequest& box, const std::string& text) {
    EXPECT_EQ(box.kind, BoxKind::Error);
    EXPECT_EQ(box.icon, BoxIcon::Stop);
    EXPECT_EQ(box.title, "Setup");
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.buttons, std::vector<AnsiString>{"OK"});
    EXPECT_EQ(box.results, std::vector<int>{mrOk});
    EXPECT_EQ(box.defaultButton, 0);
    EXPECT_EQ(box.escapeButton, 0);
  }
  ScriptedDialogHost host;
};

TEST_F(ApplicationTest, ExeNameAndTitleComeFromTheExecutable) {
  EXPECT_EQ(Application->ExeName(), "C:\\dist\\SETUP.EXE");
  EXPECT_EQ(Application->Title(), "Setup");
}

TEST_F(ApplicationTest, ErrorsEscapingAHandlerAreShownAndStopIt) {
  struct Case {
    std::function<void()> raise;
    const char* text;  // nullptr: no box
  };
  const Case table[] = {
      {[] { throw Exception("Invalid data type for 'ProgramFilesDir'"); }, "Invalid data type for 'ProgramFilesDir'."},
      {[] { throw EOutOfResources("Cannot make a bitmap"); }, "Cannot make a bitmap."},
      {[] { throw std::runtime_error("plain"); }, "plain."},
      {[] { throw 42; }, "Unknown error."},
      {[] { throw EAbort("silent"); }, nullptr},
  };
  for (const Case& c : table) {
    const size_t before = host.Boxes().size();
    bool after = false;
    if (c.text != nullptr) host.Answer(mrOk);
    Application->Dispatch([&] {
      c.raise();
      after = true;
    });
    EXPECT_FALSE(after);
    if (c.text == nullptr) {
      EXPECT_EQ(host.Boxes().size(), before);
    } else {
      ASSERT_EQ(host.Boxes().size(), before + 1);
      ExpectErrorBox(host.Boxes().back(), c.text);
    }
  }
  bool ran = false;
  Application->Dispatch([&] { ran = true; });
  EXPECT_TRUE(ran);
}

TEST_F(ApplicationTest, ShowExceptionUsesTheErrorBox) {
  host.Answer(mrOk);
  Application->ShowException(Exception("Form description TFRAMEFORM not found"));
  ASSERT_EQ(host.Boxes().size(), 1u);
  ExpectErrorBox(host.Boxes()[0], "Form description TFRAMEFORM not found.");
}

TEST_F(ApplicationTest, CreateFormRunsOnCreateThenCreatesTheWindow) {
  bool windowDuringCreate = true;
  TTestForm::onCreate = [&](TTestForm& f) { windowDuringCreate = f.WindowCreated(); };
  TTestForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->creates, 1);
  EXPECT_FALSE(windowDuringCreate);
  EXPECT_TRUE(form->WindowCreated());
  EXPECT_EQ(Application->MainForm(), form);
  EXPECT_EQ(form->resizes, 0);  // no size given yet

  TTestForm* second = nullptr;
  Application->CreateForm(second);
  EXPECT_EQ(Application->MainForm(), form);
}

TEST_F(ApplicationTest, AnErrorInOnCreateIsShownAndCreationGoesOn) {
  TTestForm::onCreate = [](TTestForm&) { throw Exception("Invalid data type"); };
  host.Answer(mrOk);
  TTestForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(host.Boxes().size(), 1u);
  ExpectErrorBox(host.Boxes()[0], "Invalid data type.");
  EXPECT_TRUE(form->WindowCreated());
  EXPECT_EQ(Application->MainForm(), form);
}

class BrokenForm : public TForm {
 public:
  explicit BrokenForm(TApplication*) : TForm("BrokenForm") { LoadFromText("object F: TF\n  Bogus = 1\nend\n", "BROKEN"); }
};

TEST_F(ApplicationTest, AnErrorInTheConstructorPassesToTheCaller) {
  BrokenForm* form = nullptr;
  EXPECT_THROW(Application->CreateForm(form), Exception);
  EXPECT_EQ(form, nullptr);
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(ApplicationTest, RunShowsTheMainFormMaximisedUntilAHandlerClosesIt) {
  TTestForm* form = nullptr;
  Application->CreateForm(form);
  bool maximisedInResize = false;
  TTestForm::onResize = [&](TTestForm& f) { maximisedInResize = maximisedInResize || f.Widget()->isMaximized(); };
  bool afterClose = false;
  TTestForm::onButton1 = [&](TTestForm& f) {
    f.Close();
    afterClose = true;  // the handler runs to its end
  };
  QTimer::singleShot(0, [form] { QTest::mouseClick(form->Button1->Widget(), Qt::LeftButton); });
  Application->Run();
  EXPECT_EQ(form->clicks1, 1);
  EXPECT_TRUE(afterClose);
  EXPECT_TRUE(form->Closed());
  EXPECT_FALSE(form->Widget()->isVisible());
  EXPECT_GE(form->resizes, 1);
  EXPECT_TRUE(maximisedInResize);
  // The window, frame included, filled the screen.
  const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
  const QSize frame = form->Widget()->frameGeometry().size() - form->Widget()->size();
  EXPECT_EQ(QSize(form->seen.back().clientWidth, form->seen.back().clientHeight) + frame, screen);
  EXPECT_EQ(form->seen.back().top, form->seen.back().clientHeight - 28);  // aligned before the handler ran
  EXPECT_EQ(form->seen.back().width, form->seen.back().clientWidth);
  EXPECT_EQ(form->destroys, 0);
  Application->DestroyForms();
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(ApplicationTest, RunReturnsAtOnceWhenTheFormClosedBefore) {
  TTestForm* form = nullptr;
  TTestForm::onCreate = [](TTestForm& f) { f.Close(); };
  Application->CreateForm(form);
  Application->Run();
  EXPECT_FALSE(form->Widget()->isVisible());
  EXPECT_EQ(form->resizes, 0);
}

TEST_F(ApplicationTest, AnErrorInOnResizeIsShownEachTimeAndTheLoopGoesOn) {
  TTestForm* form = nullptr;
  Application->CreateForm(form);
  form->SetWindowState(wsNormal);
  TTestForm::onResize = [](TTestForm&) { throw Exception("resize failed"); };
  host.Answer(mrOk);
  form->Show();
  ASSERT_EQ(host.Boxes().size(), 1u);
  host.Answer(mrOk);
  form->Widget()->resize(400, 300);
  ASSERT_EQ(host.Boxes().size(), 2u);
  ExpectErrorBox(host.Boxes()[1], "resize failed.");
  EXPECT_EQ(form->resizes, 2);
}

TEST_F(ApplicationTest, OnDestroyRunsOnceBeforeTheFormsGo) {
  TTestForm* form = nullptr;
  Application->CreateForm(form);
  form->DoDestroy();
  form->DoDestroy();
  EXPECT_EQ(form->destroys, 1);
  TTestForm* other = nullptr;
  Application->CreateForm(other);
  const int before = TTestForm::destroyedTotal;
  Application->DestroyForms();
  EXPECT_EQ(TTestForm::destroyedTotal, before + 1);  // only the form that had not run it
  EXPECT_EQ(Application->MainForm(), nullptr);
}

}  // namespace
