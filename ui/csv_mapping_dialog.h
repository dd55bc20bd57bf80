#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QTableWidget;
class TCsvMappingState;

/// "Import CSV File": which columns of a CSV statement hold the date, the amount (or debit and
/// credit), the payee, the memo and the check number, and how dates and amounts are written,
/// with a preview of the first rows as they will be read. The state decides everything; the
/// dialog writes each choice into its mapping at once, shows the preview again, and offers OK
/// only while some row reads.
class TCsvMappingDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TCsvMappingDialog(TCsvMappingState& state, QWidget* parent = nullptr);

 private:
  /// A column choice: "(none)" and the table's columns.
  QComboBox* ColumnChoice(const char* name);
  /// Shows the mapping in the controls.
  void ShowMapping();
  /// Reads the controls into the mapping; `changed` is the control the user just set.
  void ReadControls(QObject* changed);
  /// Shows the preview and enables OK.
  void ShowPreview();

  TCsvMappingState& state_;
  QCheckBox* header_;
  QComboBox* date_;
  QComboBox* amount_;
  QComboBox* debit_;
  QComboBox* credit_;
  QComboBox* payee_;
  QComboBox* memo_;
  QComboBox* check_;
  QComboBox* dateOrder_;
  QComboBox* decimalMark_;
  QCheckBox* debitPositive_;
  QTableWidget* preview_;
  QDialogButtonBox* buttons_;
  bool showing_ = false;
};
