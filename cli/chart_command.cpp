#include "cli/chart_command.h"

#include <QSize>
#include <memory>
#include <optional>

#include "cli/budget_files.h"
#include "cli/command_words.h"
#include "cli/painting_application.h"
#include "cli/report_command.h"
#include "cli/standard_output.h"
#include "core/account_list.h"
#include "core/clock.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "platform/chart_painter.h"
#include "reports/balance_history.h"
#include "reports/income_spending_chart.h"
#include "reports/report_text.h"
#include "reports/spending_chart.h"

const char* const kChartUsage =
    "       quenbrook-cli chart KIND BUDGET.vrl [--envelope ID]... [--account ID]...\n"
    "                     [--from MM/DD/YYYY --to MM/DD/YYYY | --range RANGE]\n"
    "                     [--step day|week|month]\n"
    "                     (--tsv | --png OUT.png | --pdf OUT.pdf | --svg OUT.svg) [--size WxH]\n"
    "         KIND: spending, envelope-balances, income-spending or net-worth\n"
    "         --envelope ID  spending: the envelope, bundle or association (default: the root);\n"
    "                        envelope-balances: up to 8, one line each (default: the root)\n"
    "         --account ID   income-spending: the account or group (default: every account);\n"
    "                        net-worth: up to 8, one line each and their total (default: every\n"
    "                        account when there are at most 8, else all accounts as one)\n"
    "         --from, --to   the range (default: from the earliest to the latest transaction)\n"
    "         --range RANGE  instead of the dates: this-month, this-quarter, this-year,\n"
    "                        last-month, last-quarter or last-year, counted from today\n"
    "         --step STEP    the balance charts' points: the end of each day, week (seven days\n"
    "                        from the start) or month (default)\n"
    "         --tsv          the chart's series on standard output, tab-separated\n"
    "         --png, --pdf, --svg FILE  the chart drawn as a PNG picture, a one-page PDF or an\n"
    "                        SVG drawing\n"
    "         --size WxH     the drawing's width and height in pixels, each 100 to 5000\n"
    "                        (default 1000x600; a PDF page takes 96 pixels to the inch)\n";

