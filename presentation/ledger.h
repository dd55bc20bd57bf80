#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "presentation/ledger_cells.h"
#include "presentation/row_presenters.h"
#include "transactions/ledger_item.h"
#include "transactions/ledger_list.h"

/// Font measurements the grid needs from the display.
struct TLedgerFontMetrics {
  int height = 0;           ///< the font's height in pixels
  int externalLeading = 0;  ///< the space the font wants between lines
};

/// What an in-place editor held when it closed.
struct TLedgerEditorResult {
  std::string text;
  bool cancelled = false;
  /// The text was chosen from the editor's completions.
  bool chosen = false;
};

/// The window side of a grid: the grid logic decides, the host shows. The Qt widget implements
/// it; tests use a fake.
class TLedgerHost {
 public:
  virtual ~TLedgerHost() = default;
  /// The height of the system font: the grid font never grows above it.
  virtual int SystemFontHeight() const = 0;
  /// The measurements of the grid font ("Tahoma") made `pixelHeight` high.
  virtual TLedgerFontMetrics MetricsForHeight(int pixelHeight) const = 0;
  /// Shows the in-place editor over `cell` (grid coordinates) for the cursor cell.
  virtual void ShowEditor(const TCellRect& cell, int column, const TCellEditorSpec& editor) = 0;
  /// Hides the editor and says what it held.
  virtual TLedgerEditorResult TakeEditor() = 0;
  /// Everything (rows, cursor, scroll bar) must be drawn again.
  virtual void Repaint() = 0;
  /// Whether the grid's window is minimised (no editor opens then).
  virtual bool IsMinimised() const { return false; }
};

/// Keys the grid understands, after the window layer has translated its own accelerators.
enum class TLedgerKey {
  Tab,
  ShiftTab,
  Enter,
  ShiftEnter,
  Backspace,
  Escape,
  Up,
  Down,
  PageUp,
  PageDown,
  CtrlPageUp,
  CtrlPageDown,
  Home,
  End,
  CtrlHome,
  CtrlEnd,
  CtrlInsert,   ///< copy the cursor row
  ShiftInsert,  ///< paste
  CtrlDelete,   ///< delete the cursor row through the row source
  ShiftDelete,  ///< cut the cursor row
};

/// The grid controller of a ledger window, the editable grid of every ledger-like list without
/// the window itself: columns and the layout arithmetic (zoom, font height, visible rows), the
/// cell cursor, end and top modes, scrolling over the row source's window, the key and mouse
/// rules, and when an in-place editor opens, commits or is dropped. Rows are counted from 1:
/// `TopRow` within the row source's window, `CursorRow` among the visible rows, `CursorColumn`
/// within the column list.
class TLedger : private TLedgerListObserver {
 public:
  /// Grid commands, by their numbers in the menus' accelerator tables.
  enum TCommand : int {
    kCmdTopMode = 5001,
    kCmdEndMode = 5002,
    kCmdNextCell = 5003,
    kCmdPreviousCell = 5004,
    kCmdScrollDownKeep = 5005,
    kCmdScrollUpKeep = 5006,
    kCmdNextRow = 5007,
    kCmdPreviousRow = 5008,
    kCmdOpenEditor = 5010,
    kCmdCut = 24322,
    kCmdCopy = 24323,
    kCmdPaste = 24324,
    kCmdDelete = 24325,
  };
  enum class TMode { End = 1, Top = 2 };
  /// What a scroll bar asks for.
  enum class TScrollAction { LineUp, LineDown, PageUp, PageDown };
  /// Bits of a cell's paint state; both together mark the cursor cell of a focused grid.
  enum : unsigned { kCursorCell = 1, kGridFocused = 2 };
  /// The colour of odd rows until the owner sets one (cyan).
  static constexpr uint32_t kDefaultBackground = 0x00FFFF;

  /// `presenter` lays out the kind of row `rows` holds and must outlive the grid; `footer`
  /// reserves a band of one header height below the rows.
  TLedger(TLedgerList& rows, const TRowPresenter& presenter, TLedgerHost& host,
          bool footer = false);
  ~TLedger() override;
  TLedger(const TLedger&) = delete;
  TLedger& operator=(const TLedger&) = delete;

  TLedgerList& Rows() const { return rows_; }

  // Columns.
  void AddColumn(int widthChars, int columnNumber);
  void ClearColumns();
  /// Recomputes the layout; `repaint` asks the host to draw.
  void FinishColumns(bool repaint);
  int ColumnCount() const;
  /// The row-object column number of the 1-based column index.
  int ColumnNumber(int index) const;
  int ColumnWidthChars(int index) const;

