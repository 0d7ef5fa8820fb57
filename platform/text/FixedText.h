// The program's fixed texts are written once, in UTF-8, and converted to the
// active code page the first time they are used.
#pragma once

#include "Text.h"

// Returns `utf8` converted to the active code page. The result for each
// distinct literal is computed once per code page and kept for the program's
// life, so the reference stays valid.
const AnsiString& FixedText(const char* utf8);

// Shorthand for the call sites: TX("確認").
#define TX(utf8literal) FixedText(utf8literal)
