#include "transactions/ledger.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

class TFakeItem : public TLedgerItem {
 public:
  void CreateEditor(TLedgerGrid& grid, int column, unsigned how) override {
    hows.push_back(how);
    if (kind != TCellEditorKind::None)
      grid.OpenEditor(column, {kind, 10, 99, (how & kStartedByTyping) ? "" : cells[column]});
  }
  void PaintCell(TCellPainter&, const TCellRect&, int column, unsigned state) const override {
    painted[column] = state;
  }
  void SetCellText(int column, std::string_view text) override { cells[column] = text; }
  std::string GetCellText(int column) const override { return cells.at(column); }

  std::map<int, std::string> cells;
  TCellEditorKind kind = TCellEditorKind::Text;
  std::vector<unsigned> hows;
  mutable std::map<int, unsigned> painted;
};

/// A sequence of `live` existing rows followed by empty ones, seen through a window of
/// `window` rows; a load at the end keeps up to half a window of existing rows on top.
class TFakeRows : public TLedgerList {
 public:
  TFakeRows(int live, int total, int window) : live_(live), window_(window) {
    for (int i = 1; i <= total; ++i) {
      items_.push_back(std::make_unique<TFakeItem>());
      items_.back()->cells[16] = "payee " + std::to_string(i);
    }
  }
  TFakeItem& At(int sequenceIndex) { return *items_[sequenceIndex - 1]; }
  void Reload() { NotifyReloading(); }

  TLedgerItem* Item(int row) override {
    const size_t i = first + row - 1;
    return noItems || i >= items_.size() ? nullptr : items_[i].get();
  }
  int LoadPrevious(int n) override {
    const int k = std::min(n, first);
    first -= k;
    return k;
  }
  int LoadNext(int n) override {
    const int k = std::clamp(static_cast<int>(items_.size()) - (first + window_), 0, n);
    first += k;
    return k;
  }
  void LoadFromTop() override { first = 0; }
  void LoadAtEnd() override {
    ++loadsAtEnd;
    first = std::max(0, live_ - window_ / 2);
  }
  int LiveCount() const override { return live_ - first; }
  int RowCount() const override { return window_; }
  uint32_t PositionOfRow(int row) override { return first + row <= live_ ? first + row : 0; }
  int GoToPosition(uint32_t p) override {
    if (p <= 1)
      return kAtFirst;
    if (static_cast<int>(p) > live_)
      return kPastLast;
    if (static_cast<int>(p) > first && static_cast<int>(p) <= first + window_)
      return kInsideWindow;
    first = p - 1;
    return kReloaded;
  }
  uint32_t PositionOfLast() override { return live_; }
  uint32_t PositionOfFirst() override { return live_ > 0 ? 1 : 0; }
  void DeleteRow(int row) override { deleted = row; }
  void Paste() override { ++pastes; }
  bool CanPaste() const override { return true; }
  std::string HeaderText(int) const override { return "heading"; }

  int first = 0;
  int loadsAtEnd = 0;
  int deleted = 0;
  int pastes = 0;
  bool noItems = false;

 private:
  int live_;
  int window_;
  std::vector<std::unique_ptr<TFakeItem>> items_;
};

class TFakeHost : public TLedgerHost {
 public:
  int SystemFontHeight() const override { return 16; }
  TLedgerFontMetrics MetricsForHeight(int height) const override { return {height, 2}; }
  void ShowEditor(const TCellRect& cell, int, const TCellEditorSpec& editor) override {
    shownRects.push_back(cell);
    shown.push_back(editor);
  }
  TLedgerEditorResult TakeEditor() override {
    ++taken;
    return answer;
  }
  void Repaint() override {}
  bool IsMinimised() const override { return minimised; }

  TLedgerEditorResult answer;
  bool minimised = false;
  int taken = 0;
  std::vector<TCellRect> shownRects;
  std::vector<TCellEditorSpec> shown;
};

class TNullPainter : public TCellPainter {
  void DrawCellText(const TCellRect&, std::string_view, TCellAlignment, bool) override {}
};

