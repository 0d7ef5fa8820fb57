// Inside the window layer: the text form description, parsed into a tree.
//
//   object Name: TClass
//     Property = value
//     object Child: TClass ... end
//   end
//
// Values: integers (negative, or $hex), strings in single quotes ('' is a
// quote) joined with #NNN character codes and '+' continuations, identifiers
// (True and False among them) and sets of identifiers in brackets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace formtext {

struct Value {
  enum class Kind { Integer, String, Identifier, Set };
  Kind kind = Kind::Integer;
  long long integer = 0;
  std::string text;                // a string (UTF-8) or an identifier
  std::vector<std::string> items;  // the identifiers of a set
};

struct Property {
  std::string name;  // may be dotted: Font.Name
  Value value;
  int line = 0;
};

struct Object {
  std::string name;
  std::string className;
  int line = 0;
  std::vector<Property> properties;
  std::vector<Object> children;
};

// Parses a whole description. Raises Exception naming `source` and the line
// of the first fault.
Object Parse(std::string_view text, std::string_view source);

// ASCII case-insensitive comparison (names in descriptions ignore case).
bool SameName(std::string_view a, std::string_view b);

}  // namespace formtext
