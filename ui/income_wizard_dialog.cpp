#include "ui/income_wizard_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/edit_values.h"
#include "ui/model_text.h"

namespace {

std::string FieldText(const QLineEdit& field) {
  return ToModel(field.text()).value_or("");
}

}  // namespace

TIncomeWizardDialog::TIncomeWizardDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Enter Monthly Income"));
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      QStringLiteral("Enter up to four monthly income sources. Quenbrook will set up a simple "
                     "Allocation Plan (budget).\n\nUse this as a starting point. At any time, you "
                     "can alter the Allocation Plan by adding and removing income sources and "
                     "envelopes. "),
      this);
  intro->setWordWrap(true);
  intro->setMinimumWidth(intro->fontMetrics().averageCharWidth() * 60);
  layout->addWidget(intro);

  auto* form = new QFormLayout;
  for (size_t i = 0; i < fields_.size(); ++i) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("income%1").arg(i + 1));
    field->setMaxLength(static_cast<int>(TEditFloat::kTextLimit));
    field->setAlignment(Qt::AlignRight);
    field->setText(FromModel(TEditFloat().Show(TAmount())));
    connect(field, &QLineEdit::editingFinished, this, [field] {
      if (field->text().trimmed().isEmpty())
        return;
      field->setText(FromModel(TEditFloat().Commit(FieldText(*field)).text));
    });
    form->addRow(QStringLiteral("Income Source %1: ").arg(i + 1), field);
    fields_[i] = field;
  }
  layout->addLayout(form);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  fields_[0]->setFocus();
  fields_[0]->selectAll();
}

std::array<float, 4> TIncomeWizardDialog::Incomes() const {
  std::array<float, 4> incomes{};
  for (size_t i = 0; i < fields_.size(); ++i)
    incomes[i] = TEditFloat::UnitsForTransfer(TEditFloat().Transfer(FieldText(*fields_[i])));
  return incomes;
}

void TIncomeWizardDialog::SetIncomes(const std::array<float, 4>& incomes) {
  for (size_t i = 0; i < fields_.size(); ++i)
    fields_[i]->setText(FromModel(TEditFloat().Show(TEditFloat::FromTransferUnits(incomes[i]))));
}
