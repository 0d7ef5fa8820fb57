#include "Resources.h"

#include <map>
#include <string>

namespace {

std::string Key(const char* name) {
  std::string key(name);
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return key;
}

// Made on first use: registrars of other files run during static start-up.
std::map<std::string, std::string_view>& Table() {
  static std::map<std::string, std::string_view> table;
  return table;
}

}  // namespace

void RegisterResource(const char* name, const unsigned char* data, size_t size) {
  Table()[Key(name)] = std::string_view(reinterpret_cast<const char*>(data), size);
}

std::string_view FindResource(const char* name) {
  const auto it = Table().find(Key(name));
  return it == Table().end() ? std::string_view() : it->second;
}
