// The destination check on its own: texts at the edges and paths that do not
// fit the MAX_PATH buffer. The ordinary ways through it are exercised by the
// installation sequence's table.
#include <string>
#include <vector>

#include "tests/install/InstallFixture.h"

namespace {

const char kQuestion[] = " はありません。\nこのフォルダーを新しく作成しますか？";
const char kCannot[] = " を作成出来ません。";

// The folders below C:\ that make up a path on C: (each level, '\'-ended).
Tree LevelsOf(const std::string& path) {
  Tree levels;
  for (size_t i = 3; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\') levels.insert(path.substr(3, i - 3) + "\\");
  }
  return levels;
}

struct DestCase {
  const char* name;
  std::string dest;
  std::vector<int> answers;
  std::vector<ExpectedBox> boxes;
  bool result;
  Tree added;  // entries of C:\ that the call adds
};

void PrintTo(const DestCase& c, std::ostream* os) { *os << c.name; }

std::vector<DestCase> Cases() {
  const std::string fits = LongPath(252);  // DEST\System is 259 bytes
  Tree fitsTree = LevelsOf(fits);
  fitsTree.insert({fits.substr(3) + "\\System\\", fits.substr(3) + "\\Temp\\"});
  const std::string tooLong = LongPath(253);
  return {
      {"EmptyText", "", {mrYes}, {Question(kQuestion), Plain(kCannot)}, false, {}},
      {"DriveRoot", "C:\\", {mrYes}, {Question(std::string("C:\\") + kQuestion), Plain(std::string("C:\\") + kCannot)}, false, {}},
      {"DriveWithoutSeparator", "C:", {mrYes}, {Question(std::string("C:") + kQuestion), Plain(std::string("C:") + kCannot)}, false, {}},
      {"LongestThatFits", fits, {mrYes}, {Question(fits + kQuestion)}, true, fitsTree},
      {"SystemWouldNotFit", tooLong, {}, {Plain(tooLong + kCannot)}, false, {}},
      {"LongerThanTheBuffer", LongPath(300), {}, {Plain(LongPath(300) + kCannot)}, false, {}},
      {"ZeroByteInside", std::string("C:\\a\0b", 6), {}, {Plain(std::string("C:\\a\0b", 6) + kCannot)}, false, {}},
  };
}

class PrepareDestinationTest : public InstallTest, public ::testing::WithParamInterface<DestCase> {};

TEST_P(PrepareDestinationTest, AsksCreatesOrRefuses) {
  const DestCase& c = GetParam();
  QueueAnswers(*host_, c.boxes, c.answers);
  Tree expected = TreeOf("C:\\");
  expected.insert(c.added.begin(), c.added.end());

  EXPECT_EQ(form_->PrepareDestination(c.dest), c.result);
  ExpectBoxes(*host_, c.boxes);
  EXPECT_EQ(TreeOf("C:\\"), expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, PrepareDestinationTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A destination too long for the whole tree is refused even when a folder of
// its first 259 bytes exists: nothing is looked at through a cut path.
TEST_F(InstallTest, LongDestinationRefusedBeforeTheExistenceTest) {
  const std::string dest = LongPath(300);
  root_->MakeFolder(dest.substr(0, 259));
  const Tree before = TreeOf("C:\\");
  host_->Answer(mrOk);
  EXPECT_FALSE(form_->PrepareDestination(dest));
  ExpectBoxes(*host_, {Plain(dest + kCannot)});
  EXPECT_EQ(TreeOf("C:\\"), before);
}

}  // namespace
