// The ledger windows as a user meets them: typing into the grid with the keyboard, clearing,
// transfers and a multiple made through the ledger's keys and dialogs, and the saved budget
// checked by the command-line tool.
#include "ui/ledger_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <memory>

#include "app/command_line.h"
#include "app/vorla_shell.h"
#include "core/account_list.h"
#include "core/account_node.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/model_environment.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "import/statement_file.h"
#include "presentation/xview_list.h"
#include "presentation/xview_model.h"
#include "tests/ui/home_budget.h"
#include "tests/ui/ui_test_support.h"
#include "transactions/account_wizard.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"
#include "ui/account_transfer_dialog.h"
#include "ui/account_tree_window.h"
#include "ui/commands.h"
#include "ui/envelope_chooser_dialog.h"
#include "ui/import_options_dialog.h"
#include "ui/main_frame.h"
#include "ui/settings_dialog.h"
#include "ui/vorla_app.h"
#include "ui/vorla_client.h"
#include "ui/xview_window.h"

using namespace ui_test;

namespace {

void PressOk(QDialog* dialog) {
  dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

void ChooseEnvelope(TEnvelopeChooserDialog* dialog, const QString& name) {
  auto* list = dialog->findChild<QListWidget*>(QStringLiteral("envelopes"));
  const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
  QVERIFY(!found.isEmpty());
  list->setCurrentItem(found.front());
  PressOk(dialog);
}

}  // namespace

class LedgerWindowTest : public QObject {
  Q_OBJECT

