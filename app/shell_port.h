#pragma once

#include <cstdint>
#include <optional>
#include <string>

class TVorlaData;

/// What the shell needs from the window layer beyond message boxes: file dialogs, the new-budget
/// wizards, the list windows and the frame. The desktop program implements it with Qt; tests
/// script it.
class TShellPort {
 public:
  virtual ~TShellPort() = default;

  /// The save-file dialog ("Quenbrook File|*.vrl|", extension vrl). Nothing when cancelled.
  virtual std::optional<std::string> ChooseSaveFile(const std::string& title,
                                                    const std::string& initialPath) = 0;
  /// The open-file dialog ("Open Quenbrook File"). Nothing when cancelled.
  virtual std::optional<std::string> ChooseOpenFile(const std::string& initialFolder) = 0;
  /// The "Add New Account" wizard on a new budget; false when cancelled.
  virtual bool RunAccountWizard(TVorlaData& document) = 0;

  /// The document just became the open one (opened or created).
  virtual void DocumentOpened(TVorlaData& document) = 0;
  /// Closes the windows of the open document; false when one of them refuses.
  virtual bool CloseDocumentWindows() = 0;
  /// Shows (creates or raises) the envelope or account list window.
  virtual void ShowEnvelopeList() = 0;
  virtual void ShowAccountList() = 0;
  /// Arranges the child windows side by side.
  virtual void TileWindows() = 0;

  virtual void SetTitle(const std::string& title) = 0;
  /// The status bar's "Modified" field.
  virtual void ShowModified(bool modified) = 0;
  /// The wait cursor around long operations.
  virtual void SetBusy(bool busy) = 0;
  /// Whether the main window takes input (no modal dialog is up).
  virtual bool IsEnabled() const = 0;
  /// Restores the main window when it is minimised.
  virtual void Restore() = 0;
  /// Runs the update check on the network (the user chose to).
  virtual void CheckForUpdates() = 0;
  /// Opens the ledger of an account with the filter "View Newly Imported Transactions", after an
  /// import brought something into it.
  virtual void ShowNewlyImported(uint32_t account) { (void)account; }
  /// Watches the file at `path` for changes by others (none when empty); every change, and the
  /// file's removal or replacement, is reported to the shell's FileChangedOutside. Called again
  /// after each save, which replaces the file.
  virtual void WatchFile(const std::string& path) { (void)path; }
  /// A lasting notice in the status bar (empty clears it).
  virtual void ShowFileNotice(const std::string& text) { (void)text; }
  /// Ends the process at once, without saving: the budget in memory is not to be trusted.
  [[noreturn]] virtual void AbortProcess() = 0;
};
