#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TXItem;

/// One item of a transaction template as filling a transaction needs it.
struct TXTemplatePart {
  uint32_t envelopeId = 0;
  int32_t amount = 0;
  std::string label;
};

/// What the ledger command "Apply Template" needs of the document's templates. The templates
/// live a layer above the transactions; their manager registers itself with the transaction
/// manager as this.
class TXTemplateApplier {
 public:
  virtual ~TXTemplateApplier() = default;
  virtual size_t TemplateCount() const = 0;
  /// Runs the command on `item`: the overwrite question, the choice of a template and the
  /// filling. True when the transaction was changed.
  virtual bool ApplyTemplate(TXItem& item) = 0;
};

/// Fills a transaction from a template's texts and items. Each step takes the old amount out of
/// the balances before the new kind posts its own, so the account total equals the envelope
/// total after every step.
class TXTemplateFill {
 public:
  static constexpr const char* kOverwriteQuestion = "Overwrite current transaction?";

  /// A multiple, an account transfer half or a transaction with an amount is only overwritten
  /// after the user agreed.
  static bool NeedsOverwriteQuestion(const TXItem& item);
  /// Empty payee and memo texts take the template's; the transaction is emptied (a transfer's
  /// other half and a multiple's parts are deleted); then two or more `parts` make it a multiple
  /// of the parts whose envelope exists, exactly one such part an ordinary payment or deposit in
  /// that envelope, anything else a payment of 0 in the account's default envelope. Committed
  /// with notification.
  static void Fill(TXItem& item, std::string_view payableTo, std::string_view memo,
                   const std::vector<TXTemplatePart>& parts);

 private:
  /// Takes the transaction out of every balance and link it has, leaving its kind alone.
  static void Empty(TXItem& item);
};
