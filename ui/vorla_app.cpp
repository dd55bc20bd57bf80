#include "ui/vorla_app.h"

#include <QAbstractEventDispatcher>
#include <QAbstractPrintDialog>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QSplashScreen>
#include <QUrl>

#include "app/config_store.h"
#include "app/ledger_switches.h"
#include "app/recent_budgets.h"
#include "app/update_check.h"
#include "app/vorla_shell.h"
#include "app/window_title.h"
#include "core/account_node.h"
#include "core/envelope_node.h"
#include "core/vorla_data.h"
#include "planning/allocation_plan.h"
#include "planning/template_manager.h"
#include "platform/qt_import_channel.h"
#include "platform/qt_update_check.h"
#include "transactions/undo_history.h"
#include "transactions/xmanager.h"
#include "ui/about_dialog.h"
#include "ui/account_tree_window.h"
#include "ui/chart_window.h"
#include "ui/envelope_tree_window.h"
#include "ui/ledger_report_dialogs.h"
#include "ui/ledger_window.h"
#include "ui/main_frame.h"
#include "ui/model_text.h"
#include "ui/placement.h"
#include "ui/product_image.h"
#include "ui/qt_shell_port.h"
#include "ui/settings_dialog.h"
#include "ui/summary_report_dialogs.h"
#include "ui/tab_order.h"
#include "ui/template_list_dialog.h"
#include "ui/undo_steps.h"
#include "ui/vorla_client.h"
#include "ui/xview_window.h"

namespace {

constexpr int kMinuteMs = 60 * 1000;
constexpr int kSplashImageSize = 192;
constexpr const char* kWebsite = "https://www.quenbrook.org/vorla.aspx?lnk=31";

QSize ScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr
             ? screen->size()
             : QSize(TVorlaConfig::kDefaultScreenWidth, TVorlaConfig::kDefaultScreenHeight);
}

}  // namespace

TVorlaApp::TVorlaApp(TVorlaAppSetup setup, const TClock& clock, TCommandLine commandLine)
    : setup_(std::move(setup)),
      clock_(clock),
      config_(LoadConfig(setup_.configPath, ScreenSize().width(), ScreenSize().height())),
      user_(clock),
      environment_{user_, clock},
      updateTls_(QSslConfiguration::defaultConfiguration()) {
  auto* client = new TVorlaClient([this] { return DisplayOptions(); });
  frame_ = std::make_unique<TMainFrame>(client);
  QApplication::setWindowIcon(ProductImage(64));
  frame_->setWindowTitle(QString::fromStdString(WindowTitle(std::string())));
  user_.SetOwner(frame_.get());
  user_.SetConfig(config_.get());
  // The start-up window never stands over a question or a dialog.
  user_.SetBeforeDialog([this] { CloseSplash(); });
  shellPort_ =
      std::make_unique<TQtShellPort>(*frame_, user_, clock_, [this] { CheckForUpdates(); });
  shell_ = std::make_unique<TVorlaShell>(environment_, *config_, setup_.configPath, *shellPort_,
                                         setup_.lockFolder);
  shell_->SetCommandLine(std::move(commandLine));
  shell_->SetTypingCheck([this] { return Client().IsTyping(); });
  shellPort_->SetFileChanged([this] { shell_->FileChangedOutside(); });

  client->SetViewSettings([this] { return ViewSettings(); });
  connect(client, &TVorlaClient::ViewConfigurationRequested, this,
          [this] { RunCommand(kCmdTransactionViewConfiguration); });
  connect(client, &TVorlaClient::LedgerCommandsChanged, this, [this] { UpdateCommands(); });
  connect(client, &QMdiArea::subWindowActivated, this, [this] { UpdateCommands(); });
  frame_->SetLedgerState([this](TCommandId id) {
    TMainFrame::TLedgerCommandState state;
    if (TXView* view = Client().CurrentView()) {
      state.enabled = view->IsCommandEnabled(id);
      state.checked = view->IsCommandChecked(id);
    }
    return state;
  });
  frame_->SetLedgerMenu([this] {
    if (TXView* view = Client().CurrentView()) {
      view->UpdateActions();
      return view->MenuActions();
    }
    std::vector<QAction*> actions;
    if (auto* list = qobject_cast<TEnhancedListWindow*>(Client().currentSubWindow())) {
      list->UpdateCommands();
      for (QAction* action : list->Commands())
        actions.push_back(action->isSeparator() ? nullptr : action);
    }
    return actions;
  });
  client->SetAccountLedgerHook([this](uint32_t accountId, bool reconcile) {
    Client().OpenAccountLedger(accountId, reconcile ? unsigned{TXViewModel::kOpenReconcile} : 0u);
  });
  client->SetEnvelopeLedgerHook(
      [this](uint32_t envelopeId) { Client().OpenEnvelopeLedger(envelopeId); });

  frame_->SetCommandHandler([this](TCommandId id) { RunCommand(id); });
  qApp->installEventFilter(this);
  steps_ = new TUndoSteps([this] { return shell_ ? shell_->History() : nullptr; }, this);
  qApp->installEventFilter(steps_);
  connect(frame_->RecentMenu(), &QMenu::aboutToShow, this, [this] {
    QMenu* menu = frame_->RecentMenu();
    menu->clear();
    int number = 0;
    for (const std::string& path : RecentBudgets(config_->Named())) {
      // File names cross as the system spells them.
      const QString shown = QFile::decodeName(QByteArray::fromStdString(path));
      connect(menu->addAction(QStringLiteral("&%1 %2").arg(++number).arg(shown)),
              &QAction::triggered, this, [this, path] { shell_->OpenRecent(path); });
    }
    if (number == 0)
      menu->addAction(QStringLiteral("(none)"))->setEnabled(false);
  });
  frame_->SetCloseHandler([this] { return MayClose(); });
  frame_->SetPlacementHandler([this] { RecordPlacement(); });

  connect(&minuteTimer_, &QTimer::timeout, this, [this] { shell_->TimerTick(); });
  minuteTimer_.start(kMinuteMs);

  if (!setup_.importServerName.isEmpty()) {
    importChannel_ = new TImportChannel(
        setup_.importServerName, [this](const std::string& text) { shell_->ImportRequest(text); },
        this);
    if (!importChannel_->Listen()) {
      delete importChannel_;
      importChannel_ = nullptr;
    }
  }

  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
    idleConnection_ =
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TVorlaApp::RunIdle);
  }
}

