#include "cli/import_command.h"

#include <cstdio>
#include <optional>

#include "app/file_guard.h"
#include "cli/budget_files.h"
#include "cli/command_words.h"
#include "cli/csv_switches.h"
#include "cli/json_writer.h"
#include "cli/standard_output.h"
#include "core/account_list.h"
#include "core/clock.h"
#include "core/cp1252.h"
#include "core/document_file.h"
#include "core/envelope_list.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "import/csv_mapping.h"
#include "import/csv_mapping_state.h"
#include "import/csv_table.h"
#include "import/import_dialog_state.h"
#include "import/import_procedure.h"
#include "import/ofx_reader.h"
#include "import/qif_reader.h"
#include "import/statement_file.h"
#include "transactions/undo_history.h"

namespace {

constexpr int kUsageOrUnreadable = 2;
constexpr size_t kReportPiece = 1 << 20;

// The statement, told apart by its content; false with a one-line reason when it cannot be read
// or holds no transaction. A CSV statement is read into `table`: its rows become records once
// the account's mapping is known.
bool ReadStatement(const std::string& path, TImportBatch& batch, std::optional<TCsvTable>& table,
                   const TClock& clock, std::string& error) {
  const TResult<std::string> bytes = ReadStatementBytes(path);
  if (!bytes) {
    error = bytes.Error();
    return false;
  }
  batch.Path = path;
  const unsigned year = clock.Today().Year();
  switch (DetectStatementKind(*bytes)) {
    case TStatementKind::Qif:
      ReadQifText(*bytes, batch, year);
      break;
    case TStatementKind::Ofx:
      ReadOfxText(*bytes, batch, year);
      break;
    case TStatementKind::Csv: {
      TResult<TCsvTable> read = ReadCsvTable(*bytes);
      if (!read) {
        error = path + ": " + read.Error();
        return false;
      }
      table = std::move(*read);
      return true;
    }
    case TStatementKind::Unknown:
      error = path + " is no QIF, OFX or CSV statement";
      return false;
  }
  if (batch.Empty()) {
    error = path + " holds no transactions";
    return false;
  }
  return true;
}

struct TImportSwitches {
  std::string budget;
  std::string statement;
  uint32_t account = 0;
  bool all = false;
  bool allowDuplicateCheckNumbers = false;
  bool force = false;
  bool dryRun = false;
  std::optional<TDateValue> since;
  std::optional<uint32_t> envelope;
  TCsvSwitches csv;
};

bool ParseId(const std::string& text, uint32_t& id) {
  const std::optional<uint64_t> number = ParseWholeNumber(text, UINT32_MAX);
  if (number.value_or(0) == 0)
    return false;
  id = static_cast<uint32_t>(*number);
  return true;
}

std::optional<TImportSwitches> ParseSwitches(const std::vector<std::string>& args) {
  if (args.size() < 3)
    return std::nullopt;
  TImportSwitches switches;
  switches.budget = args[1];
  switches.statement = args[2];
  bool haveAccount = false;
  for (size_t i = 3; i < args.size(); ++i) {
    const std::string& word = args[i];
    const bool hasValue = i + 1 < args.size();
    uint32_t id = 0;
    if (word == "--all") {
      switches.all = true;
    } else if (word == "--allow-duplicate-check-numbers") {
      switches.allowDuplicateCheckNumbers = true;
    } else if (word == "--force") {
      switches.force = true;
    } else if (word == "--dry-run") {
      switches.dryRun = true;
    } else if (word == "--account" && hasValue && ParseId(args[i + 1], id)) {
      switches.account = id;
      haveAccount = true;
      ++i;
    } else if (word == "--envelope" && hasValue && ParseId(args[i + 1], id)) {
      switches.envelope = id;
      ++i;
    } else if (word == "--since" && hasValue && (switches.since = ParseCommandDate(args[i + 1]))) {
      ++i;
    } else if (switches.csv.Take(word, hasValue ? &args[i + 1] : nullptr, i)) {
    } else {
      return std::nullopt;
    }
  }
  if (!haveAccount)
    return std::nullopt;
  return switches;
}

// Answers the two dialogs of the import as the switches say: the account chooser with the
// account, the options dialog with the overrides applied and "Import..." pressed. Messages are
// kept as lines.
class TSwitchedUserPort final : public TUnattendedUserPort {
 public:
  explicit TSwitchedUserPort(const TImportSwitches& switches) : switches_(switches) {}
  bool ChooseAccount(const std::string&, const std::vector<TItemChoice>&,
                     uint32_t& chosen) override {
    chosen = switches_.account;
    return true;
  }
  bool EditImportOptions(TImportDialogState& state) override {
    TImportOptions& options = state.Options();
    if (switches_.all)
      state.SetAutomatic(false);
    if (switches_.allowDuplicateCheckNumbers)
      options.ignoreCheckNumbers = true;
    if (switches_.since) {
      options.onlyNewer = true;
      options.onlyNewerDate = *switches_.since;
    }
    if (switches_.envelope)
      options.envelope = *switches_.envelope;
    return true;
  }

