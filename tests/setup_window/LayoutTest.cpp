// The layout of the setup window for a given client size.
#include <QCoreApplication>

#include "platform/gui/Forms.h"
#include "tests/setup_window/FrameFixture.h"

namespace {

struct Bounds {
  int left, top, width, height;
  bool operator==(const Bounds&) const = default;
};

void PrintTo(const Bounds& b, std::ostream* os) {
  *os << b.left << "," << b.top << " " << b.width << "x" << b.height;
}

Bounds Of(const TControl* c) { return {c->Left(), c->Top(), c->Width(), c->Height()}; }

struct LayoutCase {
  const char* what;
  int w, h;
  Bounds panel1, panel2, panel3, panel4;
  int editWidth;
};

// A negative height or width handed to a control is taken as 0; Panel4 then
// starts where Panel3 really ends.
const LayoutCase kLayouts[] = {
    {"1024 x 740", 1024, 740, {0, 0, 614, 120}, {0, 120, 614, 592}, {614, 0, 410, 512}, {614, 512, 410, 200}, 378},
    {"width 1023 truncates 613.8", 1023, 740, {0, 0, 613, 120}, {0, 120, 613, 592}, {613, 0, 410, 512},
     {613, 512, 410, 200}, 378},
    {"design width 521", 521, 383, {0, 0, 312, 120}, {0, 120, 312, 235}, {312, 0, 209, 155}, {312, 155, 209, 200}, 177},
    {"height S + 200", 800, 228, {0, 0, 480, 120}, {0, 120, 480, 80}, {480, 0, 320, 0}, {480, 0, 320, 200}, 288},
    {"height below S + 120", 800, 100, {0, 0, 480, 120}, {0, 120, 480, 0}, {480, 0, 320, 0}, {480, 0, 320, 200}, 288},
    {"narrower than the edit margin", 50, 400, {0, 0, 30, 120}, {0, 120, 30, 252}, {30, 0, 20, 172},
     {30, 172, 20, 200}, 0},
};

TEST_F(FrameTest, ArrangePanelsSplitsTheClientAreaIntoTwoColumns) {
  auto form = LoadFrame();
  for (const LayoutCase& c : kLayouts) {
    SCOPED_TRACE(c.what);
    form->SetClientWidth(c.w);
    form->SetClientHeight(c.h);
    ASSERT_EQ(form->ClientWidth(), c.w);
    ASSERT_EQ(form->ClientHeight(), c.h);
    form->ArrangePanels();
    EXPECT_EQ(Of(form->Panel1), c.panel1);
    EXPECT_EQ(Of(form->Panel2), c.panel2);
    EXPECT_EQ(Of(form->Panel3), c.panel3);
    EXPECT_EQ(Of(form->Panel4), c.panel4);
    EXPECT_EQ(Of(form->Edit1), (Bounds{16, 52, c.editWidth, 20}));
    EXPECT_EQ(form->Panel5->Height(), 28);
  }
}

TEST_F(FrameTest, ArrangePanelsLeavesThePanelsChildrenWhereTheyAre) {
  auto form = LoadFrame();
  std::vector<std::pair<TControl*, Bounds>> before;
  for (TControl* c : std::initializer_list<TControl*>{form->Label1, form->Label2, form->Label3, form->Label4,
                                                       form->Label5, form->Label6, form->Button1, form->Button2,
                                                       form->Button3, form->Image1}) {
    before.emplace_back(c, Of(c));
  }
  form->SetClientWidth(1600);
  form->SetClientHeight(1100);
  form->ArrangePanels();
  for (const auto& [c, bounds] : before) {
    SCOPED_TRACE(c->Name());
    EXPECT_EQ(Of(c), bounds);
  }
  // The browse button does not follow the wider edit box.
  EXPECT_EQ(form->Edit1->Width(), 608);
  EXPECT_EQ(form->Button3->Left(), 240);
}

TEST_F(FrameTest, ArrangePanelsAppliesTheWholeLayoutAgainAtTheSameSize) {
  auto form = LoadFrame();
  form->SetClientWidth(1024);
  form->SetClientHeight(740);
  form->ArrangePanels();
  form->Panel1->SetBounds(5, 6, 7, 8);
  form->Panel4->SetTop(3);
  form->Edit1->SetWidth(10);
  form->ArrangePanels();
  EXPECT_EQ(Of(form->Panel1), (Bounds{0, 0, 614, 120}));
  EXPECT_EQ(Of(form->Panel4), (Bounds{614, 512, 410, 200}));
  EXPECT_EQ(form->Edit1->Width(), 378);
}

TEST_F(FrameTest, TheShownWindowIsLaidOutForItsMaximisedSize) {
  TFrameForm* form = CreateFrame();
  form->Show();
  QCoreApplication::processEvents();
  const int w = form->ClientWidth();
  const int h = form->ClientHeight();
  ASSERT_GT(w, 521);
  const int left = w * 60 / 100;
  EXPECT_EQ(Of(form->Panel5), (Bounds{0, h - 28, w, 28}));
  EXPECT_EQ(Of(form->Panel1), (Bounds{0, 0, left, 120}));
  EXPECT_EQ(Of(form->Panel2), (Bounds{0, 120, left, h - 148}));
  EXPECT_EQ(Of(form->Panel3), (Bounds{left, 0, w - left, h - 228}));
  EXPECT_EQ(Of(form->Panel4), (Bounds{left, h - 228, w - left, 200}));
  EXPECT_EQ(form->Edit1->Width(), w - left - 32);
}

}  // namespace
