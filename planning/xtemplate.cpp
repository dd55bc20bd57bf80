#include "planning/xtemplate.h"

#include <algorithm>

#include "core/bx_string_list.h"
#include "core/id_object_list.h"
#include "core/pstream.h"
#include "core/unique_label.h"
#include "planning/template_manager.h"

TXTemplate::TXTemplate() : items_(std::make_unique<TXTemplateList>(this)) {}

TXTemplate::TXTemplate(const TXTemplate& other)
    : TManagedItem(),
      name_(other.name_),
      includeInPlan_(other.includeInPlan_),
      period_(other.period_),
      payableTo_(other.payableTo_),
      memo_(other.memo_),
      items_(std::make_unique<TXTemplateList>(this)) {
  items_->CopyFrom(*other.items_);
}

TXTemplate::~TXTemplate() = default;

void TXTemplate::SetName(std::string_view name) {
  name_ = std::string(name.substr(0, kNameSize - 1));
}

void TXTemplate::SetPayableTo(std::string_view text) {
  payableTo_ = std::string(text.substr(0, kTextSize - 1));
}

void TXTemplate::SetMemo(std::string_view text) {
  memo_ = std::string(text.substr(0, kTextSize - 1));
}

bool TXTemplate::GoesAfter(const TManagedItem& other) const {
  return LessNoCase(name_, other.Name());
}

void TXTemplate::Write(opstream& os) const {
  TManagedItem::Write(os);
  os.WriteWord32(kFormatVersion);
  os.WriteWord32(includeInPlan_ ? 1 : 0);
  items_->Write(os);
  os.WriteWord32(period_);
  os.WriteString(name_);
  os.WriteString(payableTo_);
  os.WriteString(memo_);
}

void TXTemplate::Read(ipstream& is) {
  TManagedItem::Read(is);
  const uint32_t version = is.ReadWord();
  includeInPlan_ = is.ReadWord() != 0;
  // A fresh list: nothing of a list read before survives.
  items_ = std::make_unique<TXTemplateList>(this);
  items_->Read(is);
  if (version > 1)
    period_ = is.ReadWord();
  is.ReadString(name_, kNameSize);
  if (version > 2) {
    is.ReadString(payableTo_, kTextSize);
    is.ReadString(memo_, kTextSize);
  }
}

TAmount TXTemplate::PlanAmountForEnvelope(uint32_t envelopeId, uint32_t periodCode) const {
  return ConvertPeriodAmount(items_->AmountForEnvelope(envelopeId), period_, periodCode);
}

std::vector<TXTemplatePart> TXTemplate::Parts() const {
  std::vector<TXTemplatePart> parts;
  for (size_t i = 1; i <= items_->Count(); ++i) {
    const TXTemplateItem& item = *items_->At(i);
    parts.push_back({item.EnvelopeId(), item.Amount(), item.Label()});
  }
  return parts;
}

void TXTemplate::ApplyTo(TXItem& item) const {
  TXTemplateFill::Fill(item, payableTo_, memo_, Parts());
}

TVorlaData* TXTemplate::Document() const {
  const auto* manager = dynamic_cast<const TXTemplateManager*>(Owner());
  return manager != nullptr ? manager->Document() : nullptr;
}

std::optional<std::string> TXTemplate::CheckName(std::string_view entered, TUserPort& user) const {
  std::vector<std::string> taken;
  if (Owner() != nullptr) {
    for (size_t i = 1; i <= Owner()->Count(); ++i) {
      const TManagedItem* other = Owner()->At(i);
      if (other != this)
        taken.push_back(other->Name());
    }
  }
  return CheckUniqueLabel(entered, taken, user);
}
