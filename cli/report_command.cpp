#include "cli/report_command.h"

#include <memory>
#include <optional>

#include "cli/budget_files.h"
#include "cli/command_words.h"
#include "cli/painting_application.h"
#include "cli/standard_output.h"
#include "core/account_list.h"
#include "core/account_node.h"
#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "planning/date_range.h"
#include "planning/period.h"
#include "platform/page_player.h"
#include "reports/account_ledger_report.h"
#include "reports/account_summary_report.h"
#include "reports/allocation_plan_report.h"
#include "reports/envelope_activity_report.h"
#include "reports/envelope_ledger_report.h"
#include "reports/envelope_summary_report.h"
#include "reports/report_options.h"
#include "transactions/xmanager.h"

const char* const kReportUsage =
    "       quenbrook-cli report KIND BUDGET.vrl [--account ID | --envelope ID]\n"
    "                     [--from MM/DD/YYYY --to MM/DD/YYYY | --range RANGE] [--period PERIOD]\n"
    "                     [--size N] [--columns LIST] [--old-format]\n"
    "                     (--tsv | --clipboard | --pdf OUT.pdf | --png PREFIX)\n"
    "         KIND: account-ledger, envelope-ledger, account-summary, envelope-summary,\n"
    "               envelope-activity or allocation-plan\n"
    "         --account ID   the account of account-ledger (default: the first account)\n"
    "         --envelope ID  the envelope, bundle or root of envelope-ledger, envelope-summary\n"
    "                        and envelope-activity (default: the root, the whole tree)\n"
    "         --from, --to   the dates of the ledgers and the activity (default: from the\n"
    "                        earliest to the latest transaction)\n"
    "         --range RANGE  instead of the dates: this-month, this-quarter, this-year,\n"
    "                        last-month, last-quarter or last-year, counted from today\n"
    "         --period P     allocation-plan: weekly, biweekly, semimonthly, monthly (default),\n"
    "                        bimonthly, quarterly, semiannual, annual, or its number 1 to 8\n"
    "         --size N       envelope-summary: 1 Standard (default), 2 Business Cards,\n"
    "                        3 Business Cards (Avery), 4 Organizer 3.75 x 6.75,\n"
    "                        5 Organizer 4.25 x 6.75, 6 Organizer 5.50 x 8.50\n"
    "         --columns LIST envelope-activity: comma-separated from alloc, expense, x-in, x-out,\n"
    "                        all-in, all-out, start, end (default: all but x-in and x-out)\n"
    "         --old-format   envelope-ledger: the older clipboard form\n"
    "         --tsv          the export file's bytes on standard output\n"
    "         --clipboard    the clipboard text on standard output\n"
    "         --pdf OUT.pdf  the printed pages as one PDF\n"
    "         --png PREFIX   the printed pages as PREFIX-1.png, PREFIX-2.png, ... (listed)\n";