// Columns of 10, 7, 50 and 15 characters: 837 x 381 pixels hold 20 rows of 18 pixels under a
// 20-pixel header (font 16 = the system font, leading 2).
struct TGrid {
  explicit TGrid(int live, int total = 0, int window = 250, bool footer = false)
      : rows(live, std::max(total, live + window), window), ledger(rows, host, footer) {
    const std::pair<int, int> columns[] = {{10, 5}, {7, 6}, {50, 16}, {15, 14}};
    for (auto [width, number] : columns)
      ledger.AddColumn(width, number);
    ledger.FinishColumns(false);
  }
  void Open(TLedger::TMode mode, int width = 837, int height = 381) {
    if (mode == TLedger::TMode::Top)
      ledger.SetTopMode(0, true);
    ledger.Resize(width, height);
  }
  void ClickCell(int row, int column) {
    ledger.Click(ledger.CellRect(row, column).left + 1, ledger.CellRect(row, column).top + 1);
  }
  TLedgerItem* ItemAt(int sequenceIndex) { return &rows.At(sequenceIndex); }
  TFakeRows rows;
  TFakeHost host;
  TLedger ledger;
};

TEST(LedgerLayoutTest, FontRowsAndColumnsFollowTheSize) {
  struct TCase {
    int width, height;
    bool footer;
    int zoom, font, rowHeight, visible;
  } cases[] = {
      {837, 381, false, 1014, 16, 18, 20},    // the font stops at the system font's height
      {421, 381, false, 507, 12, 14, 26},     // narrower: smaller font, more rows
      {837, 381, true, 1014, 16, 18, 18},     // the footer takes a header's height
      {30, 381, false, 30, 1, 3, 125},        // the font never vanishes
      {837, 5000, false, 1014, 16, 18, 240},  // ten rows stay below the screen
      {837, 10, false, 1014, 16, 18, 0},
  };
  for (const TCase& c : cases) {
    TGrid grid(10, 0, 250, c.footer);
    grid.Open(TLedger::TMode::End, 1000, 500);
    grid.ledger.Resize(c.width, c.height);
    const TLedger& ledger = grid.ledger;
    EXPECT_EQ(ledger.Zoom(), c.zoom) << c.width;
    EXPECT_EQ(ledger.FontHeight(), c.font) << c.width;
    EXPECT_EQ(ledger.RowHeight(), c.rowHeight) << c.width;
    EXPECT_EQ(ledger.VisibleRows(), c.visible) << c.width << "x" << c.height;
    // One separator pixel on each side and between the columns; nothing left over.
    EXPECT_EQ(ledger.HeaderRect(1).left, 1);
    EXPECT_EQ(ledger.HeaderRect(4).right, c.width - 1);
    for (int i = 1; i < 4; ++i)
      EXPECT_EQ(ledger.HeaderRect(i + 1).left, ledger.HeaderRect(i).right + 1) << c.width;
  }
}

TEST(LedgerModeTest, EndModePutsTheCursorOnTheFirstEmptyRow) {
  struct TCase {
    int live, top, cursor;
  } cases[] = {{0, 1, 1}, {10, 1, 11}, {16, 1, 17}, {17, 2, 17}, {100, 85, 17}};
  for (const TCase& c : cases) {
    TGrid grid(c.live);
    grid.Open(TLedger::TMode::End);
    EXPECT_EQ(grid.ledger.TopRow(), c.top) << c.live;
    EXPECT_EQ(grid.ledger.CursorRow(), c.cursor) << c.live;
    EXPECT_EQ(grid.ledger.CurrentItem(), grid.ItemAt(c.live + 1)) << c.live;
  }
  TGrid grid(100);
  grid.Open(TLedger::TMode::Top);
  EXPECT_EQ(grid.ledger.CurrentItem(), grid.ItemAt(1));
}

TEST(LedgerModeTest, RepeatedSwitchReloadsOnlyWhenForcedOrAfterInput) {
  TGrid grid(30);
  grid.Open(TLedger::TMode::End);
  ASSERT_EQ(grid.rows.loadsAtEnd, 1);
  grid.ledger.SetEndMode(0, false);
  EXPECT_EQ(grid.rows.loadsAtEnd, 1);
  grid.ledger.SetEndMode(0, true);
  EXPECT_EQ(grid.rows.loadsAtEnd, 2);
  grid.ClickCell(3, 2);
  grid.ledger.SetEndMode(16, false);
  EXPECT_EQ(grid.rows.loadsAtEnd, 3);
  EXPECT_EQ(grid.ledger.CurrentColumn(), 16);
}

