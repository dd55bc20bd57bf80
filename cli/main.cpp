// quenbrook-cli: the budget model without windows, for scripts and tests.
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/file_guard.h"
#include "cli/budget_check.h"
#include "cli/budget_files.h"
#include "cli/budget_generator.h"
#include "cli/chart_command.h"
#include "cli/command_words.h"
#include "cli/document_dump.h"
#include "cli/import_command.h"
#include "cli/report_command.h"
#include "cli/standard_output.h"
#include "core/clock.h"
#include "core/cp1252.h"
#include "core/save_file.h"
#include "core/unattended_user_port.h"
#include "planning/allocation_plan.h"

namespace {

constexpr int kUsageOrUnreadable = 2;

// Claims the guard the desktop program holds on the budgets it has open, so that the tool never
// writes a file under a running program (whose next save would silently undo the tool's work).
// The guard is held until the tool ends.
bool ClaimForWriting(TFileGuard& guard, const std::string& path) {
  TUnattendedUserPort ignored;
  if (guard.Claim(path, ignored))
    return true;
  PrintError(path + " is open in Quenbrook; nothing was written");
  return false;
}

int Usage() {
  std::fputs(
      "usage: quenbrook-cli dump FILE.vrl\n"
      "       quenbrook-cli resave IN.vrl OUT.vrl [--force]\n"
      "       quenbrook-cli check FILE.vrl\n"
      "       quenbrook-cli generate OUT.vrl --transactions N [--seed S]\n"
      "       quenbrook-cli import BUDGET.vrl STATEMENT --account ID [--all]\n"
      "                     [--allow-duplicate-check-numbers] [--since MM/DD/YYYY] [--envelope "
      "ID]\n"
      "                     [--force] [--dry-run]\n"
      "                     [--csv-date COL (--csv-amount COL | --csv-debit COL --csv-credit COL)\n"
      "                      --csv-payee COL [--csv-memo COL] [--csv-check COL]\n"
      "                      [--csv-date-order mdy|dmy|ymd] [--csv-decimal .|,]\n"
      "                      [--csv-header|--csv-no-header]]\n"
      "       quenbrook-cli new OUT.vrl [--income AMOUNT]... [--plan FILE]\n",
      stderr);
  std::fputs(kReportUsage, stderr);
  std::fputs(kChartUsage, stderr);
  return kUsageOrUnreadable;
}

int Dump(const std::string& path, const TModelEnvironment& environment) {
  auto document = ReadBudgetOrSay(path, environment);
  if (!document)
    return kUsageOrUnreadable;
  std::string json = DumpDocument(*document);
  json += '\n';
  return WriteStandardOutput(json) ? 0 : 1;
}

int Resave(const std::string& in, const std::string& out, bool force,
           const TModelEnvironment& environment) {
  TFileGuard guard(TFileGuard::DefaultLockFolder());
  if (!ClaimForWriting(guard, out))
    return kUsageOrUnreadable;
  TFileStamp read;
  auto document = ReadBudgetOrSay(in, environment, &read);
  if (!document)
    return kUsageOrUnreadable;
  // Writing over the file it read, it must still be that file; another OUT is the user's choice.
  std::error_code error;
  if (std::filesystem::equivalent(in, out, error) && !UnchangedSinceReadOrSay(out, read, force))
    return kUsageOrUnreadable;
  return WriteBudgetOrSay(out, *document) ? 0 : 1;
}

int Check(const std::string& path, const TModelEnvironment& environment) {
  auto document = ReadBudgetOrSay(path, environment);
  if (!document)
    return kUsageOrUnreadable;
  const TBudgetCheckResult result = CheckBudget(*document);
  std::string lines;
  for (const std::string& line : result.differences)
    lines += EscapedFileText(line) + '\n';
  if (!WriteStandardOutput(lines))
    return 1;
  return result.status;
}

// A whole decimal number, refusing signs, blanks and anything after the digits.
bool ParseCount(const std::string& text, uint64_t& value) {
  const std::optional<uint64_t> number = ParseWholeNumber(text, UINT64_MAX);
  value = number.value_or(0);
  return number.has_value();
}

int Generate(const std::vector<std::string>& args) {
  uint64_t transactions = 0;
  uint64_t seed = 1;
  bool haveCount = false;
  for (size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size())
      return Usage();
    if (args[i] == "--transactions" && ParseCount(args[i + 1], transactions)) {
      haveCount = true;
    } else if (args[i] != "--seed" || !ParseCount(args[i + 1], seed)) {
      return Usage();
    }
  }
  // A store holds at most 2^32 - 1 records; budgets beyond ten million are no test anybody runs.
  if (!haveCount || transactions > 10000000)
    return Usage();
  TFileGuard guard(TFileGuard::DefaultLockFolder());
  if (!ClaimForWriting(guard, args[1]))
    return kUsageOrUnreadable;
  const TResult<void> written = GenerateBudgetFile(args[1], transactions, seed);
  if (!written)
    PrintError(written.Error());
  return written ? 0 : 1;
}