 private:
  const TImportSwitches& switches_;
};

void WriteOptions(TJsonWriter& json, const TImportOptions& options) {
  json.BeginObject()
      .Key("automatic")
      .Bool(options.automatic)
      .Key("import_all")
      .Bool(options.importAll)
      .Key("only_newer")
      .Bool(options.onlyNewer)
      .Key("only_newer_date")
      .Unsigned(options.onlyNewerDate.Packed())
      .Key("allow_duplicate_check_numbers")
      .Bool(options.ignoreCheckNumbers)
      .Key("envelope")
      .Unsigned(options.envelope)
      .Key("copy_payable_to")
      .Bool(options.copyPayableTo)
      .Key("code_positive")
      .String(Cp1252ToUtf8(options.codePositive))
      .Key("code_negative")
      .String(Cp1252ToUtf8(options.codeNegative))
      .EndObject();
}

void WriteRecord(TJsonWriter& json, const TImportBatch& batch, const TImportRecord& record,
                 const TImportFate& fate) {
  json.BeginObject()
      .Key("date")
      .Unsigned(record.Date.Packed())
      .Key("amount")
      .Number(record.Amount.Cents())
      .Key("check_number")
      .String(Cp1252ToUtf8(batch.CheckNumber(record)))
      .Key("name")
      .String(Cp1252ToUtf8(batch.Name(record)));
  switch (fate.kind) {
    case TImportFate::Kind::Dropped:
      json.Key("fate").String("dropped-by-date");
      break;
    case TImportFate::Kind::Paired:
      json.Key("fate").String("paired").Key("transaction").Unsigned(fate.transaction);
      if (fate.adjusted)
        json.Key("adjusted_from").Number(fate.enteredAmount);
      json.Key("cleared").String(fate.newlyCleared ? "newly" : "already");
      break;
    case TImportFate::Kind::Created:
      json.Key("fate").String("created").Key("transaction").Unsigned(fate.transaction);
      break;
  }
  json.EndObject();
}

}  // namespace

