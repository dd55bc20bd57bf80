#include "ui/transaction_filter_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/amount.h"
#include "core/edit_values.h"
#include "core/user_port.h"
#include "ui/model_text.h"

namespace {

QString ShowDate(TDateValue date) {
  return FromModel(TEditDate().Show(date));
}

QString ShowUnits(double units) {
  return FromModel(TEditFloat().Show(TAmount::FromUnits(units)));
}

}  // namespace

TTransactionFilterDialog::TTransactionFilterDialog(const TFilterCriteria& criteria,
                                                   const TFilterDialogSetup& setup, TUserPort& user,
                                                   const TClock& clock, QWidget* parent)
    : QDialog(parent), state_(criteria, setup), user_(user), clock_(clock) {
  setWindowTitle(QStringLiteral("Transaction Filter"));
  auto* grid = new QGridLayout;

  QGroupBox* date = MakeGroup(QStringLiteral(" Date "));
  AddButton(date, TFilterButton::AnyDate, QStringLiteral("Any Date"));
  AddButton(date, TFilterButton::DateRange, QStringLiteral("Range:"));
  fromDate_ = new QLineEdit(date);
  fromDate_->setObjectName(QStringLiteral("fromDate"));
  toDate_ = new QLineEdit(date);
  toDate_->setObjectName(QStringLiteral("toDate"));
  auto* dateRow = new QHBoxLayout;
  dateRow->addWidget(fromDate_);
  dateRow->addWidget(new QLabel(QStringLiteral("To:"), date));
  dateRow->addWidget(toDate_);
  static_cast<QVBoxLayout*>(date->layout())->addLayout(dateRow);
  grid->addWidget(date, 0, 0);

  QGroupBox* amount = MakeGroup(QStringLiteral(" Amount "));
  AddButton(amount, TFilterButton::AnyAmount, QStringLiteral("Any Amount"));
  AddButton(amount, TFilterButton::Deposit, QStringLiteral("Deposit"));
  AddButton(amount, TFilterButton::Payment, QStringLiteral("Payment"));
  AddButton(amount, TFilterButton::AmountRange, QStringLiteral("Range:"));
  fromAmount_ = new QLineEdit(amount);
  toAmount_ = new QLineEdit(amount);
  for (QLineEdit* field : {fromAmount_, toAmount_}) {
    field->setMaxLength(static_cast<int>(TEditFloat::kTextLimit));
    connect(field, &QLineEdit::editingFinished, this, [field] {
      field->setText(FromModel(TEditFloat().Commit(ToModel(field->text()).value_or("")).text));
    });
  }
  for (QLineEdit* field : {fromDate_, toDate_}) {
    field->setMaxLength(static_cast<int>(TEditDate::kFocusTextLimit));
    connect(field, &QLineEdit::editingFinished, this, [this, field] {
      field->setText(
          FromModel(TEditDate().Commit(ToModel(field->text()).value_or(""), clock_).text));
    });
  }
  auto* amountRow = new QHBoxLayout;
  amountRow->addWidget(fromAmount_);
  amountRow->addWidget(new QLabel(QStringLiteral("To:"), amount));
  amountRow->addWidget(toAmount_);
  static_cast<QVBoxLayout*>(amount->layout())->addLayout(amountRow);
  grid->addWidget(amount, 0, 1);

  auto addText = [this](QGroupBox* group, TFilterButton textButton, int limit, QLineEdit*& text,
                        QCheckBox*& exact) {
    AddButton(group, textButton, QStringLiteral("Field Text:"));
    text = new QLineEdit(group);
    text->setMaxLength(limit);
    exact = new QCheckBox(QStringLiteral("Exact"), group);
    auto* row = new QHBoxLayout;
    row->addWidget(text);
    row->addWidget(exact);
    static_cast<QVBoxLayout*>(group->layout())->addLayout(row);
  };

  QGroupBox* code = MakeGroup(QStringLiteral(" Code "));
  AddButton(code, TFilterButton::AnyCode, QStringLiteral("Any Value"));
  AddButton(code, TFilterButton::NumberOnly, QStringLiteral("Number Only"));
  AddButton(code, TFilterButton::NonNumber, QStringLiteral("Non-Number or Mixed"));
  addText(code, TFilterButton::CodeText, static_cast<int>(TFilterCriteria::kCodeTextLimit),
          codeText_, codeExact_);
  grid->addWidget(code, 1, 0);

  QGroupBox* state = MakeGroup(QStringLiteral(" Cleared State "));
  AddButton(state, TFilterButton::AnyState, QStringLiteral("Any State"));
  AddButton(state, TFilterButton::NotClearedOrPending, QStringLiteral("Not Cleared or Pending"));
  AddButton(state, TFilterButton::Cleared, QStringLiteral("Cleared"));
  AddButton(state, TFilterButton::NotCleared, QStringLiteral("Not Cleared"));
  grid->addWidget(state, 1, 1);

  QGroupBox* payee = MakeGroup(QStringLiteral(" Payable To "));
  AddButton(payee, TFilterButton::AnyPayee, QStringLiteral("Any Value"));
  addText(payee, TFilterButton::PayeeText, static_cast<int>(TFilterCriteria::kTextLimit),
          payeeText_, payeeExact_);
  grid->addWidget(payee, 2, 0);

  QGroupBox* memo = MakeGroup(QStringLiteral(" Memo "));
  AddButton(memo, TFilterButton::AnyMemo, QStringLiteral("Any Value"));
  addText(memo, TFilterButton::MemoText, static_cast<int>(TFilterCriteria::kTextLimit), memoText_,
          memoExact_);
  grid->addWidget(memo, 2, 1);

  QGroupBox* item = MakeGroup(FromModel(setup.itemGroupTitle));
  AddButton(item, TFilterButton::AnyItem, QStringLiteral("Any Value"));
  AddButton(item, TFilterButton::Transfer, FromModel(setup.transferLabel));
  AddButton(item, TFilterButton::Multiple, QStringLiteral("Multiple"));
  AddButton(item, TFilterButton::ByItem, FromModel(setup.byItemLabel));
  itemChoice_ = new QComboBox(item);
  for (const TItemChoice& choice : setup.choices) {
    itemChoice_->addItem(FromModel(choice.name), choice.id);
  }
  item->layout()->addWidget(itemChoice_);
  grid->addWidget(item, 3, 0);

  auto* right = new QVBoxLayout;
  QGroupBox* import = MakeGroup(QStringLiteral(" Import "));
  AddButton(import, TFilterButton::AnyImportState, QStringLiteral("Any State"));
  AddButton(import, TFilterButton::NewImportOnly, QStringLiteral("New Import Only"));
  right->addWidget(import);
  QGroupBox* view = MakeGroup(QStringLiteral(" View "));
  AddButton(view, TFilterButton::NormalView, QStringLiteral("Normal View"));
  AddButton(view, TFilterButton::ReconcileView, QStringLiteral("Reconcile View"));
  view->setVisible(state_.ShowsViewSettings());
  right->addWidget(view);
  right->addStretch();
  grid->addLayout(right, 3, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* reset = buttons->addButton(QStringLiteral("Reset"), QDialogButtonBox::ResetRole);
  reset->setObjectName(QStringLiteral("reset"));
  connect(reset, &QPushButton::clicked, this, [this] {
    state_.Reset();
    ShowValues();
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  ShowValues();
}

QGroupBox* TTransactionFilterDialog::MakeGroup(const QString& title) {
  auto* group = new QGroupBox(title, this);
  new QVBoxLayout(group);
  return group;
}

QRadioButton* TTransactionFilterDialog::AddButton(QGroupBox* group, TFilterButton button,
                                                  const QString& text) {
  auto* radio = new QRadioButton(text, group);
  // The state keeps each group exclusive; Qt's own exclusivity would fight it on Reset.
  radio->setAutoExclusive(false);
  radio->setObjectName(QStringLiteral("button%1").arg(static_cast<int>(button)));
  connect(radio, &QRadioButton::clicked, this, [this, button] { Choose(button); });
  group->layout()->addWidget(radio);
  buttons_[button] = radio;
  return radio;
}

QWidget* TTransactionFilterDialog::FieldWidget(TFilterField field) const {
  switch (field) {
    case TFilterField::FromDate:
      return fromDate_;
    case TFilterField::ToDate:
      return toDate_;
    case TFilterField::FromAmount:
      return fromAmount_;
    case TFilterField::ToAmount:
      return toAmount_;
    case TFilterField::CodeText:
      return codeText_;
    case TFilterField::CodeExact:
      return codeExact_;
    case TFilterField::PayeeText:
      return payeeText_;
    case TFilterField::PayeeExact:
      return payeeExact_;
    case TFilterField::MemoText:
      return memoText_;
    case TFilterField::MemoExact:
      return memoExact_;
    case TFilterField::ItemChoice:
      return itemChoice_;
  }
  return nullptr;
}

void TTransactionFilterDialog::Choose(TFilterButton button) {
  std::optional<TFilterField> opened = state_.Choose(button);
  for (const auto& [which, radio] : buttons_)
    radio->setChecked(state_.IsSet(which));
  ShowEnablings();
  if (opened) {
    QWidget* field = FieldWidget(*opened);
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field))
      edit->selectAll();
  }
}

void TTransactionFilterDialog::ShowValues() {
  const TFilterCriteria& values = state_.Values();
  for (const auto& [which, radio] : buttons_)
    radio->setChecked(state_.IsSet(which));
  fromDate_->setText(ShowDate(values.fromDate));
  toDate_->setText(ShowDate(values.toDate));
  fromAmount_->setText(ShowUnits(values.fromAmount));
  toAmount_->setText(ShowUnits(values.toAmount));
  codeText_->setText(FromModel(values.codeText));
  codeExact_->setChecked(values.codeExact);
  payeeText_->setText(FromModel(values.payeeText));
  payeeExact_->setChecked(values.payeeExact);
  memoText_->setText(FromModel(values.memoText));
  memoExact_->setChecked(values.memoExact);
  const int index = itemChoice_->findData(values.itemId);
  itemChoice_->setCurrentIndex(index >= 0 ? index : 0);
  ShowEnablings();
}

void TTransactionFilterDialog::ShowEnablings() {
  for (TFilterField field :
       {TFilterField::FromDate, TFilterField::ToDate, TFilterField::FromAmount,
        TFilterField::ToAmount, TFilterField::CodeText, TFilterField::CodeExact,
        TFilterField::PayeeText, TFilterField::PayeeExact, TFilterField::MemoText,
        TFilterField::MemoExact, TFilterField::ItemChoice}) {
    FieldWidget(field)->setEnabled(state_.IsEnabled(field));
  }
}

bool TTransactionFilterDialog::ReadFields() {
  TFilterCriteria& values = state_.Values();
  std::optional<std::string> code =
      ToModelOrRefuse(codeText_->text(), codeText_, QStringLiteral("code text"), user_);
  if (!code)
    return false;
  std::optional<std::string> payee =
      ToModelOrRefuse(payeeText_->text(), payeeText_, QStringLiteral("payee text"), user_);
  if (!payee)
    return false;
  std::optional<std::string> memo =
      ToModelOrRefuse(memoText_->text(), memoText_, QStringLiteral("memo text"), user_);
  if (!memo)
    return false;
  const TEditDate dateField;
  values.fromDate = dateField.Transfer(ToModel(fromDate_->text()).value_or(""), clock_);
  values.toDate = dateField.Transfer(ToModel(toDate_->text()).value_or(""), clock_);
  const TEditFloat amountField;
  values.fromAmount = amountField.Transfer(ToModel(fromAmount_->text()).value_or("")).Units();
  values.toAmount = amountField.Transfer(ToModel(toAmount_->text()).value_or("")).Units();
  values.codeText = *code;
  values.codeExact = codeExact_->isChecked();
  values.payeeText = *payee;
  values.payeeExact = payeeExact_->isChecked();
  values.memoText = *memo;
  values.memoExact = memoExact_->isChecked();
  if (itemChoice_->currentIndex() >= 0)
    values.itemId = itemChoice_->currentData().toUInt();
  return true;
}

void TTransactionFilterDialog::accept() {
  if (!ReadFields())
    return;
  QDialog::accept();
}
