#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class TXStore;
struct TXRecord;

/// The payees a budget uses, for completing them as the user types: each payee spelled as its
/// latest use spells it, how many live records use it, and its latest record overall and per
/// account. Payees are compared case-blind over their stored 8-bit text (FoldCp1252). Records
/// count when live, not being deleted, not parts of a multiple, and with a payee that is not a
/// transfer's "~t" text. The manager keeps it current wherever it writes or removes a record,
/// once it was built.
class TXPayeeIndex {
 public:
  static constexpr size_t kMaxMatches = 10;

  /// Forgets everything and reads every record of `store`, which must outlive the index's use.
  void Build(const TXStore& store);
  /// Forgets everything until the next Build (the store was replaced or renumbered).
  void Invalidate();
  bool Built() const { return built_; }

  /// The record now stored with its identifier (any state: one that no longer counts drops
  /// out). Ignored until built.
  void Note(const TXRecord& record);
  /// The record with `id` left the store.
  void Forget(uint32_t id);

  /// The payees whose text starts with `prefix` (case-blind), most recently used first, at most
  /// `limit`; none for an empty prefix.
  std::vector<std::string> Matches(std::string_view prefix, size_t limit = kMaxMatches);
  /// The latest record of `payee` (case-blind, whole text) in `accountId`, else in the whole
  /// budget; 0 when the payee is not in use. Latest is by date, then by identifier.
  uint32_t LatestRecord(std::string_view payee, uint32_t accountId);
  /// The number of payees in use.
  size_t PayeeCount() const { return live_; }
  /// The bytes the index holds, roughly (for benchmarks).
  size_t MemoryBytes() const;

 private:
  struct TUse {
    uint32_t payee = 0;  // the payee's slot + 1; 0 when the record does not count
    uint32_t account = 0;
    uint64_t stamp = 0;  // date, then identifier: larger is later
  };
  struct TPayee {
    size_t hash = 0;
    uint64_t latest = 0;
    uint32_t count = 0;
    // Its records: those the build found, a run of ids_, then those noted since. Either may
    // hold records that moved on; they are checked against the uses.
    uint32_t runStart = 0;
    uint32_t runSize = 0;
    bool stale = false;  // the latest use left; found again from its records when asked
    std::string text;    // as its latest use spells it
    std::string folded;  // the key: FoldCp1252 of the text
    std::vector<uint32_t> more;
  };
  // A place in the table: the payee's slot + 1 (0 free, kGone removed), the top half of its
  // hash, and the start of its key, so that a probe reads the payee only for a long key.
  static constexpr size_t kHead = 23;
  struct TEntry {
    uint32_t ref = 0;
    uint32_t tag = 0;
    uint8_t size = 0;
    char head[kHead] = {};
  };
  using TRecency = std::pair<uint64_t, uint32_t>;  // a payee's latest stamp and its slot

  static bool Counts(const TXRecord& record);
  /// Folds `text` into `folded_` and returns its hash.
  size_t Fold(std::string_view text);
  /// The use of the record with `id`, made empty when there is none.
  TUse& UseFor(uint32_t id);
  /// The use of the record with `id`, or null when there is none.
  const TUse* FindUse(uint32_t id) const { return id < uses_.size() ? &uses_[id] : FindFarUse(id); }
  TUse* FindUse(uint32_t id) { return const_cast<TUse*>(std::as_const(*this).FindUse(id)); }
  const TUse* FindFarUse(uint32_t id) const;
  /// Calls `visit` with every record identifier listed for `payee` and its use (null: none).
  template <typename Visit>
  void ForEachListed(const TPayee& payee, Visit visit) const;
  void Drop(uint32_t id);
  void Refresh(uint32_t slot);
  /// The payee's latest use is now `stamp`.
  void SetLatest(uint32_t slot, uint64_t stamp);
  /// The slot of the payee with `folded` text and its `hash`, made when there is none.
  uint32_t SlotOf(std::string_view folded, size_t hash);
  /// Notes a record that counts, its payee folded and hashed.
  void NoteKeyed(const TXRecord& record, std::string_view folded, size_t hash);
  /// Whether `entry` holds the payee with `folded` text, the head of its hash being `tag`.
  bool Holds(const TEntry& entry, std::string_view folded, uint32_t tag) const;
  /// The entry of the payee in `slot`.
  TEntry EntryOf(uint32_t slot) const;
  /// Where the payee with `folded` and `hash` sits in the table, or the free place it would take.
  size_t Probe(std::string_view folded, size_t hash) const;
  void Rehash(size_t size);
  void RemoveFromTable(uint32_t slot);
  /// The first place in `sorted_` whose payee's folded text is not less than `key`.
  size_t SortedLowerBound(std::string_view key) const;
  /// What a build does after it has counted every record: the runs of each payee's records
  /// and the sorted and recency orders.
  void Finish();

  bool built_ = false;
  bool building_ = false;           // the orders wait for the end of the build
  const TXStore* store_ = nullptr;  // where a payee's latest spelling is read again
  // The uses by record identifier; identifiers far beyond the store's size (a damaged file may
  // carry any) are kept apart, so that the memory follows the records and not their numbers.
  std::vector<TUse> uses_;
  std::unordered_map<uint32_t, TUse> farUses_;
  std::vector<TPayee> payees_;
  std::vector<uint32_t> ids_;  // the records of each payee as the build found them, one run each
  std::vector<uint32_t> free_;
  size_t live_ = 0;
  // Open addressing by folded text.
  static constexpr uint32_t kGone = UINT32_MAX;
  std::vector<TEntry> table_;
  size_t tableUsed_ = 0;  // places not free, removed ones included
  // The live payees by folded text, for prefixes; and by latest use, for the walk of short
  // prefixes that most payees match.
  std::vector<uint32_t> sorted_;
  std::set<TRecency> recent_;
  std::string folded_;
};
