// Creating every missing level of a folder path.
#include <functional>
#include <string>

#include "platform/system/Fault.h"
#include "platform/text/Text.h"
#include "tests/install/InstallFixture.h"

namespace {

struct ForceCase {
  const char* name;
  std::string path;
  std::function<void(TempRoot&)> arrange;
  bool result;
  Tree newOnC;  // entries of C:\ that the call (or arrange) adds
  Tree newOnD;  // entries of D:\ that the call (or arrange) adds
};

void PrintTo(const ForceCase& c, std::ostream* os) { *os << c.name; }

void Nothing(TempRoot&) {}

const ForceCase kCases[] = {
    {"DriveRoot", "C:\\", Nothing, false, {}, {}},
    {"DriveOnly", "C:", Nothing, false, {}, {}},
    {"Empty", "", Nothing, false, {}, {}},
    {"OneLetterFolder", "C:\\a", Nothing, true, {"a\\"}, {}},
    {"TrailingSeparator", "C:\\a\\", Nothing, true, {"a\\"}, {}},
    {"ExistingFolders", "C:\\Program Files", Nothing, true, {}, {}},
    {"ExistingLevelsAboveNewOne", "C:\\Program Files\\Corvalen", Nothing, true, {"Program Files\\Corvalen\\"}, {}},
    {"FromBareRoot", "D:\\A\\B\\Corvalen", Nothing, true, {}, {"A\\", "A\\B\\", "A\\B\\Corvalen\\"}},
    {"FileInTheMiddle", "C:\\a\\b\\c\\d",
     [](TempRoot& r) {
       r.MakeFolder("C:\\a");
       r.WriteFile("C:\\a\\b", "a file");
     },
     false, {"a\\", "a\\b"}, {}},
    {"FileAtTheEnd", "C:\\a\\b", [](TempRoot& r) { r.WriteFile("C:\\a", "a file"); }, false, {"a"}, {}},
    {"CreationFailsAtMiddleLevel", "D:\\A\\B\\Corvalen",
     [](TempRoot&) { fault::Add({"CreateDirectoryA", 0, "D:\\A\\B", 5, -1}); }, false, {}, {"A\\"}},
    {"CreationFailsAtLastLevel", "D:\\A\\B\\Corvalen",
     [](TempRoot&) { fault::Add({"CreateDirectoryA", 0, "Corvalen", 5, -1}); }, false, {}, {"A\\", "A\\B\\"}},
};

class ForceFoldersTest : public InstallTest, public ::testing::WithParamInterface<ForceCase> {};

TEST_P(ForceFoldersTest, CreatesTheMissingLevels) {
  const ForceCase& c = GetParam();
  Tree expectedC = TreeOf("C:\\");
  Tree expectedD = TreeOf("D:\\");
  c.arrange(*root_);
  expectedC.insert(c.newOnC.begin(), c.newOnC.end());
  expectedD.insert(c.newOnD.begin(), c.newOnD.end());

  EXPECT_EQ(form_->ForceFolders(c.path), c.result);
  EXPECT_EQ(TreeOf("C:\\"), expectedC);
  EXPECT_EQ(TreeOf("D:\\"), expectedD);
  EXPECT_TRUE(host_->Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Paths, ForceFoldersTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Under Shift-JIS the second byte of a double-byte character can be 0x5C; it
// never counts as a separator, neither in the level scan nor at the end.
class ForceFoldersDoubleByteTest : public InstallTest {
 protected:
  void SetUp() override {
    InstallTest::SetUp();
    previous_ = ActiveCodePage();
    SetActiveCodePage(CodePage::Cp932);
  }
  void TearDown() override {
    SetActiveCodePage(previous_);
    InstallTest::TearDown();
  }
  CodePage previous_ = CodePage::Utf8;
};

TEST_F(ForceFoldersDoubleByteTest, TrailingByteIsNoSeparator) {
  const std::string so = "\x83\x5C";  // katakana so
  struct Case {
    std::string path;
    Tree added;
  };
  const Case cases[] = {
      // Its second byte at position 5 would otherwise split "C:\" + lead byte.
      {"C:\\" + so + "\\d", {"ソ\\", "ソ\\d\\"}},
      // Ending in the character: a separator is still added.
      {"C:\\ab" + so, {"abソ\\"}},
      {"C:\\x" + so + "y", {"xソy\\"}},
  };
  for (const Case& c : cases) {
    const Tree before = TreeOf("C:\\");
    EXPECT_TRUE(form_->ForceFolders(c.path));
    Tree expected = before;
    expected.insert(c.added.begin(), c.added.end());
    EXPECT_EQ(TreeOf("C:\\"), expected) << Utf8FromAnsi(c.path);
  }
}

}  // namespace
