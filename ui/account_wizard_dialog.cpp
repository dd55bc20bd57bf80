#include "ui/account_wizard_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/account_list.h"
#include "core/clock.h"
#include "core/edit_values.h"
#include "core/user_port.h"
#include "ui/model_text.h"

namespace {

constexpr int kNameLength = 31;
constexpr int kDescriptionLength = 1023;

}  // namespace

TAccountWizardDialog::TAccountWizardDialog(TAdder adder, TUserPort& user, const TClock& clock,
                                           QWidget* parent)
    : QDialog(parent), adder_(std::move(adder)), user_(user), clock_(clock) {
  setWindowTitle(QStringLiteral("Add New Account"));
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      QStringLiteral("Enter the accounts that hold your money: checking and savings accounts, "
                     "cash, credit cards.  Press Add after each one; press Finish after the "
                     "last.  The starting balance of each account goes into the envelope "
                     "\"Unallocated\"."),
      this);
  intro->setWordWrap(true);
  layout->addWidget(intro);

  auto* form = new QFormLayout;
  nameEdit_ = new QLineEdit(this);
  nameEdit_->setObjectName(QStringLiteral("name"));
  nameEdit_->setMaxLength(kNameLength);
  nameEdit_->setMinimumWidth(nameEdit_->fontMetrics().averageCharWidth() * 36);
  form->addRow(QStringLiteral("Account &Name:"), nameEdit_);
  descriptionEdit_ = new QLineEdit(this);
  descriptionEdit_->setObjectName(QStringLiteral("description"));
  descriptionEdit_->setMaxLength(kDescriptionLength);
  form->addRow(QStringLiteral("&Description:"), descriptionEdit_);
  typeBox_ = new QComboBox(this);
  typeBox_->setObjectName(QStringLiteral("type"));
  TAccountTypeList types;
  for (size_t id = 1; id <= types.Count(); ++id) {
    typeBox_->addItem(FromModel(types.NameOfId(static_cast<uint32_t>(id))));
  }
  form->addRow(QStringLiteral("Account &Type:"), typeBox_);
  balanceEdit_ = new QLineEdit(this);
  balanceEdit_->setObjectName(QStringLiteral("startingBalance"));
  balanceEdit_->setMaxLength(static_cast<int>(TEditFloat::kTextLimit));
  connect(balanceEdit_, &QLineEdit::editingFinished, this, [this] {
    if (balanceEdit_->text().trimmed().isEmpty())
      return;
    balanceEdit_->setText(
        FromModel(TEditFloat().Commit(ToModel(balanceEdit_->text()).value_or("")).text));
  });
  form->addRow(QStringLiteral("Starting &Balance:"), balanceEdit_);
  dateEdit_ = new QLineEdit(this);
  dateEdit_->setObjectName(QStringLiteral("startingDate"));
  dateEdit_->setMaxLength(static_cast<int>(TEditDate::kFocusTextLimit));
  connect(dateEdit_, &QLineEdit::editingFinished, this, [this] {
    dateEdit_->setText(
        FromModel(TEditDate().Commit(ToModel(dateEdit_->text()).value_or(""), clock_).text));
  });
  form->addRow(QStringLiteral("Starting Dat&e:"), dateEdit_);
  layout->addLayout(form);

  layout->addWidget(new QLabel(QStringLiteral("Accounts added:"), this));
  madeList_ = new QListWidget(this);
  madeList_->setObjectName(QStringLiteral("accountsAdded"));
  madeList_->setFocusPolicy(Qt::NoFocus);
  madeList_->setMaximumHeight(madeList_->fontMetrics().height() * 6);
  layout->addWidget(madeList_);

  auto* add = new QPushButton(QStringLiteral("&Add"), this);
  add->setObjectName(QStringLiteral("add"));
  auto* finish = new QPushButton(QStringLiteral("&Finish"), this);
  finish->setObjectName(QStringLiteral("finish"));
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("cancel"));
  // Enter adds the account, so that several can be typed without the mouse.
  add->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(add);
  buttons->addWidget(finish);
  buttons->addWidget(cancel);
  connect(add, &QPushButton::clicked, this, [this] { AddEntry(); });
  connect(finish, &QPushButton::clicked, this, &TAccountWizardDialog::Finish);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  layout->addLayout(buttons);
  ClearFields();
}

void TAccountWizardDialog::ClearFields() {
  nameEdit_->clear();
  descriptionEdit_->clear();
  typeBox_->setCurrentIndex(0);
  balanceEdit_->clear();
  dateEdit_->setText(FromModel(TEditDate().Show(clock_.Today())));
  nameEdit_->setFocus();
}

bool TAccountWizardDialog::AddEntry() {
  // An empty name is refused here, with the message the properties dialogs give: being told
  // that an empty name "has already been used" would only puzzle.
  if (nameEdit_->text().trimmed().isEmpty()) {
    user_.Beep();
    user_.Tell("Error", "You must provide a label.", TMessageIcon::Error);
    nameEdit_->setFocus();
    return false;
  }
  std::optional<std::string> name =
      ToModelOrRefuse(nameEdit_->text(), nameEdit_, QStringLiteral("account name"), user_);
  if (!name)
    return false;
  std::optional<std::string> description = ToModelOrRefuse(
      descriptionEdit_->text(), descriptionEdit_, QStringLiteral("description"), user_);
  if (!description)
    return false;
  TWizardAccount entry;
  entry.name = *name;
  entry.description = *description;
  entry.type = static_cast<uint32_t>(typeBox_->currentIndex() + 1);
  entry.startingBalance = TEditFloat().Transfer(ToModel(balanceEdit_->text()).value_or("")).Units();
  entry.startingDate = TEditDate().Transfer(ToModel(dateEdit_->text()).value_or(""), clock_);
  // The starting balance is a transaction, and a transaction needs a real date.
  if (!entry.startingDate.IsValid()) {
    user_.Tell("Error", "Please enter the starting date as month/day/year.",
               TMessageIcon::Exclamation);
    dateEdit_->setFocus();
    dateEdit_->selectAll();
    return false;
  }
  if (!adder_(entry)) {
    nameEdit_->setFocus();
    nameEdit_->selectAll();
    return false;
  }
  ++accountsMade_;
  madeList_->addItem(nameEdit_->text());
  ClearFields();
  return true;
}

void TAccountWizardDialog::Finish() {
  if (!nameEdit_->text().isEmpty() && !AddEntry())
    return;
  if (accountsMade_ == 0) {
    user_.Tell("Quenbrook",
               "Enter at least one account and press Add.  A budget needs an account to hold "
               "its money.",
               TMessageIcon::Information);
    nameEdit_->setFocus();
    return;
  }
  accept();
}