TEST(LedgerCursorTest, KeysAndCommandsMoveAndScroll) {
  using TMode = TLedger::TMode;
  auto key = [](TLedgerKey k) { return [k](TLedger& l) { l.Key(k); }; };
  auto command = [](int id) { return [id](TLedger& l) { l.Command(id); }; };
  struct TCase {
    const char* name;
    TMode mode;  // end mode shows rows 85..104 of 100 existing ones; top mode rows 1..20
    int row, column;
    std::function<void(TLedger&)> action;
    int top, cursorRow, cursorColumn;
  } cases[] = {
      {"enter on last column", TMode::End, 1, 4, key(TLedgerKey::Enter), 85, 2, 1},
      {"tab at the bottom", TMode::End, 20, 4, key(TLedgerKey::Tab), 86, 20, 1},
      {"shift+tab at the top", TMode::End, 1, 1, key(TLedgerKey::ShiftTab), 84, 1, 4},
      {"shift+tab at the very top", TMode::Top, 1, 1, key(TLedgerKey::ShiftTab), 1, 1, 1},
      {"backspace", TMode::Top, 3, 1, key(TLedgerKey::Backspace), 1, 2, 4},
      {"home", TMode::End, 5, 3, key(TLedgerKey::Home), 85, 5, 1},
      {"end", TMode::End, 5, 2, key(TLedgerKey::End), 85, 5, 4},
      {"up at the top", TMode::End, 1, 2, key(TLedgerKey::Up), 84, 1, 2},
      {"down at the bottom", TMode::End, 20, 2, key(TLedgerKey::Down), 86, 20, 2},
      {"pgdn keeps the row", TMode::End, 5, 2, key(TLedgerKey::PageDown), 86, 4, 2},
      {"pgup keeps the row", TMode::End, 5, 2, key(TLedgerKey::PageUp), 84, 6, 2},
      {"pgup at the bottom", TMode::End, 20, 2, key(TLedgerKey::PageUp), 84, 20, 2},
      {"ctrl+pgdn pages", TMode::End, 5, 2, key(TLedgerKey::CtrlPageDown), 105, 5, 2},
      {"ctrl+pgup at the start", TMode::Top, 5, 2, key(TLedgerKey::CtrlPageUp), 1, 5, 2},
      {"next row walks", TMode::End, 16, 2, command(5007), 85, 17, 2},
      {"next row scrolls", TMode::End, 17, 2, command(5007), 86, 17, 2},
      {"previous row walks", TMode::End, 17, 2, command(5008), 85, 16, 2},
      {"previous row scrolls", TMode::End, 16, 2, command(5008), 84, 16, 2},
      {"ctrl+home", TMode::End, 5, 3, key(TLedgerKey::CtrlHome), 1, 1, 1},
      {"wheel two notches", TMode::End, 5, 2, [](TLedger& l) { l.Wheel(240, false); }, 83, 7, 2},
      {"half notches add up", TMode::End, 5, 2,
       [](TLedger& l) { l.Wheel(-60, false), l.Wheel(-60, false); }, 86, 4, 2},
      {"ctrl+wheel pages", TMode::End, 5, 2, [](TLedger& l) { l.Wheel(-120, true); }, 105, 5, 2},
  };
  for (const TCase& c : cases) {
    TGrid grid(100);
    grid.Open(c.mode);
    grid.ClickCell(c.row, c.column);
    c.action(grid.ledger);
    EXPECT_EQ(grid.ledger.TopRow(), c.top) << c.name;
    EXPECT_EQ(grid.ledger.CursorRow(), c.cursorRow) << c.name;
    EXPECT_EQ(grid.ledger.CursorColumn(), c.cursorColumn) << c.name;
  }
}

TEST(LedgerCursorTest, ScrollingPastEitherEndOfTheWindowLoadsRows) {
  TGrid grid(100, 200, 30);  // 20 visible rows in a window of 30
  grid.Open(TLedger::TMode::Top);
  grid.ClickCell(20, 1);
  for (int i = 0; i < 11; ++i)
    grid.ledger.Key(TLedgerKey::Down);
  EXPECT_EQ(grid.rows.first, 11);
  EXPECT_EQ(grid.ledger.CurrentItem(), grid.ItemAt(31));
  grid.ClickCell(1, 1);
  for (int i = 0; i < 22; ++i)
    grid.ledger.Key(TLedgerKey::Up);
  EXPECT_EQ(grid.rows.first, 0);
  EXPECT_EQ(grid.ledger.CurrentItem(), grid.ItemAt(1));
}