namespace {

constexpr int kWritten = 0;
constexpr int kNotWritten = 1;
constexpr int kRefused = 2;
constexpr QSize kDefaultSize(1000, 600);

enum class TKind { Spending, EnvelopeBalances, IncomeSpending, NetWorth };

struct TKindName {
  const char* name;
  TKind kind;
  TChartShape shape;
};
constexpr TKindName kKinds[] = {
    {"spending", TKind::Spending, TChartShape::RankedBars},
    {"envelope-balances", TKind::EnvelopeBalances, TChartShape::DatedLines},
    {"income-spending", TKind::IncomeSpending, TChartShape::MonthBars},
    {"net-worth", TKind::NetWorth, TChartShape::DatedLines},
};

enum class TOutput { None, Tsv, Png, Pdf, Svg };

struct TOutputWord {
  const char* word;
  TOutput output;
};
constexpr TOutputWord kOutputs[] = {
    {"--tsv", TOutput::Tsv},
    {"--png", TOutput::Png},
    {"--pdf", TOutput::Pdf},
    {"--svg", TOutput::Svg},
};

struct TRequest {
  TKind kind = TKind::Spending;
  TChartShape shape = TChartShape::RankedBars;
  std::vector<uint32_t> envelopes;
  std::vector<uint32_t> accounts;
  std::optional<TDateValue> from;
  std::optional<TDateValue> to;
  std::optional<DateRangeKind> range;
  std::optional<TChartStep> step;
  TOutput output = TOutput::None;
  std::string target;  ///< the picture's file
  std::optional<QSize> size;
};

int Refuse(const std::string& reason) {
  PrintError(reason);
  return kRefused;
}

// "WIDTHxHEIGHT", each side within what a chart picture may have.
std::optional<QSize> ParseSize(const std::string& text) {
  const size_t cross = text.find('x');
  if (cross == std::string::npos)
    return std::nullopt;
  const auto width = ParseWholeNumber(text.substr(0, cross), kMaxChartSide);
  const auto height = ParseWholeNumber(text.substr(cross + 1), kMaxChartSide);
  if (!width || !height || *width < kMinChartSide || *height < kMinChartSide)
    return std::nullopt;
  return QSize(static_cast<int>(*width), static_cast<int>(*height));
}

// Reads the words after KIND and BUDGET; an empty text when they make a request, else why not.
std::string ParseOptions(const std::vector<std::string>& args, TRequest& request) {
  for (size_t i = 3; i < args.size(); ++i) {
    const std::string& word = args[i];
    const TOutputWord* output = nullptr;
    for (const TOutputWord& candidate : kOutputs) {
      if (word == candidate.word)
        output = &candidate;
    }
    if (output != nullptr && request.output != TOutput::None)
      return "give one output of --tsv, --png, --pdf and --svg";
    if (output != nullptr && output->output == TOutput::Tsv) {
      request.output = TOutput::Tsv;
      continue;
    }
    if (output == nullptr && word != "--envelope" && word != "--account" && word != "--from" &&
        word != "--to" && word != "--range" && word != "--step" && word != "--size")
      return "unknown option " + word;
    if (i + 1 == args.size())
      return word + " needs a value";
    const std::string& value = args[++i];
    if (output != nullptr) {
      request.output = output->output;
      request.target = value;
    } else if (word == "--size") {
      request.size = ParseSize(value);
      if (!request.size) {
        return "--size takes WIDTHxHEIGHT in pixels, each from " + std::to_string(kMinChartSide) +
               " to " + std::to_string(kMaxChartSide) + ", not \"" + value + "\"";
      }
    } else if (word == "--envelope" || word == "--account") {
      const std::optional<uint64_t> id = ParseWholeNumber(value, 0xFFFFFFFF);
      if (!id)
        return word + " takes an identifier, not \"" + value + "\"";
      (word == "--envelope" ? request.envelopes : request.accounts)
          .push_back(static_cast<uint32_t>(*id));
    } else if (word == "--from" || word == "--to") {
      const std::optional<TDateValue> date = ParseCommandDate(value);
      if (!date)
        return word + " takes a date as MM/DD/YYYY, not \"" + value + "\"";
      (word == "--from" ? request.from : request.to) = date;
    } else if (word == "--range") {
      request.range = ParseRangeWord(value);
      if (!request.range)
        return "--range takes " + std::string(kRangeWords) + ", not \"" + value + "\"";
    } else {
      request.step = value == "day"     ? std::optional(TChartStep::Day)
                     : value == "week"  ? std::optional(TChartStep::Week)
                     : value == "month" ? std::optional(TChartStep::Month)
                                        : std::nullopt;
      if (!request.step)
        return "--step takes day, week or month, not \"" + value + "\"";
    }
  }
  if (request.output == TOutput::None)
    return "choose an output: --tsv, --png, --pdf or --svg";
  if (request.size && request.output == TOutput::Tsv)
    return "--size belongs to --png, --pdf and --svg";
  if (request.from.has_value() != request.to.has_value())
    return "--from and --to go together";
  if (request.range && request.from)
    return "give either --from and --to or --range, not both";

  // Each option belongs to the charts whose window offers it.
  const TKind kind = request.kind;
  const bool onEnvelopes = kind == TKind::Spending || kind == TKind::EnvelopeBalances;
  if (!request.envelopes.empty() && !onEnvelopes)
    return "--envelope belongs to spending and envelope-balances";
  if (!request.accounts.empty() && onEnvelopes)
    return "--account belongs to income-spending and net-worth";
  if (kind == TKind::Spending && request.envelopes.size() > 1)
    return "spending takes one --envelope";
  if (kind == TKind::IncomeSpending && request.accounts.size() > 1)
    return "income-spending takes one --account";
  if (request.step && (kind == TKind::Spending || kind == TKind::IncomeSpending))
    return "--step belongs to envelope-balances and net-worth";
  return {};
}

// Every account when they fit the chart's lines, else the root, which holds them all.
std::vector<uint32_t> DefaultAccounts(const TVorlaData& document) {
  std::vector<uint32_t> ids;
  for (const TItemChoice& choice : document.Accounts().AccountChoices())
    ids.push_back(choice.id);
  if (ids.empty() || ids.size() > kMaxBalanceLines)
    return {0};
  return ids;
}

// The dates asked for: given, a relative range, or the budget's whole span.
std::pair<TDateValue, TDateValue> ChartDates(const TRequest& request, const TVorlaData& document,
                                             const TClock& clock) {
  if (request.range) {
    const std::optional<TDateRange> range = DateRangeFor(*request.range, clock.Today());
    return {range->from, range->to};
  }
  return request.from ? std::make_pair(*request.from, *request.to) : AllDates(document, clock);
}

TResult<TChartSeries> MakeSeries(const TRequest& request, const TVorlaData& document,
                                 TDateValue from, TDateValue to) {
  const TChartStep step = request.step.value_or(TChartStep::Month);
  const std::vector<uint32_t> envelopes =
      request.envelopes.empty() ? std::vector<uint32_t>{0} : request.envelopes;
  switch (request.kind) {
    case TKind::Spending:
      return SpendingByEnvelope(document, envelopes.front(), from, to);
    case TKind::EnvelopeBalances:
      return EnvelopeBalances(document, envelopes, from, to, step);
    case TKind::IncomeSpending:
      return IncomeAndSpending(document, request.accounts.empty() ? 0 : request.accounts.front(),
                               from, to);
    case TKind::NetWorth:
      break;
  }
  return AccountBalances(document,
                         request.accounts.empty() ? DefaultAccounts(document) : request.accounts,
                         from, to, step);
}

}  // namespace

