// Takes the screenshots of the manual and the README from the running program: the main window
// with an account ledger, an envelope ledger, a reconcile view and a multiple view over a budget,
// the dialogs "Import Transactions" and "Import CSV File", the income wizard, the allocation plan,
// the template editor, the six report dialogs, the preview of a report and the Edit menu naming
// the step it would undo.
//   take_screenshots BUDGET.vrl OUTPUT_FOLDER
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <map>

#include "app/command_line.h"
#include "app/vorla_shell.h"
#include "core/account_list.h"
#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/vorla_data.h"
#include "import/csv_mapping.h"
#include "import/csv_mapping_state.h"
#include "import/csv_table.h"
#include "import/import_dialog_state.h"
#include "planning/allocation_plan.h"
#include "planning/template_manager.h"
#include "reports/form_data.h"
#include "tests/ui/ui_test_support.h"
#include "transactions/xfilter.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"
#include "ui/allocation_plan_dialog.h"
#include "ui/chart_window.h"
#include "ui/csv_mapping_dialog.h"
#include "ui/form_preview_dialog.h"
#include "ui/import_options_dialog.h"
#include "ui/income_wizard_dialog.h"
#include "ui/ledger_report_dialogs.h"
#include "ui/ledger_window.h"
#include "ui/main_frame.h"
#include "ui/summary_report_dialogs.h"
#include "ui/template_editor_dialog.h"
#include "ui/vorla_app.h"
#include "ui/vorla_client.h"
#include "ui/xview_window.h"

namespace {

// The account or envelope with the most records of a kind, so that the pictures show full rows.
template <class Key>
uint32_t Busiest(const TXStore& store, Key key) {
  std::map<uint32_t, int> counts;
  for (uint32_t index = 1; index <= store.Count(); ++index) {
    const TXRecord& record = store.At(index);
    if (record.IsLive() && key(record) != 0)
      ++counts[key(record)];
  }
  uint32_t best = 0;
  int most = -1;
  for (const auto& [id, count] : counts) {
    if (count > most) {
      best = id;
      most = count;
    }
  }
  return best;
}

bool Save(QWidget& window, const QString& path) {
  QApplication::processEvents();
  const bool saved = window.grab().save(path);
  std::printf("%s %s\n", saved ? "wrote" : "could not write", path.toLocal8Bit().constData());
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: take_screenshots BUDGET.vrl OUTPUT_FOLDER\n");
    return 2;
  }
  QTemporaryDir work;
  const QString budget = work.filePath(QStringLiteral("Home.vrl"));
  if (!QFile::copy(QString::fromLocal8Bit(argv[1]), budget)) {
    std::fprintf(stderr, "cannot copy %s\n", argv[1]);
    return 2;
  }
  const QDir output(QString::fromLocal8Bit(argv[2]));
  TSystemClock clock;
  TVorlaAppSetup setup;
  setup.configPath = work.filePath(QStringLiteral("Vorla.cfg")).toStdString();
  setup.lockFolder = work.filePath(QStringLiteral("locks")).toStdString();
  TVorlaApp app(setup, clock, ParseCommandLine({"-f", budget.toStdString()}));
  app.Config().Settings().UpdateCheckDays = 0;
  app.Config().Settings().MemoWidth = 20;
  TMainFrame& frame = app.Frame();
  frame.resize(1280, 800);
  app.Show();
  if (!ui_test::SpinUntil([&] { return app.Shell().Document() != nullptr; })) {
    std::fprintf(stderr, "the budget did not open\n");
    return 2;
  }
  TVorlaData& document = *app.Shell().Document();
  auto& manager = TransactionsOf(document);
  TVorlaClient& client = app.Client();
  for (QMdiSubWindow* window : client.subWindowList())
    window->close();

  const auto account = Busiest(manager.Store(), [](const TXRecord& r) {
    return (r.Flags & kXAccountSide) != 0 && !r.IsMultipleKid() ? r.AccountId : 0u;
  });
  const auto envelope = Busiest(manager.Store(), [](const TXRecord& r) {
    return r.IsAccountTransfer() || r.IsMultiple() ? 0u : r.EnvelopeId;
  });
  const auto multiple = Busiest(
      manager.Store(), [](const TXRecord& r) { return r.IsMultipleKid() ? r.ParentId : 0u; });

