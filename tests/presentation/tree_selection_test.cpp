#include "presentation/tree_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/account_list.h"
#include "tests/support/fake_document.h"

namespace {

// Rows: 1 Accounts, 2..8 A1..A7, 9 G1, 10 A8 (in G1), 11 G2.
class TreeSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.SetContext(&document);
    TAccountRoot& root = list.Root();
    root.AddChild(std::make_unique<TAccountGroup>(11)).SetExpanded(true);
    static_cast<TAccountGroup*>(root.LastChild())->SetName("G2");
    auto& g1 = static_cast<TAccountGroup&>(root.AddChild(std::make_unique<TAccountGroup>(10)));
    g1.SetName("G1");
    static_cast<TAccount&>(g1.AddChild(std::make_unique<TAccount>(8))).SetName("A8");
    for (uint32_t id = 7; id >= 1; --id)
      static_cast<TAccount&>(root.AddChild(std::make_unique<TAccount>(id)))
          .SetName("A" + std::to_string(id));
  }

  TTreeItem* Row(size_t row) const { return list.ShownAt(row); }
  std::vector<size_t> Rows() const {
    std::vector<size_t> rows;
    for (TTreeItem* node : selection.Nodes())
      rows.push_back(list.ShownPosition(*node));
    return rows;
  }
  void Click(size_t row, bool ctrl = false, bool shift = false) {
    selection.ButtonDown(Row(row), ctrl, shift, 5, 5);
    selection.ButtonUp(Row(row), ctrl, shift);
  }

  TFakeDocument document;
  TAccountList list;
  TTreeSelection selection{list};
};

TEST_F(TreeSelectionTest, ClicksWithCtrlAndShift) {
  struct TStep {
    const char* label;
    size_t row;
    bool ctrl;
    bool shift;
    std::vector<size_t> selected;
    size_t anchor;
  };
  const std::vector<TStep> steps = {
      {"plain click", 3, false, false, {3}, 3},
      {"ctrl on the only selected keeps it", 3, true, false, {3}, 3},
      {"ctrl adds and anchors", 5, true, false, {3, 5}, 5},
      {"ctrl on a selected one removes it", 3, true, false, {5}, 5},
      {"ctrl adds row 6", 6, true, false, {5, 6}, 6},
      {"plain click on a selected one collapses on button up", 5, false, false, {5}, 5},
      {"click row 3", 3, false, false, {3}, 3},
      {"shift down to row 7", 7, false, true, {3, 4, 5, 6, 7}, 7},
      {"shift up to row 1 from the anchor", 1, false, true, {1, 2, 3, 4, 5, 6, 7}, 1},
      {"shift on a selected row changes nothing", 4, false, true, {1, 2, 3, 4, 5, 6, 7}, 1},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.label);
    Click(step.row, step.ctrl, step.shift);
    EXPECT_EQ(Rows(), step.selected);
    EXPECT_EQ(selection.Anchor(), Row(step.anchor));
  }
  // Button up without modifiers over no node keeps the first selected.
  selection.ButtonDown(nullptr, false, false, 5, 500);
  selection.ButtonUp(nullptr, false, false);
  EXPECT_EQ(Rows(), std::vector<size_t>{1});
}

TEST_F(TreeSelectionTest, ArrowKeysStopAtTheEnds) {
  EXPECT_EQ(selection.StepDown(), Row(2));  // nothing selected: row 1, then one down
  Click(1);
  EXPECT_EQ(selection.StepUp(), Row(1));
  Click(4, false, false);
  Click(6, true, false);
  EXPECT_EQ(selection.StepUp(), Row(3));  // several: the first selected moves
  EXPECT_EQ(Rows(), std::vector<size_t>{3});
  Click(11);
  EXPECT_EQ(selection.StepDown(), Row(11));
}

TEST_F(TreeSelectionTest, RowGeometry) {
  const TRowGeometry geometry{20, 16};
  struct TCase {
    int x, y, xOffset, yOffset;
    size_t row;
    int column;
  };
  for (const TCase& c : std::vector<TCase>{{0, 0, 0, 0, 1, 1},
                                           {15, 19, 0, 0, 1, 1},
                                           {16, 20, 0, 0, 2, 2},
                                           {3, 5, 40, 200, 11, 3},
                                           {3, 0, 0, 220, 0, 0},
                                           {-1, 5, 0, 0, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " +" << c.xOffset << "," << c.yOffset);
    const TRowHit hit = geometry.Hit(list, c.x, c.y, c.xOffset, c.yOffset);
    EXPECT_EQ(hit.row, c.row);
    EXPECT_EQ(hit.column, c.column);
    EXPECT_EQ(hit.node, c.row == 0 ? nullptr : Row(c.row));
  }
  // Row 1 at offset 0 needs no scrolling; a row above or below the view scrolls just enough.
  EXPECT_EQ(geometry.OffsetShowing(1, 0, 100), 0);
  EXPECT_EQ(geometry.OffsetShowing(3, 60, 100), 40);
  EXPECT_EQ(geometry.OffsetShowing(8, 60, 100), 60);
  EXPECT_EQ(geometry.OffsetShowing(9, 60, 100), 80);
}

TEST_F(TreeSelectionTest, DragMovesAcceptedSelectionOnly) {
  // A group onto an account: the no-drop cursor, and nothing moves.
  selection.ButtonDown(Row(9), false, false, 5, 180);
  selection.MouseMove(Row(2), 5, 30);
  EXPECT_TRUE(selection.Dragging());
  EXPECT_EQ(selection.Cursor(), TDragCursor::NoDrop);
  EXPECT_FALSE(selection.ButtonUp(Row(2), false, false));
  EXPECT_EQ(list.ShownAt(9)->Name(), "G1");
  EXPECT_EQ(selection.Anchor(), nullptr);

  // A press beside the rows never picks the selection up.
  selection.ButtonDown(nullptr, false, false, 5, 400);
  selection.MouseMove(Row(11), 5, 220);
  EXPECT_FALSE(selection.Dragging());
  selection.ButtonUp(Row(11), false, false);

  // Two accounts onto G2: both move there in the order selected.
  TTreeItem* g2 = Row(11);
  Click(2);
  Click(4, true, false);
  selection.ButtonDown(Row(4), false, false, 5, 70);
  EXPECT_EQ(selection.Cursor(), TDragCursor::None);
  selection.MouseMove(g2, 5, 220);
  EXPECT_EQ(selection.Cursor(), TDragCursor::Several);
  EXPECT_TRUE(selection.ButtonUp(g2, false, false));
  ASSERT_EQ(g2->ChildCount(), 2u);
  EXPECT_EQ(g2->FirstChild()->Name(), "A1");
  EXPECT_EQ(g2->LastChild()->Name(), "A3");
  EXPECT_GT(document.modifiedCount, 0);
}

TEST_F(TreeSelectionTest, ForgottenNodesLeaveSelectionAnchorAndTarget) {
  Click(2);
  Click(3, true, false);
  selection.ButtonDown(Row(3), false, false, 0, 0);
  selection.MouseMove(Row(9), 1, 1);
  TTreeItem* a2 = Row(3);
  selection.Forget(*a2);
  selection.Forget(*Row(9));
  EXPECT_EQ(Rows(), std::vector<size_t>{2});
  EXPECT_EQ(selection.Anchor(), nullptr);
  EXPECT_EQ(selection.DropTarget(), nullptr);
}

}  // namespace
