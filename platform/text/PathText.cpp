// Separator and folder-part rules on byte strings. Under CP932 the second
// byte of a double-byte character (which may be 0x5C) is never a separator.
#include <string>

#include "platform/text/Text.h"

namespace {

// Start of the last character of `s` (s must not be empty).
size_t LastCharStart(std::string_view s) {
  size_t last = 0;
  for (size_t i = 0; i < s.size(); i += CharLength(s, i)) last = i;
  return last;
}

// Index of the last single-byte '\' or ':' in `s`, or npos.
size_t LastDelimiter(std::string_view s) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < s.size(); i += CharLength(s, i)) {
    if (CharLength(s, i) == 1 && (s[i] == '\\' || s[i] == ':')) found = i;
  }
  return found;
}

}  // namespace

bool LastCharIsBackslash(std::string_view s) {
  if (s.empty()) return false;
  size_t last = LastCharStart(s);
  return last == s.size() - 1 && s[last] == '\\';
}

AnsiString ExtractFileDir(std::string_view path) {
  size_t at = LastDelimiter(path);
  if (at == std::string_view::npos) return {};
  std::string_view dir = path.substr(0, at + 1);
  // A final '\' goes unless the character before it is ':' or '\' (a root
  // such as "D:\" keeps it); a lone "\" is the root of the current drive.
  if (dir.back() == '\\' && dir.size() > 1) {
    std::string_view before = dir.substr(0, dir.size() - 1);
    if (!LastCharIsBackslash(before) && !(LastCharStart(before) == before.size() - 1 && before.back() == ':')) {
      dir = before;
    }
  }
  return AnsiString(dir);
}

AnsiString ExtractFileName(std::string_view path) {
  size_t at = LastDelimiter(path);
  return AnsiString(at == std::string_view::npos ? path : path.substr(at + 1));
}
