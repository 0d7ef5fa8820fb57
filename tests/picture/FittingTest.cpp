// Where Image1 goes: shrink to the panel less 16 pixels, width first, then
// height, truncating each quotient toward zero; then centre.
#include <gtest/gtest.h>

#include "picture/Fitting.h"

namespace {

struct FitCase {
  const char* what;
  int32_t w, h, panelW, panelH;
  picture::Placement expected;
};
void PrintTo(const FitCase& c, std::ostream* os) { *os << c.what; }


class FitPictureTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitPictureTest, PlacesThePicture) {
  const FitCase& c = GetParam();
  const picture::Placement p = picture::FitPicture(c.w, c.h, c.panelW, c.panelH);
  EXPECT_EQ(p.width, c.expected.width) << c.what;
  EXPECT_EQ(p.height, c.expected.height) << c.what;
  EXPECT_EQ(p.left, c.expected.left) << c.what;
  EXPECT_EQ(p.top, c.expected.top) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitPictureTest,
    ::testing::Values(
        FitCase{"both steps: 568 x 426, then 526 x 395", 640, 480, 584, 411, {526, 395, 29, 8}},
        FitCase{"width step only, 448.5 truncated", 640, 480, 614, 592, {598, 448, 8, 72}},
        FitCase{"small picture is only centred", 200, 100, 501, 301, {200, 100, 150, 100}},
        FitCase{"exactly 16 narrower: not scaled", 568, 300, 584, 411, {568, 300, 8, 55}},
        FitCase{"one pixel wider than the allowance", 569, 300, 584, 411, {568, 299, 8, 56}},
        FitCase{"exactly 16 lower: not scaled", 100, 395, 584, 411, {100, 395, 242, 8}},
        FitCase{"height step only", 100, 800, 584, 411, {49, 395, 267, 8}},
        FitCase{"65535 square into 1024 x 768", 65535, 65535, 1024, 768, {752, 752, 136, 8}},
        FitCase{"products beyond 32 bits", 2000000000, 2000000000, 1024, 768, {752, 752, 136, 8}},
        FitCase{"wide panorama", 100000, 30000, 1024, 768, {1008, 302, 8, 233}},
        FitCase{"panel narrower than the allowance", 20, 20, 10, 10, {-6, -6, 8, 8}},
        FitCase{"negative quotient truncated toward zero", 7, 20, 10, 100, {-6, -17, 8, 58}},
        FitCase{"zero width as divisor gives height 0", 0, 50, 10, 100, {-6, 0, 8, 50}},
        FitCase{"zero height as divisor gives width 0", 50, 0, 100, 10, {0, -6, 50, 8}}));

}  // namespace
