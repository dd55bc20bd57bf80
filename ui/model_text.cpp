#include "ui/model_text.h"

#include <QLineEdit>
#include <QStringDecoder>
#include <QWidget>

#include "core/cp1252.h"
#include "core/user_port.h"

QString FromModel(const std::string& text) {
  return QString::fromStdString(Cp1252ToUtf8(text));
}

QString FromMessage(const std::string& text) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString decoded = utf8(QByteArray::fromStdString(text));
  return utf8.hasError() ? FromModel(text) : decoded;
}

std::optional<std::string> ToModel(const QString& text) {
  return Utf8ToCp1252(text.toStdString());
}

std::optional<std::string> ToModelOrRefuse(const QString& text, QWidget* field,
                                           const QString& fieldName, TUserPort& user) {
  std::optional<std::string> converted = ToModel(text);
  if (converted)
    return converted;
  user.Beep();
  user.Tell("Error",
            "The " + fieldName.toStdString() +
                " holds a character that a Quenbrook file cannot store.  Please use only the "
                "letters, digits and signs of Western European languages.",
            TMessageIcon::Error);
  if (field != nullptr) {
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field))
      edit->selectAll();
  }
  return std::nullopt;
}
