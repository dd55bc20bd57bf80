#include "cli/painting_application.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

TPaintingApplication::TPaintingApplication() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
      std::fprintf(stderr, "quenbrook-cli: %s\n", message.toLocal8Bit().constData());
  });
  // Qt keeps the arguments for the application's life.
  static int argc = 1;
  static char name[] = "quenbrook-cli";
  static char* argv[] = {name, nullptr};
  application_ = std::make_unique<QGuiApplication>(argc, argv);
}

TPaintingApplication::~TPaintingApplication() = default;
