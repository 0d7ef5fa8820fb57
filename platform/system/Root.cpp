// Choosing the root and reading its drive table.
#include "platform/system/Root.h"

#include <dirent.h>

#include <cstdlib>
#include <memory>

#include "platform/system/HostFs.h"

namespace {

std::unique_ptr<WinRoot>& Slot() {
  static std::unique_ptr<WinRoot> root;
  return root;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value == '/' ? std::string(value) : fallback;
}

std::string ChooseRoot() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') {
    std::string path = prefix;
    if (path[0] != '/') path = hostfs::Join(hostfs::CurrentFolder(), path);
    if (hostfs::IsMissingOrEmpty(path)) WinRoot::CreateFresh(path);
    return path;
  }
  std::string home = hostfs::HomeFolder();
  if (!home.empty() && hostfs::IsFolder(home + "/.wine")) return home + "/.wine";
  std::string path = EnvOr("XDG_DATA_HOME", home + "/.local/share") + "/corvalen-setup/root";
  if (hostfs::IsMissingOrEmpty(path)) WinRoot::CreateFresh(path);
  return path;
}

}  // namespace

WinRoot& WinRoot::Instance() {
  auto& root = Slot();
  if (!root) root.reset(new WinRoot(ChooseRoot()));
  return *root;
}

void WinRoot::Reset() { Slot().reset(); }

WinRoot::WinRoot(std::string hostPath) : hostPath_(std::move(hostPath)) { ReloadDrives(); }

void WinRoot::ReloadDrives() {
  drives_.clear();
  std::string devices = hostPath_ + "/dosdevices";
  if (DIR* dir = opendir(devices.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string_view name = entry->d_name;
      if (name.size() != 2 || name[1] != ':') continue;
      char letter = name[0];
      if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
      if (letter < 'A' || letter > 'Z') continue;
      // A dangling link, a loop or a link to something other than a folder
      // leaves the drive unmapped.
      char* real = realpath((devices + "/" + entry->d_name).c_str(), nullptr);
      if (real == nullptr) continue;
      if (hostfs::IsFolder(real)) drives_[letter] = real;
      std::free(real);
    }
    closedir(dir);
  }
  // Without its own Z: the root still reaches the whole host through Z:.
  drives_.try_emplace('Z', "/");
}
