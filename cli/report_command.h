#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/date_value.h"

class TClock;
class TVorlaData;

/// The usage lines of `quenbrook-cli report`, with what each option means.
extern const char* const kReportUsage;

/// `quenbrook-cli report KIND BUDGET.vrl [options] (--tsv | --clipboard | --pdf OUT.pdf |
/// --png PREFIX)`: one report of a budget, made as its dialog makes it, written as the export
/// text, the clipboard text, a PDF or one PNG per page. The budget is only read. `args` are the
/// words after the program name. Returns the exit status: 0 done, 1 an output that could not be
/// written, 2 (with one line on standard error and nothing written) for a budget that cannot be
/// read, an unknown account or envelope, or options that are wrong.
int RunReportCommand(const std::vector<std::string>& args, const TClock& clock);

/// The first and last date of the budget's live transactions, the dates a report or chart
/// covers when none are given; today for a budget without any.
std::pair<TDateValue, TDateValue> AllDates(const TVorlaData& document, const TClock& clock);
