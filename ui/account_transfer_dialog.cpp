#include "ui/account_transfer_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/edit_values.h"
#include "ui/model_text.h"

namespace {

// Code fields hold 19 characters, payee and memo fields 89, as the record does.
constexpr int kCodeLength = 19;
constexpr int kTextLength = 89;

}  // namespace

TAccountTransferDialog::TAccountTransferDialog(const TActXferValues& values,
                                               const std::vector<TItemChoice>& accounts,
                                               TUserPort& user, const TClock& clock,
                                               QWidget* parent)
    : QDialog(parent), values_(values), user_(user), clock_(clock) {
  setWindowTitle(QStringLiteral("Account Transfer"));
  auto* layout = new QVBoxLayout(this);
  auto* amountRow = new QFormLayout;
  amount_ = new QLineEdit(FromModel(TEditFloat().Show(TAmount::FromUnits(values.amount))), this);
  amount_->setObjectName(QStringLiteral("amount"));
  amount_->setMaxLength(static_cast<int>(TEditFloat::kTextLimit));
  connect(amount_, &QLineEdit::editingFinished, this, [this] {
    amount_->setText(FromModel(TEditFloat().Commit(ToModel(amount_->text()).value_or("")).text));
  });
  amountRow->addRow(QStringLiteral("&Amount:"), amount_);
  layout->addLayout(amountRow);

  auto* sides = new QHBoxLayout;
  from_ = MakeSide(QStringLiteral(" From "), values.fromAccount, values.fromDate, values.fromCode,
                   values.fromPayee, values.fromMemo, accounts, sides);
  to_ = MakeSide(QStringLiteral(" To "), values.toAccount, values.toDate, values.toCode,
                 values.toPayee, values.toMemo, accounts, sides);
  from_.account->setObjectName(QStringLiteral("fromAccount"));
  to_.account->setObjectName(QStringLiteral("toAccount"));
  from_.account->setEnabled(values.fromAccountEnabled);
  layout->addLayout(sides);

  auto* note = new QLabel(QStringLiteral("A \"~t\" in either the \"Payable To\" or \"Memo\" field "
                                         "will expand to the corresponding Account."),
                          this);
  note->setWordWrap(true);
  layout->addWidget(note);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

TAccountTransferDialog::TSide TAccountTransferDialog::MakeSide(
    const QString& title, uint32_t account, TDateValue date, const std::string& code,
    const std::string& payee, const std::string& memo, const std::vector<TItemChoice>& accounts,
    QBoxLayout* into) {
  auto* group = new QGroupBox(title, this);
  auto* form = new QFormLayout(group);
  TSide side{};
  side.account = new QComboBox(group);
  for (const TItemChoice& choice : accounts) {
    side.account->addItem(FromModel(choice.name), choice.id);
    if (choice.id == account)
      side.account->setCurrentIndex(side.account->count() - 1);
  }
  form->addRow(QStringLiteral("Account:"), side.account);
  side.date = new QLineEdit(FromModel(TEditDate().Show(date)), group);
  side.date->setMaxLength(static_cast<int>(TEditDate::kFocusTextLimit));
  QLineEdit* dateField = side.date;
  connect(dateField, &QLineEdit::editingFinished, this, [this, dateField] {
    dateField->setText(
        FromModel(TEditDate().Commit(ToModel(dateField->text()).value_or(""), clock_).text));
  });
  form->addRow(QStringLiteral("Date:"), side.date);
  side.code = new QLineEdit(FromModel(code), group);
  side.code->setMaxLength(kCodeLength);
  form->addRow(QStringLiteral("Check #/Code"), side.code);
  side.payee = new QLineEdit(FromModel(payee), group);
  side.payee->setMaxLength(kTextLength);
  form->addRow(QStringLiteral("Payable To:"), side.payee);
  side.memo = new QLineEdit(FromModel(memo), group);
  side.memo->setMaxLength(kTextLength);
  form->addRow(QStringLiteral("Memo:"), side.memo);
  into->addWidget(group);
  return side;
}

bool TAccountTransferDialog::ReadSide(const TSide& side, uint32_t& account, TDateValue& date,
                                      std::string& code, std::string& payee, std::string& memo) {
  std::optional<std::string> codeText =
      ToModelOrRefuse(side.code->text(), side.code, QStringLiteral("code"), user_);
  if (!codeText)
    return false;
  std::optional<std::string> payeeText =
      ToModelOrRefuse(side.payee->text(), side.payee, QStringLiteral("payee"), user_);
  if (!payeeText)
    return false;
  std::optional<std::string> memoText =
      ToModelOrRefuse(side.memo->text(), side.memo, QStringLiteral("memo"), user_);
  if (!memoText)
    return false;
  if (side.account->currentIndex() >= 0)
    account = side.account->currentData().toUInt();
  date = TEditDate().Transfer(ToModel(side.date->text()).value_or(""), clock_);
  code = *codeText;
  payee = *payeeText;
  memo = *memoText;
  return true;
}

void TAccountTransferDialog::accept() {
  TActXferValues values = values_;
  values.amount = TEditFloat().Transfer(ToModel(amount_->text()).value_or("")).Units();
  if (!ReadSide(from_, values.fromAccount, values.fromDate, values.fromCode, values.fromPayee,
                values.fromMemo) ||
      !ReadSide(to_, values.toAccount, values.toDate, values.toCode, values.toPayee,
                values.toMemo)) {
    return;
  }
  if (!ValidateAccountTransfer(values, user_))
    return;
  values_ = values;
  QDialog::accept();
}
