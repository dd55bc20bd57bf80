#include "ui/form_preview_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "platform/page_player.h"
#include "ui/form_printout.h"

namespace {

constexpr double kZoomFactors[] = {0.5, 1, 2};
constexpr QSizeF kLetterMm{216, 279};

}  // namespace

TFormWindow::TFormWindow(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Dark);
  viewport()->setAutoFillBackground(true);
}

void TFormWindow::SetPage(const TRecordedPage* page) {
  page_ = page;
  UpdateScrollBars();
  viewport()->update();
}

QSizeF TFormWindow::PageSizeMm() const {
  if (page_ == nullptr || page_->widthMm <= 0 || page_->heightMm <= 0)
    return kLetterMm;
  return {page_->widthMm, page_->heightMm};
}

QSize TFormWindow::PageSizeAtZoom() const {
  const QSizeF mm = PageSizeMm();
  const double factor = kZoomFactors[zoom_];
  return QSize(static_cast<int>(mm.width() * logicalDpiX() / 25.4 * factor),
               static_cast<int>(mm.height() * logicalDpiY() / 25.4 * factor));
}

QSize TFormWindow::VirtualSize() const {
  return PageSizeAtZoom() + QSize(2 * kMargin, 2 * kMargin);
}

void TFormWindow::UpdateScrollBars() {
  const QSize virtualSize = VirtualSize();
  const QSize view = viewport()->size();
  horizontalScrollBar()->setRange(0, std::max(0, virtualSize.width() - view.width()));
  verticalScrollBar()->setRange(0, std::max(0, virtualSize.height() - view.height()));
  horizontalScrollBar()->setPageStep(view.width());
  verticalScrollBar()->setPageStep(view.height());
  horizontalScrollBar()->setSingleStep(kLine);
  verticalScrollBar()->setSingleStep(kLine);
}

void TFormWindow::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void TFormWindow::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QRect page(
      QPoint(kMargin - horizontalScrollBar()->value(), kMargin - verticalScrollBar()->value()),
      PageSizeAtZoom());
  painter.fillRect(page.translated(3, 3), palette().shadow());
  painter.fillRect(page, Qt::white);
  if (page_ != nullptr) {
    const double dotsPerMm = page.width() / PageSizeMm().width();
    PlayPage(*page_, painter, page, {dotsPerMm, dotsPerMm});
  }
}

void TFormWindow::mousePressEvent(QMouseEvent* event) {
  QScrollBar* h = horizontalScrollBar();
  QScrollBar* v = verticalScrollBar();
  const QPoint click = event->position().toPoint();
  const int x = h->value();
  const int y = v->value();
  // The point clicked stays under the mouse: each axis maps through the zoom around it.
  if (event->button() == Qt::LeftButton && zoom_ < 2) {
    ++zoom_;
    UpdateScrollBars();
    h->setValue(kMargin + 2 * (x - kMargin) + click.x());
    v->setValue(kMargin + 2 * (y - kMargin) + click.y());
  } else if (event->button() == Qt::RightButton && zoom_ > 0) {
    --zoom_;
    UpdateScrollBars();
    h->setValue((x - kMargin - click.x()) / 2 + kMargin);
    v->setValue((y - kMargin - click.y()) / 2 + kMargin);
  }
  setFocus();
  viewport()->update();
}

void TFormWindow::wheelEvent(QWheelEvent* event) {
  // Fine-grained wheels send parts of a notch; they add up to whole notches.
  wheelRemainder_ += event->angleDelta().y();
  const int notches = wheelRemainder_ / 120;
  wheelRemainder_ -= notches * 120;
  QScrollBar* v = verticalScrollBar();
  const int step = (event->modifiers() & Qt::ControlModifier) ? v->pageStep() : v->singleStep();
  v->setValue(v->value() - notches * step);
  event->accept();
}

TFormPreviewDialog::TFormPreviewDialog(const CFWEngine& report, QPrinter& printer, QSize size,
                                       QWidget* parent)
    : QDialog(parent), report_(report), printer_(printer), engine_(report), initialSize_(size) {
  setWindowTitle(QStringLiteral("Form Preview"));
  setSizeGripEnabled(true);
  previous_ = new QPushButton(QStringLiteral("&<<"), this);
  next_ = new QPushButton(QStringLiteral("&>>"), this);
  auto* print = new QPushButton(QStringLiteral("&Print"), this);
  auto* close = new QPushButton(QStringLiteral("&Close"), this);
  label_ = new QLabel(this);
  window_ = new TFormWindow(this);
  previous_->setObjectName("previous");
  next_->setObjectName("next");
  print->setObjectName("print");
  close->setObjectName("close");
  label_->setObjectName("page");
  window_->setObjectName("form");
  for (QPushButton* button : {previous_, next_, print, close})
    button->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(previous_);
  buttons->addWidget(next_);
  buttons->addWidget(print);
  buttons->addWidget(close);
  buttons->addSpacing(12);
  buttons->addWidget(label_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(window_, 1);

  connect(previous_, &QPushButton::clicked, this, [this] { ShowPage(page_ - 1); });
  connect(next_, &QPushButton::clicked, this, [this] { ShowPage(page_ + 1); });
  connect(print, &QPushButton::clicked, this, [this] { PrintReport(report_, printer_, this); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  resize(initialSize_);
  ShowPage(1);
}

void TFormPreviewDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (placed_)
    return;
  placed_ = true;
  resize(initialSize_);
  if (QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - rect().center());
}

void TFormPreviewDialog::ShowPage(int page) {
  const int count = std::max(1, report_.GetPageCount());
  page_ = std::clamp(page, 1, count);
  int result = 0;
  // A page whose format cannot be loaded shows as an empty sheet.
  window_->SetPage(engine_.Page(page_, result));
  label_->setText(QStringLiteral("Page %1 of %2").arg(page_).arg(count));
  previous_->setEnabled(page_ > 1);
  next_->setEnabled(page_ < count);
  window_->setFocus();
}
