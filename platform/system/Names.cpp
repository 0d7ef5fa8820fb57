// Name rules.
#include "platform/system/Names.h"

#include "platform/text/Text.h"

namespace names {
namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Splits UTF-8 text into characters so that '?' takes one whole character.
std::vector<std::string_view> Utf8Chars(std::string_view s) {
  std::vector<std::string_view> out;
  for (size_t i = 0; i < s.size();) {
    size_t n = 1;
    while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80) ++n;
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

bool SameChar(std::string_view a, std::string_view b) { return EqualsIgnoreCase(a, b); }

}  // namespace

bool IsSeparatorAt(std::string_view s, size_t i) {
  return CharLength(s, i) == 1 && (s[i] == '\\' || s[i] == '/');
}

std::vector<std::string> Split(std::string_view path) {
  std::vector<std::string> parts;
  std::string current;
  for (size_t i = 0; i < path.size();) {
    size_t n = CharLength(path, i);
    if (IsSeparatorAt(path, i)) {
      if (!current.empty()) parts.push_back(std::move(current));
      current.clear();
    } else {
      current.append(path.substr(i, n));
    }
    i += n;
  }
  if (!current.empty()) parts.push_back(std::move(current));
  return parts;
}

size_t LastNameStart(std::string_view path) {
  size_t start = path.size() >= 2 && path[1] == ':' ? 2 : 0;
  for (size_t i = 0; i < path.size(); i += CharLength(path, i)) {
    if (IsSeparatorAt(path, i)) start = i + 1;
  }
  return start;
}

bool IsValidName(std::string_view name) {
  for (size_t i = 0; i < name.size(); i += CharLength(name, i)) {
    if (CharLength(name, i) == 2) continue;
    auto c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

bool HasWildcards(std::string_view name) {
  for (size_t i = 0; i < name.size(); i += CharLength(name, i)) {
    if (CharLength(name, i) == 1 && (name[i] == '*' || name[i] == '?')) return true;
  }
  return false;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

bool MatchPattern(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") pattern = "*";
  auto p = Utf8Chars(pattern);
  auto n = Utf8Chars(name);
  // Iterative matching with one backtrack point for the last '*'.
  size_t pi = 0, ni = 0, starP = std::string_view::npos, starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && p[pi] == "*") {
      starP = pi++;
      starN = ni;
    } else if (pi < p.size() && (p[pi] == "?" || SameChar(p[pi], n[ni]))) {
      ++pi;
      ++ni;
    } else if (starP != std::string_view::npos) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == "*") ++pi;
  return pi == p.size();
}

}  // namespace names