  struct TShot {
    const char* file;
    std::function<TXView*()> open;
  };
  const std::vector<TShot> shots = {
      {"account-ledger.png", [&] { return client.OpenAccountLedger(account); }},
      {"envelope-ledger.png", [&] { return client.OpenEnvelopeLedger(envelope); }},
      {"reconcile-view.png",
       [&] { return client.OpenAccountLedger(account, TXViewModel::kOpenReconcile); }},
      {"multiple-view.png", [&] { return client.OpenMultiple(multiple); }},
  };
  bool ok = true;
  for (const TShot& shot : shots) {
    TXView* view = shot.open();
    if (view == nullptr) {
      std::fprintf(stderr, "could not open the view of %s\n", shot.file);
      ok = false;
      continue;
    }
    // Filling the area without maximising keeps the caption on the ledger's own title bar.
    view->setGeometry(QRect(QPoint(0, 0), client.viewport()->size()));
    view->Grid()->setFocus();
    ok = Save(frame, output.filePath(QString::fromLatin1(shot.file))) && ok;
    view->close();
  }
  {
    // A payee being typed into a new row of the busiest account: the inline completion and its
    // list, from the first letters of the payee the account used last.
    std::string payee;
    for (uint32_t index = manager.Store().LastLive(); index >= 1 && payee.empty(); --index) {
      const TXRecord& record = manager.Store().At(index);
      if (record.IsLive() && record.AccountId == account && !record.IsTransferHalf())
        payee = std::string(record.GetPayableTo().substr(0, 2));
    }
    TXView* view = client.OpenAccountLedger(account);
    if (view != nullptr && !payee.empty()) {
      view->setGeometry(QRect(QPoint(0, 0), client.viewport()->size()));
      TLedgerWindow* grid = view->Grid();
      grid->setFocus();
      auto press = [&](int key, Qt::KeyboardModifiers modifiers, const QString& text = {}) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(grid->Editor() != nullptr ? grid->Editor() : grid, &event);
        QApplication::processEvents();
      };
      press(Qt::Key_End, Qt::ControlModifier);
      press(Qt::Key_Home, Qt::NoModifier);
      for (int step = 0; grid->Logic().CurrentColumn() != TXItem::kColPayableTo && step < 20;
           ++step)
        press(Qt::Key_Tab, Qt::NoModifier);
      for (char c : payee)
        press(0, Qt::NoModifier, QString(QChar::fromLatin1(c)));
      ok = Save(frame, output.filePath(QStringLiteral("payee-completion.png"))) && ok;
      press(Qt::Key_Escape, Qt::NoModifier);
      press(Qt::Key_Escape, Qt::NoModifier);
      view->close();
    }
  }
  {
    // The options as an import proposes them for the busiest account.
    TImportOptions proposal = TImportOptions::Load(document, nullptr, account);
    proposal.onlyNewerDate = clock.Today().PreviousMonth();
    TImportDialogState state(document, nullptr, account, proposal);
    TImportXDlg dialog(state, app.User(), clock, &frame);
    dialog.show();
    ok = Save(dialog, output.filePath(QStringLiteral("import-dialog.png"))) && ok;
  }
  {
    // A US bank's export with its columns as the guess reads them.
    const TResult<TCsvTable> table = ReadCsvTable(
        "Account,Everyday Checking ...1234\n"
        "Posting Date,Description,Check Number,Debit,Credit,Balance\n"
        "03/02/2020,\"GROCERY MART #123, SPRINGFIELD\",,45.17,,\"2,954.83\"\n"
        "03/03/2020,PAYROLL DEPOSIT ACME CORP,,,\"1,250.00\",\"4,204.83\"\n"
        "03/05/2020,CHECK 1042,1042,300.00,,\"3,904.83\"\n"
        "03/06/2020,CITY WATER UTILITY,,38.40,,\"3,866.43\"\n"
        "03/09/2020,COFFEE CORNER,,4.75,,\"3,861.68\"\n"
        "03/31/2020,INTEREST PAID,,,0.42,\"3,862.10\"\n"
        "04/01/2020,PENDING CARD TRANSACTION,,12.x5,,\n");
    if (table) {
      TCsvMappingState state(*table, GuessCsvMapping(*table));
      TCsvMappingDialog dialog(state, &frame);
      dialog.show();
      ok = Save(dialog, output.filePath(QStringLiteral("csv-import-dialog.png"))) && ok;
    }
  }
  // The whole program: both lists and a ledger side by side.
  client.ShowAccountList();
  client.ShowEnvelopeList();
  TXView* ledger = client.OpenAccountLedger(account);
  // The lists stacked on the left, the ledger wide enough to read on the right.
  const QSize area = client.viewport()->size();
  const int listWidth = area.width() / 4;
  const int accountsHeight = area.height() * 2 / 5;
  client.AccountWindow()->setGeometry(0, 0, listWidth, accountsHeight);
  client.EnvelopeWindow()->setGeometry(0, accountsHeight, listWidth,
                                       area.height() - accountsHeight);
  if (ledger != nullptr)
    ledger->setGeometry(listWidth, 0, area.width() - listWidth, area.height());
  ok = Save(frame, output.filePath(QStringLiteral("main-window.png"))) && ok;

  // A memo typed into the ledger, then the Edit menu that offers to take it back.
  if (ledger != nullptr) {
    TLedgerWindow* grid = ledger->Grid();
    grid->setFocus();
    auto press = [&](int key, const QString& text = {}) {
      QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
      QApplication::sendEvent(grid->Editor() != nullptr ? grid->Editor() : grid, &event);
      QApplication::processEvents();
    };
    for (int step = 0; grid->Logic().CurrentColumn() != TXItem::kColMemo && step < 20; ++step)
      press(Qt::Key_Tab);
    for (QChar c : QStringLiteral("Birthday"))
      press(0, QString(c));
    press(Qt::Key_Return);
    QElapsedTimer waited;
    waited.start();
    ui_test::SpinUntil([&waited] { return waited.elapsed() > 100; });
    QMenu* edit = nullptr;
    for (QAction* action : frame.menuBar()->actions()) {
      if (action->text() == QStringLiteral("&Edit"))
        edit = action->menu();
    }
    if (edit != nullptr) {
      edit->popup(frame.menuBar()->mapToGlobal(
          frame.menuBar()->actionGeometry(edit->menuAction()).bottomLeft()));
      QApplication::processEvents();
      QPixmap picture = frame.grab();
      QPainter painter(&picture);
      painter.drawPixmap(frame.mapFromGlobal(edit->mapToGlobal(QPoint(0, 0))), edit->grab());
      painter.end();
      const QString path = output.filePath(QStringLiteral("edit-menu.png"));
      const bool saved = picture.save(path);
      std::printf("%s %s\n", saved ? "wrote" : "could not write", path.toLocal8Bit().constData());
      ok = saved && ok;
      edit->hide();
    }
  }

  // The new-budget wizard's income dialog, filled in.
  {
    TIncomeWizardDialog incomes(&frame);
    incomes.SetIncomes({2500.0f, 850.0f, 0.0f, 0.0f});
    incomes.show();
    ok = Save(incomes, output.filePath(QStringLiteral("income-wizard.png"))) && ok;
    incomes.reject();
  }
  // The allocation plan over the budget's envelopes with two incomes of different periods;
  // closed without saving, so the budget stays as it was.
  {
    TAllocationPlan plan(document);
    plan.Load();
    if (plan.UsedColumns() == 0) {
      plan.SetColumn(0, "Salary", kPeriodMonthly);
      plan.SetColumn(1, "Freelance work", kPeriodWeekly);
      for (size_t row = 0; row < plan.NamedRows(); ++row) {
        plan.Row(row).SetAmount(0, TAmount(static_cast<int32_t>(12500 + 4750 * (row % 7))));
        if (row % 3 == 0)
          plan.Row(row).SetAmount(1, TAmount(static_cast<int32_t>(2500 + 500 * (row % 4))));
      }
    }
    TAllocationPlanDialog dialog(plan, &app.Config(), &frame);
    dialog.resize(1100, 560);
    dialog.show();
    dialog.Ledger().setFocus();
    ok = Save(dialog, output.filePath(QStringLiteral("allocation-plan.png"))) && ok;
    dialog.reject();
    plan.Save();
  }
  // The template editor over a template that splits a pay cheque over a few envelopes.
  TXTemplate& paycheck = TemplatesOf(document).AddNew();
  paycheck.SetName("Pay cheque");
  paycheck.SetIncludeInPlan(true);
  paycheck.SetPayableTo("Employer");
  paycheck.SetMemo("Monthly salary");
  const std::vector<TItemChoice> envelopes = document.Envelopes().EnvelopeChoices();
  const int32_t amounts[] = {120000, 45000, 30000, 15000, 8000, 2500};
  for (size_t i = 0; i < std::size(amounts) && i < envelopes.size(); ++i)
    paycheck.Items().Add(envelopes[i].id, amounts[i],
                         i % 2 == 0 ? "Allocate to ~e" : "Savings for ~e");
  paycheck.Items().Add(0, -2000, "Bank fee");
  TTemplateEditorSetup editorSetup{&app.Config(), app.ViewSettings().columns, &app.User()};
  TXTemplatePropertiesDialog editor(paycheck, editorSetup, &frame);
  editor.show();
  editor.Grid().setFocus();
  ok = Save(editor, output.filePath(QStringLiteral("template-editor.png"))) && ok;
  editor.hide();

  // The report dialogs over the busiest account and envelope and the budget's first quarter,
  // then the preview of that account's ledger.
  const TReportContext reports{document, clock, app.Config(), app.Printer(), app.User()};
  const TDateValue quarterStart(1, 1, 2020);
  const TDateValue quarterEnd(31, 3, 2020);
  struct TReportShot {
    const char* file;
    std::function<std::unique_ptr<TReportDialog>()> make;
  };
  const std::vector<TReportShot> reportShots = {
      {"report-account-ledger.png",
       [&] {
         auto dialog = std::make_unique<TAccountLedgerReportDialog>(reports, account, &frame);
         dialog->Dates().SetDates(quarterStart, quarterEnd);
         return dialog;
       }},
      {"report-envelope-ledger.png",
       [&] {
         auto dialog = std::make_unique<TEnvelopeLedgerReportDialog>(reports, envelope, &frame);
         dialog->Dates().SetDates(quarterStart, quarterEnd);
         return dialog;
       }},
      {"report-account-summary.png",
       [&] { return std::make_unique<TAccountSummaryReportDialog>(reports, &frame); }},
      {"report-envelope-summary.png",
       [&] { return std::make_unique<TEnvelopeSummaryReportDialog>(reports, 0, &frame); }},
      {"report-envelope-activity.png",
       [&] {
         auto dialog = std::make_unique<TEnvelopeActivityReportDialog>(reports, 0, &frame);
         dialog->Dates().SetDates(quarterStart, quarterEnd);
         return dialog;
       }},
      {"report-allocation-plan.png",
       [&] { return std::make_unique<TAllocationPlanReportDialog>(reports, &frame); }},
  };
  for (const TReportShot& shot : reportShots) {
    std::unique_ptr<TReportDialog> dialog = shot.make();
    dialog->show();
    ok = Save(*dialog, output.filePath(QString::fromLatin1(shot.file))) && ok;
    dialog->hide();
  }
  {
    TAccountLedgerReportDialog dialog(reports, account, &frame);
    dialog.Dates().SetDates(quarterStart, quarterEnd);
    const std::unique_ptr<TFormData> report = dialog.MakeReport();
    TFormPreviewDialog preview(*report, app.Printer(), QSize(900, 860), &frame);
    preview.show();
    ok = Save(preview, output.filePath(QStringLiteral("report-preview.png"))) && ok;
    preview.hide();
  }
  // The four charts over the budget's first year: the balance charts with a few envelopes and
  // every account chosen.
  for (const auto& [file, kind] :
       {std::pair{"chart-spending.png", TChartKind::Spending},
        std::pair{"chart-envelope-balances.png", TChartKind::EnvelopeBalances},
        std::pair{"chart-income-spending.png", TChartKind::IncomeSpending},
        std::pair{"chart-net-worth.png", TChartKind::NetWorth}}) {
    TChartWindow chart(reports, kind, 0, &frame);
    chart.Dates().SetDates(TDateValue(1, 1, 2020), TDateValue(31, 12, 2020));
    if (kind == TChartKind::EnvelopeBalances || kind == TChartKind::NetWorth) {
      QListWidget& nodes = *chart.Nodes();
      nodes.clearSelection();
      for (int row = 1; row < nodes.count() && row <= 4; ++row) {
        const uint32_t id = nodes.item(row)->data(Qt::UserRole).toUInt();
        if (kind == TChartKind::EnvelopeBalances || document.Accounts().Account(id) != nullptr)
          nodes.item(row)->setSelected(true);
      }
    }
    chart.Redraw();
    chart.resize(1000, 720);
    chart.show();
    ok = Save(chart, output.filePath(QString::fromLatin1(file))) && ok;
    chart.hide();
  }
  return ok ? 0 : 1;
}
