// Inside the window layer: the Qt widgets behind the controls that paint or
// react on their own.
#pragma once

#include <QPushButton>
#include <QWidget>

class TForm;
class TImage;
class TPanel;

// A panel: colour, bevels, caption; lays out its aligned children.
class PanelWidget : public QWidget {
 public:
  PanelWidget(QWidget* parent, TPanel* panel);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TPanel* panel_;
};

// A form's window: lays out its aligned children, then runs OnResize.
class FormWindow : public QWidget {
 public:
  explicit FormWindow(TForm* form);
  // The form is going away: no more events reach it.
  void Detach() { form_ = nullptr; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  TForm* form_;
};

// An image control: paints its picture's bitmap.
class ImageWidget : public QWidget {
 public:
  ImageWidget(QWidget* parent, TImage* image);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TImage* image_;
};

// A push button that Enter presses too while it has the focus.
class ButtonWidget : public QPushButton {
 public:
  explicit ButtonWidget(QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class TControl;
// Orders the keyboard focus of every focusable control under `root`: depth
// first, siblings by tab order, those without one last in creation order.
void ApplyTabChain(TControl* root);
