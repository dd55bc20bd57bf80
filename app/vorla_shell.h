#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/auto_save.h"
#include "app/command_line.h"
#include "app/file_guard.h"
#include "app/shell_port.h"
#include "app/vorla_config.h"
#include "core/document_observer.h"
#include "core/file_stamp.h"
#include "core/model_environment.h"
#include "core/vorla_data.h"
#include "import/statement_file.h"

class TUndoHistory;

/// The application shell without its windows: it owns the one open budget and carries out the
/// file commands, the backups, the guard against a second running copy, auto-save, the close
/// check, the start-up choice of file and the idle steps. Whatever it does, the last good file
/// on disk is never destroyed.
class TVorlaShell : public TDocumentObserver {
 public:
  TVorlaShell(const TModelEnvironment& environment, TVorlaConfig& config, std::string configPath,
              TShellPort& port, std::string lockFolder);
  ~TVorlaShell() override;

  /// The open budget, null when none.
  TVorlaData* Document() const { return document_.get(); }
  /// The steps the user can undo and redo on the open budget; null while none is open. It
  /// begins when a budget opens (or a new one is made) and ends with it.
  TUndoHistory* History() const { return history_.get(); }
  /// "&Undo" and "&Redo" of the newest step. A step that no longer fits the budget is refused
  /// with a message and changes nothing.
  void Undo();
  void Redo();
  /// The configuration's memory limit of the history, in megabytes.
  static constexpr const char* kUndoMemoryKey = "Undo.MemoryLimitMB";

  /// The full path of the open budget, empty when none.
  const std::string& FileName() const { return guard_.FileName(); }

  /// The command line, parsed at the first idle moment.
  void SetCommandLine(TCommandLine commandLine) { commandLine_ = std::move(commandLine); }

  // Commands.
  /// Closes the open budget (asking first), makes a new one and runs the wizards; false when
  /// anything was cancelled, and then no budget is open.
  bool New();
  /// Closes the open budget (asking first) and opens one the user chooses.
  bool OpenCommand();
  /// Claims and opens `path`; false when it is held elsewhere or cannot be read.
  bool OpenFile(const std::string& path);
  /// One of the recent budgets: closes the open budget (asking first) and opens `path`; the
  /// budget that is open already stays as it is.
  bool OpenRecent(const std::string& path);
  /// Saves under the current name (Save As when there is none). False when nothing was saved.
  bool Save();
  /// Asks for a name and saves under it; `forNew` picks the title of a new budget.
  bool SaveAs(bool forNew);
  /// The close check: may save, then closes the budget. False when the user cancelled.
  bool CloseCheck();
  /// "Confirm All Imports" and "Confirm All Cleared".
  void ConfirmAllImports();
  void ConfirmAllCleared();
  /// "&QIF File..." and "&OFX File...", and the queued requests: the statement at `path` (asked
  /// for when empty) is read and its records imported into an account the user chooses.
  void ImportStatement(TStatementKind kind, const std::string& path);

  // Events.
  /// The one-minute timer.
  void TimerTick();
  /// One idle moment: the start-up choice the first time, then the checks in their order.
  void Idle();
  /// Whether the next idle moment makes the start-up choice of file.
  bool StartUpPending() const { return firstIdle_; }
  /// Tells whether the user is typing into a cell: then the idle steps that may show a message
  /// or a dialog (pending imports, the update reminder, the watchdogs) wait, so that no
  /// keystroke meant for the cell lands in a message box.
  void SetTypingCheck(std::function<bool()> typing) { typing_ = std::move(typing); }
  /// The watched budget file changed on disk (or was removed or replaced). Looked at in the next
  /// idle moment, never inside another dialog.
  void FileChangedOutside() { outsideChange_ = true; }
  /// A statement handed over by another program; kept until the next idle moment can import it.
  void ImportRequest(const std::string& text);

  const std::string& PendingQifImport() const { return pendingQif_; }
  const std::string& PendingOfxImport() const { return pendingOfx_; }
  const std::string& PendingCsvImport() const { return pendingCsv_; }
  const TAutoSave& AutoSave() const { return autoSave_; }

  void ModifiedChanged(bool modified) override;

 private:
  /// What a save does about the budget's file on disk.
  enum class TWriteOver { Write, SaveCopy, Skip };

  bool SaveNow(bool automatic);
  /// Before writing over the budget's file: writes when the file is still what we read or last
  /// wrote; otherwise asks (an automatic save asks once, then skips silently).
  TWriteOver CheckBeforeWriting(bool automatic);
  /// At an idle moment after the watcher reported a change: tells about it once, offering to
  /// reopen an unmodified budget.
  void CheckOutsideChange();
  void Reopen();
  /// Names the copies that sync services left beside the budget just opened.
  void TellAboutSyncConflicts();
  void StartUp();
  bool ReadInto(const std::string& path, std::unique_ptr<TVorlaData>& document, bool& threw,
                TFileStamp& stamp);
  void FinishOpen();
  /// A new history for the budget as it is now, within the configured memory.
  void StartHistory();
  void DropDocument();
  void UpdateTitle();
  void RememberLastFile(const std::string& path);
  /// Before the first save of a file with several hard links: says that saving separates them.
  void TellAboutHardLinks(const std::string& path);
  void CheckConsistency();
  void UpdateReminder();
  /// The records of a statement into an account of the open budget, then the review view.
  void RunImport(TImportBatch& batch);
  /// The queued import of one kind, when the moment allows it.
  void RunPendingImport(std::string& pending, TStatementKind kind);
  // A CSV statement: its table read, its rows mapped once the account is chosen.
  void ImportCsv(TImportBatch& batch);
  std::string DocumentsFolder() const;

  TModelEnvironment environment_;
  TVorlaConfig& config_;
  std::string configPath_;
  TShellPort& port_;
  TFileGuard guard_;
  std::unique_ptr<TVorlaData> document_;
  // Declared after the budget so that it goes first.
  std::unique_ptr<TUndoHistory> history_;
  TCommandLine commandLine_;
  TAutoSave autoSave_;
  std::string pendingQif_;
  std::string pendingOfx_;
  std::string pendingCsv_;
  int64_t startSeconds_ = 0;
  std::function<bool()> typing_;
  bool firstIdle_ = true;
  bool importing_ = false;
  bool updateAsked_ = false;
  // The file whose other hard links the user was told about (each file is told once).
  std::string linksTold_;
  // What the budget's file was when it was read or last written; not known for a budget that
  // was never saved, or after Save As to another file until it is written.
  TFileStamp stamp_;
  bool outsideChange_ = false;
  // The change on disk was told by the watcher, or asked about by an automatic save.
  bool changeNoticed_ = false;
  bool autoSaveAsked_ = false;
};
