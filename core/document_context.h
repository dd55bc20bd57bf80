#pragma once

#include <cstdint>

#include "core/clock.h"
#include "core/user_port.h"

/// What deleting accounts and envelopes needs from the transactions and templates that refer to
/// them. The document supplies it once those exist.
class TItemCascades {
 public:
  virtual ~TItemCascades() = default;
  virtual bool HasAccountTransactions(uint32_t accountId) const = 0;
  virtual void DeleteAccountTransactions(uint32_t accountId) = 0;
  virtual void MoveEnvelopeTransactions(uint32_t envelopeId, uint32_t newEnvelopeId) = 0;
  virtual void ReplaceTemplateEnvelope(uint32_t envelopeId, uint32_t newEnvelopeId) = 0;
};

/// The document as its parts see it: where changes are reported, where the user and the clock
/// are, and what the parts may ask of their siblings.
class TDocumentContext {
 public:
  virtual ~TDocumentContext() = default;
  /// Marks the document modified (ignored while it is being destroyed).
  virtual void SetModified() = 0;
  virtual TUserPort& User() const = 0;
  virtual const TClock& Clock() const = 0;
  /// The cascades into transactions and templates; null while the document has none.
  virtual TItemCascades* Cascades() const = 0;
};
