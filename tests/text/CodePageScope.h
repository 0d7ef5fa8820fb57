// Switches the active code page for one test and switches it back.
#pragma once

#include "platform/text/Text.h"

class CodePageScope {
 public:
  explicit CodePageScope(CodePage page) : previous_(ActiveCodePage()) { SetActiveCodePage(page); }
  ~CodePageScope() { SetActiveCodePage(previous_); }
  CodePageScope(const CodePageScope&) = delete;
  CodePageScope& operator=(const CodePageScope&) = delete;

 private:
  CodePage previous_;
};
