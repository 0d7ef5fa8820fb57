// The Windows-like root: a folder laid out like a Wine prefix. Its dosdevices/
// links give each drive letter a host folder; system.reg and user.reg hold the
// registry. Which root: WINEPREFIX when set (created when missing); else
// ~/.wine when it exists; else a private root under $XDG_DATA_HOME (default
// ~/.local/share), created on first use.
#pragma once

#include <map>
#include <string>

class WinRoot {
 public:
  // The root in use; chosen and, if needed, created on first call.
  static WinRoot& Instance();
  // Forgets the chosen root so the next Instance() chooses again (tests change
  // WINEPREFIX between cases).
  static void Reset();

  const std::string& HostPath() const { return hostPath_; }
  // Drive letter (upper case) to the host folder it stands for, links resolved.
  const std::map<char, std::string>& Drives() const { return drives_; }
  std::string SystemHivePath() const { return hostPath_ + "/system.reg"; }
  std::string UserHivePath() const { return hostPath_ + "/user.reg"; }

  // Reads dosdevices/ again.
  void ReloadDrives();

  // Creates a fresh root at `hostPath` with drives C: and Z:, ProgramFilesDir
  // and the Desktop folder (the user's XDG desktop folder, through Z:).
  static void CreateFresh(const std::string& hostPath);

 private:
  explicit WinRoot(std::string hostPath);
  std::string hostPath_;
  std::map<char, std::string> drives_;
};
