#pragma once

#include <QDialog>
#include <vector>

#include "core/account_transfer_values.h"
#include "core/item_properties.h"

class QBoxLayout;
class QComboBox;
class QLineEdit;
class TClock;

/// "Account Transfer": the amount of a transfer between two accounts and each side's account,
/// date, code, payee and memo. The values the model passes in come back on OK, after the model's
/// check; a refused check keeps the dialog open. The envelope-transfer part of the values is
/// carried through unseen, as the dialog has never shown it.
class TAccountTransferDialog : public QDialog {
  Q_OBJECT

 public:
  TAccountTransferDialog(const TActXferValues& values, const std::vector<TItemChoice>& accounts,
                         TUserPort& user, const TClock& clock, QWidget* parent = nullptr);

  /// The values after OK.
  const TActXferValues& Values() const { return values_; }

  void accept() override;

 private:
  struct TSide {
    QComboBox* account;
    QLineEdit* date;
    QLineEdit* code;
    QLineEdit* payee;
    QLineEdit* memo;
  };
  TSide MakeSide(const QString& title, uint32_t account, TDateValue date, const std::string& code,
                 const std::string& payee, const std::string& memo,
                 const std::vector<TItemChoice>& accounts, QBoxLayout* into);
  /// Reads one side; false when a text cannot be stored (the user was told).
  bool ReadSide(const TSide& side, uint32_t& account, TDateValue& date, std::string& code,
                std::string& payee, std::string& memo);

  TActXferValues values_;
  TUserPort& user_;
  const TClock& clock_;
  QLineEdit* amount_;
  TSide from_;
  TSide to_;
};
