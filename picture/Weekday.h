// The weekday text behind the welcome picture's name, with a seam for tests:
// the clock and the seven long day names can be replaced.
#pragma once

#include <array>
#include <ctime>

#include "platform/text/Text.h"

namespace weekday {

using DayNames = std::array<AnsiString, 7>;  // Sunday first, active code page
using Clock = std::time_t (*)();

// The long name of the current local weekday (the date formatter's "aaaa" of
// now). The names come from the default locale, read once, on first use;
// "Sunday".."Saturday" when the locale gives none.
AnsiString WeekdayText();

// The picture file name for a weekday text: "Image" plus the suffix of the
// first weekday (Sunday first) whose short Japanese name occurs in the text;
// "Image" alone when none does.
AnsiString PictureNameFor(const AnsiString& weekdayText);

// Reads the long day names of the default locale now (WeekdayText reads them
// once and keeps them), converted from the locale's code set to the active
// code page.
DayNames ReadDefaultLocaleDayNames();

// nullptr restores the system clock / the locale's names.
void SetClockForTesting(Clock clock);
void SetDayNamesForTesting(const DayNames* names);

}  // namespace weekday