int RunChartCommand(const std::vector<std::string>& args, const TClock& clock) {
  if (args.size() < 3)
    return Refuse("chart needs a kind and a budget file");
  TRequest request;
  bool known = false;
  for (const TKindName& kind : kKinds) {
    if (args[1] == kind.name) {
      request.kind = kind.kind;
      request.shape = kind.shape;
      known = true;
    }
  }
  if (!known) {
    return Refuse("unknown chart \"" + args[1] +
                  "\"; the charts are spending, envelope-balances, income-spending and "
                  "net-worth");
  }
  if (const std::string problem = ParseOptions(args, request); !problem.empty())
    return Refuse(problem);

  TUnattendedUserPort quiet;
  TModelEnvironment environment{quiet, clock};
  std::unique_ptr<TVorlaData> document = ReadBudgetOrSay(args[2], environment);
  if (!document)
    return kRefused;
  const auto [from, to] = ChartDates(request, *document, clock);
  const TResult<TChartSeries> series = MakeSeries(request, *document, from, to);
  if (!series)
    return Refuse(series.Error());
  if (request.output == TOutput::Tsv)
    return WriteStandardOutput(ChartSeriesText(*series)) ? kWritten : kNotWritten;

  const TPaintingApplication painting;
  const TChartFile form = request.output == TOutput::Png   ? TChartFile::Png
                          : request.output == TOutput::Pdf ? TChartFile::Pdf
                                                           : TChartFile::Svg;
  const std::string title = series->title + ", " + ShortDateText(from) + " to " + ShortDateText(to);
  const TResult<void> written = WriteChartFile(*series, request.shape, title, form, request.target,
                                               request.size.value_or(kDefaultSize));
  if (!written) {
    PrintError(written.Error());
    return kNotWritten;
  }
  return kWritten;
}
