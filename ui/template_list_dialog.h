#pragma once

#include <QDialog>
#include <cstdint>

#include "ui/template_editor_dialog.h"

class QListWidget;
class QPushButton;
class TXTemplateManager;

/// "Transaction Templates": the document's templates by name, with "Add Item" (a new template
/// opened in the editor), "Copy Item", "Properties" (the editor), "Delete Item" (no question)
/// and "Close".
class TTemplateListDialog : public QDialog {
  Q_OBJECT

 public:
  TTemplateListDialog(TXTemplateManager& templates, const TTemplateEditorSetup& setup,
                      QWidget* parent = nullptr);

  QListWidget& List() const { return *list_; }
  void AddItem();
  void CopyItem();
  void EditItem();
  void DeleteItem();

 private:
  /// Fills the list again, choosing the template with `id` (or the first).
  void Reload(uint32_t id);
  uint32_t CurrentId() const;
  void Edit(uint32_t id);
  void UpdateButtons();

  TXTemplateManager& templates_;
  TTemplateEditorSetup setup_;
  QListWidget* list_;
  QPushButton* copy_;
  QPushButton* properties_;
  QPushButton* delete_;
};
