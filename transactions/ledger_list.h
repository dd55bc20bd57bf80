#pragma once

#include <cstdint>
#include <string>

class TLedgerItem;

/// Told by a row source when its rows change beneath the grid that shows them.
class TLedgerListObserver {
 public:
  virtual ~TLedgerListObserver() = default;
  /// The window is about to be reloaded by somebody other than the grid (a deletion elsewhere,
  /// a new transfer half): an open editor must be dropped without committing, since the row it
  /// edits may be gone.
  virtual void WindowReloading() = 0;
  /// Rows (or the whole window) changed and must be painted again.
  virtual void RowsChanged() = 0;
};

/// The row source of a ledger grid: a fixed-size window of row objects that it can slide over
/// a longer sequence (for a transaction ledger, the records its filter accepts, in store order).
/// Rows are counted from 1 within the window.
class TLedgerList {
 public:
  /// What `GoToPosition` did.
  enum TGoToResult : int {
    kAtFirst = 1,      ///< the position is the first row at all: nothing changed
    kReloaded = 2,     ///< the window was loaded starting at the position
    kPastLast = 3,     ///< nothing there, or beyond the last existing row
    kInsideWindow = 4  ///< the position lies inside the window (row sources may answer this)
  };

  virtual ~TLedgerList() = default;

  /// The row object of window row `row` (1..RowCount()).
  virtual TLedgerItem* Item(int row) = 0;
  /// Takes up to `n` rows before the first window row and puts them in front; returns how many.
  virtual int LoadPrevious(int n) = 0;
  /// Takes up to `n` rows after the last window row and appends them; returns how many.
  virtual int LoadNext(int n) = 0;
  virtual void LoadFromTop() = 0;
  virtual void LoadAtEnd() = 0;
  /// How many of the window's first rows hold existing rows since the last load at the end.
  virtual int LiveCount() const = 0;
  /// The size of the window.
  virtual int RowCount() const = 0;
  /// Positions in the longer sequence (for the scroll bar); 0 when there is none.
  virtual uint32_t PositionOfRow(int row) = 0;
  virtual int GoToPosition(uint32_t position) = 0;
  virtual uint32_t PositionOfLast() = 0;
  virtual uint32_t PositionOfFirst() = 0;
  virtual void CutRow(int row) { (void)row; }
  virtual void CopyRow(int row) { (void)row; }
  virtual void DeleteRow(int row) { (void)row; }
  virtual void Paste() {}
  virtual bool CanPaste() const { return false; }
  /// Whether rows can be cut and copied at all.
  virtual bool CanCopy() const { return false; }
  /// The heading of row-object column `column`.
  virtual std::string HeaderText(int column) const = 0;
  /// The text of row-object column `column` in the footer band of a grid that has one.
  virtual std::string FooterText(int column) const {
    (void)column;
    return {};
  }

  /// The grid that shows this source; null for none.
  void SetObserver(TLedgerListObserver* observer) { observer_ = observer; }
  TLedgerListObserver* Observer() const { return observer_; }

 protected:
  void NotifyReloading() {
    if (observer_ != nullptr)
      observer_->WindowReloading();
  }
  void NotifyRowsChanged() {
    if (observer_ != nullptr)
      observer_->RowsChanged();
  }

 private:
  TLedgerListObserver* observer_ = nullptr;
};
