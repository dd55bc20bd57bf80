#pragma once

#include <cstdint>

#include "core/date_value.h"
#include "core/result.h"
#include "reports/chart_series.h"

class TVorlaData;

/// Income and spending by month: for the accounts at or below `accountNodeId` (0 is every
/// account), the deposits ("Income") and the payments ("Spending", as positive sizes) of each
/// month of the range, and "Difference", income less spending. A multiple counts once by the
/// sign of its total; transfers between accounts are left out, since they move money without
/// earning or spending it. One walk over the store.
TResult<TChartSeries> IncomeAndSpending(const TVorlaData& document, uint32_t accountNodeId,
                                        TDateValue from, TDateValue to);
