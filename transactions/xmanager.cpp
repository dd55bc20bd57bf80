#include "transactions/xmanager.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "core/account_list.h"
#include "core/document_context.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/leading_number.h"
#include "core/model_error.h"
#include "core/pstream.h"
#include "core/stream_registry.h"
#include "core/vorla_data.h"
#include "transactions/xordering.h"

namespace {

const TStreamableClass registration{TTransactionStore::kClassName, &BuildStreamer<TXManager>,
                                    typeid(TXManager)};

// The check number a code starts with: digits after spaces ("1042", "12abc"); a sign or any
// other first character makes it 0. A code holds at most 19 digits, which always fit.
uint64_t CheckNumberOf(std::string_view code) {
  return ReadLeadingNumber(code, {.blanks = " ", .sign = false}).magnitude;
}

[[noreturn]] void NotInStore(uint32_t id) {
  throw TModelError("Internal error: transaction " + std::to_string(id) +
                    " is not in the transaction store.");
}

// Calls each registered receiver that is still registered when its turn comes: a receiver may
// unregister itself or others while hearing the notice.
template <class T, class Call>
void Broadcast(const std::vector<T*>& registry, Call call) {
  const std::vector<T*> snapshot = registry;
  for (T* receiver : snapshot) {
    if (std::find(registry.begin(), registry.end(), receiver) != registry.end())
      call(*receiver);
  }
}

}  // namespace

/// Hears which items are deleted while a walk holds the next one.
class TXManager::TDeletionWatch final : public TXList {
 public:
  explicit TDeletionWatch(TXManager& manager) : TXList(manager, std::make_unique<TXAnyFilter>()) {}
  void Changed(TXItem&) override {}
  void Removed(TXItem& item) override { removed_.push_back(&item); }
  void Added(TXItem&) override {}
  bool HoldsAnyMatching(const TXFilter&) const override { return false; }
  bool Holds(const TXItem&) const override { return false; }

  void Clear() { removed_.clear(); }
  bool WasRemoved(const TXItem* item) const {
    return std::find(removed_.begin(), removed_.end(), item) != removed_.end();
  }

 private:
  std::vector<const TXItem*> removed_;
};

/// Collects the removals of one bulk operation and settles the dead slots once at its end.
class TXManager::TBatch {
 public:
  explicit TBatch(TXManager& manager) : manager_(manager) { ++manager_.batchDepth_; }
  ~TBatch() {
    if (--manager_.batchDepth_ == 0)
      manager_.SettleKilled();
  }
  TBatch(const TBatch&) = delete;
  TBatch& operator=(const TBatch&) = delete;

 private:
  TXManager& manager_;
};

TXManager::TXManager() = default;

TXManager::~TXManager() {
  for (TXList* list : lists_)
    list->manager_ = nullptr;
  // Items still held belong to holders that go with the document; none may outlive it.
  std::vector<TXItem*> items;
  items.reserve(cache_.size());
  for (auto& entry : cache_)
    items.push_back(entry.second);
  cache_.clear();
  for (TXItem* item : items) {
    item->parent_ = nullptr;
    delete item;
  }
}

void TXManager::Attach(TVorlaData& document) {
  Attach(document.Accounts(), document.Envelopes(), document);
}

void TXManager::Attach(TAccountList& accounts, TEnvelopeList& envelopes,
                       TDocumentContext& document) {
  accounts_ = &accounts;
  envelopes_ = &envelopes;
  document_ = &document;
}

TAccountList& TXManager::Accounts() const {
  if (accounts_ == nullptr)
    throw TModelError("The transaction manager belongs to no document.");
  return *accounts_;
}

TEnvelopeList& TXManager::Envelopes() const {
  if (envelopes_ == nullptr)
    throw TModelError("The transaction manager belongs to no document.");
  return *envelopes_;
}

TUserPort& TXManager::User() const {
  if (document_ == nullptr)
    throw TModelError("The transaction manager belongs to no document.");
  return document_->User();
}

TDateValue TXManager::Today() const {
  if (document_ == nullptr)
    throw TModelError("The transaction manager belongs to no document.");
  return document_->Clock().Today();
}