TVorlaApp::~TVorlaApp() {
  disconnect(idleConnection_);
  // The list windows and ledgers follow the budget, so they go before the budget does, whether
  // or not a ledger would rather stay open.
  frame_->Client().DropDocumentWindows();
  shell_.reset();
  frame_.reset();
}

TVorlaClient& TVorlaApp::Client() const {
  return frame_->Client();
}

TXViewSettings TVorlaApp::ViewSettings() const {
  const TSettingsRecord& settings = config_->Settings();
  TXViewSettings view;
  view.columns.codeWidth = settings.CodeWidth;
  view.columns.payableToWidth = settings.PayableToWidth;
  view.columns.memoWidth = settings.MemoWidth;
  view.columns.amountWidth = settings.AmountWidth;
  view.columns.envelopeWidth = settings.EnvelopeWidth;
  view.columns.accountWidth = settings.AccountWidth;
  view.columns.datesWithYear = settings.DatesWithYear != 0;
  view.flyByMemo = settings.FlyByMemo != 0;
  return view;
}

void TVorlaApp::UpdateCommands() {
  QMdiSubWindow* current = Client().currentSubWindow();
  if (Client().CurrentView() != nullptr) {
    frame_->ShowLedgerMenu(true);
  } else if (current != nullptr && current == Client().AccountWindow()) {
    frame_->ShowLedgerMenu(true, QStringLiteral("&Accounts"));
  } else if (current != nullptr && current == Client().EnvelopeWindow()) {
    frame_->ShowLedgerMenu(true, QStringLiteral("&Envelopes"));
  } else {
    frame_->ShowLedgerMenu(false);
  }
  const TUndoHistory* history = shell_->History();
  frame_->ShowHistory(
      history != nullptr && history->CanUndo() ? FromModel(history->UndoName()) : QString(),
      history != nullptr && history->CanRedo() ? FromModel(history->RedoName()) : QString());
  frame_->UpdateCommands(shell_->Document() != nullptr);
}