// The new-budget wizards as a person would answer them: the given monthly incomes in the income
// dialog, and "Save and Close" in the plan editor.
class TNewBudgetPort final : public TUnattendedUserPort {
 public:
  explicit TNewBudgetPort(const std::vector<float>& incomes) : incomes_(incomes) {}
  bool EnterMonthlyIncome(std::array<float, 4>& incomes) override {
    if (incomes_.empty())
      return false;
    incomes.fill(0);
    for (size_t i = 0; i < incomes_.size() && i < incomes.size(); ++i)
      incomes[i] = incomes_[i];
    return true;
  }
  bool EditAllocationPlan(TAllocationPlan&) override { return true; }

 private:
  std::vector<float> incomes_;
};

// A monthly income: a plain decimal number of currency units, 0 or more and below the largest
// amount a budget can take.
bool ParseIncome(const std::string& text, float& income) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value) || value < 0 ||
      value >= 20000000.0) {
    return false;
  }
  income = static_cast<float>(value);
  return true;
}

int NewBudget(const std::vector<std::string>& args, const TClock& clock) {
  std::vector<float> incomes;
  std::string plan;
  bool havePlan = false;
  for (size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size())
      return Usage();
    float income = 0;
    if (args[i] == "--income") {
      if (incomes.size() == 4 || !ParseIncome(args[i + 1], income)) {
        PrintError("--income takes up to four monthly amounts such as 2500.00, not \"" +
                   args[i + 1] + "\"");
        return kUsageOrUnreadable;
      }
      incomes.push_back(income);
    } else if (args[i] == "--plan" && !havePlan && !args[i + 1].empty()) {
      havePlan = true;
      plan = args[i + 1];
    } else {
      return Usage();
    }
  }
  if (havePlan && !incomes.empty()) {
    PrintError("a new budget starts from incomes or from a plan file, not both");
    return kUsageOrUnreadable;
  }
  TFileGuard guard(TFileGuard::DefaultLockFolder());
  if (!ClaimForWriting(guard, args[1]))
    return kUsageOrUnreadable;
  TNewBudgetPort user(incomes);
  TModelEnvironment environment{user, clock};
  TVorlaData document(environment);
  TAllocationPlan(document).RunIncomeWizard(plan);
  if (!WriteBudgetOrSay(args[1], document))
    return 1;
  for (const auto& line : user.Lines())
    std::fprintf(stderr, "%s\n", MessageToUtf8(line).c_str());
  return 0;
}

int RunCommand(const std::vector<std::string>& args, const TClock& clock) {
  TUnattendedUserPort user;
  TModelEnvironment environment{user, clock};
  int status = kUsageOrUnreadable;
  if (args.size() == 2 && args[0] == "dump") {
    status = Dump(args[1], environment);
  } else if ((args.size() == 3 || (args.size() == 4 && args[3] == "--force")) &&
             args[0] == "resave") {
    status = Resave(args[1], args[2], args.size() == 4, environment);
  } else if (args.size() == 2 && args[0] == "check") {
    status = Check(args[1], environment);
  } else if (args.size() >= 4 && args[0] == "generate") {
    return Generate(args);
  } else if (args.size() >= 3 && args[0] == "import") {
    const int imported = RunImportCommand(args, clock);
    return imported == kImportBadUsage ? Usage() : imported;
  } else if (args.size() >= 3 && args[0] == "report") {
    return RunReportCommand(args, clock);
  } else if (args.size() >= 3 && args[0] == "chart") {
    return RunChartCommand(args, clock);
  } else if (args.size() >= 2 && args[0] == "new") {
    return NewBudget(args, clock);
  } else {
    return Usage();
  }
  // A refused command prints only its one reason; messages matter when the command worked.
  if (status == 0) {
    for (const auto& line : user.Lines())
      std::fprintf(stderr, "%s\n", MessageToUtf8(line).c_str());
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  TSystemClock clock;
  int status = RunCommand(std::vector<std::string>(argv + 1, argv + argc), clock);
  if (!CloseStandardOutput() && status == 0)
    status = 1;
  // A normal end clears what killed saves left beside the budgets this run worked with.
  RemoveStaleTemporariesAtExit();
  return status;
}
