#include "transactions/xordering.h"

#include <cstring>

#include "core/envelope_list.h"
#include "core/envelope_node.h"

namespace {

// Windows-1252 folds like Latin-1 above 0xC0 (but for the multiplication sign), plus the three
// letter pairs the code page keeps in 0x8A..0x9F.
unsigned char FoldCase(unsigned char c) {
  if (c >= 'A' && c <= 'Z')
    return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
    return static_cast<unsigned char>(c + 0x20);
  if (c == 0x8A || c == 0x8C || c == 0x8E)
    return static_cast<unsigned char>(c + 0x10);
  if (c == 0x9F)
    return 0xFF;
  return c;
}

bool EqualsFolded(std::string_view text, std::string_view lowerWord) {
  if (text.size() != lowerWord.size())
    return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (FoldCase(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(lowerWord[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

TXOrdering::Key::Key(const TXRecord& record)
    : start(EqualsFolded(record.GetCode(), "start")),
      hold(EqualsFolded(record.GetCode(), "hold")),
      date(record.date.Packed()),
      amount(record.amount),
      envelopeId(record.EnvelopeId),
      codeLength(record.GetCode().size()) {
  std::memcpy(code, record.GetCode().data(), codeLength);
}

int TXOrdering::CompareCodes(std::string_view a, std::string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const unsigned char x = FoldCase(static_cast<unsigned char>(a[i]));
    const unsigned char y = FoldCase(static_cast<unsigned char>(b[i]));
    if (x != y)
      return x < y ? -1 : 1;
  }
  if (a.size() == b.size())
    return 0;
  return a.size() < b.size() ? -1 : 1;
}

uint32_t TXOrdering::EnvelopePosition(uint32_t envelopeId) const {
  if (!positionsRead_) {
    positionsRead_ = true;
    if (envelopes_ != nullptr) {
      uint32_t position = 0;
      for (TTreeItem* node = envelopes_->RootItem(); node != nullptr;
           node = node->NextInDisplayOrder(true)) {
        if (auto* env = dynamic_cast<TEnv*>(node))
          positions_.emplace(env->Id(), ++position);
      }
    }
  }
  auto found = positions_.find(envelopeId);
  return found == positions_.end() ? 0 : found->second;
}

bool TXOrdering::Before(const Key& a, uint32_t aPosition, const TXRecord& b,
                        uint32_t bPosition) const {
  const std::string_view bCode = b.GetCode();
  const bool bStart = EqualsFolded(bCode, "start");
  if (a.start != bStart)
    return a.start;
  const bool bHold = EqualsFolded(bCode, "hold");
  if (a.hold != bHold)
    return bHold;

  const uint32_t bDate = b.date.Packed();
  if (a.date != bDate)
    return a.date < bDate;

  if (a.amount > 0 && b.amount < 0)
    return true;
  if (a.amount < 0 && b.amount > 0)
    return false;

  if (int order = CompareCodes(a.Code(), bCode); order != 0)
    return order < 0;

  if (a.envelopeId != b.EnvelopeId) {
    const uint32_t aEnvelope = EnvelopePosition(a.envelopeId);
    const uint32_t bEnvelope = EnvelopePosition(b.EnvelopeId);
    if (aEnvelope != bEnvelope)
      return aEnvelope < bEnvelope;
  }
  return aPosition < bPosition;
}
