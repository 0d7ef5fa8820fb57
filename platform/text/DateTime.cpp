#include "DateTime.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <optional>
#include <string_view>

namespace {

constexpr const char* kEnglishNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};

Clock testClock = nullptr;
std::optional<DayNames> testNames;
std::optional<DayNames> localeNames;

bool IsUtf8(std::string_view codeset) { return codeset == "UTF-8" || codeset == "utf8" || codeset == "UTF8"; }

// Converts a text in the locale's code set to UTF-8; nothing when it cannot.
std::optional<std::string> ToUtf8(const char* text, const char* codeset) {
  if (IsUtf8(codeset)) return std::string(text);
  iconv_t cd = iconv_open("UTF-8", codeset);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in(text);
  std::string out(in.size() * 4 + 4, '\0');
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

const DayNames& Names() {
  if (testNames) return *testNames;
  if (!localeNames) LoadDayNames();
  return *localeNames;
}

bool IsLongDayFormat(const AnsiString& format) {
  if (format.size() != 4) return false;
  for (char c : format)
    if (c != 'a' && c != 'A') return false;
  return true;
}

}  // namespace

// The names come from a locale object of their own, so that the process's
// locale (number formats included) stays as it is.
DayNames ReadDefaultLocaleDayNames() {
  DayNames names;
  for (int i = 0; i < 7; ++i) names[i] = AnsiFromUtf8(kEnglishNames[i]);
  locale_t loc = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return names;
  const char* codeset = nl_langinfo_l(CODESET, loc);
  const nl_item items[7] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
  for (int i = 0; i < 7; ++i) {
    const char* name = nl_langinfo_l(items[i], loc);
    if (name == nullptr || *name == '\0') continue;
    if (auto utf8 = ToUtf8(name, codeset != nullptr ? codeset : "")) names[i] = AnsiFromUtf8(*utf8);
  }
  freelocale(loc);
  return names;
}

void LoadDayNames() { localeNames = ReadDefaultLocaleDayNames(); }

TDateTime Now() { return testClock != nullptr ? testClock() : std::time(nullptr); }

AnsiString FormatDateTime(const AnsiString& format, TDateTime when) {
  if (!IsLongDayFormat(format)) return format;
  std::tm local{};
  localtime_r(&when, &local);
  return Names()[static_cast<size_t>(local.tm_wday) % 7];
}

void SetClockForTesting(Clock clock) { testClock = clock; }

void SetDayNamesForTesting(const DayNames* names) {
  if (names != nullptr)
    testNames = *names;
  else
    testNames.reset();
}
