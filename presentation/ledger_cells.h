#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "transactions/ledger_item.h"

/// The editor a ledger grid opens over one cell: the row's entry for the column, and how wide
/// the editor is in characters.
struct TCellEditorSpec {
  TColumnEntryKind kind = TColumnEntryKind::None;
  int widthChars = 0;
  size_t maxLength = 0;
  std::string text;
  bool completes = false;  ///< see TColumnEntry
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

/// The drawing surface of one grid paint, implemented by the window layer.
class TCellPainter {
 public:
  virtual ~TCellPainter() = default;
  /// Draws `text` in `rect`; `highlighted` asks for the system highlight colours.
  virtual void DrawCellText(const TCellRect& rect, std::string_view text, TCellAlignment alignment,
                            bool highlighted) = 0;
};
