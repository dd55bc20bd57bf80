#include "ui/enhanced_list_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "core/tree_window_layout.h"
#include "ui/main_frame.h"
#include "ui/model_text.h"
#include "ui/placement.h"
#include "ui/undo_steps.h"

namespace {

// One step of the wheel, as mice report it.
constexpr int kWheelStep = 120;

QFont RowFont(const QFont& base, const TTreeItem& node) {
  QFont font = base;
  // The root carries the total of the whole tree.
  if (node.Parent() == nullptr)
    font.setBold(true);
  return font;
}

}  // namespace

TEnhancedListView::TEnhancedListView(TEnhancedListWindow& window)
    : QAbstractScrollArea(&window), window_(window) {
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setMouseTracking(false);
}

TRowHit TEnhancedListView::HitAt(const QPoint& point) const {
  if (window_.list_ == nullptr)
    return {};
  return window_.geometry_.Hit(*window_.list_, point.x(), point.y(), horizontalScrollBar()->value(),
                               verticalScrollBar()->value());
}

void TEnhancedListView::UpdateRanges() {
  const TRowGeometry& geometry = window_.geometry_;
  int widest = 0;
  int rows = 0;
  if (window_.list_ != nullptr) {
    rows = static_cast<int>(window_.Rows().size());
    const QFont base = font();
    widest = window_.list_->WidestText(
        window_.options_(), [&](const TTreeItem& node, std::string_view text) {
          const QFontMetrics metrics(RowFont(base, node));
          return (node.Depth() + 1) * geometry.columnWidth + 2 +
                 metrics.horizontalAdvance(FromModel(std::string(text))) + 4;
        });
  }
  const QSize area = viewport()->size();
  verticalScrollBar()->setSingleStep(geometry.rowHeight);
  verticalScrollBar()->setPageStep(std::max(1, area.height()));
  verticalScrollBar()->setRange(0, std::max(0, rows * geometry.rowHeight - area.height()));
  horizontalScrollBar()->setSingleStep(geometry.columnWidth);
  horizontalScrollBar()->setPageStep(std::max(1, area.width()));
  horizontalScrollBar()->setRange(0, std::max(0, widest - area.width()));
}

void TEnhancedListView::paintEvent(QPaintEvent* event) {
  (void)event;
  if (window_.list_ == nullptr)
    return;
  QPainter painter(viewport());
  const std::vector<TTreeItem*>& rows = window_.Rows();
  const int rowHeight = window_.geometry_.rowHeight;
  const int top = verticalScrollBar()->value();
  const size_t first = static_cast<size_t>(top / rowHeight) + 1;
  const size_t last = static_cast<size_t>((top + viewport()->height()) / rowHeight) + 1;
  const bool focused = hasFocus();
  for (size_t row = first; row <= std::min(last, rows.size()); ++row)
    PaintRow(painter, *rows[row - 1], row, focused);
}

void TEnhancedListView::PaintRow(QPainter& painter, const TTreeItem& node, size_t row,
                                 bool focused) {
  const int depth = node.Depth();
  auto cell = [&](int column) { return window_.RowRect(row, column); };
  if (window_.ShowsWatchdog(node))
    DrawWatchdogMark(painter, cell(1));
  // Column c carries on the line of the ancestor at depth c while it has siblings to come.
  const TTreeItem* ancestor = node.Parent();
  for (int column = depth - 1; column >= 2 && ancestor != nullptr; --column) {
    if (ancestor->NextSibling() != nullptr)
      DrawConnector(painter, cell(column), TConnector::Vertical);
    ancestor = ancestor->Parent();
  }
  if (node.Parent() != nullptr) {
    DrawConnector(painter, cell(depth),
                  node.NextSibling() != nullptr ? TConnector::Tee : TConnector::Elbow);
  }
  TExpandState state = TExpandState::Leaf;
  if (node.HasChildren())
    state = node.Expanded() ? TExpandState::Expanded : TExpandState::Collapsed;
  DrawNodePicture(painter, cell(depth + 1), window_.PictureKind(node), state);

  const QString text = FromModel(node.DisplayText(window_.options_()));
  painter.setFont(RowFont(font(), node));
  const QRect area = cell(0);
  const QRect box(area.left(), area.top(), painter.fontMetrics().horizontalAdvance(text) + 4,
                  area.height());
  // Only the window with the focus shows its selection in the highlight colours; the others
  // draw every row alike.
  const bool selected = window_.selection_.IsSelected(node);
  QPalette::ColorRole textRole = QPalette::Text;
  if (selected && focused) {
    painter.fillRect(box, palette().color(QPalette::Highlight));
    textRole = QPalette::HighlightedText;
  }
  painter.setPen(palette().color(textRole));
  painter.drawText(box.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
  if (window_.selection_.Dragging() && window_.selection_.DropTarget() == &node) {
    QPen frame(palette().color(QPalette::Highlight), 2);
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(1, 1, -1, -1));
  }
}

