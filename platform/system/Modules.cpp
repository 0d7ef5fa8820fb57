// Modules are ELF shared objects whatever their extension, opened with dlopen.
#include "platform/system/Modules.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <cstdint>
#include <vector>

#include "platform/system/Fault.h"
#include "platform/system/Files.h"
#include "platform/system/Names.h"
#include "platform/system/Paths.h"

namespace {

bool IsFile(const std::string& host) {
  struct stat st;
  return stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The host file for `name`: a bare name in the executable's folder, then in
// the current folder; a name with a folder as that path.
std::optional<std::string> FindModule(std::string_view name) {
  std::vector<AnsiString> candidates;
  if (names::LastNameStart(name) == 0) {
    AnsiString exeFolder = ExtractFileDir(ExecutablePath());
    if (!exeFolder.empty()) {
      candidates.push_back(exeFolder + (LastCharIsBackslash(exeFolder) ? "" : "\\") + AnsiString(name));
    }
  }
  candidates.emplace_back(name);
  for (const AnsiString& candidate : candidates) {
    auto resolved = paths::Resolve(candidate);
    if (resolved && IsFile(resolved->host)) return resolved->host;
  }
  return std::nullopt;
}

}  // namespace

HMODULE LoadLibraryA(const char* name) {
  std::string_view text = name != nullptr ? name : "";
  if (auto rule = fault::Check("LoadLibraryA", text)) {
    SetLastError(rule->error);
    return nullptr;
  }
  auto file = text.empty() ? std::nullopt : FindModule(text);
  if (!file) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  void* module = dlopen(file->c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) SetLastError(ERROR_BAD_EXE_FORMAT);
  return module;
}

void* GetProcAddress(HMODULE module, const char* name) {
  if (module == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  // Export ordinals (small integers in place of a name) are not supported.
  if (reinterpret_cast<uintptr_t>(name) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* address = dlsym(module, name);
  // dlsym also searches the module's dependencies; only its own exports count.
  link_map* own = nullptr;
  link_map* owner = nullptr;
  Dl_info info;
  if (address != nullptr &&
      (dlinfo(module, RTLD_DI_LINKMAP, &own) != 0 ||
       dladdr1(address, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) == 0 || owner != own)) {
    address = nullptr;
  }
  if (address == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
  return address;
}

BOOL FreeLibrary(HMODULE module) {
  if (module == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return CORVALEN_FALSE;
  }
  return dlclose(module) == 0 ? CORVALEN_TRUE : CORVALEN_FALSE;
}
