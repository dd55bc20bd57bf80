#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/date_value.h"
#include "core/streamable.h"
#include "core/transaction_store.h"
#include "transactions/payee_index.h"
#include "transactions/xfilter.h"
#include "transactions/xitem.h"
#include "transactions/xlist.h"
#include "transactions/xslot_index.h"
#include "transactions/xstore.h"

class TAccountList;
class TDocumentContext;
class TEnvelopeList;
class TUserPort;
class TVorlaData;
class TXHold;
class TXTemplateApplier;

/// Owns every transaction of a document: the store of records in ledger order, and one shared
/// item per record that somebody holds. It hands out items (each acquisition adds a reference
/// the receiver releases), assigns identifiers, keeps the store in order, deletes transactions
/// with everything that hangs on them, and tells observers and open views about every change.
/// Every walk names its records with a filter; dead slots and records being deleted are never
/// shown to one. An identifier that names no record is an internal error (TModelError).
class TXManager final : public TTransactionStore {
 public:
  static constexpr uint32_t kClassVersion = 1;
  /// How many of an account's latest transactions the next check number looks at.
  static constexpr uint32_t kCheckNumberReach = 250;

  /// An empty store of 1000 slots, attached to no document yet.
  TXManager();
  explicit TXManager(TStreamableInit) : TXManager() {}
  ~TXManager() override;
  TXManager(const TXManager&) = delete;
  TXManager& operator=(const TXManager&) = delete;

  void Attach(TVorlaData& document) override;
  /// Connects the manager to the lists whose balances its transactions move and to the
  /// document that hears about changes and knows the user and the date.
  void Attach(TAccountList& accounts, TEnvelopeList& envelopes, TDocumentContext& document);
  TAccountList& Accounts() const;
  TEnvelopeList& Envelopes() const;
  TUserPort& User() const;
  TDateValue Today() const;
  void SetModified();
  /// The configuration switches for typed texts; the application keeps them current.
  TXEditSettings& EditSettings() { return editSettings_; }
  const TXEditSettings& EditSettings() const { return editSettings_; }
  /// The document's templates as "Apply Template" uses them; null while there are none.
  void SetTemplateApplier(TXTemplateApplier* applier) { templates_ = applier; }
  TXTemplateApplier* TemplateApplier() const { return templates_; }

  /// The item of the record with `id`, held once more. Items come as holds, so that no caller
  /// can forget to let go of one; a caller that keeps items in a structure of its own takes the
  /// pointer with `release()` and calls Release itself.
  [[nodiscard]] TXHold Get(uint32_t id);
  /// The first or last record in store order that `filter` accepts, held; null when none.
  [[nodiscard]] TXHold First(const TXFilter& filter);
  [[nodiscard]] TXHold Last(const TXFilter& filter);
  /// The next or previous accepted record after or before `item`'s record, held.
  [[nodiscard]] TXHold Next(const TXItem& item, const TXFilter& filter);
  [[nodiscard]] TXHold Prev(const TXItem& item, const TXFilter& filter);
  /// The first accepted record at or after the 1-based store position.
  [[nodiscard]] TXHold FirstFrom(uint32_t position, const TXFilter& filter);
  uint32_t Count(const TXFilter& filter) const;
  /// The 1-based store position of the item's record (0 when it has none).
  uint32_t PositionOf(const TXItem& item);
  uint32_t PositionOfFirst(const TXFilter& filter);
  uint32_t PositionOfLast(const TXFilter& filter);

  /// A new record (a copy of `record` with a fresh or reused identifier), stored Unsorted;
  /// the item is held once. A part of a multiple must name an existing multiple.
  [[nodiscard]] TXHold Create(const TXRecord& record);
  /// Drops one reference; the last one drops the item, removes a record that is no longer live
  /// and puts an unsorted one in its place.
  void Release(TXItem* item);
  /// Deletes the transaction: observers hear removed(item) first, its postings are reversed,
  /// a transfer's other half and a multiple's parts go with it, and the record leaves the
  /// store. Consumes every reference: other holders must drop the item without releasing it.
  void Delete(TXItem* item);
  /// The same for a hold, which lets go without releasing.
  void Delete(TXHold item);
  /// Deletes every accepted record.
  void DeleteAll(const TXFilter& filter);
  /// Marks `record` Unsorted and copies it into the slot with its identifier.
  void StoreRecord(TXRecord& record);
  /// Fills `record` from the slot with its identifier.
  void LoadRecord(TXRecord& record) const;
  /// The stored record with `id`, or null; for looking without holding.
  const TXRecord* FindRecord(uint32_t id) const;

