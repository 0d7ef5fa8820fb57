// The setup window as its description builds it: every control with its
// parent, bounds, font, colour, text and tab order, and the window itself.
#include <QFontInfo>
#include <QIcon>
#include <QImage>
#include <QWidget>

#include <set>

#include "platform/gui/Forms.h"
#include "platform/gui/Resources.h"
#include "platform/text/FixedText.h"
#include "tests/setup_window/FrameFixture.h"

namespace {

const char* ClassOf(TControl* c) {
  if (dynamic_cast<TPanel*>(c) != nullptr) return "TPanel";
  if (dynamic_cast<TLabel*>(c) != nullptr) return "TLabel";
  if (dynamic_cast<TButton*>(c) != nullptr) return "TButton";
  if (dynamic_cast<TEdit*>(c) != nullptr) return "TEdit";
  if (dynamic_cast<TImage*>(c) != nullptr) return "TImage";
  return "?";
}

AnsiString TextOf(TControl* c) {
  if (auto* p = dynamic_cast<TPanel*>(c)) return p->Caption();
  if (auto* l = dynamic_cast<TLabel*>(c)) return l->Caption();
  if (auto* b = dynamic_cast<TButton*>(c)) return b->Caption();
  if (auto* e = dynamic_cast<TEdit*>(c)) return e->Text();
  return "";
}

constexpr int kSizedToText = -1;
const char kGothic[] = "IPAPGothic";
const char kMincho[] = "IPAPMincho";

struct ControlRow {
  const char* name;
  const char* className;
  const char* parent;
  int left, top, width, height;  // width and height kSizedToText for labels
  const char* family;            // nullptr: no font of its own to show
  int pixels;
  bool bold, italic;
  TColor color;
  const char* text;  // UTF-8
  int tabOrder;      // -1: none
};

const ControlRow kControls[] = {
    {"Panel1", "TPanel", "FrameForm", 0, 0, 369, 137, kGothic, 12, false, false, clWindowText, "", 0},
    {"Label1", "TLabel", "Panel1", 24, 8, kSizedToText, kSizedToText, kMincho, 27, true, true, clBlack,
     "Corvalen Version 2.20 ", -1},
    {"Label2", "TLabel", "Panel1", 32, 48, kSizedToText, kSizedToText, kMincho, 27, true, true, clBlack,
     "Corvalen Project 1997-2026 ", -1},
    {"Label3", "TLabel", "Panel1", 48, 88, kSizedToText, kSizedToText, kMincho, 27, true, true, clBlack,
     "All rights reserved. ", -1},
    {"Panel2", "TPanel", "FrameForm", 0, 280, 97, 65, kGothic, 12, false, false, clWindowText, "", 1},
    {"Image1", "TImage", "Panel2", 8, 8, 81, 49, nullptr, 0, false, false, 0, "", -1},
    {"Panel3", "TPanel", "FrameForm", 8, 144, 281, 105, kGothic, 12, false, false, clWindowText, "", 2},
    {"Label4", "TLabel", "Panel3", 0, 54, kSizedToText, kSizedToText, kMincho, 29, true, true, clBlue, "Corvalen ",
     -1},
    {"Label5", "TLabel", "Panel3", 24, 94, kSizedToText, kSizedToText, kMincho, 29, true, true, clBlue,
     "セットアップへようこそ ", -1},
    {"Panel4", "TPanel", "FrameForm", 120, 104, 385, 241, kGothic, 12, false, false, clWindowText, "", 3},
    {"Label6", "TLabel", "Panel4", 24, 12, kSizedToText, kSizedToText, kMincho, 19, true, true, clBlue,
     "インストール先フォルダ ", -1},
    {"Button1", "TButton", "Panel4", 32, 108, 57, 25, kGothic, 12, false, false, clBlack, "OK", 0},
    {"Button2", "TButton", "Panel4", 144, 108, 57, 25, kGothic, 12, false, false, clBlack, "Cancel", 1},
    {"Edit1", "TEdit", "Panel4", 16, 52, 281, 20, kGothic, 12, false, false, clBlack, "C:\\Program Files\\Corvalen",
     2},
    {"Button3", "TButton", "Panel4", 240, 12, 33, 25, kGothic, 21, false, false, clBlack, "...", 3},
    {"Panel5", "TPanel", "FrameForm", 0, 355, 521, 28, kMincho, 13, true, false, clBlack,
     " インストール先がよろしければ、ＯＫ ボタンを押して下さい。", 4},
};

TEST_F(FrameTest, ControlsAreBuiltAsTheDescriptionLaysThemOut) {
  auto form = LoadFrame();
  EXPECT_EQ(form->Controls().size(), std::size(kControls));
  for (const ControlRow& row : kControls) {
    SCOPED_TRACE(row.name);
    TControl* c = form->FindControl(row.name);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(ClassOf(c), row.className);
    ASSERT_NE(c->Parent(), nullptr);
    EXPECT_EQ(c->Parent()->Name(), row.parent);
    EXPECT_EQ(c->Left(), row.left);
    EXPECT_EQ(c->Top(), row.top);
    if (row.width == kSizedToText) {
      // A label takes the size its text needs in its font.
      EXPECT_EQ(c->Width(), c->Widget()->sizeHint().width());
      EXPECT_EQ(c->Height(), c->Widget()->sizeHint().height());
      EXPECT_GT(c->Width(), 0);
    } else {
      EXPECT_EQ(c->Width(), row.width);
      EXPECT_EQ(c->Height(), row.height);
    }
    if (row.family != nullptr) {
      const QFont font = c->Widget()->font();
      EXPECT_EQ(font.family().toStdString(), row.family);
      // The desktop really has the stand-in font.
      EXPECT_EQ(QFontInfo(font).family().toStdString(), row.family);
      EXPECT_EQ(font.pixelSize(), row.pixels);
      EXPECT_EQ(font.bold(), row.bold);
      EXPECT_EQ(font.italic(), row.italic);
      EXPECT_EQ(c->Font().Height, -row.pixels);
      EXPECT_EQ(c->Font().Color, row.color);
    }
    EXPECT_EQ(TextOf(c), TX(row.text));
    EXPECT_EQ(c->TabOrder(), row.tabOrder);
  }
}

TEST_F(FrameTest, PublishedFieldsNameTheirControls) {
  auto form = LoadFrame();
  const std::pair<const char*, TControl*> fields[] = {
      {"Panel1", form->Panel1}, {"Panel2", form->Panel2}, {"Panel3", form->Panel3}, {"Panel4", form->Panel4},
      {"Panel5", form->Panel5}, {"Button1", form->Button1}, {"Button2", form->Button2}, {"Label1", form->Label1},
      {"Label2", form->Label2}, {"Label3", form->Label3}, {"Label4", form->Label4}, {"Label5", form->Label5},
      {"Image1", form->Image1}, {"Label6", form->Label6}, {"Edit1", form->Edit1}, {"Button3", form->Button3},
  };
  for (const auto& [name, field] : fields) {
    SCOPED_TRACE(name);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field, form->FindControl(name));
  }
  // Made empty by the constructor; the list comes with FormCreate.
  EXPECT_EQ(form->DesktopFolder, "");
  EXPECT_EQ(form->ProgramFilesFolder, "");
  EXPECT_EQ(form->PluginCount, 0);
  EXPECT_EQ(form->PluginList, nullptr);
}

