#include "ui/name_dialogs.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/model_text.h"

TNameChooserDialog::TNameChooserDialog(const QString& title, const std::vector<std::string>& names,
                                       QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("nameChooserDialog"));
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("names"));
  for (const std::string& name : names)
    list_->addItem(FromModel(name));
  if (list_->count() > 0)
    list_->setCurrentRow(0);
  list_->setMinimumWidth(list_->fontMetrics().averageCharWidth() * 40);
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

std::optional<size_t> TNameChooserDialog::Chosen() const {
  const int row = list_->currentRow();
  if (row < 0)
    return std::nullopt;
  return static_cast<size_t>(row);
}

TEditStringDialog::TEditStringDialog(const QString& title, const QString& prompt,
                                     const std::string& text, TUserPort& user, QWidget* parent)
    : QDialog(parent), text_(text) {
  setObjectName(QStringLiteral("editStringDialog"));
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(prompt, this);
  layout->addWidget(label);
  field_ = new QLineEdit(FromModel(text), this);
  field_->setObjectName(QStringLiteral("stringField"));
  field_->setMinimumWidth(field_->fontMetrics().averageCharWidth() * 50);
  label->setBuddy(field_);
  layout->addWidget(field_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this, prompt, &user] {
    QString fieldName = prompt;
    fieldName.remove(QLatin1Char('&'));
    if (fieldName.endsWith(QLatin1Char(':')))
      fieldName.chop(1);
    if (std::optional<std::string> accepted =
            ToModelOrRefuse(field_->text(), field_, fieldName, user)) {
      text_ = *accepted;
      accept();
    }
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}
