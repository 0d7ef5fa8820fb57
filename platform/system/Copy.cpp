// CopyFileA: the copy goes into a temporary file beside the target, which
// then replaces the target in one rename. A copy that fails anywhere removes
// its temporary file, so no partial target is ever left and an existing
// target stays as it was.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/system/Errors.h"
#include "platform/system/Fault.h"
#include "platform/system/Files.h"
#include "platform/system/OpenFiles.h"

namespace {

// Closes a descriptor when it goes out of scope.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

// The temporary file beside the target; removed unless it was renamed.
struct TempFile {
  std::string path;
  Fd file;
  bool kept = false;
  ~TempFile() {
    if (!path.empty() && !kept) unlink(path.c_str());
  }
};

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Copies `in` to `out` in the kernel where it can, else through a buffer.
// `limit` >= 0 stops the copy with `limitError` once that many bytes are
// written. Returns ERROR_SUCCESS or the error that ended the copy.
DWORD CopyContents(int in, int out, long long limit, DWORD limitError) {
  bool inKernel = true;
  std::vector<char> buffer;
  long long written = 0;
  while (true) {
    size_t want = size_t{1} << 20;
    if (limit >= 0) {
      if (written >= limit) return limitError;
      want = std::min<size_t>(want, static_cast<size_t>(limit - written));
    }
    ssize_t n;
    if (inKernel) {
      n = copy_file_range(in, nullptr, out, nullptr, want, 0);
      if (n < 0 && written == 0 &&
          (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
        inKernel = false;
        continue;
      }
    } else {
      buffer.resize(size_t{1} << 16);
      n = read(in, buffer.data(), std::min(want, buffer.size()));
      if (n > 0 && !WriteAll(out, buffer.data(), static_cast<size_t>(n))) n = -1;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return sys::ErrorFromErrno(errno);
    if (n == 0) return ERROR_SUCCESS;
    written += n;
  }
}

std::string TempPathBeside(const std::string& target) {
  size_t slash = target.find_last_of('/');
  std::string name = target.substr(slash + 1);
  if (name.size() > 200) name = "corvalen-copy";
  return target.substr(0, slash + 1) + "." + name + ".XXXXXX";
}

// Puts the finished temporary file in the target's place.
DWORD Publish(const std::string& temp, const std::string& target, bool failIfExists) {
  if (!failIfExists) return rename(temp.c_str(), target.c_str()) == 0 ? ERROR_SUCCESS : sys::ErrorFromErrno(errno);
  if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return ERROR_SUCCESS;
  if (errno != EINVAL) return errno == EEXIST ? ERROR_FILE_EXISTS : sys::ErrorFromErrno(errno);
  // A file system without RENAME_NOREPLACE: link() refuses an existing name too.
  if (link(temp.c_str(), target.c_str()) != 0) return errno == EEXIST ? ERROR_FILE_EXISTS : sys::ErrorFromErrno(errno);
  unlink(temp.c_str());
  return ERROR_SUCCESS;
}

}  // namespace

BOOL CopyFileA(const char* source, const char* target, BOOL failIfExists) {
  std::string faultPath = std::string(source != nullptr ? source : "") + "\n" + (target != nullptr ? target : "");
  long long limit = -1;
  DWORD limitError = ERROR_SUCCESS;
  if (auto rule = fault::Check("CopyFileA", faultPath)) {
    if (rule->failAfterBytes < 0) return sys::Fail(rule->error);
    limit = rule->failAfterBytes;
    limitError = rule->error;
  }
  DWORD error = ERROR_SUCCESS;
  auto from = paths::Resolve(source != nullptr ? source : "", &error);
  if (!from) return sys::Fail(error);
  auto to = paths::Resolve(target != nullptr ? target : "", &error);
  if (!to) return sys::Fail(error);

  Fd in{open(from->host.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY)};
  if (in.fd < 0) return sys::Fail(errno == ENOENT ? sys::MissingError(from->host) : sys::ErrorFromErrno(errno));
  struct stat st;
  if (fstat(in.fd, &st) != 0) return sys::Fail(sys::ErrorFromErrno(errno));
  if (S_ISDIR(st.st_mode)) return sys::Fail(ERROR_ACCESS_DENIED);
  if (openfiles::HeldExclusively(st.st_dev, st.st_ino)) return sys::Fail(ERROR_SHARING_VIOLATION);
  struct stat existing;
  if (lstat(to->host.c_str(), &existing) == 0) {
    if (failIfExists) return sys::Fail(ERROR_FILE_EXISTS);
    if (S_ISDIR(existing.st_mode) || to->isDriveRoot) return sys::Fail(ERROR_ACCESS_DENIED);
    if (openfiles::HeldExclusively(existing.st_dev, existing.st_ino)) return sys::Fail(ERROR_SHARING_VIOLATION);
  }

  TempFile temp;
  std::string pattern = TempPathBeside(to->host);
  temp.file.fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (temp.file.fd < 0) return sys::Fail(sys::ErrorFromErrno(errno, ERROR_PATH_NOT_FOUND));
  temp.path = pattern;
  fchmod(temp.file.fd, st.st_mode & 0777);
  error = CopyContents(in.fd, temp.file.fd, limit, limitError);
  if (error != ERROR_SUCCESS) return sys::Fail(error);
  const timespec times[2] = {st.st_atim, st.st_mtim};
  if (futimens(temp.file.fd, times) != 0) return sys::Fail(sys::ErrorFromErrno(errno));
  int fd = temp.file.fd;
  temp.file.fd = -1;
  if (close(fd) != 0) return sys::Fail(sys::ErrorFromErrno(errno));
  error = Publish(temp.path, to->host, failIfExists != CORVALEN_FALSE);
  if (error != ERROR_SUCCESS) return sys::Fail(error);
  temp.kept = true;
  return CORVALEN_TRUE;
}
