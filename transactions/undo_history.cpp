#include "transactions/undo_history.h"

#include <algorithm>
#include <utility>

#include "core/account_list.h"
#include "core/envelope_list.h"
#include "core/vorla_data.h"
#include "transactions/xmanager.h"

namespace {

// FNV-1a: enough to recognise the image a step was taken from.
uint64_t HashOf(std::span<const uint8_t> bytes) {
  uint64_t hash = 0xcbf29ce484222325;
  for (uint8_t byte : bytes) {
    hash ^= byte;
    hash *= 0x100000001b3;
  }
  return hash;
}

std::vector<uint32_t> AccountIds(const TVorlaData& document) {
  std::vector<uint32_t> ids;
  for (const TItemChoice& choice : document.Accounts().AccountChoices())
    ids.push_back(choice.id);
  return ids;
}

std::vector<uint32_t> EnvelopeIds(const TVorlaData& document) {
  std::vector<uint32_t> ids;
  for (const TItemChoice& choice : document.Envelopes().EnvelopeChoices())
    ids.push_back(choice.id);
  return ids;
}

}  // namespace

TUndoHistory::TUndoHistory(TVorlaData& document) : document_(document) {
  Manager().SetJournal(&between_);
  RestartBetween();
}

TUndoHistory::~TUndoHistory() {
  Manager().SetJournal(nullptr);
}

TXManager& TUndoHistory::Manager() const {
  return TransactionsOf(document_);
}

uint64_t TUndoHistory::CurrentState() const {
  return undo_.empty() ? baseState_ : undo_.back().state;
}

void TUndoHistory::RestartBetween() {
  between_.Clear();
  betweenCount_ = Manager().Store().Count();
  betweenLastId_ = Manager().Store().LastId();
}

void TUndoHistory::Open(std::string name, bool gesture) {
  openWeak_ = gesture;
  openName_ = std::move(name);
  openNamed_ = false;
  openImage_ = document_.PartsImage();
  openCount_ = Manager().Store().Count();
  openLastId_ = Manager().Store().LastId();
  openModifications_ = document_.ModificationCount();
  openMark_ = between_.Mark();
}

void TUndoHistory::BeginGesture(std::string name) {
  if (depth_++ == 0)
    Open(std::move(name), true);
}

void TUndoHistory::BeginStep(std::string name) {
  if (depth_++ == 0) {
    Open(std::move(name), false);
    return;
  }
  // A step opened inside a gesture is a change the user asked for.
  openWeak_ = false;
  NameStep(std::move(name));
}

void TUndoHistory::NameStep(std::string name) {
  if (depth_ == 0 || openNamed_ || name.empty())
    return;
  openName_ = std::move(name);
  openNamed_ = true;
}

void TUndoHistory::EndStep() {
  if (depth_ == 0 || --depth_ > 0)
    return;
  const std::vector<uint8_t> image = document_.PartsImage();
  TStepRecord step;
  step.parts = TByteDelta::Between(image, openImage_);
  openImage_ = {};
  const bool storeChanged = between_.Changes().size() > openMark_;
  const bool modified = document_.ModificationCount() != openModifications_;
  // A step that changed nothing, or a gesture that did upkeep alone, leaves its store changes
  // where they are, between the steps.
  if (step.parts.Empty() && (openWeak_ ? !modified : !storeChanged))
    return;
  step.store = between_.TakeFrom(openMark_);
  step.otherCount = openCount_;
  step.otherLastId = openLastId_;
  // What the store did since the last step happened after it: undoing that step takes it back
  // too. Before the first step it belongs to the first.
  if (undo_.empty()) {
    between_.Append(step.store);
    step.store = std::move(between_);
    step.otherCount = betweenCount_;
    step.otherLastId = betweenLastId_;
  } else if (!between_.Empty()) {
    undo_.back().store.Append(between_);
  }
  RestartBetween();
  step.name = openName_.empty() ? std::string("Change") : std::move(openName_);
  step.store.Seal();
  step.partsHash = HashOf(image);
  step.state = nextState_++;
  for (const TStepRecord& dropped : redo_) {
    if (dropped.state == savedState_)
      savedState_ = kNoState;
  }
  redo_.clear();
  undo_.push_back(std::move(step));
  afterUndo_ = false;
  Enforce();
}

TResult<void> TUndoHistory::Undo() {
  if (!CanUndo())
    return TFailure{"There is nothing to undo."};
  return Cross(undo_, redo_);
}

TResult<void> TUndoHistory::Redo() {
  if (!CanRedo())
    return TFailure{"There is nothing to redo."};
  return Cross(redo_, undo_);
}

TResult<void> TUndoHistory::Refuse(const std::string& what) {
  Clear();
  Manager().BroadcastStoreChanged();
  return TFailure{"\"" + what +
                  "\" cannot be applied exactly to the budget as it is now, so nothing was "
                  "changed. The list of changes to undo and redo has been cleared."};
}

