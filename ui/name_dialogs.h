#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class TUserPort;

/// "Edit String": one line of text under a title and a prompt, OK and Cancel. Text that a budget
/// file cannot store is refused on OK and the dialog stays open.
class TEditStringDialog : public QDialog {
  Q_OBJECT

 public:
  TEditStringDialog(const QString& title, const QString& prompt, const std::string& text,
                    TUserPort& user, QWidget* parent = nullptr);
  /// The accepted text in the file encoding.
  const std::string& Text() const { return text_; }

 private:
  QLineEdit* field_;
  std::string text_;
};