void TXManager::SetModified() {
  if (document_ != nullptr)
    document_->SetModified();
}

void TXManager::PostToEnvelope(uint32_t envelopeId, int32_t delta, bool cleared) {
  TEnv* env = Envelopes().Envelope(envelopeId);
  if (env == nullptr)
    return;
  if (cleared)
    env->ChangeClearedBalance(delta);
  env->ChangeBalance(delta);
}

// ----- Items -----

bool TXManager::Visible(uint32_t index) const {
  const TXRecord& record = store_.At(index);
  return record.Flags != 0 && (record.Flags & kXHidden) == 0;
}

uint32_t TXManager::SlotOf(const TXItem& item) const {
  return store_.Find(item.Id(), item.slot_);
}

TXItem* TXManager::ParentFor(const TXRecord& record) {
  if (!record.IsMultipleKid())
    return nullptr;
  // The multiple must be a multiple and not itself a part, so that making items never recurses
  // beyond one step, whatever a damaged file links. A held multiple is judged by its working
  // copy, which a conversion may not have stored yet.
  const TXRecord* multiple = nullptr;
  if (record.ParentId != record.Id) {
    auto cached = cache_.find(record.ParentId);
    if (cached != cache_.end()) {
      multiple = &cached->second->record_;
    } else if (const uint32_t index = store_.Find(record.ParentId); index != 0) {
      multiple = &store_.At(index);
    }
  }
  if (multiple == nullptr || !multiple->IsMultiple() || multiple->IsMultipleKid()) {
    throw TModelError("Internal error: the multiple of transaction " + std::to_string(record.Id) +
                      " is not in the transaction store.");
  }
  return Get(record.ParentId).release();
}

TXItem* TXManager::MakeItem(uint32_t index) {
  const TXRecord record = store_.At(index);
  TXItem* parent = ParentFor(record);
  auto* item = new TXItem(*this, record, parent, index);
  item->loadedAccountCleared_ = record.AccountCleared;
  item->loadedEnvelopeCleared_ = record.EnvelopeCleared;
  cache_[record.Id] = item;
  return item;
}

TXItem* TXManager::ItemAt(uint32_t index) {
  const uint32_t id = store_.At(index).Id;
  auto cached = cache_.find(id);
  TXItem* item = nullptr;
  if (cached != cache_.end()) {
    item = cached->second;
    ++item->references_;
  } else {
    item = MakeItem(index);
  }
  store_.SetCursor(index);
  return item;
}

TXHold TXManager::Get(uint32_t id) {
  auto cached = cache_.find(id);
  if (cached != cache_.end()) {
    ++cached->second->references_;
    return TXHold(cached->second);
  }
  const uint32_t index = store_.Find(id);
  if (index == 0)
    NotInStore(id);
  return TXHold(MakeItem(index));
}

TXManager::TWalk TXManager::WalkOf(const TXFilter& filter) {
  const auto* keyed = dynamic_cast<const TXKeyedFilter*>(&filter);
  return keyed != nullptr ? TWalk{filter, keyed->Key(), keyed->Id()}
                          : TWalk{filter, TXWalkKey::None, 0};
}

uint32_t TXManager::FindForward(uint32_t index, const TXFilter& filter) const {
  return FindForward(index, WalkOf(filter));
}

uint32_t TXManager::FindForward(uint32_t index, const TWalk& walk) const {
  const TXFilter& filter = walk.filter;
  const TXWalkKey key = walk.key;
  const uint32_t id = walk.id;
  const uint32_t last = store_.LastNonDead();
  index = std::max<uint32_t>(index, 1);
  bool blockStart = true;
  while (index <= last) {
    if (blockStart && key != TXWalkKey::None) {
      index = index_.Forward(index, last, key, id);
      if (index > last)
        break;
    }
    if (Visible(index) && filter.Accepts(store_.At(index)))
      return index;
    ++index;
    blockStart = (index - 1) % TXSlotIndex::kBlock == 0;
  }
  return 0;
}

