#include "ui/envelope_chooser_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/model_text.h"

TEnvelopeChooserDialog::TEnvelopeChooserDialog(const QString& title, const QString& explanation,
                                               const QString& listLabel,
                                               const std::vector<TItemChoice>& choices,
                                               uint32_t current, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  if (!explanation.isEmpty()) {
    auto* text = new QLabel(explanation, this);
    text->setWordWrap(true);
    layout->addWidget(text);
  }
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("envelopes"));
  if (!listLabel.isEmpty()) {
    auto* label = new QLabel(listLabel, this);
    layout->addWidget(label);
    label->setBuddy(list_);
  }
  for (const TItemChoice& choice : choices) {
    auto* item = new QListWidgetItem(FromModel(choice.name), list_);
    item->setData(Qt::UserRole, choice.id);
    if (choice.id == current)
      list_->setCurrentItem(item);
  }
  if (list_->currentItem() == nullptr && list_->count() > 0)
    list_->setCurrentRow(0);
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(list_->currentItem() != nullptr);
  connect(list_, &QListWidget::currentItemChanged, this,
          [ok](QListWidgetItem* item) { ok->setEnabled(item != nullptr); });
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

uint32_t TEnvelopeChooserDialog::Chosen() const {
  const QListWidgetItem* item = list_->currentItem();
  return item != nullptr ? item->data(Qt::UserRole).toUInt() : 0;
}
