#include "ui/qt_user_port.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include "core/cp1252.h"
#include "ui/account_transfer_dialog.h"
#include "ui/allocation_plan_dialog.h"
#include "ui/csv_mapping_dialog.h"
#include "ui/envelope_chooser_dialog.h"
#include "ui/import_options_dialog.h"
#include "ui/income_wizard_dialog.h"
#include "ui/model_text.h"
#include "ui/name_dialogs.h"
#include "ui/node_properties_dialog.h"
#include "ui/transaction_filter_dialog.h"

namespace {

QMessageBox::StandardButtons ButtonsOf(TMessageButtons buttons) {
  switch (buttons) {
    case TMessageButtons::Ok:
      return QMessageBox::Ok;
    case TMessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case TMessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case TMessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(TMessageIcon icon) {
  switch (icon) {
    case TMessageIcon::None:
      return QMessageBox::NoIcon;
    case TMessageIcon::Error:
      return QMessageBox::Critical;
    case TMessageIcon::Exclamation:
      return QMessageBox::Warning;
    case TMessageIcon::Information:
      return QMessageBox::Information;
    case TMessageIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

TMessageAnswer AnswerOf(int button, TMessageButtons buttons) {
  switch (button) {
    case QMessageBox::Yes:
      return TMessageAnswer::Yes;
    case QMessageBox::No:
      return TMessageAnswer::No;
    case QMessageBox::Cancel:
      return TMessageAnswer::Cancel;
    case QMessageBox::Ok:
      return TMessageAnswer::Ok;
    default:
      // Closed without a button: the safe answer of the box.
      return buttons == TMessageButtons::Ok      ? TMessageAnswer::Ok
             : buttons == TMessageButtons::YesNo ? TMessageAnswer::No
                                                 : TMessageAnswer::Cancel;
  }
}

// "Description|pattern|Description|pattern|" as the file dialog's "Description (pattern)"
// entries. "*.*" means every file, which here is "*" since names need not have a dot.
QStringList NameFiltersOf(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString pattern = parts[i + 1];
    pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
    if (pattern == QStringLiteral("*.*"))
      pattern = QStringLiteral("*");
    filters << QStringLiteral("%1 (%2)").arg(parts[i], pattern);
  }
  return filters;
}

}  // namespace

TMessageAnswer TQtUserPort::Show(const TMessage& message) {
  if (beforeDialog_)
    beforeDialog_();
  if (messageHook_) {
    if (std::optional<TMessageAnswer> answer = messageHook_(message))
      return *answer;
  }
  // Messages may carry bytes from a file; their control characters are shown escaped.
  QMessageBox box(IconOf(message.icon), FromModel(message.caption),
                  QString::fromStdString(MessageToUtf8(message.text)), ButtonsOf(message.buttons),
                  Owner());
  const QMessageBox::StandardButton order[] = {QMessageBox::Yes, QMessageBox::No,
                                               QMessageBox::Cancel, QMessageBox::Ok};
  size_t next = 0;
  for (QMessageBox::StandardButton standard : order) {
    if (QAbstractButton* button = box.button(standard);
        button != nullptr && next < message.buttonTexts.size()) {
      button->setText(QString::fromStdString(MessageToUtf8(message.buttonTexts[next++])));
    }
  }
  return AnswerOf(box.exec(), message.buttons);
}

bool TQtUserPort::EditMemo(std::string& memo) {
  QDialog dialog(Owner());
  dialog.setObjectName(QStringLiteral("editMemoDialog"));
  dialog.setWindowTitle(QStringLiteral("Edit Memo"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("Memo:"), &dialog));
  auto* field = new QLineEdit(FromModel(memo), &dialog);
  field->setObjectName(QStringLiteral("memoField"));
  field->setMaxLength(89);
  field->setMinimumWidth(field->fontMetrics().averageCharWidth() * 60);
  layout->addWidget(field);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  std::optional<std::string> accepted;
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    accepted = ToModelOrRefuse(field->text(), field, QStringLiteral("Memo"), *this);
    if (accepted)
      dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted || !accepted)
    return false;
  memo = *accepted;
  return true;
}

bool TQtUserPort::EditAllocationPlan(TAllocationPlan& plan) {
  TAllocationPlanDialog dialog(plan, config_, Owner());
  return dialog.exec() == QDialog::Accepted;
}

bool TQtUserPort::EnterMonthlyIncome(std::array<float, 4>& incomes) {
  TIncomeWizardDialog dialog(Owner());
  dialog.SetIncomes(incomes);
  if (dialog.exec() != QDialog::Accepted)
    return false;
  incomes = dialog.Incomes();
  return true;
}

void TQtUserPort::Beep() {
  QApplication::beep();
}

bool TQtUserPort::EditAccountProperties(TAccountProperties& values,
                                        const std::vector<std::string>& takenNames,
                                        const std::vector<TItemChoice>& envelopes) {
  TNodePropertiesDialog dialog(QStringLiteral("Edit Account Properties"), values.name, takenNames,
                               *this, Owner());
  dialog.AddDescription(values.description);
  dialog.AddAccountType(values.type);
  dialog.AddDefaultEnvelope(envelopes, values.defaultEnvelope);
  if (dialog.exec() != QDialog::Accepted)
    return false;
  values.name = dialog.Name();
  values.description = dialog.Description();
  values.type = dialog.AccountType();
  values.defaultEnvelope = dialog.DefaultEnvelope();
  return true;
}

bool TQtUserPort::EditAccountGroupProperties(TGroupProperties& values,
                                             const std::vector<std::string>& takenNames) {
  TNodePropertiesDialog dialog(QStringLiteral("Edit Account Group Properties"), values.name,
                               takenNames, *this, Owner());
  dialog.AddDescription(values.description);
  if (dialog.exec() != QDialog::Accepted)
    return false;
  values.name = dialog.Name();
  values.description = dialog.Description();
  return true;
}

bool TQtUserPort::EditRootProperties(TTreeKind tree, std::string& name,
                                     const std::vector<std::string>& takenNames) {
  TNodePropertiesDialog dialog(tree == TTreeKind::Accounts
                                   ? QStringLiteral("Edit Account List Properties")
                                   : QStringLiteral("Edit Envelope List Properties"),
                               name, takenNames, *this, Owner());
  if (dialog.exec() != QDialog::Accepted)
    return false;
  name = dialog.Name();
  return true;
}

bool TQtUserPort::EditEnvelopeProperties(TEnvelopeProperties& values,
                                         const std::vector<std::string>& takenNames) {
  TNodePropertiesDialog dialog(QStringLiteral("Edit Envelope Properties"), values.name, takenNames,
                               *this, Owner());
  dialog.AddThreshold(values.threshold);
  dialog.AddDescription(values.description);
  dialog.AddInAllocationPlan(values.inAllocationPlan);
  if (dialog.exec() != QDialog::Accepted)
    return false;
  values.name = dialog.Name();
  values.description = dialog.Description();
  values.threshold = dialog.Threshold();
  values.inAllocationPlan = dialog.InAllocationPlan();
  return true;
}

bool TQtUserPort::EditBundleProperties(TBundleProperties& values,
                                       const std::vector<std::string>& takenNames) {
  TNodePropertiesDialog dialog(QStringLiteral("Edit Bundle Properties"), values.name, takenNames,
                               *this, Owner());
  dialog.AddThreshold(values.threshold);
  dialog.AddDescription(values.description);
  if (dialog.exec() != QDialog::Accepted)
    return false;
  values.name = dialog.Name();
  values.description = dialog.Description();
  values.threshold = dialog.Threshold();
  return true;
}

bool TQtUserPort::EditAssociationProperties(TGroupProperties& values,
                                            const std::vector<std::string>& takenNames) {
  TNodePropertiesDialog dialog(QStringLiteral("Edit Association Properties"), values.name,
                               takenNames, *this, Owner());
  dialog.AddDescription(values.description);
  if (dialog.exec() != QDialog::Accepted)
    return false;
  values.name = dialog.Name();
  values.description = dialog.Description();
  return true;
}

bool TQtUserPort::ChooseReplacementEnvelope(const std::vector<TItemChoice>& choices,
                                            uint32_t& chosen) {
  TEnvelopeChooserDialog dialog(
      QStringLiteral("Delete Envelope"),
      QStringLiteral("When deleting an envelope, you must supply another envelope for "
                     "transactions and other elements to use instead."),
      QStringLiteral("&Select New Envelope"), choices, chosen, Owner());
  if (dialog.exec() != QDialog::Accepted || dialog.Chosen() == 0)
    return false;
  chosen = dialog.Chosen();
  return true;
}

bool TQtUserPort::ChooseEnvelope(const std::vector<TItemChoice>& choices, uint32_t& chosen) {
  TEnvelopeChooserDialog dialog(QStringLiteral("Choose Envelope"), QString(),
                                QStringLiteral("&Envelope:"), choices, chosen, Owner());
  if (dialog.exec() != QDialog::Accepted || dialog.Chosen() == 0)
    return false;
  chosen = dialog.Chosen();
  return true;
}

bool TQtUserPort::EditTransactionFilter(TFilterCriteria& criteria,
                                        const TFilterDialogSetup& setup) {
  TTransactionFilterDialog dialog(criteria, setup, *this, clock_, Owner());
  if (dialog.exec() != QDialog::Accepted)
    return false;
  criteria = dialog.Criteria();
  return true;
}

bool TQtUserPort::EditAccountTransfer(TActXferValues& values,
                                      const std::vector<TItemChoice>& accounts,
                                      const std::vector<TItemChoice>&) {
  // The envelope lists belong to the part of the dialog that is never shown.
  TAccountTransferDialog dialog(values, accounts, *this, clock_, Owner());
  if (dialog.exec() != QDialog::Accepted)
    return false;
  values = dialog.Values();
  return true;
}

bool TQtUserPort::ChooseAccount(const std::string& caption,
                                const std::vector<TItemChoice>& accounts, uint32_t& chosen) {
  TEnvelopeChooserDialog dialog(FromModel(caption), QString(), QStringLiteral("&Account:"),
                                accounts, chosen, Owner());
  dialog.setObjectName(QStringLiteral("selectAccountDialog"));
  if (dialog.exec() != QDialog::Accepted || dialog.Chosen() == 0)
    return false;
  chosen = dialog.Chosen();
  return true;
}

std::optional<std::string> TQtUserPort::ChooseOpenFile(const std::string& title,
                                                       const std::string& filter,
                                                       const std::string& folder) {
  QFileDialog dialog(Owner(), FromModel(title));
  dialog.setObjectName(QStringLiteral("openFileDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(NameFiltersOf(filter));
  // A remembered folder that is gone (or the old ".\." for the current one) starts here.
  const QString start = QFile::decodeName(folder.c_str());
  dialog.setDirectory(QDir(start).exists() && folder != ".\\." ? start : QDir::currentPath());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return std::nullopt;
  return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

bool TQtUserPort::EditImportOptions(TImportDialogState& state) {
  TImportXDlg dialog(state, *this, clock_, Owner());
  return dialog.exec() == QDialog::Accepted;
}

bool TQtUserPort::EditCsvMapping(TCsvMappingState& state) {
  TCsvMappingDialog dialog(state, Owner());
  return dialog.exec() == QDialog::Accepted;
}

bool TQtUserPort::ChooseName(const std::string& caption, const std::vector<std::string>& names,
                             size_t& chosen) {
  std::vector<TItemChoice> choices;
  for (size_t i = 0; i < names.size(); ++i)
    choices.push_back({static_cast<uint32_t>(i + 1), names[i]});
  TEnvelopeChooserDialog dialog(FromModel(caption), QString(), QString(), choices, 0, Owner());
  if (dialog.exec() != QDialog::Accepted || dialog.Chosen() == 0)
    return false;
  chosen = dialog.Chosen() - 1;
  return true;
}

bool TQtUserPort::EditString(const std::string& title, const std::string& prompt,
                             std::string& text) {
  TEditStringDialog dialog(FromModel(title), FromModel(prompt), text, *this, Owner());
  if (dialog.exec() != QDialog::Accepted)
    return false;
  text = dialog.Text();
  return true;
}
