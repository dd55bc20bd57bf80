#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/amount.h"
#include "core/date_value.h"
#include "reports/activity_filter.h"
#include "reports/form_data.h"
#include "reports/report_options.h"

class TVorlaData;
class TClock;

/// The envelope activity report: for one envelope node and every node below it, what came in
/// and went out over a date range and the balances before and after it, in the columns the
/// user ticked.
class TEnvelopeActivityReport final : public TFormData {
 public:
  struct TRow {
    std::string name;
    int level = 0;  ///< levels below the tree's top, for the indented names
    TEnvActivityTotals totals;
  };

  static constexpr int kRowsPerPage = 55;  ///< the heading row and 54 envelopes

  /// Reads the document now; the clock, which dates the page footers, must outlive the report.
  TEnvelopeActivityReport(const TVorlaData& document, const TClock& clock,
                          const TEnvelopeActivityOptions& options);

  const std::vector<TRow>& Rows() const { return rows_; }
  /// The value of one activity column (a single kActivity bit) for a row.
  static TAmount Value(const TEnvActivityTotals& totals, uint32_t column);

  uint32_t GetPageFormat(int) const override { return 100; }
  void GetSection(int page, int region, TCellInfo& info) const override;
  void GetCell(int page, int region, int row, int column, TCellInfo& info) const override;
  int GetPageCount() const override;
  std::string GetTitle() const override { return "Envelope Activity Report"; }

  std::string ExportText() const override;
  std::string ClipboardText() const override { return ExportText(); }
  std::string ExportTitle() const override { return "Export Envelope Activity File Name"; }

 private:
  /// The ticked column bits in the fixed column order.
  std::vector<uint32_t> columns_;
  std::vector<TRow> rows_;
  TDateValue from_;
  TDateValue to_;
  const TClock& clock_;
};
