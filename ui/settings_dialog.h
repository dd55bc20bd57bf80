#pragma once

#include <QDialog>
#include <cstdint>
#include <utility>
#include <vector>

#include "app/ledger_switches.h"
#include "app/vorla_config.h"
#include "core/edit_values.h"

class QCheckBox;
class QFormLayout;
class QLineEdit;

/// One of the configuration dialogs over the fixed settings: check boxes for switches and count
/// fields for numbers, each bound to one field of the settings record. A count field keeps its
/// value within its range (the nearer bound replaces a value outside it). The record changes
/// only when the dialog is closed with OK.
class TSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  using TField = uint32_t TSettingsRecord::*;

  TSettingsDialog(const QString& title, TSettingsRecord& settings, QWidget* parent = nullptr);

  void AddSwitch(TField field, const QString& label);
  /// A switch kept outside the record: `value` is shown now and written on OK.
  void AddSwitch(bool& value, const QString& label);
  /// A count field; `note` is a short text after the field ("Days (0 for never)").
  void AddNumber(TField field, const QString& label, TEditUnsigned rule,
                 const QString& note = QString());

  void accept() override;

  /// "Main Configuration".
  static TSettingsDialog* MainConfiguration(TSettingsRecord& settings, QWidget* parent);
  /// "Account List Configuration".
  static TSettingsDialog* AccountListConfiguration(TSettingsRecord& settings, QWidget* parent);
  /// "Envelope List Configuration".
  static TSettingsDialog* EnvelopeListConfiguration(TSettingsRecord& settings, QWidget* parent);
  /// "Transaction View Setup", with the ledger's typing aids when `switches` is given.
  static TSettingsDialog* TransactionViewSetup(TSettingsRecord& settings, QWidget* parent,
                                               TLedgerSwitches* switches = nullptr);

 private:
  struct TSwitch {
    TField field;
    QCheckBox* box;
  };
  struct TNumber {
    TField field;
    QLineEdit* edit;
    TEditUnsigned rule;
  };

  TSettingsRecord& settings_;
  QFormLayout* form_;
  std::vector<TSwitch> switches_;
  std::vector<TNumber> numbers_;
  std::vector<std::pair<bool*, QCheckBox*>> flags_;
};