uint32_t TXManager::FindBackward(uint32_t index, const TXFilter& filter) const {
  const TWalk walk = WalkOf(filter);
  const TXWalkKey key = walk.key;
  const uint32_t id = walk.id;
  index = std::min(index, store_.LastNonDead());
  bool blockEnd = true;
  while (index >= 1) {
    if (blockEnd && key != TXWalkKey::None) {
      index = index_.Backward(index, key, id);
      if (index == 0)
        break;
    }
    if (Visible(index) && filter.Accepts(store_.At(index)))
      return index;
    --index;
    blockEnd = index % TXSlotIndex::kBlock == 0;
  }
  return 0;
}

TXHold TXManager::First(const TXFilter& filter) {
  const uint32_t index = FindForward(1, filter);
  return TXHold(index != 0 ? ItemAt(index) : nullptr);
}

TXHold TXManager::Last(const TXFilter& filter) {
  const uint32_t index = FindBackward(store_.LastNonDead(), filter);
  return TXHold(index != 0 ? ItemAt(index) : nullptr);
}

TXHold TXManager::Next(const TXItem& item, const TXFilter& filter) {
  const uint32_t start = SlotOf(item);
  if (start == 0)
    NotInStore(item.Id());
  const uint32_t index = FindForward(start + 1, filter);
  return TXHold(index != 0 ? ItemAt(index) : nullptr);
}

TXHold TXManager::Prev(const TXItem& item, const TXFilter& filter) {
  const uint32_t start = SlotOf(item);
  if (start == 0)
    NotInStore(item.Id());
  const uint32_t index = FindBackward(start - 1, filter);
  return TXHold(index != 0 ? ItemAt(index) : nullptr);
}

TXHold TXManager::FirstFrom(uint32_t position, const TXFilter& filter) {
  SettleKilled();
  const uint32_t index = FindForward(position, filter);
  return TXHold(index != 0 ? ItemAt(index) : nullptr);
}

uint32_t TXManager::Count(const TXFilter& filter) const {
  uint32_t count = 0;
  // The walk's key is looked up once, not once a record.
  const TWalk walk = WalkOf(filter);
  for (uint32_t index = FindForward(1, walk); index != 0; index = FindForward(index + 1, walk))
    ++count;
  return count;
}

uint32_t TXManager::PositionOf(const TXItem& item) {
  SettleKilled();
  return SlotOf(item);
}

uint32_t TXManager::PositionOfFirst(const TXFilter& filter) {
  SettleKilled();
  return FindForward(1, filter);
}

uint32_t TXManager::PositionOfLast(const TXFilter& filter) {
  SettleKilled();
  return FindBackward(store_.LastNonDead(), filter);
}

TXHold TXManager::Create(const TXRecord& record) {
  // A new record takes the first dead slot behind the slots in use; slots killed in bulk must
  // be where they belong before that is decided.
  SettleKilled();
  const uint32_t index = store_.ClaimSlot();
  TXRecord copy = record;
  copy.Id = store_.At(index).Id;
  TXItem* parent = ParentFor(copy);
  auto* item = new TXItem(*this, copy, parent, index);
  cache_[copy.Id] = item;
  item->record_.Flags |= kXUnsorted;
  store_.Put(index, item->record_);
  index_.Note(store_, index);
  payees_.Note(item->record_);
  return TXHold(item);
}

void TXManager::Release(TXItem* item) {
  if (item == nullptr)
    return;
  if (item->references_ <= 0)
    throw TModelError("Internal error: release of an item nobody holds.");
  if (--item->references_ > 0)
    return;
  auto cached = cache_.find(item->Id());
  if (cached != cache_.end() && cached->second == item)
    cache_.erase(cached);
  if (const uint32_t index = SlotOf(*item); index != 0) {
    if (!item->record_.IsLive()) {
      RemoveAt(index);
    } else if ((item->record_.Flags & kXUnsorted) != 0) {
      if (addedInBulkDepth_ > 0 && index > addedInBulkBase_)
        addedInBulk_.push_back(item->Id());
      else
        NoteShift(index, store_.Replace(index, TXOrdering(envelopes_)));
    }
  }
  delete item;
}

