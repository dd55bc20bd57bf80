#include "app/vorla_shell.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/backup_rotation.h"
#include "app/close_check.h"
#include "app/config_store.h"
#include "app/import_request.h"
#include "app/recent_budgets.h"
#include "app/sync_conflicts.h"
#include "app/update_check.h"
#include "app/window_title.h"
#include "core/document_file.h"
#include "core/file_pstream.h"
#include "core/idler.h"
#include "core/save_file.h"
#include "import/csv_statement.h"
#include "import/import_procedure.h"
#include "planning/allocation_plan.h"
#include "transactions/undo_history.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kReminderDelaySeconds = 60;

const char* kSaveFailed =
    "There was an error saving file \"%s\".  Your changes were not saved and your file may have "
    "serious errors!  Make sure the drive is not full or write protected.  You should free up "
    "some space on the current drive, or save the file to another drive.";

const char* kLinksSeparated =
    "The file \"%s\" has other names (hard links). Saving writes a new file under this name; "
    "the other names keep the contents they have now.";

const char* kChangedOutside =
    "The budget \"%s\" was changed by another program or computer since you opened it.";

const char* kConfirmOverwrite =
    "Overwrite the budget \"%s\"? What the other program or computer saved in it will be lost.";

const char* kChangedNotice = "The budget was changed by another program or computer.";

const char* kSyncConflicts =
    "The folder of the budget \"%s\" holds copies that a sync service made when the budget was "
    "changed on two computers at once:\n\n";

std::string Fill(const char* pattern, const std::string& value) {
  std::string text = pattern;
  text.replace(text.find("%s"), 2, value);
  return text;
}

}  // namespace

TVorlaShell::TVorlaShell(const TModelEnvironment& environment, TVorlaConfig& config,
                         std::string configPath, TShellPort& port, std::string lockFolder)
    : environment_(environment),
      config_(config),
      configPath_(std::move(configPath)),
      port_(port),
      guard_(std::move(lockFolder)),
      startSeconds_(environment.clock.NowSeconds()) {}

TVorlaShell::~TVorlaShell() = default;

void TVorlaShell::ModifiedChanged(bool modified) {
  port_.ShowModified(modified);
}

void TVorlaShell::UpdateTitle() {
  port_.SetTitle(WindowTitle(guard_.FileName()));
}

void TVorlaShell::RememberLastFile(const std::string& path) {
  SetLastFile(config_.Settings(), path);
  AddRecentBudget(config_.Named(), path);
  (void)SaveConfig(configPath_, config_);
}

std::string TVorlaShell::DocumentsFolder() const {
  const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
  fs::path base;
  if (documents != nullptr && documents[0] == '/') {
    base = documents;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
    base = fs::path(home) / "Documents";
  } else {
    return {};
  }
  return (base / "Quenbrook").string();
}

void TVorlaShell::StartHistory() {
  history_ = std::make_unique<TUndoHistory>(*document_);
  history_->Clear();
  const int32_t megabytes = std::clamp<int32_t>(
      config_.Named().GetNumber(kUndoMemoryKey, TUndoHistory::kDefaultMemoryLimit >> 20, 0), 1,
      4096);
  history_->SetMemoryLimit(static_cast<size_t>(megabytes) << 20);
}

void TVorlaShell::Undo() {
  if (!history_ || !history_->CanUndo())
    return;
  if (const TResult<void> done = history_->Undo(); !done)
    environment_.user.Tell("Quenbrook", done.Error(), TMessageIcon::Exclamation);
}

void TVorlaShell::Redo() {
  if (!history_ || !history_->CanRedo())
    return;
  if (const TResult<void> done = history_->Redo(); !done)
    environment_.user.Tell("Quenbrook", done.Error(), TMessageIcon::Exclamation);
}

void TVorlaShell::DropDocument() {
  history_.reset();
  if (document_)
    document_->SetObserver(nullptr);
  document_.reset();
  port_.ShowModified(false);
  stamp_ = {};
  outsideChange_ = changeNoticed_ = autoSaveAsked_ = false;
  port_.WatchFile({});
  port_.ShowFileNotice({});
}

