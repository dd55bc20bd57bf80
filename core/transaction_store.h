#pragma once

#include <cstdint>

#include "core/document_context.h"
#include "core/streamable.h"

class TVorlaData;

/// The document's transactions as the document itself needs them. The transaction manager, one
/// layer up, implements it and registers itself under the stored class name "TXManager"; the
/// document makes its manager through that registration, so the model's lowest layer never needs
/// to know the manager's type.
class TTransactionStore : public TStreamableBase, public TItemCascades {
 public:
  /// The stored class name of the implementation.
  static constexpr const char* kClassName = "TXManager";

  /// Connects the store to the document that owns it (after construction or reading).
  virtual void Attach(TVorlaData& document) = 0;
  /// Puts the store in order after reading.
  virtual void Compact() = 0;
  virtual bool HasNewImports() const = 0;
  virtual void ConfirmImports() = 0;
  virtual bool HasPendingCleared() const = 0;
  /// Turns every pending cleared mark into today's date.
  virtual void ConfirmCleared() = 0;

  /// Templates are not the store's business; the document forwards this one elsewhere.
  void ReplaceTemplateEnvelope(uint32_t, uint32_t) override {}
};
