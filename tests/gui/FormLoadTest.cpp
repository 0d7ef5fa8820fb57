// Forms built from a description: controls, parents, bounds, fonts, colours,
// texts, tab order, events, alignment, and the faults a description can have.
#include <QApplication>
#include <QEvent>
#include <QFontInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <string_view>

#include <gtest/gtest.h>

#include "TestForm.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Resources.h"

namespace {

class FormLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    TTestForm::ClearHooks();
    Application->CreateForm(form);
    ASSERT_NE(form, nullptr);
  }
  void TearDown() override {
    Application->DestroyForms();
    TTestForm::ClearHooks();
  }
  TTestForm* form = nullptr;
};

struct Bounds {
  const char* name;
  const char* parent;
  int left, top, width, height;
};

TEST_F(FormLoad, ControlsHaveTheirParentsAndBounds) {
  const Bounds table[] = {
      {"Panel1", "TestForm", 0, 0, 369, 137}, {"Panel2", "TestForm", 0, 280, 97, 65},
      {"Image1", "Panel2", 8, 8, 81, 49},     {"Panel4", "TestForm", 120, 104, 385, 241},
      {"Button1", "Panel4", 32, 108, 57, 25}, {"Button2", "Panel4", 144, 108, 57, 25},
      {"Edit1", "Panel4", 16, 52, 281, 20},   {"Button3", "Panel1", 240, 12, 33, 25},
      {"Panel5", "TestForm", 0, 355, 521, 28},
  };
  for (const Bounds& b : table) {
    SCOPED_TRACE(b.name);
    TControl* c = form->FindControl(b.name);
    ASSERT_NE(c, nullptr);
    ASSERT_NE(c->Parent(), nullptr);
    EXPECT_EQ(c->Parent()->Name(), b.parent);
    EXPECT_EQ(c->Widget()->parentWidget(), c->Parent()->Widget());
    EXPECT_EQ(c->Left(), b.left);
    EXPECT_EQ(c->Top(), b.top);
    EXPECT_EQ(c->Width(), b.width);
    EXPECT_EQ(c->Height(), b.height);
  }
  EXPECT_EQ(form->ClientWidth(), 521);
  EXPECT_EQ(form->ClientHeight(), 383);
  EXPECT_EQ(form->Controls().size(), 13u);
  EXPECT_EQ(form->FindControl("Nothing"), nullptr);
}

TEST_F(FormLoad, FieldsAreBoundToTheControlsOfTheirNames) {
  EXPECT_EQ(form->Panel5, form->FindControl("Panel5"));
  EXPECT_EQ(form->Label1, form->FindControl("Label1"));
  EXPECT_EQ(form->Edit1, form->FindControl("Edit1"));
  EXPECT_EQ(form->Image1, form->FindControl("Image1"));
  EXPECT_EQ(form->Button3, form->FindControl("Button3"));
}

TEST_F(FormLoad, TheWindowHasItsCaptionStateAndNoBorderIcons) {
  EXPECT_EQ(form->Caption(), " ");
  EXPECT_EQ(form->Widget()->windowTitle(), " ");
  EXPECT_EQ(form->WindowState(), wsMaximized);
  EXPECT_EQ(form->Position(), poDefault);
  EXPECT_FALSE(form->HasBorderIcons());
  ASSERT_TRUE(form->WindowCreated());
  const Qt::WindowFlags flags = form->Widget()->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  // The icon comes from the MAINICON resource: a 4 x 4 picture, as Qt's XPM
  // reader decodes it.
  const QIcon icon = form->Widget()->windowIcon();
  ASSERT_FALSE(icon.availableSizes().isEmpty());
  EXPECT_EQ(icon.availableSizes().first(), QSize(4, 4));
  const std::string_view xpm = FindResource("MAINICON");
  const QImage expected =
      QImage::fromData(reinterpret_cast<const uchar*>(xpm.data()), static_cast<int>(xpm.size()), "XPM");
  ASSERT_EQ(expected.size(), QSize(4, 4));
  EXPECT_EQ(icon.pixmap(QSize(4, 4)).toImage().convertToFormat(QImage::Format_ARGB32),
            expected.convertToFormat(QImage::Format_ARGB32));
}

