// Setup: the installer's main module. Qt reads its own options from the
// command line; the program itself reads none and always exits with 0.
#include <QApplication>

#include "app/Entry.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RunSetup();
}