 private:
  // A budget with four envelopes and the accounts Checking and Savings, started in the program.
  void Start() {
    const std::string error = WriteHomeBudget(dir_, clock_,
                                              {{"Checking", "", 1, 1000, TDateValue(1, 11, 2026)},
                                               {"Savings", "", 2, 0, TDateValue(1, 11, 2026)}});
    QVERIFY2(error.empty(), error.c_str());
    app_ = StartOnHomeBudget(dir_, clock_);
    QVERIFY(app_ != nullptr);
    messages_ = std::make_unique<TMessageRecorder>(app_->User());
    app_->Frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&app_->Frame()));
  }

  TVorlaData& Document() { return *app_->Shell().Document(); }
  uint32_t AccountId(const char* name) { return Document().Accounts().IdOfName(name); }
  uint32_t EnvelopeId(const char* name) { return Document().Envelopes().EnvelopeIdOfName(name); }

  // A window manager gives the focus back after a dialog; the offscreen platform does not.
  void Refocus(TXView* view) {
    app_->Frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&app_->Frame()));
    view->Grid()->setFocus();
  }

  // Keys go where a user's would: into the open editor, else into the grid.
  static QWidget* Target(TXView* view) {
    QWidget* editor = view->Grid()->Editor();
    return editor != nullptr ? editor : view->Grid();
  }
  static void Type(TXView* view, const QString& text) {
    for (QChar c : text)
      QTest::keyClick(Target(view), c.toLatin1());
  }
  static void Press(TXView* view, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Target(view), key, modifiers);
  }
  // Moves the cursor to a column of the current row by its row-object column number.
  static void GoToColumn(TXView* view, int column) {
    TLedger& grid = view->Grid()->Logic();
    Press(view, Qt::Key_Home);
    for (int steps = 0; grid.CurrentColumn() != column && steps < grid.ColumnCount(); ++steps)
      Press(view, Qt::Key_Tab);
    QCOMPARE(grid.CurrentColumn(), column);
  }
  // Types a row: payee, envelope (when given) and an amount into the Payment or Deposit column.
  // Enter moves on: after a payment to the Deposit cell of the same row, after a deposit (the
  // last column) to the next row.
  static void TypeRow(TXView* view, const QString& payee, const QString& envelope, int column,
                      const QString& amount) {
    GoToColumn(view, TXItem::kColPayableTo);
    Type(view, payee);
    if (!envelope.isEmpty()) {
      GoToColumn(view, TXItem::kColEnvelope);
      Type(view, envelope);
    }
    GoToColumn(view, column);
    Type(view, amount);
    Press(view, Qt::Key_Return);
  }

  // Lets the event loop wait a few times, as the program's does, so that idle moments come.
  static void LetIdleRun() {
    QElapsedTimer waited;
    waited.start();
    SpinUntil([&waited] { return waited.elapsed() > 50; });
  }

  // What a view holds: the payees of its live rows, top to bottom, and their amounts' sum.
  static QStringList Payees(TXView* view) {
    QStringList payees;
    TXViewList& rows = view->Model()->Rows();
    for (int row = 1; row <= rows.RowCount(); ++row) {
      if (const TXItem* item = rows.TransactionAt(row); item != nullptr && item->Record().IsLive())
        payees << QString::fromStdString(item->ColumnText(TXItem::kColPayableTo));
    }
    return payees;
  }
  static int64_t RowsTotal(TXView* view) {
    int64_t total = 0;
    TXViewList& rows = view->Model()->Rows();
    for (int row = 1; row <= rows.RowCount(); ++row) {
      if (const TXItem* item = rows.TransactionAt(row); item != nullptr && item->Record().IsLive())
        total += item->Record().amount;
    }
    return total;
  }
  // Imports a QIF statement into Checking through the account chooser and the options dialog.
  void ImportIntoChecking(const std::string& qif) {
    const QString path = dir_.filePath(QStringLiteral("statement.qif"));
    std::ofstream(path.toStdString()) << qif;
    WhenModal<TEnvelopeChooserDialog>([](TEnvelopeChooserDialog* chooser) {
      auto* list = chooser->findChild<QListWidget*>();
      list->setCurrentItem(list->findItems(QStringLiteral("Checking"), Qt::MatchExactly).first());
      WhenModal<TImportXDlg>([](TImportXDlg* options) {
        options->findChild<QPushButton*>(QStringLiteral("import"))->click();
      });
      PressOk(chooser);
    });
    app_->Shell().ImportStatement(TStatementKind::Qif, path.toStdString());
  }

  // The saved budget as the command-line tool sees it.
  QJsonObject Dump(int* checkStatus) {
    QProcess check;
    check.start(QStringLiteral(QUENBROOK_CLI_PATH), {"check", dir_.filePath("Home.vrl")});
    check.waitForFinished(60000);
    *checkStatus = check.exitCode();
    QProcess dump;
    dump.start(QStringLiteral(QUENBROOK_CLI_PATH), {"dump", dir_.filePath("Home.vrl")});
    dump.waitForFinished(60000);
    return QJsonDocument::fromJson(dump.readAllStandardOutput()).object();
  }

  TFixedClock clock_{TDateValue(6, 12, 2026), 1000};
  QTemporaryDir dir_;
  std::unique_ptr<TVorlaApp> app_;
  std::unique_ptr<TMessageRecorder> messages_;

 private slots:
  void cleanup() {
    messages_.reset();
    app_.reset();
  }

  void typingTransfersAndAMultipleSaveASoundBudget() {
    Start();
    const uint32_t checking = AccountId("Checking");
    TXView* ledger = app_->Client().OpenAccountLedger(checking);
    QVERIFY(ledger != nullptr);
    QCOMPARE(ledger->windowTitle(), QStringLiteral("Account: Checking"));
    ledger->Grid()->setFocus();

    // A payment typed key by key, then cleared with Ctrl+X.
    TypeRow(ledger, "Corner Grocer", "Groceries", TXItem::kColPayment, "42.50");
    QCOMPARE(Document().Envelopes().EnvelopeBalance(EnvelopeId("Groceries")), -4250);
    QCOMPARE(Document().Accounts().GetBalance(checking), 100000 - 4250);
    QCOMPARE(ledger->CurrentItem()->ColumnText(TXItem::kColPayableTo),
             std::string("Corner Grocer"));
    Press(ledger, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(Document().Accounts().GetRecBalance(checking), 100000 - 4250);
    QCOMPARE(ledger->StatusLabelText(), QStringLiteral("Account Balance:"));
    QCOMPARE(ledger->StatusValueText(), QStringLiteral(" 957.50"));

    // Esc in a text editor keeps the cell as it was.
    GoToColumn(ledger, TXItem::kColPayableTo);
    Type(ledger, "Wrong");
    Press(ledger, Qt::Key_Escape);
    QCOMPARE(ledger->CurrentItem()->ColumnText(TXItem::kColPayableTo),
             std::string("Corner Grocer"));

    // A character the file cannot store is refused with a message; the cell keeps its text.
    GoToColumn(ledger, TXItem::kColPayableTo);
    Type(ledger, "Caf");
    QTest::sendKeyEvent(QTest::Click, Target(ledger), Qt::Key_A, QStringLiteral("\u2192"),
                        Qt::NoModifier);
    Press(ledger, Qt::Key_Tab);
    QVERIFY(SpinUntil([this] { return !messages_->messages.empty(); }));
    QCOMPARE(messages_->messages.back().caption, std::string("Error"));
    Press(ledger, Qt::Key_Backtab);
    QCOMPARE(ledger->CurrentItem()->ColumnText(TXItem::kColPayableTo),
             std::string("Corner Grocer"));

    // An account transfer of 200.00 to Savings through the dialog.
    Press(ledger, Qt::Key_Down);
    TypeRow(ledger, "To savings", "", TXItem::kColPayment, "200");
    WhenModal<TAccountTransferDialog>([](TAccountTransferDialog* dialog) {
      auto* to = dialog->findChild<QComboBox*>(QStringLiteral("toAccount"));
      to->setCurrentIndex(to->findText(QStringLiteral("Savings")));
      PressOk(dialog);
    });
    Press(ledger, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Document().Accounts().GetBalance(AccountId("Savings")), 20000);
    Refocus(ledger);

    // A deposit of 100.00 made into a multiple, with two more parts typed into its view.
    Press(ledger, Qt::Key_Down);
    TypeRow(ledger, "Pay cheque", "Unallocated", TXItem::kColDeposit, "100");
    Press(ledger, Qt::Key_Up);
    QCOMPARE(ledger->CurrentItem()->ColumnText(TXItem::kColDeposit), std::string("100.00"));
    Press(ledger, Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
    TXView* multiple = app_->Client().CurrentView();
    QVERIFY(multiple != nullptr && multiple != ledger);
    QVERIFY(multiple->windowTitle().startsWith(QStringLiteral("Multiple: Checking")));
    Refocus(multiple);
    Press(multiple, Qt::Key_Down);
    TypeRow(multiple, "Rent share", "Rent", TXItem::kColDeposit, "30");
    TypeRow(multiple, "Dining share", "Dining", TXItem::kColDeposit, "20");
    QCOMPARE(multiple->StatusValueText(), QStringLiteral(" 150.00"));

    // An envelope transfer of 15.00 from Dining to Groceries.
    TXView* dining = app_->Client().OpenEnvelopeLedger(EnvelopeId("Dining"));
    Refocus(dining);
    TypeRow(dining, "Move", "", TXItem::kColPayment, "15");
    QString preselected;
    WhenModal<TEnvelopeChooserDialog>([&preselected](TEnvelopeChooserDialog* dialog) {
      preselected = dialog->findChild<QListWidget*>()->currentItem()->text();
      ChooseEnvelope(dialog, QStringLiteral("Groceries"));
    });
    Press(dining, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!preselected.isEmpty() && preselected != QStringLiteral("Dining"));
    QCOMPARE(Document().Envelopes().EnvelopeBalance(EnvelopeId("Dining")), 2000 - 1500);

    app_->RunCommand(kCmdSave);
    int checkStatus = -1;
    const QJsonObject dump = Dump(&checkStatus);
    QCOMPARE(checkStatus, 0);
    int transferHalves = 0, parts = 0, multiples = 0;
    for (const QJsonValue& value : dump.value(QStringLiteral("transactions")).toArray()) {
      const int flags = value.toObject().value(QStringLiteral("flags")).toInt();
      transferHalves += (flags & 0x100) != 0 ? 1 : 0;
      multiples += (flags & 0x040) != 0 ? 1 : 0;
      parts += (flags & 0x080) != 0 ? 1 : 0;
    }
    QCOMPARE(transferHalves, 4);
    QCOMPARE(multiples, 1);
    QCOMPARE(parts, 3);
  }

  // Every open view shows what its filter accepts after changes made anywhere else: a deposit
  // typed into an account ledger, an import, the two confirmations.
  void openViewsFollowChangesMadeElsewhere() {
    Start();
    const uint32_t checking = AccountId("Checking");
    const uint32_t unallocated = EnvelopeId("Unallocated");
    TXView* envelope = app_->Client().OpenEnvelopeLedger(unallocated);
    TXView* account = app_->Client().OpenAccountLedger(checking);
    Refocus(account);
    TypeRow(account, "Pay day", "Unallocated", TXItem::kColDeposit, "250");
    QVERIFY(Payees(envelope).contains(QStringLiteral("Pay day")));
    QCOMPARE(RowsTotal(envelope), Document().Envelopes().EnvelopeBalance(unallocated));

    ImportIntoChecking(
        "!Type:Bank\nD12/01/2026\nT-12.34\nPCorner Shop\n^\nD12/02/2026\nT5\nPRefund\n^\n");
    QVERIFY(Payees(envelope).contains(QStringLiteral("Corner Shop")));
    QVERIFY(Payees(envelope).contains(QStringLiteral("Refund")));
    QCOMPARE(RowsTotal(envelope), Document().Envelopes().EnvelopeBalance(unallocated));
    TXView* imported = app_->Client().CurrentView();
    QVERIFY(imported != nullptr && imported != account);
    QCOMPARE(Payees(imported), (QStringList{"Corner Shop", "Refund"}));
    app_->RunCommand(kCmdConfirmImports);
    QVERIFY(Payees(imported).isEmpty());
    // The next import brings up the same view with its new rows.
    ImportIntoChecking("!Type:Bank\nD12/03/2026\nT-7\nPKiosk\n^\n");
    QCOMPARE(app_->Client().CurrentView(), imported);
    QCOMPARE(Payees(imported), QStringList{"Kiosk"});
    app_->RunCommand(kCmdConfirmImports);

    // A row marked cleared leaves the reconcile view as soon as the marks are confirmed.
    TXView* reconcile = app_->Client().OpenAccountLedger(checking, TXViewModel::kOpenReconcile);
    QVERIFY(reconcile != imported);
    QVERIFY(Payees(reconcile).contains(QStringLiteral("Pay day")));
    Refocus(reconcile);
    Press(reconcile, Qt::Key_Home, Qt::ControlModifier);
    while (reconcile->CurrentItem() != nullptr &&
           reconcile->CurrentItem()->ColumnText(TXItem::kColPayableTo) != "Pay day")
      Press(reconcile, Qt::Key_Down);
    Press(reconcile, Qt::Key_X, Qt::ControlModifier);
    app_->RunCommand(kCmdConfirmCleared);
    QVERIFY(!Payees(reconcile).contains(QStringLiteral("Pay day")));
  }

  // What is typed into a date cell replaces it whole: a typed year counts, and a date without
  // one takes the row's.
  void aTypedDateKeepsItsYear() {
    Start();
    TXView* ledger = app_->Client().OpenAccountLedger(AccountId("Checking"));
    Refocus(ledger);
    const struct {
      const char* typed;
      TDateValue date;
    } cases[] = {{"06/07/20", TDateValue(7, 6, 2020)},
                 {"060720", TDateValue(7, 6, 2020)},
                 {"06072019", TDateValue(7, 6, 2019)},
                 {"1/5/85", TDateValue(5, 1, 1985)},
                 {"12/31", TDateValue(31, 12, 2026)}};
    for (const auto& c : cases) {
      Press(ledger, Qt::Key_End, Qt::ControlModifier);
      GoToColumn(ledger, TXItem::kColDate);
      Type(ledger, QString::fromLatin1(c.typed));
      Press(ledger, Qt::Key_Tab);
      QCOMPARE(ledger->CurrentItem()->Record().date, c.date);
    }
  }

  // The envelope cell completes a name from its start inline and lists the names that have a
  // later word beginning with the typing; the arrows take one whole.
  void envelopesCompleteFromAnyWord() {
    Start();
    Document().Envelopes().AddEnvelope(Document().Envelopes().Root(), "Car Fuel", true);
    TXView* ledger = app_->Client().OpenAccountLedger(AccountId("Checking"));
    Refocus(ledger);
    Press(ledger, Qt::Key_End, Qt::ControlModifier);
    GoToColumn(ledger, TXItem::kColPayableTo);
    Type(ledger, "Garage");
    GoToColumn(ledger, TXItem::kColEnvelope);
    auto listed = [&] {
      QStringList items;
      QListWidget* matches = ledger->Grid()->CompletionList();
      for (int i = 0; matches != nullptr && matches->isVisible() && i < matches->count(); ++i)
        items << matches->item(i)->text();
      return items;
    };
    Type(ledger, "gro");
    auto* list = qobject_cast<QComboBox*>(ledger->Grid()->Editor());
    QVERIFY(list != nullptr);
    QCOMPARE(list->lineEdit()->text(), QStringLiteral("groceries"));
    QCOMPARE(list->lineEdit()->selectedText(), QStringLiteral("ceries"));
    list->lineEdit()->clear();
    Type(ledger, "fu");
    QCOMPARE(list->lineEdit()->text(), QStringLiteral("fu"));
    QCOMPARE(listed(), QStringList{"Car Fuel"});
    Press(ledger, Qt::Key_Down);
    QCOMPARE(list->lineEdit()->text(), QStringLiteral("Car Fuel"));
    Press(ledger, Qt::Key_Tab);
    QCOMPARE(QString::fromStdString(ledger->CurrentItem()->ShownText(TXItem::kColEnvelope)),
             QStringLiteral("Car Fuel"));
  }

  // The payee cell completes from the payees in use; a chosen payee fills a new row from its
  // latest transaction, and both switches turn that off.
  void payeesCompleteAndFillNewRows() {
    Start();
    TXView* ledger = app_->Client().OpenAccountLedger(AccountId("Checking"));
    Refocus(ledger);
    TypeRow(ledger, "Grocery Mart", "Groceries", TXItem::kColPayment, "42.50");
    Press(ledger, Qt::Key_End, Qt::ControlModifier);
    TypeRow(ledger, "Green Grocer", "Dining", TXItem::kColPayment, "7.00");
    auto newRow = [&] {
      Press(ledger, Qt::Key_End, Qt::ControlModifier);
      GoToColumn(ledger, TXItem::kColPayableTo);
    };
    auto line = [&] { return qobject_cast<QLineEdit*>(ledger->Grid()->Editor()); };
    auto listed = [&] {
      QStringList items;
      QListWidget* list = ledger->Grid()->CompletionList();
      for (int i = 0; list != nullptr && list->isVisible() && i < list->count(); ++i)
        items << list->item(i)->text();
      return items;
    };
    auto shown = [&](int column) {
      return QString::fromStdString(ledger->CurrentItem()->ShownText(column));
    };

    // "gro" completes inline, the typed part kept and the tail selected; the list walks.
    newRow();
    Type(ledger, "gr");
    // Both payees were last used the same day: either may lead.
    QStringList both = listed();
    QCOMPARE(line()->text(), "gr" + both.front().mid(2));
    both.sort();
    QCOMPARE(both, (QStringList{"Green Grocer", "Grocery Mart"}));
    Type(ledger, "o");
    QCOMPARE(line()->text(), QStringLiteral("grocery Mart"));
    QCOMPARE(line()->selectedText(), QStringLiteral("cery Mart"));
    QCOMPARE(listed(), QStringList{"Grocery Mart"});
    // Tab takes it: the row shows the payee's envelope and amount; a changed amount is saved.
    Press(ledger, Qt::Key_Tab);
    QVERIFY(line() == nullptr);
    QCOMPARE(shown(TXItem::kColPayableTo), QStringLiteral("Grocery Mart"));
    QCOMPARE(shown(TXItem::kColEnvelope), QStringLiteral("Groceries"));
    QCOMPARE(shown(TXItem::kColPayment), QStringLiteral("42.50"));
    GoToColumn(ledger, TXItem::kColPayment);
    Type(ledger, "40");
    Press(ledger, Qt::Key_Return);
    const uint32_t filled = ledger->CurrentItem()->Id();
    QCOMPARE(TransactionsOf(Document()).FindRecord(filled)->amount, -4000);

    // Esc as the next thing after a fill takes it back, leaving the row empty and nothing new
    // stored. Once the user has gone on, Esc is the view's again: it closes, and the row stays.
    const qsizetype rows = Payees(ledger).size();
    newRow();
    const QString emptyEnvelope = shown(TXItem::kColEnvelope);
    Type(ledger, "gro");
    Press(ledger, Qt::Key_Tab);
    QCOMPARE(shown(TXItem::kColEnvelope), QStringLiteral("Groceries"));
    Press(ledger, Qt::Key_Escape);
    QCOMPARE(shown(TXItem::kColPayableTo), QString());
    QCOMPARE(shown(TXItem::kColEnvelope), emptyEnvelope);
    QCOMPARE(Payees(ledger).size(), rows);
    newRow();
    Type(ledger, "gro");
    Press(ledger, Qt::Key_Tab);
    Press(ledger, Qt::Key_Tab);
    Press(ledger, Qt::Key_Escape);
    LetIdleRun();
    ledger = app_->Client().OpenAccountLedger(AccountId("Checking"));
    Refocus(ledger);
    QCOMPARE(Payees(ledger).size(), rows + 1);

    // Down walks the list, Esc drops the completion and keeps the typing, a second Esc leaves
    // the row untouched.
    newRow();
    Type(ledger, "g");
    Press(ledger, Qt::Key_Down);
    QCOMPARE(line()->text(), "g" + listed().at(1).mid(1));
    Press(ledger, Qt::Key_Escape);
    QCOMPARE(line()->text(), QStringLiteral("g"));
    QVERIFY(listed().isEmpty());
    Press(ledger, Qt::Key_Escape);
    QVERIFY(line() == nullptr);
    QCOMPARE(shown(TXItem::kColPayableTo), QString());

    // Without filling, a chosen payee is only the payee; without completing, typing is all.
    // Both switches are the Transaction View Setup's, kept in the configuration.
    auto setSwitches = [&](bool complete, bool fill) {
      WhenModal<TSettingsDialog>([&](TSettingsDialog* dialog) {
        for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
          if (box->text().remove('&').startsWith(QStringLiteral("Complete payees")))
            box->setChecked(complete);
          else if (box->text().remove('&').startsWith(QStringLiteral("Fill new rows")))
            box->setChecked(fill);
        }
        PressOk(dialog);
      });
      app_->RunCommand(kCmdTransactionViewConfiguration);
      LetIdleRun();
      Refocus(ledger);
    };
    setSwitches(true, false);
    QCOMPARE(app_->Config().Named().GetNumber("Ledger.FillFromPayee", 1, 0), 0);
    newRow();
    Type(ledger, "gre");
    Press(ledger, Qt::Key_Tab);
    QCOMPARE(shown(TXItem::kColPayableTo), QStringLiteral("Green Grocer"));
    QCOMPARE(shown(TXItem::kColPayment), QStringLiteral("0.00"));
    setSwitches(false, false);
    newRow();
    Type(ledger, "gre");
    QCOMPARE(line()->text(), QStringLiteral("gre"));
    QVERIFY(listed().isEmpty());
    Press(ledger, Qt::Key_Escape);
  }

  // The Ledger menu follows the current row from the moment a view opens, before any key.
  void ledgerCommandsAreReadyAsSoonAsAViewOpens() {
    Start();
    for (const unsigned form : {0u, unsigned{TXViewModel::kOpenReconcile}}) {
      TXView* view = app_->Client().OpenAccountLedger(AccountId("Checking"), form);
      QVERIFY(view != nullptr && view->CurrentItem() != nullptr);
      auto* menu = app_->Frame().findChild<QMenu*>(QStringLiteral("ledgerMenu"));
      QVERIFY(menu != nullptr);
      emit menu->aboutToShow();
      QStringList enabled;
      for (QAction* action : menu->actions()) {
        if (action->isEnabled() && !action->isSeparator())
          enabled << action->text();
      }
      QVERIFY2(enabled.contains(QStringLiteral("Toda&y")), qPrintable(enabled.join(", ")));
      QVERIFY(enabled.contains(QStringLiteral("Edit Mem&o")));
    }
  }

  // A watchdog's warning waits while a cell is being typed into, so no keystroke lands in it;
  // then it comes once.
  void watchdogWarningsWaitForTheCellEditor() {
    Start();
    TEnv* groceries = Document().Envelopes().Envelope(EnvelopeId("Groceries"));
    groceries->SetWatchdog(true);
    groceries->SetThreshold(0.0f);
    LetIdleRun();  // the watchdog's first look
    TXView* ledger = app_->Client().OpenAccountLedger(AccountId("Checking"));
    Refocus(ledger);
    // Enter after the payment goes on to the Deposit cell, Tab to the next row, where typing
    // opens an editor before any idle moment comes.
    TypeRow(ledger, "Shop", "Groceries", TXItem::kColPayment, "500");
    Press(ledger, Qt::Key_Tab);
    Type(ledger, "1");
    QVERIFY(ledger->Grid()->Editor() != nullptr);
    LetIdleRun();
    QVERIFY(messages_->messages.empty());
    Press(ledger, Qt::Key_Escape);
    LetIdleRun();
    QCOMPARE(messages_->messages.size(), size_t{1});
    QVERIFY(messages_->messages[0].text.find("Groceries") != std::string::npos);
  }

  // Ctrl+Z and Ctrl+Y take typing back and bring it again in every open view, the Edit menu
  // names the step, the modified mark follows, and an undone account deletion brings the
  // account and its ledger back.
  void undoAndRedoReachEveryOpenView() {
    Start();
    const uint32_t checking = AccountId("Checking");
    const uint32_t unallocated = EnvelopeId("Unallocated");
    TXView* envelope = app_->Client().OpenEnvelopeLedger(unallocated);
    TXView* account = app_->Client().OpenAccountLedger(checking);
    Refocus(account);
    const int64_t balance = Document().Envelopes().EnvelopeBalance(unallocated);
    TypeRow(account, "Pay day", "Unallocated", TXItem::kColDeposit, "250");
    LetIdleRun();
    QAction* undo = app_->Frame().Action(kCmdUndo);
    QVERIFY(undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("&Undo Typing in Checking"));
    QCOMPARE(app_->Frame().ModifiedText(), QStringLiteral("Modified"));

    struct Expected {
      bool shown;
      int64_t balance;
      const char* modified;
    };
    const auto check = [&](const Expected& expected) {
      LetIdleRun();
      for (TXView* view : {envelope, account})
        QCOMPARE(Payees(view).contains(QStringLiteral("Pay day")), expected.shown);
      QCOMPARE(Document().Envelopes().EnvelopeBalance(unallocated), expected.balance);
      QCOMPARE(RowsTotal(envelope), expected.balance);
      QCOMPARE(app_->Frame().ModifiedText(), QString::fromLatin1(expected.modified));
    };
    Press(account, Qt::Key_Z, Qt::ControlModifier);
    check({false, balance, ""});
    QVERIFY(!undo->isEnabled());
    QCOMPARE(app_->Frame().Action(kCmdRedo)->text(), QStringLiteral("&Redo Typing in Checking"));
    Press(account, Qt::Key_Y, Qt::ControlModifier);
    check({true, balance + 25000, "Modified"});
    // Scrolling about is no step and leaves the redo to come.
    Press(account, Qt::Key_Z, Qt::ControlModifier);
    Press(account, Qt::Key_Home, Qt::ControlModifier);
    Press(account, Qt::Key_End, Qt::ControlModifier);
    check({false, balance, ""});
    Press(account, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    check({true, balance + 25000, "Modified"});

    // Deleting Checking through its list window closes its ledger; undoing brings both back.
    app_->Client().ShowAccountList();
    TAccountTreeWindow* list = app_->Client().AccountWindow();
    // Clicks down the rows until the one that shows Checking is selected.
    const auto selected = [list] {
      const std::vector<TTreeItem*> nodes = list->Selection().Nodes();
      return nodes.size() == 1 && nodes.front()->Name() == "Checking";
    };
    for (size_t row = 1; row <= 6 && !selected(); ++row) {
      const QRect text = list->RowRect(row, 0);
      QTest::mouseClick(list->View()->viewport(), Qt::LeftButton, {},
                        QPoint(text.left() + 8, text.center().y()));
    }
    QVERIFY(selected());
    const int32_t checkingBalance = Document().Accounts().GetBalance(checking);
    QPointer<TXView> kept = account;
    messages_->answers = {TMessageAnswer::Yes, TMessageAnswer::Yes};
    list->Command(24325)->trigger();
    QVERIFY(SpinUntil([&] { return kept.isNull(); }));
    QCOMPARE(AccountId("Checking"), 0u);
    LetIdleRun();
    QCOMPARE(undo->text(), QStringLiteral("&Undo Delete Account Checking"));
    app_->RunCommand(kCmdUndo);
    QVERIFY(AccountId("Checking") != 0);
    envelope = nullptr;
    account = app_->Client().OpenAccountLedger(AccountId("Checking"));
    QVERIFY(Payees(account).contains(QStringLiteral("Pay day")));
    QCOMPARE(Document().Accounts().GetBalance(AccountId("Checking")), checkingBalance);
  }

  void deletingAnAccountClosesItsLedgersAndUntouchedRowsLeaveNothing() {
    Start();
    const uint32_t savings = AccountId("Savings");
    auto& manager = TransactionsOf(Document());
    const auto recordsInUse = [&manager] {
      int count = 0;
      for (uint32_t index = 1; index <= manager.Store().Count(); ++index)
        count += manager.Store().At(index).IsDead() ? 0 : 1;
      return count;
    };
    const int before = recordsInUse();
    QPointer<TXView> view = app_->Client().OpenAccountLedger(savings);
    QVERIFY(view);
    QCOMPARE(app_->Client().OpenAccountLedger(savings), view.data());
    view->close();
    QVERIFY(SpinUntil([&] { return view.isNull(); }));
    QCOMPARE(recordsInUse(), before);
    QCOMPARE(manager.HeldItems(), size_t{0});

    view = app_->Client().OpenAccountLedger(savings);
    messages_->answers = {TMessageAnswer::Yes};
    TAccountNode* node = Document().Accounts().FindNode(savings);
    QVERIFY(node != nullptr);
    QVERIFY(Document().Accounts().DeleteItem(*node));
    QVERIFY(SpinUntil([&] { return view.isNull(); }));

    // An envelope-only entry asks before its ledger closes; the program still ends cleanly
    // with the ledger kept open.
    view = app_->Client().OpenEnvelopeLedger(EnvelopeId("Rent"));
    view->Grid()->setFocus();
    TypeRow(view, "Kept aside", "", TXItem::kColDeposit, "30");
    messages_->answers = {TMessageAnswer::No};
    view->close();
    QVERIFY(view);
    QCOMPARE(messages_->messages.back().text, std::string(TXViewModel::kCloseQuestion));
  }
};

QTEST_MAIN(LedgerWindowTest)
#include "ledger_window_test.moc"
