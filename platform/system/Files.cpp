// Folders, the current folder and the executable's path.
#include "platform/system/Files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>

#include "platform/system/Errors.h"
#include "platform/system/HostFs.h"
#include "platform/system/Paths.h"

BOOL CreateDirectoryA(const char* path, void* /*securityAttributes*/) {
  auto target = sys::Enter("CreateDirectoryA", path);
  if (!target) return CORVALEN_FALSE;
  if (mkdir(target->host.c_str(), 0777) != 0) return sys::Fail(sys::ErrorFromErrno(errno, ERROR_PATH_NOT_FOUND));
  return CORVALEN_TRUE;
}

BOOL RemoveDirectoryA(const char* path) {
  auto target = sys::Enter("RemoveDirectoryA", path);
  if (!target) return CORVALEN_FALSE;
  if (target->isDriveRoot) return sys::Fail(ERROR_ACCESS_DENIED);
  if (rmdir(target->host.c_str()) == 0) return CORVALEN_TRUE;
  int err = errno;
  struct stat st;
  if (err == ENOTDIR && lstat(target->host.c_str(), &st) == 0) return sys::Fail(sys::kErrorDirectory);
  return sys::Fail(sys::ErrorFromErrno(err));
}

AnsiString GetCurrentDir() {
  std::string cwd = hostfs::CurrentFolder();
  return cwd.empty() ? AnsiString() : paths::ToWindows(cwd);
}

bool SetCurrentDir(const AnsiString& path) {
  auto target = sys::Enter("SetCurrentDir", path.c_str());
  if (!target) return false;
  if (chdir(target->host.c_str()) != 0) return sys::Fail(sys::ErrorFromErrno(errno, ERROR_PATH_NOT_FOUND));
  return true;
}

namespace {
std::optional<AnsiString>& ExecutableOverride() {
  static std::optional<AnsiString> path;
  return path;
}
}  // namespace

AnsiString ExecutablePath() {
  if (ExecutableOverride()) return *ExecutableOverride();
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  return paths::ToWindows(std::string_view(buffer, static_cast<size_t>(n)));
}

void SetExecutablePathForTesting(const AnsiString& winPath) {
  if (winPath.empty()) {
    ExecutableOverride().reset();
  } else {
    ExecutableOverride() = winPath;
  }
}
