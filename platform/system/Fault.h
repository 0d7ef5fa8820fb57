// The seam through which tests make a platform call fail: the Nth call of a
// name, or every call whose path contains a given text, fails with a chosen
// error code, without touching permissions (the tests may run as root).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fault {

struct Rule {
  std::string call = {};     // e.g. "CopyFileA", "CreateDirectoryA", "FindFirstFileA"
  int nth = 0;               // 1-based: fail only the nth matching call; 0: every matching call
  std::string pathContains = {};  // empty: any path; else the Windows path must contain it
  uint32_t error = 5;        // the code GetLastError reports (ERROR_ACCESS_DENIED by default)
  // For CopyFileA only: write this many bytes of the target before failing
  // (a copy that breaks off in the middle). -1: fail before writing.
  long long failAfterBytes = -1;
  // For CopyFileA only: once this many bytes are copied, the source file is
  // cut to that length, as another program writing it might do. -1: never.
  long long shrinkSourceAt = -1;
};

void Add(const Rule& rule);
void Clear();

// Called at the top of every faultable call. Returns the rule that fires for
// this call, or nothing. Counting happens here: each call of a name that
// matches a rule's path filter counts once for that rule.
//
// The system layer's faultable calls: FindFirstFileA, FindNextFileA (path: the
// search pattern), CreateDirectoryA, RemoveDirectoryA, CopyFileA (path: the
// source and the target joined by a line break, so a filter may name either),
// SetCurrentDir, FileOpen, LoadLibraryA (path: the name as given). Other areas
// use "RegOpenKey", "ShellLinkSave" and "spawnlp".
std::optional<Rule> Check(std::string_view call, std::string_view path = {});

// Removes every rule when it goes out of scope.
struct Scope {
  Scope() = default;
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;
  ~Scope() { Clear(); }
};

}  // namespace fault
