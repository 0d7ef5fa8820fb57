// FileOpen, FileSeek and FileClose over file descriptors, with the sharing
// rule: a file opened without sharing cannot be opened again until closed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <utility>

#include "platform/system/Errors.h"
#include "platform/system/Files.h"
#include "platform/system/OpenFiles.h"

namespace {

using FileKey = std::pair<dev_t, ino_t>;

struct Opened {
  int count = 0;
  bool exclusive = false;
};

std::mutex mutex;
std::map<FileKey, Opened> byFile;
std::map<int, FileKey> byHandle;

constexpr int kShareMask = 0xF0;
constexpr int fmShareExclusive = 0x10;

int Refuse(DWORD error) {
  SetLastError(error);
  return -1;
}

}  // namespace

namespace openfiles {
bool HeldExclusively(dev_t device, ino_t inode) {
  std::lock_guard lock(mutex);
  auto it = byFile.find({device, inode});
  return it != byFile.end() && it->second.exclusive;
}
}  // namespace openfiles

int FileOpen(const AnsiString& path, int mode) {
  auto target = sys::Enter("FileOpen", path.c_str());
  if (!target) return -1;
  int access = mode & 3;
  if (access == 3) return Refuse(sys::kErrorInvalidParameter);
  int flags = access == 0 ? O_RDONLY : access == 1 ? O_WRONLY : O_RDWR;
  int share = mode & kShareMask;
  bool exclusive = share == 0 || share == fmShareExclusive;

  int fd = open(target->host.c_str(), flags | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return Refuse(errno == ENOENT ? sys::MissingError(target->host) : sys::ErrorFromErrno(errno));
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return Refuse(ERROR_ACCESS_DENIED);
  }
  std::lock_guard lock(mutex);
  FileKey key{st.st_dev, st.st_ino};
  Opened& opened = byFile[key];
  if (opened.count > 0 && (opened.exclusive || exclusive)) {
    close(fd);
    return Refuse(ERROR_SHARING_VIOLATION);
  }
  ++opened.count;
  opened.exclusive = exclusive;
  byHandle[fd] = key;
  return fd;
}

int64_t FileSeek(int handle, int64_t offset, int origin) {
  int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : -1;
  if (whence < 0) return Refuse(sys::kErrorInvalidParameter);
  off_t at = lseek(handle, static_cast<off_t>(offset), whence);
  if (at < 0) return Refuse(sys::ErrorFromErrno(errno));
  return at;
}

void FileClose(int handle) {
  std::lock_guard lock(mutex);
  auto it = byHandle.find(handle);
  if (it == byHandle.end()) return;  // not ours: never close a stranger's descriptor
  auto file = byFile.find(it->second);
  if (--file->second.count == 0) byFile.erase(file);
  byHandle.erase(it);
  close(handle);
}
