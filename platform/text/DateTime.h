// The current date and time and the date formatter, as far as the program
// uses them: the long name of the weekday ("aaaa").
#pragma once

#include <array>
#include <ctime>

#include "Text.h"

using TDateTime = std::time_t;

// The current local date and time.
TDateTime Now();

// Formats `when` by `format`. Only "aaaa" (letters in either case), the long
// weekday name, is known; any other format is returned as it stands.
AnsiString FormatDateTime(const AnsiString& format, TDateTime when);

using DayNames = std::array<AnsiString, 7>;  // Sunday first, active code page

// The long day names of the default locale, converted from the locale's code
// set to the active code page; "Sunday".."Saturday" where it gives none.
// FormatDateTime reads them once (LoadDayNames at start, or on first use).
DayNames ReadDefaultLocaleDayNames();
void LoadDayNames();

// Seams for tests: nullptr restores the system clock / the locale's names.
using Clock = std::time_t (*)();
void SetClockForTesting(Clock clock);
void SetDayNamesForTesting(const DayNames* names);
