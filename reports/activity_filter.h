#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/date_value.h"
#include "transactions/xfilter.h"

class TEnvelopeList;

/// One row of the envelope activity report: what moved through an envelope node in the
/// report's period and what it held before. Amounts are cents; payments and transfers out are
/// counted as positive sizes.
struct TEnvActivityTotals {
  uint32_t envelopeId = 0;
  int64_t deposits = 0;
  int64_t payments = 0;
  int64_t transfersIn = 0;
  int64_t transfersOut = 0;
  int64_t beforeStart = 0;

  friend bool operator==(const TEnvActivityTotals&, const TEnvActivityTotals&) = default;
};

/// A visitor in the shape of a filter: it accepts every record and adds the records of one
/// envelope node and everything below it into the rows of the nodes that hold them. Each row
/// collects the records at or below its own node, so a bundle's row sums its envelopes.
/// It serves one walk over the store: the envelope tree must not change while it is in use.
class TEnvActivityFilter final : public TXFilter {
 public:
  /// `rows` is the caller's and receives the sums; it must outlive the filter and hold all its
  /// rows before the first record is counted.
  TEnvActivityFilter(TDateValue start, TDateValue end, uint32_t envelopeId,
                     std::vector<TEnvActivityTotals>& rows, const TEnvelopeList& envelopes);

  /// Adds the record into the rows it concerns; always true.
  bool Accepts(const TXRecord& record) const override;

 private:
  // The rows that count the records of an envelope: none when the envelope lies outside the
  // report's node, else every row whose node the envelope lies at or below (an alias's row
  // shares its envelope's identifier). Worked out once per envelope for the walk, so a record
  // costs one look-up and visits only its own rows, however large the tree.
  const std::vector<size_t>& RowsCounting(uint32_t envelopeId) const;

  TDateValue start_;
  TDateValue end_;
  uint32_t envelopeId_;
  std::vector<TEnvActivityTotals>& rows_;
  const TEnvelopeList& envelopes_;
  mutable std::unordered_map<uint32_t, std::vector<size_t>> rowsCounting_;
};