// Reads one file; `threw` tells a refusal by exception (already shown) from an unreadable file.
bool TVorlaShell::ReadInto(const std::string& path, std::unique_ptr<TVorlaData>& document,
                           bool& threw, TFileStamp& stamp) {
  threw = false;
  ifpstream is(path);
  is.SetEnvironment(&environment_);
  try {
    document = is.ReadOwned<TVorlaData>();
  } catch (const TModelError& refused) {
    document.reset();
    threw = true;
    environment_.user.Tell("Quenbrook", refused.what(), TMessageIcon::Error);
    return false;
  }
  if (!is.Good() || !document) {
    document.reset();
    return false;
  }
  stamp = is.Stamp();
  return true;
}

bool TVorlaShell::OpenFile(const std::string& path) {
  // One budget at a time: the open one is closed properly (asking first) before another comes.
  if (document_ && !CloseCheck())
    return false;
  if (!guard_.Claim(path, environment_.user))
    return false;
  port_.SetBusy(true);
  std::unique_ptr<TVorlaData> document;
  bool threw = false;
  TFileStamp stamp;
  bool read = ReadInto(guard_.FileName(), document, threw, stamp);
  if (!read && !threw) {
    std::string withExtension = guard_.FileName() + ".vrl";
    if (!guard_.Claim(withExtension, environment_.user)) {
      guard_.Release();
      port_.SetBusy(false);
      return false;
    }
    read = ReadInto(guard_.FileName(), document, threw, stamp);
    if (!read && !threw) {
      environment_.user.Tell("Quenbrook", "Error opening file: " + path + ".", TMessageIcon::Error);
    }
  }
  if (!read) {
    guard_.Release();
    port_.SetBusy(false);
    UpdateTitle();
    return false;
  }
  document_ = std::move(document);
  stamp_ = stamp;
  FinishOpen();
  port_.SetBusy(false);
  return true;
}

void TVorlaShell::FinishOpen() {
  // What a killed save left beside the file goes now; a live writer's file is kept.
  std::string target;
  int reason = 0;
  if (ResolveSaveTarget(guard_.FileName(), target, reason))
    RemoveStaleTemporaries(target);
  document_->SetObserver(this);
  document_->FinishLoading();
  autoSave_.Reset();
  RememberLastFile(guard_.FileName());
  port_.DocumentOpened(*document_);
  if (document_->EnvelopeLayout().open) {
    document_->EnvelopeLayout().open = false;
    port_.ShowEnvelopeList();
  }
  if (document_->AccountLayout().open) {
    document_->AccountLayout().open = false;
    port_.ShowAccountList();
  }
  UpdateTitle();
  port_.WatchFile(guard_.FileName());
  StartHistory();
  TellAboutSyncConflicts();
}

void TVorlaShell::TellAboutSyncConflicts() {
  const std::vector<std::string> copies = SyncConflictCopiesBeside(guard_.FileName());
  if (copies.empty())
    return;
  std::string text = Fill(kSyncConflicts, guard_.FileName());
  for (const std::string& copy : copies)
    text += copy + "\n";
  environment_.user.Tell("Quenbrook", text, TMessageIcon::Exclamation);
}

bool TVorlaShell::Save() {
  return SaveNow(false);
}

TVorlaShell::TWriteOver TVorlaShell::CheckBeforeWriting(bool automatic) {
  if (!stamp_.known || FileStillMatches(guard_.FileName(), stamp_))
    return TWriteOver::Write;
  // Auto-save would otherwise ask again every interval while the user is away.
  if (automatic && autoSaveAsked_)
    return TWriteOver::Skip;
  autoSaveAsked_ = autoSaveAsked_ || automatic;
  TMessage question{"Quenbrook", Fill(kChangedOutside, guard_.FileName()),
                    TMessageButtons::YesNoCancel, TMessageIcon::Exclamation};
  question.buttonTexts = {"Save a Copy...", "Overwrite", "Cancel"};
  switch (environment_.user.Show(question)) {
    case TMessageAnswer::Yes:
      return TWriteOver::SaveCopy;
    case TMessageAnswer::No:
      return environment_.user.Ask("Quenbrook", Fill(kConfirmOverwrite, guard_.FileName()),
                                   TMessageButtons::YesNo,
                                   TMessageIcon::Exclamation) == TMessageAnswer::Yes
                 ? TWriteOver::Write
                 : TWriteOver::Skip;
    default:
      return TWriteOver::Skip;
  }
}