TEST_F(FrameTest, PanelsAreBareContainersAndTheStatusLineIsSunkenAtTheBottom) {
  auto form = LoadFrame();
  for (TPanel* panel : {form->Panel1, form->Panel2, form->Panel3, form->Panel4}) {
    SCOPED_TRACE(panel->Name());
    EXPECT_EQ(panel->BevelInner(), bvNone);
    EXPECT_EQ(panel->BevelOuter(), bvNone);
    EXPECT_EQ(panel->Align(), alNone);
  }
  EXPECT_EQ(form->Panel5->Align(), alBottom);
  EXPECT_EQ(form->Panel5->Alignment(), taLeftJustify);
  EXPECT_EQ(form->Panel5->BevelInner(), bvLowered);
  EXPECT_EQ(form->Panel5->BevelOuter(), bvLowered);
  EXPECT_TRUE(form->Image1->Stretch());
  // The status line begins with an ASCII blank; ＯＫ is full-width and an
  // ASCII blank follows it.
  const std::string status = Utf8FromAnsi(form->Panel5->Caption());
  EXPECT_EQ(status.rfind(" \xE3\x82\xA4", 0), 0u);
  EXPECT_NE(status.find("\xEF\xBC\xAF\xEF\xBC\xAB \xE3\x83\x9C"), std::string::npos);
}

TEST_F(FrameTest, TheWindowOpensMaximisedWithoutTitleOrButtons) {
  TFrameForm* form = CreateFrame();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->WindowCreated());
  EXPECT_EQ(form->Caption(), " ");
  EXPECT_EQ(form->WindowState(), wsMaximized);
  EXPECT_EQ(form->Position(), poDefault);
  EXPECT_FALSE(form->HasBorderIcons());
  const Qt::WindowFlags flags = form->Widget()->windowFlags();
  EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
  // The design client size, before the window is shown.
  EXPECT_EQ(form->ClientWidth(), 521);
  EXPECT_EQ(form->ClientHeight(), 383);
  // The form's font, which the panels take over.
  EXPECT_EQ(form->Font().Name, TX("ＭＳ Ｐゴシック"));
  EXPECT_EQ(form->Font().Height, -12);
  EXPECT_FALSE(form->Font().Bold);
  EXPECT_FALSE(form->Font().Italic);
  EXPECT_EQ(form->Font().Color, clWindowText);
  // The application's icon: one 32 x 32 picture.
  const QIcon icon = form->Widget()->windowIcon();
  ASSERT_FALSE(icon.isNull());
  const QList<QSize> sizes = icon.availableSizes();
  ASSERT_EQ(sizes.size(), 1);
  EXPECT_EQ(sizes.front(), QSize(32, 32));
  const std::string_view xpm = FindResource("MAINICON");
  const QImage image = QImage::fromData(reinterpret_cast<const uchar*>(xpm.data()), static_cast<int>(xpm.size()), "XPM");
  ASSERT_EQ(image.size(), QSize(32, 32));
  std::set<QRgb> colours;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) colours.insert(image.pixel(x, y));
  }
  EXPECT_LE(colours.size(), 16u);
  EXPECT_TRUE(host_.Boxes().empty());
}

TEST_F(FrameTest, ButtonsAreBoundToTheirHandlers) {
  TFrameForm* form = CreateFrame();
  host_.AnswerFolder("D:\\Tools");
  form->Button3->Click();
  ASSERT_EQ(host_.Browses().size(), 1u);
  EXPECT_EQ(form->Edit1->Text(), "D:\\Tools\\Corvalen");

  EXPECT_FALSE(form->Closed());
  form->Button2->Click();
  EXPECT_TRUE(form->Closed());
  EXPECT_TRUE(host_.Boxes().empty());
}

}  // namespace
