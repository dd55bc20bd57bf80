#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/shell_port.h"

class TClock;
class TFileWatch;
class TMainFrame;
class TUserPort;

/// The shell's window layer in the desktop program: file dialogs, the account wizard, the list
/// windows, the title, the "Modified" field, the wait cursor. File names cross as the system
/// spells them (bytes), not as budget texts.
class TQtShellPort : public TShellPort {
 public:
  /// Picks a file name in place of a dialog: the title and the initial path or folder in,
  /// the chosen name out (nothing for Cancel).
  using TFileChooser =
      std::function<std::optional<std::string>(const std::string&, const std::string&)>;

  TQtShellPort(TMainFrame& frame, TUserPort& user, const TClock& clock,
               std::function<void()> checkForUpdates);
  ~TQtShellPort() override;

  /// Where the watched budget file's changes are reported (the shell's FileChangedOutside).
  void SetFileChanged(std::function<void()> changed);

  /// Seams for tests and scripted runs: choosers that stand in for the file dialogs, which
  /// cannot be driven from outside. Empty choosers bring the dialogs back.
  void SetSaveChooser(TFileChooser chooser) { saveChooser_ = std::move(chooser); }
  void SetOpenChooser(TFileChooser chooser) { openChooser_ = std::move(chooser); }

  std::optional<std::string> ChooseSaveFile(const std::string& title,
                                            const std::string& initialPath) override;
  std::optional<std::string> ChooseOpenFile(const std::string& initialFolder) override;
  bool RunAccountWizard(TVorlaData& document) override;
  void DocumentOpened(TVorlaData& document) override;
  bool CloseDocumentWindows() override;
  void ShowEnvelopeList() override;
  void ShowAccountList() override;
  void TileWindows() override;
  void SetTitle(const std::string& title) override;
  void ShowModified(bool modified) override;
  void SetBusy(bool busy) override;
  bool IsEnabled() const override;
  void Restore() override;
  void CheckForUpdates() override;
  void ShowNewlyImported(uint32_t account) override;
  void WatchFile(const std::string& path) override;
  void ShowFileNotice(const std::string& text) override;
  [[noreturn]] void AbortProcess() override;

 private:
  TMainFrame& frame_;
  TUserPort& user_;
  const TClock& clock_;
  std::function<void()> checkForUpdates_;
  TFileChooser saveChooser_;
  TFileChooser openChooser_;
  int busyDepth_ = 0;
  std::function<void()> fileChanged_;
  std::unique_ptr<TFileWatch> fileWatch_;
};