TEST_F(FormLoad, FontsAreSubstitutedWithPixelHeights) {
  struct Case {
    TControl* control;
    const char* family;
    int pixels;
    bool bold, italic;
    QColor colour;
  };
  const QColor windowText = QApplication::palette().color(QPalette::WindowText);
  const Case table[] = {
      {form, "IPAPGothic", 12, false, false, windowText},
      {form->Label1, "IPAPMincho", 27, true, true, QColor(0, 0, 0)},
      {form->Label2, "IPAPGothic", 12, false, false, windowText},  // no font entry: the parent's
      {form->Label4, "IPAPMincho", 19, true, true, QColor(0, 0, 255)},
      {form->Button1, "IPAPGothic", 12, false, false, windowText},
      {form->Button3, "IPAPGothic", 21, false, false, QColor(0, 0, 0)},
      {form->Panel5, "IPAPMincho", 13, true, false, QColor(0, 0, 0)},
  };
  for (const Case& c : table) {
    SCOPED_TRACE(c.control->Name());
    const QFont font = c.control->Widget()->font();
    EXPECT_EQ(font.family(), c.family);
    EXPECT_EQ(QFontInfo(font).family(), c.family);  // the font is really there
    EXPECT_EQ(font.pixelSize(), c.pixels);
    EXPECT_EQ(font.bold(), c.bold);
    EXPECT_EQ(font.italic(), c.italic);
    EXPECT_EQ(c.control->Widget()->palette().color(QPalette::WindowText), c.colour);
  }
  EXPECT_EQ(form->Label1->Font().Name, "ＭＳ Ｐ明朝");
  EXPECT_EQ(form->Label1->Font().Height, -27);
  EXPECT_FALSE(form->Label1->ParentFont());
  EXPECT_TRUE(form->Label2->ParentFont());
}

TEST_F(FormLoad, AControlWithoutFontFollowsItsParent) {
  TFont font = form->Font();
  font.Height = -20;
  form->SetFont(font);
  EXPECT_EQ(form->Label2->Widget()->font().pixelSize(), 20);  // follows (via Panel1)
  EXPECT_EQ(form->Label1->Widget()->font().pixelSize(), 27);  // keeps its own
}

TEST_F(FormLoad, TextsAreReadBackAsWritten) {
  EXPECT_EQ(form->Label1->Caption(), "Corvalen Version 2.20 ");
  EXPECT_EQ(form->Label2->Caption(), "It's サample text");
  EXPECT_EQ(form->Button1->Caption(), "OK");
  EXPECT_EQ(form->Button3->Caption(), "...");
  EXPECT_EQ(static_cast<QPushButton*>(form->Button3->Widget())->text(), "...");
  EXPECT_EQ(form->Edit1->Text(), "C:\\Program Files\\Corvalen");
  EXPECT_EQ(form->Panel5->Caption(), " インストール先がよろしければ、ＯＫ ボタンを押して下さい。");
  EXPECT_EQ(form->Panel1->Caption(), "");
  EXPECT_EQ(form->Panel5->Alignment(), taLeftJustify);
  EXPECT_EQ(form->Panel5->BevelInner(), bvLowered);
  EXPECT_EQ(form->Panel5->BevelOuter(), bvLowered);
  EXPECT_EQ(form->Panel1->BevelOuter(), bvNone);
  EXPECT_EQ(form->Panel1->BevelInner(), bvNone);
  EXPECT_EQ(form->Panel5->Align(), alBottom);
  EXPECT_EQ(form->Panel1->Align(), alNone);
  EXPECT_TRUE(form->Image1->Stretch());
}

TEST_F(FormLoad, StatusCaptionReadsBackExactlyAndPaintsAtOnce) {
  form->Show();
  QApplication::processEvents();  // the window system reports the window shown
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  form->Panel5->Widget()->installEventFilter(&counter);
  const AnsiString texts[] = {"C:\\Program Files\\Corvalen\\Corvalen.exe", "", " a  b ", "\x83\x5C\xFF"};
  for (const AnsiString& text : texts) {
    const int before = counter.paints;
    form->Panel5->SetCaption(text);
    EXPECT_EQ(form->Panel5->Caption(), text);
    EXPECT_GT(counter.paints, before) << "no paint before returning to the event loop";
  }
  form->Panel5->Widget()->removeEventFilter(&counter);
}

TEST_F(FormLoad, PanelsPaintTheirColourAndImagesTheirPicture) {
  EXPECT_EQ(form->Panel2->Color(), 0xFF8000u);
  form->Show();
  const QImage panel = form->Panel2->Widget()->grab().toImage();
  EXPECT_EQ(QColor(panel.pixel(2, 2)), QColor(0x00, 0x80, 0xFF));

  TBitmap* bitmap = form->Image1->Picture()->Bitmap();
  bitmap->SetSize(2, 2);
  bitmap->Image().fill(QColor(255, 0, 0));
  form->Image1->SetBounds(0, 0, 8, 8);
  QImage shown = form->Image1->Widget()->grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(7, 7)), QColor(255, 0, 0));  // stretched over the whole control
  form->Image1->SetStretch(false);
  shown = form->Image1->Widget()->grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(1, 1)), QColor(255, 0, 0));
  EXPECT_NE(QColor(shown.pixel(7, 7)), QColor(255, 0, 0));  // natural size only
}

