#include "presentation/ledger.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <utility>

namespace {

// Ends an action of the user's: a fill made during it is no longer the latest thing, so the
// next key does not count it as its own.
struct TFillSettles {
  explicit TFillSettles(bool& justNow) : justNow_(justNow) {}
  ~TFillSettles() { justNow_ = false; }
  bool& justNow_;
};

/// A wheel notch, in the units the window system reports.
constexpr int kWheelNotch = 120;
/// The most a free-text editor hands back, and a name-list editor.
constexpr size_t kTextEditorLimit = 128;
constexpr size_t kListEditorLimit = 1024;
/// The visible rows stay this far below the size of the row source's window, so that scrolling
/// always has rows below the screen to move into.
constexpr int kWindowReserve = 10;

}  // namespace

struct TLedger::TState {
  struct TColumn {
    int widthChars = 0;
    int number = 0;
    int left = 0;   ///< first pixel
    int right = 0;  ///< one past the last pixel; the separator follows
  };
  std::vector<TColumn> columns;
  int sumChars = 0;
  /// The column number under the cursor when the columns were cleared, found again afterwards.
  int columnBeforeClear = 0;

  int width = 0;
  int height = 0;
  bool measured = false;  ///< the font and column edges fit the current width
  bool loaded = false;    ///< the first layout loaded the rows
  int zoom = 0;
  int fontHeight = 1;
  int rowHeight = 1;
  int headerHeight = 3;
  int visibleRows = 0;

  int topRow = 1;
  int cursorRow = 1;
  int cursorColumn = 1;
  TMode mode = TMode::End;
  int modeColumn = 0;
  bool inputSinceSwitch = false;

  // The row a chosen payee just filled and the window row it stands on: until the user does
  // anything else, Esc takes the fill back. Compared, never followed.
  const TLedgerItem* filled = nullptr;
  int filledRow = 0;
  bool filledJustNow = false;

  bool editorOpen = false;
  TLedgerItem* editorItem = nullptr;
  int editorColumn = 0;
  TColumnEntryKind editorKind = TColumnEntryKind::None;

  uint32_t background = kDefaultBackground;
  bool focus = false;
  int wheelRest = 0;
};

TLedger::TLedger(TLedgerList& rows, const TRowPresenter& presenter, TLedgerHost& host, bool footer)
    : rows_(rows),
      presenter_(presenter),
      host_(host),
      footer_(footer),
      state_(std::make_unique<TState>()) {
  rows_.SetObserver(this);
}

TLedger::~TLedger() {
  // The window layer closes the editor before it goes; the host may already be half gone here.
  if (rows_.Observer() == static_cast<TLedgerListObserver*>(this))
    rows_.SetObserver(nullptr);
}

// ---- columns ----------------------------------------------------------------

void TLedger::AddColumn(int widthChars, int columnNumber) {
  state_->columns.push_back({std::max(0, widthChars), columnNumber, 0, 0});
  state_->sumChars += std::max(0, widthChars);
}

void TLedger::ClearColumns() {
  CloseEditor();
  if (!state_->columns.empty())
    state_->columnBeforeClear = CurrentColumn();
  state_->columns.clear();
  state_->sumChars = 0;
}

void TLedger::FinishColumns(bool repaint) {
  TState& s = *state_;
  CloseEditor();
  Layout(true);
  if (s.columnBeforeClear != 0)
    s.cursorColumn = ColumnIndexOf(s.columnBeforeClear);
  s.columnBeforeClear = 0;
  s.cursorColumn = std::clamp(s.cursorColumn, 1, std::max(1, ColumnCount()));
  KeepCursorInView();
  if (repaint)
    host_.Repaint();
}

int TLedger::ColumnCount() const {
  return static_cast<int>(state_->columns.size());
}

int TLedger::ColumnNumber(int index) const {
  return index >= 1 && index <= ColumnCount() ? state_->columns[index - 1].number : 0;
}

int TLedger::ColumnWidthChars(int index) const {
  return index >= 1 && index <= ColumnCount() ? state_->columns[index - 1].widthChars : 0;
}

int TLedger::ColumnIndexOf(int columnNumber) const {
  for (int i = 1; i <= ColumnCount(); ++i) {
    if (state_->columns[i - 1].number == columnNumber)
      return i;
  }
  return 1;
}

