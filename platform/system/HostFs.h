// Small host file-system helpers shared inside the system layer.
#pragma once

#include <string>
#include <string_view>

namespace hostfs {

// `folder` + "/" + `name`, without doubling the '/' of the root folder.
std::string Join(const std::string& folder, std::string_view name);
bool IsFolder(const std::string& path);
// True when `path` does not exist or is a folder without entries.
bool IsMissingOrEmpty(const std::string& path);
// Creates `path` and every missing folder above it; false when it cannot.
bool MakeFolders(const std::string& path);
// The process's current folder, or "" when it has none.
std::string CurrentFolder();
// The user's home folder ($HOME, else the password database).
std::string HomeFolder();

}  // namespace hostfs