void TEnhancedListView::ScrollToRow(size_t row) {
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(window_.geometry_.OffsetShowing(row, bar->value(), viewport()->height()));
}

void TEnhancedListView::mousePressEvent(QMouseEvent* event) {
  if (window_.list_ == nullptr)
    return;
  const TRowHit hit = HitAt(event->position().toPoint());
  const Qt::KeyboardModifiers keys = event->modifiers();
  if (event->button() == Qt::LeftButton) {
    setFocus(Qt::MouseFocusReason);
    window_.selection_.ButtonDown(hit.node, keys.testFlag(Qt::ControlModifier),
                                  keys.testFlag(Qt::ShiftModifier), event->position().toPoint().x(),
                                  event->position().toPoint().y());
    window_.Redraw();
  } else if (event->button() == Qt::RightButton && !window_.selection_.Dragging()) {
    setFocus(Qt::MouseFocusReason);
    window_.selection_.RightButtonDown(hit.node);
    window_.Redraw();
    window_.contextMenu_->exec(event->globalPosition().toPoint());
  }
}

void TEnhancedListView::mouseMoveEvent(QMouseEvent* event) {
  TTreeSelection& selection = window_.selection_;
  if (window_.list_ == nullptr || !selection.ButtonHeld())
    return;
  const QPoint point = event->position().toPoint();
  selection.MouseMove(HitAt(point).node, point.x(), point.y());
  if (selection.Dragging()) {
    viewport()->setCursor(DragCursor(selection.Cursor()));
    viewport()->update();
  }
}

void TEnhancedListView::mouseReleaseEvent(QMouseEvent* event) {
  TTreeSelection& selection = window_.selection_;
  if (window_.list_ == nullptr || event->button() != Qt::LeftButton || !selection.ButtonHeld())
    return;
  const Qt::KeyboardModifiers keys = event->modifiers();
  const bool wasDragging = selection.Dragging();
  selection.ButtonUp(HitAt(event->position().toPoint()).node, keys.testFlag(Qt::ControlModifier),
                     keys.testFlag(Qt::ShiftModifier));
  if (wasDragging)
    viewport()->unsetCursor();
  window_.Redraw();
}

void TEnhancedListView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (window_.list_ == nullptr || event->button() != Qt::LeftButton)
    return;
  const TRowHit hit = HitAt(event->position().toPoint());
  if (hit.node != nullptr)
    window_.DoubleClicked(*hit.node, hit.column);
}

void TEnhancedListView::keyPressEvent(QKeyEvent* event) {
  if (window_.list_ == nullptr || (event->key() != Qt::Key_Up && event->key() != Qt::Key_Down)) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  TTreeSelection& selection = window_.selection_;
  TTreeItem* node = event->key() == Qt::Key_Up ? selection.StepUp() : selection.StepDown();
  if (node != nullptr)
    ScrollToRow(window_.list_->ShownPosition(*node));
  window_.Redraw();
}

void TEnhancedListView::wheelEvent(QWheelEvent* event) {
  wheelRemainder_ += event->angleDelta().y();
  const bool page = event->modifiers().testFlag(Qt::ControlModifier);
  QScrollBar* bar = verticalScrollBar();
  while (wheelRemainder_ >= kWheelStep || wheelRemainder_ <= -kWheelStep) {
    const bool up = wheelRemainder_ > 0;
    wheelRemainder_ += up ? -kWheelStep : kWheelStep;
    if (page) {
      bar->triggerAction(up ? QAbstractSlider::SliderPageStepSub
                            : QAbstractSlider::SliderPageStepAdd);
    } else {
      bar->triggerAction(up ? QAbstractSlider::SliderSingleStepSub
                            : QAbstractSlider::SliderSingleStepAdd);
    }
  }
  event->accept();
}

void TEnhancedListView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateRanges();
}

void TEnhancedListView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void TEnhancedListView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

