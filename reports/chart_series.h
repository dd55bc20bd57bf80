#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/date_value.h"
#include "core/result.h"

/// The points of a dated chart: the end of each day, week or month of the range. Weeks count
/// seven days from the first day of the range; the last point of every step is the range's end.
enum class TChartStep { Day, Week, Month };

/// The days one row of a chart covers; a click on it opens the ledger over these days.
struct TChartPeriod {
  TDateValue from;
  TDateValue to;

  friend bool operator==(const TChartPeriod&, const TChartPeriod&) = default;
};

/// One drawn series: a bar set or a line. Amounts are cents, summed in 64 bits.
struct TChartLine {
  std::string name;
  uint32_t nodeId = 0;  ///< the envelope, bundle, account or group; 0 for a total or difference
  std::vector<int64_t> values;  ///< one per row of the chart
  bool dashed = false;          ///< a watchdog threshold rather than a balance
  bool isAccount = false;       ///< nodeId names an account node rather than an envelope node
};

/// What a chart draws, computed from the budget in one pass over its transactions: rows (the
/// bars' categories or the dates of the points) and the series over them.
struct TChartSeries {
  std::string title;
  std::string rowHeading;             ///< "Envelope", "Date" or "Month"
  std::vector<std::string> rows;      ///< the category or date text of each row
  std::vector<TChartPeriod> periods;  ///< dated charts: the days each row covers
  std::vector<uint32_t> rowIds;       ///< spending: the envelope of each bar, 0 for "Other"
  std::vector<TChartLine> lines;
};

/// The lowest and highest value of every line, zero included: the span a value axis shows.
std::pair<int64_t, int64_t> ValueSpan(const TChartSeries& series);

/// The rows of a dated chart over `from` to `to`. Refused, with a sentence, for dates outside
/// the calendar, an end before the start, or more rows than a chart can show.
TResult<std::vector<TChartPeriod>> ChartPeriods(TDateValue from, TDateValue to, TChartStep step);

/// The most rows a dated chart draws, ten years of days.
inline constexpr size_t kMaxChartRows = 3660;

/// The series as text: a heading line (the row heading, then each series' name), then one line
/// per row, tab-separated, amounts in the reports' money text; lines end with "\n".
std::string ChartSeriesText(const TChartSeries& series);
