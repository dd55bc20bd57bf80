#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class TUserPort;

/// A selection dialog over names ("Select Template"): the window title the model gives, the
/// names in a list, OK and Cancel. OK is only possible with a name chosen; a double click
/// chooses at once.
class TNameChooserDialog : public QDialog {
  Q_OBJECT

 public:
  TNameChooserDialog(const QString& title, const std::vector<std::string>& names,
                     QWidget* parent = nullptr);
  /// The 0-based position of the chosen name, or nothing.
  std::optional<size_t> Chosen() const;

 private:
  QListWidget* list_;
};

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
