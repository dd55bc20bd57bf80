#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

#include "core/item_properties.h"

class QListWidget;

/// A dialog that asks for one envelope out of a list: "Choose Envelope" for the commands that
/// need a target, and "Delete Envelope" for the envelope that takes over from a deleted one.
/// OK is only possible with an envelope chosen.
class TEnvelopeChooserDialog : public QDialog {
  Q_OBJECT

 public:
  /// `explanation` and `listLabel` may be empty; `current` is chosen at the start when it is in the
  /// list, otherwise the first envelope is.
  TEnvelopeChooserDialog(const QString& title, const QString& explanation, const QString& listLabel,
                         const std::vector<TItemChoice>& choices, uint32_t current,
                         QWidget* parent = nullptr);

  /// The identifier of the chosen envelope; 0 when none is.
  uint32_t Chosen() const;

 private:
  QListWidget* list_;
};
