#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "transactions/ledger_item.h"

class TXTemplateList;

/// One item of a transaction template and its row in the template editor: an envelope, an
/// amount (negative takes money out of the envelope) and a label that may hold "~"
/// placeholders. An item belongs to the list that holds it.
class TXTemplateItem final : public TLedgerItem {
 public:
  enum Column : int { kColDescription = 1, kColPayment = 2, kColDeposit = 3, kColEnvelope = 4 };
  /// The label field: 89 characters and the terminator.
  static constexpr size_t kLabelSize = 90;
  /// What the editor's buffer holds of a shown label.
  static constexpr size_t kShownLabelSize = 90;

  TXTemplateItem() = default;
  TXTemplateItem(uint32_t envelopeId, int32_t amount, std::string_view label);

  uint32_t EnvelopeId() const { return envelopeId_; }
  void SetEnvelopeId(uint32_t envelopeId) { envelopeId_ = envelopeId; }
  int32_t Amount() const { return amount_; }
  void SetAmount(int32_t cents) { amount_ = cents; }
  const std::string& Label() const { return label_; }
  /// Cut to the field's 89 characters.
  void SetLabel(std::string_view label);
  /// No amount and no label, whatever the envelope.
  bool IsEmpty() const { return amount_ == 0 && label_.empty(); }
  TXTemplateList* Owner() const { return owner_; }

  /// The envelope's name, or "None" when the identifier names no envelope.
  std::string EnvelopeName() const;
  /// The label as the editor shows it (see ShowLabel).
  std::string ShownLabel() const;
  /// A label with its placeholders replaced by what the editor can say about them, split and
  /// limited as a transaction's texts are: "<account>", "<creation date>", `envelopeName` for
  /// "~e", "<instances>", "<transaction position>", "<reconcile date>", "<transaction id>", and
  /// "error" for any other letter.
  static std::string ShowLabel(std::string_view label, std::string_view envelopeName);
  /// The cents a typed amount stands for (a half cent away from zero), or nothing when the
  /// text is no amount or reaches 20,000,000 in size.
  static std::optional<int32_t> ParseAmountEntry(std::string_view text);

  static const char* Heading(int column);

  // TLedgerItem.
  TColumnEntry EntryFor(int column, unsigned how) const override;
  /// Applies a typed text. An amount that is no amount or too large is refused with a
  /// message and changes nothing; an envelope name that names no envelope leaves the item
  /// without one.
  void SetColumnText(int column, std::string_view text) override;
  std::string ColumnText(int column) const override;

 private:
  friend class TXTemplateList;

  TXTemplateList* owner_ = nullptr;
  uint32_t envelopeId_ = 0;
  int32_t amount_ = 0;
  std::string label_;
};
