// The chart windows as a user works them over the home budget with a few June payments: what
// each shows at first, the amount under the pointer, the ledger a click opens, and the files
// Save as PNG and Save as PDF write.
#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineSeries>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include "core/envelope_list.h"
#include "reports/balance_history.h"
#include "reports/income_spending_chart.h"
#include "reports/spending_chart.h"
#include "tests/ui/home_budget.h"
#include "transactions/editable_filter.h"
#include "transactions/xitem.h"
#include "ui/chart_window.h"
#include "ui/commands.h"
#include "ui/envelope_tree_window.h"
#include "ui/vorla_client.h"

using namespace ui_test;

class ChartWindowsTest : public QObject {
  Q_OBJECT

 private:
  TVorlaData& Document() { return *app_->Shell().Document(); }
  uint32_t EnvelopeId(const char* name) { return Document().Envelopes().EnvelopeIdOfName(name); }
  TReportContext Context() {
    return {Document(), clock_, app_->Config(), app_->Printer(), app_->User()};
  }
  // A payment from Checking typed as a ledger row is.
  void Pay(const char* date, const char* envelope, const char* amount) {
    TXRecord row{};
    row.Flags = kXAccountSide;
    row.AccountId = Document().Accounts().IdOfName("Checking");
    row.EnvelopeId = EnvelopeId(envelope);
    TXHold item(TransactionsOf(Document()).Create(row));
    item->SetColumnText(TXItem::kColDateWithYear, date);
    item->SetColumnText(TXItem::kColPayment, amount);
  }
  // Where the viewport shows a value of a series.
  static QPoint PointOf(const QChartView& view, QPointF value, QAbstractSeries* series) {
    QChart* chart = view.chart();
    return view.mapFromScene(chart->mapToScene(chart->mapToPosition(value, series)));
  }
  // The pointer comes to rest at `at` in the viewport.
  static void MovePointer(QWidget* viewport, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
  }
  // The chart window a Reports > Charts command opened among the child windows.
  TChartWindow* OpenedChart() {
    for (QMdiSubWindow* window : app_->Client().subWindowList()) {
      if (auto* chart = qobject_cast<TChartWindow*>(window->widget()))
        return chart;
    }
    return nullptr;
  }

