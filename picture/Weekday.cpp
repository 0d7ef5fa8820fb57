// FormResize: chooses the welcome picture by the name of the current weekday,
// lays the window out and shows the picture.
#include "picture/Weekday.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <optional>
#include <string_view>

#include "platform/text/FixedText.h"
#include "setup_window/Frame.h"

namespace weekday {
namespace {

constexpr const char* kEnglishNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};

Clock testClock = nullptr;
std::optional<DayNames> testNames;

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

namespace {
const DayNames& Names() {
  if (testNames) return *testNames;
  static const DayNames localeNames = ReadDefaultLocaleDayNames();
  return localeNames;
}
}  // namespace

AnsiString WeekdayText() {
  const std::time_t now = testClock != nullptr ? testClock() : std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Names()[static_cast<size_t>(local.tm_wday) % 7];
}

AnsiString PictureNameFor(const AnsiString& weekdayText) {
  const struct {
    const char* text;
    const char* suffix;
  } table[] = {{"日曜", "0.jpg"}, {"月曜", "1.jpg"}, {"火曜", "2.jpg"}, {"水曜", "3.jpg"},
               {"木曜", "4.jpg"}, {"金曜", "5.jpg"}, {"土曜", "6.jpg"}};
  AnsiString name = "Image";
  for (const auto& entry : table) {
    if (Pos(TX(entry.text), weekdayText) != 0) {
      name += entry.suffix;
      break;
    }
  }
  return name;
}

void SetClockForTesting(Clock clock) { testClock = clock; }

void SetDayNamesForTesting(const DayNames* names) {
  if (names != nullptr)
    testNames = *names;
  else
    testNames.reset();
}

}  // namespace weekday

void TFrameForm::FormResize(void* /*sender*/) {
  const AnsiString name = weekday::PictureNameFor(weekday::WeekdayText());
  ArrangePanels();
  ShowPicture(name);
}
