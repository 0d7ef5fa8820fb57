// Hive files are written by other programs: any bytes must parse without
// fault, and every key the reader keeps must be found again by its path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/registry/Hive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const hive::Hive parsed = hive::Hive::Parse(text);
  // Only the header and the key lines can add keys.
  if (parsed.KeyCount() > size / 2 + 1) std::abort();
  // A lookup with the input's own lines as paths must not fault either.
  std::size_t start = 0;
  for (int n = 0; n < 8 && start < size; ++n) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = size;
    std::string_view line = text.substr(start, end - start);
    if (auto key = parsed.FindKey(line)) {
      for (const auto& [index, entry] : key->values) {
        if (key->Find(entry.first) == nullptr) std::abort();
      }
    }
    start = end + 1;
  }
  return 0;
}
