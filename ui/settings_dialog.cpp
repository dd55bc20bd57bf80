#include "ui/settings_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

TSettingsDialog::TSettingsDialog(const QString& title, TSettingsRecord& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  form_ = new QFormLayout;
  layout->addLayout(form_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void TSettingsDialog::AddSwitch(TField field, const QString& label) {
  auto* box = new QCheckBox(label, this);
  box->setChecked(settings_.*field != 0);
  form_->addRow(box);
  switches_.push_back({field, box});
}

void TSettingsDialog::AddSwitch(bool& value, const QString& label) {
  auto* box = new QCheckBox(label, this);
  box->setChecked(value);
  form_->addRow(box);
  flags_.emplace_back(&value, box);
}

void TSettingsDialog::AddNumber(TField field, const QString& label, TEditUnsigned rule,
                                const QString& note) {
  auto* edit = new QLineEdit(QString::fromStdString(rule.Show(settings_.*field)), this);
  if (rule.textLimit > 0)
    edit->setMaxLength(static_cast<int>(rule.textLimit));
  edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * 10 + 12);
  // Digits only, as they are typed: a letter would otherwise quietly become 0 on leaving.
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  connect(edit, &QLineEdit::editingFinished, this, [edit, rule] {
    TEditUnsignedResult result = rule.Commit(edit->text().toStdString());
    if (result.beep)
      QApplication::beep();
    edit->setText(QString::fromStdString(result.text));
  });
  auto* row = new QHBoxLayout;
  row->addWidget(edit);
  if (!note.isEmpty())
    row->addWidget(new QLabel(note, this));
  row->addStretch();
  auto* caption = new QLabel(label, this);
  caption->setBuddy(edit);
  form_->addRow(caption, row);
  numbers_.push_back({field, edit, rule});
}

void TSettingsDialog::accept() {
  for (const TSwitch& entry : switches_)
    settings_.*(entry.field) = entry.box->isChecked() ? 1 : 0;
  for (const auto& [value, box] : flags_)
    *value = box->isChecked();
  for (const TNumber& entry : numbers_) {
    settings_.*(entry.field) = entry.rule.Transfer(entry.edit->text().toStdString());
  }
  QDialog::accept();
}

TSettingsDialog* TSettingsDialog::MainConfiguration(TSettingsRecord& settings, QWidget* parent) {
  auto* dialog = new TSettingsDialog(QStringLiteral("Main Configuration"), settings, parent);
  dialog->AddSwitch(&TSettingsRecord::ShowStatusBar, QStringLiteral("Display &Status Bar"));
  dialog->AddSwitch(&TSettingsRecord::ShowControlBar, QStringLiteral("Display &Control Bar"));
  dialog->AddSwitch(&TSettingsRecord::ReopenLastFile,
                    QStringLiteral("Automatically Re-Open Last File at Startup"));
  dialog->AddNumber(&TSettingsRecord::AutoSaveMinutes, QStringLiteral("Auto-Save Interval:"),
                    TEditUnsigned{5, 0, 0}, QStringLiteral("Minutes (0 for never)"));
  dialog->AddNumber(&TSettingsRecord::BackupLevel, QStringLiteral("Backup History Level:"),
                    TEditUnsigned{5, 0, 0}, QStringLiteral("Backup copies kept"));
  dialog->AddSwitch(&TSettingsRecord::ConfirmClearedOnClose,
                    QStringLiteral("Confirm Cleared on Close"));
  dialog->AddSwitch(&TSettingsRecord::ConfirmImportOnClose,
                    QStringLiteral("Confirm Import on Close"));
  dialog->AddNumber(&TSettingsRecord::UpdateCheckDays,
                    QStringLiteral("Check for Updates Interval:"), TEditUnsigned{5, 0, 0},
                    QStringLiteral("Days (0 for never)"));
  return dialog;
}

TSettingsDialog* TSettingsDialog::AccountListConfiguration(TSettingsRecord& settings,
                                                           QWidget* parent) {
  auto* dialog =
      new TSettingsDialog(QStringLiteral("Account List Configuration"), settings, parent);
  dialog->AddSwitch(&TSettingsRecord::ShowAccountRootBalance,
                    QStringLiteral("Show Account &Root Balance"));
  dialog->AddSwitch(&TSettingsRecord::ShowGroupBalances,
                    QStringLiteral("Show Account &Group Balances"));
  dialog->AddSwitch(&TSettingsRecord::ShowAccountBalances,
                    QStringLiteral("Show &Account Balances"));
  dialog->AddSwitch(&TSettingsRecord::ShowReconcileBalances,
                    QStringLiteral("Show Account R&econcile Balances"));
  return dialog;
}

TSettingsDialog* TSettingsDialog::EnvelopeListConfiguration(TSettingsRecord& settings,
                                                            QWidget* parent) {
  auto* dialog =
      new TSettingsDialog(QStringLiteral("Envelope List Configuration"), settings, parent);
  dialog->AddSwitch(&TSettingsRecord::ShowEnvRootBalance,
                    QStringLiteral("Show Envelope &Root Balance"));
  dialog->AddSwitch(&TSettingsRecord::ShowBundleBalances,
                    QStringLiteral("Show Envelope &Bundle Balances"));
  dialog->AddSwitch(&TSettingsRecord::ShowAssociationBalances,
                    QStringLiteral("Show Envelope &Association Balances"));
  dialog->AddSwitch(&TSettingsRecord::ShowEnvelopeBalances,
                    QStringLiteral("Show &Envelope Balances"));
  return dialog;
}

TSettingsDialog* TSettingsDialog::TransactionViewSetup(TSettingsRecord& settings, QWidget* parent,
                                                       TLedgerSwitches* switches) {
  auto* dialog = new TSettingsDialog(QStringLiteral("Transaction View Setup"), settings, parent);
  dialog->AddNumber(&TSettingsRecord::CodeWidth, QStringLiteral("&Transaction Code (5-10):"),
                    TEditUnsigned{10, 5, 10});
  dialog->AddNumber(&TSettingsRecord::PayableToWidth, QStringLiteral("&Payable To (20-50):"),
                    TEditUnsigned{10, 20, 50});
  dialog->AddNumber(&TSettingsRecord::MemoWidth, QStringLiteral("Memo (use 0-50, 0 hides):"),
                    TEditUnsigned{10, 0, 50});
  dialog->AddNumber(&TSettingsRecord::AmountWidth, QStringLiteral("&Currency Amount (10-15):"),
                    TEditUnsigned{10, 10, 15});
  dialog->AddNumber(&TSettingsRecord::EnvelopeWidth, QStringLiteral("&Envelope Label (15-30):"),
                    TEditUnsigned{10, 15, 30});
  dialog->AddNumber(&TSettingsRecord::AccountWidth, QStringLiteral("&Account Label (15-30):"),
                    TEditUnsigned{10, 15, 30});
  dialog->AddSwitch(&TSettingsRecord::DatesWithYear,
                    QStringLiteral("Include Year in Transaction Dates"));
  dialog->AddSwitch(&TSettingsRecord::FlyByMemo, QStringLiteral("Show &Fly By Memo"));
  dialog->AddSwitch(&TSettingsRecord::AutoCorrectYear, QStringLiteral("Auto-Correct Year"));
  if (switches != nullptr) {
    dialog->AddSwitch(switches->completePayees, QStringLiteral("C&omplete payees as I type"));
    dialog->AddSwitch(switches->fillFromPayee,
                      QStringLiteral("Fill new &rows from the payee's last transaction"));
  }
  return dialog;
}
