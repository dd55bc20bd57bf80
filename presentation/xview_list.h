#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "transactions/ledger_list.h"
#include "transactions/xlist.h"
#include "transactions/xrecord.h"
#include "transactions/xslot_index.h"

class TXItem;
class TXManager;

/// The row source of a transaction ledger: a window of 250 held items over the records its
/// filter accepts, in store order, with empty rows (new blank records made from a template)
/// after the existing ones, in which the user types new transactions. An empty row that is
/// never typed into leaves the store as soon as the window lets go of it. The source follows
/// the store: a changed item repaints, a deleted one reloads the window around it, a new record
/// it accepts reloads it.
class TXViewList final : public TLedgerList, public TXList {
 public:
  static constexpr int kWindowRows = 250;
  /// How many existing rows a load at the end puts above the empty rows at most.
  static constexpr int kLiveRowsAtEnd = 125;

  TXViewList(TXManager& manager, std::unique_ptr<TXFilter> filter, const TXRecord& newRow);
  ~TXViewList() override;

  /// The template of new empty rows (an account view's default envelope can change).
  TXRecord& NewRowTemplate() { return newRow_; }
  /// The item of a row as a transaction (null outside the window or while unloaded).
  TXItem* TransactionAt(int row) const;
  /// The window row that holds `item`, 0 when none.
  int RowOf(const TXItem& item) const;
  bool Loaded() const { return loaded_; }
  /// Lets go of every item (empty rows vanish); the window is unloaded afterwards.
  void Unload();

  // TLedgerList.
  TLedgerItem* Item(int row) override;
  int LoadPrevious(int n) override;
  /// Takes up to `n` records after the last row (live ones first) and moves the window on by
  /// `n` in any case, new empty rows filling what the records do not; returns `n` (0 while
  /// unloaded), the number of rows the grid must move its top row back by.
  int LoadNext(int n) override;
  void LoadFromTop() override;
  void LoadAtEnd() override;
  int LiveCount() const override { return liveCount_; }
  int RowCount() const override { return kWindowRows; }
  uint32_t PositionOfRow(int row) override;
  int GoToPosition(uint32_t position) override;
  uint32_t PositionOfLast() override;
  uint32_t PositionOfFirst() override;
  /// Deletes the row's transaction without a question.
  void DeleteRow(int row) override;
  std::string HeaderText(int column) const override;

  // TXList.
  void Changed(TXItem& item) override;
  void Removed(TXItem& item) override;
  /// Leaves the row empty until the store change that follows gathers the window again.
  void Vanished(TXItem& item) override;
  void Added(TXItem& item) override;
  void StoreChanged() override;
  /// Remembers where the window began and unloads it; the next store change gathers it again.
  void LetGo() override;
  bool HoldsAnyMatching(const TXFilter& filter) const override;
  bool Holds(const TXItem& item) const override;

 private:
  /// New empty rows from `row` to the end of the window.
  void FillFrom(int row);
  /// Brings the template up to date with its account and multiple.
  void RefreshNewRow();
  /// Puts the held `first` into `row` and the accepted records after it into the rows below,
  /// then empty rows.
  void FillForwardsFrom(TXItem* first, int row);
  /// How many of the first rows hold live records (the live count of loads other than at the
  /// end, which counts the records it gathered backwards).
  int LeadingLiveRows() const;
  /// Gathers the window again from its first row (its second when the first is `removed`,
  /// whose references the delete consumes), keeping the old rows held until it is done.
  void ReloadFrom(const TXItem* removed);
  /// Gathers the window again from the first record the filter accepts at or after the first
  /// row's place: that record may have left the filter or moved.
  void Refresh();
  /// Gathers the window from the first live record the filter accepts at or after the store
  /// `position` (from the first of all for 0), then this window's empty rows of `old`, then
  /// new empty rows.
  void Gather(uint32_t position, const std::array<TXItem*, kWindowRows>& old);
  /// Fills the window from the held `start` (or with empty rows alone), then settles.
  void Regather(TXItem* start, const std::array<TXItem*, kWindowRows>& old, const TXItem* removed);
  /// Counts the new window's live rows, lets go of the rows of `old` but `removed` and tells
  /// the grid.
  void Settle(const std::array<TXItem*, kWindowRows>& old, const TXItem* removed);

  /// The filter the walks use, keyed on the ledger's account or envelope when it has one; and
  /// the same narrowed to live records.
  const TXFilter& Walk() const;
  const TXFilter& LiveWalk() const;

  TXManager& manager_;
  TXBlankFilter live_;
  std::optional<TXKeyedFilter> keyed_;
  std::optional<TXKeyedFilter> keyedLive_;
  TXRecord newRow_;
  // Each row is held once by the window, which takes the items out of their holds: windows are
  // copied whole while a reload gathers the next one, and a deleted row's references are
  // consumed by the deletion, so the window releases by hand exactly the rows it still holds.
  std::array<TXItem*, kWindowRows> window_{};
  bool loaded_ = false;
  int liveCount_ = 0;
  // Let go for an undo: gather again from this store position on the next store change.
  std::optional<uint32_t> gatherAt_;
};