  // Layout.
  /// The grid's client size changed (the first call also loads the rows in the current mode).
  void Resize(int width, int height);
  int Width() const;
  int Height() const;
  int Zoom() const;
  int FontHeight() const;
  int RowHeight() const;
  int HeaderHeight() const;
  int VisibleRows() const;
  /// The pixel rectangle of a header cell and of a cell of visible row `visibleRow`.
  TCellRect HeaderRect(int columnIndex) const;
  TCellRect CellRect(int visibleRow, int columnIndex) const;
  /// The paint state (kCursorCell, kGridFocused) of a cell.
  unsigned CellState(int visibleRow, int columnIndex) const;
  /// The visible row under grid coordinate `y` (1-based), 0 outside the rows (header included).
  int RowAt(int y) const;
  /// The column index under grid coordinate `x` (a separator belongs to the column on its
  /// left), 0 outside the columns.
  int ColumnAt(int x) const;
  /// The row object shown in visible row `visibleRow`; null outside the rows or when the row
  /// source has none there.
  TLedgerItem* VisibleItem(int visibleRow) const;
  /// Draws the shown text of every visible row's cells, each in its rectangle, placed as the
  /// presenter says, the cursor cell of a focused grid highlighted.
  void PaintCells(TCellPainter& painter) const;
  /// The colour of odd visible rows (0xRRGGBB); even rows are white.
  void SetBackground(uint32_t rgb);
  uint32_t Background() const;
  /// The colour of visible row `visibleRow`: the background for odd rows, white for even ones
  /// (also for the rows' places below the last visible row).
  uint32_t RowBackground(int visibleRow) const;

  // Cursor and modes.
  int TopRow() const;
  int CursorRow() const;
  int CursorColumn() const;
  TMode Mode() const;
  /// The row object under the cursor (null before the first layout, while no row is visible,
  /// or when the row source has none there).
  TLedgerItem* CurrentItem() const;
  /// The row-object column number under the cursor.
  int CurrentColumn() const;
  /// Switch mode and load the rows (before the first layout: only remember the mode). The
  /// cursor goes to the column showing `columnNumber` (the first column for 0). Without
  /// `force`, switching to the mode already set does nothing unless a key or click came since.
  void SetEndMode(int columnNumber, bool force);
  void SetTopMode(int columnNumber, bool force);
  void NextCell();
  void PreviousCell();
  void NextRow();
  void PreviousRow();

  // Input. Each returns true when it was handled. Whatever moves the cursor or changes the rows
  // first closes (commits) an open editor, so the window layer passes the keys an editor gives
  // up (Tab, Enter, PgUp, PgDn, Up, Down) straight to Key.
  bool Command(int command);
  /// Esc closes an open editor (the host says whether it was cancelled); with none open, it
  /// takes back the fill of a new row from a chosen payee when it is the next thing the user
  /// does, and otherwise does nothing.
  bool Key(TLedgerKey key);
  /// Whether Esc would now take back the fill of a new row (so that the window lets the grid
  /// have the key rather than closing the view).
  bool FillToTakeBack() const;
  /// A typed printable character while no editor is open: opens the cursor cell's editor empty;
  /// true when the editor opened and should receive the character. Control characters
  /// (Backspace, Tab, Enter, Esc) are not taken here: they come as keys.
  bool Character(char32_t character);
  /// A left click; the window layer gives the grid the focus (SetFocus) itself.
  void Click(int x, int y);
  void DoubleClick(int x, int y);
  /// Wheel movement in 120ths of a notch; with Ctrl it pages.
  void Wheel(int delta, bool ctrl);
  /// The grid gained or lost the keyboard focus.
  void SetFocus(bool focused);
  bool HasFocus() const;

  // Scroll bar.
  /// The scroll bar: its range (the store positions of the row source's first and last rows)
  /// and its value (the cursor row's; an empty row, which has none, stands at the end). Each
  /// is looked up once.
  struct TScrollBar {
    uint32_t minimum = 0;
    uint32_t maximum = 0;
    uint32_t value = 0;
  };
  TScrollBar ScrollBar();
  /// Arrows scroll one line keeping the cursor on its row object; pages move a screenful.
  void Scroll(TScrollAction action);
  /// The scroll box was dropped at store position `position`.
  void DropScrollBox(uint32_t position);

  // In-place editing.
  bool EditorOpen() const;
  /// The row-object column of the open editor (0 when none).
  int EditorColumn() const;
  /// Opens the editor of the cursor cell (how: TLedgerItem bits, 1 for a command), unless the
  /// row acts on the column by itself or takes no entry there.
  void OpenCursorEditor(unsigned how);
  /// Closes an open editor, handing its text to the row unless it was cancelled. A name-list
  /// editor always hands its text over: Esc there keeps the name it shows.
  void CloseEditor();

 private:
  void OpenEditor(int column, const TCellEditorSpec& editor);
  /// Removes the row a chosen payee just filled, if the cursor still stands on it.
  bool TakeBackFill();
  bool KeyAction(TLedgerKey key);
  void WindowReloading() override;
  void RowsChanged() override;

  void Layout(bool measure);
  void ApplyMode(TMode mode, int columnNumber);
  void ClampAfterSwitch();
  void KeepCursorInView();
  int MaxTopRow() const;
  int ColumnIndexOf(int columnNumber) const;
  int CursorWindowRow() const;
  int LoadStep() const;
  bool LineUp(bool keep);
  bool LineDown(bool keep);
  void PageUp();
  void PageDown();
  void MoveNextCell();
  void MovePreviousCell();
  void MoveRowDown();
  void MoveRowUp();
  template <typename TMove>
  void Move(TMove move);

  struct TState;
  TLedgerList& rows_;
  const TRowPresenter& presenter_;
  TLedgerHost& host_;
  bool footer_;
  std::unique_ptr<TState> state_;
};