TEST_F(FormLoad, TabOrderFollowsTheDescription) {
  // Panel4 (0): Button2, Edit1, Button1; Panel1 (1): Button3; Edit2 (4).
  const std::vector<QWidget*> expected = {form->Button2->Widget(), form->Edit1->Widget(), form->Button1->Widget(),
                                          form->Button3->Widget(), form->Edit2->Widget()};
  std::vector<QWidget*> chain;
  QWidget* w = expected.front();
  do {
    if (std::find(expected.begin(), expected.end(), w) != expected.end()) chain.push_back(w);
    w = w->nextInFocusChain();
  } while (w != expected.front() && chain.size() <= expected.size());
  EXPECT_EQ(chain, expected);
  EXPECT_EQ(form->Button2->TabOrder(), 0);
  EXPECT_EQ(form->Label1->TabOrder(), -1);
}

TEST_F(FormLoad, EventsAreBoundByName) {
  form->Button1->Click();
  form->Button2->Click();
  form->Button2->Click();
  form->Button3->Click();  // no OnClick in the description: nothing happens
  EXPECT_EQ(form->clicks1, 1);
  EXPECT_EQ(form->clicks2, 2);
  EXPECT_EQ(form->creates, 1);
}

TEST_F(FormLoad, ButtonsAnswerEnterAndSpaceButAreNeverDefault) {
  auto* button = static_cast<QPushButton*>(form->Button1->Widget());
  EXPECT_FALSE(button->isDefault());
  EXPECT_FALSE(button->autoDefault());
  QTest::keyClick(button, Qt::Key_Return);
  EXPECT_EQ(form->clicks1, 1);
  QTest::keyClick(button, Qt::Key_Space);
  EXPECT_EQ(form->clicks1, 2);
  QTest::keyClick(form->Edit1->Widget(), Qt::Key_Return);
  QTest::keyClick(form->Widget(), Qt::Key_Escape);
  EXPECT_EQ(form->clicks1, 2);
  EXPECT_EQ(form->clicks2, 0);
}

TEST_F(FormLoad, EditReturnsWhatTheUserTyped) {
  auto* edit = static_cast<QLineEdit*>(form->Edit1->Widget());
  edit->clear();
  QTest::keyClicks(edit, "D:\\Tools");
  EXPECT_EQ(form->Edit1->Text(), "D:\\Tools");
  form->Edit1->SetText("E:\\x");
  EXPECT_EQ(edit->text(), "E:\\x");
  EXPECT_EQ(form->Edit1->Text(), "E:\\x");
}

TEST_F(FormLoad, LabelsSizeThemselvesToTheirText) {
  QWidget* w = form->Label1->Widget();
  EXPECT_EQ(form->Label1->Width(), w->sizeHint().width());
  EXPECT_EQ(form->Label1->Height(), w->sizeHint().height());
  EXPECT_NE(form->Label1->Width(), 338);  // the design width is not kept
  const int before = form->Label1->Width();
  form->Label1->SetCaption("Corvalen Version 2.20 and a much longer line");
  EXPECT_GT(form->Label1->Width(), before);
  EXPECT_EQ(form->Label1->Width(), w->sizeHint().width());
  // A new font, its own or the parent's, sizes the label again.
  TFont font = form->Label1->Font();
  font.Height = -40;
  form->Label1->SetFont(font);
  EXPECT_GE(form->Label1->Height(), 40);
  EXPECT_EQ(form->Label1->Height(), w->sizeHint().height());
  QWidget* follower = form->Label2->Widget();
  const int followerHeight = form->Label2->Height();
  TFont panelFont = form->Panel1->Font();
  panelFont.Height = -30;
  form->Panel1->SetFont(panelFont);
  EXPECT_GT(form->Label2->Height(), followerHeight);
  EXPECT_EQ(form->Label2->Height(), follower->sizeHint().height());
  EXPECT_EQ(form->Label2->Width(), follower->sizeHint().width());
}

TEST_F(FormLoad, BottomAlignedPanelFollowsTheClientArea) {
  const int sizes[][2] = {{1024, 740}, {300, 200}, {521, 28}, {640, 10}};
  for (const auto& s : sizes) {
    form->SetClientWidth(s[0]);
    form->SetClientHeight(s[1]);
    EXPECT_EQ(form->Panel5->Left(), 0);
    EXPECT_EQ(form->Panel5->Top(), s[1] - 28);
    EXPECT_EQ(form->Panel5->Width(), s[0]);
    EXPECT_EQ(form->Panel5->Height(), 28);  // the height stays
  }
  form->Panel5->SetHeight(40);
  EXPECT_EQ(form->Panel5->Top(), 10 - 40);
  form->Panel5->SetTop(0);  // an aligned control stays where its alignment puts it
  EXPECT_EQ(form->Panel5->Top(), 10 - 40);
}

