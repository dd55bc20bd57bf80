#include "ui/node_properties_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/account_list.h"
#include "core/edit_values.h"
#include "core/unique_label.h"
#include "core/user_port.h"
#include "ui/model_text.h"

namespace {

// Names hold 31 characters and descriptions 1023, as their stored fields do.
constexpr int kNameLength = 31;
constexpr int kDescriptionLength = 1023;

}  // namespace

TNodePropertiesDialog::TNodePropertiesDialog(const QString& title, const std::string& name,
                                             std::vector<std::string> takenNames, TUserPort& user,
                                             QWidget* parent)
    : QDialog(parent), takenNames_(std::move(takenNames)), user_(user) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  form_ = new QFormLayout;
  layout->addLayout(form_);
  nameEdit_ = new QLineEdit(FromModel(name), this);
  nameEdit_->setObjectName(QStringLiteral("name"));
  nameEdit_->setMaxLength(kNameLength);
  nameEdit_->setMinimumWidth(nameEdit_->fontMetrics().averageCharWidth() * 36);
  form_->addRow(QStringLiteral("&Name:"), nameEdit_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void TNodePropertiesDialog::AddDescription(const std::string& description) {
  descriptionEdit_ = new QLineEdit(FromModel(description), this);
  descriptionEdit_->setObjectName(QStringLiteral("description"));
  descriptionEdit_->setMaxLength(kDescriptionLength);
  form_->addRow(QStringLiteral("&Description:"), descriptionEdit_);
}

void TNodePropertiesDialog::AddAccountType(uint32_t type) {
  typeBox_ = new QComboBox(this);
  typeBox_->setObjectName(QStringLiteral("type"));
  TAccountTypeList types;
  for (size_t id = 1; id <= types.Count(); ++id) {
    typeBox_->addItem(FromModel(types.NameOfId(static_cast<uint32_t>(id))));
  }
  const int index = static_cast<int>(type) - 1;
  typeBox_->setCurrentIndex(index >= 0 && index < typeBox_->count() ? index : 0);
  form_->addRow(QStringLiteral("Account &Type:"), typeBox_);
}

void TNodePropertiesDialog::AddDefaultEnvelope(const std::vector<TItemChoice>& envelopes,
                                               uint32_t current) {
  envelopeBox_ = new QComboBox(this);
  envelopeBox_->setObjectName(QStringLiteral("defaultEnvelope"));
  for (const TItemChoice& choice : envelopes) {
    envelopeBox_->addItem(FromModel(choice.name), choice.id);
    if (choice.id == current)
      envelopeBox_->setCurrentIndex(envelopeBox_->count() - 1);
  }
  form_->addRow(QStringLiteral("Default &Envelope:"), envelopeBox_);
}

void TNodePropertiesDialog::AddThreshold(float threshold) {
  thresholdEdit_ = new QLineEdit(this);
  thresholdEdit_->setObjectName(QStringLiteral("threshold"));
  thresholdEdit_->setMaxLength(static_cast<int>(TEditFloat::kTextLimit));
  const TEditFloat field;
  thresholdEdit_->setText(FromModel(field.Show(TEditFloat::FromTransferUnits(threshold))));
  connect(thresholdEdit_, &QLineEdit::editingFinished, this, [this] {
    const TEditFloat amountField;
    std::optional<std::string> typed = ToModel(thresholdEdit_->text());
    thresholdEdit_->setText(FromModel(amountField.Commit(typed.value_or("")).text));
  });
  form_->addRow(QStringLiteral("&Threshold:"), thresholdEdit_);
}

void TNodePropertiesDialog::AddInAllocationPlan(bool inPlan) {
  inPlanBox_ = new QCheckBox(QStringLiteral("Include Envelope in &Allocation Plan"), this);
  inPlanBox_->setObjectName(QStringLiteral("inAllocationPlan"));
  inPlanBox_->setChecked(inPlan);
  form_->addRow(QString(), inPlanBox_);
}

uint32_t TNodePropertiesDialog::AccountType() const {
  return typeBox_ != nullptr ? static_cast<uint32_t>(typeBox_->currentIndex() + 1) : 1;
}

uint32_t TNodePropertiesDialog::DefaultEnvelope() const {
  return envelopeBox_ != nullptr ? envelopeBox_->currentData().toUInt() : 0;
}

float TNodePropertiesDialog::Threshold() const {
  return threshold_;
}

bool TNodePropertiesDialog::InAllocationPlan() const {
  return inPlanBox_ != nullptr && inPlanBox_->isChecked();
}

void TNodePropertiesDialog::accept() {
  std::optional<std::string> name =
      ToModelOrRefuse(nameEdit_->text(), nameEdit_, QStringLiteral("name"), user_);
  if (!name)
    return;
  std::optional<std::string> description = std::string();
  if (descriptionEdit_ != nullptr) {
    description = ToModelOrRefuse(descriptionEdit_->text(), descriptionEdit_,
                                  QStringLiteral("description"), user_);
    if (!description)
      return;
  }
  std::optional<std::string> unique = CheckUniqueLabel(*name, takenNames_, user_);
  if (!unique) {
    nameEdit_->setFocus();
    nameEdit_->selectAll();
    return;
  }
  if (thresholdEdit_ != nullptr) {
    const TEditFloat field;
    threshold_ =
        TEditFloat::UnitsForTransfer(field.Transfer(ToModel(thresholdEdit_->text()).value_or("")));
  }
  name_ = *unique;
  description_ = *description;
  QDialog::accept();
}
