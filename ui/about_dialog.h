#pragma once

#include <QDialog>

/// The about box: the product's picture, its name and "Version 3.1 Build 1004".
class TAboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutDialog(QWidget* parent = nullptr);

  /// The version line as the box shows it.
  static QString VersionText();
};