void TXManager::RemoveAt(uint32_t index) {
  payees_.Forget(store_.At(index).Id);
  if (batchDepth_ > 0) {
    killed_.push_back(store_.At(index).Id);
    store_.KillInPlace(index);
    killedLow_ = killedLow_ == 0 ? index : std::min(killedLow_, index);
  } else {
    NoteShift(index, store_.Remove(index));
  }
}

void TXManager::NoteShift(uint32_t from, uint32_t to) {
  index_.NoteShift(store_, from, to);
  // The slots between the ends moved by one, so a slot killed in place may now lie one lower.
  if (killedLow_ != 0)
    killedLow_ = std::min(killedLow_, std::min(from, to));
}

void TXManager::SettleKilled() {
  if (killed_.empty())
    return;
  store_.SettleKilled(killed_);
  // The records from the lowest killed slot on moved by at most the number killed.
  index_.NoteSettled(store_, killedLow_ == 0 ? 1 : killedLow_,
                     static_cast<uint32_t>(killed_.size()));
  killed_.clear();
  killedLow_ = 0;
}

void TXManager::StoreItem(TXItem& item) {
  item.record_.Flags |= kXUnsorted;
  const uint32_t index = store_.Find(item.Id(), item.slot_);
  if (index == 0)
    NotInStore(item.Id());
  item.slot_ = index;
  store_.Put(index, item.record_);
  index_.Note(store_, index);
  payees_.Note(item.record_);
}

void TXManager::StoreRecord(TXRecord& record) {
  record.Flags |= kXUnsorted;
  const uint32_t index = store_.Find(record.Id);
  if (index == 0)
    NotInStore(record.Id);
  store_.Put(index, record);
  index_.Note(store_, index);
  payees_.Note(record);
}

void TXManager::LoadRecord(TXRecord& record) const {
  const uint32_t index = store_.Find(record.Id);
  if (index == 0)
    NotInStore(record.Id);
  record = store_.At(index);
}

const TXRecord* TXManager::FindRecord(uint32_t id) const {
  auto cached = cache_.find(id);
  const uint32_t hint = cached != cache_.end() ? cached->second->slot_ : 0;
  const uint32_t index = store_.Find(id, hint);
  return index == 0 ? nullptr : &store_.At(index);
}

void TXManager::EraseForDelete(TXItem& item) {
  item.record_.Flags &= ~uint32_t{kXInert};
  item.Erase();
}

void TXManager::Delete(TXHold item) {
  Delete(item.release());
}

void TXManager::Delete(TXItem* item) {
  if (item == nullptr)
    return;
  ++item->references_;
  item->record_.Flags |= kXHidden;
  StoreItem(*item);
  BroadcastRemoved(*item);
  EraseForDelete(*item);

  auto cached = cache_.find(item->Id());
  if (cached != cache_.end() && cached->second == item)
    cache_.erase(cached);
  if (const uint32_t index = SlotOf(*item); index != 0)
    RemoveAt(index);
  // A part still held somewhere must not let go of a multiple that is gone.
  for (auto& entry : cache_) {
    if (entry.second->parent_ == item)
      entry.second->parent_ = nullptr;
  }
  delete item;
}

template <class Visit>
void TXManager::ForEach(const TXFilter& filter, Visit visit) {
  // The records are gathered before the first visit: the notices a visit sends make ledgers
  // let go of rows, and a row committed while held then takes its place in the store, which
  // may lie behind a walk still under way.
  std::vector<std::pair<uint32_t, uint32_t>> gathered;
  for (uint32_t index = FindForward(1, filter); index != 0;
       index = index < store_.Count() ? FindForward(index + 1, filter) : 0)
    gathered.emplace_back(store_.At(index).Id, index);
  TDeletionWatch watch(*this);
  for (const auto& [id, near] : gathered) {
    // Records a visit deleted, or changed out of the filter, on the way are passed over.
    const uint32_t index = store_.Find(id, near);
    if (index == 0 || !Visible(index) || !filter.Accepts(store_.At(index)))
      continue;
    TXHold current(Get(id));
    watch.Clear();
    visit(current);
    if (current && watch.WasRemoved(current.get()))
      current.release();
  }
}

