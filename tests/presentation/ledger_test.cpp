#include "presentation/ledger.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

class TFakeItem : public TLedgerItem {
 public:
  TColumnEntry EntryFor(int column, unsigned how) const override {
    hows.push_back(how);
    return {kind, 99, (how & kStartedByTyping) ? "" : ColumnText(column)};
  }
  bool Activate(int) override {
    activations += acts ? 1 : 0;
    return acts;
  }
  std::string ColumnText(int column) const override {
    const auto found = cells.find(column);
    return found != cells.end() ? found->second : "";
  }
  void SetColumnText(int column, std::string_view text) override { cells[column] = text; }

  std::map<int, std::string> cells;
  TColumnEntryKind kind = TColumnEntryKind::Text;
  bool acts = false;
  int activations = 0;
  mutable std::vector<unsigned> hows;
};

/// A sequence of `live` existing rows followed by empty ones, seen through a window of
/// `window` rows; a load at the end keeps up to half a window of existing rows on top.
class TFakeRows : public TLedgerList {
 public:
  TFakeRows(int live, int total, int window) : live_(live), window_(window), items_(total) {
    for (int i = 1; i <= total; ++i)
      items_[i - 1].cells[16] = "payee " + std::to_string(i);
  }
  TFakeItem& At(int sequenceIndex) { return items_[sequenceIndex - 1]; }
  void Reload() { NotifyReloading(); }

  TLedgerItem* Item(int row) override {
    const size_t i = first + row - 1;
    return noItems || i >= items_.size() ? nullptr : &items_[i];
  }
  int LoadPrevious(int n) override { return Shift(-std::min(n, first)); }
  int LoadNext(int n) override {
    return Shift(std::clamp(static_cast<int>(items_.size()) - first - window_, 0, n));
  }
  void LoadFromTop() override { first = 0; }
  void LoadAtEnd() override { ++loadsAtEnd, first = std::max(0, live_ - window_ / 2); }
  int LiveCount() const override { return live_ - first; }
  int RowCount() const override { return window_; }
  uint32_t PositionOfRow(int row) override { return first + row <= live_ ? first + row : 0; }
  int GoToPosition(uint32_t position) override {
    const int p = static_cast<int>(position);
    const bool inside = p > first && p <= first + window_;
    return p <= 1      ? kAtFirst
           : p > live_ ? kPastLast
           : inside    ? kInsideWindow
                       : (first = p - 1, kReloaded);
  }
  uint32_t PositionOfLast() override { return live_; }
  uint32_t PositionOfFirst() override { return live_ > 0 ? 1 : 0; }
  void DeleteRow(int row) override { deleted = row; }
  void Paste() override { ++pastes; }
  bool CanPaste() const override { return true; }
  std::string HeaderText(int) const override { return "heading"; }

  int first = 0, loadsAtEnd = 0, deleted = 0, pastes = 0;
  bool noItems = false;

 private:
  int Shift(int by) { return first += by, std::abs(by); }
  int live_, window_;
  std::vector<TFakeItem> items_;
};

/// The window side: fixed font measurements, a recorded editor with a scripted answer.
struct TGrid : TLedgerHost, TCellPainter, TRowPresenter {
  int SystemFontHeight() const override { return 16; }
  TLedgerFontMetrics MetricsForHeight(int height) const override { return {height, 2}; }
  void ShowEditor(const TCellRect& cell, int, const TCellEditorSpec& editor) override {
    shown.emplace_back(cell, editor);
  }
  TLedgerEditorResult TakeEditor() override { return ++taken, answer; }
  void Repaint() override {}
  bool IsMinimised() const override { return minimised; }
  void DrawCellText(const TCellRect& rect, std::string_view text, TCellAlignment alignment,
                    bool highlighted) override {
    painted.push_back({rect.top, rect.left, std::string(text), alignment, highlighted});
  }
  // Amounts (column 14) at the right; an editor is ten characters wider than its column number.
  TCellAlignment AlignmentOf(int column) const override {
    return column == 14 ? TCellAlignment::Right : TCellAlignment::Left;
  }
  int EditorWidthChars(int column, TColumnEntryKind) const override { return column + 10; }

