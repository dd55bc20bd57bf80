// The dialogs the model drives through the desktop user port: the unique-name rule of the
// properties dialogs, the Windows-1252 boundary, the envelope choosers, "Transaction Filter"
// and "Account Transfer".
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "core/account_transfer_values.h"
#include "core/clock.h"
#include "core/model_environment.h"
#include "core/vorla_data.h"
#include "import/import_dialog_state.h"
#include "tests/ui/ui_test_support.h"
#include "transactions/account_wizard.h"
#include "transactions/xmanager.h"
#include "ui/account_transfer_dialog.h"
#include "ui/envelope_chooser_dialog.h"
#include "ui/import_options_dialog.h"
#include "ui/node_properties_dialog.h"
#include "ui/qt_user_port.h"
#include "ui/transaction_filter_dialog.h"

using namespace ui_test;

namespace {

void PressOk(QDialog* dialog) {
  dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

QRadioButton* ButtonOf(QDialog* dialog, TFilterButton button) {
  return dialog->findChild<QRadioButton*>(QStringLiteral("button%1").arg(static_cast<int>(button)));
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private:
  TFixedClock clock_{TDateValue(6, 12, 2026), 1000};

 private slots:
  void propertiesRefuseTakenAndEmptyNamesAndStayOpen() {
    TQtUserPort user(clock_);
    TMessageRecorder messages(user);
    int refusalsSeen = 0;
    WhenModal<TNodePropertiesDialog>([&](TNodePropertiesDialog* dialog) {
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("name"));
      name->setText(QStringLiteral("Savings"));
      PressOk(dialog);
      refusalsSeen += dialog->isVisible() ? 1 : 0;
      name->setText(QStringLiteral("   "));
      PressOk(dialog);
      refusalsSeen += dialog->isVisible() ? 1 : 0;
      // Blanks around a name go before the test.
      name->setText(QStringLiteral("  Bills "));
      dialog->findChild<QLineEdit*>(QStringLiteral("description"))
          ->setText(QStringLiteral("Monthly"));
      PressOk(dialog);
    });
    TGroupProperties values{"Old", ""};
    QVERIFY(user.EditAccountGroupProperties(values, {"Savings", "Checking"}));
    QCOMPARE(refusalsSeen, 2);
    QCOMPARE(values.name, std::string("Bills"));
    QCOMPARE(values.description, std::string("Monthly"));
    QCOMPARE(messages.Texts(),
             (std::vector<std::string>{
                 "Label \"Savings\" is already in use.  You must use a unique label.",
                 "You must provide a label."}));
    QCOMPARE(messages.messages[0].caption, std::string("Error"));
    QVERIFY(messages.messages[0].icon == TMessageIcon::Error);
  }

  void namesCrossAsWindows1252AndOtherCharactersAreRefused() {
    TQtUserPort user(clock_);
    TMessageRecorder messages(user);
    bool stayedOpen = false;
    WhenModal<TNodePropertiesDialog>([&](TNodePropertiesDialog* dialog) {
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("name"));
      // The dialog shows the stored name decoded.
      QCOMPARE(name->text(), QStringLiteral("Caf\u00e9"));
      name->setText(QStringLiteral("Snow \u2603"));
      PressOk(dialog);
      stayedOpen = dialog->isVisible();
      name->setText(QStringLiteral("Cr\u00e8me \u20ac"));
      PressOk(dialog);
    });
    TEnvelopeProperties values;
    values.name = "Caf\xE9";
    QVERIFY(user.EditEnvelopeProperties(values, {}));
    QVERIFY(stayedOpen);
    QCOMPARE(messages.messages.size(), size_t{1});
    QVERIFY(messages.messages[0].text.find("cannot store") != std::string::npos);
    QCOMPARE(values.name, std::string("Cr\xE8me \x80"));
  }

