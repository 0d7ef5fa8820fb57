#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>

#include "Forms.h"
#include "QtText.h"
#include "Resources.h"
#include "Widgets.h"
#include "XpmImage.h"

TForm::TForm(AnsiString name) : TControl(new FormWindow(this), nullptr, std::move(name)) {}

TForm::~TForm() {
  static_cast<FormWindow*>(widget_)->Detach();
  while (!controls_.empty()) controls_.pop_back();  // children before their parents
}

int TForm::ClientWidth() const { return widget_->width(); }
int TForm::ClientHeight() const { return widget_->height(); }
void TForm::SetClientWidth(int width) { SetWidth(width); }
void TForm::SetClientHeight(int height) { SetHeight(height); }

void TForm::SetCaption(const AnsiString& text) {
  caption_ = text;
  widget_->setWindowTitle(ToQString(text));
}

namespace {

void ShowInState(QWidget* window, TWindowState state) {
  switch (state) {
    case wsMaximized:
      // Fill the work area ourselves too: without a window manager (a bare X
      // server) the maximised state alone changes nothing.
      if (QScreen* screen = QGuiApplication::primaryScreen()) window->setGeometry(screen->availableGeometry());
      window->showMaximized();
      break;
    case wsMinimized: window->showMinimized(); break;
    case wsNormal: window->showNormal(); break;
  }
}

}  // namespace

void TForm::SetWindowState(TWindowState state) {
  windowState_ = state;
  if (widget_->isVisible()) ShowInState(widget_, state);
}

void TForm::SetPosition(TPosition position) { position_ = position; }

namespace {

void ApplyWindowFlags(QWidget* window, bool borderIcons) {
  const bool visible = window->isVisible();
  if (borderIcons) {
    window->setWindowFlags(Qt::Window);
  } else {
    // A title bar without system menu and without any button.
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  }
  if (visible) window->show();
}

}  // namespace

void TForm::SetBorderIcons(bool any) {
  borderIcons_ = any;
  if (windowCreated_) ApplyWindowFlags(widget_, any);
}

void TForm::CreateWindow() {
  if (windowCreated_) return;
  ApplyWindowFlags(widget_, borderIcons_);
  widget_->setWindowTitle(ToQString(caption_));
  const QImage icon = ImageFromXpmText(FindResource("MAINICON"));
  if (!icon.isNull()) widget_->setWindowIcon(QIcon(QPixmap::fromImage(icon)));
  switch (position_) {
    case poDesigned:
      widget_->move(designLeft_, designTop_);
      break;
    case poScreenCenter:
      if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = widget_->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        widget_->move(frame.topLeft());
      }
      break;
    case poDefault:
    case poDefaultPosOnly:
    case poDefaultSizeOnly:
      break;  // the window system places the window
  }
  windowCreated_ = true;
}

void TForm::Show() {
  CreateWindow();
  closed_ = false;
  ShowInState(widget_, windowState_);
}

void TForm::Close() {
  closed_ = true;
  widget_->hide();
  if (Application->MainForm() == this) Application->Terminate();
}

void* TForm::Handle() { return widget_; }

TControl* TForm::FindControl(const AnsiString& name) const {
  for (const auto& control : controls_) {
    if (control->Name() == name) return control.get();
  }
  return nullptr;
}

void TForm::DoCreate() {
  if (OnCreate) Application->Dispatch(OnCreate);
}

void TForm::DoResize() {
  if (OnResize) Application->Dispatch(OnResize);
}

void TForm::DoDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (OnDestroy) Application->Dispatch(OnDestroy);
}
