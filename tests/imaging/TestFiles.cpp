#include "tests/imaging/TestFiles.h"

#include <dirent.h>
#include <gif_lib.h>
#include <turbojpeg.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace imgtest {

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "imgtest-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::Write(const std::string& name, const Bytes& bytes) const {
  const std::string path = path_ + "/" + name;
  // A new file rather than a truncated one: ext4 flushes a file that is
  // truncated and written again, which makes thousands of rewrites slow.
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
  return path;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Rgb QuadrantColour(int x, int y, int width, int height) {
  const bool right = x >= width / 2;
  const bool bottom = y >= height / 2;
  if (!bottom) return right ? Rgb{0, 255, 0} : Rgb{255, 0, 0};
  return right ? Rgb{255, 255, 255} : Rgb{0, 0, 255};
}

Bytes QuadrantJpeg(int width, int height, bool grey) {
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = QuadrantColour(x, y, width, height);
      uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
    }
  }
  tjhandle tj = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const int rc = tjCompress2(tj, rgb.data(), width, 0, height, TJPF_RGB, &out, &size,
                             grey ? TJSAMP_GRAY : TJSAMP_444, 95, 0);
  Bytes jpeg;
  if (rc == 0) jpeg.assign(out, out + size);
  tjFree(out);
  tjDestroy(tj);
  if (jpeg.empty()) throw std::runtime_error("tjCompress2 failed");
  return jpeg;
}

namespace {

// Offset of the first marker `code` before the compressed data, or -1.
long FindMarker(const Bytes& jpeg, uint8_t code, bool end) {
  size_t pos = 2;
  while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF) {
    const uint8_t marker = jpeg[pos + 1];
    const size_t length = (jpeg[pos + 2] << 8) | jpeg[pos + 3];
    if (marker == code) return static_cast<long>(end ? pos + 2 + length : pos);
    if (marker == 0xDA) break;
    pos += 2 + length;
  }
  return -1;
}

}  // namespace

long SofOffset(const Bytes& jpeg) { return FindMarker(jpeg, 0xC0, false); }
long SosOffset(const Bytes& jpeg) { return FindMarker(jpeg, 0xDA, false); }
long ScanDataOffset(const Bytes& jpeg) { return FindMarker(jpeg, 0xDA, true); }

Bytes WithFrameSize(Bytes jpeg, int width, int height) {
  const long sof = SofOffset(jpeg);
  if (sof < 0) throw std::runtime_error("no SOF0");
  // FF C0, length (2), precision (1), height (2), width (2)
  jpeg[sof + 5] = static_cast<uint8_t>(height >> 8);
  jpeg[sof + 6] = static_cast<uint8_t>(height);
  jpeg[sof + 7] = static_cast<uint8_t>(width >> 8);
  jpeg[sof + 8] = static_cast<uint8_t>(width);
  return jpeg;
}

namespace {

struct MapDeleter {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using Map = std::unique_ptr<ColorMapObject, MapDeleter>;

Map MakeMap(const std::vector<Rgb>& colours) {
  if (colours.empty()) return nullptr;
  std::vector<GifColorType> entries;
  for (const Rgb& c : colours) entries.push_back(GifColorType{c.r, c.g, c.b});
  Map map(GifMakeMapObject(static_cast<int>(entries.size()), entries.data()));
  if (!map) throw std::runtime_error("GifMakeMapObject failed (not a power of two?)");
  return map;
}

std::vector<int> FileRowOrder(int height, bool interlaced) {
  std::vector<int> order;
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  const int start[] = {0, 4, 2, 1};
  const int step[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = start[pass]; y < height; y += step[pass]) order.push_back(y);
  }
  return order;
}

}  // namespace

void WriteGif(const std::string& path, const GifLayout& layout) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  if (gif == nullptr) throw std::runtime_error("EGifOpenFileName failed");
  EGifSetGifVersion(gif, true);
  bool ok = true;
  Map global = MakeMap(layout.globalColours);
  ok = ok && EGifPutScreenDesc(gif, layout.width, layout.height, 8, layout.background, global.get()) == GIF_OK;
  for (const GifImage& image : layout.images) {
    if (!ok) break;
    if (image.transparent >= 0) {
      GraphicsControlBlock control{};
      control.TransparentColor = image.transparent;
      GifByteType block[4];
      EGifGCBToExtension(&control, block);
      ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block) == GIF_OK;
    }
    Map local = MakeMap(image.localColours);
    ok = ok && EGifPutImageDesc(gif, image.left, image.top, image.width, image.height,
                                image.interlaced, local.get()) == GIF_OK;
    for (int row : FileRowOrder(image.height, image.interlaced)) {
      if (!ok) break;
      std::vector<GifPixelType> line(image.indices.begin() + static_cast<long>(row) * image.width,
                                     image.indices.begin() + static_cast<long>(row + 1) * image.width);
      ok = EGifPutLine(gif, line.data(), image.width) == GIF_OK;
    }
  }
  if (EGifCloseFile(gif, &error) != GIF_OK || !ok) throw std::runtime_error("writing GIF failed");
}

int OpenDescriptors() {
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  int count = 0;
  while (readdir(dir) != nullptr) ++count;
  closedir(dir);
  return count;
}

}  // namespace imgtest