namespace {

constexpr int kWritten = 0;
constexpr int kNotWritten = 1;
constexpr int kRefused = 2;
constexpr int kPngDotsPerInch = 110;

enum class TKind {
  AccountLedger,
  EnvelopeLedger,
  AccountSummary,
  EnvelopeSummary,
  EnvelopeActivity,
  AllocationPlan,
};

struct TKindName {
  const char* name;
  TKind kind;
};
constexpr TKindName kKinds[] = {
    {"account-ledger", TKind::AccountLedger},       {"envelope-ledger", TKind::EnvelopeLedger},
    {"account-summary", TKind::AccountSummary},     {"envelope-summary", TKind::EnvelopeSummary},
    {"envelope-activity", TKind::EnvelopeActivity}, {"allocation-plan", TKind::AllocationPlan},
};

struct TNamedValue {
  const char* name;
  uint32_t value;
};
constexpr TNamedValue kColumns[] = {
    {"alloc", kActivityAlloc},    {"expense", kActivityExpense}, {"x-in", kActivityTransIn},
    {"x-out", kActivityTransOut}, {"all-in", kActivityAllIn},    {"all-out", kActivityAllOut},
    {"start", kActivityStart},    {"end", kActivityEnd},
};

enum class TOutput { None, Tsv, Clipboard, Pdf, Png };

struct TRequest {
  TKind kind = TKind::AccountLedger;
  std::string budget;
  std::optional<uint32_t> account;
  std::optional<uint32_t> envelope;
  std::optional<TDateValue> from;
  std::optional<TDateValue> to;
  std::optional<DateRangeKind> range;
  std::optional<uint32_t> period;
  std::optional<uint32_t> size;
  std::optional<uint32_t> columns;
  bool oldFormat = false;
  TOutput output = TOutput::None;
  std::string target;
};

int Refuse(const std::string& reason) {
  PrintError(reason);
  return kRefused;
}

std::optional<uint32_t> ParseNumber(const std::string& text, uint32_t most) {
  const std::optional<uint64_t> number = ParseWholeNumber(text, most);
  if (!number)
    return std::nullopt;
  return static_cast<uint32_t>(*number);
}

std::optional<uint32_t> ParseColumns(const std::string& text) {
  uint32_t columns = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos)
      end = text.size();
    const std::string name = text.substr(start, end - start);
    bool known = false;
    for (const TNamedValue& column : kColumns) {
      if (name == column.name) {
        columns |= column.value;
        known = true;
      }
    }
    if (!known)
      return std::nullopt;
    start = end + 1;
  }
  return columns;
}

// Reads the words after KIND and BUDGET; an empty text when they make a request, else why not.
std::string ParseOptions(const std::vector<std::string>& args, TRequest& request) {
  for (size_t i = 3; i < args.size(); ++i) {
    const std::string& word = args[i];
    const bool hasValue = i + 1 < args.size();
    const std::string value = hasValue ? args[i + 1] : std::string();
    auto output = [&](TOutput kind, bool takesTarget) -> std::string {
      if (request.output != TOutput::None)
        return "choose one output: --tsv, --clipboard, --pdf or --png";
      if (takesTarget && (!hasValue || value.empty()))
        return word + " needs a file name";
      request.output = kind;
      if (takesTarget) {
        request.target = value;
        ++i;
      }
      return {};
    };
    std::string problem;
    if (word == "--tsv") {
      problem = output(TOutput::Tsv, false);
    } else if (word == "--clipboard") {
      problem = output(TOutput::Clipboard, false);
    } else if (word == "--pdf") {
      problem = output(TOutput::Pdf, true);
    } else if (word == "--png") {
      problem = output(TOutput::Png, true);
    } else if (word == "--old-format") {
      request.oldFormat = true;
    } else if (!hasValue) {
      return word == "--account" || word == "--envelope" || word == "--from" || word == "--to" ||
                     word == "--range" || word == "--period" || word == "--size" ||
                     word == "--columns"
                 ? word + " needs a value"
                 : "unknown option " + word;
    } else {
      ++i;
      if (word == "--account") {
        request.account = ParseNumber(value, 0xFFFFFFFF);
        if (!request.account)
          return "--account takes an account's identifier, not \"" + value + "\"";
      } else if (word == "--envelope") {
        request.envelope = ParseNumber(value, 0xFFFFFFFF);
        if (!request.envelope)
          return "--envelope takes an envelope's identifier, not \"" + value + "\"";
      } else if (word == "--from" || word == "--to") {
        const std::optional<TDateValue> date = ParseCommandDate(value);
        if (!date)
          return word + " takes a date as MM/DD/YYYY, not \"" + value + "\"";
        (word == "--from" ? request.from : request.to) = date;
      } else if (word == "--range") {
        request.range = ParseRangeWord(value);
        if (!request.range)
          return "--range takes " + std::string(kRangeWords) + ", not \"" + value + "\"";
      } else if (word == "--period") {
        uint32_t code = ParseNumber(value, 8).value_or(TPeriod::PeriodCodeFromName(value));
        if (code == kPeriodNone)
          return "--period takes a period such as monthly or its number 1 to 8, not \"" + value +
                 "\"";
        request.period = code;
      } else if (word == "--size") {
        request.size = ParseNumber(value, 6);
        if (!request.size || *request.size == 0)
          return "--size takes a number from 1 to 6, not \"" + value + "\"";
      } else if (word == "--columns") {
        request.columns = ParseColumns(value);
        if (!request.columns)
          return "--columns takes names from alloc, expense, x-in, x-out, all-in, all-out, "
                 "start, end, not \"" +
                 value + "\"";
      } else {
        return "unknown option " + word;
      }
    }
    if (!problem.empty())
      return problem;
  }
  if (request.output == TOutput::None)
    return "choose an output: --tsv, --clipboard, --pdf OUT.pdf or --png PREFIX";
  if (request.from.has_value() != request.to.has_value())
    return "--from and --to go together";
  if (request.range && request.from)
    return "give either --from and --to or --range, not both";
  if (request.from && *request.to < *request.from)
    return "the --to date is before the --from date";

  // Each option belongs to the reports whose dialog offers it.
  const TKind kind = request.kind;
  const bool dated = kind == TKind::AccountLedger || kind == TKind::EnvelopeLedger ||
                     kind == TKind::EnvelopeActivity;
  const bool onEnvelope = kind == TKind::EnvelopeLedger || kind == TKind::EnvelopeSummary ||
                          kind == TKind::EnvelopeActivity;
  if (request.account && kind != TKind::AccountLedger)
    return "--account belongs to account-ledger";
  if (request.envelope && !onEnvelope)
    return "--envelope belongs to envelope-ledger, envelope-summary and envelope-activity";
  if ((request.from || request.range) && !dated)
    return "dates belong to account-ledger, envelope-ledger and envelope-activity";
  if (request.period && kind != TKind::AllocationPlan)
    return "--period belongs to allocation-plan";
  if (request.size && kind != TKind::EnvelopeSummary)
    return "--size belongs to envelope-summary";
  if (request.columns && kind != TKind::EnvelopeActivity)
    return "--columns belongs to envelope-activity";
  if (request.oldFormat && kind != TKind::EnvelopeLedger)
    return "--old-format belongs to envelope-ledger";
  return {};
}

}  // namespace

