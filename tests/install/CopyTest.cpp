// The file copy on its own, run as the installation sequence runs it: with
// the installer's folder current and the destination tree already made.
#include <string>
#include <vector>

#include "platform/system/Fault.h"
#include "setup_window/WorkingFolder.h"
#include "tests/install/InstallFixture.h"

namespace {

const char kPrefix[] = "copying> ";

class CopyTest : public InstallTest {
 protected:
  void SetUp() override {
    InstallTest::SetUp();
    root_->MakeFolder(std::string(kDest) + "\\System");
    root_->MakeFolder(std::string(kDest) + "\\Temp");
    form_->Panel5->SetCaption(kPrefix);
  }
  bool Copy() {
    bool copied = false;
    WithInstallerFolder([&] { copied = form_->CopyProductFiles(); });
    return copied;
  }
  std::string Target(size_t index) const {
    const std::string name = CopyOrder()[index];
    return std::string(kDest) + (index < kProgramFiles.size() ? "\\" : "\\System\\") + name;
  }
  std::string Source(size_t index) const { return std::string(kDistFolder) + "\\" + DistFile(CopyOrder()[index]); }
};

TEST_F(CopyTest, CopiesTheManifestInOrderUnderItsOwnNames) {
  EXPECT_TRUE(Copy());
  EXPECT_EQ(TreeOf("C:\\"), InstalledTree(CopyOrder().size()));
  for (size_t i = 0; i < CopyOrder().size(); ++i) EXPECT_EQ(root_->ReadFile(Target(i)), root_->ReadFile(Source(i)));
  // Each status is the prefix read at entry and one name: the last attempted.
  EXPECT_EQ(form_->Panel5->Caption(), kPrefix + kPlugins.back());
}

TEST_F(CopyTest, PluginCountBoundsThePlugins) {
  for (int32_t count : {0, 1}) {
    form_->PluginCount = count;
    EXPECT_TRUE(Copy());
    const size_t copied = kProgramFiles.size() + kLibraryModules.size() + static_cast<size_t>(count);
    EXPECT_EQ(TreeOf("C:\\"), InstalledTree(copied)) << count;
    EXPECT_EQ(form_->Panel5->Caption(), kPrefix + CopyOrder()[copied - 1]);
    form_->Panel5->SetCaption(kPrefix);
  }
}

TEST_F(CopyTest, ExistingTargetsAreReplaced) {
  root_->WriteFile(Target(1), "old");
  root_->WriteFile(Target(13), "old");
  EXPECT_TRUE(Copy());
  EXPECT_EQ(root_->ReadFile(Target(1)), root_->ReadFile(Source(1)));
  EXPECT_EQ(root_->ReadFile(Target(13)), root_->ReadFile(Source(13)));
  EXPECT_EQ(TreeOf("C:\\"), InstalledTree(CopyOrder().size()));
}

// The first failure ends everything; the status names the file that failed.
TEST_F(CopyTest, FirstFailureEndsTheCopy) {
  for (const std::string name : {"Kxtec.txt", "ImgCom3.dll", "Alpha.spi"}) {
    SCOPED_TRACE(name);
    fault::Add({"CopyFileA", 0, name, 5, -1});
    EXPECT_FALSE(Copy());
    EXPECT_EQ(form_->Panel5->Caption(), kPrefix + name);
    size_t index = 0;
    while (CopyOrder()[index] != name) ++index;
    EXPECT_EQ(TreeOf("C:\\"), InstalledTree(index));
    fault::Clear();
    for (size_t i = 0; i < CopyOrder().size(); ++i) std::remove(root_->Host(Target(i)).c_str());
    form_->Panel5->SetCaption(kPrefix);
  }
}

// Bare names are found in the current folder: without the switch to the
// installer's folder the first file is missing.
TEST_F(CopyTest, SourcesComeFromTheCurrentFolder) {
  EXPECT_FALSE(form_->CopyProductFiles());
  EXPECT_EQ(form_->Panel5->Caption(), kPrefix + kProgramFiles.front());
  EXPECT_EQ(TreeOf("C:\\"), InstalledTree(0));
}

}  // namespace
