#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/date_value.h"
#include "import/import_record.h"

class TXManager;
struct TXRecord;

/// What matching needs of an entered transaction.
struct TMatchCandidate {
  uint32_t id = 0;
  int32_t amount = 0;
  TDateValue date;
  /// The leading whole number of its code (0 when it has none).
  int64_t checkNumber = 0;

  static TMatchCandidate Of(const TXRecord& record);
};

/// The cost of pairing a statement record with a candidate: 0 for the same check number, the
/// day distance plus 1 for the same amount, and kNoMatch when they do not match (a candidate
/// with a check number of its own pairs by amount only within three days). With
/// `ignoreCheckNumbers` no check number counts.
inline constexpr uint32_t kNoMatch = 65535;
uint32_t MatchCost(const TImportBatch& batch, const TImportRecord& record,
                   const TMatchCandidate& candidate, bool ignoreCheckNumbers);

/// The candidates of an import into `account`: the records TImportFindFilter accepts for the
/// account and `limit`, in store order. Inert records are left out, since they refuse every
/// change.
std::vector<TMatchCandidate> ImportCandidates(const TXManager& transactions, uint32_t account,
                                              TDateValue limit);

/// Greedy pairing: repeatedly the cheapest pair of a free record and a free candidate, ties
/// going to the earliest record and then to the earliest candidate. Only the pairs that can
/// match are ever looked at (found through indexes by amount and by check number), so time and
/// memory grow with those pairs rather than with records times candidates; a record that
/// matches no candidate at all takes no room beyond its place in the result. The records are
/// the batch's first `count`; the result holds, per record, the index of its candidate or
/// kUnpaired.
class TImportMatcher {
 public:
  static constexpr size_t kUnpaired = static_cast<size_t>(-1);

  std::vector<size_t> Match(const TImportBatch& batch, size_t count,
                            const std::vector<TMatchCandidate>& candidates,
                            bool ignoreCheckNumbers);
  /// How many matching pairs the last run weighed, and the bytes its tables took at most.
  size_t PairsWeighed() const { return pairsWeighed_; }
  size_t PeakBytes() const { return peakBytes_; }

 private:
  size_t pairsWeighed_ = 0;
  size_t peakBytes_ = 0;
};

/// Pairs the batch's first `count` records with the account's candidates and sets their
/// MatchedId.
void MatchImportRecords(TImportBatch& batch, size_t count,
                        const std::vector<TMatchCandidate>& candidates, bool ignoreCheckNumbers);