  TFixedClock clock_{TDateValue(15, 6, 2026)};
  QTemporaryDir dir_;
  std::unique_ptr<TVorlaApp> app_;

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    QCOMPARE(WriteHomeBudget(dir_, clock_, {{"Checking", "", 1, 1250.0, TDateValue(2, 6, 2026)}}),
             std::string());
    app_ = StartOnHomeBudget(dir_, clock_);
    QVERIFY(app_ != nullptr);
    Pay("6/5/26", "Groceries", "12.5");
    Pay("6/7/26", "Dining", "40");
    Pay("3/9/26", "Groceries", "1234.56");
  }
  void cleanup() { app_.reset(); }

  void eachChartOpensOverThisYearWithItsSeries() {
    const TDateValue from(1, 1, 2026);
    const TDateValue to(31, 12, 2026);
    const uint32_t root = Document().Envelopes().Root().Id();
    struct TCase {
      TChartKind kind;
      TResult<TChartSeries> series;
      int drawn;  // series in the chart
    };
    const TCase cases[] = {
        {TChartKind::Spending, SpendingByEnvelope(Document(), root, from, to), 1},
        {TChartKind::EnvelopeBalances,
         EnvelopeBalances(Document(), {root}, from, to, TChartStep::Month), 1},
        {TChartKind::IncomeSpending, IncomeAndSpending(Document(), 0, from, to), 2},
        {TChartKind::NetWorth, AccountBalances(Document(), {0}, from, to, TChartStep::Month), 2},
    };
    for (const TCase& c : cases) {
      TChartWindow window(Context(), c.kind, 0, &app_->Frame());
      QVERIFY(c.series.Ok());
      QCOMPARE(ChartSeriesText(window.Series()), ChartSeriesText(*c.series));
      QCOMPARE(window.View()->chart()->series().size(), c.drawn);
      QCOMPARE(window.View()->chart()->title(),
               ChartTitle(c.kind) + QStringLiteral(", 01/01/26 to 12/31/26"));
    }
  }

  // The envelope list's right-button menu charts the envelope chosen there.
  void aListWindowsMenuChartsItsSelectedNode() {
    TVorlaClient& client = app_->Client();
    client.ShowEnvelopeList();
    TEnvelopeTreeWindow* list = client.EnvelopeWindow();
    QVERIFY(list != nullptr);
    client.setActiveSubWindow(list);
    QTest::keyClick(list->View(), Qt::Key_Home);
    for (int step = 0; step < 10; ++step) {
      if (list->Selection().First() != nullptr && list->Selection().First()->Name() == "Groceries")
        break;
      QTest::keyClick(list->View(), Qt::Key_Down);
    }
    auto* action =
        list->findChild<QAction*>(QStringLiteral("command%1").arg(kCmdEnvelopeBalancesChart));
    QVERIFY(action != nullptr);
    const QList<QMenu*> menus = list->findChildren<QMenu*>();
    QVERIFY(std::any_of(menus.begin(), menus.end(),
                        [action](QMenu* menu) { return menu->actions().contains(action); }));
    action->trigger();
    TChartWindow* chart = OpenedChart();
    QVERIFY(chart != nullptr);
    QStringList chosen;
    for (QListWidgetItem* item : chart->Nodes()->selectedItems())
      chosen << item->text().trimmed();
    QCOMPARE(chosen, QStringList{"Groceries"});
  }

  void thePointerOnABarTellsItsExactAmount() {
    TChartWindow window(Context(), TChartKind::Spending, 0, &app_->Frame());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* bars = qobject_cast<QAbstractBarSeries*>(window.View()->chart()->series().front());
    QVERIFY(bars != nullptr);
    // Groceries spent most, so its bar is on top: the last category of the horizontal bars.
    MovePointer(window.View()->viewport(), PointOf(*window.View(), QPointF(600, 1), bars));
    QTRY_COMPARE(window.ShownTip(), QStringLiteral("Groceries, Expense: 1,247.06"));
    MovePointer(window.View()->viewport(), PointOf(*window.View(), QPointF(20, 0), bars));
    QTRY_COMPARE(window.ShownTip(), QStringLiteral("Dining, Expense: 40.00"));
  }

  void aClickOnAPointOpensTheLedgerOfThatEnvelopeAndMonth() {
    const uint32_t groceries = EnvelopeId("Groceries");
    app_->Frame().Action(kCmdEnvelopeBalancesChart)->trigger();
    TChartWindow* window = OpenedChart();
    QVERIFY(window != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->Nodes()->clearSelection();
    for (int row = 0; row < window->Nodes()->count(); ++row) {
      if (window->Nodes()->item(row)->data(Qt::UserRole).toUInt() == groceries)
        window->Nodes()->item(row)->setSelected(true);
    }
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("drawButton")),
                      Qt::LeftButton);
    QCOMPARE(window->Series().lines.front().nodeId, groceries);
    // June's point: the balance at June's end.
    QAbstractSeries* line = window->View()->chart()->series().front();
    const QPointF june = qobject_cast<QLineSeries*>(line)->at(5);
    QTest::mouseClick(window->View()->viewport(), Qt::LeftButton, {},
                      PointOf(*window->View(), june, line));
    TXView* ledger = nullptr;
    QTRY_VERIFY((ledger = app_->Client().CurrentView()) != nullptr);
    QCOMPARE(ledger->Model()->Caption(), std::string("Envelope: Groceries"));
    const TEditableFilter& filter = *ledger->Model()->Filter();
    QVERIFY(filter.IsDateRangeActive());
    QCOMPARE(filter.GetFromDate(), TDateValue(1, 6, 2026));
    QCOMPARE(filter.GetToDate(), TDateValue(30, 6, 2026));
  }

  void saveAsPngAndPdfWriteTheChart() {
    TChartWindow window(Context(), TChartKind::IncomeSpending, 0, &app_->Frame());
    window.resize(900, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString png = dir_.filePath(QStringLiteral("chart.png"));
    const QString pdf = dir_.filePath(QStringLiteral("chart.pdf"));
    for (const QString& path : {png, pdf}) {
      WhenModal<QFileDialog>([path](QFileDialog* dialog) {
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
      });
      QTest::mouseClick(window.findChild<QPushButton*>(path == png ? QStringLiteral("pngButton")
                                                                   : QStringLiteral("pdfButton")),
                        Qt::LeftButton);
    }
    const QImage picture(png);
    QCOMPARE(picture.size(), window.View()->viewport()->size());
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QCOMPARE(
        bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "),
        1);
  }
};

QTEST_MAIN(ChartWindowsTest)
#include "chart_windows_test.moc"
