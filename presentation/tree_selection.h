#pragma once

#include <cstddef>
#include <vector>

class TTreeItem;
class TTreeList;

/// Where a point of a list window falls: a 1-based row and column, row 0 when the point is below
/// the last row (or above the first), and the node shown there.
struct TRowHit {
  size_t row = 0;
  int column = 0;
  TTreeItem* node = nullptr;
};

/// The pixel arithmetic of a list window whose rows are of one height and whose pictures sit in
/// columns of one width, scrolled by pixel offsets.
struct TRowGeometry {
  int rowHeight = 1;
  int columnWidth = 1;

  /// The row and column under a point of the visible area.
  TRowHit Hit(const TTreeList& list, int x, int y, int xOffset, int yOffset) const;
  /// The vertical offset that shows `row` whole, moving as little as possible from `yOffset`.
  int OffsetShowing(size_t row, int yOffset, int viewHeight) const;
};

/// The cursor a drag shows.
enum class TDragCursor { None, Single, Several, NoDrop };

/// The selection and the drag of a list window, apart from any drawing: the ordered selected
/// nodes (the first is the one commands use first), the anchor of range selections, and the
/// mouse and keyboard rules that change them. Nodes that leave the tree must be forgotten.
class TTreeSelection {
 public:
  explicit TTreeSelection(const TTreeList& list) : list_(list) {}

  const std::vector<TTreeItem*>& Nodes() const { return nodes_; }
  size_t Count() const { return nodes_.size(); }
  bool Empty() const { return nodes_.empty(); }
  TTreeItem* First() const { return nodes_.empty() ? nullptr : nodes_.front(); }
  TTreeItem* Anchor() const { return anchor_; }
  bool IsSelected(const TTreeItem& node) const;

  void SelectOnly(TTreeItem& node);
  void Clear();
  /// Takes a node that is going away out of the selection, the anchor and the drag.
  void Forget(const TTreeItem& node);

  /// Left button down on `hit` (null for no node).
  void ButtonDown(TTreeItem* hit, bool ctrl, bool shift, int x, int y);
  /// The pointer moved with the left button held; starts a drag once it has left the point of
  /// the button down (when the button went down on a selected node), and makes `hit` the drop
  /// target while dragging.
  void MouseMove(TTreeItem* hit, int x, int y);
  /// Left button up. After a drag, drops the selection on the target when it accepts them all;
  /// true when something was dropped. Without a drag, a multiple selection collapses to the node
  /// under the pointer unless Ctrl or Shift is held.
  bool ButtonUp(TTreeItem* hit, bool ctrl, bool shift);
  /// Right button down: a node that is not selected becomes the only one.
  void RightButtonDown(TTreeItem* hit);

  bool ButtonHeld() const { return buttonDown_; }
  bool Dragging() const { return dragging_; }
  TTreeItem* DropTarget() const { return dropTarget_; }
  /// Whether `target` takes every selected node.
  bool TargetAccepts(const TTreeItem& target) const;
  TDragCursor Cursor() const;

  /// The arrow keys: one row up or down from the first selected node (row 1 when none is), not
  /// past the ends; the new node is the only one selected. Null when there are no rows.
  TTreeItem* StepUp();
  TTreeItem* StepDown();

 private:
  TTreeItem* Step(bool up);
  void SelectRange(size_t from, size_t to);

  const TTreeList& list_;
  std::vector<TTreeItem*> nodes_;
  TTreeItem* anchor_ = nullptr;
  TTreeItem* dropTarget_ = nullptr;
  TTreeItem* pressedNode_ = nullptr;
  bool buttonDown_ = false;
  bool dragging_ = false;
  int downX_ = 0;
  int downY_ = 0;
};
