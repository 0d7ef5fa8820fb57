#include "tests/fuzz/FuzzFiles.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fuzzfiles {

namespace {

void RemoveScratch() {
  std::error_code ignored;
  std::filesystem::remove_all(ScratchFolder(), ignored);
}

}  // namespace

const std::string& ScratchFolder() {
  // Never destroyed: the exit handler that removes the folder needs its name.
  static const std::string* const folder = [] {
    // A file is written for every input: a memory file system keeps that cheap.
    const char* tmp = std::getenv("TMPDIR");
    std::error_code ignored;
    const char* base = tmp != nullptr && *tmp == '/'                         ? tmp
                       : std::filesystem::is_directory("/dev/shm", ignored) ? "/dev/shm"
                                                                             : "/tmp";
    std::string pattern = std::string(base) + "/corvalen-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    auto* name = new std::string(pattern);
    std::atexit(RemoveScratch);
    return name;
  }();
  return *folder;
}

std::string WriteInput(const uint8_t* data, size_t size) {
  const std::string path = ScratchFolder() + "/input";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return path;
}

}  // namespace fuzzfiles
