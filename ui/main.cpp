#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QNetworkProxyFactory>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/config_store.h"
#include "app/file_guard.h"
#include "core/clock.h"
#include "core/save_file.h"
#include "platform/qt_import_channel.h"
#include "ui/vorla_app.h"

namespace {

// How long a second start waits for the running copy to take a statement.
constexpr int kHandOverTimeoutMs = 3000;

std::string AbsolutePath(const std::string& path) {
  const QString native = QFile::decodeName(QByteArray::fromStdString(path));
  return QFile::encodeName(QFileInfo(native).absoluteFilePath()).toStdString();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenbrook"));
  QApplication::setOrganizationName(QStringLiteral("Quenbrook"));
  QApplication::setDesktopFileName(QStringLiteral("quenbrook"));
  // The update request goes through the proxy the system is set up with.
  QNetworkProxyFactory::setUseSystemConfiguration(true);

  TCommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  const QString importChannel = TImportChannel::DefaultServerName();
  if (!commandLine.importFile.empty()) {
    // The running copy works in another folder, so it gets the statement's full path.
    commandLine.importFile = AbsolutePath(commandLine.importFile);
    if (TImportChannel::HandOver(importChannel, TImportChannel::RequestText(commandLine.importFile),
                                 kHandOverTimeoutMs)) {
      return EXIT_SUCCESS;
    }
  }

  TSystemClock clock;
  TVorlaAppSetup setup;
  setup.configPath = LocateConfigFile([](const char* name) { return std::getenv(name); });
  setup.lockFolder = TFileGuard::DefaultLockFolder();
  setup.importServerName = importChannel;
  int status = EXIT_SUCCESS;
  {
    TVorlaApp app(setup, clock, commandLine);
    app.Show();
    status = QApplication::exec();
  }
  // A normal end clears what killed saves left beside the files this session worked with.
  RemoveStaleTemporariesAtExit();
  return status;
}