  bool HasAccountTransactions(uint32_t accountId) const override;
  /// Deletes every transaction of an account; transfers into other accounts become payments or
  /// deposits there, in their accounts' default envelopes.
  void DeleteAccountTransactions(uint32_t accountId) override;
  /// Gives every transaction of an envelope to another one; envelope transfers between the two
  /// cancel out and are deleted.
  void MoveEnvelopeTransactions(uint32_t envelopeId, uint32_t newEnvelopeId) override;
  /// One more than the largest leading number among the codes of the account's latest 250
  /// transactions (1 for an account without any).
  uint64_t NextCheckNumber(uint32_t accountId);

  /// Deletes the parts of a multiple (its views close first); the multiple's amount drops by
  /// their total.
  void RemoveParts(TXItem& multiple);
  /// Commits every live part again, so that they take the multiple's code, date and payee.
  void RecommitParts(TXItem& multiple);
  /// The identifiers of a multiple's parts in store order (records being deleted left out).
  std::vector<uint32_t> PartIds(uint32_t multipleId) const;
  /// Posts a change to an envelope's balance and, when `cleared`, to its cleared balance; an
  /// identifier that names no envelope posts nowhere. For the conversions that post by hand.
  void PostToEnvelope(uint32_t envelopeId, int32_t delta, bool cleared);

  void Compact() override;

  /// While one lives, records created and let go are left behind every other record and are
  /// put in ledger order all at once when it ends (see TXStore::PlaceAdded): for adding many
  /// records to a large store, as an import does. Walks in the meantime see the new records
  /// last.
  class TAddedInBulk {
   public:
    /// `expected` is how many records are about to be created, when the caller knows.
    explicit TAddedInBulk(TXManager& manager, size_t expected = 0);
    ~TAddedInBulk();
    TAddedInBulk(const TAddedInBulk&) = delete;
    TAddedInBulk& operator=(const TAddedInBulk&) = delete;

   private:
    TXManager& manager_;
  };

  /// The import and cleared confirmations work on the stored records (dead slots included)
  /// and on the copies of held items; they do not mark the document modified. The questions
  /// look at the records in use only.
  bool HasNewImports() const override;
  void ConfirmImports() override;
  bool HasPendingCleared() const override;
  void ConfirmCleared() override;

  /// Observers (TXList registers itself) and open views.
  void AddView(TXViewListener& view);
  void RemoveView(TXViewListener& view);
  /// Sends a notice to the open views.
  void NotifyViews(TXViewNotice notice, uint32_t id);
  void RepaintViews();
  /// The changed(item) broadcast of a notifying commit, followed by a repaint of the views.
  void BroadcastChanged(TXItem& item);
  void BroadcastRemoved(TXItem& item);
  void BroadcastAdded(TXItem& item);
  /// Tells every list that many records changed or moved at once, then repaints the views.
  void BroadcastStoreChanged();
  /// Asks every list to let go of its items until the next BroadcastStoreChanged.
  void LetListsGo();

  const TXStore& Store() const { return store_; }
  /// Every change to the store from now on is noted in `journal` (null: in none).
  void SetJournal(TXStoreJournal* journal) { store_.SetJournal(journal); }
  TXStoreJournal* Journal() const { return store_.Journal(); }
  /// Takes back the changes of `journal` (TXStore::Revert), noting in `redo` how to make them
  /// again. False when the journal does not fit the store, which is then as it was.
  bool Revert(const TXStoreJournal& journal, TXStoreJournal& redo);
  /// After a revert the caller keeps: held items take up their records again, holders of
  /// records that are gone hear that they were removed, and every list gathers again.
  void TakeUpReverted();
  /// The payees in use, built from the store when first asked for (so that opening a budget
  /// does not wait for it) and kept current from then on.
  TXPayeeIndex& Payees();
  /// True when the index of the store's blocks knows every record in use (for tests).
  bool SlotIndexCovers() const { return index_.Covers(store_); }
  /// The number of items somebody holds.
  size_t HeldItems() const { return cache_.size(); }

  /// The stored form is the store's.
  class Streamer : public TNewStreamer {
   public:
    using TNewStreamer::TNewStreamer;
    void Write(opstream& os) const override;
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TXManager& Object() const { return dynamic_cast<TXManager&>(*GetObject()); }
  };

 private:
  friend class TXItem;
  friend class TXList;
  class TDeletionWatch;
  class TBatch;
  class TRevertWatch;

