// TStringList: an unsorted list of texts.
#pragma once

#include <vector>

#include "platform/text/Text.h"

class TStringList {
 public:
  bool Sorted = false;

  int Add(const AnsiString& s) {
    items_.push_back(s);
    return static_cast<int>(items_.size()) - 1;
  }
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  // Indexed read; throws Exception (list index out of bounds) for a bad index.
  const AnsiString& Strings(int index) const;
  const AnsiString& operator[](int index) const { return Strings(index); }

 private:
  std::vector<AnsiString> items_;
};