TEST(LedgerScrollBarTest, DroppingTheBoxFollowsTheRowSource) {
  using TMode = TLedger::TMode;
  struct TCase {
    TMode start;
    uint32_t position;
    TMode mode;
    int top, cursor, item;
  } cases[] = {
      {TMode::End, 1, TMode::Top, 1, 1, 1},         // the first row at all
      {TMode::Top, 400, TMode::End, 110, 17, 301},  // beyond the last existing row
      {TMode::Top, 280, TMode::Top, 1, 1, 280},     // reloaded at the position
      {TMode::Top, 100, TMode::Top, 100, 1, 100},   // inside the window
      {TMode::Top, 245, TMode::Top, 231, 15, 245},  // inside, near the window's end
  };
  for (const TCase& c : cases) {
    TGrid grid(300);
    grid.Open(c.start);
    grid.ledger.DropScrollBox(c.position);
    EXPECT_EQ(grid.ledger.Mode(), c.mode) << c.position;
    EXPECT_EQ(grid.ledger.TopRow(), c.top) << c.position;
    EXPECT_EQ(grid.ledger.CursorRow(), c.cursor) << c.position;
    EXPECT_EQ(grid.ledger.CurrentItem(), grid.ItemAt(c.item)) << c.position;
  }
  TGrid grid(300);
  grid.Open(TMode::Top);
  grid.ClickCell(3, 1);
  EXPECT_EQ(grid.ledger.ScrollMinimum(), 1u);
  EXPECT_EQ(grid.ledger.ScrollMaximum(), 300u);
  EXPECT_EQ(grid.ledger.ScrollValue(), 3u);
}

TEST(LedgerEditTest, EditorTextGoesToTheCellUnlessCancelled) {
  const std::string longText(200, 'x');
  std::string accents;
  for (int i = 0; i < 200; ++i)
    accents += "\xC3\xA9";
  struct TCase {
    const char* name;
    TCellEditorKind kind;
    bool typed;  // started by typing 'a', else by Shift+Enter
    TLedgerEditorResult result;
    std::string cell;
  } cases[] = {
      {"typed", TCellEditorKind::Text, true, {"a", false}, "a"},
      {"typed then esc", TCellEditorKind::Text, true, {"a", true}, "payee 1"},
      {"long text", TCellEditorKind::Text, false, {longText, false}, longText.substr(0, 128)},
      {"long accents", TCellEditorKind::Text, false, {accents, false}, accents.substr(0, 256)},
      {"list esc keeps name", TCellEditorKind::EnvelopeList, false, {"Food", true}, "Food"},
      {"long list",
       TCellEditorKind::EnvelopeList,
       false,
       {std::string(2000, 'y'), false},
       std::string(1024, 'y')},
  };
  for (const TCase& c : cases) {
    TGrid grid(5);
    grid.Open(TLedger::TMode::Top);
    grid.ClickCell(1, 3);
    TFakeItem& item = grid.rows.At(1);
    item.kind = c.kind;
    EXPECT_EQ(c.typed ? grid.ledger.Character(U'a') : grid.ledger.Key(TLedgerKey::ShiftEnter), true)
        << c.name;
    ASSERT_EQ(grid.host.shown.size(), 1u) << c.name;
    EXPECT_EQ(grid.host.shown[0].text, c.typed ? "" : "payee 1") << c.name;
    EXPECT_EQ(item.hows.back(), c.typed ? TLedgerItem::kStartedByTyping : 1u) << c.name;
    EXPECT_EQ(grid.ledger.EditorColumn(), 16) << c.name;
    grid.host.answer = c.result;
    grid.ledger.CloseEditor();
    EXPECT_EQ(item.cells[16], c.cell) << c.name;
  }
}

