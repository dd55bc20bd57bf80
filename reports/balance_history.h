#pragma once

#include <cstdint>
#include <vector>

#include "core/date_value.h"
#include "core/result.h"
#include "reports/chart_series.h"

class TVorlaData;

/// The most nodes a balance chart draws lines for.
inline constexpr size_t kMaxBalanceLines = 8;

/// Balances over time. The balance at a date is the balance now less every posting dated after
/// it, so the last point of a range that reaches past the latest transaction is today's
/// balance, and each point agrees with the running balance the ledger shows after that day.
/// Both charts walk the store once.

/// Envelope balances: one line per envelope, bundle, association or root in `nodeIds` (0 is the
/// root) at the end of each step of the range, then for each of them whose watchdog is on with a
/// threshold, a dashed line at the threshold. An association counts the envelopes its aliases
/// show, as its balance does. Refused for an unknown node, none or more than eight nodes, or bad
/// dates.
TResult<TChartSeries> EnvelopeBalances(const TVorlaData& document,
                                       const std::vector<uint32_t>& nodeIds, TDateValue from,
                                       TDateValue to, TChartStep step);

/// Account balances (net worth): one line per account, group or root in `nodeIds` (0 is every
/// account) and a last line "Total" that counts each account they cover once.
TResult<TChartSeries> AccountBalances(const TVorlaData& document,
                                      const std::vector<uint32_t>& nodeIds, TDateValue from,
                                      TDateValue to, TChartStep step);