TListDisplayOptions TVorlaApp::DisplayOptions() const {
  const TSettingsRecord& settings = config_->Settings();
  TListDisplayOptions options;
  options.showEnvRootBalance = settings.ShowEnvRootBalance != 0;
  options.showBundleBalances = settings.ShowBundleBalances != 0;
  options.showAssociationBalances = settings.ShowAssociationBalances != 0;
  options.showEnvelopeBalances = settings.ShowEnvelopeBalances != 0;
  options.showAccountRootBalance = settings.ShowAccountRootBalance != 0;
  options.showGroupBalances = settings.ShowGroupBalances != 0;
  options.showAccountBalances = settings.ShowAccountBalances != 0;
  options.showReconcileBalances = settings.ShowReconcileBalances != 0;
  return options;
}

void TVorlaApp::Show() {
  const TSettingsRecord& settings = config_->Settings();
  frame_->ShowBars(settings.ShowStatusBar != 0, settings.ShowControlBar != 0);
  QRect wanted(settings.FramePos[0], settings.FramePos[1], settings.FrameSize[0],
               settings.FrameSize[1]);
  // A placement kept from a larger or another screen would leave the window out of reach.
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    wanted = FitInside(wanted, screen->availableGeometry());
  frame_->move(wanted.topLeft());
  frame_->resize(wanted.size());
  if (settings.FrameMaximized) {
    frame_->showMaximized();
  } else {
    frame_->show();
    // The stored size is the outer one, decorations included.
    const QSize decorations = frame_->frameGeometry().size() - frame_->size();
    if (!decorations.isEmpty())
      frame_->resize(wanted.size() - decorations);
  }
  placed_ = true;
}

void TVorlaApp::RecordPlacement() {
  if (!placed_)
    return;
  const QRect outer = frame_->frameGeometry();
  RecordFramePlacement(config_->Settings(), frame_->isMaximized(), frame_->isMinimized(), outer.x(),
                       outer.y(), outer.width(), outer.height());
}

bool TVorlaApp::SaveConfiguration() {
  RecordPlacement();
  return SaveConfig(setup_.configPath, *config_).Ok();
}

bool TVorlaApp::MayClose() {
  // The settings are written first, so that they are kept even when the user then cancels.
  SaveConfiguration();
  return shell_->CloseCheck();
}

bool TVorlaApp::eventFilter(QObject* watched, QEvent* event) {
  // Qt's own dialogs (files, printers, messages) keep the order they come with.
  if (event->type() == QEvent::Show) {
    if (auto* dialog = qobject_cast<QDialog*>(watched);
        dialog != nullptr && qobject_cast<QFileDialog*>(dialog) == nullptr &&
        qobject_cast<QMessageBox*>(dialog) == nullptr &&
        qobject_cast<QAbstractPrintDialog*>(dialog) == nullptr &&
        qobject_cast<QPageSetupDialog*>(dialog) == nullptr) {
      OrderTabsTopToBottom(dialog);
    }
  }
  return QObject::eventFilter(watched, event);
}

void TVorlaApp::ShowSplash() {
  splash_ = new QSplashScreen(ProductImage(kSplashImageSize));
  splash_->setObjectName(QStringLiteral("splash"));
  splash_->setAttribute(Qt::WA_DeleteOnClose);
  splash_->showMessage(QStringLiteral("Quenbrook"), Qt::AlignBottom | Qt::AlignHCenter);
  splash_->show();
  // Opening a large budget keeps the loop busy; the window is drawn before that starts.
  splash_->repaint();
}

void TVorlaApp::CloseSplash() {
  if (splash_ != nullptr)
    splash_->close();
}

void TVorlaApp::RunIdle() {
  // A gesture ends when the loop waits for the next one, unless its dialog or menu is still up.
  if (QApplication::activeModalWidget() == nullptr && QApplication::activePopupWidget() == nullptr)
    steps_->Close();
  // Idle work waits while a dialog or a menu is up: a save or a question in the middle of
  // another dialog would act on a budget the user is still changing.
  if (inIdle_ || idleBlocked_ > 0 || QApplication::activeModalWidget() != nullptr ||
      QApplication::activePopupWidget() != nullptr || !frame_->isVisible()) {
    return;
  }
  inIdle_ = true;
  const bool startingUp = shell_->StartUpPending();
  if (startingUp)
    ShowSplash();
  shell_->Idle();
  // The main window is ready once the first file is open (or the user chose none).
  if (startingUp)
    CloseSplash();
  if (TVorlaData* document = shell_->Document()) {
    // Typed dates follow the configuration's switch, whatever changed it last.
    TXEditSettings& edits = TransactionsOf(*document).EditSettings();
    edits.autoCorrectYear = config_->Settings().AutoCorrectYear != 0;
    const TLedgerSwitches switches = TLedgerSwitches::Read(config_->Named());
    edits.completePayees = switches.completePayees;
    edits.fillFromPayee = switches.fillFromPayee;
  }
  Client().IdleCheckViews();
  UpdateCommands();
  inIdle_ = false;
}

