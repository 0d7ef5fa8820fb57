#include "picture/Fitting.h"

#include <algorithm>
#include <limits>

namespace picture {
namespace {

constexpr int64_t kAllowance = 16;

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// a * b / c, truncated toward zero; 0 when c is 0.
int32_t Scale(int64_t a, int64_t b, int64_t c) { return c == 0 ? 0 : Clamp32(a * b / c); }

}  // namespace

Placement FitPicture(int32_t width, int32_t height, int32_t panelWidth, int32_t panelHeight) {
  int64_t w = width;
  int64_t h = height;

  const int64_t aw = int64_t{panelWidth} - kAllowance;
  if (w > aw) {
    h = Scale(aw, h, w);
    w = aw;
  }
  const int64_t ah = int64_t{panelHeight} - kAllowance;
  if (h > ah) {
    w = Scale(ah, w, h);
    h = ah;
  }

  Placement p{};
  p.width = Clamp32(w);
  p.height = Clamp32(h);
  p.left = Clamp32((int64_t{panelWidth} - p.width) / 2);
  p.top = Clamp32((int64_t{panelHeight} - p.height) / 2);
  return p;
}

}  // namespace picture
