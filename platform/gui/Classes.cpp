#include "Classes.h"

#include <string>

#include "Exception.h"

const AnsiString& TStringList::Strings(int index) const {
  if (index < 0 || index >= Count()) throw Exception("List index " + std::to_string(index) + " is out of range");
  return items_[static_cast<size_t>(index)];
}