bool TVorlaShell::SaveNow(bool automatic) {
  if (!document_)
    return false;
  if (guard_.FileName().empty())
    return SaveAs(false);
  switch (CheckBeforeWriting(automatic)) {
    case TWriteOver::Skip:
      return false;
    case TWriteOver::SaveCopy:
      return SaveAs(false);
    case TWriteOver::Write:
      break;
  }
  if (document_->IsBackupPending() && config_.Settings().BackupLevel > 0) {
    RotateBackups(guard_.FileName(), config_.Settings().BackupLevel);
  }
  TellAboutHardLinks(guard_.FileName());
  port_.SetBusy(true);
  TFileStamp stamp;
  const TResult<void> written = WriteDocumentFile(guard_.FileName(), *document_, &stamp);
  port_.SetBusy(false);
  if (written) {
    stamp_ = stamp;
    changeNoticed_ = autoSaveAsked_ = false;
    // The rename put a new file in the watched one's place.
    port_.WatchFile(guard_.FileName());
    port_.ShowFileNotice({});
    RememberLastFile(guard_.FileName());
    autoSave_.Reset();
    if (history_)
      history_->MarkSaved();
    return true;
  }
  // Writing the record cleared the flag, but the changes are not on disk.
  document_->SetModified();
  // The system's reason follows, so that a full disk can be told from a read-only folder.
  environment_.user.Tell("Quenbrook",
                         Fill(kSaveFailed, guard_.FileName()) + "\n\n" + written.Error(),
                         TMessageIcon::Error);
  return SaveAs(false);
}

void TVorlaShell::TellAboutHardLinks(const std::string& path) {
  // Saving replaces the file by renaming, which is what keeps the previous file whole on any
  // failure; the other names of a hard-linked file then keep the old contents.
  if (linksTold_ == path || HardLinkCount(path) < 2)
    return;
  linksTold_ = path;
  environment_.user.Tell("Quenbrook", Fill(kLinksSeparated, path), TMessageIcon::Information);
}

bool TVorlaShell::SaveAs(bool forNew) {
  if (!document_)
    return false;
  std::string initial = guard_.FileName();
  if (initial.empty()) {
    std::string folder = DocumentsFolder();
    if (!folder.empty()) {
      std::error_code ignored;
      fs::create_directories(folder, ignored);
      initial = (fs::path(folder) / "NewFile.vrl").string();
    } else {
      initial = "NewFile.vrl";
    }
  }
  const std::string title = forNew ? "New Quenbrook File Name" : "Save Quenbrook File As";
  while (true) {
    std::optional<std::string> chosen = port_.ChooseSaveFile(title, initial);
    if (!chosen)
      return false;
    const std::string previous = guard_.FileName();
    if (guard_.Claim(*chosen, environment_.user)) {
      // Another file has nothing of ours to protect; the same file keeps its stamp and check.
      if (guard_.FileName() != previous) {
        stamp_ = {};
        changeNoticed_ = autoSaveAsked_ = false;
      }
      UpdateTitle();
      return Save();
    }
    initial = *chosen;
  }
}

bool TVorlaShell::CloseCheck() {
  if (!document_) {
    UpdateTitle();
    return true;
  }
  const TSettingsRecord& settings = config_.Settings();
  TCloseCheckInput input;
  input.modified = document_->IsModified();
  input.hasNewImports = document_->HasNewImports();
  input.hasPendingCleared = document_->HasPendingCleared();
  input.confirmImportOnClose = settings.ConfirmImportOnClose != 0;
  input.confirmClearedOnClose = settings.ConfirmClearedOnClose != 0;
  input.autoSaveMinutes = settings.AutoSaveMinutes;
  TCloseDecision decision = DecideClose(input, environment_.user);
  if (!decision.proceed)
    return false;
  if (decision.save) {
    if (decision.confirmImports)
      document_->ConfirmImports();
    if (decision.confirmCleared)
      document_->ConfirmCleared();
    // A budget that could not be saved anywhere stays open rather than being thrown away.
    if (!Save())
      return false;
  }
  if (!port_.CloseDocumentWindows())
    return false;
  DropDocument();
  guard_.Release();
  UpdateTitle();
  return true;
}

bool TVorlaShell::New() {
  if (!CloseCheck())
    return false;
  document_ = std::make_unique<TVorlaData>(environment_);
  document_->SetObserver(this);
  port_.DocumentOpened(*document_);
  // The plan wizard makes the first envelopes (and "Unallocated"), which the account wizard
  // needs for the new account's default envelope.
  if (!PlanOf(*document_).RunIncomeWizard(commandLine_.wizardFile) ||
      !port_.RunAccountWizard(*document_) || (document_->Envelopes().NumberRoot(), !SaveAs(true))) {
    port_.CloseDocumentWindows();
    DropDocument();
    guard_.Release();
    UpdateTitle();
    return false;
  }
  port_.ShowEnvelopeList();
  port_.ShowAccountList();
  port_.TileWindows();
  Save();
  StartHistory();
  return true;
}

