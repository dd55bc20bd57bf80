#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "core/item_properties.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class TUserPort;

/// The properties dialog of a node of either tree: a name that must be unique among the other
/// nodes, and whichever of description, account type, default envelope, threshold and the
/// allocation-plan switch the kind of node has. The dialog changes nothing itself; its owner
/// reads the values back after OK. OK is refused, with the dialog left open, while the name is
/// empty or taken or a text holds a character that a budget file cannot store.
class TNodePropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  TNodePropertiesDialog(const QString& title, const std::string& name,
                        std::vector<std::string> takenNames, TUserPort& user,
                        QWidget* parent = nullptr);

  void AddDescription(const std::string& description);
  void AddAccountType(uint32_t type);
  void AddDefaultEnvelope(const std::vector<TItemChoice>& envelopes, uint32_t current);
  void AddThreshold(float threshold);
  void AddInAllocationPlan(bool inPlan);

  /// The values after OK (names and texts in the file encoding).
  const std::string& Name() const { return name_; }
  const std::string& Description() const { return description_; }
  uint32_t AccountType() const;
  uint32_t DefaultEnvelope() const;
  float Threshold() const;
  bool InAllocationPlan() const;

  void accept() override;

 private:
  std::vector<std::string> takenNames_;
  TUserPort& user_;
  QFormLayout* form_;
  QLineEdit* nameEdit_;
  QLineEdit* descriptionEdit_ = nullptr;
  QComboBox* typeBox_ = nullptr;
  QComboBox* envelopeBox_ = nullptr;
  QLineEdit* thresholdEdit_ = nullptr;
  QCheckBox* inPlanBox_ = nullptr;
  std::string name_;
  std::string description_;
  float threshold_ = 0.0f;
};