// ---- layout -------------------------------------------------------------------

void TLedger::Layout(bool measure) {
  TState& s = *state_;
  const int n = ColumnCount();
  if (measure || !s.measured) {
    // One pixel separates the columns and closes both sides: n + 1 separators.
    const int available = std::max(0, s.width - (n + 1));
    s.zoom = s.sumChars > 0 ? static_cast<int>(available * 100LL / s.sumChars) : 0;
    s.fontHeight = std::max(1, std::min(s.zoom * 5 / 200, host_.SystemFontHeight()));
    s.rowHeight = std::max(1, s.fontHeight + host_.MetricsForHeight(s.fontHeight).externalLeading);
    // Edges from the running sum of character widths, so that rounding never leaves pixels over
    // at the right: the last column ends exactly before the closing separator.
    long long chars = 0;
    int edge = 0;
    for (int i = 1; i <= n; ++i) {
      TState::TColumn& column = s.columns[i - 1];
      chars += column.widthChars;
      const int next = s.sumChars > 0 ? static_cast<int>(available * chars / s.sumChars) : 0;
      column.left = i + edge;
      column.right = i + next;
      edge = next;
    }
    s.measured = true;
  }
  s.headerHeight = s.rowHeight + 2;
  const int margin = footer_ ? s.headerHeight : 1;
  const int fit = (s.height - s.headerHeight - margin) / s.rowHeight;
  s.visibleRows = std::clamp(fit, 0, std::max(0, rows_.RowCount() - kWindowReserve));
}

void TLedger::Resize(int width, int height) {
  TState& s = *state_;
  if (s.loaded && width == s.width && height == s.height)
    return;
  CloseEditor();
  const bool widthChanged = width != s.width;
  s.width = width;
  s.height = height;
  Layout(widthChanged);
  if (!s.loaded) {
    s.loaded = true;
    ApplyMode(s.mode, s.modeColumn);
    return;
  }
  KeepCursorInView();
  host_.Repaint();
}

int TLedger::Width() const {
  return state_->width;
}
int TLedger::Height() const {
  return state_->height;
}
int TLedger::Zoom() const {
  return state_->zoom;
}
int TLedger::FontHeight() const {
  return state_->fontHeight;
}
int TLedger::RowHeight() const {
  return state_->rowHeight;
}
int TLedger::HeaderHeight() const {
  return state_->headerHeight;
}
int TLedger::VisibleRows() const {
  return state_->visibleRows;
}

TCellRect TLedger::HeaderRect(int columnIndex) const {
  if (columnIndex < 1 || columnIndex > ColumnCount())
    return {};
  const TState::TColumn& column = state_->columns[columnIndex - 1];
  return {column.left, 0, column.right, state_->headerHeight};
}

TCellRect TLedger::CellRect(int visibleRow, int columnIndex) const {
  TCellRect rect = HeaderRect(columnIndex);
  rect.top = state_->headerHeight + (visibleRow - 1) * state_->rowHeight;
  rect.bottom = rect.top + state_->rowHeight;
  return rect;
}

unsigned TLedger::CellState(int visibleRow, int columnIndex) const {
  const TState& s = *state_;
  if (visibleRow != s.cursorRow || visibleRow < 1 || visibleRow > s.visibleRows)
    return 0;
  unsigned state = 0;
  if (columnIndex == s.cursorColumn)
    state |= kCursorCell;
  if (s.focus)
    state |= kGridFocused;
  return state;
}

int TLedger::RowAt(int y) const {
  const TState& s = *state_;
  // The header's own pixels are not rows (integer division would count its lower part as row 1).
  if (y < s.headerHeight)
    return 0;
  const int row = (y - s.headerHeight) / s.rowHeight + 1;
  return row <= s.visibleRows ? row : 0;
}

int TLedger::ColumnAt(int x) const {
  for (int i = 1; i <= ColumnCount(); ++i) {
    const TState::TColumn& column = state_->columns[i - 1];
    if (x >= column.left && x <= column.right)
      return i;
  }
  return 0;
}