QString TVorlaApp::StepName(TCommandId id) {
  QString name = StepNameOf(QString::fromLatin1(CommandInfo(id).menuText));
  if (CommandInfo(id).state == TCommandState::NeedsLedger) {
    if (TXView* view = Client().CurrentView()) {
      QString subject = view->windowTitle();
      subject =
          subject.section(QStringLiteral(": "), subject.contains(QStringLiteral(": ")) ? 1 : 0);
      name += QStringLiteral(" in ") + subject;
    }
  }
  return name;
}

void TVorlaApp::CrossHistory(bool undo) {
  if (TXView* view = Client().CurrentView(); view != nullptr && view->Grid() != nullptr)
    view->Grid()->Logic().CloseEditor();
  steps_->Close();
  undo ? shell_->Undo() : shell_->Redo();
}

void TVorlaApp::RunCommand(TCommandId id) {
  if (id == kCmdUndo || id == kCmdRedo) {
    CrossHistory(id == kCmdUndo);
  } else {
    steps_->Run(StepName(id), [this, id] { CarryOut(id); });
  }
  UpdateCommands();
}

void TVorlaApp::CarryOut(TCommandId id) {
  switch (id) {
    case kCmdNew:
      shell_->New();
      break;
    case kCmdAllocationPlan:
      if (TVorlaData* document = shell_->Document())
        PlanOf(*document).Edit();
      break;
    case kCmdOpen:
      shell_->OpenCommand();
      break;
    case kCmdSave:
      shell_->Save();
      break;
    case kCmdSaveAs:
      shell_->SaveAs(false);
      break;
    case kCmdClose:
      shell_->CloseCheck();
      break;
    case kCmdImportQif:
      shell_->ImportStatement(TStatementKind::Qif, "");
      break;
    case kCmdImportOfx:
      shell_->ImportStatement(TStatementKind::Ofx, "");
      break;
    case kCmdImportCsv:
      shell_->ImportStatement(TStatementKind::Csv, "");
      break;
    case kCmdPrinterSetup: {
      QPageSetupDialog dialog(&Printer(), frame_.get());
      dialog.exec();
      break;
    }
    case kCmdExit:
      frame_->close();
      break;
    case kCmdMainConfiguration:
    case kCmdAccountListConfiguration:
    case kCmdEnvelopeListConfiguration:
    case kCmdTransactionViewConfiguration:
      RunSettingsDialog(id);
      break;
    case kCmdConfirmImports:
      shell_->ConfirmAllImports();
      break;
    case kCmdConfirmCleared:
      shell_->ConfirmAllCleared();
      break;
    case kCmdTemplates:
      RunTemplatesDialog();
      break;
    case kCmdAccountLedgerReport:
    case kCmdEnvelopeLedgerReport:
    case kCmdAccountSummaryReport:
    case kCmdEnvelopeSummaryReport:
    case kCmdEnvelopeActivityReport:
    case kCmdAllocationPlanReport:
    case kCmdSpendingChart:
    case kCmdEnvelopeBalancesChart:
    case kCmdIncomeSpendingChart:
    case kCmdNetWorthChart:
      RunReportDialog(id);
      break;
    case kCmdAccountList:
      Client().ShowAccountList();
      break;
    case kCmdEnvelopeList:
      Client().ShowEnvelopeList();
      break;
    case kCmdCascade:
      Client().cascadeSubWindows();
      break;
    case kCmdCloseWindow:
      Client().closeActiveSubWindow();
      break;
    case kCmdTile:
      Client().TileVertically();
      break;
    case kCmdTileHorizontally:
      Client().TileHorizontally();
      break;
    case kCmdArrangeIcons:
      Client().ArrangeIcons();
      break;
    case kCmdHelpContents:
      OpenManual();
      break;
    case kCmdCheckForUpdates:
      CheckForUpdates();
      break;
    case kCmdWebsite:
      OpenLink(QString::fromLatin1(kWebsite));
      break;
    case kCmdAbout: {
      TAboutDialog about(frame_.get());
      about.exec();
      break;
    }
    default:
      if (CommandInfo(id).state == TCommandState::NeedsLedger) {
        if (TXView* view = Client().CurrentView())
          view->RunCommand(id);
      }
      // The other commands are shown disabled until their subsystems exist.
      break;
  }
  UpdateCommands();
}

