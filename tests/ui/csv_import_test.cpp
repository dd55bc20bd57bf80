// "Import CSV File" as a user meets it: the columns guessed from a bank's file, the preview of
// its rows, the date order changed with the keyboard until no row reads (OK goes grey) and back,
// OK clicked, the newly imported view opened; the second import of the same file asks nothing
// about columns.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <memory>

#include "app/vorla_shell.h"
#include "core/account_list.h"
#include "core/clock.h"
#include "core/vorla_data.h"
#include "import/statement_file.h"
#include "presentation/xview_list.h"
#include "presentation/xview_model.h"
#include "tests/ui/home_budget.h"
#include "tests/ui/ui_test_support.h"
#include "transactions/xitem.h"
#include "ui/csv_mapping_dialog.h"
#include "ui/envelope_chooser_dialog.h"
#include "ui/import_options_dialog.h"
#include "ui/main_frame.h"
#include "ui/vorla_app.h"
#include "ui/xview_window.h"

using namespace ui_test;

namespace {

// A European bank's export: account lines above the table, day-first dates, decimal commas,
// one row whose amount cannot be read.
const char* const kStatement =
    "Konto;DE12 3456\n\nBuchungstag;Empf\xC3\xA4nger;Betrag\n"
    "15.11.2026;B\xC3\xA4"
    "ckerei;-4,50\n20.11.2026;Arbeitgeber;1.250,00\n21.11.2026;Kaputt;1.2.3\n";

QStringList Column(QTableWidget* table, int column) {
  QStringList cells;
  for (int row = 0; row < table->rowCount(); ++row)
    cells << table->item(row, column)->text();
  return cells;
}

}  // namespace

class CsvImportTest : public QObject {
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

  // Imports the statement into Checking; `columns` works "Import CSV File" if it comes up. The
  // title of every dialog met after the account chooser, in order.
  QStringList Import(std::function<void(TCsvMappingDialog*)> columns) {
    const QString path = dir_.filePath(QStringLiteral("bank.csv"));
    std::ofstream(path.toStdString(), std::ios::binary) << kStatement;
    QStringList met;
    std::function<void(QDialog*)> next = [&](QDialog* dialog) {
      met << dialog->windowTitle();
      if (auto* options = qobject_cast<TImportXDlg*>(dialog)) {
        options->findChild<QPushButton*>(QStringLiteral("import"))->click();
        return;
      }
      WhenModal<QDialog>(next);
      columns(qobject_cast<TCsvMappingDialog*>(dialog));
    };
    WhenModal<TEnvelopeChooserDialog>([&](TEnvelopeChooserDialog* chooser) {
      auto* list = chooser->findChild<QListWidget*>();
      list->setCurrentItem(list->findItems(QStringLiteral("Checking"), Qt::MatchExactly).first());
      WhenModal<QDialog>(next);
      chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    app_->Shell().ImportStatement(TStatementKind::Csv, path.toStdString());
    return met;
  }

  // The payees the newly imported view of Checking shows.
  QStringList NewlyImported() {
    for (TXView* view : app_->Frame().findChildren<TXView*>()) {
      if (view->Model() == nullptr || view->Model()->OpenForm() != TXViewModel::kOpenNewlyImported)
        continue;
      QStringList payees;
      TXViewList& rows = view->Model()->Rows();
      for (int row = 1; row <= rows.RowCount(); ++row) {
        if (const TXItem* item = rows.TransactionAt(row);
            item != nullptr && item->Record().IsLive())
          payees << QString::fromLatin1(item->ColumnText(TXItem::kColPayableTo).c_str());
      }
      return payees;
    }
    return {QStringLiteral("no newly imported view")};
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

  void theGuessIsPreviewedAndTheSecondImportAsksNothing() {
    Start();
    bool okGreyed = false;
    const QStringList first = Import([&](TCsvMappingDialog* dialog) {
      auto* preview = dialog->findChild<QTableWidget*>(QStringLiteral("preview"));
      QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
      QCOMPARE(Column(preview, 0), QStringList({"11/15/2026", "11/20/2026", "11/21/2026"}));
      QCOMPARE(Column(preview, 1), QStringList({"-4.50", "1,250.00", "(unreadable)"}));
      QCOMPARE(Column(preview, 2), QStringList({"B\u00E4ckerei", "Arbeitgeber", "Kaputt"}));
      QVERIFY(ok->isEnabled());
      // Month first reads none of these dates: nothing to import.
      auto* order = dialog->findChild<QComboBox*>(QStringLiteral("dateOrder"));
      order->setFocus();
      QTest::keyClick(order, Qt::Key_Up);
      QCOMPARE(order->currentText(), QStringLiteral("Month/Day/Year"));
      QCOMPARE(Column(preview, 0).count(QStringLiteral("(unreadable)")), 3);
      okGreyed = !ok->isEnabled();
      QTest::keyClick(order, Qt::Key_Down);
      QVERIFY(ok->isEnabled());
      QTest::mouseClick(ok, Qt::LeftButton);
    });
    QCOMPARE(first, QStringList({"Import CSV File", "Import Transactions"}));
    QVERIFY(okGreyed);
    QCOMPARE(NewlyImported(), QStringList({"B\u00E4ckerei", "Arbeitgeber"}));
    QVERIFY(messages_->Texts().size() == 1 &&
            messages_->Texts()[0] ==
                "1 row could not be read (its date or amount) and was left out.");

    const QStringList second = Import([](TCsvMappingDialog* dialog) { dialog->reject(); });
    QCOMPARE(second, QStringList({"Import Transactions"}));
  }
};

QTEST_MAIN(CsvImportTest)
#include "csv_import_test.moc"
