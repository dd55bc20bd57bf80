#include "presentation/xview_list.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/account_list.h"
#include "transactions/editable_filter.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"

TXViewList::TXViewList(TXManager& manager, std::unique_ptr<TXFilter> filter, const TXRecord& newRow)
    : TXList(manager, std::move(filter)),
      manager_(manager),
      live_(TXList::Filter()),
      newRow_(newRow) {
  // A ledger of one account or one envelope accepts only its records, so its walks may pass
  // over the stretches of the store that hold none of them.
  if (const auto* editable = dynamic_cast<const TEditableFilter*>(&TXList::Filter())) {
    std::optional<TXWalkKey> key;
    if ((editable->Mode() & TEditableFilter::kAccount) != 0) {
      key = TXWalkKey::Account;
    } else if ((editable->Mode() & TEditableFilter::kEnvelope) != 0) {
      key = TXWalkKey::Envelope;
    }
    if (key) {
      keyed_.emplace(TXList::Filter(), *key, editable->TargetId());
      keyedLive_.emplace(live_, *key, editable->TargetId());
    }
  }
}

const TXFilter& TXViewList::Walk() const {
  return keyed_ ? static_cast<const TXFilter&>(*keyed_) : TXList::Filter();
}

const TXFilter& TXViewList::LiveWalk() const {
  return keyedLive_ ? static_cast<const TXFilter&>(*keyedLive_) : live_;
}

TXViewList::~TXViewList() {
  Unload();
}

TXItem* TXViewList::TransactionAt(int row) const {
  if (row < 1 || row > kWindowRows)
    return nullptr;
  return window_[static_cast<size_t>(row - 1)];
}

int TXViewList::RowOf(const TXItem& item) const {
  for (int row = 1; row <= kWindowRows; ++row) {
    if (window_[static_cast<size_t>(row - 1)] == &item)
      return row;
  }
  return 0;
}

void TXViewList::Unload() {
  gatherAt_.reset();
  // A manager that went first took its items with it.
  if (Manager() != nullptr) {
    for (TXItem*& item : window_) {
      if (item != nullptr)
        manager_.Release(item);
      item = nullptr;
    }
  }
  window_.fill(nullptr);
  loaded_ = false;
  liveCount_ = 0;
}

void TXViewList::FillFrom(int row) {
  if (row > kWindowRows)
    return;
  RefreshNewRow();
  for (int r = row; r <= kWindowRows; ++r)
    window_[static_cast<size_t>(r - 1)] = manager_.Create(newRow_).release();
}

void TXViewList::RefreshNewRow() {
  // An account's default envelope changes when that envelope is deleted; an amount typed into
  // a row that named the deleted envelope would reach no envelope at all.
  if ((newRow_.Flags & kXAccountSide) != 0 &&
      manager_.Accounts().Account(newRow_.AccountId) != nullptr) {
    newRow_.EnvelopeId = manager_.Accounts().GetDefaultEnvelope(newRow_.AccountId);
  }
  // A new part shows the multiple's present date and payee until its first commit copies them.
  if (newRow_.IsMultipleKid()) {
    if (const TXRecord* multiple = manager_.FindRecord(newRow_.ParentId)) {
      newRow_.date = multiple->date;
      newRow_.SetMemo(multiple->GetPayableTo());
    }
  }
}

void TXViewList::FillForwardsFrom(TXItem* first, int row) {
  // `first` is held already and goes into `row`; the accepted records after it follow.
  TXItem* item = first;
  int r = row;
  while (item != nullptr && r <= kWindowRows) {
    window_[static_cast<size_t>(r - 1)] = item;
    ++r;
    item = r <= kWindowRows ? manager_.Next(*item, Walk()).release() : nullptr;
  }
  FillFrom(r);
}

int TXViewList::LeadingLiveRows() const {
  int count = 0;
  while (count < kWindowRows && window_[static_cast<size_t>(count)] != nullptr &&
         window_[static_cast<size_t>(count)]->Record().IsLive()) {
    ++count;
  }
  return count;
}

// ----- Loading -----

void TXViewList::LoadFromTop() {
  Unload();
  FillForwardsFrom(manager_.First(Walk()).release(), 1);
  liveCount_ = LeadingLiveRows();
  loaded_ = true;
}

