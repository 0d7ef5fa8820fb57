// CopyFileA. A new target is written under its own name and removed again
// when the copy fails; an existing target is replaced through a temporary
// file beside it and one rename, so it stays as it was when the copy fails.
// Either way no partial target is left behind by a failed copy.
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

// A file this copy made (the new target or a temporary file beside it);
// removed unless the copy keeps it.
struct MadeFile {
  std::string path;
  Fd file;
  bool kept = false;
  ~MadeFile() {
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

// How a copy may be broken off or disturbed by the fault seam.
struct Disturbance {
  long long failAfter = -1;  // stop with `failError` once this many bytes are written
  DWORD failError = ERROR_SUCCESS;
  long long shrinkAt = -1;  // cut the source at `sourcePath` to this many bytes
  const char* sourcePath = nullptr;
};

// Copies `in` to `out` in the kernel where it can, else through a buffer, up
// to the end of `in`. Returns ERROR_SUCCESS or the error that ended the copy;
// `written` counts the bytes copied.
DWORD CopyContents(int in, int out, const Disturbance& disturb, long long& written) {
  bool inKernel = true;
  std::vector<char> buffer;
  written = 0;
  while (true) {
    size_t want = size_t{1} << 20;
    for (long long stop : {disturb.failAfter, disturb.shrinkAt}) {
      if (stop >= 0 && written < stop) want = std::min<size_t>(want, static_cast<size_t>(stop - written));
    }
    if (disturb.failAfter >= 0 && written >= disturb.failAfter) return disturb.failError;
    if (disturb.shrinkAt >= 0 && written == disturb.shrinkAt && truncate(disturb.sourcePath, written) != 0) {
      return sys::ErrorFromErrno(errno);
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

// Copies the open source into the open target and gives the target the
// source's times.
DWORD Fill(int in, int out, const struct stat& source, const Disturbance& disturb) {
  fchmod(out, source.st_mode & 0777);
  long long written = 0;
  DWORD error = CopyContents(in, out, disturb, written);
  if (error != ERROR_SUCCESS) return error;
  // A source that ends early was cut while it was read (another program is
  // writing it): its copy would be a truncated file reported as whole.
  if (written < source.st_size) return ERROR_HANDLE_EOF;
  const timespec times[2] = {source.st_atim, source.st_mtim};
  if (futimens(out, times) != 0) return sys::ErrorFromErrno(errno);
  return ERROR_SUCCESS;
}

// Fills `file` from the open source and closes it.
DWORD FillAndClose(int in, MadeFile& file, const struct stat& source, const Disturbance& disturb) {
  const DWORD error = Fill(in, file.file.fd, source, disturb);
  if (error != ERROR_SUCCESS) return error;
  const int fd = file.file.fd;
  file.file.fd = -1;
  return close(fd) == 0 ? ERROR_SUCCESS : sys::ErrorFromErrno(errno);
}

// Writes a target that did not exist under its own name; removes it again
// when the copy fails. ERROR_ALREADY_EXISTS: another program made the name
// in the meantime, and nothing was written.
DWORD CopyToNewFile(int in, const struct stat& source, const std::string& target, const Disturbance& disturb) {
  MadeFile made;
  made.file.fd = open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
  if (made.file.fd < 0) {
    return errno == EEXIST ? ERROR_ALREADY_EXISTS : sys::ErrorFromErrno(errno, ERROR_PATH_NOT_FOUND);
  }
  made.path = target;
  const DWORD error = FillAndClose(in, made, source, disturb);
  made.kept = error == ERROR_SUCCESS;
  return error;
}

// Replaces `target` (or makes it) through a temporary file beside it.
DWORD CopyThroughTemporary(int in, const struct stat& source, const std::string& target, bool failIfExists,
                           const Disturbance& disturb) {
  MadeFile temp;
  std::string pattern = TempPathBeside(target);
  temp.file.fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (temp.file.fd < 0) return sys::ErrorFromErrno(errno, ERROR_PATH_NOT_FOUND);
  temp.path = pattern;
  DWORD error = FillAndClose(in, temp, source, disturb);
  if (error != ERROR_SUCCESS) return error;
  error = Publish(temp.path, target, failIfExists);
  if (error != ERROR_SUCCESS) return error;
  temp.kept = true;
  return ERROR_SUCCESS;
}

}  // namespace

BOOL CopyFileA(const char* source, const char* target, BOOL failIfExists) {
  std::string faultPath = std::string(source != nullptr ? source : "") + "\n" + (target != nullptr ? target : "");
  Disturbance disturb;
  if (auto rule = fault::Check("CopyFileA", faultPath)) {
    if (rule->failAfterBytes < 0 && rule->shrinkSourceAt < 0) return sys::Fail(rule->error);
    disturb.failAfter = rule->failAfterBytes;
    disturb.failError = rule->error;
    disturb.shrinkAt = rule->shrinkSourceAt;
  }
  DWORD error = ERROR_SUCCESS;
  auto from = paths::Resolve(source != nullptr ? source : "", &error);
  if (!from) return sys::Fail(error);
  auto to = paths::Resolve(target != nullptr ? target : "", &error);
  if (!to) return sys::Fail(error);
  disturb.sourcePath = from->host.c_str();

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
  } else if (errno == ENOENT && !to->isDriveRoot) {
    error = CopyToNewFile(in.fd, st, to->host, disturb);
    if (error == ERROR_SUCCESS) return CORVALEN_TRUE;
    if (error != ERROR_ALREADY_EXISTS) return sys::Fail(error);
    if (failIfExists) return sys::Fail(ERROR_FILE_EXISTS);
    // Someone else made the target meanwhile: replace it as any existing one.
    if (lstat(to->host.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) return sys::Fail(ERROR_ACCESS_DENIED);
  }

  error = CopyThroughTemporary(in.fd, st, to->host, failIfExists != CORVALEN_FALSE, disturb);
  if (error != ERROR_SUCCESS) return sys::Fail(error);
  return CORVALEN_TRUE;
}
