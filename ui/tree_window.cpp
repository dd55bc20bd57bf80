#include "ui/tree_window.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QTreeWidget>

#include "core/tree_window_layout.h"
#include "ui/model_text.h"

TTreeWindow::TTreeWindow(const QString& title, TTreeList& list, TTreeWindowLayout& layout,
                         TOptionsSource options, QWidget* parent)
    : QMdiSubWindow(parent),
      list_(&list),
      layout_(&layout),
      options_(std::move(options)),
      view_(new QTreeWidget(this)) {
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose);
  view_->setHeaderHidden(true);
  view_->setColumnCount(1);
  // Expanding and collapsing belong to the tree's own commands, which come with the node
  // commands of these windows; until then the rows show the tree as the budget stores it.
  view_->setItemsExpandable(false);
  view_->setRootIsDecorated(false);
  // No expand arrows either, since they would not answer a click.
  view_->setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
  view_->setUniformRowHeights(true);
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  view_->header()->setStretchLastSection(false);
  setWidget(view_);
  list_->AddListener(*this);
  layout_->open = true;
  layout_->window = this;
  Rebuild();
}

TTreeWindow::~TTreeWindow() {
  Detach();
}

void TTreeWindow::Detach() {
  if (list_ != nullptr)
    list_->RemoveListener(*this);
  if (layout_ != nullptr && layout_->window == this)
    layout_->window = nullptr;
  list_ = nullptr;
  layout_ = nullptr;
  rows_.clear();
}

void TTreeWindow::ShowFromLayout() {
  if (layout_->width > 0 && layout_->height > 0) {
    setGeometry(layout_->x, layout_->y, layout_->width, layout_->height);
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
}

void TTreeWindow::RecordPlacement() {
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

void TTreeWindow::moveEvent(QMoveEvent* event) {
  QMdiSubWindow::moveEvent(event);
  RecordPlacement();
}

void TTreeWindow::resizeEvent(QResizeEvent* event) {
  QMdiSubWindow::resizeEvent(event);
  RecordPlacement();
}

void TTreeWindow::changeEvent(QEvent* event) {
  QMdiSubWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange)
    RecordPlacement();
}

void TTreeWindow::closeEvent(QCloseEvent* event) {
  QMdiSubWindow::closeEvent(event);
  if (!event->isAccepted())
    return;
  if (layout_ != nullptr)
    layout_->open = false;
  Detach();
}

void TTreeWindow::NodeChanged(const TTreeItem& node) {
  auto row = rows_.find(&node);
  if (row == rows_.end()) {
    ScheduleRebuild();
    return;
  }
  row->second->setText(0, FromModel(node.DisplayText(options_())));
}

void TTreeWindow::NodeRemoved(const TTreeItem& node) {
  // The node is half destroyed: forget it now, rebuild from the whole tree later.
  auto row = rows_.find(&node);
  if (row != rows_.end()) {
    row->second->setHidden(true);
    rows_.erase(row);
  }
  ScheduleRebuild();
}

void TTreeWindow::ListChanged() {
  ScheduleRebuild();
}

void TTreeWindow::ScheduleRebuild() {
  if (rebuildPending_)
    return;
  rebuildPending_ = true;
  QMetaObject::invokeMethod(this, &TTreeWindow::Rebuild, Qt::QueuedConnection);
}

void TTreeWindow::Rebuild() {
  rebuildPending_ = false;
  view_->clear();
  rows_.clear();
  if (list_ == nullptr || list_->RootItem() == nullptr)
    return;
  AddRows(*list_->RootItem(), nullptr, options_());
}

void TTreeWindow::AddRows(const TTreeItem& node, QTreeWidgetItem* parent,
                          const TListDisplayOptions& options) {
  auto* row = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(view_);
  row->setText(0, FromModel(node.DisplayText(options)));
  if (parent == nullptr) {
    // The root carries the total of the whole tree.
    QFont font = row->font(0);
    font.setBold(true);
    row->setFont(0, font);
  }
  rows_[&node] = row;
  for (const TTreeItem* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
    AddRows(*child, row, options);
  }
  row->setExpanded(node.Expanded());
}

void TTreeWindow::RefreshTexts() {
  if (list_ == nullptr)
    return;
  const TListDisplayOptions options = options_();
  for (auto& [node, row] : rows_)
    row->setText(0, FromModel(node->DisplayText(options)));
}
