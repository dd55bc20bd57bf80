// Templates as a user meets them: one made in the editor's grid through the "Transaction
// Templates" dialog, its name checked on closing, and then applied to a ledger row, which
// becomes a multiple whose view opens.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/command_line.h"
#include "app/vorla_config.h"
#include "app/vorla_shell.h"
#include "core/account_list.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/envelope_list.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "planning/template_manager.h"
#include "tests/ui/home_budget.h"
#include "tests/ui/ui_test_support.h"
#include "transactions/account_wizard.h"
#include "transactions/budget_invariants.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"
#include "ui/envelope_chooser_dialog.h"
#include "ui/ledger_window.h"
#include "ui/main_frame.h"
#include "ui/name_dialogs.h"
#include "ui/template_editor_dialog.h"
#include "ui/template_list_dialog.h"
#include "ui/vorla_app.h"
#include "ui/vorla_client.h"
#include "ui/xview_window.h"

using namespace ui_test;

class TemplateWindowTest : public QObject {
  Q_OBJECT

 private:
  void Start() {
    const std::string error =
        WriteHomeBudget(dir_, clock_, {{"Checking", "", 1, 1000, TDateValue(1, 11, 2026)}});
    QVERIFY2(error.empty(), error.c_str());
    app_ = StartOnHomeBudget(dir_, clock_);
    QVERIFY(app_ != nullptr);
    messages_ = std::make_unique<TMessageRecorder>(app_->User());
  }
  TVorlaData& Document() { return *app_->Shell().Document(); }

  static QWidget* Target(TLedgerWindow* grid) {
    return grid->Editor() != nullptr ? grid->Editor() : grid;
  }
  static void Type(TLedgerWindow* grid, const QString& text) {
    for (QChar c : text)
      QTest::keyClick(Target(grid), c.toLatin1());
  }
  static void Press(TLedgerWindow* grid, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(Target(grid), key, modifiers);
  }
  static void GoToColumn(TLedgerWindow* grid, int column) {
    Press(grid, Qt::Key_Home);
    for (int steps = 0; grid->Logic().CurrentColumn() != column && steps < 8; ++steps)
      Press(grid, Qt::Key_Tab);
    QCOMPARE(grid->Logic().CurrentColumn(), column);
  }
  // One row of the template editor: label, deposit and envelope; Tab in the last column goes
  // on to the next row.
  static void TypeItem(TLedgerWindow* grid, const QString& label, const QString& deposit,
                       const QString& envelope) {
    GoToColumn(grid, TXTemplateItem::kColDescription);
    Type(grid, label);
    GoToColumn(grid, TXTemplateItem::kColDeposit);
    Type(grid, deposit);
    GoToColumn(grid, TXTemplateItem::kColEnvelope);
    Type(grid, envelope);
    Press(grid, Qt::Key_Tab);
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

  void theListShowsTemplatesByNameAToZ() {
    Start();
    for (const char* name : {"bravo", "Charlie", "Alpha"})
      TemplatesOf(Document()).AddNew().SetName(name);
    QStringList shown;
    WhenModal<TTemplateListDialog>([&shown](TTemplateListDialog* list) {
      for (int row = 0; row < list->List().count(); ++row)
        shown << list->List().item(row)->text();
      list->findChild<QPushButton*>(QStringLiteral("close"))->click();
    });
    app_->RunCommand(kCmdTemplates);
    QCOMPARE(shown, (QStringList{"Alpha", "bravo", "Charlie"}));
  }

  void aTemplateMadeInTheEditorSplitsALedgerRow() {
    Start();
    TXView* ledger = app_->Client().OpenAccountLedger(Document().Accounts().IdOfName("Checking"));
    QVERIFY(ledger != nullptr);
    bool edited = false;
    WhenModal<TTemplateListDialog>([this, &edited](TTemplateListDialog* list) {
      WhenModal<TXTemplatePropertiesDialog>([this, &edited](TXTemplatePropertiesDialog* editor) {
        QCOMPARE(editor->windowTitle(), QStringLiteral("Transaction Template: "));
        TLedgerWindow* grid = &editor->Grid();
        grid->setFocus();
        TypeItem(grid, "Rent share ~e", "30", "Rent");
        TypeItem(grid, "Dining share", "20", "Dining");
        QCOMPARE(editor->findChild<QLabel*>(QStringLiteral("total"))->text(),
                 QStringLiteral("50.00"));
        // Without a name the editor stays open and says why.
        editor->findChild<QPushButton*>(QStringLiteral("close"))->click();
        QVERIFY(editor->isVisible());
        QCOMPARE(messages_->Texts().back(), std::string("You must provide a label."));
        editor->findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral(" Pay "));
        // The close box closes it once the name is acceptable.
        editor->close();
        QVERIFY(!editor->isVisible());
        edited = true;
      });
      list->findChild<QPushButton*>(QStringLiteral("addItem"))->click();
      QCOMPARE(list->List().count(), 1);
      QCOMPARE(list->List().item(0)->text(), QStringLiteral("Pay"));
      list->findChild<QPushButton*>(QStringLiteral("close"))->click();
    });
    app_->RunCommand(kCmdTemplates);
    QVERIFY(edited);
    const TXTemplateManager& templates = TemplatesOf(Document());
    QCOMPARE(templates.Count(), size_t{1});
    QCOMPARE(templates.At(1)->Items().Count(), size_t{2});
    QVERIFY(Document().IsModified());
    // The editor's size is kept for its next opening.
    QVERIFY(app_->Config().Named().GetNumber(TXTemplatePropertiesDialog::kWidthKey, 0, 0) >= 700);

    app_->Frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&app_->Frame()));
    ledger->Grid()->setFocus();
    QVERIFY(ledger->IsCommandEnabled(kCmdApplyTemplate));
    const uint32_t row = ledger->CurrentItem()->Id();
    WhenModal<TEnvelopeChooserDialog>([](TEnvelopeChooserDialog* chooser) {
      QCOMPARE(chooser->windowTitle(), QStringLiteral("Choose Transaction Template"));
      chooser->accept();
    });
    // The ledger's key works as soon as the first template exists.
    QTest::keyClick(ledger->Grid(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    auto& manager = TransactionsOf(Document());
    const TXRecord* applied = manager.FindRecord(row);
    QVERIFY(applied != nullptr && applied->IsMultiple());
    QCOMPARE(applied->amount, 5000);
    // The multiple's view holds empty rows for new parts too; two parts are real.
    int parts = 0;
    for (uint32_t part : manager.PartIds(row))
      parts += manager.FindRecord(part)->IsLive() ? 1 : 0;
    QCOMPARE(parts, 2);
    TXView* multiple = app_->Client().CurrentView();
    QVERIFY(multiple != nullptr && multiple != ledger);
    QVERIFY(multiple->windowTitle().startsWith(QStringLiteral("Multiple: Checking")));
    QVERIFY(CheckBudgetBalances(Document()).empty());
  }
};

QTEST_MAIN(TemplateWindowTest)
#include "template_window_test.moc"
