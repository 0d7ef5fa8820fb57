// The thread's last error and the errno mapping.
#include "platform/system/Errors.h"

#include <cerrno>

#include "platform/system/Fault.h"
#include "platform/system/Files.h"
#include "platform/system/HostFs.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

namespace sys {

DWORD ErrorFromErrno(int err, DWORD missing) {
  switch (err) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return missing;
    case ENOTDIR:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return ERROR_DISK_FULL;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case ETXTBSY:
    case EBUSY:
      return ERROR_SHARING_VIOLATION;
    case EINVAL:
      return kErrorInvalidParameter;
    default:  // EACCES, EPERM, EROFS, EISDIR and whatever else refuses access
      return ERROR_ACCESS_DENIED;
  }
}

DWORD MissingError(const std::string& host) {
  return hostfs::IsFolder(host.substr(0, host.find_last_of('/') + 1)) ? ERROR_FILE_NOT_FOUND
                                                                      : ERROR_PATH_NOT_FOUND;
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return CORVALEN_FALSE;
}

std::optional<paths::Resolved> Enter(std::string_view call, const char* winPath) {
  std::string_view path = winPath != nullptr ? winPath : "";
  if (auto rule = fault::Check(call, path)) {
    SetLastError(rule->error);
    return std::nullopt;
  }
  DWORD error = ERROR_SUCCESS;
  auto resolved = paths::Resolve(path, &error);
  if (!resolved) SetLastError(error);
  return resolved;
}

}  // namespace sys
