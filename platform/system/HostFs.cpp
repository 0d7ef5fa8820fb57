// Host file-system helpers.
#include "platform/system/HostFs.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace hostfs {

std::string Join(const std::string& folder, std::string_view name) {
  std::string out = folder;
  if (out.empty() || out.back() != '/') out += '/';
  out += name;
  return out;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsMissingOrEmpty(const std::string& path) {
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return errno == ENOENT;
  bool empty = true;
  while (dirent* entry = readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name != "." && name != "..") {
      empty = false;
      break;
    }
  }
  closedir(dir);
  return empty;
}

bool MakeFolders(const std::string& path) {
  if (path.empty()) return false;
  for (size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
    std::string part = path.substr(0, at);
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (at == std::string::npos) break;
  }
  return IsFolder(path);
}

std::string CurrentFolder() {
  char* cwd = getcwd(nullptr, 0);
  if (cwd == nullptr) return {};
  std::string out = cwd;
  std::free(cwd);
  return out;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return home;
  if (const passwd* pw = getpwuid(getuid())) return pw->pw_dir;
  return {};
}

}  // namespace hostfs
