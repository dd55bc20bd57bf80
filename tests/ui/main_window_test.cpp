// The desktop program as a user meets it: the main window, the account wizard of a new budget,
// saving, closing and reopening, the list windows, the status bar and the commands.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSplashScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>
#include <filesystem>
#include <map>
#include <memory>

#include "app/config_store.h"
#include "app/vorla_shell.h"
#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/vorla_data.h"
#include "planning/template_manager.h"
#include "planning/xtemplate.h"
#include "tests/ui/ui_test_support.h"
#include "ui/about_dialog.h"
#include "ui/account_wizard_dialog.h"
#include "ui/allocation_plan_dialog.h"
#include "ui/enhanced_list_window.h"
#include "ui/income_wizard_dialog.h"
#include "ui/ledger_window.h"
#include "ui/main_frame.h"
#include "ui/node_properties_dialog.h"
#include "ui/qt_shell_port.h"
#include "ui/settings_dialog.h"
#include "ui/vorla_app.h"
#include "ui/vorla_client.h"

using namespace ui_test;

namespace {

const char* kNoFileQuestion = "No File Specified. Would you like to create a new Quenbrook File?";

bool SplashVisible() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (qobject_cast<QSplashScreen*>(window) != nullptr && window->isVisible())
      return true;
  }
  return false;
}