TEST(LedgerEditTest, EveryChangeOfRowsClosesTheEditorFirst) {
  struct TCase {
    const char* name;
    std::function<void(TGrid&)> action;
    std::string cell;
  } cases[] = {
      {"reload elsewhere drops it", [](TGrid& g) { g.rows.Reload(); }, "payee 1"},
      {"focus regained", [](TGrid& g) { g.ledger.SetFocus(false), g.ledger.SetFocus(true); },
       "new"},
      {"cursor move", [](TGrid& g) { g.ledger.Key(TLedgerKey::Down); }, "new"},
      {"wheel", [](TGrid& g) { g.ledger.Wheel(-120, false); }, "new"},
      {"mode switch", [](TGrid& g) { g.ledger.SetEndMode(0, true); }, "new"},
      {"resize", [](TGrid& g) { g.ledger.Resize(600, 300); }, "new"},
      {"delete row", [](TGrid& g) { g.ledger.Key(TLedgerKey::CtrlDelete); }, "new"},
  };
  for (const TCase& c : cases) {
    TGrid grid(5);
    grid.Open(TLedger::TMode::Top);
    grid.ClickCell(1, 3);
    grid.ledger.SetFocus(true);
    grid.ledger.Key(TLedgerKey::ShiftEnter);
    grid.ledger.Key(TLedgerKey::ShiftEnter);  // no second editor
    grid.host.answer = {"new", false};
    c.action(grid);
    EXPECT_FALSE(grid.ledger.EditorOpen()) << c.name;
    EXPECT_EQ(grid.host.shown.size(), 1u) << c.name;
    EXPECT_EQ(grid.host.taken, 1) << c.name;
    EXPECT_EQ(grid.rows.At(1).cells[16], c.cell) << c.name;
  }
}

TEST(LedgerMouseTest, ClicksPickCellsAndDoubleClicksEdit) {
  TGrid grid(5);
  grid.Open(TLedger::TMode::Top);
  struct TCase {
    int x, y, row, column;
  } cases[] = {
      {700, 19, 1, 1},                    // the header's last pixel is no row
      {700, 20, 1, 4},                    // first pixel of row 1
      {0, 60, 1, 4},                      // the outer border is no column
      {102, 60, 3, 1},                    // the separator after column 1 belongs to it
      {103, 60, 3, 2}, {400, 381, 3, 2},  // below the rows
  };
  for (const TCase& c : cases) {
    grid.ledger.Click(c.x, c.y);
    EXPECT_EQ(grid.ledger.CursorRow(), c.row) << c.x << "," << c.y;
    EXPECT_EQ(grid.ledger.CursorColumn(), c.column) << c.x << "," << c.y;
  }
  EXPECT_EQ(grid.ledger.HeaderRect(1).right, 102);
  grid.ledger.DoubleClick(400, 20 + 18 * 4 + 5);
  EXPECT_EQ(grid.rows.At(5).hows, std::vector<unsigned>{5});
  ASSERT_EQ(grid.host.shownRects.size(), 1u);
  EXPECT_EQ(grid.host.shownRects[0].top, 20 + 18 * 4);
  grid.ledger.CloseEditor();
  grid.host.minimised = true;
  grid.ledger.DoubleClick(400, 30);
  EXPECT_EQ(grid.host.shown.size(), 1u);

  grid.ledger.SetFocus(true);
  TNullPainter painter;
  grid.ledger.PaintCells(painter);
  EXPECT_EQ(grid.rows.At(1).painted, (std::map<int, unsigned>{{5, 2}, {6, 2}, {16, 3}, {14, 2}}));
  EXPECT_EQ(grid.rows.At(2).painted[16], 0u);
}

TEST(LedgerRowSourceTest, CommandsReachTheRowSourceAndMissingRowsAreHarmless) {
  TGrid grid(100);
  grid.Open(TLedger::TMode::End);
  grid.ClickCell(3, 2);
  grid.ledger.Key(TLedgerKey::CtrlDelete);
  EXPECT_EQ(grid.rows.deleted, 87);
  grid.ledger.Key(TLedgerKey::ShiftInsert);
  EXPECT_EQ(grid.rows.pastes, 1);
  EXPECT_EQ(grid.ledger.Mode(), TLedger::TMode::Top);

  TGrid empty(10);
  empty.rows.noItems = true;
  empty.Open(TLedger::TMode::End);
  EXPECT_EQ(empty.ledger.CurrentItem(), nullptr);
  EXPECT_FALSE(empty.ledger.Character(U'a'));
  for (TLedgerKey key : {TLedgerKey::ShiftEnter, TLedgerKey::Tab, TLedgerKey::CtrlInsert,
                         TLedgerKey::ShiftDelete, TLedgerKey::CtrlDelete, TLedgerKey::Up})
    empty.ledger.Key(key);
  empty.ledger.DoubleClick(400, 30);
  TNullPainter painter;
  empty.ledger.PaintCells(painter);
  EXPECT_FALSE(empty.ledger.EditorOpen());
  EXPECT_EQ(empty.host.shown.size(), 0u);
}

}  // namespace
