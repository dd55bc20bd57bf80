#include "presentation/tree_selection.h"

#include <algorithm>

#include "core/tree_list.h"
#include "core/tree_moves.h"

TRowHit TRowGeometry::Hit(const TTreeList& list, int x, int y, int xOffset, int yOffset) const {
  TRowHit hit;
  const int top = y + yOffset;
  const int left = x + xOffset;
  if (top < 0 || left < 0 || rowHeight <= 0 || columnWidth <= 0)
    return hit;
  const size_t row = static_cast<size_t>(top / rowHeight) + 1;
  TTreeItem* node = list.ShownAt(row);
  if (node == nullptr)
    return hit;
  hit.row = row;
  hit.column = left / columnWidth + 1;
  hit.node = node;
  return hit;
}

int TRowGeometry::OffsetShowing(size_t row, int yOffset, int viewHeight) const {
  if (row == 0)
    return yOffset;
  const int top = static_cast<int>(row - 1) * rowHeight;
  const int bottom = top + rowHeight;
  if (top < yOffset)
    return top;
  if (bottom > yOffset + viewHeight)
    return std::max(0, bottom - viewHeight);
  return yOffset;
}

bool TTreeSelection::IsSelected(const TTreeItem& node) const {
  return std::find(nodes_.begin(), nodes_.end(), &node) != nodes_.end();
}

void TTreeSelection::SelectOnly(TTreeItem& node) {
  nodes_.assign(1, &node);
}

void TTreeSelection::Clear() {
  nodes_.clear();
  anchor_ = nullptr;
}

void TTreeSelection::Forget(const TTreeItem& node) {
  std::erase(nodes_, &node);
  if (pressedNode_ == &node)
    pressedNode_ = nullptr;
  if (anchor_ == &node)
    anchor_ = nullptr;
  if (dropTarget_ == &node)
    dropTarget_ = nullptr;
}

void TTreeSelection::SelectRange(size_t from, size_t to) {
  if (from > to)
    std::swap(from, to);
  nodes_.clear();
  for (size_t row = from; row <= to; ++row) {
    if (TTreeItem* node = list_.ShownAt(row))
      nodes_.push_back(node);
  }
}

void TTreeSelection::ButtonDown(TTreeItem* hit, bool ctrl, bool shift, int x, int y) {
  buttonDown_ = true;
  dragging_ = false;
  dropTarget_ = nullptr;
  downX_ = x;
  downY_ = y;
  pressedNode_ = hit;
  if (hit == nullptr)
    return;
  if (ctrl) {
    if (!IsSelected(*hit)) {
      nodes_.push_back(hit);
      anchor_ = hit;
    } else if (nodes_.size() >= 2) {
      std::erase(nodes_, hit);
    }
    return;
  }
  if (shift) {
    if (nodes_.empty() || IsSelected(*hit))
      return;
    // A range needs a shown anchor; without one the range starts at the first selected node.
    size_t from = anchor_ != nullptr ? list_.ShownPosition(*anchor_) : 0;
    if (from == 0)
      from = list_.ShownPosition(*nodes_.front());
    const size_t to = list_.ShownPosition(*hit);
    if (from == 0 || to == 0)
      return;
    SelectRange(from, to);
    anchor_ = hit;
    return;
  }
  anchor_ = hit;
  if (!IsSelected(*hit))
    SelectOnly(*hit);
}

void TTreeSelection::MouseMove(TTreeItem* hit, int x, int y) {
  if (!buttonDown_)
    return;
  // Only a press on a selected node picks the selection up; a press beside the rows moves
  // nothing, however far the pointer goes.
  if (!dragging_ && (x != downX_ || y != downY_) && pressedNode_ != nullptr &&
      IsSelected(*pressedNode_)) {
    dragging_ = true;
  }
  if (dragging_)
    dropTarget_ = hit;
}

bool TTreeSelection::TargetAccepts(const TTreeItem& target) const {
  if (nodes_.empty())
    return false;
  return std::all_of(nodes_.begin(), nodes_.end(),
                     [&target](const TTreeItem* node) { return Accepts(target, *node); });
}

TDragCursor TTreeSelection::Cursor() const {
  if (!dragging_)
    return TDragCursor::None;
  if (dropTarget_ == nullptr || !TargetAccepts(*dropTarget_))
    return TDragCursor::NoDrop;
  return nodes_.size() == 1 ? TDragCursor::Single : TDragCursor::Several;
}

bool TTreeSelection::ButtonUp(TTreeItem* hit, bool ctrl, bool shift) {
  const bool wasDragging = dragging_;
  buttonDown_ = false;
  dragging_ = false;
  TTreeItem* target = dropTarget_;
  dropTarget_ = nullptr;
  if (wasDragging) {
    bool dropped = false;
    if (target != nullptr && anchor_ != nullptr && TargetAccepts(*target)) {
      // The last selected goes first, so that nodes placed before the target keep the order in
      // which they were selected.
      const std::vector<TTreeItem*> moving = nodes_;
      for (auto node = moving.rbegin(); node != moving.rend(); ++node)
        dropped = Drop(*target, **node) || dropped;
    }
    anchor_ = nullptr;
    return dropped;
  }
  if (nodes_.size() > 1 && !ctrl && !shift) {
    TTreeItem* keep = hit != nullptr ? hit : nodes_.front();
    SelectOnly(*keep);
  }
  return false;
}

void TTreeSelection::RightButtonDown(TTreeItem* hit) {
  if (hit != nullptr && !IsSelected(*hit))
    SelectOnly(*hit);
}

TTreeItem* TTreeSelection::Step(bool up) {
  const size_t count = list_.ShownCount();
  if (count == 0)
    return nullptr;
  size_t row = nodes_.empty() ? 1 : list_.ShownPosition(*nodes_.front());
  if (row == 0)
    row = 1;
  else if (up && row > 1)
    --row;
  else if (!up && row < count)
    ++row;
  TTreeItem* node = list_.ShownAt(row);
  SelectOnly(*node);
  anchor_ = node;
  return node;
}

TTreeItem* TTreeSelection::StepUp() {
  return Step(true);
}

TTreeItem* TTreeSelection::StepDown() {
  return Step(false);
}
