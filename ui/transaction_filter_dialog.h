#pragma once

#include <QDialog>
#include <map>

#include "core/filter_criteria.h"
#include "presentation/filter_dialog_state.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QWidget;
class TClock;
class TUserPort;

/// "Transaction Filter": the criteria of a ledger or report filter, one group of buttons per
/// criterion with the fields that the group's selecting button opens. Which buttons are set and
/// which fields are open is kept by the dialog state of the model; this window only shows it.
/// "Reset" brings back what the dialog showed when it opened.
class TTransactionFilterDialog : public QDialog {
  Q_OBJECT

 public:
  TTransactionFilterDialog(const TFilterCriteria& criteria, const TFilterDialogSetup& setup,
                           TUserPort& user, const TClock& clock, QWidget* parent = nullptr);

  /// The criteria after OK.
  const TFilterCriteria& Criteria() const { return state_.Values(); }

  void accept() override;

 private:
  QRadioButton* AddButton(QGroupBox* group, TFilterButton button, const QString& text);
  QGroupBox* MakeGroup(const QString& title);
  void Choose(TFilterButton button);
  void ShowValues();
  void ShowEnablings();
  QWidget* FieldWidget(TFilterField field) const;
  /// Reads the fields into the state; false (with the user told) when a text cannot be stored.
  bool ReadFields();

  TFilterDialogState state_;
  TUserPort& user_;
  const TClock& clock_;
  std::map<TFilterButton, QRadioButton*> buttons_;
  QLineEdit* fromDate_ = nullptr;
  QLineEdit* toDate_ = nullptr;
  QLineEdit* fromAmount_ = nullptr;
  QLineEdit* toAmount_ = nullptr;
  QLineEdit* codeText_ = nullptr;
  QCheckBox* codeExact_ = nullptr;
  QLineEdit* payeeText_ = nullptr;
  QCheckBox* payeeExact_ = nullptr;
  QLineEdit* memoText_ = nullptr;
  QCheckBox* memoExact_ = nullptr;
  QComboBox* itemChoice_ = nullptr;
};
