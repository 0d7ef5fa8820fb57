// The "..." button: the folder browser and the rule that names the
// destination after the chosen folder.
#include "platform/gui/Forms.h"
#include "platform/text/FixedText.h"
#include "tests/setup_window/FrameFixture.h"

namespace {

struct BrowseCase {
  const char* chosen;  // nullptr: the user cancels
  const char* edit;    // Edit1 afterwards; it held "E:\typed" before
};

const BrowseCase kBrowse[] = {
    {nullptr, "E:\\typed"},
    {"D:\\", "D:\\Corvalen"},
    {"D:\\Tools", "D:\\Tools\\Corvalen"},
    {"D:\\Tools\\", "D:\\Tools\\Corvalen"},
    {"D:\\Corvalen", "D:\\Corvalen"},
    {"D:\\Corvalen\\Old", "D:\\Corvalen\\Old"},
    {"D:\\MyCorvalenFiles", "D:\\MyCorvalenFiles"},
    {"D:\\corvalen", "D:\\corvalen\\Corvalen"},
    {"\\\\server\\share", "\\\\server\\share\\Corvalen"},
    // An item without a file-system path: the destination stays as it was.
    {"", "E:\\typed"},
};

TEST_F(FrameTest, Button3ClickNamesTheDestinationAfterTheChosenFolder) {
  auto form = LoadFrame();
  for (const BrowseCase& c : kBrowse) {
    SCOPED_TRACE(c.chosen != nullptr ? c.chosen : "(cancelled)");
    const size_t before = host_.Browses().size();
    host_.AnswerFolder(c.chosen != nullptr ? std::optional<AnsiString>(c.chosen) : std::nullopt);
    form->Edit1->SetText("E:\\typed");
    form->Button3Click(nullptr);
    EXPECT_EQ(form->Edit1->Text(), c.edit);
    ASSERT_EQ(host_.Browses().size(), before + 1);
    EXPECT_EQ(host_.Browses().back().title, TX("フォルダを選択して下さい。"));
    EXPECT_EQ(host_.Browses().back().owner, form->Handle());
  }
  EXPECT_TRUE(host_.Boxes().empty());
}

TEST_F(FrameTest, Button3ClickReplacesTheDestinationAtEveryChoice) {
  auto form = LoadFrame();
  host_.AnswerFolder("D:\\One");
  host_.AnswerFolder("D:\\Two");
  host_.AnswerFolder(std::nullopt);
  form->Button3Click(nullptr);
  EXPECT_EQ(form->Edit1->Text(), "D:\\One\\Corvalen");
  form->Button3Click(nullptr);
  EXPECT_EQ(form->Edit1->Text(), "D:\\Two\\Corvalen");
  form->Button3Click(nullptr);
  EXPECT_EQ(form->Edit1->Text(), "D:\\Two\\Corvalen");
  EXPECT_EQ(host_.Browses().size(), 3u);
}

// Under Shift-JIS "ソ" ends in 0x5C, which is no separator: nothing is cut.
TEST_F(FrameTest, Button3ClickKeepsTheLastByteOfADoubleByteCharacter) {
  const CodePage previous = ActiveCodePage();
  SetActiveCodePage(CodePage::Cp932);
  auto form = LoadFrame();
  host_.AnswerFolder("D:\\\x83\x5C");
  form->Button3Click(nullptr);
  const std::string edit = form->Edit1->Text();
  const std::string title = host_.Browses().empty() ? std::string() : host_.Browses()[0].title;
  SetActiveCodePage(previous);
  EXPECT_EQ(edit, "D:\\\x83\x5C\\Corvalen");
  // The title in Shift-JIS.
  EXPECT_EQ(title,
            "\x83\x74\x83\x48\x83\x8B\x83\x5F\x82\xF0\x91\x49\x91\xF0\x82\xB5\x82\xC4\x89\xBA\x82\xB3\x82\xA2"
            "\x81\x42");
}

}  // namespace