  // Columns of 10, 7, 50 and 15 characters: 837 x 381 pixels hold 20 rows of 18 pixels under
  // a 20-pixel header (font 16 = the system font, leading 2).
  explicit TGrid(int live, int total = 0, int window = 250, bool footer = false)
      : rows(live, std::max(total, live + window), window), ledger(rows, *this, *this, footer) {
    for (auto [width, number] :
         {std::pair{10, 5}, std::pair{7, 6}, std::pair{50, 16}, std::pair{15, 14}})
      ledger.AddColumn(width, number);
    ledger.FinishColumns(false);
  }
  TGrid& Open(TLedger::TMode mode, int width = 837, int height = 381) {
    if (mode == TLedger::TMode::Top)
      ledger.SetTopMode(0, true);
    ledger.Resize(width, height);
    return *this;
  }
  void ClickCell(int row, int column) {
    ledger.Click(ledger.CellRect(row, column).left + 1, ledger.CellRect(row, column).top + 1);
  }
  std::tuple<int, int, int> Cursor() const {
    return {ledger.TopRow(), ledger.CursorRow(), ledger.CursorColumn()};
  }
  TLedgerItem* ItemAt(int sequenceIndex) { return &rows.At(sequenceIndex); }

  TLedgerEditorResult answer;
  bool minimised = false;
  int taken = 0;
  std::vector<std::pair<TCellRect, TCellEditorSpec>> shown;
  std::vector<std::tuple<int, int, std::string, TCellAlignment, bool>> painted;
  TFakeRows rows;
  TLedger ledger;
};

using TMode = TLedger::TMode;

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
    const TLedger& l = grid.Open(TMode::End, 1000, 500).ledger;
    grid.ledger.Resize(c.width, c.height);
    EXPECT_EQ(std::tuple(l.Zoom(), l.FontHeight(), l.RowHeight(), l.VisibleRows()),
              std::tuple(c.zoom, c.font, c.rowHeight, c.visible))
        << c.width << "x" << c.height;
    // One separator pixel on each side and between the columns; nothing left over.
    EXPECT_EQ(l.HeaderRect(1).left, 1);
    EXPECT_EQ(l.HeaderRect(4).right, c.width - 1);
    for (int i = 1; i < 4; ++i)
      EXPECT_EQ(l.HeaderRect(i + 1).left, l.HeaderRect(i).right + 1) << c.width;
  }
}

TEST(LedgerModeTest, EndModePutsTheCursorOnTheFirstEmptyRow) {
  struct TCase {
    int live, top, cursor;
  } cases[] = {{0, 1, 1}, {10, 1, 11}, {16, 1, 17}, {17, 2, 17}, {100, 85, 17}};
  for (const TCase& c : cases) {
    TGrid grid(c.live);
    grid.Open(TMode::End);
    EXPECT_EQ(grid.Cursor(), std::tuple(c.top, c.cursor, 1)) << c.live;
    EXPECT_EQ(grid.ledger.CurrentItem(), grid.ItemAt(c.live + 1)) << c.live;
  }
  // A repeated switch reloads only when forced or after a key or click.
  TGrid grid(30);
  grid.Open(TMode::End).ledger.SetEndMode(0, false);
  EXPECT_EQ(grid.rows.loadsAtEnd, 1);
  grid.ledger.SetEndMode(0, true);
  EXPECT_EQ(grid.rows.loadsAtEnd, 2);
  grid.ClickCell(3, 2);
  grid.ledger.SetEndMode(16, false);
  EXPECT_EQ(grid.rows.loadsAtEnd, 3);
  EXPECT_EQ(grid.ledger.CurrentColumn(), 16);
}