TLedgerItem* TLedger::VisibleItem(int visibleRow) const {
  const TState& s = *state_;
  if (!s.loaded || visibleRow < 1 || visibleRow > s.visibleRows)
    return nullptr;
  const int row = s.topRow + visibleRow - 1;
  return row >= 1 && row <= rows_.RowCount() ? rows_.Item(row) : nullptr;
}

void TLedger::PaintCells(TCellPainter& painter) const {
  for (int r = 1; r <= state_->visibleRows; ++r) {
    const TLedgerItem* item = VisibleItem(r);
    if (item == nullptr)
      continue;
    for (int c = 1; c <= ColumnCount(); ++c) {
      const int column = ColumnNumber(c);
      const bool highlighted = CellState(r, c) == (kCursorCell | kGridFocused);
      painter.DrawCellText(CellRect(r, c), item->ShownText(column), presenter_.AlignmentOf(column),
                           highlighted);
    }
  }
}

void TLedger::SetBackground(uint32_t rgb) {
  state_->background = rgb;
}
uint32_t TLedger::Background() const {
  return state_->background;
}

// ---- cursor and modes ---------------------------------------------------------------

int TLedger::TopRow() const {
  return state_->topRow;
}
int TLedger::CursorRow() const {
  return state_->cursorRow;
}
int TLedger::CursorColumn() const {
  return state_->cursorColumn;
}
TLedger::TMode TLedger::Mode() const {
  return state_->mode;
}
TLedgerItem* TLedger::CurrentItem() const {
  return VisibleItem(state_->cursorRow);
}
int TLedger::CurrentColumn() const {
  return ColumnNumber(state_->cursorColumn);
}
int TLedger::CursorWindowRow() const {
  return state_->topRow + state_->cursorRow - 1;
}

int TLedger::MaxTopRow() const {
  return std::max(1, rows_.RowCount() - std::max(1, state_->visibleRows) + 1);
}

void TLedger::ClampAfterSwitch() {
  TState& s = *state_;
  s.cursorRow = std::clamp(s.cursorRow, 1, std::max(1, s.visibleRows));
  s.topRow = std::clamp(s.topRow, 1, MaxTopRow());
}

void TLedger::KeepCursorInView() {
  // After the visible rows changed: keep the cursor on its row object where the window allows.
  TState& s = *state_;
  const int visible = std::max(1, s.visibleRows);
  const int row = std::clamp(CursorWindowRow(), 1, std::max(1, rows_.RowCount()));
  if (row - s.topRow + 1 > visible)
    s.topRow = row - visible + 1;
  s.topRow = std::clamp(s.topRow, 1, MaxTopRow());
  s.cursorRow = std::clamp(row - s.topRow + 1, 1, visible);
}

void TLedger::ApplyMode(TMode mode, int columnNumber) {
  TState& s = *state_;
  CloseEditor();
  s.mode = mode;
  s.modeColumn = columnNumber;
  s.inputSinceSwitch = false;
  s.cursorColumn = ColumnIndexOf(columnNumber);
  if (!s.loaded)
    return;  // the first layout loads in the mode set by then
  if (mode == TMode::End) {
    rows_.LoadAtEnd();
    // The cursor goes on the first empty row, at about four fifths of the height.
    const int live = std::clamp(rows_.LiveCount(), 0, rows_.RowCount());
    const int fourFifths = s.visibleRows * 4 / 5;
    if (live > fourFifths) {
      s.topRow = live - fourFifths + 1;
      s.cursorRow = fourFifths + 1;
    } else {
      s.topRow = 1;
      s.cursorRow = live + 1;
    }
  } else {
    rows_.LoadFromTop();
    s.topRow = 1;
    s.cursorRow = 1;
  }
  ClampAfterSwitch();
  host_.Repaint();
}

void TLedger::SetEndMode(int columnNumber, bool force) {
  if (state_->mode == TMode::End && !force && !state_->inputSinceSwitch)
    return;
  ApplyMode(TMode::End, columnNumber);
}

void TLedger::SetTopMode(int columnNumber, bool force) {
  if (state_->mode == TMode::Top && !force && !state_->inputSinceSwitch)
    return;
  ApplyMode(TMode::Top, columnNumber);
}

template <typename TMove>
void TLedger::Move(TMove move) {
  CloseEditor();
  move();
  host_.Repaint();
}

