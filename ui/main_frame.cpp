#include "ui/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>

#include "ui/command_icons.h"
#include "ui/vorla_client.h"

namespace {

// The keys of the commands that have one.
QList<QKeySequence> KeysOf(TCommandId id) {
  switch (id) {
    case kCmdUndo:
      return {QKeySequence(Qt::CTRL | Qt::Key_Z)};
    case kCmdRedo:
      return {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    case kCmdExit:
      return {QKeySequence(Qt::ALT | Qt::Key_F4)};
    case kCmdCascade:
      return {QKeySequence(Qt::SHIFT | Qt::Key_F5)};
    case kCmdTile:
      return {QKeySequence(Qt::SHIFT | Qt::Key_F4)};
    case kCmdTileHorizontally:
      return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F4)};
    case kCmdHelpContents:
      return {QKeySequence(Qt::Key_F1)};
    case kCmdSave:
      return {QKeySequence(Qt::CTRL | Qt::Key_S)};
    case kCmdCloseWindow:
      return {QKeySequence(Qt::CTRL | Qt::Key_F4)};
    default:
      return {};
  }
}

}  // namespace

TMainFrame::TMainFrame(TVorlaClient* client, QWidget* parent)
    : QMainWindow(parent), client_(client) {
  client_->setParent(this);
  setCentralWidget(client_);
  MakeActions();
  MakeMenus();
  UpdateCommands(false);
}

void TMainFrame::MakeActions() {
  for (const TCommandInfo& info : Commands()) {
    auto* action = new QAction(QString::fromLatin1(info.menuText), this);
    action->setObjectName(QStringLiteral("command%1").arg(info.id));
    // A hint may carry its own tooltip after a line break; else the tooltip is the menu text.
    const QStringList hint = QString::fromLatin1(info.hint).split(QLatin1Char('\n'));
    action->setStatusTip(hint.constFirst());
    action->setToolTip(hint.size() > 1
                           ? hint.constLast()
                           : QString::fromLatin1(info.menuText).remove(QLatin1Char('&')));
    action->setShortcuts(KeysOf(info.id));
    if (info.buttonText[0] != '\0') {
      action->setIcon(CommandIcon(info.id));
      action->setIconText(QString::fromLatin1(info.buttonText));
      // Menus keep their text alone, as they always had it.
      action->setIconVisibleInMenu(false);
    }
    const TCommandId id = info.id;
    connect(action, &QAction::triggered, this, [this, id] {
      if (commandHandler_)
        commandHandler_(id);
    });
    actions_[id] = action;
  }
}

