#pragma once

#include <cstdint>

#include "core/date_value.h"
#include "core/result.h"
#include "reports/chart_series.h"

class TVorlaData;

/// The bars a spending chart shows by name before it gathers the rest as "Other".
inline constexpr size_t kSpendingBars = 12;

/// Spending by envelope: for the envelope, bundle, association or root `nodeId` (0 is the root),
/// the envelope activity's Expense figure of each envelope at or below it (an alias brings its
/// envelope) over `from` to `to`, largest first; envelopes that spent nothing are left out and
/// those beyond the twelfth bar are summed as "Other". One series, "Expense". Refused for an
/// unknown node and for dates out of order.
TResult<TChartSeries> SpendingByEnvelope(const TVorlaData& document, uint32_t nodeId,
                                         TDateValue from, TDateValue to);
