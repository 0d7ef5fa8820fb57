// Where the welcome picture goes inside its panel: shrunk, never enlarged, to
// the panel less a 16-pixel allowance (width first, then height), and centred.
#pragma once

#include <cstdint>

namespace picture {

struct Placement {
  int32_t width;
  int32_t height;
  int32_t left;
  int32_t top;
};

// Products are formed before the division, in 64 bits so that a large picture
// cannot overflow them; quotients are truncated toward zero. A step whose
// divisor is 0 (a dimension that is already 0) gives 0 for the dimension it
// computes. Results beyond the 32-bit range are clamped to it.
Placement FitPicture(int32_t width, int32_t height, int32_t panelWidth, int32_t panelHeight);

}  // namespace picture