  /// Brings held items in line with their records after a revert.
  void RefreshHeld();

  void Register(TXList& list);
  void Unregister(TXList& list);
  /// Writes an item's copy into its slot (marking it Unsorted) and remembers the slot.
  void StoreItem(TXItem& item);
  /// The item of the record at a store index, held.
  TXItem* ItemAt(uint32_t index);
  TXItem* MakeItem(uint32_t index);
  TXItem* ParentFor(const TXRecord& record);
  uint32_t SlotOf(const TXItem& item) const;
  bool Visible(uint32_t index) const;
  /// The first visible accepted slot at or after `index`, or the last at or before it; 0 when
  /// there is none. A keyed filter lets the walk pass over blocks without its account or
  /// envelope.
  uint32_t FindForward(uint32_t index, const TXFilter& filter) const;
  /// A filter with the key its walk may skip by.
  struct TWalk {
    const TXFilter& filter;
    TXWalkKey key;
    uint32_t id;
  };
  static TWalk WalkOf(const TXFilter& filter);
  uint32_t FindForward(uint32_t index, const TWalk& walk) const;
  uint32_t FindBackward(uint32_t index, const TXFilter& filter) const;
  /// Keeps the block index current after a record moved from one end of a range to the other.
  void NoteShift(uint32_t from, uint32_t to);
  /// Removes the record at `index`: at once, or killed in place while a bulk removal runs.
  void RemoveAt(uint32_t index);
  /// Puts the slots killed so far where single removals would have left them.
  void SettleKilled();
  /// Erases and removes without the user-level refusal of inert records: a cascade that
  /// deletes an inert record must still take its money back.
  void EraseForDelete(TXItem& item);
  /// Visits every accepted record with a held item; `visit` consumes the hold (releases or
  /// deletes). Records that a visit deletes as a side effect are never visited afterwards.
  template <class Visit>
  void ForEach(const TXFilter& filter, Visit visit);
  void MoveToEnvelope(TXHold& item, uint32_t newEnvelopeId);

  TXStore store_;
  std::unordered_map<uint32_t, TXItem*> cache_;
  std::vector<TXList*> lists_;
  std::vector<TXViewListener*> views_;
  TAccountList* accounts_ = nullptr;
  TEnvelopeList* envelopes_ = nullptr;
  TDocumentContext* document_ = nullptr;
  TXEditSettings editSettings_;
  TXTemplateApplier* templates_ = nullptr;
  int batchDepth_ = 0;
  int addedInBulkDepth_ = 0;
  // The records left unsorted by TAddedInBulk, in the order they were let go, and the last slot
  // in use when it began (only records behind it wait).
  std::vector<uint32_t> addedInBulk_;
  uint32_t addedInBulkBase_ = 0;
  std::vector<uint32_t> killed_;
  // The records reverts wrote since the last TakeUpReverted.
  std::vector<uint32_t> reverted_;
  // The lowest slot a record killed in place may lie in now (0: none killed).
  uint32_t killedLow_ = 0;
  TXSlotIndex index_;
  TXPayeeIndex payees_;
};

/// The document's transactions. Every program that links this library gives its documents a
/// manager; a document without one is an internal error (TModelError), never a silent no-op.
TXManager& TransactionsOf(const TVorlaData& document);

/// A held item that is released when the holder goes: the usual way to hold an item for the
/// length of an operation. After Delete the hold must let go with `release()` instead.
class TXHold {
 public:
  TXHold() = default;
  explicit TXHold(TXItem* item) : item_(item) {}
  ~TXHold() { reset(); }
  TXHold(TXHold&& other) noexcept : item_(std::exchange(other.item_, nullptr)) {}
  TXHold& operator=(TXHold&& other) noexcept {
    if (this != &other) {
      reset();
      item_ = std::exchange(other.item_, nullptr);
    }
    return *this;
  }
  TXHold(const TXHold&) = delete;
  TXHold& operator=(const TXHold&) = delete;

  TXItem* get() const { return item_; }
  TXItem& operator*() const { return *item_; }
  TXItem* operator->() const { return item_; }
  explicit operator bool() const { return item_ != nullptr; }
  /// Gives up the item without releasing it (for Delete, which consumes the references).
  TXItem* release() { return std::exchange(item_, nullptr); }
  void reset(TXItem* item = nullptr) {
    TXItem* old = std::exchange(item_, item);
    if (old != nullptr)
      old->Manager().Release(old);
  }

 private:
  TXItem* item_ = nullptr;
};