TEST_F(FormLoad, OnResizeRunsFromTheFirstShowAndSeesTheAlignedPanel) {
  EXPECT_EQ(form->resizes, 0);
  form->SetWindowState(wsNormal);
  form->Show();
  ASSERT_GE(form->resizes, 1);
  form->Widget()->resize(700, 500);
  const TTestForm::Seen& last = form->seen.back();
  EXPECT_EQ(last.clientWidth, 700);
  EXPECT_EQ(last.clientHeight, 500);
  EXPECT_EQ(last.left, 0);
  EXPECT_EQ(last.top, 500 - 28);
  EXPECT_EQ(last.width, 700);
  EXPECT_EQ(last.height, 28);
}

TEST_F(FormLoad, NegativeSizesReadBackAsZero) {
  form->Panel1->SetHeight(-5);
  EXPECT_EQ(form->Panel1->Height(), 0);
  form->Panel1->SetWidth(-1);
  EXPECT_EQ(form->Panel1->Width(), 0);
  form->Image1->SetBounds(3, 4, -10, 7);
  EXPECT_EQ(form->Image1->Left(), 3);
  EXPECT_EQ(form->Image1->Width(), 0);
  EXPECT_EQ(form->Image1->Height(), 7);
}

// A form whose description comes from the test.
class LoaderForm : public TForm {
 public:
  LoaderForm() : TForm("LoaderForm") { BindEvent("Known", [] {}); }
  using TForm::BindField;
  using TForm::LoadFromResource;
  using TForm::LoadFromText;
};

std::string LoadFault(const std::string& body, const char* field = nullptr) {
  LoaderForm form;
  TPanel* panel = nullptr;
  if (field != nullptr) form.BindField(field, panel);
  try {
    form.LoadFromText("object F: TF\n" + body + "end\n", "SAMPLE");
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

struct FaultCase {
  const char* body;
  const char* message;
  const char* field;
};

class DescriptionFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(DescriptionFaults, RaiseAnErrorNamingTheFault) {
  const std::string message = LoadFault(GetParam().body, GetParam().field);
  EXPECT_NE(message.find(GetParam().message), std::string::npos) << message;
  EXPECT_EQ(message.rfind("Form description SAMPLE, line ", 0), 0u) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DescriptionFaults,
    ::testing::Values(
        FaultCase{"  Foo = 1\n", "line 2: unknown property Foo of F (TF)", nullptr},
        FaultCase{"  object L: TLabel\n    TabOrder = 1\n  end\n", "unknown property TabOrder of L (TLabel)", nullptr},
        FaultCase{"  object X: TListBox\n  end\n", "unknown class TListBox of X", nullptr},
        FaultCase{"  object B: TButton\n    OnClick = Missing\n  end\n", "no handler named Missing", nullptr},
        FaultCase{"  object P: TPanel\n    Align = alMiddle\n  end\n", "Align: unsupported value alMiddle", nullptr},
        FaultCase{"  Left = 'x'\n", "Left: a number is expected", nullptr},
        FaultCase{"  Caption = 3\n", "Caption: a string is expected", nullptr},
        FaultCase{"  Font.Style = [fsBlink]\n", "unsupported element fsBlink", nullptr},
        FaultCase{"  Font.Color = clChartreuse\n", "unsupported value clChartreuse", nullptr},
        FaultCase{"  BorderStyle = bsDialog\n", "unsupported value bsDialog", nullptr},
        FaultCase{"  AutoScroll = True\n", "AutoScroll: unsupported value True", nullptr},
        FaultCase{"  object P: TPanel\n  end\n  object P: TPanel\n  end\n", "a second control named P", nullptr},
        FaultCase{"  object L: TLabel\n    object M: TLabel\n    end\n  end\n", "L cannot hold M", nullptr},
        FaultCase{"  object L: TLabel\n  end\n", "no control named Panel9", "Panel9"},
        FaultCase{"  object L: TLabel\n  end\n", "control L is not of its field's class", "L"},
        FaultCase{"  Width = 'a' + 1\n", "string expected after '+'", nullptr}));

TEST(FormDescription, AMissingResourceIsAnError) {
  LoaderForm form;
  try {
    form.LoadFromResource("NO_SUCH_FORM");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("NO_SUCH_FORM"), std::string::npos);
  }
}

TEST(FormDescription, AFormWithoutOwnFontUsesTheDesktopFont) {
  LoaderForm form;
  form.LoadFromText("object F: TF\n  object L: TLabel\n    Caption = 'x'\n  end\nend\n", "SAMPLE");
  const TControl* label = form.FindControl("L");
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(label->ParentFont());
  EXPECT_EQ(label->Font().Name, "");
}

}  // namespace
