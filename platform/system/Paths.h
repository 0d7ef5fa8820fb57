// One mapper between Windows-style paths (the only kind the program sees) and
// host paths.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/abi/wintypes.h"
#include "platform/text/Text.h"

namespace paths {

// Maps a Windows path ("X:\a\b", "\a" on the current drive, "a\b" relative to
// the current folder; '/' accepted as a separator) to a host path. Existing
// components are matched without regard to ASCII case (exact match first).
// Fails with ERROR_INVALID_NAME (empty path, <>:"|?* in a name),
// ERROR_FILENAME_EXCED_RANGE (260 bytes or more), ERROR_INVALID_DRIVE
// (unmapped drive) or ERROR_PATH_NOT_FOUND ('..' above a drive root).
std::optional<std::string> ToHost(std::string_view winPath, DWORD* error = nullptr);

// A host path in Windows form through the longest matching drive ("Z:\..."
// for anything outside the other drives). A drive's root reads "C:\", every
// other path has no trailing separator. "" when no drive holds the path.
AnsiString ToWindows(std::string_view hostPath);

// ToHost with what the system calls need besides the host path.
struct Resolved {
  std::string host;    // the host path, existing components in their real case
  AnsiString windows;  // the absolute Windows path, "." and ".." applied
  bool isDriveRoot = false;
};
// Relative paths resolve against the current folder, "\a" against the current
// folder's drive, and "X:a" against the root of X:.
std::optional<Resolved> Resolve(std::string_view winPath, DWORD* error = nullptr);

}  // namespace paths
