// A temporary Windows-like root for one test: WINEPREFIX points at it while it
// lives, with drives C: (drive_c), D: (drive_d) and Z: (/), "C:\Program Files"
// present and empty hives. The tree is removed and the environment restored
// when it goes out of scope; the current folder is restored too.
#pragma once

#include <string>

class TempRoot {
 public:
  TempRoot();
  ~TempRoot();
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;

  // The root's host folder.
  const std::string& Path() const { return path_; }
  // Host path of a Windows path on C:, D: or Z: ("C:\a\b" ->
  // <root>/drive_c/a/b), written as given (no case matching).
  std::string Host(const std::string& winPath) const;
  void WriteFile(const std::string& winPath, const std::string& contents) const;
  std::string ReadFile(const std::string& winPath) const;
  bool Exists(const std::string& winPath) const;
  bool IsFolder(const std::string& winPath) const;
  void MakeFolder(const std::string& winPath) const;
  // Writes system.reg / user.reg with the given key/value lines in the hive
  // text format (the header line is added).
  void WriteSystemHive(const std::string& body) const;
  void WriteUserHive(const std::string& body) const;

 private:
  std::string path_;
  std::string oldPrefix_;
  bool hadPrefix_ = false;
  std::string oldCwd_;
};