std::pair<TDateValue, TDateValue> AllDates(const TVorlaData& document, const TClock& clock) {
  std::optional<TDateValue> first;
  std::optional<TDateValue> last;
  if (const auto* manager = dynamic_cast<const TXManager*>(document.Transactions())) {
    const TXStore& store = manager->Store();
    for (uint32_t index = 1; index <= store.Count(); ++index) {
      const TXRecord& record = store.At(index);
      if (!record.IsLive() || !record.date.IsValid())
        continue;
      if (!first || record.date < *first)
        first = record.date;
      if (!last || *last < record.date)
        last = record.date;
    }
  }
  if (!first)
    return {clock.Today(), clock.Today()};
  return {*first, *last};
}

namespace {

// The report the request asks for; null with `problem` set when it names what the budget lacks.
std::unique_ptr<TFormData> MakeReport(const TRequest& request, TVorlaData& document,
                                      const TClock& clock, std::string& problem) {
  auto [from, to] =
      request.from ? std::make_pair(*request.from, *request.to) : AllDates(document, clock);
  if (request.range) {
    const std::optional<TDateRange> range = DateRangeFor(*request.range, clock.Today());
    from = range->from;
    to = range->to;
  }
  uint32_t accountId = request.account.value_or(0);
  if (request.kind == TKind::AccountLedger) {
    const TAccount* chosen = nullptr;
    if (request.account) {
      chosen = document.Accounts().Account(accountId);
    } else {
      // The first account in the order the account list shows them.
      for (const TTreeItem* node = document.Accounts().RootItem(); node != nullptr && !chosen;
           node = node->NextInDisplayOrder(true))
        chosen = dynamic_cast<const TAccount*>(node);
    }
    if (chosen == nullptr) {
      problem = request.account ? "the budget has no account " + std::to_string(accountId)
                                : "the budget has no account";
      return nullptr;
    }
    accountId = chosen->Id();
  }
  const TEnvelopeList& envelopes = document.Envelopes();
  const uint32_t envelopeId = request.envelope.value_or(envelopes.Root().Id());
  // The reports take the root, a bundle or an envelope; an association only repeats envelopes.
  const TEnvelopeNode* node = envelopes.FindNode(envelopeId);
  if (node != &envelopes.Root() && dynamic_cast<const TBundle*>(node) == nullptr &&
      envelopes.Envelope(envelopeId) == nullptr) {
    problem = "the budget has no envelope or bundle " + std::to_string(envelopeId);
    return nullptr;
  }

  switch (request.kind) {
    case TKind::AccountLedger:
      return std::make_unique<TAccountLedgerReport>(
          document, clock, TLedgerReportOptions{accountId, from, to, nullptr, false});
    case TKind::EnvelopeLedger:
      return std::make_unique<TEnvelopeLedgerReport>(
          document, clock, TLedgerReportOptions{envelopeId, from, to, nullptr, request.oldFormat});
    case TKind::AccountSummary:
      return std::make_unique<TAccountSummaryReport>(document, clock);
    case TKind::EnvelopeSummary:
      return std::make_unique<TEnvelopeSummaryReport>(
          document, clock,
          TEnvelopeSummaryOptions{envelopeId,
                                  static_cast<TEnvelopeSummarySize>(request.size.value_or(1))});
    case TKind::EnvelopeActivity:
      return std::make_unique<TEnvelopeActivityReport>(
          document, clock,
          TEnvelopeActivityOptions{envelopeId, from, to,
                                   request.columns.value_or(kActivityDefaultColumns)});
    case TKind::AllocationPlan:
      break;
  }
  return std::make_unique<TAllocationPlanReport>(
      document, clock, TAllocationPlanReportOptions{request.period.value_or(kPeriodMonthly)});
}

int WritePages(const TRequest& request, const TFormData& report) {
  const TPaintingApplication painting;
  if (request.output == TOutput::Pdf) {
    const TResult<void> written = WriteReportPdf(report, request.target);
    if (!written) {
      PrintError(written.Error());
      return kNotWritten;
    }
    return kWritten;
  }
  const TResult<std::vector<std::string>> written =
      WriteReportPngs(report, request.target, kPngDotsPerInch);
  if (!written) {
    PrintError(written.Error());
    return kNotWritten;
  }
  std::string list;
  for (const std::string& path : *written)
    list += path + '\n';
  return WriteStandardOutput(list) ? kWritten : kNotWritten;
}

}  // namespace

