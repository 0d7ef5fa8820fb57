// The code page choice, conversions, Pos, MultiByteToWideChar and FixedText.
#include <gtest/gtest.h>

#include <string>

#include "platform/text/FixedText.h"
#include "platform/text/Text.h"
#include "tests/text/CodePageScope.h"

namespace {

// "ソフト" in CP932: ソ is 0x83 0x5C, its second byte the separator's.
const std::string kSofutoCp932 = "\x83\x5C\x83\x74\x83\x67";

TEST(CodePage, CodesetsNamingShiftJisChooseCp932AndAllOthersUtf8) {
  struct Case {
    const char* codeset;
    CodePage page;
  };
  const Case cases[] = {
      {"SHIFT_JIS", CodePage::Cp932}, {"shift_jis", CodePage::Cp932}, {"SJIS", CodePage::Cp932},
      {"sjis", CodePage::Cp932},      {"CP932", CodePage::Cp932},     {"cp932", CodePage::Cp932},
      {"Shift-JIS", CodePage::Cp932}, {"UTF-8", CodePage::Utf8},      {"ANSI_X3.4-1968", CodePage::Utf8},
      {"EUC-JP", CodePage::Utf8},     {"", CodePage::Utf8},           {"SHIFT_JISX0213", CodePage::Utf8},
  };
  for (const Case& c : cases) EXPECT_EQ(CodePageForCodeset(c.codeset), c.page) << c.codeset;
}

TEST(CodePage, LeadBytesExistOnlyUnderCp932) {
  {
    CodePageScope cp932(CodePage::Cp932);
    for (int b : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(b))) << b;
    for (int b : {0x5C, 0x80, 0xA0, 0xDF, 0xFD, 0x41}) EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(b))) << b;
  }
  CodePageScope utf8(CodePage::Utf8);
  EXPECT_FALSE(IsLeadByte(0x83));
}

TEST(Conversion, Cp932RoundTripsJapaneseText) {
  CodePageScope cp932(CodePage::Cp932);
  EXPECT_EQ(AnsiFromUtf8("ソフト"), kSofutoCp932);
  EXPECT_EQ(Utf8FromAnsi(kSofutoCp932), "ソフト");
  EXPECT_EQ(Utf16FromAnsi(kSofutoCp932), u"ソフト");
  EXPECT_EQ(AnsiFromUtf16(u"ソフト"), kSofutoCp932);
  EXPECT_EQ(AnsiFromUtf8("ＭＳ Ｐゴシック"), "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E");
}

TEST(Conversion, UnconvertibleCharactersBecomeQuestionMarks) {
  CodePageScope cp932(CodePage::Cp932);
  EXPECT_EQ(AnsiFromUtf8("a\xF0\x9F\x98\x80" "b"), "a?b");      // no emoji in CP932
  EXPECT_EQ(Utf8FromAnsi("a\x83"), "a?");                      // a lead byte cut off
  EXPECT_EQ(AnsiFromUtf16(std::u16string(u"x") + char16_t(0xD800)), "x?");  // lone surrogate
  CodePageScope utf8(CodePage::Utf8);
  EXPECT_EQ(Utf16FromAnsi("a\xFF" "b"), u"a?b");
}

TEST(Conversion, Utf8PageKeepsBytesAsTheyAre) {
  CodePageScope utf8(CodePage::Utf8);
  EXPECT_EQ(AnsiFromUtf8("日本"), "日本");
  EXPECT_EQ(Utf8FromAnsi("日本"), "日本");
  EXPECT_EQ(Utf16FromAnsi("日本"), u"日本");
  EXPECT_EQ(AnsiFromUtf16(u"日本"), "日本");
}

TEST(Pos, IsTheOneBasedByteOffsetOfTheFirstOccurrence) {
  struct Case {
    const char* sub;
    const char* s;
    int pos;
  };
  const Case cases[] = {
      {"", "abc", 0},         {"a", "", 0},          {"a", "abc", 1},        {"c", "abc", 3},
      {"abc", "abc", 1},      {"abcd", "abc", 0},    {"x", "abc", 0},        {".bmp", "a.bmp.bmp", 2},
      {".BMP", "a.bmp", 0},   {".gif", "x.GIF", 0},  {"\\", "C:\\a", 3},
  };
  for (const Case& c : cases) EXPECT_EQ(Pos(c.sub, c.s), c.pos) << c.sub << " in " << c.s;
}

TEST(MultiByteToWideChar, CountsTheTerminatorWithLengthMinusOne) {
  CodePageScope utf8(CodePage::Utf8);
  char16_t out[8];
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", -1, out, 8), 3);
  EXPECT_EQ(std::u16string(out, 3), std::u16string(u"ab\0", 3));
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 2, out, 8), 2);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", -1, nullptr, 0), 3);  // size asked
}

TEST(MultiByteToWideChar, ATextThatDoesNotFitGivesZeroAndNoUsableText) {
  CodePageScope utf8(CodePage::Utf8);
  char16_t out[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcd", -1, out, 4), 0);  // needs 5 units
  EXPECT_EQ(out[0], u'\0');
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, out, 4), 4);  // exactly fits
  EXPECT_EQ(out[3], u'\0');
}

TEST(MultiByteToWideChar, DoubleByteCharactersGiveOneUnitUnderCp932) {
  CodePageScope cp932(CodePage::Cp932);
  char16_t out[8];
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "C:\\\x83\x5C", -1, out, 8), 5);
  EXPECT_EQ(std::u16string(out, 5), std::u16string(u"C:\\ソ\0", 5));
  EXPECT_EQ(MultiByteToWideChar(12345, 0, "a", -1, out, 8), 0);  // unknown code page
}

TEST(FixedText, ConvertsOnceAndFollowsACodePageChange) {
  CodePageScope cp932(CodePage::Cp932);
  const AnsiString& first = TX("ソフト");
  EXPECT_EQ(first, kSofutoCp932);
  EXPECT_EQ(&TX("ソフト"), &first);  // kept, not converted again
  {
    CodePageScope utf8(CodePage::Utf8);
    EXPECT_EQ(TX("ソフト"), "ソフト");
  }
  EXPECT_EQ(first, kSofutoCp932);  // what was handed out earlier is still valid
  EXPECT_EQ(&TX("ソフト"), &first);
}

}  // namespace
