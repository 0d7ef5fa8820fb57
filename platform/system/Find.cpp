// File search: one entry by name, or the entries of a folder that match a
// '*'/'?' pattern, in the order the folder lists them ("." and ".." are not
// delivered). A drive root is no entry and is never found.
#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "platform/system/Errors.h"
#include "platform/system/Fault.h"
#include "platform/system/Files.h"
#include "platform/system/HostFs.h"
#include "platform/system/Names.h"

namespace {

struct Search {
  std::string pattern;
  std::vector<WIN32_FIND_DATAA> entries;
  size_t next = 0;
};

std::mutex mutex;
std::set<Search*> searches;

FILETIME ToFileTime(const timespec& ts) {
  constexpr long long kSecondsFrom1601 = 11644473600LL;
  long long seconds = static_cast<long long>(ts.tv_sec) + kSecondsFrom1601;
  unsigned long long ticks = seconds < 0 ? 0 : static_cast<unsigned long long>(seconds) * 10000000ULL +
                                                   static_cast<unsigned long long>(ts.tv_nsec) / 100;
  return {static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

// Fills `data` for the host entry `host`, named `name` in the active code page.
bool Describe(const std::string& host, const std::string& name, WIN32_FIND_DATAA* data) {
  struct stat st;
  if ((stat(host.c_str(), &st) != 0 && lstat(host.c_str(), &st) != 0) || name.size() >= MAX_PATH) return false;
  std::memset(data, 0, sizeof *data);
  bool folder = S_ISDIR(st.st_mode);
  data->dwFileAttributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if ((st.st_mode & 0222) == 0) data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
  data->ftCreationTime = ToFileTime(st.st_mtim);
  data->ftLastAccessTime = ToFileTime(st.st_atim);
  data->ftLastWriteTime = ToFileTime(st.st_mtim);
  auto size = folder ? 0ULL : static_cast<unsigned long long>(st.st_size);
  data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
  return true;
}

HANDLE Refuse(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) {
  std::string_view text = pattern != nullptr ? pattern : "";
  if (auto rule = fault::Check("FindFirstFileA", text)) return Refuse(rule->error);
  if (data == nullptr) return Refuse(sys::kErrorInvalidParameter);
  if (text.size() >= MAX_PATH) return Refuse(ERROR_FILENAME_EXCED_RANGE);
  size_t nameStart = names::LastNameStart(text);
  std::string_view name = text.substr(nameStart);
  std::string folderText(text.substr(0, nameStart));
  DWORD error = ERROR_SUCCESS;
  auto folder = paths::Resolve(folderText.empty() ? "." : folderText, &error);
  if (!folder) return Refuse(error);
  if (name.empty()) return Refuse(ERROR_FILE_NOT_FOUND);  // a root or a trailing separator

  auto search = std::make_unique<Search>();
  search->pattern = std::string(text);
  if (!names::HasWildcards(name)) {
    auto entry = paths::Resolve(text, &error);
    if (!entry) return Refuse(error);
    struct stat st;
    if (entry->isDriveRoot || lstat(entry->host.c_str(), &st) != 0) return Refuse(sys::MissingError(entry->host));
    std::string onDisk = entry->host.substr(entry->host.find_last_of('/') + 1);
    WIN32_FIND_DATAA found;
    if (!Describe(entry->host, AnsiFromUtf8(onDisk), &found)) return Refuse(ERROR_FILE_NOT_FOUND);
    search->entries.push_back(found);
  } else {
    std::string plain;
    for (char c : name) {
      if (c != '*' && c != '?') plain += c;
    }
    if (!names::IsValidName(plain)) return Refuse(ERROR_INVALID_NAME);
    DIR* dir = opendir(folder->host.c_str());
    if (dir == nullptr) return Refuse(ERROR_PATH_NOT_FOUND);
    std::string wanted = Utf8FromAnsi(name);
    while (dirent* entry = readdir(dir)) {
      std::string_view onDisk = entry->d_name;
      if (onDisk == "." || onDisk == ".." || !names::MatchPattern(wanted, onDisk)) continue;
      WIN32_FIND_DATAA found;
      if (Describe(hostfs::Join(folder->host, onDisk), AnsiFromUtf8(onDisk), &found)) {
        search->entries.push_back(found);
      }
    }
    closedir(dir);
    if (search->entries.empty()) return Refuse(ERROR_FILE_NOT_FOUND);
  }
  *data = search->entries[0];
  search->next = 1;
  std::lock_guard lock(mutex);
  searches.insert(search.get());
  return search.release();
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* data) {
  std::lock_guard lock(mutex);
  auto* search = static_cast<Search*>(handle);
  if (searches.count(search) == 0 || data == nullptr) return sys::Fail(ERROR_INVALID_HANDLE);
  if (auto rule = fault::Check("FindNextFileA", search->pattern)) return sys::Fail(rule->error);
  if (search->next >= search->entries.size()) return sys::Fail(ERROR_NO_MORE_FILES);
  *data = search->entries[search->next++];
  return CORVALEN_TRUE;
}

BOOL FindClose(HANDLE handle) {
  std::lock_guard lock(mutex);
  auto* search = static_cast<Search*>(handle);
  if (searches.erase(search) == 0) return sys::Fail(ERROR_INVALID_HANDLE);
  delete search;
  return CORVALEN_TRUE;
}