  void accountPropertiesReturnTypeAndEnvelope() {
    TQtUserPort user(clock_);
    WhenModal<TNodePropertiesDialog>([](TNodePropertiesDialog* dialog) {
      dialog->findChild<QComboBox*>(QStringLiteral("type"))->setCurrentIndex(4);
      auto* envelopes = dialog->findChild<QComboBox*>(QStringLiteral("defaultEnvelope"));
      QCOMPARE(envelopes->currentText(), QStringLiteral("Food"));
      envelopes->setCurrentIndex(0);
      PressOk(dialog);
    });
    TAccountProperties values{"Visa", "", 1, 9};
    QVERIFY(user.EditAccountProperties(values, {}, {{4, "Rent"}, {9, "Food"}}));
    QCOMPARE(values.type, 5u);
    QCOMPARE(values.defaultEnvelope, 4u);
  }

  void cancelLeavesTheValues() {
    TQtUserPort user(clock_);
    WhenModal<TNodePropertiesDialog>([](TNodePropertiesDialog* dialog) {
      dialog->findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("Changed"));
      dialog->reject();
    });
    TBundleProperties values{"Home", "", 12.5f};
    QVERIFY(!user.EditBundleProperties(values, {}));
    QCOMPARE(values.name, std::string("Home"));
  }

  void envelopeThresholdIsAnAmountField() {
    TQtUserPort user(clock_);
    WhenModal<TNodePropertiesDialog>([](TNodePropertiesDialog* dialog) {
      auto* threshold = dialog->findChild<QLineEdit*>(QStringLiteral("threshold"));
      QCOMPARE(threshold->text(), QStringLiteral("12.50"));
      threshold->setText(QStringLiteral("100+25.5"));
      PressOk(dialog);
    });
    TEnvelopeProperties values{"Food", "", 12.5f, true};
    QVERIFY(user.EditEnvelopeProperties(values, {}));
    QCOMPARE(values.threshold, 125.5f);
  }

  void choosersStartAtTheCurrentEnvelope() {
    TQtUserPort user(clock_);
    WhenModal<TEnvelopeChooserDialog>([](TEnvelopeChooserDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Delete Envelope"));
      auto* list = dialog->findChild<QListWidget*>(QStringLiteral("envelopes"));
      QCOMPARE(list->currentItem()->text(), QStringLiteral("Food"));
      list->setCurrentRow(2);
      PressOk(dialog);
    });
    uint32_t chosen = 9;
    QVERIFY(user.ChooseReplacementEnvelope({{4, "Rent"}, {9, "Food"}, {11, "Fun"}}, chosen));
    QCOMPARE(chosen, 11u);

    WhenModal<TEnvelopeChooserDialog>([](TEnvelopeChooserDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Choose Envelope"));
      dialog->reject();
    });
    QVERIFY(!user.ChooseEnvelope({{4, "Rent"}}, chosen));
    QCOMPARE(chosen, 11u);
  }

  void filterDialogOpensFieldsAndResetsToTheOpeningValues() {
    TQtUserPort user(clock_);
    TFilterDialogSetup setup{
        true, false, " Envelope ", "Envelope:", "Account Transfer", {{4, "Rent"}, {9, "Food"}}};
    TFilterCriteria opening = TFilterCriteria::Defaults(clock_.Today(), 4);
    opening.anyState = false;
    opening.cleared = true;
    WhenModal<TTransactionFilterDialog>([&](TTransactionFilterDialog* dialog) {
      auto* fromDate = dialog->findChild<QLineEdit*>(QStringLiteral("fromDate"));
      QVERIFY(!fromDate->isEnabled());
      ButtonOf(dialog, TFilterButton::DateRange)->click();
      QVERIFY(fromDate->isEnabled());
      QVERIFY(!ButtonOf(dialog, TFilterButton::AnyDate)->isChecked());
      ButtonOf(dialog, TFilterButton::NotCleared)->click();
      QVERIFY(!ButtonOf(dialog, TFilterButton::Cleared)->isChecked());
      dialog->findChild<QPushButton*>(QStringLiteral("reset"))->click();
      QVERIFY(!fromDate->isEnabled());
      QVERIFY(ButtonOf(dialog, TFilterButton::Cleared)->isChecked());
      QVERIFY(ButtonOf(dialog, TFilterButton::AnyDate)->isChecked());
      ButtonOf(dialog, TFilterButton::Payment)->click();
      PressOk(dialog);
    });
    TFilterCriteria criteria = opening;
    QVERIFY(user.EditTransactionFilter(criteria, setup));
    TFilterCriteria expected = opening;
    expected.anyAmount = false;
    expected.payment = true;
    QVERIFY(criteria == expected);
  }

  void filterDialogHidesViewsForReports() {
    TQtUserPort user(clock_);
    TFilterDialogSetup setup{false, true, " Account ", "Account:", "Envelope Transfer", {}};
    bool viewShown = true;
    WhenModal<TTransactionFilterDialog>([&](TTransactionFilterDialog* dialog) {
      viewShown = ButtonOf(dialog, TFilterButton::NormalView)->isVisibleTo(dialog);
      QCOMPARE(ButtonOf(dialog, TFilterButton::Transfer)->text(),
               QStringLiteral("Envelope Transfer"));
      dialog->reject();
    });
    TFilterCriteria criteria = TFilterCriteria::Defaults(clock_.Today(), 0);
    QVERIFY(!user.EditTransactionFilter(criteria, setup));
    QVERIFY(!viewShown);
  }

  void accountTransferIsCheckedBeforeItCloses() {
    TQtUserPort user(clock_);
    TMessageRecorder messages(user);
    bool stayedOpen = false;
    WhenModal<TAccountTransferDialog>([&](TAccountTransferDialog* dialog) {
      dialog->findChild<QLineEdit*>(QStringLiteral("amount"))->setText(QStringLiteral("40"));
      PressOk(dialog);
      stayedOpen = dialog->isVisible();
      dialog->findChild<QComboBox*>(QStringLiteral("toAccount"))->setCurrentIndex(1);
      PressOk(dialog);
    });
    TActXferValues values;
    values.fromAccount = 1;
    values.toAccount = 1;
    values.fromDate = clock_.Today();
    values.toDate = clock_.Today();
    QVERIFY(user.EditAccountTransfer(values, {{1, "Checking"}, {2, "Savings"}}, {}));
    QVERIFY(stayedOpen);
    QCOMPARE(messages.Texts(),
             std::vector<std::string>{"You cannot transfer to and from the same Account."});
    QCOMPARE(values.amount, 40.0);
    QCOMPARE(values.toAccount, 2u);
  }

  void messageBoxKeepsCaptionTextButtonsAndIcon() {
    TQtUserPort user(clock_);
    TMessageAnswer answer = TMessageAnswer::Ok;
    WhenModal<QMessageBox>([](QMessageBox* box) {
      QCOMPARE(box->windowTitle(), QStringLiteral("Toggle Watchdog"));
      QCOMPARE(box->text(), QStringLiteral("Are you sure you would like to toggle the watchdog?"));
      QVERIFY(box->icon() == QMessageBox::Question);
      QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box->button(QMessageBox::No)->click();
    });
    answer = user.Ask("Toggle Watchdog", "Are you sure you would like to toggle the watchdog?",
                      TMessageButtons::YesNoCancel, TMessageIcon::Question);
    QVERIFY(answer == TMessageAnswer::No);
  }

  void openFileDialogOffersTheFileTypesInTheRememberedFolder() {
    TQtUserPort user(clock_);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("May.qfx"));
    QFile(path).open(QIODevice::WriteOnly);
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Open OFX File"));
      QCOMPARE(dialog->nameFilters(),
               (QStringList{QStringLiteral("OFX File (*.ofx)"), QStringLiteral("QFX File (*.qfx)"),
                            QStringLiteral("All Files (*)")}));
      QCOMPARE(dialog->directory().absolutePath(), QDir(folder.path()).absolutePath());
      dialog->selectFile(path);
      QMetaObject::invokeMethod(dialog, "accept");
    });
    std::optional<std::string> chosen =
        user.ChooseOpenFile("Open OFX File", "OFX File|*.ofx|QFX File|*.qfx|All Files|*.*|",
                            folder.path().toStdString());
    QCOMPARE(chosen.value_or(""), path.toStdString());
  }

  void importOptionsDialogSwitchesAccountsAndEnablesTheDate() {
    TQtUserPort user(clock_);
    TMessageRecorder messages(user);
    TVorlaData document(TModelEnvironment{user, clock_});
    document.AddStarterEnvelope();
    TAccountWizard wizard(TransactionsOf(document));
    const uint32_t savings = wizard.AddAccount({"Savings", "", 2, 0, TDateValue(1, 1, 2026)})->Id();
    const uint32_t checking =
        wizard.AddAccount({"Checking", "", 1, 0, TDateValue(1, 1, 2026)})->Id();
    TImportOptions proposal = TImportOptions::Load(document, nullptr, checking);
    TImportDialogState state(document, nullptr, checking, proposal);
    TImportOptions::Load(document, nullptr, savings);
    document.Settings().SetNumber(TImportOptions::kOnlyNewer, 0, savings);

    QString chooserTitle;
    bool dateFollowsTheBox = false;
    bool refusedOnce = false;
    WhenModal<TImportXDlg>([&](TImportXDlg* dialog) {
      auto* date = dialog->findChild<QLineEdit*>(QStringLiteral("onlyNewerDate"));
      auto* onlyNewer = dialog->findChild<QCheckBox*>(QStringLiteral("onlyNewer"));
      auto* account = dialog->findChild<QLineEdit*>(QStringLiteral("account"));
      QCOMPARE(account->text(), QStringLiteral("Checking"));
      WhenModal<TEnvelopeChooserDialog>([&](TEnvelopeChooserDialog* chooser) {
        chooserTitle = chooser->windowTitle();
        auto* list = chooser->findChild<QListWidget*>();
        list->setCurrentItem(list->findItems(QStringLiteral("Savings"), Qt::MatchExactly).first());
        PressOk(chooser);
      });
      dialog->findChild<QPushButton*>(QStringLiteral("chooseAccount"))->click();
      QCOMPARE(account->text(), QStringLiteral("Savings"));
      // Savings keeps its own options: the box is off there, and the date with it.
      dateFollowsTheBox = !onlyNewer->isChecked() && !date->isEnabled();
      onlyNewer->click();
      dateFollowsTheBox = dateFollowsTheBox && date->isEnabled() && date->hasSelectedText();
      date->setText(QStringLiteral("3/4/26"));
      dialog->findChild<QRadioButton*>(QStringLiteral("importAll"))->click();
      dialog->findChild<QCheckBox*>(QStringLiteral("copyPayableTo"))->click();
      auto* code = dialog->findChild<QLineEdit*>(QStringLiteral("codePositive"));
      code->setText(QString::fromUtf8("\xE4\xB8\xAD"));
      dialog->findChild<QPushButton*>(QStringLiteral("import"))->click();
      refusedOnce = dialog->isVisible() && messages.messages.size() == 1;
      code->setText(QStringLiteral("deposit"));
      dialog->findChild<QPushButton*>(QStringLiteral("import"))->click();
    });
    QVERIFY(user.EditImportOptions(state));
    QCOMPARE(chooserTitle, QStringLiteral("Select Import Account"));
    QVERIFY(dateFollowsTheBox);
    QVERIFY(refusedOnce);
    QCOMPARE(state.Account(), savings);
    const TImportOptions& options = state.Options();
    QVERIFY(options.onlyNewer && !options.automatic && options.importAll && options.copyPayableTo);
    QVERIFY(options.onlyNewerDate == TDateValue(4, 3, 2026));
    QCOMPARE(options.codePositive, std::string("deposit"));
    QCOMPARE(options.codeNegative, std::string("debit"));
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