void TMainFrame::MakeMenus() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->addAction(Action(kCmdNew));
  file->addAction(Action(kCmdOpen));
  file->addAction(Action(kCmdClose));
  file->addAction(Action(kCmdSave));
  file->addAction(Action(kCmdSaveAs));
  recentMenu_ = file->addMenu(QStringLiteral("Recent &Budgets"));
  recentMenu_->setObjectName(QStringLiteral("recentMenu"));
  file->addSeparator();
  QMenu* import = file->addMenu(QStringLiteral("&Import"));
  import->addAction(Action(kCmdImportQif));
  import->addAction(Action(kCmdImportOfx));
  import->addAction(Action(kCmdImportCsv));
  file->addSeparator();
  file->addAction(Action(kCmdPrinterSetup));
  file->addSeparator();
  file->addAction(Action(kCmdExit));

  QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
  edit->addAction(Action(kCmdUndo));
  edit->addAction(Action(kCmdRedo));
  edit->addSeparator();
  edit->addAction(Action(kCmdCut));
  edit->addAction(Action(kCmdCopy));
  edit->addAction(Action(kCmdPaste));
  edit->addAction(Action(kCmdDelete));

  QMenu* budget = bar->addMenu(QStringLiteral("&Budget"));
  budget->addAction(Action(kCmdAllocationPlan));
  budget->addAction(Action(kCmdTemplates));
  budget->addSeparator();
  budget->addAction(Action(kCmdConfirmImports));
  budget->addAction(Action(kCmdConfirmCleared));

  // The ledger menu stands where the current ledger window's menu would.
  ledgerMenu_ = bar->addMenu(QStringLiteral("&Ledger"));
  ledgerMenu_->setObjectName(QStringLiteral("ledgerMenu"));
  ledgerMenu_->menuAction()->setVisible(false);
  connect(ledgerMenu_, &QMenu::aboutToShow, this, [this] {
    ledgerMenu_->clear();
    if (!ledgerActions_)
      return;
    for (QAction* action : ledgerActions_()) {
      if (action == nullptr)
        ledgerMenu_->addSeparator();
      else
        ledgerMenu_->addAction(action);
    }
  });

  QMenu* reports = bar->addMenu(QStringLiteral("&Reports"));
  for (TCommandId id :
       {kCmdAccountLedgerReport, kCmdEnvelopeLedgerReport, kCmdAccountSummaryReport,
        kCmdEnvelopeSummaryReport, kCmdEnvelopeActivityReport, kCmdAllocationPlanReport}) {
    reports->addAction(Action(id));
  }
  QMenu* charts = reports->addMenu(QStringLiteral("&Charts"));
  for (TCommandId id :
       {kCmdSpendingChart, kCmdEnvelopeBalancesChart, kCmdIncomeSpendingChart, kCmdNetWorthChart})
    charts->addAction(Action(id));

  QMenu* options = bar->addMenu(QStringLiteral("&Options"));
  options->addAction(Action(kCmdMainConfiguration));
  options->addAction(Action(kCmdAccountListConfiguration));
  options->addAction(Action(kCmdEnvelopeListConfiguration));
  options->addAction(Action(kCmdTransactionViewConfiguration));

  QMenu* window = bar->addMenu(QStringLiteral("&Window"));
  window->addAction(Action(kCmdAccountList));
  window->addAction(Action(kCmdEnvelopeList));
  window->addSeparator();
  for (TCommandId id : {kCmdCascade, kCmdTile, kCmdTileHorizontally, kCmdArrangeIcons}) {
    window->addAction(Action(id));
  }
  window->addAction(Action(kCmdCloseWindow));
  window->setObjectName(QStringLiteral("windowMenu"));
  // The open windows follow, to switch to; the current one is checked.
  QAction* listStart = window->addSeparator();
  connect(window, &QMenu::aboutToShow, this, [this, window, listStart] {
    const QList<QAction*> all = window->actions();
    for (qsizetype i = all.indexOf(listStart) + 1; i < all.size(); ++i) {
      window->removeAction(all[i]);
      all[i]->deleteLater();
    }
    int number = 0;
    for (QMdiSubWindow* child : client_->subWindowList()) {
      const QString prefix = ++number < 10 ? QStringLiteral("&%1 ").arg(number) : QString();
      QAction* entry = window->addAction(prefix + child->windowTitle());
      entry->setCheckable(true);
      entry->setChecked(child == client_->activeSubWindow());
      connect(entry, &QAction::triggered, client_, [this, child = QPointer<QMdiSubWindow>(child)] {
        if (child != nullptr)
          client_->setActiveSubWindow(child);
      });
    }
    listStart->setVisible(number > 0);
  });

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->addAction(Action(kCmdHelpContents));
  help->addAction(Action(kCmdCheckForUpdates));
  help->addAction(Action(kCmdWebsite));
  help->addSeparator();
  help->addAction(Action(kCmdAbout));
}

void TMainFrame::MakeControlBar() {
  controlBar_ = new QToolBar(QStringLiteral("Control Bar"), this);
  controlBar_->setObjectName(QStringLiteral("controlBar"));
  controlBar_->setMovable(false);
  // The bar follows the "Display Control Bar" switch alone, not the frame's own bar menu.
  controlBar_->toggleViewAction()->setVisible(false);
  // Pictures with the command's name as the tip: a row of fifteen named buttons would not fit
  // a window of the usual size.
  controlBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  controlBar_->setIconSize(QSize(24, 24));
  for (int id : ControlBarLayout()) {
    if (id == 0) {
      controlBar_->addSeparator();
      continue;
    }
    QAction* action = Action(static_cast<TCommandId>(id));
    controlBar_->addAction(action);
    if (QWidget* button = controlBar_->widgetForAction(action)) {
      button->setObjectName(QStringLiteral("button%1").arg(id));
    }
  }
  addToolBar(Qt::TopToolBarArea, controlBar_);
}

