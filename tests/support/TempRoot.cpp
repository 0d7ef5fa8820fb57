// A temporary Windows-like root for one test.
#include "tests/support/TempRoot.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/system/Root.h"

namespace fs = std::filesystem;

TempRoot::TempRoot() {
  char pattern[] = "/tmp/corvalen-root-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("cannot make a temporary root");
  path_ = pattern;
  fs::create_directories(path_ + "/dosdevices");
  fs::create_directories(path_ + "/drive_c/Program Files");
  fs::create_directories(path_ + "/drive_d");
  fs::create_directory_symlink("../drive_c", path_ + "/dosdevices/c:");
  fs::create_directory_symlink("../drive_d", path_ + "/dosdevices/d:");
  fs::create_directory_symlink("/", path_ + "/dosdevices/z:");
  WriteSystemHive("");
  WriteUserHive("");

  if (const char* old = std::getenv("WINEPREFIX")) {
    hadPrefix_ = true;
    oldPrefix_ = old;
  }
  oldCwd_ = fs::current_path().string();
  setenv("WINEPREFIX", path_.c_str(), 1);
  WinRoot::Reset();
}

TempRoot::~TempRoot() {
  if (chdir(oldCwd_.c_str()) != 0) {
    [[maybe_unused]] int ignored = chdir("/");
  }
  std::error_code ignored;
  fs::remove_all(path_, ignored);  // links are removed, never followed
  if (hadPrefix_) {
    setenv("WINEPREFIX", oldPrefix_.c_str(), 1);
  } else {
    unsetenv("WINEPREFIX");
  }
  WinRoot::Reset();
}

std::string TempRoot::Host(const std::string& winPath) const {
  if (winPath.size() < 2 || winPath[1] != ':') throw std::invalid_argument("not a drive path: " + winPath);
  std::string base;
  switch (winPath[0]) {
    case 'C': case 'c': base = path_ + "/drive_c"; break;
    case 'D': case 'd': base = path_ + "/drive_d"; break;
    case 'Z': case 'z': base = ""; break;
    default: throw std::invalid_argument("no such drive in a temporary root: " + winPath);
  }
  std::string rest = winPath.substr(2);
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  if (!rest.empty() && rest[0] != '/') rest.insert(0, "/");
  std::string out = base + rest;
  return out.empty() ? "/" : out;
}

void TempRoot::WriteFile(const std::string& winPath, const std::string& contents) const {
  std::ofstream out(Host(winPath), std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + winPath);
  out << contents;
}

std::string TempRoot::ReadFile(const std::string& winPath) const {
  std::ifstream in(Host(winPath), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + winPath);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool TempRoot::Exists(const std::string& winPath) const {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(Host(winPath), ignored));
}

bool TempRoot::IsFolder(const std::string& winPath) const {
  std::error_code ignored;
  return fs::is_directory(Host(winPath), ignored);
}

void TempRoot::MakeFolder(const std::string& winPath) const { fs::create_directories(Host(winPath)); }

void TempRoot::WriteSystemHive(const std::string& body) const {
  std::ofstream(path_ + "/system.reg", std::ios::binary | std::ios::trunc) << "WINE REGISTRY Version 2\n" << body;
}

void TempRoot::WriteUserHive(const std::string& body) const {
  std::ofstream(path_ + "/user.reg", std::ios::binary | std::ios::trunc) << "WINE REGISTRY Version 2\n" << body;
}
