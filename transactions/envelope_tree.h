#pragma once

#include <cstdint>
#include <vector>

class TEnvelopeList;

/// Where a transaction's envelope lies in the envelope tree, for the filters that take an
/// envelope "and everything below it". An envelope counts as below every node above it and
/// above each of its aliases, so an association gathers the envelopes it shows, as its balance
/// does. Envelope identifier 0 is no envelope at all (the multiple and the account half of a
/// transfer carry it): it is below nothing, not even a root whose identifier happens to be 0,
/// so such records are never counted a second time beside the records that carry their money.

/// True when `envelopeId` is `nodeId` itself or an envelope below the node with `nodeId`.
bool IsEnvelopeAtOrBelow(const TEnvelopeList& envelopes, uint32_t envelopeId, uint32_t nodeId);

/// The identifiers `envelopeId` is at or below: itself first, then the identifiers of every node
/// above the envelope or above one of its aliases (each once). Empty for envelope identifier 0.
std::vector<uint32_t> EnvelopeAndAncestorIds(const TEnvelopeList& envelopes, uint32_t envelopeId);
