#pragma once

#include <QAbstractScrollArea>
#include <QDialog>

#include "reports/form_engine_imp.h"

class QLabel;
class QPrinter;
class QPushButton;

/// Shows one finished page at three zoom levels (half, full and double the page's real size on
/// the screen) with a margin around it. A left click zooms in around the point clicked, a right
/// click zooms out; the wheel scrolls a line per notch, a page with Control.
class TFormWindow : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr int kMargin = 16;
  static constexpr int kLine = 20;

  explicit TFormWindow(QWidget* parent = nullptr);

  /// The page to show (null for none); it must live until the next call.
  void SetPage(const TRecordedPage* page);
  int ZoomLevel() const { return zoom_; }
  /// The page at the current zoom level with its margins.
  QSize VirtualSize() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QSizeF PageSizeMm() const;
  QSize PageSizeAtZoom() const;
  void UpdateScrollBars();

  const TRecordedPage* page_ = nullptr;
  int zoom_ = 1;
  int wheelRemainder_ = 0;
};

/// "Form Preview": the pages of a report one at a time, with buttons to move between them and to
/// print. It opens at the size it is given, centred on the screen; after it closes, size() is
/// the size the user left it at.
class TFormPreviewDialog : public QDialog {
  Q_OBJECT

 public:
  TFormPreviewDialog(const CFWEngine& report, QPrinter& printer, QSize size,
                     QWidget* parent = nullptr);

  int CurrentPage() const { return page_; }
  TFormWindow* FormWindow() const { return window_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowPage(int page);

  const CFWEngine& report_;
  QPrinter& printer_;
  CFWEngineImp engine_;
  QSize initialSize_;
  bool placed_ = false;
  int page_ = 1;
  TFormWindow* window_;
  QPushButton* previous_;
  QPushButton* next_;
  QLabel* label_;
};
