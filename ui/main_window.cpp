#include "ui/main_window.h"

#include <QMdiArea>

TMainWindow::TMainWindow(QWidget* parent) : QMainWindow(parent) {
  // The product name, the version and one blank, as the title reads while no budget is open.
  setWindowTitle(QStringLiteral("Quenbrook 3.1 "));
  setCentralWidget(new QMdiArea(this));
  resize(1024, 720);
}
