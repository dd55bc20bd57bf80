#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/byte_delta.h"
#include "core/result.h"
#include "transactions/xstore_journal.h"

class TVorlaData;
class TXManager;

/// The steps a user took on one open budget, to be taken back and made again. A step begins and
/// ends around one user action and keeps what the action changed, not copies of the budget:
/// the transaction store's own changes (TXStoreJournal) and, for everything else the file holds
/// (trees with balances, templates, settings, identifier lists), the runs of its file image that
/// differ. Undoing a step gives the budget exactly as it was before it, redoing exactly as it
/// was after; the budget knows whether it now equals its file.
///
/// Changes the store makes between steps are housekeeping (the empty rows ledgers make, records
/// placed when the last ledger lets go of them): they belong to the last step when a new one
/// begins, and are taken back together with the step that an undo or redo crosses.
///
/// Before an undo or redo the lists that hold records let go of them (TXList::LetGo) and
/// gather again afterwards, so that no held empty row or unplaced record stands in the way.
///
/// An undo or redo that does not fit the budget (a fault of the program) changes nothing,
/// clears the history and says so. The history keeps the newest steps within a memory limit;
/// it must go before its budget.
class TUndoHistory {
 public:
  static constexpr size_t kDefaultMemoryLimit = size_t{64} << 20;

  explicit TUndoHistory(TVorlaData& document);
  ~TUndoHistory();
  TUndoHistory(const TUndoHistory&) = delete;
  TUndoHistory& operator=(const TUndoHistory&) = delete;

  /// Opens a step named `name` ("Typing in Checking"); steps opened inside an open one belong
  /// to it and name it (NameStep). A step that changes nothing is not kept.
  void BeginStep(std::string name);
  void EndStep();
  bool InStep() const { return depth_ > 0; }
  /// Opens a step for a whole user gesture (a key press, a click, a drop). Unlike BeginStep it
  /// is kept only when the gesture changed the budget: the other parts, a marked modification,
  /// or a step opened inside it. What a gesture did to the store alone (the rows a ledger
  /// gathers while it scrolls or opens) is upkeep, and leaves the redo list as it was.
  void BeginGesture(std::string name);
  /// How many steps are open one inside the other.
  int Depth() const { return depth_; }
  /// Names the open step after what was done in it: a step opened for a whole user gesture
  /// learns what the gesture turned out to be. The first name given wins; empty names none.
  void NameStep(std::string name);

  /// Opens a step for the length of a scope.
  class TStep {
   public:
    TStep(TUndoHistory* history, std::string name) : history_(history) {
      if (history_ != nullptr)
        history_->BeginStep(std::move(name));
    }
    ~TStep() {
      if (history_ != nullptr)
        history_->EndStep();
    }
    TStep(const TStep&) = delete;
    TStep& operator=(const TStep&) = delete;

   private:
    TUndoHistory* history_;
  };

  bool CanUndo() const { return !undo_.empty() && depth_ == 0; }
  bool CanRedo() const { return !redo_.empty() && depth_ == 0; }
  /// The name of the step an undo or a redo would take ("" when none).
  std::string UndoName() const { return undo_.empty() ? std::string() : undo_.back().name; }
  std::string RedoName() const { return redo_.empty() ? std::string() : redo_.back().name; }
  size_t UndoCount() const { return undo_.size(); }
  size_t RedoCount() const { return redo_.size(); }

  TResult<void> Undo();
  TResult<void> Redo();
  /// Forgets every step.
  void Clear();

  /// The budget now equals its file (after opening or saving).
  void MarkSaved() { savedState_ = CurrentState(); }
  /// Steps beyond `bytes` of memory are dropped, oldest first; the newest is always kept.
  void SetMemoryLimit(size_t bytes);
  size_t MemoryLimit() const { return memoryLimit_; }
  /// The memory the steps hold.
  size_t MemoryUsed() const;

 private:
  /// One step as seen from the side the budget is on now: what turns the store and the image
  /// of the other parts into the other side, and how to recognise this side.
  struct TStepRecord {
    std::string name;
    TXStoreJournal store;
    TByteDelta parts;
    uint64_t partsHash = 0;
    // The store's count and last identifier on the other side.
    uint32_t otherCount = 0;
    uint32_t otherLastId = 0;
    // The state on the side the step leads to when taken from the undo list.
    uint64_t state = 0;
    /// The memory the step holds; its members' own sizes are part of the record's.
    size_t Bytes() const {
      const size_t nameHeap = name.capacity() > std::string().capacity() ? name.capacity() + 1 : 0;
      return sizeof(*this) + nameHeap + store.Bytes() - sizeof(store) + parts.Bytes() -
             sizeof(parts);
    }
  };

  TXManager& Manager() const;
  void Open(std::string name, bool gesture);
  /// Starts noting the upkeep after the budget as it is now.
  void RestartBetween();
  uint64_t CurrentState() const;
  /// Takes the newest step of `from` across and puts it on `to`, turned round.
  TResult<void> Cross(std::deque<TStepRecord>& from, std::deque<TStepRecord>& to);
  TResult<void> Refuse(const std::string& what);
  void Enforce();
  void UpdateModified();
  /// Closes views of accounts and envelopes the parts just restored no longer hold.
  void CloseVanishedViews(const std::vector<uint32_t>& accounts,
                          const std::vector<uint32_t>& envelopes);

  TVorlaData& document_;
  std::deque<TStepRecord> undo_;
  std::deque<TStepRecord> redo_;
  // Every change of the store is noted here; a step takes its own from `openMark_` on.
  TXStoreJournal between_;
  // The store's count and last identifier when `between_` began.
  uint32_t betweenCount_ = 0;
  uint32_t betweenLastId_ = 0;
  std::vector<uint8_t> openImage_;
  std::string openName_;
  bool openNamed_ = false;
  // The open step is a gesture's, kept only when it changed the budget, until a step is opened
  // inside it.
  bool openWeak_ = false;
  size_t openMark_ = 0;
  uint64_t openModifications_ = 0;
  uint32_t openCount_ = 0;
  uint32_t openLastId_ = 0;
  int depth_ = 0;
  // The last thing that changed the budget was an undo.
  bool afterUndo_ = false;
  uint64_t nextState_ = 1;
  uint64_t baseState_ = 0;
  // No state reached so far when the saved one was dropped from the redo list.
  static constexpr uint64_t kNoState = ~uint64_t{0};
  uint64_t savedState_ = 0;
  size_t memoryLimit_ = kDefaultMemoryLimit;
};
