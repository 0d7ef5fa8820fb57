// Name rules inside the system layer: splitting Windows paths, valid names,
// letter case and wildcard patterns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace names {

// True when the character at s[i] is a single-byte '\' or '/'.
bool IsSeparatorAt(std::string_view s, size_t i);
// The components of a Windows path between separators, empty ones dropped.
// Second bytes of double-byte characters are never separators.
std::vector<std::string> Split(std::string_view path);
// Index just past the last separator (or past "X:" when there is none), so
// path.substr(0, i) is the folder part and path.substr(i) the last name.
size_t LastNameStart(std::string_view path);
// False for a name with <>:"|?* or a control byte, which Windows refuses.
bool IsValidName(std::string_view name);
bool HasWildcards(std::string_view name);
// ASCII letters compared without regard to case, all other bytes exactly.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// '*' and '?' matching of UTF-8 names, '?' standing for one character and
// ASCII letters matched without regard to case. "*.*" matches every name.
bool MatchPattern(std::string_view pattern, std::string_view name);

}  // namespace names
