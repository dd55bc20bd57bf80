#include "planning/template_list.h"

#include <algorithm>
#include <unordered_map>

#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/pstream.h"
#include "core/vorla_data.h"
#include "planning/xtemplate.h"

namespace {

// envelope, amount and the length word of the label
constexpr uint64_t kMinStoredItem = 12;

}  // namespace

TXTemplateList::~TXTemplateList() = default;

void TXTemplateList::CopyFrom(const TXTemplateList& other) {
  Clear();
  for (const auto& item : other.items_)
    Add(item->EnvelopeId(), item->Amount(), item->Label());
}

TXTemplateItem* TXTemplateList::At(size_t position) const {
  if (position == 0 || position > items_.size())
    return nullptr;
  return items_[position - 1].get();
}

TXTemplateItem& TXTemplateList::Add(uint32_t envelopeId, int32_t amount, std::string_view label) {
  auto item = std::make_unique<TXTemplateItem>(envelopeId, amount, label);
  item->owner_ = this;
  items_.push_back(std::move(item));
  return *items_.back();
}

void TXTemplateList::Clear() {
  NotifyReloading();
  items_.clear();
  pageInUse_ = false;
  pageStart_ = 0;
}

TAmount TXTemplateList::TotalAmount() const {
  TAmount total;
  for (const auto& item : items_) {
    if (item->EnvelopeId() != 0)
      total += TAmount(item->Amount());
  }
  return total;
}

TAmount TXTemplateList::AmountForEnvelope(uint32_t envelopeId) const {
  TAmount total;
  for (const auto& item : items_) {
    if (item->EnvelopeId() == envelopeId)
      total += TAmount(item->Amount());
  }
  return total;
}

void TXTemplateList::AddAllocation(uint32_t envelopeId, TAmount amount) {
  Add(envelopeId, amount.StoredCents(), kAllocationLabel);
}

void TXTemplateList::AddAllocation(uint32_t envelopeId, int32_t cents) {
  Add(envelopeId, cents, kAllocationLabel);
}

void TXTemplateList::ReplaceEnvelope(uint32_t oldId, uint32_t newId) {
  for (const auto& item : items_) {
    if (item->EnvelopeId() == oldId)
      item->SetEnvelopeId(newId);
  }
}

void TXTemplateList::Compact() {
  if (!pageInUse_)
    return;
  const size_t end = std::min(items_.size(), pageStart_ + kPageRows);
  for (size_t i = end; i > pageStart_; --i) {
    if (items_[i - 1]->IsEmpty())
      items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i - 1));
  }
  pageInUse_ = false;
  pageStart_ = 0;
  // The place of each envelope in the tree's walking order, every node counted.
  std::unordered_map<uint32_t, size_t> places;
  if (const TEnvelopeList* envelopes = Envelopes()) {
    size_t place = 0;
    for (const TTreeItem* node = &envelopes->Root(); node != nullptr;
         node = node->NextInDisplayOrder(true)) {
      ++place;
      if (const auto* env = dynamic_cast<const TEnv*>(node))
        places.emplace(env->Id(), place);
    }
  }
  auto placeOf = [&places](const std::unique_ptr<TXTemplateItem>& item) {
    auto found = places.find(item->EnvelopeId());
    return found != places.end() ? found->second : 0;
  };
  std::stable_sort(items_.begin(), items_.end(),
                   [&placeOf](const auto& a, const auto& b) { return placeOf(a) < placeOf(b); });
}

void TXTemplateList::Write(opstream& os) const {
  os.WriteWord32(kListVersion);
  os.WriteWord32(static_cast<uint32_t>(items_.size()));
  for (const auto& item : items_) {
    os.WriteWord32(item->EnvelopeId());
    os.WriteWord32(static_cast<uint32_t>(item->Amount()));
    os.WriteString(item->Label());
  }
}

void TXTemplateList::Read(ipstream& is) {
  Clear();
  const uint32_t version = is.ReadWord();
  const uint32_t count = is.ReadWord();
  if (!is.Good() || version != kListVersion)
    return;
  if (!is.CanHold(count, kMinStoredItem))
    return;
  for (uint32_t i = 0; i < count && is.Good(); ++i) {
    const uint32_t envelopeId = is.ReadWord();
    const auto amount = static_cast<int32_t>(is.ReadRaw32());
    std::string label;
    is.ReadString(label, TXTemplateItem::kLabelSize);
    if (!is.Good())
      return;
    Add(envelopeId, amount, label);
  }
}

const TEnvelopeList* TXTemplateList::Envelopes() const {
  TVorlaData* document = owner_ != nullptr ? owner_->Document() : nullptr;
  return document != nullptr ? &document->Envelopes() : nullptr;
}

