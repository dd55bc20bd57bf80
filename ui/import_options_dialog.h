#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class TClock;
class TImportDialogState;
class TUserPort;

/// "Import Transactions" (TImportXDlg): the options of a statement import for one account,
/// which "..." may change. The state decides everything; the dialog shows its options, writes
/// the user's changes back into them, and refuses "Import..." while a type code holds a
/// character the budget cannot store.
class TImportXDlg : public QDialog {
  Q_OBJECT

 public:
  TImportXDlg(TImportDialogState& state, TUserPort& user, const TClock& clock,
              QWidget* parent = nullptr);

  void accept() override;

 private:
  /// Shows the state's account and options.
  void ShowState();
  /// Reads the controls into the state's options; false when a text was refused.
  bool ReadFields();

  TImportDialogState& state_;
  TUserPort& user_;
  const TClock& clock_;
  QLineEdit* account_;
  QRadioButton* automatic_;
  QRadioButton* importAll_;
  QCheckBox* onlyNewer_;
  QLineEdit* date_;
  QCheckBox* ignoreCheckNumbers_;
  QComboBox* envelope_;
  QCheckBox* copyPayableTo_;
  QLineEdit* codePositive_;
  QLineEdit* codeNegative_;
};
