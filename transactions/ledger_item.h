#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/// The kinds of in-place editor a ledger cell can ask its grid for.
enum class TCellEditorKind { None, Text, Date, Amount, EnvelopeList };

/// The editor a row wants for one cell: what kind, how wide (in characters), how long the text
/// may grow and what it starts with. `None` means the cell is not edited in place.
struct TCellEditorSpec {
  TCellEditorKind kind = TCellEditorKind::None;
  int widthChars = 0;
  size_t maxLength = 0;
  std::string text;
};

/// Where a cell's text is placed inside the cell.
enum class TCellAlignment { Left, Center, Right };

/// A cell rectangle in the grid's drawing coordinates.
struct TCellRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

/// The grid a row belongs to, as a row sees it when an edit starts. The window layer implements
/// it; the row decides which editor to open and the grid opens it.
class TLedgerGrid {
 public:
  virtual ~TLedgerGrid() = default;
  /// Opens the described editor over the cell of `column` in the current row.
  virtual void OpenEditor(int column, const TCellEditorSpec& editor) = 0;
};

/// The drawing surface of one grid paint, implemented by the window layer.
class TCellPainter {
 public:
  virtual ~TCellPainter() = default;
  /// Draws `text` in `rect`; `highlighted` asks for the system highlight colours.
  virtual void DrawCellText(const TCellRect& rect, std::string_view text, TCellAlignment alignment,
                            bool highlighted) = 0;
};

/// One row of a ledger grid. The grid knows nothing of what a row stands for: it asks the row
/// for cell texts, hands edited texts back and lets the row open editors and paint its cells.
/// The base does nothing; each kind of row supplies the behaviour.
class TLedgerItem {
 public:
  /// Bits of `how` in CreateEditor.
  enum : unsigned {
    kStartedByTyping = 2,  ///< the edit began with a typed character; the editor starts empty
    kClicked = 4,          ///< the cell was clicked with the mouse
  };
  /// Bits of `state` in PaintCell; both together mark the cursor cell of a focused grid.
  enum : unsigned { kCursorCell = 1, kGridFocused = 2 };

  virtual ~TLedgerItem() = default;
  virtual void CreateEditor(TLedgerGrid& grid, int column, unsigned how) {
    (void)grid, (void)column, (void)how;
  }
  virtual void PaintCell(TCellPainter& painter, const TCellRect& rect, int column,
                         unsigned state) const {
    (void)painter, (void)rect, (void)column, (void)state;
  }
  virtual void SetCellText(int column, std::string_view text) { (void)column, (void)text; }
  virtual std::string GetCellText(int column) const {
    (void)column;
    return {};
  }
};
