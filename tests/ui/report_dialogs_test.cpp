// The report dialogs as a user works them over the home budget: export, clipboard, preview size,
// the advanced filter, the remembered choices and the list windows' report commands.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include "core/account_list.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "reports/form_data.h"
#include "tests/ui/home_budget.h"
#include "ui/envelope_tree_window.h"
#include "ui/form_preview_dialog.h"
#include "ui/ledger_report_dialogs.h"
#include "ui/model_text.h"
#include "ui/summary_report_dialogs.h"
#include "ui/transaction_filter_dialog.h"
#include "ui/vorla_client.h"

using namespace ui_test;

class ReportDialogsTest : public QObject {
  Q_OBJECT

 private:
  TReportContext Context() {
    return {*app_->Shell().Document(), clock_, app_->Config(), app_->Printer(), app_->User()};
  }
  uint32_t EnvelopeId(const char* name) const {
    return app_->Shell().Document()->Envelopes().EnvelopeIdOfName(name);
  }
  // Answers the next save dialog with `path`, after checking the folder and the name it
  // proposes (when given).
  static void SaveAs(const QString& path, const QString& proposed = QString(),
                     const QString& folder = QString()) {
    WhenModal<QFileDialog>([path, proposed, folder](QFileDialog* dialog) {
      if (!proposed.isEmpty()) {
        const auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name != nullptr);
        QCOMPARE(name->text(), proposed);
      }
      if (!folder.isEmpty())
        QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(folder).canonicalPath());
      dialog->selectFile(path);
      QMetaObject::invokeMethod(dialog, "accept");
    });
  }

  TFixedClock clock_{TDateValue(15, 6, 2026)};
  QTemporaryDir dir_;
  std::unique_ptr<TVorlaApp> app_;
  std::unique_ptr<TMessageRecorder> messages_;

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    QCOMPARE(WriteHomeBudget(dir_, clock_,
                             {{"Checking", "", 1, 1250.0, TDateValue(2, 6, 2026)},
                              {"Savings", "", 2, 300.0, TDateValue(3, 6, 2026)}}),
             std::string());
    app_ = StartOnHomeBudget(dir_, clock_);
    QVERIFY(app_ != nullptr);
    messages_ = std::make_unique<TMessageRecorder>(app_->User());
  }
  void cleanup() {
    messages_.reset();
    app_.reset();
  }

  void exportWritesTheReportOrSaysWhyNot() {
    const uint32_t checking = app_->Shell().Document()->Accounts().IdOfName("Checking");
    TAccountLedgerReportDialog dialog(Context(), checking, app_->Frame().window());
    QCOMPARE(ChosenId(*dialog.Items()), std::optional(checking));
    // The name proposed says which report and which dates.
    dialog.Dates().SetDates(TDateValue(1, 6, 2026), TDateValue(30, 6, 2026));
    const QString path = dir_.filePath(QStringLiteral("ledger.tab"));
    SaveAs(path, QStringLiteral("Account Ledger Report 06-01-26 to 06-30-26.tab"));
    dialog.ExportToFile();
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const std::string expected = dialog.MakeReport()->ExportText();
    QCOMPARE(written.readAll().toStdString(), expected);
    QVERIFY(expected.find("1,250.00") != std::string::npos);  // the opening deposit's row
    QVERIFY(messages_->messages.empty());
    // The next report file starts where this one went.
    QDir(dir_.path()).mkdir(QStringLiteral("elsewhere"));
    SaveAs(dir_.filePath(QStringLiteral("elsewhere/ledger.pdf")), QString(), dir_.path());
    dialog.SaveAsPdf();
    SaveAs(dir_.filePath(QStringLiteral("ledger2.tab")), QString(), dir_.filePath("elsewhere"));
    dialog.ExportToFile();

    // A folder that cannot hold the file (here: a file in its place) is reported, and nothing
    // is left under the chosen name or beside it.
    QFile blocker(dir_.filePath(QStringLiteral("blocked")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString unwritable = dir_.filePath(QStringLiteral("blocked/ledger.tab"));
    SaveAs(unwritable);
    dialog.ExportToFile();
    QCOMPARE(messages_->messages.size(), size_t{1});
    QVERIFY(messages_->messages[0].icon == TMessageIcon::Error);
    QVERIFY(messages_->messages[0].text.find("could not be exported") != std::string::npos);
    QVERIFY(!QFile::exists(unwritable));
  }

  void clipboardCarriesTheOldFormatMarker() {
    TEnvelopeLedgerReportDialog dialog(Context(), EnvelopeId("Unallocated"), nullptr);
    dialog.Dates().SetDates(TDateValue(1, 1, 2026), TDateValue(31, 12, 2026));
    for (const bool old : {true, false}) {
      dialog.OldFormat()->setChecked(old);
      dialog.CopyToClipboard();
      const QMimeData* data = QGuiApplication::clipboard()->mimeData();
      QVERIFY(data != nullptr);
      QCOMPARE(data->text(), FromModel(dialog.MakeReport()->ClipboardText()));
      QCOMPARE(data->hasFormat(QStringLiteral("VORLA ENVELOPE LEDGER")), old);
      if (old)
        QCOMPARE(data->data(QStringLiteral("VORLA ENVELOPE LEDGER")), QByteArray(10, '\0'));
    }
    // The switch is remembered for the next time.
    dialog.OldFormat()->setChecked(true);
    dialog.reject();
    QCOMPARE(app_->Config().Named().GetNumber("EnvLgr.OldFormat", 0, 0), 1);
    TEnvelopeLedgerReportDialog again(Context(), 0, nullptr);
    QVERIFY(again.OldFormat()->isChecked());
  }

  void aClipboardFailureIsToldAndTheDialogGoesOn() {
    const uint32_t checking = app_->Shell().Document()->Accounts().IdOfName("Checking");
    struct Case {
      std::unique_ptr<TReportDialog> dialog;
      const char* caption;
      const char* text;
    };
    Case cases[] = {
        {std::make_unique<TAccountLedgerReportDialog>(Context(), checking, nullptr), "Quenbrook",
         "The list of transactions is too large.  Try exporting the list to a file.  Or shorten "
         "it by changing the date range."},
        {std::make_unique<TAccountSummaryReportDialog>(Context(), nullptr), "Quenbrook",
         "The list is too long.  Try exporting it to a file."},
        {std::make_unique<TEnvelopeActivityReportDialog>(Context(), 0, nullptr), "Error",
         "Error Allocating Clipboard Space. Try exporting to a file instead."},
        {std::make_unique<TAllocationPlanReportDialog>(Context(), nullptr), "Quenbrook",
         "The list of templates is too large.\n\nTry exporting the list to a file."},
    };
    for (Case& c : cases) {
      QGuiApplication::clipboard()->clear();
      messages_->messages.clear();
      c.dialog->show();
      c.dialog->SetClipboardSink([](std::unique_ptr<QMimeData>) { throw std::bad_alloc(); });
      c.dialog->CopyToClipboard();
      QCOMPARE(messages_->messages.size(), size_t{1});
      QCOMPARE(messages_->messages[0].caption, std::string(c.caption));
      QCOMPARE(messages_->messages[0].text, std::string(c.text));
      QVERIFY(messages_->messages[0].icon == TMessageIcon::Error);
      // Nothing half-placed, the wait cursor gone, and the dialog still does its work.
      QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
      QVERIFY(QApplication::overrideCursor() == nullptr);
      QVERIFY(c.dialog->isVisible());
      c.dialog->SetClipboardSink(nullptr);
      c.dialog->CopyToClipboard();
      QCOMPARE(QGuiApplication::clipboard()->text(),
               FromModel(c.dialog->MakeReport()->ClipboardText()));
      QCOMPARE(messages_->messages.size(), size_t{1});
    }
  }

  void previewOpensAtTheStoredSizeAndKeepsTheNewOne() {
    QCOMPARE(TReportDialog::PreviewSize(app_->Config(), QSize(800, 600)), QSize(780, 520));
    QCOMPARE(TReportDialog::PreviewSize(app_->Config(), QSize(1600, 1200)), QSize(1200, 900));
    app_->Config().Named().SetNumber("Preview.Width", 900, 0);
    app_->Config().Named().SetNumber("Preview.Height", 640, 0);
    TAccountSummaryReportDialog dialog(Context(), nullptr);
    QSize opened;
    WhenModal<TFormPreviewDialog>([&](TFormPreviewDialog* preview) {
      opened = preview->size();
      preview->resize(1000, 700);
      preview->reject();
    });
    dialog.Preview();
    QCOMPARE(opened, QSize(900, 640));
    QCOMPARE(app_->Config().Named().GetNumber("Preview.Width", 0, 0), 1000);
    QCOMPARE(app_->Config().Named().GetNumber("Preview.Height", 0, 0), 700);
    QVERIFY(dialog.isEnabled());
  }

  void printGoesThroughThePrintDialog() {
    const QString pdf = dir_.filePath(QStringLiteral("printed.pdf"));
    app_->Printer().setOutputFileName(pdf);
    TAccountSummaryReportDialog dialog(Context(), nullptr);
    WhenModal<QPrintDialog>([](QPrintDialog* print) { print->reject(); });
    dialog.Print();
    QVERIFY(!QFile::exists(pdf));
    WhenModal<QPrintDialog>(
        [](QPrintDialog* print) { QMetaObject::invokeMethod(print, "accept"); });
    dialog.Print();
    QVERIFY(QFile(pdf).size() > 0);
    QVERIFY(dialog.isEnabled());
  }

  void activityColumnsStartFromTheKeysAndAreKept() {
    {
      TEnvelopeActivityReportDialog dialog(Context(), 0, nullptr);
      const bool defaults[] = {true, true, false, false, true, true, true, true};
      for (size_t i = 0; i < TEnvelopeActivityReportDialog::kColumnCount; ++i)
        QCOMPARE(dialog.Column(i)->isChecked(), defaults[i]);
      dialog.Column(0)->setChecked(false);
      dialog.Column(3)->setChecked(true);
      dialog.reject();
    }
    QCOMPARE(app_->Config().Named().GetNumber("EnvAct.ColAlloc", 1, 0), 0);
    QCOMPARE(app_->Config().Named().GetNumber("EnvAct.ColTransOut", 0, 0), 1);
    TEnvelopeActivityReportDialog again(Context(), 0, nullptr);
    QVERIFY(!again.Column(0)->isChecked());
    QVERIFY(again.Column(3)->isChecked());
  }

  void aNewBudgetsEnvelopeRootIsAChoice() {
    // Until a budget is read back from its file its envelope root has the identifier 0.
    app_->Shell().Document()->Envelopes().Root().SetId(0);
    TEnvelopeSummaryReportDialog dialog(Context(), 0, nullptr);
    QCOMPARE(ChosenId(*dialog.Items()), std::optional<uint32_t>(0));
    QVERIFY(dialog.MakeReport() != nullptr);
    QVERIFY(messages_->messages.empty());
  }

  void advancedFilterBringsItsDatesBack() {
    TAccountLedgerReportDialog dialog(Context(), 0, nullptr);
    QCOMPARE(dialog.Dates().Range()->currentText(), QStringLiteral("This Month"));
    WhenModal<TTransactionFilterDialog>([](TTransactionFilterDialog* filter) {
      filter->findChild<QLineEdit*>(QStringLiteral("fromDate"))->setText(QStringLiteral("3/1/26"));
      filter->findChild<QLineEdit*>(QStringLiteral("toDate"))->setText(QStringLiteral("3/31/26"));
      QMetaObject::invokeMethod(filter, "accept");
    });
    dialog.EditFilter();
    QCOMPARE(dialog.Dates().From()->text(), QStringLiteral("03/01/26"));
    QCOMPARE(dialog.Dates().To()->text(), QStringLiteral("03/31/26"));
    QCOMPARE(dialog.Dates().Range()->currentText(), QStringLiteral("User Defined"));
    // A range that runs backwards makes no report.
    dialog.Dates().To()->setText(QStringLiteral("02/01/26"));
    QVERIFY(dialog.MakeReport() == nullptr);
    QCOMPARE(messages_->messages.size(), size_t{1});
  }

  void listWindowCommandPreselectsItsNode() {
    app_->RunCommand(kCmdEnvelopeList);
    TEnvelopeTreeWindow* window = app_->Client().EnvelopeWindow();
    QVERIFY(window != nullptr);
    TVorlaData& document = *app_->Shell().Document();
    TTreeItem* dining = nullptr;
    for (TTreeItem* node = &document.Envelopes().Root(); node != nullptr;
         node = node->NextInDisplayOrder(true)) {
      if (node->Name() == "Dining")
        dining = node;
    }
    QVERIFY(dining != nullptr);
    window->Selection().SelectOnly(*dining);
    app_->Client().setActiveSubWindow(window);
    QString chosen;
    WhenModal<TEnvelopeSummaryReportDialog>([&](TEnvelopeSummaryReportDialog* dialog) {
      chosen = dialog->Items()->currentItem()->text().trimmed();
      dialog->reject();
    });
    window->Command(kCmdEnvelopeSummaryReport)->trigger();
    QCOMPARE(chosen, QStringLiteral("Dining"));
  }

  // With a ledger in front, a report is about its account or envelope.
  void aReportFromALedgerPreselectsItsSubject() {
    TVorlaData& document = *app_->Shell().Document();
    struct Case {
      bool account;
      const char* name;
      TCommandId command;
    };
    const Case cases[] = {{true, "Savings", kCmdAccountLedgerReport},
                          {false, "Dining", kCmdEnvelopeLedgerReport},
                          {false, "Dining", kCmdEnvelopeActivityReport}};
    for (const Case& c : cases) {
      if (c.account)
        app_->Client().OpenAccountLedger(document.Accounts().IdOfName(c.name));
      else
        app_->Client().OpenEnvelopeLedger(EnvelopeId(c.name));
      QString chosen;
      WhenModal<TReportDialog>([&chosen](TReportDialog* dialog) {
        const auto* items = dialog->findChild<QListWidget*>();
        chosen = items != nullptr && items->currentItem() != nullptr
                     ? items->currentItem()->text().trimmed()
                     : QString();
        dialog->reject();
      });
      app_->RunCommand(c.command);
      QCOMPARE(chosen, QString::fromLatin1(c.name));
    }
  }
};

QTEST_MAIN(ReportDialogsTest)
#include "report_dialogs_test.moc"