bool TVorlaShell::OpenCommand() {
  // The chooser starts beside the budget that is open now, where its neighbours most likely lie.
  const std::string folder = document_ && !FileName().empty()
                                 ? fs::path(FileName()).parent_path().string()
                                 : DocumentsFolder();
  if (!CloseCheck())
    return false;
  std::optional<std::string> chosen = port_.ChooseOpenFile(folder);
  if (!chosen)
    return false;
  return OpenFile(*chosen);
}

bool TVorlaShell::OpenRecent(const std::string& path) {
  if (document_ && path == FileName())
    return true;
  return CloseCheck() && OpenFile(path);
}

void TVorlaShell::ConfirmAllImports() {
  if (!document_)
    return;
  TUndoHistory::TStep step(history_.get(), "Confirm All Imports");
  document_->ConfirmImports();
}

void TVorlaShell::ConfirmAllCleared() {
  if (!document_)
    return;
  TUndoHistory::TStep step(history_.get(), "Confirm All Cleared");
  document_->ConfirmCleared();
}

void TVorlaShell::TimerTick() {
  autoSave_.Tick(config_.Settings().AutoSaveMinutes);
}

void TVorlaShell::ImportStatement(TStatementKind kind, const std::string& path) {
  if (!document_)
    return;
  TImportBatch batch;
  const bool asked = path.empty();
  const bool chosen = ChooseImportFile(batch, kind, path, environment_.user, config_.Named());
  if (asked && !batch.Path.empty())
    (void)SaveConfig(configPath_, config_);  // the folder the file came from
  if (!chosen)
    return;
  // Everything the import does is one step, whether the user or a queued request started it.
  TUndoHistory::TStep step(history_.get(), "Import of " + fs::path(batch.Path).filename().string());
  if (kind == TStatementKind::Csv) {
    ImportCsv(batch);
    return;
  }
  port_.SetBusy(true);
  const size_t read = ReadStatementFile(batch, kind, environment_.clock);
  port_.SetBusy(false);
  if (read == 0)
    return;
  RunImport(batch);
}

void TVorlaShell::ImportCsv(TImportBatch& batch) {
  port_.SetBusy(true);
  const TResult<std::string> bytes = ReadStatementBytes(batch.Path);
  TResult<TCsvTable> table = bytes ? ReadCsvTable(*bytes) : TFailure{bytes.Error()};
  port_.SetBusy(false);
  if (!table) {
    environment_.user.Tell(std::string(StatementFormat(TStatementKind::Csv).caption), table.Error(),
                           TMessageIcon::Exclamation);
    return;
  }
  // The columns are the account's, so the rows are read once the account is chosen.
  TCsvStatement statement(std::move(*table));
  const TImportResult result =
      ImportRecords(batch, *document_, &config_.Named(),
                    [&](uint32_t account) { return statement.Fill(*document_, account, batch); });
  if (result.imported)
    statement.Remember(*document_, result.account);
  if (result.viewAccount != 0)
    port_.ShowNewlyImported(result.viewAccount);
}

void TVorlaShell::RunImport(TImportBatch& batch) {
  const TImportResult result = ImportRecords(batch, *document_, &config_.Named());
  if (result.viewAccount != 0)
    port_.ShowNewlyImported(result.viewAccount);
}

void TVorlaShell::RunPendingImport(std::string& pending, TStatementKind kind) {
  if (!document_ || pending.empty() || importing_ || !port_.IsEnabled())
    return;
  importing_ = true;
  port_.Restore();
  // Taken before the import runs, so that a request arriving meanwhile waits its turn instead
  // of being cleared with this one.
  const std::string path = std::move(pending);
  pending.clear();
  ImportStatement(kind, path);
  importing_ = false;
}

void TVorlaShell::ImportRequest(const std::string& text) {
  TImportRequest request = ClassifyImportRequest(text);
  std::error_code error;
  if (request.kind == TImportRequest::Kind::None || request.file.empty() ||
      !fs::is_regular_file(request.file, error)) {
    return;
  }
  switch (request.kind) {
    case TImportRequest::Kind::Ofx:
      pendingOfx_ = request.file;
      break;
    case TImportRequest::Kind::Csv:
      pendingCsv_ = request.file;
      break;
    default:
      pendingQif_ = request.file;
      break;
  }
}