void TXViewList::LoadAtEnd() {
  Unload();
  // The last live record the filter accepts ends the existing rows; the empty rows of other
  // ledgers (not live) come after it.
  std::vector<TXItem*> before;
  if (TXItem* last = manager_.Last(LiveWalk()).release()) {
    before.push_back(last);
    while (before.size() < static_cast<size_t>(kLiveRowsAtEnd)) {
      TXItem* previous = manager_.Prev(*before.back(), Walk()).release();
      if (previous == nullptr)
        break;
      before.push_back(previous);
    }
  }
  std::reverse(before.begin(), before.end());
  std::copy(before.begin(), before.end(), window_.begin());
  liveCount_ = static_cast<int>(before.size());
  if (before.empty()) {
    FillForwardsFrom(manager_.First(Walk()).release(), 1);
  } else {
    FillForwardsFrom(manager_.Next(*before.back(), Walk()).release(), liveCount_ + 1);
  }
  loaded_ = true;
}

int TXViewList::LoadPrevious(int n) {
  if (!loaded_ || n <= 0)
    return 0;
  n = std::min(n, kWindowRows);
  std::vector<TXItem*> taken;
  TXItem* anchor = window_[0];
  while (static_cast<int>(taken.size()) < n) {
    TXItem* previous = manager_.Prev(taken.empty() ? *anchor : *taken.back(), Walk()).release();
    if (previous == nullptr)
      break;
    taken.push_back(previous);
  }
  const int k = static_cast<int>(taken.size());
  if (k == 0)
    return 0;
  for (int r = kWindowRows - k; r < kWindowRows; ++r)
    manager_.Release(window_[static_cast<size_t>(r)]);
  std::move_backward(window_.begin(), window_.end() - k, window_.end());
  std::reverse(taken.begin(), taken.end());
  std::copy(taken.begin(), taken.end(), window_.begin());
  return k;
}

int TXViewList::LoadNext(int n) {
  if (!loaded_ || n <= 0)
    return 0;
  n = std::min(n, kWindowRows);
  // Live records first, so that records typed elsewhere come before the empty rows of other
  // ledgers; then anything else the filter accepts.
  std::vector<TXItem*> taken;
  TXItem* from = window_[kWindowRows - 1];
  for (const TXFilter* filter : {&LiveWalk(), &Walk()}) {
    while (static_cast<int>(taken.size()) < n) {
      TXItem* next = manager_.Next(taken.empty() ? *from : *taken.back(), *filter).release();
      if (next == nullptr)
        break;
      taken.push_back(next);
    }
  }
  for (int r = 0; r < n; ++r)
    manager_.Release(window_[static_cast<size_t>(r)]);
  std::move(window_.begin() + n, window_.end(), window_.begin());
  const int first = kWindowRows - n + 1;
  std::copy(taken.begin(), taken.end(), window_.begin() + (first - 1));
  FillFrom(first + static_cast<int>(taken.size()));
  return n;
}

int TXViewList::GoToPosition(uint32_t position) {
  TXItem* item = manager_.FirstFrom(position, Walk()).release();
  if (item == nullptr)
    return kPastLast;
  const uint32_t at = manager_.PositionOf(*item);
  if (at == manager_.PositionOfFirst(Walk())) {
    manager_.Release(item);
    return kAtFirst;
  }
  if (at > manager_.PositionOfLast(LiveWalk())) {
    manager_.Release(item);
    return kPastLast;
  }
  Unload();
  FillForwardsFrom(item, 1);
  liveCount_ = LeadingLiveRows();
  loaded_ = true;
  return kReloaded;
}

void TXViewList::ReloadFrom(const TXItem* removed) {
  NotifyReloading();
  // The old window keeps its references while the new one is gathered, so that its empty rows
  // stay in the store and are found again.
  const std::array<TXItem*, kWindowRows> old = window_;
  TXItem* start = old[0] != removed ? old[0] : old[1];
  Regather(
      start != nullptr ? manager_.Get(start->Id()).release() : manager_.First(Walk()).release(),
      old, removed);
}

void TXViewList::Refresh() {
  NotifyReloading();
  const std::array<TXItem*, kWindowRows> old = window_;
  Gather(old[0] != nullptr && old[0]->Record().IsLive() ? manager_.PositionOf(*old[0]) : 0, old);
}