void TXManager::DeleteAll(const TXFilter& filter) {
  TBatch batch(*this);
  ForEach(filter, [this](TXHold& item) { Delete(item.release()); });
}

// ----- Cascades -----

bool TXManager::HasAccountTransactions(uint32_t accountId) const {
  for (uint32_t index = 1; index <= store_.LastNonDead(); ++index) {
    const TXRecord& record = store_.At(index);
    if (record.IsLive() && (record.Flags & kXAccountSide) != 0 && record.AccountId == accountId) {
      return true;
    }
  }
  return false;
}

void TXManager::DeleteAccountTransactions(uint32_t accountId) {
  NotifyViews(TXViewNotice::AccountDeleted, accountId);
  TBatch batch(*this);
  ForEach(TAccountTransferFilter(accountId), [this](TXHold& half) {
    const uint32_t partnerId = half->Record().PartnerId;
    if (partnerId != half->Id() && FindRecord(partnerId) != nullptr) {
      TXHold partner(Get(partnerId));
      const int32_t amount = partner->Record().amount;
      const uint32_t envelope = Accounts().GetDefaultEnvelope(partner->Record().AccountId);
      partner->ChangeAmount(NegateCents(amount), true);
      TXRecord& other = partner->Mutable();
      other.Flags = kXNewPayment | (other.Flags & kXHidden);
      other.PartnerId = 0;
      other.EnvelopeId = envelope;
      partner->ChangeAmount(amount, false);
    }
    // The account goes with its balance, so its half is emptied without posting.
    TXRecord& record = half->Mutable();
    record.amount = 0;
    record.Flags = kXAccountSide;
    record.PartnerId = 0;
    Delete(half.release());
  });
  DeleteAll(TAccountFilter(accountId));
}

void TXManager::MoveToEnvelope(TXHold& item, uint32_t newEnvelopeId) {
  const TXRecord& record = item->Record();
  const TXRecord* partner = record.IsEnvelopeTransfer() ? FindRecord(record.PartnerId) : nullptr;
  if (partner == nullptr || partner->EnvelopeId != newEnvelopeId || record.PartnerId == record.Id) {
    item->SetEnvelope(newEnvelopeId);
    return;
  }
  // A transfer between the two envelopes moves nothing once they are one: it goes.
  TXHold other(Get(record.PartnerId));
  Delete(item.release());
  other->Commit(true);
}

void TXManager::MoveEnvelopeTransactions(uint32_t envelopeId, uint32_t newEnvelopeId) {
  if (envelopeId == newEnvelopeId)
    return;
  NotifyViews(TXViewNotice::EnvelopeMoved, envelopeId);
  TBatch batch(*this);
  ForEach(TEnvelopeFilter(envelopeId),
          [this, newEnvelopeId](TXHold& item) { MoveToEnvelope(item, newEnvelopeId); });
}

uint64_t TXManager::NextCheckNumber(uint32_t accountId) {
  const TAccountFilter filter(accountId);
  uint64_t largest = 0;
  uint32_t seen = 0;
  for (uint32_t index = store_.LastNonDead(); index >= 1 && seen < kCheckNumberReach; --index) {
    if (!Visible(index) || !filter.Accepts(store_.At(index)))
      continue;
    ++seen;
    largest = std::max(largest, CheckNumberOf(store_.At(index).GetCode()));
  }
  return largest + 1;
}

// ----- Multiples -----

std::vector<uint32_t> TXManager::PartIds(uint32_t multipleId) const {
  std::vector<uint32_t> ids;
  for (uint32_t index : store_.PartSlots(multipleId)) {
    if (Visible(index))
      ids.push_back(store_.At(index).Id);
  }
  return ids;
}