TUserPort* TXTemplateList::User() const {
  TVorlaData* document = owner_ != nullptr ? owner_->Document() : nullptr;
  return document != nullptr ? &document->User() : nullptr;
}

uint32_t TXTemplateList::FirstEnvelopeId() const {
  const TEnvelopeList* envelopes = Envelopes();
  if (envelopes == nullptr)
    return 0;
  for (const TTreeItem* node = &envelopes->Root(); node != nullptr;
       node = node->NextInDisplayOrder(true)) {
    if (const auto* env = dynamic_cast<const TEnv*>(node))
      return env->Id();
  }
  return 0;
}

void TXTemplateList::ItemChanged() {
  NotifyRowsChanged();
  if (changed_)
    changed_();
}

// ----- The editor's page -----

std::unique_ptr<TXTemplateItem> TXTemplateList::NewEmptyItem() {
  auto item = std::make_unique<TXTemplateItem>(FirstEnvelopeId(), 0, std::string_view());
  item->owner_ = this;
  return item;
}

void TXTemplateList::FillPage(size_t first) {
  pageStart_ = first;
  pageInUse_ = true;
  while (items_.size() < pageStart_ + kPageRows)
    items_.push_back(NewEmptyItem());
}

size_t TXTemplateList::RealEnd() const {
  size_t end = items_.size();
  while (end > 0 && items_[end - 1]->IsEmpty())
    --end;
  return end;
}

void TXTemplateList::LoadFromTop() {
  Compact();
  FillPage(0);
}

void TXTemplateList::LoadAtEnd() {
  Compact();
  const size_t count = items_.size();
  FillPage(count > static_cast<size_t>(kLiveRowsAtEnd) ? count - kLiveRowsAtEnd : 0);
}

int TXTemplateList::GoToPosition(uint32_t position) {
  if (position == 1)
    return kAtFirst;
  Compact();
  if (position == 0 || position > items_.size()) {
    return kPastLast;
  }
  FillPage(position - 1);
  return kReloaded;
}

int TXTemplateList::LoadPrevious(int n) {
  if (!pageInUse_ || n <= 0)
    return 0;
  const size_t k = std::min({static_cast<size_t>(n), pageStart_, size_t{kPageRows}});
  if (k == 0)
    return 0;
  // Empty rows that leave the page at the bottom leave the list.
  const size_t end = pageStart_ + kPageRows;
  for (size_t i = end; i > end - k; --i) {
    if (i <= items_.size() && items_[i - 1]->IsEmpty())
      items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i - 1));
  }
  pageStart_ -= k;
  return static_cast<int>(k);
}

int TXTemplateList::LoadNext(int n) {
  if (!pageInUse_ || n <= 0)
    return 0;
  n = std::min(n, kPageRows);
  // Empty rows that leave the page at the top leave the list; the rows below move up.
  size_t kept = 0;
  for (size_t i = pageStart_ + static_cast<size_t>(n); i > pageStart_; --i) {
    if (items_[i - 1]->IsEmpty()) {
      items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i - 1));
    } else {
      ++kept;
    }
  }
  FillPage(pageStart_ + kept);
  return n;
}

int TXTemplateList::LiveCount() const {
  if (!pageInUse_)
    return 0;
  const size_t end = RealEnd();
  return end > pageStart_ ? static_cast<int>(std::min(end - pageStart_, size_t{kPageRows})) : 0;
}

TLedgerItem* TXTemplateList::Item(int row) {
  if (!pageInUse_ || row < 1 || row > kPageRows)
    return nullptr;
  const size_t index = pageStart_ + static_cast<size_t>(row - 1);
  return index < items_.size() ? items_[index].get() : nullptr;
}

uint32_t TXTemplateList::PositionOfRow(int row) {
  if (!pageInUse_ || row < 1 || row > LiveCount())
    return 0;
  return static_cast<uint32_t>(pageStart_ + static_cast<size_t>(row));
}

uint32_t TXTemplateList::PositionOfLast() {
  return static_cast<uint32_t>(RealEnd());
}

uint32_t TXTemplateList::PositionOfFirst() {
  return RealEnd() > 0 ? 1 : 0;
}

void TXTemplateList::DeleteRow(int row) {
  if (!pageInUse_ || row < 1 || row > kPageRows)
    return;
  const size_t index = pageStart_ + static_cast<size_t>(row - 1);
  if (index >= items_.size())
    return;
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  FillPage(pageStart_);
  ItemChanged();
}

std::string TXTemplateList::HeaderText(int column) const {
  return TXTemplateItem::Heading(column);
}
