#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
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
  size_t PayeeCount() const { return byText_.size(); }
  /// The bytes the index holds, roughly (for benchmarks).
  size_t MemoryBytes() const;

 private:
  struct TUse {
    uint32_t payee = 0;  // the payee's slot + 1; 0 when the record does not count
    uint32_t account = 0;
    uint64_t stamp = 0;  // date, then identifier: larger is later
  };
  struct TPayee {
    std::string text;
    uint32_t count = 0;
    uint64_t latest = 0;
    bool stale = false;         // the latest use left; found again from `ids` when asked
    std::vector<uint32_t> ids;  // may hold records that moved on; checked against uses_
  };

  static bool Counts(const TXRecord& record);
  /// Folds `text` into `folded_`.
  const std::string& Fold(std::string_view text);
  void Drop(uint32_t id);
  void Refresh(TPayee& payee);
  uint32_t SlotOf(std::string_view text);

  bool built_ = false;
  const TXStore* store_ = nullptr;  // where a payee's latest spelling is read again
  std::vector<TUse> uses_;          // by record identifier
  std::vector<TPayee> payees_;
  std::vector<uint32_t> free_;
  // Folded text to slot: hashed for the lookup of every record, ordered for prefixes.
  std::unordered_map<std::string, uint32_t> byText_;
  std::map<std::string, uint32_t> ordered_;
  std::string folded_;
};