int RunReportCommand(const std::vector<std::string>& args, const TClock& clock) {
  if (args.size() < 3)
    return Refuse("report needs a kind and a budget file");
  TRequest request;
  bool known = false;
  for (const TKindName& kind : kKinds) {
    if (args[1] == kind.name) {
      request.kind = kind.kind;
      known = true;
    }
  }
  if (!known) {
    return Refuse("unknown report \"" + args[1] +
                  "\"; the reports are account-ledger, envelope-ledger, account-summary, "
                  "envelope-summary, envelope-activity and allocation-plan");
  }
  request.budget = args[2];
  if (const std::string problem = ParseOptions(args, request); !problem.empty())
    return Refuse(problem);

  TUnattendedUserPort quiet;
  TModelEnvironment environment{quiet, clock};
  std::unique_ptr<TVorlaData> document = ReadBudgetOrSay(request.budget, environment);
  if (!document)
    return kRefused;
  std::string problem;
  std::unique_ptr<TFormData> report = MakeReport(request, *document, clock, problem);
  if (!report)
    return Refuse(problem);
  switch (request.output) {
    case TOutput::Tsv:
      return WriteStandardOutput(report->ExportText()) ? kWritten : kNotWritten;
    case TOutput::Clipboard:
      return WriteStandardOutput(report->ClipboardText()) ? kWritten : kNotWritten;
    default:
      return WritePages(request, *report);
  }
}