void TMainFrame::UpdateCommands(bool fileOpen) {
  for (const TCommandInfo& info : Commands()) {
    QAction* action = actions_.at(info.id);
    if (info.state == TCommandState::NeedsLedger) {
      const TLedgerCommandState state =
          fileOpen && ledgerState_ ? ledgerState_(info.id) : TLedgerCommandState{};
      action->setEnabled(state.enabled);
      action->setCheckable(state.checked || action->isCheckable());
      action->setChecked(state.checked);
      continue;
    }
    if (info.state == TCommandState::History) {
      const QString& step = info.id == kCmdUndo ? undoStep_ : redoStep_;
      const QString verb = info.id == kCmdUndo ? QStringLiteral("Undo") : QStringLiteral("Redo");
      action->setEnabled(fileOpen && !step.isEmpty());
      action->setText(QStringLiteral("&") + verb + (step.isEmpty() ? QString() : u' ' + step));
      action->setToolTip(step.isEmpty() ? verb : verb + u' ' + step);
      continue;
    }
    const bool ready = info.state == TCommandState::Ready;
    action->setEnabled(ready && (fileOpen || !info.needsFile));
  }
}

void TMainFrame::ShowHistory(const QString& undoStep, const QString& redoStep) {
  undoStep_ = undoStep;
  redoStep_ = redoStep;
}

void TMainFrame::SetLedgerMenu(std::function<std::vector<QAction*>()> actions) {
  ledgerActions_ = std::move(actions);
}

void TMainFrame::ShowLedgerMenu(bool shown, const QString& title) {
  ledgerMenu_->setTitle(title);
  ledgerMenu_->menuAction()->setVisible(shown);
}

void TMainFrame::ShowBars(bool statusBarOn, bool controlBarOn) {
  if (statusBarOn && modifiedField_ == nullptr) {
    auto* bar = new QStatusBar(this);
    modifiedField_ = new QLabel(bar);
    modifiedField_->setObjectName(QStringLiteral("modifiedField"));
    modifiedField_->setMinimumWidth(
        modifiedField_->fontMetrics().horizontalAdvance(QStringLiteral("Modified")) + 16);
    modifiedField_->setAlignment(Qt::AlignCenter);
    fileNoticeField_ = new QLabel(bar);
    fileNoticeField_->setObjectName(QStringLiteral("fileNoticeField"));
    bar->addPermanentWidget(fileNoticeField_);
    bar->addPermanentWidget(modifiedField_);
    setStatusBar(bar);
    ShowModified(modified_);
    ShowFileNotice(fileNotice_);
  } else if (!statusBarOn && modifiedField_ != nullptr) {
    QWidget* bar = modifiedField_->parentWidget();
    setStatusBar(nullptr);
    delete bar;
    modifiedField_ = nullptr;
    fileNoticeField_ = nullptr;
  }
  if (controlBarOn && controlBar_ == nullptr) {
    MakeControlBar();
  } else if (!controlBarOn && controlBar_ != nullptr) {
    removeToolBar(controlBar_);
    delete controlBar_;
    controlBar_ = nullptr;
  }
}

void TMainFrame::ShowModified(bool modified) {
  modified_ = modified;
  if (modifiedField_ != nullptr) {
    modifiedField_->setText(modified ? QStringLiteral("Modified") : QString());
  }
}

void TMainFrame::ShowFileNotice(const QString& text) {
  fileNotice_ = text;
  if (fileNoticeField_ != nullptr)
    fileNoticeField_->setText(text);
}

QString TMainFrame::FileNoticeText() const {
  return fileNoticeField_ != nullptr ? fileNoticeField_->text() : QString();
}

QString TMainFrame::ModifiedText() const {
  return modifiedField_ != nullptr ? modifiedField_->text() : QString();
}

void TMainFrame::closeEvent(QCloseEvent* event) {
  if (closeHandler_ && !closeHandler_()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void TMainFrame::PlacementChanged() {
  if (placementHandler_)
    placementHandler_();
}

void TMainFrame::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  PlacementChanged();
}

void TMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  PlacementChanged();
}

void TMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange)
    PlacementChanged();
}
