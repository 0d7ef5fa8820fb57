#include "tests/e2e/RunFixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/Entry.h"
#include "platform/system/Files.h"
#include "platform/system/Paths.h"

namespace fs = std::filesystem;

const char kDest[] = "C:\\Program Files\\Corvalen";
const char kDesktop[] = "C:\\Desktop";
const char kLinkName[] = "Corvalen Version 2.20.lnk";

const std::vector<std::string> kProgramFiles = {
    "Corvan.exe", "Kx.txt",     "Kxopr.txt",  "Kxtec.txt",  "Readme.txt", "Image0.jpg",
    "Image1.jpg", "Image2.jpg", "Image3.jpg", "Image4.jpg", "Image5.jpg", "Image6.jpg"};
const std::vector<std::string> kLibraryModules = {"ImgCom3.dll",  "ImgCut3.dll",  "ImgDsp3.dll", "ImgEtc3.dll",
                                                  "ImgFile3.dll", "ImgScan3.dll", "ImgTiff3.dll"};

Tree TreeOf(const std::string& hostFolder) {
  Tree tree;
  const fs::path base = hostFolder;
  for (auto it = fs::recursive_directory_iterator(base); it != fs::recursive_directory_iterator(); ++it) {
    std::string rel = fs::relative(it->path(), base).string();
    if (it->is_directory() && !it->is_symlink()) rel += '/';
    tree.insert(rel);
  }
  return tree;
}

Tree RunTest::BaseTree() { return {"Program Files/", "Desktop/", "work/"}; }

void RunTest::SetUp() {
  root_ = std::make_unique<TempRoot>();
  root_->WriteSystemHive(
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n"
      "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n");
  root_->WriteUserHive(
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1700000000\n"
      "\"Desktop\"=\"C:\\\\Desktop\"\n");
  root_->MakeFolder(kDesktop);
  root_->MakeFolder("C:\\work");
  ASSERT_TRUE(fs::is_regular_file(Distribution() + "/Setup")) << "the distribution is not assembled";
}

void RunTest::TearDown() {
  if (user_) user_->Stop();
  user_.reset();
  // The stand-in may still be writing its record: give it the moment it needs.
  if (!notepad_.empty()) {
    NotepadRecord(false);
    std::remove(notepad_.c_str());
  }
  SetExecutablePathForTesting("");
  root_.reset();
}

std::string RunTest::Distribution() { return CORVALEN_DIST_DIR; }

void RunTest::UseDistribution(const std::string& hostFolder) {
  const AnsiString folder = paths::ToWindows(hostFolder);
  ASSERT_FALSE(folder.empty()) << hostFolder;
  SetExecutablePathForTesting(folder + "\\Setup");
}

void RunTest::StartIn(const std::string& hostFolder) {
  ASSERT_EQ(chdir(hostFolder.c_str()), 0) << hostFolder;
  const std::string record = root_->Path() + "/notepad.record";
  notepad_ = hostFolder + "/NOTEPAD.EXE";
  std::ofstream(notepad_, std::ios::trunc)
      << "#!/bin/sh\n"
      << "printf '%s|%s|%s\\n' \"$#\" \"$*\" \"$(pwd)\" > '" << record << ".tmp'\n"
      << "mv '" << record << ".tmp' '" << record << "'\n";
  ASSERT_EQ(chmod(notepad_.c_str(), 0755), 0);
}

int RunTest::Run(const std::vector<Step>& script) {
  user_ = std::make_unique<User>(script);
  user_->Start();
  const int code = RunSetup();
  user_->Stop();
  for (const std::string& problem : user_->Problems()) ADD_FAILURE() << problem;
  EXPECT_EQ(user_->StepsTaken(), script.size());
  return code;
}

std::string RunTest::NotepadRecord(bool wait) const {
  const std::string record = root_->Path() + "/notepad.record";
  // Long enough for a loaded machine to start a shell; only waited out when
  // the viewer was never started.
  for (int i = 0; i < (wait ? 400 : 1); ++i) {
    if (access(record.c_str(), F_OK) == 0) return ReadHost(record);
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return access(record.c_str(), F_OK) == 0 ? ReadHost(record) : "";
}

std::string RunTest::ReadHost(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

