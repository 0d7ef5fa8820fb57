// ImgFile3.dll: ImgKitFileType and ImgKitFileLoad for JPEG files.
#include <fcntl.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "imaging/ImageStore.h"
#include "imaging/ImgKit.h"
#include "imaging/JpegHeader.h"

static_assert(sizeof(ImgKitFileInfo) == 24);
static_assert(std::is_same_v<decltype(&ImgKitFileType), ImgKitFileTypeProc>);
static_assert(std::is_same_v<decltype(&ImgKitFileLoad), ImgKitFileLoadProc>);

namespace {

// Largest JPEG file that is read whole for decoding.
constexpr int64_t kMaxFileBytes = 1ll << 30;

class OpenFile {
 public:
  explicit OpenFile(const char* name) : fd_(name ? open(name, O_RDONLY | O_CLOEXEC) : -1) {}
  ~OpenFile() {
    if (fd_ >= 0) close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

struct TjDestroy {
  void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjDestroy>;

// The whole of a regular file, or null.
std::unique_ptr<uint8_t[]> ReadWhole(int fd, size_t* size) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
      st.st_size > kMaxFileBytes) {
    return nullptr;
  }
  std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[static_cast<size_t>(st.st_size)]);
  if (!data) return nullptr;
  size_t done = 0;
  const size_t want = static_cast<size_t>(st.st_size);
  while (done < want) {
    ssize_t got = read(fd, data.get() + done, want - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  if (done == 0) return nullptr;
  *size = done;  // a file that shrank meanwhile is decoded as far as it goes
  return data;
}

// Decoding succeeded, or ended with no more than a warning (for instance a
// picture cut short, whose missing part stays grey, as viewers show it).
bool Decoded(int result, void* tj) { return result == 0 || tjGetErrorCode(tj) == TJERR_WARNING; }

}  // namespace

int32_t ImgKitFileType(const char* fileName, void* info) {
  if (info == nullptr) return 0;
  OpenFile file(fileName);
  if (file.fd() < 0) return 0;
  imgkit::JpegHeader header;
  if (!imgkit::ReadJpegHeader(file.fd(), &header)) return 0;
  if (!imgkit::AcceptableSize(header.width, header.height)) return 0;
  ImgKitFileInfo record{};
  record.format = 1;
  record.width = header.width;
  record.height = header.height;
  record.bitCount = header.colorspace == TJCS_GRAY ? 8 : 24;
  record.fileSize = header.fileSize > INT32_MAX ? INT32_MAX : static_cast<int32_t>(header.fileSize);
  std::memcpy(info, &record, sizeof record);
  return 1;
}

int32_t ImgKitFileLoad(const char* fileName, const char* /*option1*/, const char* /*option2*/) {
  OpenFile file(fileName);
  if (file.fd() < 0) return 0;
  // Only a file whose header is whole and of an acceptable size is read:
  // the decoder would make up the missing end of a header.
  imgkit::JpegHeader header;
  if (!imgkit::ReadJpegHeader(file.fd(), &header) ||
      !imgkit::AcceptableSize(header.width, header.height)) {
    return 0;
  }
  size_t size = 0;
  std::unique_ptr<uint8_t[]> data = ReadWhole(file.fd(), &size);
  if (!data) return 0;

  TjHandle tj(tjInitDecompress());
  if (!tj) return 0;
  int width = 0, height = 0, subsamp = 0, colorspace = 0;
  int rc = tjDecompressHeader3(tj.get(), data.get(), size, &width, &height, &subsamp, &colorspace);
  if (!Decoded(rc, tj.get()) || !imgkit::AcceptableSize(width, height)) return 0;

  std::shared_ptr<imgkit::Image> image = imgkit::NewImage(width, height);
  if (!image) return 0;
  rc = tjDecompress2(tj.get(), data.get(), size, reinterpret_cast<unsigned char*>(image->pixels.get()),
                     width, width * 4, height, TJPF_BGRA, TJFLAG_FASTDCT);
  if (!Decoded(rc, tj.get())) return 0;
  data.reset();
  return imgkit::StoreImage(std::move(image));
}
