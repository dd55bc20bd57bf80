#pragma once

#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QTimer>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/vorla_config.h"
#include "core/list_display_options.h"
#include "core/model_environment.h"
#include "ui/commands.h"
#include "ui/qt_user_port.h"
#include "ui/xview_window.h"

struct TReportContext;

class QPrinter;
class QSplashScreen;
class TImportChannel;
class TMainFrame;
class TQtShellPort;
class TUndoSteps;
class TVorlaClient;
class TVorlaShell;

/// Where the program keeps its files and listens for import requests.
struct TVorlaAppSetup {
  /// The configuration file.
  std::string configPath;
  /// The folder of the locks that guard open budget files.
  std::string lockFolder;
  /// The local socket of the import channel; empty for none.
  QString importServerName;
  /// The HTML manual; empty to look for it beside the program and in the installed data.
  QString manualPath;
};

/// The application: it owns the configuration, the user port, the main window and the shell
/// with the one open budget, and ties them to the event loop. The shell's idle steps run when
/// the loop is about to wait (never inside themselves, nor while a dialog or menu is up), the
/// shell's timer ticks once a minute, and statements handed over on the import channel reach the
/// shell as pending imports.
class TVorlaApp : public QObject {
  Q_OBJECT

 public:
  TVorlaApp(TVorlaAppSetup setup, const TClock& clock, TCommandLine commandLine);
  ~TVorlaApp() override;

  /// Shows the main window where the configuration places it, with its bars.
  void Show();

  /// Carries out a command of the main window.
  void RunCommand(TCommandId id);
  /// Asks the update server and tells the user what it said.
  void CheckForUpdates();
  /// Writes the configuration with the main window's current placement.
  bool SaveConfiguration();

  TMainFrame& Frame() const { return *frame_; }
  TVorlaClient& Client() const;
  TVorlaShell& Shell() const { return *shell_; }
  TVorlaConfig& Config() const { return *config_; }
  TQtUserPort& User() { return user_; }
  TQtShellPort& ShellPort() const { return *shellPort_; }
  /// The one printer that all printing uses, made on first use.
  QPrinter& Printer();
  /// The import channel; null when another running copy has it.
  TImportChannel* ImportChannel() const { return importChannel_; }
  /// The display switches of the list windows, from the configuration.
  TListDisplayOptions DisplayOptions() const;
  /// The ledger windows' column widths and memo switch, from the configuration.
  TXViewSettings ViewSettings() const;
  /// The manual that "Help Contents" opens; empty when it cannot be found.
  QString ManualPath() const;

  /// A seam for tests: the certificates the update request trusts.
  void SetUpdateTls(const QSslConfiguration& tls) { updateTls_ = tls; }

 protected:
  /// Every dialog of the program, when it shows, gets its Tab order from its layout.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RunIdle();
  /// "&Undo" and "&Redo": an open cell editor is committed first, and its typing is the step
  /// an undo takes back.
  void CrossHistory(bool undo);
  /// The name of the step a command makes: its menu text, and the ledger it acts on.
  QString StepName(TCommandId id);
  /// The command itself, inside its step.
  void CarryOut(TCommandId id);
  /// Enables the commands for the open budget and the current ledger window.
  void UpdateCommands();
  bool MayClose();
  void RecordPlacement();
  void RunSettingsDialog(TCommandId id);
  /// "Transaction Templates" over the open budget's templates.
  void RunTemplatesDialog();
  /// The report dialog of a Reports command, preselecting the current list window's node.
  void RunReportDialog(TCommandId id);
  /// The chart window of a Reports > Charts command over `nodeId`, as a child window.
  void OpenChartWindow(TCommandId id, const TReportContext& context, uint32_t nodeId);
  void OpenManual();
  void OpenLink(const QString& address);
  /// The start-up window, shown while the first file is chosen and opened.
  void ShowSplash();
  void CloseSplash();

  TVorlaAppSetup setup_;
  const TClock& clock_;
  std::unique_ptr<TVorlaConfig> config_;
  TQtUserPort user_;
  TModelEnvironment environment_;
  std::unique_ptr<TMainFrame> frame_;
  std::unique_ptr<TQtShellPort> shellPort_;
  std::unique_ptr<TVorlaShell> shell_;
  std::unique_ptr<QPrinter> printer_;
  TImportChannel* importChannel_ = nullptr;
  QTimer minuteTimer_;
  QSslConfiguration updateTls_;
  QMetaObject::Connection idleConnection_;
  QPointer<QSplashScreen> splash_;
  TUndoSteps* steps_ = nullptr;
  int idleBlocked_ = 0;
  bool inIdle_ = false;
  bool placed_ = false;
};