void TXManager::RemoveParts(TXItem& multiple) {
  NotifyViews(TXViewNotice::MultiplePartsRemoved, multiple.Id());
  // Every part is deleted, in store order, as DeleteAll with TMultKidsFilter would; the parts
  // are found near their multiple instead of by a walk over the whole store.
  TBatch batch(*this);
  for (uint32_t id : PartIds(multiple.Id())) {
    const TXRecord* part = FindRecord(id);
    if (part == nullptr || (part->Flags & kXHidden) != 0 || !part->IsMultipleKid() ||
        part->ParentId != multiple.Id()) {
      continue;
    }
    Delete(Get(id));
  }
}

void TXManager::RecommitParts(TXItem& multiple) {
  std::vector<TXHold> parts;
  for (uint32_t id : PartIds(multiple.Id()))
    parts.emplace_back(Get(id));
  for (TXHold& part : parts) {
    if (part->Record().IsLive())
      part->Commit(true);
  }
}

// ----- Whole store -----

TXManager::TAddedInBulk::TAddedInBulk(TXManager& manager, size_t expected) : manager_(manager) {
  if (manager_.addedInBulkDepth_++ == 0) {
    manager_.addedInBulk_.clear();
    manager_.addedInBulkBase_ = manager_.store_.LastNonDead();
  }
  manager_.store_.MakeRoomFor(expected);
  manager_.addedInBulk_.reserve(manager_.addedInBulk_.size() + expected);
}

TXManager::TAddedInBulk::~TAddedInBulk() {
  if (--manager_.addedInBulkDepth_ > 0)
    return;
  std::vector<uint32_t> ids = std::move(manager_.addedInBulk_);
  manager_.addedInBulk_.clear();
  // A record that somebody took up again since it was let go is theirs to place.
  std::erase_if(ids, [this](uint32_t id) { return manager_.cache_.count(id) != 0; });
  // Every slot from the lowest one that changed moved by at most one place per record placed.
  if (const uint32_t low = manager_.store_.PlaceAdded(ids, TXOrdering(manager_.envelopes_));
      low != 0) {
    manager_.index_.NoteSettled(manager_.store_, low, static_cast<uint32_t>(ids.size()));
    manager_.BroadcastStoreChanged();
  }
}

void TXManager::Compact() {
  SettleKilled();
  store_.Compact(TXOrdering(envelopes_));
  index_.Rebuild(store_);
  payees_.Invalidate();
}

TXPayeeIndex& TXManager::Payees() {
  if (!payees_.Built())
    payees_.Build(store_);
  return payees_;
}

bool TXManager::HasNewImports() const {
  for (uint32_t index = 1; index <= store_.LastNonDead(); ++index) {
    const TXRecord& record = store_.At(index);
    if (record.Flags != 0 && record.NewImport != 0)
      return true;
  }
  return false;
}

void TXManager::ConfirmImports() {
  for (uint32_t index = 1; index <= store_.Count(); ++index) {
    if (store_.At(index).NewImport != 0) {
      TXRecord record = store_.At(index);
      record.NewImport = 0;
      store_.Put(index, record);
    }
  }
  // A held item writes its copy back on its next commit; its copy is confirmed too, or that
  // commit would take the confirmation back.
  for (auto& entry : cache_)
    entry.second->record_.NewImport = 0;
  BroadcastStoreChanged();
}

bool TXManager::HasPendingCleared() const {
  for (uint32_t index = 1; index <= store_.LastNonDead(); ++index) {
    const TXRecord& record = store_.At(index);
    if (record.Flags != 0 && (record.AccountCleared == 1 || record.EnvelopeCleared == 1)) {
      return true;
    }
  }
  return false;
}

void TXManager::ConfirmCleared() {
  const uint32_t today = Today().Packed();
  auto confirm = [today](TXRecord& record) {
    if (record.AccountCleared == 1)
      record.AccountCleared = today;
    if (record.EnvelopeCleared == 1)
      record.EnvelopeCleared = today;
  };
  for (uint32_t index = 1; index <= store_.Count(); ++index) {
    const TXRecord& stored = store_.At(index);
    if (stored.AccountCleared == 1 || stored.EnvelopeCleared == 1) {
      TXRecord record = stored;
      confirm(record);
      store_.Put(index, record);
    }
  }
  // As for imports: a held copy that kept the pending mark would undo the confirmation.
  for (auto& entry : cache_)
    confirm(entry.second->record_);
  BroadcastStoreChanged();
}

