// Windows paths to host paths and back.
#include "platform/system/Paths.h"

#include <sys/stat.h>

#include <cstdlib>
#include <vector>

#include "platform/system/FolderNames.h"
#include "platform/system/HostFs.h"
#include "platform/system/Names.h"
#include "platform/system/Root.h"

namespace paths {
namespace {

bool StartsWithDrive(std::string_view path) {
  char c = path.size() >= 2 ? path[0] : '\0';
  return path.size() >= 2 && path[1] == ':' && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The entry of `folder` named `name`: exactly when it exists, else an entry
// whose name differs only in ASCII letter case.
std::optional<std::string> MatchInFolder(const std::string& folder, const std::string& name) {
  struct stat st;
  if (lstat(hostfs::Join(folder, name).c_str(), &st) == 0) return name;
  return foldernames::FindIgnoringCase(folder, name);
}

// `path` made canonical as far as it exists, the rest applied lexically.
std::string Canonical(std::string path) {
  std::vector<std::string> tail;
  std::string head = std::move(path);
  std::string result = "/";
  while (true) {
    if (char* real = realpath(head.c_str(), nullptr)) {
      result = real;
      std::free(real);
      break;
    }
    size_t slash = head.find_last_of('/');
    if (slash == std::string::npos || head == "/") break;
    tail.push_back(head.substr(slash + 1));
    head = slash == 0 ? "/" : head.substr(0, slash);
  }
  for (auto it = tail.rbegin(); it != tail.rend(); ++it) {
    if (it->empty() || *it == ".") continue;
    if (*it == "..") {
      size_t slash = result.find_last_of('/');
      result = slash == 0 ? "/" : result.substr(0, slash);
      continue;
    }
    result = hostfs::Join(result, *it);
  }
  return result;
}

std::nullopt_t Failed(DWORD* error, DWORD code) {
  if (error != nullptr) *error = code;
  return std::nullopt;
}

// An absolute host path without links, "." or ".." in Windows form.
AnsiString WindowsFromCanonical(const std::string& path) {
  char best = 0;
  size_t bestLength = 0;
  for (const auto& [letter, root] : WinRoot::Instance().Drives()) {
    bool inside = path == root || (path.compare(0, root.size(), root) == 0 &&
                                   (root.back() == '/' || path[root.size()] == '/'));
    if (inside && (best == 0 || root.size() > bestLength)) {
      best = letter;
      bestLength = root.size();
    }
  }
  if (best == 0) return {};
  std::string rest = path.substr(bestLength);
  if (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
  for (char& c : rest) {
    if (c == '/') c = '\\';
  }
  return std::string(1, best) + ":\\" + AnsiFromUtf8(rest);
}

}  // namespace

std::optional<Resolved> Resolve(std::string_view winPath, DWORD* error) {
  if (winPath.empty()) return Failed(error, ERROR_INVALID_NAME);
  if (winPath.size() >= MAX_PATH) return Failed(error, ERROR_FILENAME_EXCED_RANGE);

  char drive;
  std::vector<std::string> parts;
  std::string_view rest = winPath;
  if (StartsWithDrive(winPath)) {
    drive = Upper(winPath[0]);
    rest = winPath.substr(2);
  } else {
    // Relative and root-relative paths start from the current folder.
    // The kernel gives the current folder without links: no need to resolve it.
    const std::string current = hostfs::CurrentFolder();
    AnsiString cwd = current.empty() ? AnsiString() : WindowsFromCanonical(current);
    if (!StartsWithDrive(cwd)) return Failed(error, ERROR_PATH_NOT_FOUND);
    drive = cwd[0];
    if (!names::IsSeparatorAt(winPath, 0)) {
      parts = names::Split(std::string_view(cwd).substr(2));
    } else if (winPath.size() >= 2 && names::IsSeparatorAt(winPath, 1)) {
      return Failed(error, ERROR_PATH_NOT_FOUND);  // no network paths
    }
  }
  for (std::string& part : names::Split(rest)) {
    if (part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return Failed(error, ERROR_PATH_NOT_FOUND);
      parts.pop_back();
      continue;
    }
    if (!names::IsValidName(part)) return Failed(error, ERROR_INVALID_NAME);
    parts.push_back(std::move(part));
  }

  Resolved out;
  out.windows = std::string(1, drive) + ":\\";
  for (size_t i = 0; i < parts.size(); ++i) out.windows += (i > 0 ? "\\" : "") + parts[i];
  if (out.windows.size() >= MAX_PATH) return Failed(error, ERROR_FILENAME_EXCED_RANGE);
  out.isDriveRoot = parts.empty();

  const auto& drives = WinRoot::Instance().Drives();
  auto mapped = drives.find(drive);
  if (mapped == drives.end()) return Failed(error, ERROR_INVALID_DRIVE);
  out.host = mapped->second;
  bool exists = true;
  for (const std::string& part : parts) {
    std::string name = Utf8FromAnsi(part);
    if (exists) {
      auto match = MatchInFolder(out.host, name);
      exists = match.has_value();
      if (exists) name = *match;
    }
    out.host = hostfs::Join(out.host, name);
  }
  return out;
}

std::optional<std::string> ToHost(std::string_view winPath, DWORD* error) {
  auto resolved = Resolve(winPath, error);
  if (!resolved) return std::nullopt;
  return std::move(resolved->host);
}

AnsiString ToWindows(std::string_view hostPath) {
  std::string path(hostPath);
  if (path.empty() || path[0] != '/') {
    std::string cwd = hostfs::CurrentFolder();
    if (cwd.empty()) return {};  // the current folder was removed
    path = hostfs::Join(cwd, path);
  }
  return WindowsFromCanonical(Canonical(path));
}

}  // namespace paths
