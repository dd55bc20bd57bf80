#include "ui/template_list_dialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "core/id_object_list.h"
#include "planning/template_manager.h"
#include "ui/model_text.h"

TTemplateListDialog::TTemplateListDialog(TXTemplateManager& templates,
                                         const TTemplateEditorSetup& setup, QWidget* parent)
    : QDialog(parent), templates_(templates), setup_(setup) {
  setObjectName(QStringLiteral("templateList"));
  setWindowTitle(QStringLiteral("Transaction Templates"));
  auto* layout = new QHBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("templates"));
  list_->setMinimumWidth(list_->fontMetrics().averageCharWidth() * 40);
  layout->addWidget(list_, 1);
  auto* buttons = new QVBoxLayout();
  auto button = [this, buttons](const char* text, const char* name) {
    auto* made = new QPushButton(QString::fromLatin1(text), this);
    made->setObjectName(QLatin1String(name));
    made->setAutoDefault(false);
    buttons->addWidget(made);
    return made;
  };
  QPushButton* add = button("&Add Item", "addItem");
  copy_ = button("&Copy Item", "copyItem");
  properties_ = button("&Properties", "properties");
  delete_ = button("&Delete Item", "deleteItem");
  buttons->addStretch(1);
  QPushButton* close = button("Close", "close");
  layout->addLayout(buttons);
  connect(add, &QPushButton::clicked, this, &TTemplateListDialog::AddItem);
  connect(copy_, &QPushButton::clicked, this, &TTemplateListDialog::CopyItem);
  connect(properties_, &QPushButton::clicked, this, &TTemplateListDialog::EditItem);
  connect(delete_, &QPushButton::clicked, this, &TTemplateListDialog::DeleteItem);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(list_, &QListWidget::itemDoubleClicked, this, &TTemplateListDialog::EditItem);
  connect(list_, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
  Reload(0);
}

void TTemplateListDialog::Reload(uint32_t id) {
  // Shown by name, A to Z, whatever the case.
  std::vector<const TXTemplate*> sorted;
  for (size_t i = 1; i <= templates_.Count(); ++i)
    sorted.push_back(templates_.At(i));
  std::stable_sort(sorted.begin(), sorted.end(), [](const TXTemplate* a, const TXTemplate* b) {
    return LessNoCase(a->Name(), b->Name());
  });
  list_->clear();
  for (const TXTemplate* item : sorted) {
    auto* row = new QListWidgetItem(FromModel(item->Name()), list_);
    row->setData(Qt::UserRole, item->Id());
    if (item->Id() == id)
      list_->setCurrentItem(row);
  }
  if (list_->currentItem() == nullptr && list_->count() > 0)
    list_->setCurrentRow(0);
  UpdateButtons();
}

uint32_t TTemplateListDialog::CurrentId() const {
  const QListWidgetItem* row = list_->currentItem();
  return row != nullptr ? row->data(Qt::UserRole).toUInt() : 0;
}

void TTemplateListDialog::UpdateButtons() {
  const bool chosen = CurrentId() != 0;
  copy_->setEnabled(chosen);
  properties_->setEnabled(chosen);
  delete_->setEnabled(chosen);
}

void TTemplateListDialog::Edit(uint32_t id) {
  if (TXTemplate* edited = templates_.Find(id)) {
    TXTemplatePropertiesDialog editor(*edited, setup_, this);
    editor.exec();
  }
  Reload(id);
}

void TTemplateListDialog::AddItem() {
  // The editor has no cancel, so the new template always stays.
  Edit(templates_.AddNew().Id());
}

void TTemplateListDialog::CopyItem() {
  if (const TXTemplate* copy = templates_.Copy(CurrentId()))
    Reload(copy->Id());
}

void TTemplateListDialog::EditItem() {
  if (const uint32_t id = CurrentId())
    Edit(id);
}

void TTemplateListDialog::DeleteItem() {
  const uint32_t id = CurrentId();
  if (id == 0 || !templates_.Remove(id))
    return;
  // A deletion is a change of the budget like any other: it must reach the file.
  templates_.SetModified();
  Reload(0);
}
