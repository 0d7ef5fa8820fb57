// The welcome picture's file name for a weekday text.
#pragma once

#include "platform/text/Text.h"

namespace weekday {

// "Image" plus the suffix of the first weekday (Sunday first) whose short
// Japanese name occurs in the text; "Image" alone when none does.
AnsiString PictureNameFor(const AnsiString& weekdayText);

}  // namespace weekday