void TLedger::MoveNextCell() {
  TState& s = *state_;
  if (ColumnCount() == 0 || s.visibleRows == 0)
    return;
  if (s.cursorColumn < ColumnCount()) {
    ++s.cursorColumn;
  } else if (s.cursorRow < s.visibleRows) {
    ++s.cursorRow;
    s.cursorColumn = 1;
  } else if (LineDown(false)) {
    s.cursorColumn = 1;
  }
}

void TLedger::MovePreviousCell() {
  TState& s = *state_;
  if (ColumnCount() == 0 || s.visibleRows == 0)
    return;
  if (s.cursorColumn > 1) {
    --s.cursorColumn;
  } else if (s.cursorRow > 1) {
    --s.cursorRow;
    s.cursorColumn = ColumnCount();
  } else if (LineUp(false)) {
    s.cursorColumn = ColumnCount();
  }
}

void TLedger::MoveRowDown() {
  if (state_->cursorRow < state_->visibleRows)
    ++state_->cursorRow;
  else
    LineDown(false);
}

void TLedger::MoveRowUp() {
  if (state_->cursorRow > 1)
    --state_->cursorRow;
  else
    LineUp(false);
}

void TLedger::NextCell() {
  Move([this] { MoveNextCell(); });
}

void TLedger::PreviousCell() {
  Move([this] { MovePreviousCell(); });
}

void TLedger::NextRow() {
  Move([this] {
    TState& s = *state_;
    // The cursor walks down to just below four fifths of the height, then the rows move.
    if (s.cursorRow <= s.visibleRows * 4 / 5 && s.cursorRow < s.visibleRows)
      ++s.cursorRow;
    else
      LineDown(false);
  });
}

void TLedger::PreviousRow() {
  Move([this] {
    TState& s = *state_;
    if (s.cursorRow > s.visibleRows * 4 / 5 && s.cursorRow > 1)
      --s.cursorRow;
    else
      LineUp(false);
  });
}

// ---- scrolling ------------------------------------------------------------------

int TLedger::LoadStep() const {
  // A line's load brings up to a screenful, but never so many that the row the view moves to
  // would leave the window.
  return std::clamp(state_->visibleRows, 1, MaxTopRow());
}

bool TLedger::LineUp(bool keep) {
  TState& s = *state_;
  if (s.visibleRows == 0)
    return false;
  if (s.topRow > 1) {
    --s.topRow;
    if (keep && s.cursorRow < s.visibleRows)
      ++s.cursorRow;
    return true;
  }
  const int brought = rows_.LoadPrevious(LoadStep());
  if (brought <= 0)
    return false;
  // The old first row is now row brought + 1; show the one above it on top.
  s.topRow += brought - 1;
  if (keep)
    ++s.cursorRow;
  ClampAfterSwitch();
  return true;
}

bool TLedger::LineDown(bool keep) {
  TState& s = *state_;
  if (s.visibleRows == 0)
    return false;
  if (s.topRow < MaxTopRow()) {
    ++s.topRow;
    if (keep && s.cursorRow > 1)
      --s.cursorRow;
    return true;
  }
  const int brought = rows_.LoadNext(LoadStep());
  if (brought <= 0)
    return false;
  s.topRow -= brought - 1;
  if (keep && s.cursorRow > 1)
    --s.cursorRow;
  ClampAfterSwitch();
  return true;
}

void TLedger::PageUp() {
  TState& s = *state_;
  const int visible = s.visibleRows;
  if (visible == 0)
    return;
  if (s.topRow > visible) {
    s.topRow -= visible;
    return;
  }
  const int brought = rows_.LoadPrevious(visible);
  s.topRow = brought < visible ? 1 : s.topRow + brought - visible;
  ClampAfterSwitch();
}

void TLedger::PageDown() {
  TState& s = *state_;
  const int visible = s.visibleRows;
  if (visible == 0)
    return;
  if (s.topRow + visible <= MaxTopRow()) {
    s.topRow += visible;
    return;
  }
  const int brought = rows_.LoadNext(visible);
  s.topRow = brought < visible ? MaxTopRow() : s.topRow - brought + visible;
  ClampAfterSwitch();
}

