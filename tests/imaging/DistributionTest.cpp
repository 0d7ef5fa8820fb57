// The assembled sample distribution: its weekday pictures are pictures the
// library reads at the size the setup window expects, and the viewer's
// stand-in is a runnable script that says what it is.
#include <sys/stat.h>

#include <cstdio>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "tests/imaging/Modules.h"
#include "tests/imaging/TestFiles.h"

namespace imgtest {
namespace {

const std::string kDist = CORVALEN_DIST_DIR;

TEST(SampleDistribution, WeekdayPicturesAreDistinctJpegsOf640By480) {
  const ImgKit& kit = Library();
  ASSERT_NE(kit.fileType, nullptr);
  std::set<Bytes> seen;
  for (int day = 0; day < 7; ++day) {
    const std::string path = kDist + "/Image" + std::to_string(day) + ".jpg";
    SCOPED_TRACE(path);
    ImgKitFileInfo info{};
    ASSERT_NE(kit.fileType(path.c_str(), &info), 0);
    EXPECT_EQ(info.width, 640);
    EXPECT_EQ(info.height, 480);
    EXPECT_EQ(info.bitCount, 24);
    const int32_t image = kit.fileLoad(path.c_str(), "", "");
    EXPECT_NE(image, 0);
    kit.memFree(image);
    EXPECT_TRUE(seen.insert(ReadFile(path)).second) << "same picture as an earlier day";
  }
}

TEST(SampleDistribution, ViewerStandInIsAnExecutableScriptThatSaysSo) {
  const std::string path = kDist + "/Corvan.exe";
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  FILE* run = popen(("'" + path + "'").c_str(), "r");
  ASSERT_NE(run, nullptr);
  char line[256] = {};
  const bool read = fgets(line, sizeof line, run) != nullptr;
  EXPECT_EQ(pclose(run), 0);
  ASSERT_TRUE(read);
  EXPECT_NE(std::string(line).find("sample stand-in"), std::string::npos) << line;
}

}  // namespace
}  // namespace imgtest
