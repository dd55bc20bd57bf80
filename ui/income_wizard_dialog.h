#pragma once

#include <QDialog>
#include <array>

class QLineEdit;

/// "Enter Monthly Income": up to four monthly incomes from which the new budget's first
/// allocation plan is made. Each field takes an amount (or a calculation) and shows it back as
/// money; an empty field is 0.
class TIncomeWizardDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TIncomeWizardDialog(QWidget* parent = nullptr);

  /// The four incomes in currency units, as the dialog hands them over.
  std::array<float, 4> Incomes() const;
  void SetIncomes(const std::array<float, 4>& incomes);
  QLineEdit* Field(int index) const { return fields_[static_cast<size_t>(index)]; }

 private:
  std::array<QLineEdit*, 4> fields_{};
};
