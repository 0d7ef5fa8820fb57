// Inside the window layer: texts between the active code page and Qt, and
// colours between TColor and Qt.
#pragma once

#include <QColor>
#include <QString>
#include <string_view>

#include "Controls.h"
#include "platform/text/Text.h"

QString ToQString(std::string_view ansi);
AnsiString FromQString(const QString& text);
QColor ToQColor(TColor color);
