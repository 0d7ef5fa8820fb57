// The proposed destination and the two folders read from the registry.
#include <QCoreApplication>

#include "platform/gui/Forms.h"
#include "platform/registry/Registry.h"
#include "platform/text/FixedText.h"
#include "tests/setup_window/FrameFixture.h"

namespace {

const char kDefaultDest[] = "C:\\Program Files\\Corvalen";

struct DefaultsCase {
  const char* what;
  std::string systemHive;  // body of system.reg
  std::string userHive;    // body of user.reg
  const char* refusedKey;  // full path that RegOpenKey refuses, or nullptr
  const char* programFiles;
  const char* desktop;
  const char* edit;
};

const std::string kDesktop = DesktopHive("\"Desktop\"=\"C:\\\\users\\\\me\\\\Desktop\"");

const DefaultsCase kDefaults[] = {
    {"program files", ProgramFilesHive("\"ProgramFilesDir\"=\"C:\\\\Program Files\""), kDesktop, nullptr,
     "C:\\Program Files", "C:\\users\\me\\Desktop", "C:\\Program Files\\Corvalen"},
    {"value ending in a separator", ProgramFilesHive("\"ProgramFilesDir\"=\"D:\\\\Apps\\\\\""), kDesktop, nullptr,
     "D:\\Apps\\", "C:\\users\\me\\Desktop", "D:\\Apps\\Corvalen"},
    {"drive root", ProgramFilesHive("\"ProgramFilesDir\"=\"E:\\\\\""), kDesktop, nullptr, "E:\\",
     "C:\\users\\me\\Desktop", "E:\\Corvalen"},
    {"expandable string, unexpanded", ProgramFilesHive("\"ProgramFilesDir\"=str(2):\"%SystemDrive%\\\\Apps\""),
     kDesktop, nullptr, "%SystemDrive%\\Apps", "C:\\users\\me\\Desktop", "%SystemDrive%\\Apps\\Corvalen"},
    {"missing keys", "", "", nullptr, "", "", kDefaultDest},
    {"missing values", ProgramFilesHive("\"CommonFilesDir\"=\"C:\\\\Common\""),
     DesktopHive("\"Personal\"=\"C:\\\\users\\\\me\\\\Documents\""), nullptr, "", "", kDefaultDest},
    {"empty values", ProgramFilesHive("\"ProgramFilesDir\"=\"\""), DesktopHive("\"Desktop\"=\"\""), nullptr, "", "",
     kDefaultDest},
    {"program-files key refused", ProgramFilesHive("\"ProgramFilesDir\"=\"D:\\\\Apps\""), kDesktop,
     "HKEY_LOCAL_MACHINE\\", "", "C:\\users\\me\\Desktop", kDefaultDest},
    {"desktop key refused", ProgramFilesHive("\"ProgramFilesDir\"=\"D:\\\\Apps\""), kDesktop, "HKEY_CURRENT_USER\\",
     "D:\\Apps", "", "D:\\Apps\\Corvalen"},
    {"desktop with its separator, stored as read", "",
     DesktopHive("\"Desktop\"=\"Z:\\\\home\\\\me\\\\Desktop\\\\\""), nullptr, "", "Z:\\home\\me\\Desktop\\",
     kDefaultDest},
};

TEST_F(FrameTest, ReadDefaultFoldersProposesTheDestination) {
  for (const DefaultsCase& c : kDefaults) {
    SCOPED_TRACE(c.what);
    root_->WriteSystemHive(c.systemHive);
    root_->WriteUserHive(c.userHive);
    fault::Clear();
    if (c.refusedKey != nullptr) fault::Add({.call = "RegOpenKey", .pathContains = c.refusedKey});
    auto form = LoadFrame();
    form->ReadDefaultFolders();
    EXPECT_EQ(form->ProgramFilesFolder, c.programFiles);
    EXPECT_EQ(form->DesktopFolder, c.desktop);
    EXPECT_EQ(form->Edit1->Text(), c.edit);
  }
  EXPECT_TRUE(host_.Boxes().empty());
}

// Under Shift-JIS, "ソ" ends in the byte 0x5C: that byte is no separator, so
// one is added before the product folder.
TEST_F(FrameTest, ReadDefaultFoldersSeesNoSeparatorInADoubleByteCharacter) {
  const CodePage previous = ActiveCodePage();
  SetActiveCodePage(CodePage::Cp932);
  root_->WriteSystemHive(ProgramFilesHive("\"ProgramFilesDir\"=\"D:\\\\\xE3\x82\xBD\""));
  auto form = LoadFrame();
  form->ReadDefaultFolders();
  const std::string pf = form->ProgramFilesFolder;
  const std::string edit = form->Edit1->Text();
  SetActiveCodePage(previous);
  EXPECT_EQ(pf, "D:\\\x83\x5C");
  EXPECT_EQ(edit, "D:\\\x83\x5C\\Corvalen");
}

// A value of another type than text: the registry's error is shown as the
// error box, FormCreate stops there, and the window opens all the same.
TEST_F(FrameTest, AProgramFilesValueOfTheWrongTypeIsReportedAndTheWindowStillOpens) {
  const std::string hive = ProgramFilesHive("\"ProgramFilesDir\"=dword:00000001");
  root_->WriteSystemHive(hive);
  root_->WriteUserHive(kDesktop);
  root_->WriteFile("C:\\dist\\ifjpeg.spi", "not read here");

  AnsiString message;
  {
    TRegistry probe;
    probe.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(probe.OpenKey("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", false));
    try {
      probe.ReadString("ProgramFilesDir");
      FAIL() << "a dword read as text raised nothing";
    } catch (const ERegistryException& e) {
      message = e.Message();
    }
  }
  ASSERT_FALSE(message.empty());

  const AnsiString cwd = GetCurrentDir();
  host_.AnswerDefault();
  TFrameForm* form = CreateFrame();
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(host_.Boxes().size(), 1u);
  const BoxRequest& box = host_.Boxes()[0];
  EXPECT_EQ(box.kind, BoxKind::Error);
  EXPECT_EQ(box.icon, BoxIcon::Stop);
  EXPECT_EQ(box.text, message + ".");
  EXPECT_EQ(box.title, "Setup");
  EXPECT_EQ(box.buttons, std::vector<AnsiString>{"OK"});

  EXPECT_TRUE(form->WindowCreated());
  ASSERT_NE(form->PluginList, nullptr);
  EXPECT_EQ(form->PluginList->Count(), 0);
  EXPECT_EQ(form->PluginCount, 0);
  EXPECT_EQ(form->Edit1->Text(), kDefaultDest);
  EXPECT_EQ(form->DesktopFolder, "");
  EXPECT_EQ(GetCurrentDir(), cwd);
}

// The same window with a good value: the plug-ins of the installer's folder
// are listed, so their absence above comes from the error.
TEST_F(FrameTest, FormCreateListsThePluginsAfterReadingTheDefaults) {
  root_->WriteSystemHive(ProgramFilesHive("\"ProgramFilesDir\"=\"D:\\\\Apps\""));
  root_->WriteUserHive(kDesktop);
  root_->WriteFile("C:\\dist\\ifjpeg.spi", "not read here");
  TFrameForm* form = CreateFrame();
  EXPECT_TRUE(host_.Boxes().empty());
  ASSERT_NE(form->PluginList, nullptr);
  ASSERT_EQ(form->PluginCount, 1);
  EXPECT_EQ(form->PluginList->Strings(0), "ifjpeg.spi");
  EXPECT_FALSE(form->PluginList->Sorted);
  EXPECT_EQ(form->Edit1->Text(), "D:\\Apps\\Corvalen");
  EXPECT_EQ(form->DesktopFolder, "C:\\users\\me\\Desktop");
}

}  // namespace
