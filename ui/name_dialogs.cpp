#include "ui/name_dialogs.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/model_text.h"

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