// ----- Taking changes back -----

/// Keeps the block index and the payee index current while a journal is taken back.
class TXManager::TRevertWatch final : public TXStore::TRevertWatch {
 public:
  explicit TRevertWatch(TXManager& manager) : manager_(manager) {}
  void Written(uint32_t index, uint32_t oldId) override {
    const TXRecord& record = manager_.store_.At(index);
    if (oldId != record.Id)
      manager_.payees_.Forget(oldId);
    manager_.payees_.Note(record);
    manager_.index_.Note(manager_.store_, index);
    manager_.reverted_.push_back(record.Id);
  }
  void Shifted(uint32_t low, uint32_t high) override {
    manager_.index_.NoteShift(manager_.store_, low, high);
  }
  void Scattered(uint32_t low, uint32_t high) override {
    manager_.index_.NoteSettled(manager_.store_, low, high - low + 1);
  }

 private:
  TXManager& manager_;
};

bool TXManager::Revert(const TXStoreJournal& journal, TXStoreJournal& redo) {
  SettleKilled();
  TXStoreJournal* kept = store_.Journal();
  TRevertWatch watch(*this);
  store_.SetJournal(&redo);
  bool reverted = true;
  try {
    store_.Revert(journal, watch);
  } catch (const TModelError&) {
    // What was taken back is put back, so that the store is as it was.
    store_.SetJournal(nullptr);
    store_.Revert(redo, watch);
    redo.Clear();
    reverted = false;
  }
  store_.SetJournal(kept);
  redo.Seal();
  return reverted;
}

void TXManager::TakeUpReverted() {
  RefreshHeld();
  // A record that was held when it was written and is held no more is put in its place or
  // removed, as its last holder would have done on letting go. Many written records (an
  // import taken back) are found in one pass over the store; a few are looked up.
  std::vector<uint32_t> reverted = std::move(reverted_);
  reverted_.clear();
  std::vector<std::pair<uint32_t, uint32_t>> pending;  // slot, identifier
  auto consider = [&](uint32_t index) {
    const TXRecord& record = store_.At(index);
    if (cache_.count(record.Id) == 0 && (!record.IsLive() || (record.Flags & kXUnsorted) != 0))
      pending.emplace_back(index, record.Id);
  };
  constexpr size_t kLookUpOneByOne = 64;
  if (reverted.size() > kLookUpOneByOne) {
    const std::unordered_set<uint32_t> wanted(reverted.begin(), reverted.end());
    for (uint32_t index = 1; index <= store_.Count(); ++index) {
      if (store_.At(index).Flags != 0 && wanted.count(store_.At(index).Id) != 0)
        consider(index);
    }
  } else {
    for (uint32_t id : reverted) {
      if (const uint32_t index = store_.Find(id); index != 0)
        consider(index);
    }
  }
  // From the highest slot down, so that what is done leaves the lower slots where they were.
  std::sort(pending.rbegin(), pending.rend());
  for (const auto& [near, id] : pending) {
    const uint32_t index = cache_.count(id) == 0 ? store_.Find(id, near) : 0;
    if (index == 0)
      continue;
    if (!store_.At(index).IsLive()) {
      RemoveAt(index);
    } else if ((store_.At(index).Flags & kXUnsorted) != 0) {
      NoteShift(index, store_.Replace(index, TXOrdering(envelopes_)));
    }
  }
  BroadcastStoreChanged();
}

