// Finding the file of a program to start, by the rules of the spawn calls.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace process {

// The executable regular file named `name` in `folder` (empty: the current
// folder): the exact name first, else the first name in byte order that
// matches without regard to ASCII case. Its host path, or nothing.
std::optional<std::string> FindInFolder(const std::string& folder, const std::string& name);

// The folders of a PATH-like list in order; empty entries are left out.
std::vector<std::string> SplitSearchPath(const std::string& list);

// The folders of PATH (the system default when PATH is unset).
std::vector<std::string> SearchPath();

// The program for `name`: a name with '\' or '/' is a Windows-style path,
// used as it stands; any other is looked for in the current folder, then in
// each folder of PATH.
std::optional<std::string> FindProgram(const std::string& name);

}  // namespace process
