// Files the imaging tests make for themselves: a scratch folder, JPEG files
// of known content written with TurboJPEG, and GIF files written with giflib.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imgtest {

using Bytes = std::vector<uint8_t>;

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& Path() const { return path_; }
  // Writes `name` in the folder and returns its full path.
  std::string Write(const std::string& name, const Bytes& bytes) const;

 private:
  std::string path_;
};

Bytes ReadFile(const std::string& path);

struct Rgb {
  uint8_t r, g, b;
};

// The four-quadrant picture: top-left red, top-right green, bottom-left
// blue, bottom-right white (quadrant edges on 8-pixel block edges).
constexpr int kQuadWidth = 64;
constexpr int kQuadHeight = 48;
Rgb QuadrantColour(int x, int y, int width, int height);

// A JPEG of the four-quadrant picture at the given size (4:4:4, quality 95),
// or in grey when `grey`.
Bytes QuadrantJpeg(int width = kQuadWidth, int height = kQuadHeight, bool grey = false);

// Offsets inside a JPEG: the SOF and SOS markers, and the end of the SOS
// segment (where the compressed data begins). -1 when absent.
long SofOffset(const Bytes& jpeg);
long SosOffset(const Bytes& jpeg);
long ScanDataOffset(const Bytes& jpeg);
// Rewrites the frame size that the SOF segment claims.
Bytes WithFrameSize(Bytes jpeg, int width, int height);

// One image of a GIF: its place on the screen, its colour indices row by
// row (top row first), an optional colour table of its own and an optional
// transparent index.
struct GifImage {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  std::vector<Rgb> localColours;
  int transparent = -1;
  std::vector<uint8_t> indices;
};

struct GifLayout {
  int width = 0, height = 0;
  int background = 0;
  std::vector<Rgb> globalColours;  // a power of two entries, or none
  std::vector<GifImage> images;
};

// Writes the GIF described by `layout` (GIF89a) to `path`.
void WriteGif(const std::string& path, const GifLayout& layout);

// Number of open file descriptors of this process.
int OpenDescriptors();

}  // namespace imgtest
