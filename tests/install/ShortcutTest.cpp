// The desktop shortcut: where the link goes, what it holds (read back by
// lnkinfo, a reader written by nobody here), and its failures.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell/ShellLink.h"
#include "platform/system/Fault.h"
#include "tests/install/InstallFixture.h"
#include "tests/support/Lnkinfo.h"

namespace {

const std::string kLinkPath = std::string(kDesktop) + "\\" + kLinkName;

// COM is not left initialised: a creation without CoInitialize is refused.
bool ComIsUninitialised() {
  IUnknown* object = nullptr;
  const HRESULT hr =
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object));
  if (SUCCEEDED(hr)) object->Release();
  return hr == CO_E_NOTINITIALIZED;
}

TEST_F(InstallTest, ShortcutPointsAtTheInstalledViewer) {
  EXPECT_TRUE(form_->MakeDesktopShortcut());
  EXPECT_EQ(TreeOf(kDesktop), Tree{kLinkName});
  const std::string report = RunLnkinfo(root_->Host(kLinkPath)).output;
  EXPECT_EQ(LnkinfoField(report, "Local path").value_or("<none>"), std::string(kDest) + "\\Corvan.exe") << report;
  EXPECT_EQ(LnkinfoField(report, "Description"), std::nullopt) << report;
  EXPECT_EQ(LnkinfoField(report, "Command line arguments"), std::nullopt) << report;
  EXPECT_EQ(LnkinfoField(report, "Working directory"), std::nullopt) << report;
  EXPECT_EQ(shell_link::LiveObjects(), 0);
  EXPECT_TRUE(ComIsUninitialised());
}

// One separator between the desktop folder and the link's name (a save
// through a doubled separator would fail here).
TEST_F(InstallTest, ShortcutNameJoinsTheDesktopFolderOnce) {
  fault::Add({"ShellLinkSave", 0, "\\\\", 5, -1});
  for (const std::string desktop : {"C:\\Desktop", "C:\\Desktop\\"}) {
    form_->DesktopFolder = desktop;
    EXPECT_TRUE(form_->MakeDesktopShortcut()) << desktop;
    EXPECT_EQ(TreeOf(kDesktop), Tree{kLinkName}) << desktop;
    std::remove(root_->Host(kLinkPath).c_str());
  }
}

struct ShortcutFailure {
  const char* name;
  std::function<void(TempRoot&, TFrameForm&)> arrange;
};

void PrintTo(const ShortcutFailure& c, std::ostream* os) { *os << c.name; }

const ShortcutFailure kFailures[] = {
    {"SaveFails", [](TempRoot&, TFrameForm&) { fault::Add({"ShellLinkSave", 0, "", 5, -1}); }},
    {"DesktopMissing", [](TempRoot&, TFrameForm& f) { f.DesktopFolder = "C:\\Nowhere"; }},
    {"NoDesktopFolder", [](TempRoot&, TFrameForm& f) { f.DesktopFolder.clear(); }},
    // The link's path needs more than MAX_PATH wide units; what would fit of
    // it ("...\Corvalen") names a file that could be written, so a cut name
    // would show up on that desktop.
    {"LinkPathTooLongForTheWideBuffer",
     [](TempRoot& r, TFrameForm& f) {
       f.DesktopFolder = LongPath(250);
       r.MakeFolder(f.DesktopFolder);
     }},
};

class ShortcutFailureTest : public InstallTest, public ::testing::WithParamInterface<ShortcutFailure> {};

TEST_P(ShortcutFailureTest, FailsLeavingNothing) {
  GetParam().arrange(*root_, *form_);
  const Tree beforeC = TreeOf("C:\\");
  const Tree beforeD = TreeOf("D:\\");
  EXPECT_FALSE(form_->MakeDesktopShortcut());
  EXPECT_EQ(TreeOf("C:\\"), beforeC);
  EXPECT_EQ(TreeOf("D:\\"), beforeD);
  EXPECT_EQ(shell_link::LiveObjects(), 0);
  EXPECT_TRUE(ComIsUninitialised());
  EXPECT_TRUE(host_->Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, ShortcutFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// The result is the failing step's own code.
TEST_F(InstallTest, CreateShellLinkReturnsTheFailingResult) {
  fault::Add({"ShellLinkSave", 0, "", 112, -1});
  EXPECT_EQ(form_->CreateShellLink("C:\\x\\Corvan.exe", kLinkPath, ""), HRESULT_FROM_WIN32(112));
  fault::Clear();
  EXPECT_LT(form_->CreateShellLink("C:\\x\\Corvan.exe", LongPath(250) + "\\" + kLinkName, ""), 0);
  EXPECT_EQ(form_->CreateShellLink("C:\\x\\Corvan.exe", kLinkPath, ""), S_OK);
  EXPECT_EQ(LnkinfoField(RunLnkinfo(root_->Host(kLinkPath)).output, "Local path").value_or("<none>"), "C:\\x\\Corvan.exe");
}

}  // namespace