int RunImportCommand(const std::vector<std::string>& args, const TClock& clock) {
  const std::optional<TImportSwitches> switches = ParseSwitches(args);
  if (!switches)
    return kImportBadUsage;

  TFileGuard guard(TFileGuard::DefaultLockFolder());
  {
    TUnattendedUserPort ignored;
    if (!guard.Claim(switches->budget, ignored)) {
      PrintError(switches->budget + " is open in Quenbrook; nothing was written");
      return kUsageOrUnreadable;
    }
  }
  std::string error;
  TImportBatch batch;
  std::optional<TCsvTable> table;
  if (!ReadStatement(switches->statement, batch, table, clock, error)) {
    PrintError(error);
    return kUsageOrUnreadable;
  }

  TSwitchedUserPort user(*switches);
  const TModelEnvironment environment{user, clock};
  TFileStamp read;
  auto document = ReadBudgetOrSay(switches->budget, environment, &read);
  if (!document)
    return kUsageOrUnreadable;
  if (document->Accounts().Account(switches->account) == nullptr) {
    PrintError(switches->budget + " has no account " + std::to_string(switches->account));
    return kUsageOrUnreadable;
  }
  if (switches->envelope && document->Envelopes().Envelope(*switches->envelope) == nullptr) {
    PrintError(switches->budget + " has no envelope " + std::to_string(*switches->envelope));
    return kUsageOrUnreadable;
  }

  std::optional<TCsvMapping> mapping;
  if (table) {
    // The account's columns, unless they do not read this file (another bank's, or the bank
    // changed its layout): then the guess, as the program would show it.
    std::optional<TCsvMapping> stored = TCsvMapping::Load(document->Settings(), switches->account);
    if (stored && !TCsvMappingState(*table, *stored).CanAccept())
      stored.reset();
    mapping = switches->csv.Apply(stored.value_or(GuessCsvMapping(*table)), *table, error);
    const TCsvReadCount count = mapping ? ReadCsvRecords(*table, *mapping, batch) : TCsvReadCount{};
    if (mapping && count.read == 0)
      error = "no row of " + switches->statement + " reads as a transaction with its columns";
    if (!error.empty()) {
      PrintError(error);
      return kUsageOrUnreadable;
    }
    if (count.leftOut != 0)
      user.Tell("CSV Import", LeftOutRowsMessage(count.leftOut), TMessageIcon::Exclamation);
  }

  // A dry run does the whole import as one step and takes it back through the history, so
  // that it reports exactly what the import would do; the budget is never written.
  std::optional<TUndoHistory> history;
  if (switches->dryRun)
    history.emplace(*document);
  TImportResult result;
  {
    TUndoHistory::TStep step(history ? &*history : nullptr, "Import of " + switches->statement);
    result = ImportRecords(batch, *document, nullptr);
    // The columns are the account's from now on, so the next statement from its bank needs
    // none.
    if (mapping && result.imported) {
      mapping->Store(document->Settings(), result.account);
      document->SetModified();
    }
  }
  if (history) {
    if (history->CanUndo()) {
      if (const TResult<void> undone = history->Undo(); !undone) {
        PrintError(MessageToUtf8(undone.Error()));
        return 1;
      }
    }
  } else {
    if (!UnchangedSinceReadOrSay(switches->budget, read, switches->force))
      return kUsageOrUnreadable;
    if (!WriteBudgetOrSay(switches->budget, *document))
      return 1;
  }

  // The budget is saved by now; the one line says so, since running the import again would
  // import the statement twice. The report of a statement of millions of lines is itself
  // hundreds of megabytes: it goes out in pieces as it is made.
  const std::string failure =
      switches->budget +
      (switches->dryRun ? " was not changed, and the report of the dry run could not be written "
                          "to standard output"
                        : " was saved with the import, but its report could not be written "
                          "to standard output");
  TJsonWriter json;
  json.BeginObject().Key("account").Unsigned(result.account).Key("options");
  WriteOptions(json, result.options);
  json.Key("records").BeginArray();
  for (size_t i = 0; i < batch.Size() && i < result.fates.size(); ++i) {
    WriteRecord(json, batch, batch[i], result.fates[i]);
    if (json.Text().size() >= kReportPiece && !WriteStandardOutput(json.TakeText(), failure))
      return 1;
  }
  json.EndArray().Key("view_account").Unsigned(result.viewAccount).EndObject();
  if (!WriteStandardOutput(json.TakeText() + '\n', failure))
    return 1;
  for (const std::string& line : user.Lines())
    std::fprintf(stderr, "%s\n", MessageToUtf8(line).c_str());
  return 0;
}
