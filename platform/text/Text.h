// Byte strings in the active ANSI code page and the few text routines the
// program relies on. Positions are 1-based byte positions.
#pragma once

#include <string>
#include <string_view>

using AnsiString = std::string;

enum class CodePage { Utf8 = 65001, Cp932 = 932 };

// The code page of every AnsiString: CP932 when the locale's codeset is
// Shift-JIS, UTF-8 otherwise (the C locale included). Fixed at first use.
CodePage ActiveCodePage();
// Tests switch the code page to exercise double-byte handling.
void SetActiveCodePage(CodePage page);

// The code page a locale codeset stands for: CP932 for SHIFT_JIS, SJIS, CP932
// and Shift-JIS (any case), UTF-8 for everything else.
CodePage CodePageForCodeset(std::string_view codeset);

// True when `c` starts a double-byte character in the active code page.
bool IsLeadByte(unsigned char c);
// The byte length (1 or 2) of the character that starts at s[i] in the active
// code page; a lead byte at the very end counts as one byte.
size_t CharLength(std::string_view s, size_t i);

// Converts between the active code page and UTF-8. Bytes that do not convert
// become '?'.
AnsiString AnsiFromUtf8(std::string_view utf8);
std::string Utf8FromAnsi(std::string_view ansi);
std::u16string Utf16FromAnsi(std::string_view ansi);
AnsiString AnsiFromUtf16(std::u16string_view utf16);

// Appends the UTF-8 form of one Unicode code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// 1-based byte position of the first occurrence of `sub` in `s`; 0 when absent
// or when `sub` is empty.
int Pos(std::string_view sub, std::string_view s);

// True when the last character of `s` is the single byte '\' (a trailing byte of
// a double-byte character does not count). False for an empty text.
bool LastCharIsBackslash(std::string_view s);

// The folder part of a path: up to and including the last '\' or ':', then a
// final '\' dropped unless the byte before it is ':' or '\'. "D:\Setup.exe"
// gives "D:\"; "\x" gives "\". Trailing bytes of double-byte characters
// never count.
AnsiString ExtractFileDir(std::string_view path);

// The name part: what follows the last '\' or ':'.
AnsiString ExtractFileName(std::string_view path);

// MultiByteToWideChar with CP_ACP: converts `len` bytes (-1: up to and
// including the terminating zero) into `out`. Returns the units written, or 0
// when `out` is too small (nothing usable is left in it then). With outUnits 0
// it returns the number of units needed and writes nothing.
constexpr unsigned CP_ACP = 0;
int MultiByteToWideChar(unsigned codePage, unsigned flags, const char* text, int len, char16_t* out,
                        int outUnits);
