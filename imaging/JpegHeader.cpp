// Part of ImgFile3.dll: finds the header markers of a JPEG file and hands a
// copy of just those to TurboJPEG. Metadata (Exif, XMP, ICC, comments) can
// be megabytes long, so it is stepped over rather than read.
#include "imaging/JpegHeader.h"

#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace imgkit {
namespace {

// Upper bounds that stop a hostile file from making the scan expensive:
// how far into the file the first scan may start, how many segments may come
// before it, and how many header bytes are kept for the decoder.
constexpr int64_t kMaxScanBytes = 64ll << 20;
constexpr int kMaxSegments = 4096;
constexpr size_t kMaxKeptBytes = 1u << 20;

// Byte-wise reading of a file through a window of 64 KiB.
class FileBytes {
 public:
  FileBytes(int fd, int64_t size) : fd_(fd), size_(size), window_(64 * 1024) {}

  int64_t Size() const { return size_; }

  bool Byte(int64_t pos, uint8_t* out) {
    if (pos < 0 || pos >= size_) return false;
    if (pos < start_ || pos >= start_ + filled_) {
      if (!Fill(pos)) return false;
    }
    *out = window_[static_cast<size_t>(pos - start_)];
    return true;
  }

  bool Append(int64_t pos, int64_t count, std::vector<uint8_t>* out) {
    for (int64_t i = 0; i < count; ++i) {
      uint8_t b = 0;
      if (!Byte(pos + i, &b)) return false;
      out->push_back(b);
    }
    return true;
  }

 private:
  bool Fill(int64_t pos) {
    start_ = pos;
    filled_ = 0;
    while (filled_ < static_cast<int64_t>(window_.size())) {
      ssize_t got = pread(fd_, window_.data() + filled_, window_.size() - filled_, start_ + filled_);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      filled_ += got;
    }
    return filled_ > 0;
  }

  int fd_;
  int64_t size_;
  std::vector<uint8_t> window_;
  int64_t start_ = 0;
  int64_t filled_ = 0;
};

// Segments the decoder needs: everything but the application segments other
// than JFIF (APP0) and Adobe (APP14), and comments.
bool KeepSegment(uint8_t marker) {
  if (marker >= 0xE1 && marker <= 0xEF) return marker == 0xEE;
  return marker != 0xFE;
}

// Collects SOI and the kept segments up to and including the first SOS.
bool CollectHeader(FileBytes& file, std::vector<uint8_t>* kept) {
  uint8_t b0 = 0, b1 = 0;
  if (!file.Byte(0, &b0) || !file.Byte(1, &b1) || b0 != 0xFF || b1 != 0xD8) return false;
  kept->assign({0xFF, 0xD8});
  int64_t pos = 2;
  for (int segments = 0; segments < kMaxSegments; ++segments) {
    // Like the decoder, step over stray bytes and fill bytes before a marker.
    uint8_t marker = 0;
    for (;;) {
      if (pos > kMaxScanBytes) return false;
      uint8_t b = 0;
      if (!file.Byte(pos++, &b)) return false;
      if (b != 0xFF) continue;
      do {
        if (!file.Byte(pos++, &marker)) return false;
      } while (marker == 0xFF);
      if (marker != 0x00) break;
    }
    // Markers without a length (SOI, EOI, RSTn, TEM) cannot come before the scan.
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) return false;
    uint8_t hi = 0, lo = 0;
    if (!file.Byte(pos, &hi) || !file.Byte(pos + 1, &lo)) return false;
    const int64_t length = (hi << 8) | lo;  // counts its own two bytes
    if (length < 2 || pos + length > file.Size()) return false;
    if (KeepSegment(marker)) {
      if (kept->size() + 2 + static_cast<size_t>(length) > kMaxKeptBytes) return false;
      kept->push_back(0xFF);
      kept->push_back(marker);
      if (!file.Append(pos, length, kept)) return false;
    }
    pos += length;
    if (marker == 0xDA) return true;
  }
  return false;
}

}  // namespace

bool ReadJpegHeader(int fd, JpegHeader* header) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 4) return false;
  FileBytes file(fd, st.st_size);
  std::vector<uint8_t> kept;
  try {
    if (!CollectHeader(file, &kept)) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }

  std::unique_ptr<void, int (*)(tjhandle)> tj(tjInitDecompress(), tjDestroy);
  if (!tj) return false;
  int width = 0, height = 0, subsamp = 0, colorspace = 0;
  if (tjDecompressHeader3(tj.get(), kept.data(), kept.size(), &width, &height, &subsamp,
                          &colorspace) != 0 &&
      tjGetErrorCode(tj.get()) != TJERR_WARNING) {
    return false;
  }
  if (width <= 0 || height <= 0) return false;
  header->width = width;
  header->height = height;
  header->colorspace = colorspace;
  header->fileSize = st.st_size;
  return true;
}

}  // namespace imgkit
