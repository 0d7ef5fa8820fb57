#include "tests/hardening/Snapshot.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Walks by hand: a link is recorded, never followed or even looked through
// (a link that loops must not stop the walk).
void Walk(const fs::path& folder, const std::string& prefix, Snapshot& shot) {
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string rel = prefix + entry.path().filename().string();
    const fs::file_status status = entry.symlink_status();
    if (fs::is_symlink(status)) {
      shot[rel] = "link:" + fs::read_symlink(entry.path()).string();
    } else if (fs::is_directory(status)) {
      shot[rel] = "folder";
      Walk(entry.path(), rel + "/", shot);
    } else {
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream contents;
      contents << in.rdbuf();
      shot[rel] = "file:" + contents.str();
    }
  }
}

}  // namespace

Snapshot TakeSnapshot(const std::string& hostFolder) {
  Snapshot shot;
  Walk(hostFolder, "", shot);
  return shot;
}

namespace {

bool AtOrBelow(const std::string& path, const std::string& folder) {
  return !folder.empty() && (path == folder || path.rfind(folder + "/", 0) == 0);
}

}  // namespace

std::vector<std::string> ChangesOutside(const Snapshot& before, const Snapshot& after, const std::string& allowed) {
  std::vector<std::string> changes;
  for (const auto& [path, what] : before) {
    if (AtOrBelow(path, allowed)) continue;
    auto now = after.find(path);
    if (now == after.end()) {
      changes.push_back("removed " + path);
    } else if (now->second != what) {
      changes.push_back("changed " + path);
    }
  }
  for (const auto& [path, what] : after) {
    if (before.count(path) != 0 || AtOrBelow(path, allowed)) continue;
    const bool parentFolder = what == "folder" && AtOrBelow(allowed, path);
    if (!parentFolder) changes.push_back("added " + path);
  }
  return changes;
}

Snapshot Below(const Snapshot& after, const std::string& folder) {
  Snapshot below;
  for (const auto& [path, what] : after) {
    if (path == folder) below[""] = what;
    else if (AtOrBelow(path, folder)) below[path.substr(folder.size() + 1)] = what;
  }
  return below;
}
