#include "ui/qt_shell_port.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <cstdio>
#include <cstdlib>

#include "core/vorla_data.h"
#include "platform/qt_file_watch.h"
#include "presentation/xview_model.h"
#include "transactions/account_wizard.h"
#include "transactions/xmanager.h"
#include "ui/account_wizard_dialog.h"
#include "ui/main_frame.h"
#include "ui/vorla_client.h"

namespace {

std::string FromPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString ToPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

TQtShellPort::TQtShellPort(TMainFrame& frame, TUserPort& user, const TClock& clock,
                           std::function<void()> checkForUpdates)
    : frame_(frame), user_(user), clock_(clock), checkForUpdates_(std::move(checkForUpdates)) {
  fileWatch_ = std::make_unique<TFileWatch>([this] {
    if (fileChanged_)
      fileChanged_();
  });
}

TQtShellPort::~TQtShellPort() = default;

void TQtShellPort::SetFileChanged(std::function<void()> changed) {
  fileChanged_ = std::move(changed);
}

void TQtShellPort::WatchFile(const std::string& path) {
  fileWatch_->Watch(ToPath(path));
}

void TQtShellPort::ShowFileNotice(const std::string& text) {
  frame_.ShowFileNotice(QString::fromStdString(text));
}

std::optional<std::string> TQtShellPort::ChooseSaveFile(const std::string& title,
                                                        const std::string& initialPath) {
  if (saveChooser_)
    return saveChooser_(title, initialPath);
  QFileDialog dialog(&frame_, QString::fromStdString(title));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(QStringLiteral("Quenbrook File (*.vrl)"));
  dialog.setDefaultSuffix(QStringLiteral("vrl"));
  dialog.selectFile(ToPath(initialPath));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return std::nullopt;
  return FromPath(dialog.selectedFiles().constFirst());
}

std::optional<std::string> TQtShellPort::ChooseOpenFile(const std::string& initialFolder) {
  if (openChooser_)
    return openChooser_("Open Quenbrook File", initialFolder);
  QFileDialog dialog(&frame_, QStringLiteral("Open Quenbrook File"), ToPath(initialFolder));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(
      {QStringLiteral("Quenbrook File (*.vrl)"), QStringLiteral("All Files (*)")});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return std::nullopt;
  return FromPath(dialog.selectedFiles().constFirst());
}

bool TQtShellPort::RunAccountWizard(TVorlaData& document) {
  TAccountWizard wizard(TransactionsOf(document));
  TAccountWizardDialog dialog(
      [&wizard](const TWizardAccount& entry) { return wizard.AddAccount(entry) != nullptr; }, user_,
      clock_, &frame_);
  dialog.exec();
  return dialog.AccountsMade() > 0;
}

void TQtShellPort::DocumentOpened(TVorlaData& document) {
  frame_.Client().SetDocument(&document);
  frame_.UpdateCommands(true);
}

bool TQtShellPort::CloseDocumentWindows() {
  if (!frame_.Client().CloseDocumentWindows())
    return false;
  frame_.UpdateCommands(false);
  return true;
}

void TQtShellPort::ShowEnvelopeList() {
  frame_.Client().ShowEnvelopeList();
}

void TQtShellPort::ShowAccountList() {
  frame_.Client().ShowAccountList();
}

void TQtShellPort::ShowNewlyImported(uint32_t account) {
  frame_.Client().OpenAccountLedger(account, TXViewModel::kOpenNewlyImported);
}

void TQtShellPort::TileWindows() {
  frame_.Client().TileVertically();
}

void TQtShellPort::SetTitle(const std::string& title) {
  // The title holds the file's name as the system spells it.
  frame_.setWindowTitle(ToPath(title));
  frame_.UpdateCommands(frame_.Client().Document() != nullptr);
}

void TQtShellPort::ShowModified(bool modified) {
  frame_.ShowModified(modified);
}

void TQtShellPort::SetBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0)
      QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
    QApplication::restoreOverrideCursor();
  }
}

bool TQtShellPort::IsEnabled() const {
  return frame_.isEnabled() && QApplication::activeModalWidget() == nullptr;
}

void TQtShellPort::Restore() {
  if (frame_.isMinimized())
    frame_.showNormal();
  frame_.raise();
  frame_.activateWindow();
}

void TQtShellPort::CheckForUpdates() {
  if (checkForUpdates_)
    checkForUpdates_();
}

void TQtShellPort::AbortProcess() {
  std::fputs(
      "Quenbrook: the account total and the envelope total differ; ending at once "
      "without saving.\n",
      stderr);
  std::abort();
}
