// The shell link object writing real link files, read back by lnkinfo (an
// independent reader) and by our own reader.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/shell/LnkReader.h"
#include "platform/shell/ShellLink.h"
#include "platform/system/Fault.h"
#include "platform/text/Text.h"
#include "tests/support/Lnkinfo.h"
#include "tests/support/TempRoot.h"

namespace {

const char kDesktop[] = "C:\\users\\me\\Desktop";
const char kLink[] = "C:\\users\\me\\Desktop\\Corvalen Version 2.20.lnk";
const char kTarget[] = "C:\\Program Files\\Corvalen\\Corvan.exe";

std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

std::set<std::string> Entries(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* e = readdir(dir)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.insert(name);
    }
    closedir(dir);
  }
  return names;
}

// The steps the desktop-shortcut stage takes, with the same COM calls.
HRESULT WriteLink(const AnsiString& target, const AnsiString& linkPath, const AnsiString& description) {
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link));
  if (SUCCEEDED(hr)) {
    IPersistFile* file = nullptr;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
      hr = link->SetPath(target.c_str());
      if (SUCCEEDED(hr)) hr = link->SetDescription(description.c_str());
      if (SUCCEEDED(hr)) {
        char16_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
        hr = file->Save(wide, 1);
      }
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return hr;
}

class ShellLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    codePage_ = ActiveCodePage();
    root_ = std::make_unique<TempRoot>();
    root_->MakeFolder("C:\\users");
    root_->MakeFolder("C:\\users\\me");
    root_->MakeFolder(kDesktop);
  }
  void TearDown() override {
    fault::Clear();
    SetActiveCodePage(codePage_);
    root_.reset();
  }

  LnkinfoRun Lnkinfo(const std::string& hostPath, const char* codepage = "windows-1252") {
    return RunLnkinfo(hostPath, codepage);
  }

  std::unique_ptr<TempRoot> root_;
  CodePage codePage_ = CodePage::Utf8;
};

TEST_F(ShellLinkTest, LnkinfoReadsTheTargetAndNoDescription) {
  ASSERT_EQ(WriteLink(kTarget, kLink, ""), S_OK);
  const std::string host = root_->Host(kLink);
  const LnkinfoRun run = Lnkinfo(host);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(LnkinfoField(run.output, "Local path").value_or("<none>"), kTarget) << run.output;
  EXPECT_EQ(run.output.find("escription"), std::string::npos) << run.output;

  auto parsed = lnk::LnkReader::Parse(ReadHostFile(host));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->localBasePath, kTarget);
  EXPECT_FALSE(parsed->description.has_value());
  EXPECT_EQ(Entries(root_->Host(kDesktop)), std::set<std::string>{"Corvalen Version 2.20.lnk"});
}

TEST_F(ShellLinkTest, ADescriptionIsWrittenOnlyWhenGiven) {
  ASSERT_EQ(WriteLink(kTarget, kLink, "Picture viewer"), S_OK);
  const LnkinfoRun run = Lnkinfo(root_->Host(kLink));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(LnkinfoField(run.output, "Description").value_or("<none>"), "Picture viewer") << run.output;
}

TEST_F(ShellLinkTest, TheLocalPathIsInTheActiveCodePage) {
  SetActiveCodePage(CodePage::Cp932);
  const std::string target = "C:\\\x83\x76\x83\x8D\x83\x4F\x83\x89\x83\x80\\Corvan.exe";
  ASSERT_EQ(WriteLink(target, kLink, ""), S_OK);
  const std::string host = root_->Host(kLink);
  const LnkinfoRun run = Lnkinfo(host, "windows-932");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(LnkinfoField(run.output, "Local path").value_or("<none>"),
            "C:\\\xE3\x83\x97\xE3\x83\xAD\xE3\x82\xB0\xE3\x83\xA9\xE3\x83\xA0\\Corvan.exe")
      << run.output;
  auto parsed = lnk::LnkReader::Parse(ReadHostFile(host));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->localBasePath, target);  // the Shift-JIS bytes themselves
}

TEST_F(ShellLinkTest, ALeftoverTemporaryFileIsReplacedAndRemoved) {
  const std::string host = root_->Host(kLink);
  const std::string temp = shell_link::TempPathFor(host);
  { std::ofstream(temp) << "left over by an interrupted save"; }
  ASSERT_EQ(WriteLink(kTarget, kLink, ""), S_OK);
  EXPECT_NE(access(host.c_str(), F_OK), -1);
  EXPECT_EQ(access(temp.c_str(), F_OK), -1);
  auto parsed = lnk::LnkReader::Parse(ReadHostFile(host));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->localBasePath, kTarget);

  // Saving again replaces the link whole.
  ASSERT_EQ(WriteLink("D:\\Other\\Corvan.exe", kLink, ""), S_OK);
  EXPECT_EQ(LnkinfoField(Lnkinfo(host).output, "Local path").value_or("<none>"), "D:\\Other\\Corvan.exe");
  EXPECT_EQ(Entries(root_->Host(kDesktop)).size(), 1u);
}

TEST_F(ShellLinkTest, FailedSavesLeaveNothingBehind) {
  struct Case {
    const char* what;
    AnsiString link;
    std::function<void()> arrange;
  };
  const Case cases[] = {
      {"missing folder", "C:\\users\\me\\NoDesktop\\Corvalen Version 2.20.lnk", [] {}},
      {"missing drive", "Q:\\Desktop\\Corvalen Version 2.20.lnk", [] {}},
      {"empty name", "", [] {}},
      {"refused by the seam", kLink,
       [] {
         fault::Rule rule;
         rule.call = "ShellLinkSave";
         rule.pathContains = "Corvalen Version";
         fault::Add(rule);
       }},
      {"name taken by a folder", kLink, [this] { root_->MakeFolder(kLink); }},
  };
  for (const Case& c : cases) {
    fault::Scope scope;
    c.arrange();
    const std::set<std::string> desktop = Entries(root_->Host(kDesktop));
    const std::set<std::string> home = Entries(root_->Host("C:\\users\\me"));
    const HRESULT hr = WriteLink(kTarget, c.link, "");
    EXPECT_TRUE(FAILED(hr)) << c.what;
    EXPECT_EQ(Entries(root_->Host(kDesktop)), desktop) << c.what;
    EXPECT_EQ(Entries(root_->Host("C:\\users\\me")), home) << c.what;
  }
  EXPECT_TRUE(root_->IsFolder(kLink));  // the folder in the way is untouched
}

TEST_F(ShellLinkTest, TheSeamsErrorBecomesTheResult) {
  fault::Scope scope;
  fault::Rule rule;
  rule.call = "ShellLinkSave";
  fault::Add(rule);
  EXPECT_EQ(WriteLink(kTarget, kLink, ""), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(root_->Exists(kLink));
}

TEST_F(ShellLinkTest, SaveWithoutAName) {
  CoInitialize(nullptr);
  IPersistFile* file = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistFile,
                             reinterpret_cast<void**>(&file)),
            S_OK);
  EXPECT_EQ(file->Save(nullptr, 1), E_INVALIDARG);
  file->Release();
  CoUninitialize();
}

}  // namespace