void TLedger::Scroll(TScrollAction action) {
  if (!state_->loaded)
    return;
  Move([this, action] {
    switch (action) {
      case TScrollAction::LineUp:
        LineUp(true);
        break;
      case TScrollAction::LineDown:
        LineDown(true);
        break;
      case TScrollAction::PageUp:
        PageUp();
        break;
      case TScrollAction::PageDown:
        PageDown();
        break;
    }
  });
}

void TLedger::Wheel(int delta, bool ctrl) {
  TState& s = *state_;
  if (!s.loaded)
    return;
  // Fine-grained wheels report parts of a notch: collect them until a whole one is there.
  s.wheelRest += delta;
  int steps = s.wheelRest / kWheelNotch;
  s.wheelRest %= kWheelNotch;
  if (steps == 0)
    return;
  steps = std::clamp(steps, -rows_.RowCount(), rows_.RowCount());
  Move([this, steps, ctrl] {
    for (int i = 0; i < std::abs(steps); ++i) {
      if (steps > 0)
        ctrl ? PageUp() : void(LineUp(true));
      else
        ctrl ? PageDown() : void(LineDown(true));
    }
  });
}

TLedger::TScrollBar TLedger::ScrollBar() {
  TScrollBar bar;
  bar.minimum = rows_.PositionOfFirst();
  bar.maximum = std::max(bar.minimum, rows_.PositionOfLast());
  bar.value = bar.minimum;
  const int row = CursorWindowRow();
  if (!state_->loaded || row < 1 || row > rows_.RowCount())
    return bar;
  const uint32_t position = rows_.PositionOfRow(row);
  // Rows without a position are the empty rows after the existing ones: the end of the range.
  bar.value = position == 0 ? bar.maximum : std::clamp(position, bar.minimum, bar.maximum);
  return bar;
}

void TLedger::DropScrollBox(uint32_t position) {
  TState& s = *state_;
  if (!s.loaded)
    return;
  CloseEditor();
  const int column = CurrentColumn();
  switch (rows_.GoToPosition(position)) {
    case TLedgerList::kAtFirst:
      ApplyMode(TMode::Top, column);
      return;
    case TLedgerList::kPastLast:
      ApplyMode(TMode::End, column);
      return;
    case TLedgerList::kReloaded:
      s.topRow = 1;
      s.cursorRow = 1;
      break;
    case TLedgerList::kInsideWindow:
      for (int row = 1; row <= rows_.RowCount(); ++row) {
        const uint32_t at = rows_.PositionOfRow(row);
        if (at != 0 && at >= position) {
          s.topRow = std::min(row, MaxTopRow());
          s.cursorRow = row - s.topRow + 1;
          break;
        }
      }
      break;
    default:
      return;
  }
  ClampAfterSwitch();
  host_.Repaint();
}

// ---- input ------------------------------------------------------------------------

bool TLedger::Command(int command) {
  state_->filled = nullptr;
  const TFillSettles settles(state_->filledJustNow);
  TState& s = *state_;
  if (command == kCmdTopMode) {
    SetTopMode(0, false);
    return true;
  }
  if (command == kCmdEndMode) {
    SetEndMode(0, false);
    return true;
  }
  s.inputSinceSwitch = true;
  switch (command) {
    case kCmdNextCell:
      NextCell();
      return true;
    case kCmdPreviousCell:
      PreviousCell();
      return true;
    case kCmdScrollDownKeep:
      Scroll(TScrollAction::LineDown);
      return true;
    case kCmdScrollUpKeep:
      Scroll(TScrollAction::LineUp);
      return true;
    case kCmdNextRow:
      NextRow();
      return true;
    case kCmdPreviousRow:
      PreviousRow();
      return true;
    case kCmdOpenEditor:
      OpenCursorEditor(1);
      return true;
    default:
      break;
  }
  if (command != kCmdCut && command != kCmdCopy && command != kCmdPaste && command != kCmdDelete)
    return false;
  if (command == kCmdPaste && !rows_.CanPaste())
    return false;
  if (CurrentItem() == nullptr && command != kCmdPaste)
    return true;  // no row under the cursor (not laid out, or no rows shown): nothing to do
  // A pending edit belongs to the row before it is copied, cut or deleted.
  CloseEditor();
  const int row = CursorWindowRow();
  switch (command) {
    case kCmdCut:
      rows_.CutRow(row);
      break;
    case kCmdCopy:
      rows_.CopyRow(row);
      return true;
    case kCmdDelete:
      rows_.DeleteRow(row);
      break;
    case kCmdPaste:
      rows_.Paste();
      ApplyMode(TMode::Top, CurrentColumn());
      return true;
  }
  KeepCursorInView();
  host_.Repaint();
  return true;
}

