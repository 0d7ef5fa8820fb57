#include "platform/process/ProgramSearch.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/system/Paths.h"

namespace process {

namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return "./" + name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

std::optional<std::string> FindInFolder(const std::string& folder, const std::string& name) {
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  const std::string exact = Join(folder, name);
  if (IsExecutableFile(exact)) return exact;

  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::optional<std::string> best;
  while (const dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, name.c_str()) != 0) continue;
    const std::string candidate = Join(folder, entry->d_name);
    if (IsExecutableFile(candidate) && (!best || candidate < *best)) best = candidate;
  }
  ::closedir(dir);
  return best;
}

std::vector<std::string> SplitSearchPath(const std::string& list) {
  std::vector<std::string> folders;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) folders.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return folders;
}

std::vector<std::string> SearchPath() {
  if (const char* path = std::getenv("PATH")) return SplitSearchPath(path);
  const std::size_t n = ::confstr(_CS_PATH, nullptr, 0);
  std::string fallback(n, '\0');
  if (n > 0) ::confstr(_CS_PATH, fallback.data(), n);
  fallback.resize(fallback.find('\0'));
  return SplitSearchPath(fallback);
}

std::optional<std::string> FindProgram(const std::string& name) {
  if (name.find_first_of("\\/") != std::string::npos) {
    auto host = paths::ToHost(name);
    if (host && IsExecutableFile(*host)) return host;
    return std::nullopt;
  }
  if (auto here = FindInFolder("", name)) return here;
  for (const std::string& folder : SearchPath()) {
    if (auto found = FindInFolder(folder, name)) return found;
  }
  return std::nullopt;
}

}  // namespace process
