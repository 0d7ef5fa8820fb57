#include "QtText.h"

#include <QApplication>
#include <QByteArray>
#include <QPalette>

QString ToQString(std::string_view ansi) {
  const std::string utf8 = Utf8FromAnsi(ansi);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

AnsiString FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return AnsiFromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

QColor ToQColor(TColor color) {
  if ((color & clSystemColor) != 0) {
    const QPalette palette = QApplication::palette();
    switch (color) {
      case clWindow: return palette.color(QPalette::Base);
      case clWindowText: return palette.color(QPalette::WindowText);
      case clBtnText: return palette.color(QPalette::ButtonText);
      case clBtnFace:
      default: return palette.color(QPalette::Window);
    }
  }
  return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                static_cast<int>((color >> 16) & 0xFFu));
}
