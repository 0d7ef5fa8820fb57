// Paths typed by users: any bytes, in either code page, must map to a host
// path that stays below the drive's folder, or fail with an error code; and a
// mapped path must read back as the same Windows path.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/system/Paths.h"
#include "platform/system/Root.h"
#include "platform/text/Text.h"
#include "tests/fuzz/FuzzFiles.h"

namespace {

// A root with C: and D: holding a few folders (one with a mixed-case name),
// a file, and the current folder in C:\Windows.
void MakeRoot() {
  namespace fs = std::filesystem;
  const std::string root = fuzzfiles::ScratchFolder() + "/root";
  fs::create_directories(root + "/dosdevices");
  fs::create_directories(root + "/drive_c/Program Files/Corvalen");
  fs::create_directories(root + "/drive_c/Windows/System32");
  fs::create_directories(root + "/drive_c/MiXed/Inner");
  fs::create_directories(root + "/drive_d/dist");
  fs::create_directory_symlink("../drive_c", root + "/dosdevices/c:");
  fs::create_directory_symlink("../drive_d", root + "/dosdevices/d:");
  if (FILE* f = std::fopen((root + "/drive_c/MiXed/file.txt").c_str(), "w")) std::fclose(f);
  setenv("WINEPREFIX", root.c_str(), 1);
  WinRoot::Reset();
  if (chdir((root + "/drive_c/Windows").c_str()) != 0) std::abort();
}

bool IsAsciiPrintable(std::string_view s) {
  for (char c : s) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// The host path lies at or below `root` and has no empty, "." or ".." part.
bool StaysBelow(const std::string& host, const std::string& root) {
  if (host.compare(0, root.size(), root) != 0) return false;
  std::string_view rest = std::string_view(host).substr(root.size());
  if (rest.empty()) return true;
  if (root != "/") {
    if (rest.front() != '/') return false;
    rest.remove_prefix(1);
  }
  while (!rest.empty()) {
    size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    if (part.empty() || part == "." || part == ".." || part.find('\0') != std::string_view::npos) {
      return false;
    }
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  MakeRoot();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  SetActiveCodePage((data[0] & 1) != 0 ? CodePage::Cp932 : CodePage::Utf8);
  const std::string_view winPath(reinterpret_cast<const char*>(data + 1), size - 1);

  DWORD error = 0;
  auto resolved = paths::Resolve(winPath, &error);
  if (!resolved) {
    if (error == 0) std::abort();  // a failure always names its reason
    return 0;
  }
  const AnsiString& windows = resolved->windows;
  if (windows.size() < 3 || windows[1] != ':' || windows[2] != '\\' || windows.size() >= MAX_PATH) {
    std::abort();
  }
  const auto& drives = WinRoot::Instance().Drives();
  auto drive = drives.find(windows[0]);
  if (drive == drives.end() || !StaysBelow(resolved->host, drive->second)) std::abort();

  // Outside Z: (whose folders may be links) the host path reads back as the
  // same Windows path, up to letter case.
  if (windows[0] != 'Z' && IsAsciiPrintable(winPath)) {
    const AnsiString back = paths::ToWindows(resolved->host);
    if (!EqualIgnoringAsciiCase(back, windows)) std::abort();
  }
  return 0;
}
