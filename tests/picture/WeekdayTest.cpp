// The picture name by weekday, the weekday text and the locale's day names.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <string>

#include "picture/Weekday.h"
#include "platform/text/DateTime.h"
#include "platform/text/Text.h"

namespace {

AnsiString A(const char* utf8) { return AnsiFromUtf8(utf8); }

struct NameCase {
  const char* weekdayText;  // UTF-8
  const char* expected;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.weekdayText; }


class PictureNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(PictureNameTest, ChoosesTheFile) {
  EXPECT_EQ(weekday::PictureNameFor(A(GetParam().weekdayText)), GetParam().expected) << GetParam().weekdayText;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureNameTest,
    ::testing::Values(NameCase{"日曜日", "Image0.jpg"}, NameCase{"月曜日", "Image1.jpg"},
                      NameCase{"火曜日", "Image2.jpg"}, NameCase{"水曜日", "Image3.jpg"},
                      NameCase{"木曜日", "Image4.jpg"}, NameCase{"金曜日", "Image5.jpg"},
                      NameCase{"土曜日", "Image6.jpg"},
                      // Anywhere in the text, not the whole text.
                      NameCase{"今日は日曜日です", "Image0.jpg"}, NameCase{"(土曜)", "Image6.jpg"},
                      // The table decides, Sunday first, not the position in the text.
                      NameCase{"土曜と日曜", "Image0.jpg"},
                      // Nothing matches: the base name alone.
                      NameCase{"Sunday", "Image"}, NameCase{"Wednesday", "Image"}, NameCase{"", "Image"},
                      NameCase{"日", "Image"}, NameCase{"曜日", "Image"}));

// A fixed local time, for the clock seam.
std::time_t fixedNow = 0;
std::time_t FixedClock() { return fixedNow; }

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

class WeekdayTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const DayNames names = {"d0", "d1", "d2", "d3", "d4", "d5", "d6"};
    SetDayNamesForTesting(&names);
    SetClockForTesting(FixedClock);
  }
  void TearDown() override {
    SetDayNamesForTesting(nullptr);
    SetClockForTesting(nullptr);
  }
};

TEST_F(WeekdayTextTest, NamesTheLocalWeekdayOfNow) {
  // 3 January 2024 was a Wednesday, 6 January a Saturday, 7 January a Sunday.
  fixedNow = LocalTime(2024, 1, 3, 12, 0, 0);
  EXPECT_EQ(FormatDateTime("aaaa", Now()), "d3");
  fixedNow = LocalTime(2024, 1, 6, 12, 0, 0);
  EXPECT_EQ(FormatDateTime("aaaa", Now()), "d6");
  fixedNow = LocalTime(2024, 1, 7, 12, 0, 0);
  EXPECT_EQ(FormatDateTime("aaaa", Now()), "d0");
}

TEST_F(WeekdayTextTest, FollowsTheClockAcrossMidnight) {
  fixedNow = LocalTime(2024, 1, 3, 23, 59, 59);
  EXPECT_EQ(FormatDateTime("aaaa", Now()), "d3");
  fixedNow = LocalTime(2024, 1, 4, 0, 0, 1);
  EXPECT_EQ(FormatDateTime("aaaa", Now()), "d4");
}

// Runs `f` with LC_ALL set to `locale` (the default locale), then restores it.
template <class F>
void WithDefaultLocale(const char* locale, F f) {
  const char* old = std::getenv("LC_ALL");
  const std::string saved = old != nullptr ? old : "";
  setenv("LC_ALL", locale, 1);
  f();
  if (old != nullptr)
    setenv("LC_ALL", saved.c_str(), 1);
  else
    unsetenv("LC_ALL");
}

bool LocaleExists(const char* name) {
  locale_t loc = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return false;
  freelocale(loc);
  return true;
}

TEST(LocaleDayNames, JapaneseLocaleGivesJapaneseNamesInTheActiveCodePage) {
  for (const char* locale : {"ja_JP.UTF-8", "ja_JP.SJIS"}) {
    if (!LocaleExists(locale)) GTEST_SKIP() << locale << " is not generated (scripts/ensure-locales.sh)";
    WithDefaultLocale(locale, [&] {
      const DayNames names = ReadDefaultLocaleDayNames();
      EXPECT_EQ(names[0], A("日曜日")) << locale;
      EXPECT_EQ(names[3], A("水曜日")) << locale;
      EXPECT_EQ(names[6], A("土曜日")) << locale;
      EXPECT_EQ(weekday::PictureNameFor(names[3]), "Image3.jpg") << locale;
    });
  }
}

TEST(LocaleDayNames, OtherLocalesGiveNamesThatChooseNoPicture) {
  for (const char* locale : {"C", "C.UTF-8", "no_SUCH.locale"}) {
    WithDefaultLocale(locale, [&] {
      const DayNames names = ReadDefaultLocaleDayNames();
      EXPECT_EQ(names[0], "Sunday") << locale;
      EXPECT_EQ(names[6], "Saturday") << locale;
      for (const AnsiString& n : names) EXPECT_EQ(weekday::PictureNameFor(n), "Image") << locale;
    });
  }
}

TEST(LocaleDayNames, ReadingThemLeavesTheProcessLocaleAlone) {
  ActiveCodePage();  // the text layer's own start-up sets the process locale once
  const std::string before = std::setlocale(LC_ALL, nullptr);
  // A default locale other than the one in force, so a change would show.
  WithDefaultLocale(before == "C" ? "C.UTF-8" : "C", [] { ReadDefaultLocaleDayNames(); });
  EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
}

}  // namespace
