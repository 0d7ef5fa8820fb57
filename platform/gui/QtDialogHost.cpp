// The real boxes: QMessageBox and Qt's own folder dialog.
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "Dialogs.h"
#include "QtText.h"
#include "platform/system/Paths.h"

namespace {

// A message box that places itself in the middle of the screen once it has
// its final size.
class CentredMessageBox : public QMessageBox {
 public:
  explicit CentredMessageBox(QWidget* parent) : QMessageBox(parent) {}

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect frame = frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      move(frame.topLeft());
    }
  }
};

QMessageBox::Icon ToQtIcon(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Question: return QMessageBox::Question;
    case BoxIcon::Stop: return QMessageBox::Critical;
    case BoxIcon::Warning: return QMessageBox::Warning;
    case BoxIcon::Information: return QMessageBox::Information;
    case BoxIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// A window of ours that may own a box, or null.
QWidget* OwnerWindow(void* owner) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w == owner && w->isVisible()) return w;
  }
  QWidget* active = QApplication::activeWindow();
  return active;
}

class QtHost : public DialogHost {
 public:
  int ShowBox(const BoxRequest& request) override {
    CentredMessageBox box(OwnerWindow(nullptr));
    box.setIcon(ToQtIcon(request.icon));
    box.setWindowTitle(ToQString(request.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQString(request.text));
    std::vector<QPushButton*> made;
    // One role for all keeps the buttons in the order they are made.
    for (const AnsiString& caption : request.buttons) {
      made.push_back(box.addButton(ToQString(caption), QMessageBox::ActionRole));
    }
    const auto valid = [&made](int i) { return i >= 0 && static_cast<size_t>(i) < made.size(); };
    if (valid(request.defaultButton)) box.setDefaultButton(made[static_cast<size_t>(request.defaultButton)]);
    if (valid(request.escapeButton)) box.setEscapeButton(made[static_cast<size_t>(request.escapeButton)]);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    for (size_t i = 0; i < made.size() && i < request.results.size(); ++i) {
      if (made[i] == clicked) return request.results[i];
    }
    if (valid(request.escapeButton) && static_cast<size_t>(request.escapeButton) < request.results.size()) {
      return request.results[static_cast<size_t>(request.escapeButton)];
    }
    return mrCancel;
  }

  std::optional<AnsiString> BrowseForFolder(const AnsiString& title, void* owner) override {
    QFileDialog dialog(OwnerWindow(owner), ToQString(title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return AnsiString();
    const QByteArray host = QFile::encodeName(chosen.first());
    return paths::ToWindows(std::string_view(host.constData(), static_cast<size_t>(host.size())));
  }
};

}  // namespace

DialogHost& QtDialogHost() {
  static QtHost host;
  return host;
}