void TVorlaShell::StartUp() {
  firstIdle_ = false;
  const TSettingsRecord& settings = config_.Settings();
  if (!commandLine_.importFile.empty()) {
    std::string kind = commandLine_.importFile;
    for (char& c : kind)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    bool ofx = kind.ends_with(".OFX") || kind.ends_with(".QFX");
    const char* word = kind.ends_with(".CSV") ? "OPENCSV" : ofx ? "OFX" : "QIF";
    ImportRequest(std::string(word) + " \"" + commandLine_.importFile + "\"");
  }
  if (!commandLine_.wizardFile.empty()) {
    New();
    commandLine_.wizardFile.clear();
  } else if (!commandLine_.file.empty()) {
    OpenFile(commandLine_.file);
  } else if (settings.ReopenLastFile != 0 && !settings.LastFile.empty()) {
    OpenFile(settings.LastFile);
  } else if (!document_ && environment_.user.Ask(
                               "Quenbrook",
                               "No File Specified. Would you like to create a new Quenbrook "
                               "File?",
                               TMessageButtons::YesNo, TMessageIcon::None) == TMessageAnswer::Yes) {
    New();
  }
}

void TVorlaShell::CheckConsistency() {
  if (!document_ || document_->AccountTotal() == document_->EnvelopeTotal())
    return;
  environment_.user.Tell(
      "Quenbrook",
      "Account and Envelope balances are not equal.  This means that the file has been "
      "currupted.  Please write down exactly what you were doing just before this message "
      "appeared and report it to Quenbrook support, so that the fault can be found.  Your file "
      "has not been saved since the last save.\n\nProgram will abort.",
      TMessageIcon::Error);
  port_.AbortProcess();
}

void TVorlaShell::UpdateReminder() {
  const TSettingsRecord& settings = config_.Settings();
  if (updateAsked_ || importing_ || !port_.IsEnabled() || settings.UpdateCheckDays == 0 ||
      environment_.clock.NowSeconds() - startSeconds_ <= kReminderDelaySeconds) {
    return;
  }
  updateAsked_ = true;
  TDateValue today = environment_.clock.Today();
  if (UpdateReminderDue(settings.LastUpdateCheck, settings.UpdateCheckDays, today) &&
      AskUpdateReminder(environment_.user)) {
    port_.CheckForUpdates();
  }
  config_.Settings().LastUpdateCheck = today;
}

void TVorlaShell::CheckOutsideChange() {
  if (!outsideChange_ || !port_.IsEnabled())
    return;
  outsideChange_ = false;
  if (!document_ || !stamp_.known || FileStillMatches(guard_.FileName(), stamp_))
    return;
  port_.ShowFileNotice(kChangedNotice);
  // A modified budget is decided by the check before its next save.
  if (changeNoticed_ || document_->IsModified())
    return;
  changeNoticed_ = true;
  const std::string text = Fill(kChangedOutside, guard_.FileName());
  // Without a file to reopen the budget in memory is the only copy: nothing is offered.
  std::error_code error;
  if (!fs::is_regular_file(guard_.FileName(), error)) {
    environment_.user.Tell("Quenbrook", text, TMessageIcon::Information);
    return;
  }
  TMessage notice{"Quenbrook", text, TMessageButtons::YesNo, TMessageIcon::Information};
  notice.buttonTexts = {"Reopen", "Keep Open"};
  if (environment_.user.Show(notice) == TMessageAnswer::Yes)
    Reopen();
}

void TVorlaShell::Reopen() {
  // Nothing is saved: what is on disk now is what the user asked for.
  const std::string path = guard_.FileName();
  if (!port_.CloseDocumentWindows())
    return;
  DropDocument();
  guard_.Release();
  OpenFile(path);
}

void TVorlaShell::Idle() {
  if (firstIdle_)
    StartUp();
  CheckConsistency();
  const bool typing = typing_ && typing_();
  if (!typing) {
    RunPendingImport(pendingQif_, TStatementKind::Qif);
    RunPendingImport(pendingOfx_, TStatementKind::Ofx);
    RunPendingImport(pendingCsv_, TStatementKind::Csv);
    UpdateReminder();
  }
  if (!typing)
    CheckOutsideChange();
  if (autoSave_.BeginSaveIfDue()) {
    SaveNow(true);
    autoSave_.EndSave();
  }
  if (!typing)
    TIdler::RunIdlers();
}