bool TLedger::Key(TLedgerKey key) {
  TState& s = *state_;
  s.inputSinceSwitch = true;
  // A fill made as the editor closed just before this key belongs to the key's own action
  // (the window closes an editor first, then hands the grid the key); anything older is gone.
  if (key != TLedgerKey::Escape && !std::exchange(s.filledJustNow, false))
    s.filled = nullptr;
  const bool handled = KeyAction(key);
  s.filledJustNow = false;
  return handled;
}

bool TLedger::KeyAction(TLedgerKey key) {
  TState& s = *state_;
  switch (key) {
    case TLedgerKey::Tab:
    case TLedgerKey::Enter:
      NextCell();
      return true;
    case TLedgerKey::ShiftTab:
    case TLedgerKey::Backspace:
      PreviousCell();
      return true;
    case TLedgerKey::ShiftEnter:
      OpenCursorEditor(1);
      return true;
    case TLedgerKey::Escape:
      // Esc takes back a fill the user has not gone on from, and does nothing else to the grid
      // itself; it is taken, so that the Esc a name-list editor passes on when it closes cannot
      // reach the window and close the view.
      if (TakeBackFill())
        return true;
      s.filled = nullptr;
      CloseEditor();
      return true;
    case TLedgerKey::Up:
      Move([this] { MoveRowUp(); });
      return true;
    case TLedgerKey::Down:
      Move([this] { MoveRowDown(); });
      return true;
    case TLedgerKey::PageUp:
      Scroll(TScrollAction::LineUp);
      return true;
    case TLedgerKey::PageDown:
      Scroll(TScrollAction::LineDown);
      return true;
    case TLedgerKey::CtrlPageUp:
      Scroll(TScrollAction::PageUp);
      return true;
    case TLedgerKey::CtrlPageDown:
      Scroll(TScrollAction::PageDown);
      return true;
    case TLedgerKey::Home:
      Move([this] { state_->cursorColumn = 1; });
      return true;
    case TLedgerKey::End:
      Move([this] { state_->cursorColumn = std::max(1, ColumnCount()); });
      return true;
    case TLedgerKey::CtrlHome:
      SetTopMode(0, true);
      return true;
    case TLedgerKey::CtrlEnd:
      SetEndMode(0, true);
      return true;
    case TLedgerKey::CtrlInsert:
      return Command(kCmdCopy);
    case TLedgerKey::ShiftInsert:
      return Command(kCmdPaste);
    case TLedgerKey::CtrlDelete:
      return Command(kCmdDelete);
    case TLedgerKey::ShiftDelete:
      return Command(kCmdCut);
  }
  return false;
}

bool TLedger::Character(char32_t character) {
  // Backspace, Tab, Enter and Esc arrive as keys; no control character starts an edit.
  if (state_->editorOpen || character < 0x20 || character == 0x7F)
    return false;
  state_->inputSinceSwitch = true;
  OpenCursorEditor(TLedgerItem::kStartedByTyping);
  return state_->editorOpen;
}

void TLedger::Click(int x, int y) {
  TState& s = *state_;
  s.inputSinceSwitch = true;
  s.filled = nullptr;
  const TFillSettles settles(s.filledJustNow);
  const int row = RowAt(y);
  const int column = ColumnAt(x);
  if (row == 0 || column == 0)
    return;
  Move([&s, row, column] {
    s.cursorRow = row;
    s.cursorColumn = column;
  });
}

void TLedger::DoubleClick(int x, int y) {
  if (RowAt(y) == 0 || ColumnAt(x) == 0)
    return;
  Click(x, y);
  OpenCursorEditor(1 | TLedgerItem::kClicked);
  host_.Repaint();
}

