#include "platform/registry/Registry.h"

#include <unistd.h>

#include <optional>

#include "platform/system/Fault.h"
#include "platform/system/Root.h"

namespace {

const char* RootName(HKEY root) {
  switch (root) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    default: return "";
  }
}

// The hive file that holds a root key; nothing for the roots the platform
// does not keep.
std::optional<std::string> HiveFile(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE) return WinRoot::Instance().SystemHivePath();
  if (root == HKEY_CURRENT_USER) return WinRoot::Instance().UserHivePath();
  return std::nullopt;
}

// Full access means the right to write: refused when the hive file exists
// but this user may not write to it.
bool WriteRefused(const std::string& hostPath) {
  return access(hostPath.c_str(), F_OK) == 0 && access(hostPath.c_str(), W_OK) != 0;
}

// Text up to the first NUL, as a string value is read.
std::string_view UpToNul(std::string_view s) { return s.substr(0, s.find('\0')); }

// UTF-16LE units up to the first NUL unit; an odd last byte is dropped.
std::u16string Utf16UpToNul(std::string_view bytes) {
  std::u16string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (unit == 0) break;
    out += unit;
  }
  return out;
}

}  // namespace

void TRegistry::SetRootKey(HKEY root) {
  if (root == rootKey_) return;
  rootKey_ = root;
  CloseKey();
}

bool TRegistry::OpenKey(const AnsiString& key, bool /*canCreate*/) {
  AnsiString path;
  if (!key.empty() && key.front() == '\\') {
    path = key.substr(1);
  } else if (open_ && !currentPath_.empty()) {
    path = key.empty() ? currentPath_ : currentPath_ + "\\" + key;
  } else {
    path = key;
  }
  if (fault::Check("RegOpenKey", AnsiString(RootName(rootKey_)) + "\\" + path)) return false;

  const auto hostPath = HiveFile(rootKey_);
  if (!hostPath) return false;
  const hive::Hive hive = hive::Hive::Load(*hostPath);
  auto found = hive.FindKey(Utf8FromAnsi(path));
  if (!found || WriteRefused(*hostPath)) return false;

  current_ = std::move(*found);
  currentPath_ = std::move(path);
  open_ = true;
  return true;
}

AnsiString TRegistry::ReadString(const AnsiString& name) const {
  if (!open_) return {};
  const hive::Value* value = current_.Find(Utf8FromAnsi(name));
  if (value == nullptr || value->data.empty()) return {};
  if (value->type != hive::REG_SZ && value->type != hive::REG_EXPAND_SZ) {
    throw ERegistryException("Invalid data type for '" + name + "'");
  }
  if (value->quoted) return AnsiFromUtf8(UpToNul(value->data));
  return AnsiFromUtf16(Utf16UpToNul(value->data));
}

void TRegistry::CloseKey() {
  open_ = false;
  currentPath_.clear();
  current_ = hive::Key{};
}