TEnhancedListWindow::TEnhancedListWindow(const QString& title, TTreeList& list,
                                         TTreeWindowLayout& layout, TOptionsSource options,
                                         QWidget* parent)
    : QMdiSubWindow(parent),
      list_(&list),
      layout_(&layout),
      options_(std::move(options)),
      selection_(list),
      view_(new TEnhancedListView(*this)),
      contextMenu_(new QMenu(this)) {
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose);
  // The pictures are square and as tall as a line of text with a little air.
  const int height = std::max(20, view_->fontMetrics().height() + 6);
  geometry_ = TRowGeometry{height, height};
  setWidget(view_);
  connect(contextMenu_, &QMenu::aboutToShow, this, &TEnhancedListWindow::UpdateCommands);
  list_->AddListener(*this);
  layout_->open = true;
  layout_->window = this;
  view_->UpdateRanges();
}

TEnhancedListWindow::~TEnhancedListWindow() {
  Detach();
}

void TEnhancedListWindow::Detach() {
  if (list_ != nullptr)
    list_->RemoveListener(*this);
  if (layout_ != nullptr && layout_->window == this)
    layout_->window = nullptr;
  list_ = nullptr;
  layout_ = nullptr;
  rows_.clear();
  rowsValid_ = false;
  selection_.Clear();
  for (QAction* action : commands_)
    action->setEnabled(false);
}

const std::vector<TTreeItem*>& TEnhancedListWindow::Rows() const {
  if (!rowsValid_) {
    rows_ = list_ != nullptr ? list_->NodesInDisplayOrder(false) : std::vector<TTreeItem*>{};
    rowsValid_ = true;
  }
  return rows_;
}

QStringList TEnhancedListWindow::RowTexts() const {
  QStringList texts;
  if (list_ == nullptr)
    return texts;
  const TListDisplayOptions options = options_();
  for (const TTreeItem* node : Rows())
    texts << FromModel(node->DisplayText(options));
  return texts;
}

QRect TEnhancedListWindow::RowRect(size_t row, int column) const {
  const int top =
      static_cast<int>(row - 1) * geometry_.rowHeight - view_->verticalScrollBar()->value();
  const int left0 = -view_->horizontalScrollBar()->value();
  if (column > 0) {
    return QRect(left0 + (column - 1) * geometry_.columnWidth, top, geometry_.columnWidth,
                 geometry_.rowHeight);
  }
  // The text area begins after the picture column of the row's node.
  int depth = 1;
  if (list_ != nullptr && row >= 1 && row <= Rows().size())
    depth = Rows()[row - 1]->Depth();
  const int left = left0 + (depth + 1) * geometry_.columnWidth;
  return QRect(left, top, std::max(0, view_->viewport()->width() - left), geometry_.rowHeight);
}

bool TEnhancedListWindow::ShowsWatchdog(const TTreeItem& node) const {
  (void)node;
  return false;
}

void TEnhancedListWindow::DoubleClicked(TTreeItem& node, int column) {
  if (column == node.Depth() + 1 && node.HasChildren())
    node.ToggleExpanded();
}

QString TEnhancedListWindow::StepNameFor(const QString& commandText) const {
  // "Delete Envelope Groceries": what was done, and to which node when it was one.
  QString name = StepNameOf(commandText);
  if (name.endsWith(QLatin1String(" Item")))
    name.chop(5);
  const std::vector<TTreeItem*> nodes = selection_.Nodes();
  if (nodes.size() == 1 && !name.startsWith(QLatin1String("Insert")))
    name += u' ' + FromModel(nodes.front()->Name());
  return name;
}

QAction* TEnhancedListWindow::AddCommand(int id, const char* text, const QList<QKeySequence>& keys,
                                         std::function<void()> run) {
  auto* action = new QAction(QString::fromLatin1(text), this);
  action->setObjectName(QStringLiteral("command%1").arg(id));
  action->setData(id);
  action->setShortcuts(keys);
  // The keys belong to this window only: both lists use some of the same ones.
  action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(action, &QAction::triggered, this, [this, action, run = std::move(run)] {
    if (list_ == nullptr)
      return;
    TUndoSteps::RunCurrent(StepNameFor(action->text()), run);
    Redraw();
  });
  addAction(action);
  contextMenu_->addAction(action);
  commands_.append(action);
  return action;
}

QAction* TEnhancedListWindow::AddMainWindowCommand(int id, const char* text) {
  auto* action = new QAction(QString::fromLatin1(text), this);
  action->setObjectName(QStringLiteral("command%1").arg(id));
  action->setData(id);
  connect(action, &QAction::triggered, this, [this, id] {
    if (auto* frame = qobject_cast<TMainFrame*>(window())) {
      QAction* command = frame->Action(static_cast<TCommandId>(id));
      if (command->isEnabled())
        command->trigger();
    }
  });
  contextMenu_->addAction(action);
  mainWindowCommands_.emplace_back(action, id);
  return action;
}

