// Kept folder listings, updated from inotify events.
//
// A folder is watched before it is read, so a change made while it is read
// arrives as an event afterwards; applying the events in their order leaves
// each name as its last event says, which is how the folder stands. A folder
// is found again by its path, and the path is checked to still lead to the
// same folder (device and inode) on every lookup.
#include "platform/system/FolderNames.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace foldernames {
namespace {

constexpr size_t kMostFolders = 64;
constexpr uint32_t kEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

std::string Folded(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// File systems whose changes by any program reach inotify. On others (NFS,
// SMB, FUSE) another machine's changes would go unseen.
bool ChangesAreSeen(int folderFd) {
  struct statfs fs;
  if (fstatfs(folderFd, &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:      // ext2, ext3, ext4
    case 0x58465342:  // xfs
    case 0x9123683E:  // btrfs
    case 0x01021994:  // tmpfs
    case 0xF2F52010:  // f2fs
    case 0x794C7630:  // overlayfs
    case 0x2FC12FC1:  // zfs
      return true;
    default:
      return false;
  }
}

// The names of one folder, by their folded form.
struct Listing {
  dev_t device = 0;
  ino_t inode = 0;
  std::unordered_map<std::string, std::vector<std::string>> names;

  void Add(std::string_view name) {
    std::vector<std::string>& same = names[Folded(name)];
    if (std::find(same.begin(), same.end(), name) == same.end()) same.emplace_back(name);
  }
  void Remove(std::string_view name) {
    auto it = names.find(Folded(name));
    if (it == names.end()) return;
    std::erase(it->second, name);
    if (it->second.empty()) names.erase(it);
  }
  std::optional<std::string> Find(const std::string& name) const {
    auto it = names.find(Folded(name));
    if (it == names.end()) return std::nullopt;
    return it->second.front();
  }
};

// Reads the entries of an open folder into `listing`, or looks for `name`
// alone when `listing` is null. Takes over `fd`.
std::optional<std::string> ReadFolder(int fd, Listing* listing, const std::string& name) {
  DIR* dir = fdopendir(fd);
  if (dir == nullptr) {
    close(fd);
    return std::nullopt;
  }
  const std::string folded = Folded(name);
  std::optional<std::string> found;
  while (dirent* entry = readdir(dir)) {
    std::string_view candidate = entry->d_name;
    if (candidate == "." || candidate == "..") continue;
    if (listing != nullptr) {
      listing->Add(candidate);
    } else if (Folded(candidate) == folded) {
      found = std::string(candidate);
      break;
    }
  }
  closedir(dir);
  return listing != nullptr ? listing->Find(name) : found;
}

class Index {
 public:
  std::optional<std::string> Find(const std::string& folder, const std::string& name) {
    std::lock_guard lock(mutex_);
    ApplyEvents();
    struct stat now;
    if (stat(folder.c_str(), &now) != 0 || !S_ISDIR(now.st_mode)) return std::nullopt;

    if (auto kept = watchByPath_.find(folder); kept != watchByPath_.end()) {
      const Listing& listing = listings_.at(kept->second);
      if (listing.device == now.st_dev && listing.inode == now.st_ino) return listing.Find(name);
      watchByPath_.erase(kept);  // the path leads elsewhere now
    }

    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    const int watch = StartWatching(folder, fd, now);
    if (watch < 0) return ReadFolder(fd, nullptr, name);
    if (listings_.count(watch) != 0) {
      close(fd);  // the same folder, kept under another path
    } else {
      Listing& listing = listings_[watch];
      listing.device = now.st_dev;
      listing.inode = now.st_ino;
      ReadFolder(fd, &listing, name);
    }
    watchByPath_[folder] = watch;
    // Changes made while the folder was read, or since it was last looked at.
    ApplyEvents();
    auto listing = listings_.find(watch);
    return listing != listings_.end() ? listing->second.Find(name) : std::nullopt;
  }

  void Forget() {
    std::lock_guard lock(mutex_);
    Reset();
  }

 private:
  // A watch on the open folder `fd`, or -1 when its changes could go unseen.
  int StartWatching(const std::string& folder, int fd, const struct stat& before) {
    if (!ChangesAreSeen(fd)) return -1;
    if (listings_.size() >= kMostFolders) Reset();
    if (inotify_ == -1) inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0) {
      inotify_ = -2;  // not available: every lookup reads the folder
      return -1;
    }
    if (inotify_ == -2) return -1;
    const int watch = inotify_add_watch(inotify_, folder.c_str(), kEvents);
    // The watch must be on the folder that was opened and checked.
    struct stat opened;
    if (watch < 0 || fstat(fd, &opened) != 0 || opened.st_dev != before.st_dev || opened.st_ino != before.st_ino) {
      if (watch >= 0 && listings_.count(watch) == 0) inotify_rm_watch(inotify_, watch);
      return -1;
    }
    return watch;
  }

  void ApplyEvents() {
    if (inotify_ < 0) return;
    alignas(inotify_event) char buffer[16 * 1024];
    while (true) {
      const ssize_t length = read(inotify_, buffer, sizeof buffer);
      if (length < 0 && errno == EINTR) continue;
      if (length <= 0) return;
      for (ssize_t at = 0; at < length;) {
        inotify_event event;
        std::memcpy(&event, buffer + at, sizeof event);
        const std::string_view name(buffer + at + sizeof event, strnlen(buffer + at + sizeof event, event.len));
        at += static_cast<ssize_t>(sizeof event + event.len);
        if ((event.mask & IN_Q_OVERFLOW) != 0) {
          Reset();  // events were lost: nothing kept can be trusted
          return;
        }
        Apply(event.wd, event.mask, name);
      }
    }
  }

  void Apply(int watch, uint32_t mask, std::string_view name) {
    auto it = listings_.find(watch);
    if (it == listings_.end()) return;
    if ((mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) != 0) {
      Drop(watch);
    } else if ((mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
      it->second.Add(name);
    } else if ((mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
      it->second.Remove(name);
    }
  }

  void Drop(int watch) {
    if (listings_.erase(watch) != 0) inotify_rm_watch(inotify_, watch);
    std::erase_if(watchByPath_, [watch](const auto& entry) { return entry.second == watch; });
  }

  // Forgets every folder; closing the descriptor ends all watches.
  void Reset() {
    if (inotify_ >= 0) close(inotify_);
    if (inotify_ != -2) inotify_ = -1;
    listings_.clear();
    watchByPath_.clear();
  }

  std::mutex mutex_;
  int inotify_ = -1;  // -1: not opened yet, -2: not available
  std::unordered_map<int, Listing> listings_;
  std::unordered_map<std::string, int> watchByPath_;
};

Index& TheIndex() {
  static Index* index = new Index;  // never destroyed: lookups may come late in the exit
  return *index;
}

}  // namespace

std::optional<std::string> FindIgnoringCase(const std::string& folder, const std::string& name) {
  return TheIndex().Find(folder, name);
}

void Forget() { TheIndex().Forget(); }

}  // namespace foldernames