void TVorlaApp::RunTemplatesDialog() {
  TVorlaData* document = shell_->Document();
  if (document == nullptr)
    return;
  TTemplateEditorSetup setup{config_.get(), ViewSettings().columns, &document->User()};
  TTemplateListDialog dialog(TemplatesOf(*document), setup, frame_.get());
  dialog.exec();
  // "Apply Template" needs a template: the ledgers' keys follow the new count at once.
  for (QMdiSubWindow* window : Client().subWindowList()) {
    if (auto* view = qobject_cast<TXView*>(window))
      view->UpdateActions();
  }
}

QPrinter& TVorlaApp::Printer() {
  if (!printer_)
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void TVorlaApp::RunReportDialog(TCommandId id) {
  TVorlaData* document = shell_->Document();
  if (document == nullptr)
    return;
  // Started from a list window's context menu (or with a list window in front), the report is
  // about the node the user has selected there; with a ledger in front, about its account or
  // envelope.
  uint32_t accountId = 0;
  uint32_t envelopeId = 0;
  QMdiSubWindow* current = Client().currentSubWindow();
  if (auto* view = qobject_cast<TXView*>(current); view != nullptr && view->Model() != nullptr) {
    if (view->Model()->Mode() == TXViewMode::Account)
      accountId = view->Model()->SubjectId();
    else if (view->Model()->Mode() == TXViewMode::Envelope)
      envelopeId = view->Model()->SubjectId();
  }
  if (TAccountTreeWindow* accounts = Client().AccountWindow();
      accounts != nullptr && current == accounts) {
    if (auto* node = dynamic_cast<TAccountNode*>(accounts->Selection().First()))
      accountId = node->Id();
  }
  if (TEnvelopeTreeWindow* envelopes = Client().EnvelopeWindow();
      envelopes != nullptr && current == envelopes) {
    if (auto* node = dynamic_cast<TEnvelopeNode*>(envelopes->Selection().First()))
      envelopeId = node->Id();
  }
  const TReportContext context{*document, clock_, *config_, Printer(), user_};
  if (id == kCmdSpendingChart || id == kCmdEnvelopeBalancesChart || id == kCmdIncomeSpendingChart ||
      id == kCmdNetWorthChart) {
    OpenChartWindow(
        id, context,
        id == kCmdIncomeSpendingChart || id == kCmdNetWorthChart ? accountId : envelopeId);
    return;
  }
  std::unique_ptr<TReportDialog> dialog;
  switch (id) {
    case kCmdAccountLedgerReport:
      dialog = std::make_unique<TAccountLedgerReportDialog>(context, accountId, frame_.get());
      break;
    case kCmdEnvelopeLedgerReport:
      dialog = std::make_unique<TEnvelopeLedgerReportDialog>(context, envelopeId, frame_.get());
      break;
    case kCmdAccountSummaryReport:
      dialog = std::make_unique<TAccountSummaryReportDialog>(context, frame_.get());
      break;
    case kCmdEnvelopeSummaryReport:
      dialog = std::make_unique<TEnvelopeSummaryReportDialog>(context, envelopeId, frame_.get());
      break;
    case kCmdEnvelopeActivityReport:
      dialog = std::make_unique<TEnvelopeActivityReportDialog>(context, envelopeId, frame_.get());
      break;
    default:
      dialog = std::make_unique<TAllocationPlanReportDialog>(context, frame_.get());
      break;
  }
  dialog->exec();
  // The dialog's choices (columns, old format, preview size) outlive the run.
  SaveConfiguration();
}

void TVorlaApp::OpenChartWindow(TCommandId id, const TReportContext& context, uint32_t nodeId) {
  const TChartKind kind = id == kCmdSpendingChart           ? TChartKind::Spending
                          : id == kCmdEnvelopeBalancesChart ? TChartKind::EnvelopeBalances
                          : id == kCmdIncomeSpendingChart   ? TChartKind::IncomeSpending
                                                            : TChartKind::NetWorth;
  // A chart is a child window beside the ledgers, so that it closes with the budget it reads.
  auto* chart = new TChartWindow(context, kind, nodeId, nullptr);
  chart->SetLedgerHook([this](bool account, uint32_t ledgerId, TDateValue from, TDateValue to) {
    TXView* view =
        account ? Client().OpenAccountLedger(ledgerId) : Client().OpenEnvelopeLedger(ledgerId);
    if (view != nullptr)
      view->ShowDates(from, to);
  });
  QMdiSubWindow* window = Client().addSubWindow(chart);
  window->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(chart, &QDialog::finished, window, &QMdiSubWindow::close);
  window->show();
}

void TVorlaApp::RunSettingsDialog(TCommandId id) {
  TSettingsRecord& settings = config_->Settings();
  TLedgerSwitches switches = TLedgerSwitches::Read(config_->Named());
  std::unique_ptr<TSettingsDialog> dialog;
  switch (id) {
    case kCmdMainConfiguration:
      dialog.reset(TSettingsDialog::MainConfiguration(settings, frame_.get()));
      break;
    case kCmdAccountListConfiguration:
      dialog.reset(TSettingsDialog::AccountListConfiguration(settings, frame_.get()));
      break;
    case kCmdEnvelopeListConfiguration:
      dialog.reset(TSettingsDialog::EnvelopeListConfiguration(settings, frame_.get()));
      break;
    default:
      dialog.reset(TSettingsDialog::TransactionViewSetup(settings, frame_.get(), &switches));
      break;
  }
  dialog->setObjectName(QStringLiteral("settingsDialog%1").arg(id));
  if (dialog->exec() != QDialog::Accepted)
    return;
  switches.Write(config_->Named());
  SaveConfiguration();
  frame_->ShowBars(settings.ShowStatusBar != 0, settings.ShowControlBar != 0);
  Client().RefreshLists();
  Client().ConfigureViews();
}

void TVorlaApp::CheckForUpdates() {
  // The request blocks in a loop of its own; idle work must not run inside it.
  ++idleBlocked_;
  shellPort_->SetBusy(true);
  std::optional<std::string> reply =
      FetchUpdateReply(UpdateServerFromSettings(config_->Named()), updateTls_, kUpdateTimeoutMs);
  shellPort_->SetBusy(false);
  --idleBlocked_;
  ReportUpdateCheck(reply, user_,
                    [this](const std::string& link) { OpenLink(FromModel(link).trimmed()); });
}

void TVorlaApp::OpenLink(const QString& address) {
  // Only web pages: a reply from the network must not make the desktop run anything else.
  const QUrl url = QUrl::fromUserInput(address);
  if (url.isValid() &&
      (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"))) {
    QDesktopServices::openUrl(url);
  }
}

QString TVorlaApp::ManualPath() const {
  if (!setup_.manualPath.isEmpty())
    return setup_.manualPath;
  const QString programFolder = QCoreApplication::applicationDirPath();
  // The installed manual first (bin/ and share/ side by side under one prefix).
  QStringList candidates = {programFolder +
                            QStringLiteral("/../share/doc/quenbrook/manual/index.html")};
#ifdef QUENBROOK_SOURCE_MANUAL
  // Run from the build folder, the manual is still in the source tree it was built from.
  candidates.append(QStringLiteral(QUENBROOK_SOURCE_MANUAL));
#endif
  for (const QString& candidate : candidates) {
    if (QFileInfo::exists(candidate))
      return QFileInfo(candidate).canonicalFilePath();
  }
  return QString();
}

void TVorlaApp::OpenManual() {
  const QString path = ManualPath();
  if (path.isEmpty() || !QFileInfo::exists(path)) {
    user_.Tell("Quenbrook",
               "The Quenbrook manual could not be found.  It is installed with the program in "
               "the folder share/doc/quenbrook/manual.",
               TMessageIcon::Exclamation);
    return;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
    user_.Tell("Quenbrook",
               "The Quenbrook manual is in the file " + path.toStdString() +
                   ", but no program to show it could be started.  Open that file with a web "
                   "browser.",
               TMessageIcon::Exclamation);
  }
}