void TXViewList::Gather(uint32_t position, const std::array<TXItem*, kWindowRows>& old) {
  // Records committed elsewhere wait unsorted at the end of the store, behind the empty rows of
  // every ledger; so the live records come first, from the first row's place on, and this
  // window's own empty rows after them.
  TXItem* start = position != 0 ? manager_.FirstFrom(position, LiveWalk()).release()
                                : manager_.First(LiveWalk()).release();
  window_.fill(nullptr);
  loaded_ = true;
  size_t row = 0;
  for (TXItem* item = start; item != nullptr;) {
    window_[row++] = item;
    item = row < window_.size() ? manager_.Next(*item, LiveWalk()).release() : nullptr;
  }
  for (TXItem* item : old) {
    if (row < window_.size() && item != nullptr && !item->Record().IsLive())
      window_[row++] = manager_.Get(item->Id()).release();
  }
  FillFrom(static_cast<int>(row) + 1);
  Settle(old, nullptr);
}

void TXViewList::Regather(TXItem* start, const std::array<TXItem*, kWindowRows>& old,
                          const TXItem* removed) {
  window_.fill(nullptr);
  FillForwardsFrom(start, 1);
  Settle(old, removed);
}

void TXViewList::Settle(const std::array<TXItem*, kWindowRows>& old, const TXItem* removed) {
  liveCount_ = LeadingLiveRows();
  for (TXItem* item : old) {
    if (item != nullptr && item != removed)
      manager_.Release(item);
  }
  NotifyRowsChanged();
}

// ----- Positions and rows -----

TLedgerItem* TXViewList::Item(int row) {
  return TransactionAt(row);
}

uint32_t TXViewList::PositionOfRow(int row) {
  TXItem* item = TransactionAt(row);
  return item != nullptr ? manager_.PositionOf(*item) : 0;
}

uint32_t TXViewList::PositionOfLast() {
  return manager_.PositionOfLast(Walk());
}

uint32_t TXViewList::PositionOfFirst() {
  return manager_.PositionOfFirst(Walk());
}

void TXViewList::DeleteRow(int row) {
  TXItem* item = TransactionAt(row);
  if (item == nullptr || !item->CanDelete())
    return;
  // The window's reference goes with the delete; the removed notice takes the row out.
  manager_.Delete(item);
}

std::string TXViewList::HeaderText(int column) const {
  return TXItem::Heading(column);
}

// ----- Keeping current -----

void TXViewList::Changed(TXItem& item) {
  if (!loaded_)
    return;
  if (Holds(item)) {
    NotifyRowsChanged();
    return;
  }
  // A record committed in another view (or by a command) that this one accepts joins its rows;
  // the empty rows of other ledgers do not, nor a record on its way out.
  const TXRecord* stored = manager_.FindRecord(item.Id());
  if (stored != nullptr && stored->IsLive() && (stored->Flags & kXHidden) == 0 &&
      Filter().Accepts(*stored))
    Refresh();
}

void TXViewList::StoreChanged() {
  if (gatherAt_) {
    Gather(*std::exchange(gatherAt_, std::nullopt), {});
  } else if (loaded_) {
    Refresh();
  }
}

void TXViewList::LetGo() {
  if (!loaded_)
    return;
  NotifyReloading();
  const TXItem* first = window_[0];
  const uint32_t position =
      first != nullptr && first->Record().IsLive() ? manager_.PositionOf(*first) : 0;
  Unload();
  gatherAt_ = position;
}

void TXViewList::Removed(TXItem& item) {
  if (!loaded_ || !Holds(item))
    return;
  ReloadFrom(&item);
}

void TXViewList::Vanished(TXItem& item) {
  if (const int row = loaded_ ? RowOf(item) : 0; row != 0)
    window_[static_cast<size_t>(row - 1)] = nullptr;
}

void TXViewList::Added(TXItem& item) {
  if (!loaded_ || Holds(item))
    return;
  const TXRecord* stored = manager_.FindRecord(item.Id());
  if (!Filter().Accepts(stored != nullptr ? *stored : item.Record()))
    return;
  ReloadFrom(nullptr);
}

bool TXViewList::HoldsAnyMatching(const TXFilter& filter) const {
  return std::any_of(window_.begin(), window_.end(), [&filter](const TXItem* item) {
    return item != nullptr && filter.Accepts(item->Record());
  });
}

bool TXViewList::Holds(const TXItem& item) const {
  return RowOf(item) != 0;
}