TResult<void> TUndoHistory::Cross(std::deque<TStepRecord>& from, std::deque<TStepRecord>& to) {
  TStepRecord& step = from.back();
  const std::string title = (&from == &undo_ ? "Undo " : "Redo ") + step.name;
  TXManager& manager = Manager();
  // Records that somebody holds cannot be dropped or placed where the step expects them.
  manager.LetListsGo();
  const std::vector<uint8_t> image = document_.PartsImage();
  if (HashOf(image) != step.partsHash)
    return Refuse(title);
  const std::vector<uint8_t> other = step.parts.ApplyTo(image);
  const std::vector<uint32_t> accounts = AccountIds(document_);
  const std::vector<uint32_t> envelopes = EnvelopeIds(document_);
  // The store as the step's turned journal will give it back.
  uint32_t count = manager.Store().Count();
  uint32_t lastId = manager.Store().LastId();

  // The other parts go first: a store that does not fit leaves them to be put back.
  const bool partsChange = !step.parts.Empty();
  if (partsChange && (other.empty() || !document_.RestoreParts(other)))
    return Refuse(title);
  // What the store did since the budget reached this side is housekeeping. After a step (or
  // its redo) it belongs to that step: an undo takes it back with the step and a redo brings
  // it back. After an undo it is taken back and forgotten, since both the step to undo next
  // and the one to redo begin where that undo left the budget.
  const bool undoing = &from == &undo_;
  TXStoreJournal housekeeping = std::move(between_);
  between_.Clear();
  TXStoreJournal journal = std::move(step.store);
  TXStoreJournal restoreHousekeeping;
  bool fits = true;
  if (undoing && !afterUndo_) {
    journal.Append(housekeeping);
  } else {
    fits = manager.Revert(housekeeping, restoreHousekeeping);
    // The upkeep taken back here is forgotten, so a redo begins where it left the store.
    count = manager.Store().Count();
    lastId = manager.Store().LastId();
  }
  TXStoreJournal back;
  if (fits && !manager.Revert(journal, back)) {
    fits = false;
    TXStoreJournal discarded;
    (void)manager.Revert(restoreHousekeeping, discarded);
  }
  if (fits && (manager.Store().Count() != step.otherCount ||
               manager.Store().LastId() != step.otherLastId)) {
    TXStoreJournal discarded;
    (void)manager.Revert(back, discarded);
    (void)manager.Revert(restoreHousekeeping, discarded);
    fits = false;
  }
  if (!fits) {
    if (partsChange)
      (void)document_.RestoreParts(image);
    return Refuse(title);
  }
  // From here on the store's changes are upkeep after this side was reached.
  betweenCount_ = manager.Store().Count();
  betweenLastId_ = manager.Store().LastId();
  // Views let go of their rows as they close, which needs the items up to date.
  manager.TakeUpReverted();
  CloseVanishedViews(accounts, envelopes);

  TStepRecord turned;
  turned.name = std::move(step.name);
  turned.store = std::move(back);
  turned.parts = TByteDelta::Between(other, image);
  turned.partsHash = HashOf(other);
  turned.otherCount = count;
  turned.otherLastId = lastId;
  turned.state = step.state;
  from.pop_back();
  to.push_back(std::move(turned));
  afterUndo_ = undoing;
  UpdateModified();
  Enforce();
  return {};
}

void TUndoHistory::CloseVanishedViews(const std::vector<uint32_t>& accounts,
                                      const std::vector<uint32_t>& envelopes) {
  TXManager& manager = Manager();
  for (uint32_t id : accounts) {
    if (document_.Accounts().Account(id) == nullptr)
      manager.NotifyViews(TXViewNotice::AccountDeleted, id);
  }
  for (uint32_t id : envelopes) {
    if (document_.Envelopes().Envelope(id) == nullptr)
      manager.NotifyViews(TXViewNotice::EnvelopeMoved, id);
  }
}

void TUndoHistory::UpdateModified() {
  if (CurrentState() == savedState_) {
    document_.ClearModified();
  } else {
    document_.SetModified();
  }
}

void TUndoHistory::Clear() {
  undo_.clear();
  redo_.clear();
  RestartBetween();
  afterUndo_ = false;
  baseState_ = nextState_++;
  savedState_ = document_.IsModified() ? kNoState : baseState_;
}

void TUndoHistory::SetMemoryLimit(size_t bytes) {
  memoryLimit_ = bytes;
  Enforce();
}

size_t TUndoHistory::MemoryUsed() const {
  size_t used = 0;
  for (const TStepRecord& step : undo_)
    used += step.Bytes();
  for (const TStepRecord& step : redo_)
    used += step.Bytes();
  return used;
}

void TUndoHistory::Enforce() {
  size_t used = MemoryUsed();
  // Redo steps lie furthest from the budget as it is when the undo list is empty.
  while (used > memoryLimit_ && undo_.size() + redo_.size() > 1) {
    if (!undo_.empty()) {
      used -= undo_.front().Bytes();
      baseState_ = undo_.front().state;
      undo_.pop_front();
    } else {
      used -= redo_.front().Bytes();
      redo_.pop_front();
    }
  }
}
