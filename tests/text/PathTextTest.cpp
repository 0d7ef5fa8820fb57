// Separator tests and the folder part, byte-wise and under CP932 where the
// second byte of a double-byte character may be 0x5C.
#include <gtest/gtest.h>

#include <string>

#include "platform/text/Text.h"
#include "tests/text/CodePageScope.h"

namespace {

const std::string kSo = "\x83\x5C";  // ソ in CP932
const std::string kHyo = "\x95\x5C";  // 表 in CP932

struct DirCase {
  std::string path;
  std::string dir;
};

TEST(ExtractFileDir, KeepsTheSeparatorOfARootAndDropsItElsewhere) {
  CodePageScope utf8(CodePage::Utf8);
  const DirCase cases[] = {
      {"D:\\Setup.exe", "D:\\"},
      {"C:\\a\\b.exe", "C:\\a"},
      {"C:\\\\x", "C:\\\\"},  // the '\' before the last one keeps it
      {"C:\\a\\", "C:\\a"},
      {"C:Setup.exe", "C:"},
      {"\\Setup.exe", "\\"},
      {"Setup.exe", ""},
      {"", ""},
      {"\\\\server\\share\\x", "\\\\server\\share"},
      {"C:\\Program Files\\Corvalen\\Setup.exe", "C:\\Program Files\\Corvalen"},
  };
  for (const DirCase& c : cases) EXPECT_EQ(ExtractFileDir(c.path), c.dir) << c.path;
}

TEST(ExtractFileDir, SecondBytesOfDoubleByteCharactersAreNoSeparatorsUnderCp932) {
  CodePageScope cp932(CodePage::Cp932);
  EXPECT_EQ(AnsiFromUtf8("C:\\ソ\\x.exe"), "C:\\" + kSo + "\\x.exe");
  const DirCase cases[] = {
      {"C:\\" + kSo + "\\x.exe", "C:\\" + kSo},  // the final '\' goes: the byte before is ソ's
      {"C:\\" + kSo, "C:\\"},                     // ソ's 0x5C is not a separator
      {"C:\\a" + kHyo + "b", "C:\\"},
      {kSo + "x.exe", ""},
      {"C:\\" + kSo + "\\\\x", "C:\\" + kSo + "\\\\"},
      {"D:\\Setup.exe", "D:\\"},
  };
  for (const DirCase& c : cases) EXPECT_EQ(ExtractFileDir(c.path), c.dir) << c.path;
}

TEST(ExtractFileDir, WithoutCp932EveryByte0x5CIsASeparator) {
  CodePageScope utf8(CodePage::Utf8);
  EXPECT_EQ(ExtractFileDir("C:\\" + kSo + "\\x.exe"), "C:\\" + kSo + "\\");
  EXPECT_EQ(ExtractFileDir("C:\\" + kSo), "C:\\\x83");
}

TEST(ExtractFileName, IsWhatFollowsTheLastSeparatorOrColon) {
  CodePageScope cp932(CodePage::Cp932);
  const DirCase cases[] = {
      {"C:\\a\\b.exe", "b.exe"}, {"C:b.exe", "b.exe"},  {"b.exe", "b.exe"},
      {"C:\\a\\", ""},           {"C:\\" + kSo, kSo},   {"C:\\" + kHyo + "\\" + kSo + ".spi", kSo + ".spi"},
  };
  for (const DirCase& c : cases) EXPECT_EQ(ExtractFileName(c.path), c.dir) << c.path;
}

TEST(LastCharIsBackslash, LooksAtTheLastCharacterNotTheLastByte) {
  struct Case {
    std::string text;
    bool utf8;
    bool cp932;
  };
  const Case cases[] = {
      {"", false, false},
      {"\\", true, true},
      {"C:\\", true, true},
      {"C:\\a", false, false},
      {"C:\\" + kSo, true, false},
      {kSo + "\\", true, true},
      {kSo + kSo, true, false},
      {"a\x83", false, false},       // a lead byte cut off counts as one byte
      {"a\x83\\", true, false},       // 0x83 0x5C is one character
      {"\x83\\\\", true, true},      // ソ, then a real '\'
  };
  for (const Case& c : cases) {
    {
      CodePageScope utf8(CodePage::Utf8);
      EXPECT_EQ(LastCharIsBackslash(c.text), c.utf8) << "UTF-8: " << c.text;
    }
    CodePageScope cp932(CodePage::Cp932);
    EXPECT_EQ(LastCharIsBackslash(c.text), c.cp932) << "CP932: " << c.text;
  }
}

}  // namespace
