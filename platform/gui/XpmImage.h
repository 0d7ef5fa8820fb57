// Pictures in the XPM text format (a C array of strings), decoded by Qt's own
// XPM reader without going through the image-format plug-ins: asking the
// plug-in loader for a format loads every installed image plug-in first.
#pragma once

#include <QImage>
#include <string_view>

// The picture the text describes; a null image when the text is no XPM
// picture or holds fewer lines than its header announces.
QImage ImageFromXpmText(std::string_view text);