TEST(LedgerCursorTest, KeysAndCommandsMoveAndScroll) {
  auto key = [](TLedgerKey k) { return [k](TLedger& l) { l.Key(k); }; };
  auto command = [](int id) { return [id](TLedger& l) { l.Command(id); }; };
  auto wheel = [](int delta, bool ctrl) { return [=](TLedger& l) { l.Wheel(delta, ctrl); }; };
  struct TCase {
    const char* name;
    TMode mode;  // end mode shows rows 85..104 of 100 existing ones; top mode rows 1..20
    int row, column;
    std::function<void(TLedger&)> action;
    std::tuple<int, int, int> cursor;  // top row, cursor row, cursor column
  } cases[] = {
      {"enter on last column", TMode::End, 1, 4, key(TLedgerKey::Enter), {85, 2, 1}},
      {"tab at the bottom", TMode::End, 20, 4, key(TLedgerKey::Tab), {86, 20, 1}},
      {"shift+tab at the top", TMode::End, 1, 1, key(TLedgerKey::ShiftTab), {84, 1, 4}},
      {"shift+tab at the very top", TMode::Top, 1, 1, key(TLedgerKey::ShiftTab), {1, 1, 1}},
      {"backspace", TMode::Top, 3, 1, key(TLedgerKey::Backspace), {1, 2, 4}},
      {"up at the top", TMode::End, 1, 2, key(TLedgerKey::Up), {84, 1, 2}},
      {"down at the bottom", TMode::End, 20, 2, key(TLedgerKey::Down), {86, 20, 2}},
      {"pgdn keeps the row", TMode::End, 5, 2, key(TLedgerKey::PageDown), {86, 4, 2}},
      {"pgup keeps the row", TMode::End, 5, 2, key(TLedgerKey::PageUp), {84, 6, 2}},
      {"pgup at the bottom", TMode::End, 20, 2, key(TLedgerKey::PageUp), {84, 20, 2}},
      {"ctrl+pgdn pages", TMode::End, 5, 2, key(TLedgerKey::CtrlPageDown), {105, 5, 2}},
      {"ctrl+pgup at the start", TMode::Top, 5, 2, key(TLedgerKey::CtrlPageUp), {1, 5, 2}},
      {"next row walks", TMode::End, 16, 2, command(5007), {85, 17, 2}},
      {"next row scrolls", TMode::End, 17, 2, command(5007), {86, 17, 2}},
      {"previous row walks", TMode::End, 17, 2, command(5008), {85, 16, 2}},
      {"previous row scrolls", TMode::End, 16, 2, command(5008), {84, 16, 2}},
      {"wheel two notches", TMode::End, 5, 2, wheel(240, false), {83, 7, 2}},
      {"half a notch waits", TMode::End, 5, 2, wheel(-60, false), {85, 5, 2}},
      {"ctrl+wheel pages", TMode::End, 5, 2, wheel(-120, true), {105, 5, 2}},
  };
  for (const TCase& c : cases) {
    TGrid grid(100);
    grid.Open(c.mode).ClickCell(c.row, c.column);
    c.action(grid.ledger);
    EXPECT_EQ(grid.Cursor(), c.cursor) << c.name;
  }
}

TEST(LedgerCursorTest, ScrollingPastEitherEndOfTheWindowLoadsRows) {
  TGrid grid(100, 200, 30);  // 20 visible rows in a window of 30
  grid.Open(TMode::Top).ClickCell(20, 1);
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
    grid.Open(c.start).ledger.DropScrollBox(c.position);
    EXPECT_EQ(grid.ledger.Mode(), c.mode) << c.position;
    EXPECT_EQ(grid.Cursor(), std::tuple(c.top, c.cursor, 1)) << c.position;
    EXPECT_EQ(grid.ledger.CurrentItem(), grid.ItemAt(c.item)) << c.position;
  }
  // An empty row has no position of its own: it stands at the end of the range.
  TGrid grid(300);
  for (int row : {3, 17}) {
    grid.Open(TMode::End).ClickCell(row, 1);
    const TLedger::TScrollBar bar = grid.ledger.ScrollBar();
    EXPECT_EQ(std::tuple(bar.minimum, bar.maximum, bar.value),
              std::tuple(1u, 300u, row == 3 ? 287u : 300u));
  }
}

TEST(LedgerEditTest, EditorTextGoesToTheCellUnlessCancelled) {
  // Rows take Windows-1252 text, one byte a character.
  const std::string longText(200, 'x'), longList(2000, 'y'), accents(200, '\xE9');
  const auto text = TColumnEntryKind::Text, list = TColumnEntryKind::EnvelopeList;
  struct TCase {
    const char* name;
    TColumnEntryKind kind;
    bool typed;  // started by typing 'a', else by Shift+Enter
    TLedgerEditorResult result;
    std::string cell;
  } cases[] = {
      {"typed", text, true, {"a", false}, "a"},
      {"typed then esc", text, true, {"a", true}, "payee 1"},
      {"long text", text, false, {longText, false}, longText.substr(0, 128)},
      {"long accents", text, false, {accents, false}, accents.substr(0, 128)},
      {"list hands its text back", list, false, {"Food", false}, "Food"},
      {"list text the host refused", list, false, {"Food", true}, "payee 1"},
      {"long list", list, false, {longList, false}, longList.substr(0, 1024)},
  };
  for (const TCase& c : cases) {
    TGrid grid(5);
    grid.Open(TMode::Top).ClickCell(1, 3);
    TFakeItem& item = grid.rows.At(1);
    item.kind = c.kind;
    EXPECT_TRUE(c.typed ? grid.ledger.Character(U'a') : grid.ledger.Key(TLedgerKey::ShiftEnter));
    ASSERT_EQ(grid.shown.size(), 1u) << c.name;
    EXPECT_EQ(grid.shown[0].second.text, c.typed ? "" : "payee 1") << c.name;
    EXPECT_EQ(grid.shown[0].second.widthChars, 26) << c.name;
    EXPECT_EQ(item.hows.back(), c.typed ? TLedgerItem::kStartedByTyping : 1u) << c.name;
    grid.answer = c.result;
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
    grid.Open(TMode::Top).ClickCell(1, 3);
    grid.ledger.SetFocus(true);
    grid.ledger.Key(TLedgerKey::ShiftEnter);
    grid.ledger.Key(TLedgerKey::ShiftEnter);  // no second editor
    grid.answer = {"new", false};
    c.action(grid);
    EXPECT_FALSE(grid.ledger.EditorOpen()) << c.name;
    EXPECT_EQ(std::pair(grid.shown.size(), grid.taken), std::pair(size_t{1}, 1)) << c.name;
    EXPECT_EQ(grid.rows.At(1).cells[16], c.cell) << c.name;
  }
}

