#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

#include "transactions/account_wizard.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class TClock;
class TUserPort;

/// "Add New Account": the wizard that a new budget runs to make its first accounts, one after
/// the other. "Add" makes the account in the fields and clears them for the next; "Finish" makes
/// the account still in the fields (if a name is typed) and closes. The wizard has succeeded
/// when at least one account was made, however it is closed: "Cancel" only drops the entry not
/// yet added.
class TAccountWizardDialog : public QDialog {
  Q_OBJECT

 public:
  /// Makes one account; false when the model refused it (and told the user why).
  using TAdder = std::function<bool(const TWizardAccount&)>;

  TAccountWizardDialog(TAdder adder, TUserPort& user, const TClock& clock,
                       QWidget* parent = nullptr);

  /// The number of accounts made so far.
  int AccountsMade() const { return accountsMade_; }

 private:
  /// Makes the account in the fields; true when it was made.
  bool AddEntry();
  void Finish();
  void ClearFields();

  TAdder adder_;
  TUserPort& user_;
  const TClock& clock_;
  QLineEdit* nameEdit_;
  QLineEdit* descriptionEdit_;
  QComboBox* typeBox_;
  QLineEdit* balanceEdit_;
  QLineEdit* dateEdit_;
  QListWidget* madeList_;
  int accountsMade_ = 0;
};
