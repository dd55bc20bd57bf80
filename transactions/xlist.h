#pragma once

#include <cstdint>
#include <memory>

#include "transactions/xfilter.h"

class TXItem;
class TXManager;

/// An object that wants to hear about changed, removed and added transactions, such as the row
/// source of a ledger. It owns its filter. It registers with the manager of its document when
/// made and unregisters when destroyed; the registry belongs to the manager because the
/// document's lowest layer cannot know this class. A manager that goes first lets its lists go
/// quietly.
class TXList {
 public:
  TXList(TXManager& manager, std::unique_ptr<TXFilter> filter);
  virtual ~TXList();
  TXList(const TXList&) = delete;
  TXList& operator=(const TXList&) = delete;

  const TXFilter& Filter() const { return *filter_; }
  /// The manager this list is registered with; null once the manager is gone.
  TXManager* Manager() const { return manager_; }

  /// A notifying commit of `item`.
  virtual void Changed(TXItem& item) = 0;
  /// `item` is being deleted: a holder must drop it without releasing it, since the delete
  /// consumes every reference.
  virtual void Removed(TXItem& item) = 0;
  /// `item`'s record left the store when a change was taken back: a holder drops it without
  /// releasing, as after Removed; StoreChanged follows once every such item was told, so there
  /// is no need to gather anything before that.
  virtual void Vanished(TXItem& item) { Removed(item); }
  /// A new envelope transfer half.
  virtual void Added(TXItem& item) = 0;
  /// Many records changed or moved at once (a confirmation, an import): a list that shows
  /// records gathers them again.
  virtual void StoreChanged() {}
  /// An undo or redo is about to take changes back, which only comes out exact while nobody
  /// holds a record the store may drop or place: a list lets go of every item it holds and
  /// gathers again on the StoreChanged that follows.
  virtual void LetGo() {}
  /// Whether the list holds a record that `filter` accepts.
  virtual bool HoldsAnyMatching(const TXFilter& filter) const = 0;
  virtual bool Holds(const TXItem& item) const = 0;

 private:
  friend class TXManager;
  TXManager* manager_;
  std::unique_ptr<TXFilter> filter_;
};

/// The notices that close transaction views whose subject goes away.
enum class TXViewNotice : uint32_t {
  MultiplePartsRemoved = 1,  ///< the id is the multiple whose parts are being removed
  AccountDeleted = 2,        ///< the id is the account whose transactions are being deleted
  EnvelopeMoved = 4,         ///< the id is the envelope whose transactions are being moved
};

/// An open transaction view as the manager reaches it: notices about vanishing subjects and the
/// request to repaint after a change (balances move with every posting). Views register with
/// the manager while they are open.
class TXViewListener {
 public:
  virtual ~TXViewListener() = default;
  virtual void Notify(TXViewNotice notice, uint32_t id) = 0;
  virtual void Repaint() = 0;
};