void TLedger::SetFocus(bool focused) {
  TState& s = *state_;
  if (focused == s.focus)
    return;
  if (focused)
    CloseEditor();
  s.focus = focused;
  host_.Repaint();
}

bool TLedger::HasFocus() const {
  return state_->focus;
}

// ---- in-place editing ----------------------------------------------------------------

bool TLedger::EditorOpen() const {
  return state_->editorOpen;
}

int TLedger::EditorColumn() const {
  return state_->editorOpen ? state_->editorColumn : 0;
}

void TLedger::OpenCursorEditor(unsigned how) {
  if (state_->editorOpen || host_.IsMinimised())
    return;
  TLedgerItem* item = CurrentItem();
  const int column = CurrentColumn();
  if (item == nullptr || column == 0)
    return;
  // The row decides: it acts by itself and opens nothing, or says what entry the column takes.
  if (item->Activate(column))
    return;
  const TColumnEntry entry = item->EntryFor(column, how);
  OpenEditor(column, {entry.kind, presenter_.EditorWidthChars(column, entry.kind), entry.maxLength,
                      entry.text, entry.completes});
}

void TLedger::OpenEditor(int column, const TCellEditorSpec& editor) {
  TState& s = *state_;
  if (s.editorOpen || host_.IsMinimised() || editor.kind == TColumnEntryKind::None)
    return;
  TLedgerItem* item = CurrentItem();
  if (item == nullptr)
    return;
  int index = s.cursorColumn;
  if (ColumnNumber(index) != column) {
    for (int i = 1; i <= ColumnCount(); ++i) {
      if (ColumnNumber(i) == column)
        index = i;
    }
  }
  s.editorOpen = true;
  s.editorItem = item;
  s.editorColumn = column;
  s.editorKind = editor.kind;
  host_.ShowEditor(CellRect(s.cursorRow, index), column, editor);
}

void TLedger::CloseEditor() {
  TState& s = *state_;
  if (!s.editorOpen)
    return;
  // Marked closed before the host hides it: hiding moves the focus back here, which closes again.
  s.editorOpen = false;
  TLedgerItem* item = std::exchange(s.editorItem, nullptr);
  const int column = std::exchange(s.editorColumn, 0);
  const bool list =
      std::exchange(s.editorKind, TColumnEntryKind::None) == TColumnEntryKind::EnvelopeList;
  // A name list's Esc hands its text back (the host reports it as not cancelled); a cancelled
  // editor, or one whose text the file cannot hold, leaves the cell as it was.
  TLedgerEditorResult result = host_.TakeEditor();
  if (item == nullptr || result.cancelled)
    return;
  const std::string text = result.text.substr(0, list ? kListEditorLimit : kTextEditorLimit);
  s.filled = nullptr;
  if (!result.chosen) {
    item->SetColumnText(column, text);
  } else if (item->ChooseColumnText(column, text) && item == CurrentItem()) {
    s.filled = item;
    s.filledRow = CursorWindowRow();
    s.filledJustNow = true;
  }
  host_.Repaint();
}

bool TLedger::FillToTakeBack() const {
  const TState& s = *state_;
  return s.filled != nullptr && !s.editorOpen && s.filled == CurrentItem() &&
         s.filledRow == CursorWindowRow();
}

bool TLedger::TakeBackFill() {
  const bool pending = FillToTakeBack();
  state_->filled = nullptr;
  if (!pending)
    return false;
  // The row was empty before the payee was chosen: removing what the fill made leaves the
  // empty row in its place.
  rows_.DeleteRow(CursorWindowRow());
  KeepCursorInView();
  host_.Repaint();
  return true;
}

void TLedger::WindowReloading() {
  TState& s = *state_;
  s.filled = nullptr;
  if (!s.editorOpen)
    return;
  // The edited row may be gone: drop what the editor holds.
  s.editorOpen = false;
  s.editorItem = nullptr;
  s.editorColumn = 0;
  s.editorKind = TColumnEntryKind::None;
  host_.TakeEditor();
}

void TLedger::RowsChanged() {
  if (state_->filled != nullptr && state_->filled != CurrentItem())
    state_->filled = nullptr;
  host_.Repaint();
}