TEST(LedgerMouseTest, ClicksPickCellsAndDoubleClicksEdit) {
  TGrid grid(5);
  grid.Open(TMode::Top);
  struct TCase {
    int x, y, row, column;
  } cases[] = {
      {700, 19, 1, 1},   // the header's last pixel is no row
      {700, 20, 1, 4},   // first pixel of row 1
      {0, 60, 1, 4},     // the outer border is no column
      {102, 60, 3, 1},   // the separator after column 1 belongs to it
      {103, 60, 3, 2},   //
      {400, 381, 3, 2},  // below the rows
  };
  for (const TCase& c : cases) {
    grid.ledger.Click(c.x, c.y);
    EXPECT_EQ(grid.Cursor(), std::tuple(1, c.row, c.column)) << c.x << "," << c.y;
  }
  grid.ledger.DoubleClick(400, 20 + 18 * 4 + 5);
  EXPECT_EQ(grid.rows.At(5).hows, std::vector<unsigned>{5});
  ASSERT_EQ(grid.shown.size(), 1u);
  EXPECT_EQ(grid.shown[0].first.top, 20 + 18 * 4);
  grid.ledger.CloseEditor();
  grid.minimised = true;
  grid.ledger.DoubleClick(400, 30);
  EXPECT_EQ(grid.shown.size(), 1u);
  // A row that acts on the column by itself opens no editor.
  grid.minimised = false;
  grid.rows.At(1).acts = true;
  grid.ledger.DoubleClick(400, 30);
  EXPECT_EQ(std::pair(grid.rows.At(1).activations, grid.shown.size()), std::pair(1, size_t{1}));
  // The focused cursor row is marked, its cursor cell twice; only that cell is highlighted,
  // and each text is placed as the presenter says.
  grid.ledger.SetFocus(true);
  for (int column = 1; column <= 4; ++column)
    EXPECT_EQ(grid.ledger.CellState(1, column), column == 3 ? 3u : 2u) << column;
  EXPECT_EQ(grid.ledger.CellState(2, 3), 0u);
  grid.ledger.PaintCells(grid);
  ASSERT_EQ(grid.painted.size(), 20u * 4);
  const TCellRect cursor = grid.ledger.CellRect(1, 3), amount = grid.ledger.CellRect(1, 4);
  for (const auto& [top, left, text, alignment, highlighted] : grid.painted) {
    EXPECT_EQ(highlighted, top == cursor.top && left == cursor.left) << top << "," << left;
    EXPECT_EQ(alignment, left == amount.left ? TCellAlignment::Right : TCellAlignment::Left);
  }
  EXPECT_EQ(std::get<2>(grid.painted[2]), "payee 1");
}

TEST(LedgerRowSourceTest, CommandsReachTheRowSourceAndMissingRowsAreHarmless) {
  TGrid grid(100);
  grid.Open(TMode::End).ClickCell(3, 2);
  grid.ledger.Key(TLedgerKey::CtrlDelete);
  EXPECT_EQ(grid.rows.deleted, 87);
  grid.ledger.Key(TLedgerKey::ShiftInsert);
  EXPECT_EQ(grid.rows.pastes, 1);
  EXPECT_EQ(grid.ledger.Mode(), TMode::Top);

  TGrid empty(10);
  empty.rows.noItems = true;
  empty.Open(TMode::End);
  EXPECT_EQ(empty.ledger.CurrentItem(), nullptr);
  EXPECT_FALSE(empty.ledger.Character(U'a'));
  for (TLedgerKey key : {TLedgerKey::ShiftEnter, TLedgerKey::Tab, TLedgerKey::CtrlInsert,
                         TLedgerKey::ShiftDelete, TLedgerKey::CtrlDelete, TLedgerKey::Up})
    empty.ledger.Key(key);
  empty.ledger.DoubleClick(400, 30);
  empty.ledger.PaintCells(empty);
  EXPECT_EQ(empty.shown.size(), 0u);
}

}  // namespace