void TEnhancedListWindow::AddSeparator() {
  contextMenu_->addSeparator();
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  commands_.append(separator);
}

QAction* TEnhancedListWindow::Command(int id) const {
  for (QAction* action : commands_) {
    if (!action->isSeparator() && action->data().toInt() == id)
      return action;
  }
  for (const auto& [action, commandId] : mainWindowCommands_) {
    if (commandId == id)
      return action;
  }
  return nullptr;
}

void TEnhancedListWindow::UpdateCommands() {
  if (list_ != nullptr)
    EnableCommands();
  auto* frame = qobject_cast<TMainFrame*>(window());
  for (const auto& [action, id] : mainWindowCommands_) {
    action->setEnabled(list_ != nullptr && frame != nullptr &&
                       frame->Action(static_cast<TCommandId>(id))->isEnabled());
  }
}

void TEnhancedListWindow::SelectNew(TTreeItem* node) {
  if (node == nullptr)
    return;
  selection_.SelectOnly(*node);
  if (list_ != nullptr && list_->ShownPosition(*node) != 0) {
    view_->UpdateRanges();
    view_->ScrollToRow(list_->ShownPosition(*node));
  }
}

void TEnhancedListWindow::Redraw() {
  view_->viewport()->update();
  UpdateCommands();
}

void TEnhancedListWindow::ShowFromLayout() {
  if (layout_->width > 0 && layout_->height > 0) {
    // A place kept from a larger main window stays within this one's area.
    const QRect wanted(layout_->x, layout_->y, layout_->width, layout_->height);
    setGeometry(mdiArea() != nullptr ? FitInside(wanted, mdiArea()->viewport()->rect()) : wanted);
  }
  switch (layout_->showState) {
    case TTreeWindowLayout::kMinimized:
      showMinimized();
      break;
    case TTreeWindowLayout::kMaximized:
      showMaximized();
      break;
    default:
      show();
      break;
  }
  placed_ = true;
  RecordPlacement();
  UpdateCommands();
}

void TEnhancedListWindow::RecordPlacement() {
  if (!placed_ || layout_ == nullptr)
    return;
  if (isMinimized()) {
    layout_->showState = TTreeWindowLayout::kMinimized;
  } else if (isMaximized()) {
    layout_->showState = TTreeWindowLayout::kMaximized;
  } else {
    layout_->showState = TTreeWindowLayout::kNormal;
    // Only a normal window's place is worth keeping; the others come back from it.
    layout_->x = x();
    layout_->y = y();
    layout_->width = width();
    layout_->height = height();
  }
}

void TEnhancedListWindow::moveEvent(QMoveEvent* event) {
  QMdiSubWindow::moveEvent(event);
  RecordPlacement();
}

void TEnhancedListWindow::resizeEvent(QResizeEvent* event) {
  QMdiSubWindow::resizeEvent(event);
  RecordPlacement();
}

void TEnhancedListWindow::changeEvent(QEvent* event) {
  QMdiSubWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange)
    RecordPlacement();
}

void TEnhancedListWindow::closeEvent(QCloseEvent* event) {
  QMdiSubWindow::closeEvent(event);
  if (!event->isAccepted())
    return;
  if (layout_ != nullptr)
    layout_->open = false;
  Detach();
}

void TEnhancedListWindow::NodeChanged(const TTreeItem& node) {
  (void)node;
  view_->viewport()->update();
  ScheduleRanges();
}

void TEnhancedListWindow::NodeRemoved(const TTreeItem& node) {
  // The node is half destroyed: only its address may be used now.
  selection_.Forget(node);
  rowsValid_ = false;
  rows_.clear();
  view_->viewport()->update();
  ScheduleRanges();
}

void TEnhancedListWindow::ListChanged() {
  rowsValid_ = false;
  rows_.clear();
  view_->viewport()->update();
  ScheduleRanges();
}

void TEnhancedListWindow::ScheduleRanges() {
  // Texts are measured once the tree is whole again, never in the middle of a change.
  if (rangesPending_)
    return;
  rangesPending_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        rangesPending_ = false;
        view_->UpdateRanges();
        UpdateCommands();
      },
      Qt::QueuedConnection);
}

void TEnhancedListWindow::RefreshTexts() {
  if (list_ == nullptr)
    return;
  view_->UpdateRanges();
  view_->viewport()->update();
}
