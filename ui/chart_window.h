#pragma once

#include <QDialog>
#include <QListWidget>
#include <QPointer>
#include <functional>
#include <optional>

#include "reports/chart_series.h"
#include "ui/report_dialog.h"

class QChart;
class QChartView;
class QComboBox;

/// The four charts of the Reports > Charts menu.
enum class TChartKind { Spending, EnvelopeBalances, IncomeSpending, NetWorth };

/// A chart in a window of its own: the choices of its report dialog (the dates with their
/// relative ranges, the envelope or account nodes, the step of the balance charts), the chart
/// drawn with its legend, and "Save as PNG...", "Save as PDF...", "Copy" and "Print". Resting
/// the pointer on a bar or a point tells its exact amount; clicking it opens the matching ledger
/// over that bar's or point's days. The figures come from the model's chart series.
class TChartWindow final : public QDialog {
  Q_OBJECT

 public:
  /// Opens the ledger of an account (`account`) or envelope node over the days given.
  using TLedgerHook =
      std::function<void(bool account, uint32_t id, TDateValue from, TDateValue to)>;

  /// Preselects `nodeId` (an envelope node or an account node by the kind; 0 the root) and
  /// draws the chart over this year.
  TChartWindow(TReportContext context, TChartKind kind, uint32_t nodeId, QWidget* parent);
  ~TChartWindow() override;

  /// Draws the chart from the choices; false (after telling the user why) when they are wrong.
  bool Redraw();
  void SaveAsPng();
  void SaveAsPdf();
  void Copy();
  void Print();
  /// Writes the chart as a PNG picture or a one-page PDF through the safe save; the message
  /// when it cannot.
  TResult<void> WritePng(const QString& path) const;
  TResult<void> WritePdf(const QString& path) const;

  void SetLedgerHook(TLedgerHook hook) { ledgerHook_ = std::move(hook); }

  const TChartSeries& Series() const { return series_; }
  QChartView* View() const { return view_; }
  TReportDates& Dates() const { return *dates_; }
  QListWidget* Nodes() const { return nodes_; }
  QComboBox* Step() const { return step_; }
  /// The text of the tooltip shown last, for what the pointer rests on.
  QString ShownTip() const { return shownTip_; }

 private:
  void Draw();
  void ShowTip(const QString& text);
  /// The row of a line's point nearest to x (a day as msecs for dated lines, an index else).
  size_t RowAt(qreal x) const;
  void OpenLedger(const TChartLine& line, size_t row);
  QImage Picture(QSize size) const;

  TReportContext context_;
  TChartKind kind_;
  TReportDates* dates_;
  QListWidget* nodes_;
  QComboBox* step_ = nullptr;
  QChartView* view_;
  TChartSeries series_;
  QString shownTip_;
  TLedgerHook ledgerHook_;
};

/// The window title of a chart kind, which is also its menu entry without the dots.
QString ChartTitle(TChartKind kind);
