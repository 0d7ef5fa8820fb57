// Inside the system layer: turning errno into the error codes GetLastError
// reports, a few constants the shared header does not carry, and the common
// start of every path call.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/abi/wintypes.h"
#include "platform/system/Paths.h"

namespace sys {

constexpr DWORD kErrorInvalidParameter = 87;
constexpr DWORD kErrorDirectory = 267;  // the name is not a folder

// The Windows meaning of an errno value; `missing` is what ENOENT means for
// the call at hand (a missing file or a missing folder on the way).
DWORD ErrorFromErrno(int err, DWORD missing = ERROR_FILE_NOT_FOUND);

// What ENOENT from opening `host` means: the file missing from an existing
// folder, or a folder on the way missing.
DWORD MissingError(const std::string& host);

// Sets the last error and returns FALSE, for the calls' failure paths.
BOOL Fail(DWORD error);

// The common start of a call on one path: the fault seam (with the path as
// given), then the mapping. Sets the last error and returns nothing when the
// call is to fail.
std::optional<paths::Resolved> Enter(std::string_view call, const char* winPath);

}  // namespace sys
