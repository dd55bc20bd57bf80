#pragma once

#include <QMainWindow>

/// The program's frame: one window whose children are the ledgers and the two list windows.
class TMainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainWindow(QWidget* parent = nullptr);
};