// Notes whether a start-up window was ever shown.
class TSplashWatch : public QObject {
 public:
  TSplashWatch() { qApp->installEventFilter(this); }
  ~TSplashWatch() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && qobject_cast<QSplashScreen*>(watched) != nullptr)
      shown = true;
    return false;
  }
  bool shown = false;
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }

  // Starts the program as a user would, with a fresh configuration, and lets it reach its first
  // idle moment, where it asks whether to make a new budget; the test answers `startAnswer`.
  void Start(TMessageAnswer startAnswer = TMessageAnswer::No) {
    TVorlaAppSetup setup;
    setup.configPath = Path("Vorla.cfg");
    setup.lockFolder = Path("locks");
    app_ = std::make_unique<TVorlaApp>(setup, clock_, TCommandLine{});
    // Other moments would need a minute of running time; the tests keep the clock still.
    app_->Config().Settings().UpdateCheckDays = 0;
    messages_ = std::make_unique<TMessageRecorder>(app_->User());
    messages_->answers.push_back(startAnswer);
    app_->ShellPort().SetSaveChooser([this](const std::string& title, const std::string&) {
      saveTitles_.push_back(title);
      return std::optional<std::string>(Path("Home.vrl"));
    });
    app_->Show();
    QVERIFY(SpinUntil([this] { return !messages_->messages.empty(); }));
    QCOMPARE(messages_->messages.front().text, std::string(kNoFileQuestion));
  }

  // Types one account into the wizard and presses the given button ("add" or "finish").
  static void TypeAccount(TAccountWizardDialog* wizard, const QString& name, const QString& balance,
                          int typeIndex, const char* button) {
    auto* nameEdit = wizard->findChild<QLineEdit*>(QStringLiteral("name"));
    auto* balanceEdit = wizard->findChild<QLineEdit*>(QStringLiteral("startingBalance"));
    QTest::keyClicks(nameEdit, name);
    wizard->findChild<QComboBox*>(QStringLiteral("type"))->setCurrentIndex(typeIndex);
    QTest::keyClicks(balanceEdit, balance);
    wizard->findChild<QPushButton*>(QString::fromLatin1(button))->click();
  }

  // New, with the plan wizard passed by: no incomes, and the empty plan saved.
  void RunNew() {
    WhenModal<TIncomeWizardDialog>([](TIncomeWizardDialog* dialog) { dialog->reject(); });
    WhenModal<TAllocationPlanDialog>([](TAllocationPlanDialog* dialog) { dialog->accept(); });
    app_->RunCommand(kCmdNew);
  }

  // Makes a new budget with one checking account of `balance` through the wizard.
  void NewBudget(const QString& balance) {
    WhenModal<TAccountWizardDialog>([balance](TAccountWizardDialog* wizard) {
      TypeAccount(wizard, QStringLiteral("Checking"), balance, 0, "finish");
    });
    RunNew();
  }

  // Runs `command`, whose settings dialog gets the boxes captioned as in `checks` set.
  void SetBoxes(TCommandId command, const std::map<QString, bool>& checks) {
    WhenModal<TSettingsDialog>([&checks](TSettingsDialog* dialog) {
      for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
        if (auto found = checks.find(box->text()); found != checks.end())
          box->setChecked(found->second);
      }
      dialog->accept();
    });
    app_->RunCommand(command);
  }

  TFixedClock clock_{TDateValue(6, 12, 2026), 1000};
  QTemporaryDir dir_;
  std::unique_ptr<TVorlaApp> app_;
  std::unique_ptr<TMessageRecorder> messages_;
  std::vector<std::string> saveTitles_;

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    saveTitles_.clear();
  }

  void cleanup() {
    messages_.reset();
    app_.reset();
    std::filesystem::remove_all(dir_.path().toStdString());
    std::filesystem::create_directories(dir_.path().toStdString());
  }

  // The start-up window shows while the first file is chosen, steps aside for the question and
  // is gone once the main window is ready.
  void theStartUpWindowNeverStandsOverAQuestion() {
    TSplashWatch watch;
    TVorlaAppSetup setup;
    setup.configPath = Path("Vorla.cfg");
    setup.lockFolder = Path("locks");
    app_ = std::make_unique<TVorlaApp>(setup, clock_, TCommandLine{});
    app_->Config().Settings().UpdateCheckDays = 0;
    bool asked = false;
    bool splashOverQuestion = true;
    app_->User().SetMessageHook([&](const TMessage&) -> std::optional<TMessageAnswer> {
      asked = true;
      splashOverQuestion = SplashVisible();
      return TMessageAnswer::No;
    });
    app_->Show();
    QVERIFY(SpinUntil([&] { return asked; }));
    QVERIFY(watch.shown);
    QVERIFY(!splashOverQuestion);
    QVERIFY(SpinUntil([] { return !SplashVisible(); }));
  }

  // File, Recent Budgets lists the budgets opened last, newest first, and opens the one chosen.
  void recentBudgetsReopenWhatWasOpened() {
    Start(TMessageAnswer::No);
    NewBudget(QStringLiteral("5"));
    app_->RunCommand(kCmdClose);
    std::vector<std::string> budgets;
    for (const char* name : {"One.vrl", "Two.vrl", "Three.vrl"}) {
      std::filesystem::copy_file(Path("Home.vrl"), Path(name));
      budgets.push_back(Path(name));
      QVERIFY(app_->Shell().OpenFile(budgets.back()));
    }
    QMenu* menu = app_->Frame().RecentMenu();
    emit menu->aboutToShow();
    QStringList shown;
    for (QAction* action : menu->actions())
      shown << action->text();
    QCOMPARE(shown,
             (QStringList{QStringLiteral("&1 ") + QString::fromStdString(budgets[2]),
                          QStringLiteral("&2 ") + QString::fromStdString(budgets[1]),
                          QStringLiteral("&3 ") + QString::fromStdString(budgets[0]),
                          QStringLiteral("&4 ") + QString::fromStdString(Path("Home.vrl"))}));
    menu->actions()[2]->trigger();
    QCOMPARE(app_->Shell().FileName(), budgets[0]);
  }

  // The plan's amount columns show their totals whole, even in the annual view.
  void planColumnsShowTheirTotalsWhole() {
    Start(TMessageAnswer::No);
    NewBudget(QStringLiteral("5"));
    TVorlaData* document = app_->Shell().Document();
    auto pay = std::make_unique<TXTemplate>();
    pay->SetName("Pay");
    pay->SetPeriod(kPeriodMonthly);
    pay->SetIncludeInPlan(true);
    pay->AddAllocation(document->Envelopes().EnvelopeIdOfName("Unallocated"), TAmount(438000));
    TemplatesOf(*document).Add(std::move(pay));
    QStringList clipped;
    WhenModal<TAllocationPlanDialog>([&clipped](TAllocationPlanDialog* dialog) {
      dialog->PeriodBox().setCurrentIndex(dialog->PeriodBox().findText(QStringLiteral("Annual")));
      TLedgerWindow& ledger = dialog->Ledger();
      TLedger& grid = ledger.Logic();
      const QFontMetrics metrics(ledger.GridFont());
      for (int column = 2; column <= grid.ColumnCount(); ++column) {
        const QString total =
            QString::fromStdString(grid.Rows().FooterText(grid.ColumnNumber(column)));
        if (metrics.horizontalAdvance(total) > ledger.FooterTextRect(column).width())
          clipped << total;
      }
      QVERIFY(grid.Rows().FooterText(grid.ColumnNumber(2)) == "52,560.00");
      dialog->reject();
    });
    app_->RunCommand(kCmdAllocationPlan);
    QCOMPARE(clipped, QStringList());
  }

  // The Window menu lists the open windows to switch to, Ctrl+F4 closes the current one and
  // File, Close closes the budget.
  void windowsAreListedSwitchedAndClosed() {
    Start(TMessageAnswer::No);
    NewBudget(QStringLiteral("5"));
    TVorlaClient& client = app_->Client();
    auto* menu = app_->Frame().findChild<QMenu*>(QStringLiteral("windowMenu"));
    QVERIFY(menu != nullptr);
    auto listed = [menu] {
      emit menu->aboutToShow();
      QList<QAction*> entries;
      for (QAction* action : menu->actions()) {
        if (action->text().startsWith(QLatin1Char('&')) && action->isCheckable())
          entries << action;
      }
      return entries;
    };
    QList<QAction*> entries = listed();
    QCOMPARE(entries.size(), client.subWindowList().size());
    QCOMPARE(entries.size(), 2);
    for (qsizetype i = 0; i < entries.size(); ++i) {
      QMdiSubWindow* child = client.subWindowList()[i];
      QVERIFY(entries[i]->text().endsWith(child->windowTitle()));
      QCOMPARE(entries[i]->isChecked(), child == client.activeSubWindow());
    }
    QAction* other = entries[0]->isChecked() ? entries[1] : entries[0];
    QMdiSubWindow* chosen = client.subWindowList()[entries.indexOf(other)];
    other->trigger();
    QCOMPARE(client.activeSubWindow(), chosen);

    app_->Frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&app_->Frame()));
    QTest::keyClick(client.activeSubWindow(), Qt::Key_F4, Qt::ControlModifier);
    QVERIFY(SpinUntil([&client] { return client.subWindowList().size() == 1; }));
    QVERIFY(!client.subWindowList().contains(chosen));

    app_->Frame().Action(kCmdClose)->trigger();
    QVERIFY(app_->Shell().Document() == nullptr);
    QCOMPARE(listed().size(), 0);
  }

  // Declining the start-up question, and later cancelling the wizard, leave no budget open.
  void startsWithoutBudgetWhenTheUserDeclinesOrCancelsTheWizard() {
    Start(TMessageAnswer::No);
    QCOMPARE(messages_->messages.size(), size_t{1});
    QCOMPARE(messages_->messages.front().caption, std::string("Quenbrook"));
    QVERIFY(messages_->messages.front().buttons == TMessageButtons::YesNo);
    QVERIFY(app_->Frame().Action(kCmdNew)->isEnabled());
    QVERIFY(app_->Frame().Action(kCmdMainConfiguration)->isEnabled());
    for (bool cancelled : {false, true}) {
      if (cancelled) {
        WhenModal<TAccountWizardDialog>([](TAccountWizardDialog* wizard) {
          QTest::keyClicks(wizard->findChild<QLineEdit*>(QStringLiteral("name")),
                           QStringLiteral("Half typed"));
          wizard->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
        });
        RunNew();
      }
      QCOMPARE(app_->Frame().windowTitle(), QStringLiteral("Quenbrook 3.1 "));
      QVERIFY(app_->Shell().Document() == nullptr);
      QVERIFY(!app_->Frame().Action(kCmdSave)->isEnabled());
      QVERIFY(!app_->Frame().Action(kCmdAccountList)->isEnabled());
    }
    QVERIFY(saveTitles_.empty());
  }

  void newBudgetWithTheWizardSavesAndReopens() {
    Start(TMessageAnswer::No);
    int wizardsSeen = 0;
    WhenModal<TAccountWizardDialog>([&](TAccountWizardDialog* wizard) {
      ++wizardsSeen;
      TypeAccount(wizard, QStringLiteral("Checking"), QStringLiteral("1234.56"), 0, "add");
      // Add clears the fields for the next account and puts the type back to the first.
      QCOMPARE(wizard->findChild<QLineEdit*>(QStringLiteral("name"))->text(), QString());
      QCOMPARE(wizard->findChild<QListWidget*>(QStringLiteral("accountsAdded"))->count(), 1);
      TypeAccount(wizard, QStringLiteral("Savings"), QStringLiteral("100+50"), 1, "add");
      QCOMPARE(wizard->findChild<QComboBox*>(QStringLiteral("type"))->currentIndex(), 0);
      wizard->findChild<QPushButton*>(QStringLiteral("finish"))->click();
    });
    RunNew();
    QCOMPARE(wizardsSeen, 1);
    QCOMPARE(saveTitles_, std::vector<std::string>{"New Quenbrook File Name"});

    TVorlaData* document = app_->Shell().Document();
    QVERIFY(document != nullptr);
    TAccountList& accounts = document->Accounts();
    QCOMPARE(accounts.NumberOfAccounts(), size_t{2});
    const uint32_t checking = accounts.IdOfName("Checking");
    const uint32_t savings = accounts.IdOfName("Savings");
    QCOMPARE(accounts.GetBalance(checking), 123456);
    QCOMPARE(accounts.GetBalance(savings), 15000);
    QCOMPARE(accounts.Account(savings)->Type(), 2u);
    QCOMPARE(document->EnvelopeTotal(), document->AccountTotal());
    QVERIFY(std::filesystem::exists(Path("Home.vrl")));
    QCOMPARE(app_->Frame().windowTitle(), QStringLiteral("Home.vrl - Quenbrook 3.1 "));
    QVERIFY(app_->Frame().Action(kCmdSave)->isEnabled());
    QCOMPARE(app_->Frame().ModifiedText(), QString());

    // New shows both lists side by side.
    TEnhancedListWindow* accountWindow = app_->Client().AccountWindow();
    TEnhancedListWindow* envelopeWindow = app_->Client().EnvelopeWindow();
    QVERIFY(accountWindow != nullptr && envelopeWindow != nullptr);
    QVERIFY(accountWindow->RowTexts().contains(QStringLiteral("Checking: 1,234.56")));
    QVERIFY(envelopeWindow->RowTexts().contains(QStringLiteral("Unallocated: 1,384.56")));
    QCOMPARE(accountWindow->y(), envelopeWindow->y());
    QVERIFY(accountWindow->x() != envelopeWindow->x());

    // A change shows "Modified" until the next save.
    document->SetModified();
    QCOMPARE(app_->Frame().ModifiedText(), QStringLiteral("Modified"));
    app_->RunCommand(kCmdSave);
    QCOMPARE(app_->Frame().ModifiedText(), QString());

    // Closing keeps nothing open; reopening brings back the accounts and the list windows.
    QVERIFY(app_->Shell().CloseCheck());
    QVERIFY(app_->Shell().Document() == nullptr);
    QVERIFY(app_->Client().AccountWindow() == nullptr ||
            !app_->Client().AccountWindow()->IsAttached());
    QCOMPARE(app_->Frame().windowTitle(), QStringLiteral("Quenbrook 3.1 "));
    QVERIFY(!app_->Frame().Action(kCmdSave)->isEnabled());

    QVERIFY(app_->Shell().OpenFile(Path("Home.vrl")));
    TVorlaData* reopened = app_->Shell().Document();
    QVERIFY(reopened != nullptr);
    QCOMPARE(reopened->Accounts().GetBalance(reopened->Accounts().IdOfName("Checking")), 123456);
    QCOMPARE(reopened->Accounts().GetBalance(reopened->Accounts().IdOfName("Savings")), 15000);
    QVERIFY(app_->Client().AccountWindow() != nullptr);
    QVERIFY(app_->Client().AccountWindow()->IsAttached());
    QVERIFY(app_->Client().AccountWindow()->RowTexts().contains(QStringLiteral("Savings: 150.00")));
    QVERIFY(app_->Client().EnvelopeWindow() != nullptr);
    QCOMPARE(messages_->messages.size(), size_t{1});
  }

  void wizardRefusesARepeatedNameAndAnEmptyFinish() {
    Start(TMessageAnswer::No);
    WhenModal<TAccountWizardDialog>([this](TAccountWizardDialog* wizard) {
      wizard->findChild<QPushButton*>(QStringLiteral("finish"))->click();
      QVERIFY(wizard->isVisible());
      TypeAccount(wizard, QStringLiteral("  "), QStringLiteral("20"), 2, "add");
      QCOMPARE(wizard->AccountsMade(), 0);
      wizard->findChild<QLineEdit*>(QStringLiteral("name"))->clear();
      wizard->findChild<QLineEdit*>(QStringLiteral("startingBalance"))->clear();
      TypeAccount(wizard, QStringLiteral("Cash"), QStringLiteral("20"), 2, "add");
      TypeAccount(wizard, QStringLiteral("Cash"), QStringLiteral("30"), 0, "add");
      // The refused entry stays in the fields, to be corrected.
      QCOMPARE(wizard->findChild<QLineEdit*>(QStringLiteral("name"))->text(),
               QStringLiteral("Cash"));
      QCOMPARE(wizard->AccountsMade(), 1);
      wizard->findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("Wallet"));
      // Finish makes the account still in the fields.
      wizard->findChild<QPushButton*>(QStringLiteral("finish"))->click();
    });
    RunNew();
    QVERIFY(app_->Shell().Document() != nullptr);
    QCOMPARE(app_->Shell().Document()->Accounts().NumberOfAccounts(), size_t{2});
    const std::vector<std::string> texts = messages_->Texts();
    QCOMPARE(texts.size(), size_t{4});
    QCOMPARE(texts[1],
             std::string("Enter at least one account and press Add.  A budget needs an account "
                         "to hold its money."));
    QCOMPARE(texts[2], std::string("You must provide a label."));
    QCOMPARE(texts[3], std::string("Account name, \"Cash\" has already been used.  Please use a "
                                   "different account name."));
  }

  void commandsOfLaterSubsystemsStayDisabled() {
    Start(TMessageAnswer::No);
    NewBudget(QStringLiteral("1"));
    QVERIFY(app_->Shell().Document() != nullptr);
    for (const TCommandInfo& info : Commands()) {
      const bool enabled = app_->Frame().Action(info.id)->isEnabled();
      QCOMPARE(enabled, info.state == TCommandState::Ready);
    }
    QToolBar* bar = app_->Frame().ControlBar();
    QVERIFY(bar != nullptr);
    QCOMPARE(bar->actions().size(), qsizetype{23});
  }

  void mainConfigurationRemovesAndRestoresTheBars() {
    Start(TMessageAnswer::No);
    QVERIFY(app_->Frame().ControlBar() != nullptr);
    SetBoxes(kCmdMainConfiguration, {{QStringLiteral("Display &Status Bar"), false},
                                     {QStringLiteral("Display &Control Bar"), false}});
    QVERIFY(app_->Frame().ControlBar() == nullptr);
    QVERIFY(app_->Frame().findChild<QStatusBar*>() == nullptr);
    std::unique_ptr<TVorlaConfig> saved = LoadConfig(Path("Vorla.cfg"), 1280, 800);
    QCOMPARE(saved->Settings().ShowStatusBar, 0u);
    QCOMPARE(saved->Settings().ShowControlBar, 0u);

    SetBoxes(kCmdMainConfiguration, {{QStringLiteral("Display &Status Bar"), true}});
    QVERIFY(app_->Frame().ControlBar() == nullptr);
    QVERIFY(app_->Frame().findChild<QStatusBar*>() != nullptr);
    app_->Frame().ShowModified(true);
    QCOMPARE(app_->Frame().ModifiedText(), QStringLiteral("Modified"));
  }

  void transactionViewSetupKeepsWidthsInRange() {
    Start(TMessageAnswer::No);
    WhenModal<TSettingsDialog>([](TSettingsDialog* dialog) {
      QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>();
      QCOMPARE(edits.size(), qsizetype{6});
      edits[0]->setText(QStringLiteral("3"));   // code width, 5 to 10
      edits[1]->setText(QStringLiteral("80"));  // payable-to width, 20 to 50
      dialog->accept();
    });
    app_->RunCommand(kCmdTransactionViewConfiguration);
    QCOMPARE(app_->Config().Settings().CodeWidth, 5u);
    QCOMPARE(app_->Config().Settings().PayableToWidth, 50u);
    std::unique_ptr<TVorlaConfig> saved = LoadConfig(Path("Vorla.cfg"), 1280, 800);
    QCOMPARE(saved->Settings().CodeWidth, 5u);
  }

  void accountListConfigurationRedrawsTheRows() {
    Start(TMessageAnswer::No);
    NewBudget(QStringLiteral("1234.56"));
    TEnhancedListWindow* window = app_->Client().AccountWindow();
    QVERIFY(window != nullptr);
    SetBoxes(kCmdAccountListConfiguration,
             {{QStringLiteral("Show &Account Balances"), false},
              {QStringLiteral("Show Account R&econcile Balances"), true}});
    QVERIFY(window->RowTexts().contains(QStringLiteral("Checking: [1,234.56]")));
  }

  void listWindowKeepsItsLayoutInTheBudget() {
    Start(TMessageAnswer::No);
    NewBudget(QStringLiteral("5"));
    TVorlaData* document = app_->Shell().Document();
    TEnhancedListWindow* window = app_->Client().EnvelopeWindow();
    window->setGeometry(30, 40, 250, 200);
    QCOMPARE(document->EnvelopeLayout().x, 30);
    QCOMPARE(document->EnvelopeLayout().y, 40);
    QCOMPARE(document->EnvelopeLayout().width, 250);
    QVERIFY(document->EnvelopeLayout().open);
    app_->RunCommand(kCmdSave);
    window->close();
    QVERIFY(!document->EnvelopeLayout().open);
    // Closing the window is no change to the budget, and a new window comes back where the
    // old one was.
    app_->RunCommand(kCmdEnvelopeList);
    TEnhancedListWindow* again = app_->Client().EnvelopeWindow();
    QVERIFY(again != nullptr && again->IsAttached());
    QCOMPARE(again->geometry(), QRect(30, 40, 250, 200));
  }

  void exitSavesTheSettingsEvenWhenCancelled() {
    Start(TMessageAnswer::No);
    app_->Config().Settings().AutoSaveMinutes = 0;
    NewBudget(QStringLiteral("5"));
    app_->Shell().Document()->SetModified();
    app_->Frame().move(77, 66);
    messages_->answers.push_back(TMessageAnswer::Cancel);
    QVERIFY(!app_->Frame().close());
    QCOMPARE(messages_->messages.back().text, std::string("File has been modified. Save it now?"));
    QVERIFY(app_->Shell().Document() != nullptr);
    std::unique_ptr<TVorlaConfig> saved = LoadConfig(Path("Vorla.cfg"), 1280, 800);
    QCOMPARE(saved->Settings().FramePos[0], 77);
    QCOMPARE(saved->Settings().FramePos[1], 66);
    QCOMPARE(saved->Settings().LastFile, Path("Home.vrl"));
  }

  void missingManualIsReported() {
    Start(TMessageAnswer::No);
    app_.reset();
    TVorlaAppSetup setup;
    setup.configPath = Path("Vorla.cfg");
    setup.lockFolder = Path("locks");
    setup.manualPath = dir_.filePath(QStringLiteral("no-manual/index.html"));
    app_ = std::make_unique<TVorlaApp>(setup, clock_, TCommandLine{});
    messages_ = std::make_unique<TMessageRecorder>(app_->User());
    app_->RunCommand(kCmdHelpContents);
    QCOMPARE(messages_->messages.size(), size_t{1});
    QVERIFY(messages_->messages[0].text.find("manual could not be found") != std::string::npos);
  }

  void framePlacementComesFromTheConfiguration() {
    TVorlaConfig stored;
    stored.Settings().FramePos[0] = 50;
    stored.Settings().FramePos[1] = 60;
    stored.Settings().FrameSize[0] = 700;
    stored.Settings().FrameSize[1] = 500;
    stored.Settings().ShowControlBar = 0;
    QVERIFY(SaveConfig(Path("Vorla.cfg"), stored));
    Start(TMessageAnswer::No);
    QCOMPARE(app_->Frame().frameGeometry(), QRect(50, 60, 700, 500));
    QVERIFY(app_->Frame().ControlBar() == nullptr);
  }

  void aboutBoxTellsTheVersionAndIdleWorkWaitsWhileItIsUp() {
    Start(TMessageAnswer::No);
    app_->Config().Settings().AutoSaveMinutes = 1;
    NewBudget(QStringLiteral("5"));
    TVorlaData* document = app_->Shell().Document();
    document->SetModified();
    app_->Shell().TimerTick();
    app_->Shell().TimerTick();
    bool savedDuringDialog = true;
    QString version;
    WhenModal<QDialog>([&](QDialog* about) {
      version = about->findChild<QLabel*>(QStringLiteral("version"))->text();
      // The loop of the dialog waits here many times; the due auto-save must not run.
      int checks = 0;
      SpinUntil([&] { return ++checks > 50; });
      savedDuringDialog = !document->IsModified();
      about->accept();
    });
    app_->RunCommand(kCmdAbout);
    QVERIFY(!savedDuringDialog);
    QCOMPARE(version, QStringLiteral("Version 3.1 Build 1004"));
    QVERIFY(SpinUntil([&] { return !document->IsModified(); }));
  }

  // The main window as a user sees it with a budget open: both lists side by side, every row
  // whole. The picture goes to $QUENBROOK_SCREENSHOT when that is set.
  void budgetWindowIsReadable() {
    Start(TMessageAnswer::No);
    app_->Frame().resize(1000, 640);
    WhenModal<TAccountWizardDialog>([](TAccountWizardDialog* wizard) {
      TypeAccount(wizard, QStringLiteral("Checking"), QStringLiteral("2345.67"), 0, "add");
      TypeAccount(wizard, QStringLiteral("Savings"), QStringLiteral("10000"), 1, "add");
      TypeAccount(wizard, QStringLiteral("Wallet"), QStringLiteral("80"), 2, "add");
      TypeAccount(wizard, QStringLiteral("Visa"), QStringLiteral("-512.34"), 4, "finish");
    });
    RunNew();
    TVorlaData* document = app_->Shell().Document();
    QVERIFY(document != nullptr);
    TEnvelopeList& envelopes = document->Envelopes();
    WhenModal<TNodePropertiesDialog>([](TNodePropertiesDialog* dialog) {
      dialog->findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("Home"));
      dialog->accept();
    });
    TBundle* home = envelopes.AddBundle(envelopes.Root());
    QVERIFY(home != nullptr);
    envelopes.AddEnvelope(*home, "Rent", false);
    envelopes.AddEnvelope(*home, "Electricity and Heating", true);
    envelopes.AddEnvelope(envelopes.Root(), "Groceries", true);
    envelopes.AddEnvelope(envelopes.Root(), "Holidays", false);
    app_->RunCommand(kCmdTile);
    QCoreApplication::sendPostedEvents();

    for (TEnhancedListWindow* window : std::initializer_list<TEnhancedListWindow*>{
             app_->Client().AccountWindow(), app_->Client().EnvelopeWindow()}) {
      QAbstractScrollArea* view = window->View();
      const QStringList texts = window->RowTexts();
      for (int row = 1; row <= texts.size(); ++row) {
        const QRect text = window->RowRect(row, 0);
        const int textEnd = text.left() + view->fontMetrics().horizontalAdvance(texts[row - 1]);
        QVERIFY2(textEnd < view->viewport()->width(), qPrintable(texts[row - 1]));
        QVERIFY2(text.bottom() < view->viewport()->height(), qPrintable(texts[row - 1]));
      }
    }
    QVERIFY(app_->Client().EnvelopeWindow()->RowTexts().contains(
        QStringLiteral("Unallocated: 11,913.33")));
    QVERIFY(app_->Client().AccountWindow()->RowTexts().contains(QStringLiteral("Visa: -512.34")));

    const QImage picture = app_->Frame().grab().toImage();
    QCOMPARE(picture.size(), app_->Frame().size() * picture.devicePixelRatio());
    const QByteArray target = qgetenv("QUENBROOK_SCREENSHOT");
    if (!target.isEmpty())
      QVERIFY(picture.save(QString::fromLocal8Bit(target), "PNG"));
  }

  // New with the income wizard, then the account wizard: the plan's envelopes and templates are
  // in the saved budget, which the command-line tool finds sound.
  void newBudgetWithTheIncomeWizard() {
    Start(TMessageAnswer::No);
    WhenModal<TIncomeWizardDialog>([](TIncomeWizardDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Enter Monthly Income"));
      QTest::keyClicks(dialog->Field(0), QStringLiteral("2000"));
      dialog->Field(1)->setFocus();
      dialog->Field(1)->selectAll();
      QTest::keyClicks(dialog->Field(1), QStringLiteral("1,000"));
      dialog->accept();
    });
    QString housing;
    WhenModal<TAllocationPlanDialog>([&](TAllocationPlanDialog* dialog) {
      TLedger& grid = dialog->Ledger().Logic();
      housing = QString::fromStdString(grid.Rows().Item(1)->ColumnText(3));
      dialog->findChild<QPushButton*>(QStringLiteral("saveAndClose"))->click();
    });
    WhenModal<TAccountWizardDialog>([](TAccountWizardDialog* wizard) {
      TypeAccount(wizard, QStringLiteral("Checking"), QStringLiteral("3000"), 0, "finish");
    });
    app_->RunCommand(kCmdNew);
    QCOMPARE(housing, QStringLiteral("600.00"));
    TVorlaData* document = app_->Shell().Document();
    QVERIFY(document != nullptr);
    QVERIFY(document->Envelopes().EnvelopeIdOfName("Charity") != 0);
    QCOMPARE(TemplatesOf(*document).Count(), size_t{2});
    const std::string check = std::string(QUENBROOK_CLI_PATH) + " check " + Path("Home.vrl");
    QCOMPARE(std::system(check.c_str()), 0);
  }

  // The plan editor: a typed cell is stored in its column's period, another view period shows
  // it converted, and "Save and Close" writes it into the template.
  void planEditorEditsACellAndChangesThePeriod() {
    Start(TMessageAnswer::No);
    NewBudget(QStringLiteral("5"));
    TVorlaData* document = app_->Shell().Document();
    QVERIFY(document != nullptr);
    auto pay = std::make_unique<TXTemplate>();
    pay->SetName("Pay");
    pay->SetPeriod(kPeriodWeekly);
    pay->SetIncludeInPlan(true);
    TXTemplate& weekly = TemplatesOf(*document).Add(std::move(pay));
    QStringList shown;
    WhenModal<TAllocationPlanDialog>([&](TAllocationPlanDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Allocation Plan"));
      TLedgerWindow& ledger = dialog->Ledger();
      TLedger& grid = ledger.Logic();
      QCOMPARE(QString::fromStdString(grid.Rows().HeaderText(3)), QStringLiteral("Pay"));
      // Keys go where a user's would: into the open editor, else into the grid.
      auto target = [&ledger]() -> QWidget* {
        return ledger.Editor() != nullptr ? ledger.Editor() : &ledger;
      };
      QTest::keyClick(target(), Qt::Key_Tab);
      QTest::keyClick(target(), Qt::Key_Tab);
      QCOMPARE(grid.CurrentColumn(), 3);
      for (char c : std::string("100"))
        QTest::keyClick(target(), c);
      QTest::keyClick(target(), Qt::Key_Return);
      shown << QString::fromStdString(grid.Rows().Item(1)->ColumnText(3));
      // Ctrl+Tab leaves the grid for the buttons, and the view period has its letter.
      dialog->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(dialog));
      ledger.setFocus();
      QTest::keyClick(&ledger, Qt::Key_Tab, Qt::ControlModifier);
      QVERIFY(qobject_cast<QPushButton*>(QApplication::focusWidget()) != nullptr);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::AltModifier);
      QCOMPARE(QApplication::focusWidget(), &dialog->PeriodBox());
      dialog->PeriodBox().setCurrentIndex(dialog->PeriodBox().findText(QStringLiteral("Annual")));
      shown << QString::fromStdString(grid.Rows().Item(1)->ColumnText(3))
            << QString::fromStdString(grid.Rows().FooterText(2));
      dialog->findChild<QPushButton*>(QStringLiteral("saveAndClose"))->click();
    });
    app_->RunCommand(kCmdAllocationPlan);
    QCOMPARE(shown, (QStringList{"100.01", "1,200.16", "1,200.16"}));
    // The plan stays with the budget: the editor opens again in the period it was left in,
    // whether it was closed with "Save and Close" or with "Cancel".
    QStringList periods;
    for (const char* next : {"Weekly", "Monthly"}) {
      WhenModal<TAllocationPlanDialog>([&periods, next](TAllocationPlanDialog* dialog) {
        periods << dialog->PeriodBox().currentText();
        dialog->PeriodBox().setCurrentIndex(dialog->PeriodBox().findText(next));
        dialog->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
      });
      app_->RunCommand(kCmdAllocationPlan);
    }
    QCOMPARE(periods, (QStringList{"Annual", "Weekly"}));
    QCOMPARE(
        weekly.Items().AmountForEnvelope(document->Envelopes().EnvelopeIdOfName("Unallocated")),
        TAmount(2308));
    QVERIFY(document->IsModified());
    QVERIFY(app_->Config().Named().Contains(TAllocationPlanDialog::kWidthKey, 0));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
