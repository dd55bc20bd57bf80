#include "reports/chart_series.h"

#include <algorithm>

#include "reports/report_text.h"

namespace {

TDateValue EndOfStep(TDateValue start, TChartStep step) {
  switch (step) {
    case TChartStep::Day:
      return start;
    case TChartStep::Week: {
      TDateValue end = start;
      for (int day = 0; day < 6; ++day)
        end = end.NextDay();
      return end;
    }
    case TChartStep::Month:
      break;
  }
  return TDateValue(start.DaysInMonth(), start.Month(), start.Year());
}

}  // namespace

std::pair<int64_t, int64_t> ValueSpan(const TChartSeries& series) {
  int64_t low = 0;
  int64_t high = 0;
  for (const TChartLine& line : series.lines) {
    for (const int64_t value : line.values) {
      low = std::min(low, value);
      high = std::max(high, value);
    }
  }
  return {low, high};
}

TResult<std::vector<TChartPeriod>> ChartPeriods(TDateValue from, TDateValue to, TChartStep step) {
  if (!from.IsValid() || !to.IsValid())
    return TFailure{"a chart's dates must be days of the calendar"};
  if (to < from)
    return TFailure{"the end of the range is before its start"};
  std::vector<TChartPeriod> periods;
  TDateValue start = from;
  while (true) {
    if (periods.size() == kMaxChartRows)
      return TFailure{"the range holds more than " + std::to_string(kMaxChartRows) +
                      " points; choose a longer step or a shorter range"};
    // The range's last day may be the last a date can hold, so no day after it is asked for.
    const TDateValue end = EndOfStep(start, step);
    if (!(end < to)) {
      periods.push_back({start, to});
      break;
    }
    periods.push_back({start, end});
    start = end.NextDay();
  }
  return periods;
}

std::string ChartSeriesText(const TChartSeries& series) {
  std::string text = series.rowHeading;
  for (const TChartLine& line : series.lines)
    text += "\t" + line.name;
  text += "\n";
  for (size_t row = 0; row < series.rows.size(); ++row) {
    text += series.rows[row];
    for (const TChartLine& line : series.lines)
      text += "\t" + MoneyText(line.values[row]);
    text += "\n";
  }
  return text;
}
