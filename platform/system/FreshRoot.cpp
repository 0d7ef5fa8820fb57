// Laying out a new root: drives C: and Z:, the program-files folder and the
// user's desktop folder in the hives.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/system/HostFs.h"
#include "platform/system/Root.h"

namespace {

std::string RegEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

std::string HiveBlock(const std::string& key, const std::string& name, const std::string& value) {
  return "[" + RegEscape(key) + "] 1700000000\n\"" + RegEscape(name) + "\"=\"" + RegEscape(value) + "\"\n";
}

// XDG_DESKTOP_DIR from user-dirs.dirs: "$HOME/Desktop" or an absolute path.
std::string DesktopFromUserDirs(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string file = (config != nullptr && *config == '/' ? std::string(config) : home + "/.config") +
                     "/user-dirs.dirs";
  std::ifstream in(file);
  std::string line;
  const std::string key = "XDG_DESKTOP_DIR=\"";
  while (std::getline(in, line)) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    size_t end = line.find('"', start + key.size());
    if (end == std::string::npos) continue;
    std::string value = line.substr(start + key.size(), end - start - key.size());
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    if (!value.empty() && value[0] == '/') return value;
  }
  return {};
}

std::string DesktopFolder() {
  const char* env = std::getenv("XDG_DESKTOP_DIR");
  if (env != nullptr && *env == '/') return env;
  std::string home = hostfs::HomeFolder();
  std::string fromFile = DesktopFromUserDirs(home);
  return fromFile.empty() ? home + "/Desktop" : fromFile;
}

// A host path as seen through drive Z: (which stands for "/").
std::string ThroughZ(std::string host) {
  for (char& c : host) {
    if (c == '/') c = '\\';
  }
  return "Z:" + host;
}

void WriteIfMissing(const std::string& path, const std::string& text) {
  struct stat st;
  if (lstat(path.c_str(), &st) == 0) return;
  std::ofstream(path) << text;
}

void LinkIfMissing(const char* target, const std::string& link) {
  struct stat st;
  if (lstat(link.c_str(), &st) == 0) return;
  if (symlink(target, link.c_str()) != 0) return;  // the drive stays unmapped
}

}  // namespace

void WinRoot::CreateFresh(const std::string& hostPath) {
  hostfs::MakeFolders(hostPath + "/dosdevices");
  hostfs::MakeFolders(hostPath + "/drive_c/Program Files");
  LinkIfMissing("../drive_c", hostPath + "/dosdevices/c:");
  LinkIfMissing("/", hostPath + "/dosdevices/z:");
  const std::string header = "WINE REGISTRY Version 2\n\n";
  WriteIfMissing(hostPath + "/system.reg",
                 header + HiveBlock("Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                                    "C:\\Program Files"));
  WriteIfMissing(hostPath + "/user.reg",
                 header + HiveBlock("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                    "Desktop", ThroughZ(DesktopFolder())));
}