void TXManager::RefreshHeld() {
  std::vector<TXItem*> gone;
  std::vector<uint32_t> lostMultiples;
  for (auto& [id, item] : cache_) {
    const uint32_t index = store_.Find(id, item->slot_);
    const bool wasMultiple = item->record_.IsMultiple();
    if (index == 0) {
      gone.push_back(item);
    } else {
      item->slot_ = index;
      item->record_ = store_.At(index);
      item->loadedAccountCleared_ = item->record_.AccountCleared;
      item->loadedEnvelopeCleared_ = item->record_.EnvelopeCleared;
    }
    if (wasMultiple && (index == 0 || !item->record_.IsMultiple()))
      lostMultiples.push_back(id);
  }
  // Items of records that are gone leave the cache at once, since their identifiers may be
  // claimed again, and stay alive until every holder has heard of them.
  for (TXItem* item : gone) {
    ++item->references_;
    cache_.erase(item->Id());
  }
  auto isGone = [&gone](const TXItem* item) {
    return std::find(gone.begin(), gone.end(), item) != gone.end();
  };
  std::vector<uint32_t> held;
  held.reserve(cache_.size());
  for (const auto& entry : cache_)
    held.push_back(entry.first);
  // Releasing a multiple may let its item go, so each item is looked up again.
  for (uint32_t id : held) {
    auto cached = cache_.find(id);
    if (cached == cache_.end())
      continue;
    TXItem* item = cached->second;
    TXItem* parent = item->parent_;
    const bool stays = parent != nullptr && !isGone(parent) && item->record_.IsMultipleKid() &&
                       item->record_.ParentId == parent->Id();
    if (parent != nullptr && !stays) {
      item->parent_ = nullptr;
      if (!isGone(parent))
        Release(parent);
    }
  }
  for (uint32_t id : held) {
    auto cached = cache_.find(id);
    if (cached != cache_.end() && cached->second->parent_ == nullptr &&
        cached->second->record_.IsMultipleKid())
      cached->second->parent_ = ParentFor(cached->second->record_);
  }
  for (uint32_t id : lostMultiples)
    NotifyViews(TXViewNotice::MultiplePartsRemoved, id);
  for (TXItem* item : gone)
    Broadcast(lists_, [item](TXList& list) { list.Vanished(*item); });
  for (TXItem* item : gone) {
    if (isGone(item->parent_))
      item->parent_ = nullptr;
  }
  for (TXItem* item : gone)
    delete item;
}

// ----- Observers -----

void TXManager::Register(TXList& list) {
  lists_.push_back(&list);
}

void TXManager::Unregister(TXList& list) {
  std::erase(lists_, &list);
}

void TXManager::AddView(TXViewListener& view) {
  views_.push_back(&view);
}

void TXManager::RemoveView(TXViewListener& view) {
  std::erase(views_, &view);
}

void TXManager::NotifyViews(TXViewNotice notice, uint32_t id) {
  Broadcast(views_, [&](TXViewListener& view) { view.Notify(notice, id); });
}

void TXManager::RepaintViews() {
  Broadcast(views_, [](TXViewListener& view) { view.Repaint(); });
}

void TXManager::BroadcastChanged(TXItem& item) {
  Broadcast(lists_, [&](TXList& list) { list.Changed(item); });
  RepaintViews();
}

void TXManager::BroadcastRemoved(TXItem& item) {
  Broadcast(lists_, [&](TXList& list) { list.Removed(item); });
}

void TXManager::BroadcastStoreChanged() {
  Broadcast(lists_, [](TXList& list) { list.StoreChanged(); });
  RepaintViews();
}

void TXManager::LetListsGo() {
  Broadcast(lists_, [](TXList& list) { list.LetGo(); });
}

void TXManager::BroadcastAdded(TXItem& item) {
  Broadcast(lists_, [&](TXList& list) { list.Added(item); });
}

// ----- Stream -----

void TXManager::Streamer::Write(opstream& os) const {
  Object().store_.Write(os);
}

void TXManager::Streamer::Read(ipstream& is, uint32_t) {
  Object().store_.Read(is);
  Object().index_.Invalidate();
  Object().payees_.Invalidate();
}

TXManager& TransactionsOf(const TVorlaData& document) {
  auto* manager = dynamic_cast<TXManager*>(document.Transactions());
  if (manager == nullptr)
    throw TModelError("The document holds no transaction manager.");
  return *manager;
}
