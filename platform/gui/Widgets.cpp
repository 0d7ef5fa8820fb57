#include "Widgets.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

#include "Forms.h"
#include "QtText.h"

namespace {

void DrawBevel(QPainter& painter, QRect& r, TBevelCut cut, const QPalette& palette) {
  if (cut == bvNone || r.width() <= 0 || r.height() <= 0) return;
  const QColor dark = palette.color(QPalette::Dark);
  const QColor light = palette.color(QPalette::Light);
  const QColor& topLeft = cut == bvLowered ? dark : light;
  const QColor& bottomRight = cut == bvLowered ? light : dark;
  painter.setPen(topLeft);
  painter.drawLine(r.topLeft(), r.topRight());
  painter.drawLine(r.topLeft(), r.bottomLeft());
  painter.setPen(bottomRight);
  painter.drawLine(r.bottomLeft(), r.bottomRight());
  painter.drawLine(r.topRight(), r.bottomRight());
  r.adjust(1, 1, -1, -1);
}

}  // namespace

// ---- PanelWidget ----

PanelWidget::PanelWidget(QWidget* parent, TPanel* panel) : QWidget(parent), panel_(panel) {}

void PanelWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect r = rect();
  painter.fillRect(r, ToQColor(panel_->Color()));
  DrawBevel(painter, r, panel_->BevelOuter(), palette());
  DrawBevel(painter, r, panel_->BevelInner(), palette());
  if (panel_->Caption().empty()) return;
  int flags = Qt::AlignVCenter | Qt::TextSingleLine;
  switch (panel_->Alignment()) {
    case taLeftJustify: flags |= Qt::AlignLeft; break;
    case taRightJustify: flags |= Qt::AlignRight; break;
    case taCenter: flags |= Qt::AlignHCenter; break;
  }
  painter.setFont(font());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(r, flags, ToQString(panel_->Caption()));
}

void PanelWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  panel_->Realign();
}

// ---- FormWindow ----

FormWindow::FormWindow(TForm* form) : QWidget(nullptr, Qt::Window), form_(form) {}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (form_ == nullptr) return;
  // Aligned controls take their places before the form's handler reads them.
  form_->Realign();
  if (form_->WindowCreated()) form_->DoResize();
}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The window system closed the window (the form itself offers no way to):
  // that ends the program like the form's Close.
  event->accept();
  if (form_ != nullptr && !form_->Closed()) form_->Close();
}

// ---- ImageWidget ----

ImageWidget::ImageWidget(QWidget* parent, TImage* image) : QWidget(parent), image_(image) {}

void ImageWidget::paintEvent(QPaintEvent*) {
  const TBitmap* bitmap = image_->Picture()->Graphic();
  if (bitmap == nullptr || bitmap->Image().isNull()) return;
  QPainter painter(this);
  if (image_->Stretch()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), bitmap->Image());
  } else {
    painter.drawImage(QPoint(0, 0), bitmap->Image());
  }
}

// ---- ButtonWidget ----

ButtonWidget::ButtonWidget(QWidget* parent) : QPushButton(parent) {
  setAutoDefault(false);
  setDefault(false);
  setFocusPolicy(Qt::StrongFocus);
}

void ButtonWidget::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    event->accept();
    click();
    return;
  }
  QPushButton::keyPressEvent(event);
}
