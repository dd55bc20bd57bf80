#include "planning/template_item.h"

#include "core/amount.h"
#include "core/amount_expression.h"
#include "core/envelope_list.h"
#include "core/user_port.h"
#include "planning/template_list.h"
#include "transactions/xitem.h"

namespace {

constexpr double kAmountEntryLimit = 20000000.0;

std::string AmountColumn(int32_t amount, bool payment) {
  const int64_t cents = amount;
  if (payment ? cents >= 0 : cents <= 0)
    return "0.00";
  return TAmount::FromCents(payment ? -cents : cents).Format(TAmount::kThousands);
}

std::string PlaceholderShown(char letter, std::string_view envelopeName) {
  switch (letter) {
    case 'a':
      return "<account>";
    case 'c':
      return "<creation date>";
    case 'e':
      return std::string(envelopeName);
    case 'i':
      return "<instances>";
    case 'p':
      return "<transaction position>";
    case 'r':
      return "<reconcile date>";
    case 'x':
      return "<transaction id>";
    default:
      return "error";
  }
}

}  // namespace

TXTemplateItem::TXTemplateItem(uint32_t envelopeId, int32_t amount, std::string_view label)
    : envelopeId_(envelopeId), amount_(amount) {
  SetLabel(label);
}

void TXTemplateItem::SetLabel(std::string_view label) {
  label_ = std::string(label.substr(0, kLabelSize - 1));
}

std::string TXTemplateItem::EnvelopeName() const {
  const TEnvelopeList* envelopes = owner_ != nullptr ? owner_->Envelopes() : nullptr;
  if (envelopes == nullptr || envelopes->Envelope(envelopeId_) == nullptr)
    return "None";
  return envelopes->NameOfEnvelope(envelopeId_);
}

std::string TXTemplateItem::ShownLabel() const {
  return ShowLabel(label_, EnvelopeName());
}

std::string TXTemplateItem::ShowLabel(std::string_view label, std::string_view envelopeName) {
  return ExpandPlaceholderText(label, kShownLabelSize, [envelopeName](char letter) {
    return PlaceholderShown(letter, envelopeName);
  });
}

std::optional<int32_t> TXTemplateItem::ParseAmountEntry(std::string_view text) {
  const TAmountParseResult parsed = EvaluateAmountExpression(text);
  const double rounded = parsed.value > 0 ? parsed.value + 0.005 : parsed.value - 0.005;
  if (parsed.error != kAmountParseOk ||
      !(rounded > -kAmountEntryLimit && rounded < kAmountEntryLimit)) {
    return std::nullopt;
  }
  return CentsFromEntry(parsed.value);
}

const char* TXTemplateItem::Heading(int column) {
  switch (column) {
    case kColDescription:
      return "Description";
    case kColPayment:
      return "Payment";
    case kColDeposit:
      return "Deposit";
    case kColEnvelope:
      return "Envelope";
    default:
      return "";
  }
}

TColumnEntry TXTemplateItem::EntryFor(int column, unsigned how) const {
  const bool typing = (how & kStartedByTyping) != 0;
  switch (column) {
    case kColDescription:
      return {TColumnEntryKind::Text, kLabelSize - 1, typing ? std::string() : label_};
    case kColPayment:
    case kColDeposit:
      return {TColumnEntryKind::Amount, 99, typing ? std::string() : ColumnText(column)};
    case kColEnvelope:
      // The envelope list always starts at the item's envelope.
      return {TColumnEntryKind::EnvelopeList, 0, ColumnText(column)};
    default:
      return {};
  }
}

void TXTemplateItem::SetColumnText(int column, std::string_view text) {
  switch (column) {
    case kColDescription:
      SetLabel(text);
      break;
    case kColPayment:
    case kColDeposit: {
      const std::optional<int32_t> cents = ParseAmountEntry(text);
      if (!cents) {
        // A typing slip would otherwise wipe the amount the item held.
        if (TUserPort* user = owner_ != nullptr ? owner_->User() : nullptr) {
          const bool unreadable = EvaluateAmountExpression(text).error != kAmountParseOk;
          user->Tell("Quenbrook", TXItem::AmountRefusal(text, unreadable),
                     TMessageIcon::Exclamation);
        }
        return;
      }
      amount_ = column == kColPayment ? NegateCents(*cents) : *cents;
      break;
    }
    case kColEnvelope: {
      const TEnvelopeList* envelopes = owner_ != nullptr ? owner_->Envelopes() : nullptr;
      envelopeId_ = envelopes != nullptr ? envelopes->EnvelopeIdOfName(text) : 0;
      break;
    }
    default:
      return;
  }
  if (owner_ != nullptr)
    owner_->ItemChanged();
}

std::string TXTemplateItem::ColumnText(int column) const {
  switch (column) {
    case kColDescription:
      return ShownLabel();
    case kColPayment:
      return AmountColumn(amount_, true);
    case kColDeposit:
      return AmountColumn(amount_, false);
    case kColEnvelope:
      return EnvelopeName();
    default:
      return {};
  }
}
