#include "import/import_record.h"

#include <stdexcept>

// Date, matched id, amount and where the texts are: a third of the three strings it once held.
static_assert(sizeof(TImportRecord) == 32);

int32_t ImportCents(TAmount amount) {
  constexpr int64_t kLimit = 2000000000;
  const int64_t cents = amount.Cents();
  return cents > -kLimit && cents < kLimit ? static_cast<int32_t>(cents) : 0;
}

void TImportBatch::Add(TDateValue date, TAmount amount, std::string_view checkNumber,
                       std::string_view memo, std::string_view name) {
  const size_t length = checkNumber.size() + memo.size() + name.size();
  if (records_.size() >= UINT32_MAX || texts_.size() + length > UINT32_MAX)
    throw std::length_error("an import batch holds at most 4 GiB of text in 2^32 records");
  TImportRecord record;
  record.Date = date;
  record.Amount = amount;
  record.textAt_ = static_cast<uint32_t>(texts_.size());
  record.checkLength_ = static_cast<uint32_t>(checkNumber.size());
  record.memoLength_ = static_cast<uint32_t>(memo.size());
  record.nameLength_ = static_cast<uint32_t>(name.size());
  texts_.append(checkNumber).append(memo).append(name);
  records_.push_back(record);
}

void TImportBatch::Reserve(size_t records, size_t textBytes) {
  records_.reserve(records_.size() + records);
  texts_.reserve(texts_.size() + textBytes);
}

TDateValue TImportBatch::EarliestDate(TDateValue today) const {
  TDateValue earliest = today;
  for (const TImportRecord& record : records_) {
    if (record.Date.Packed() < earliest.Packed())
      earliest = record.Date;
  }
  return earliest;
}

TDateValue TImportBatch::LatestDate() const {
  TDateValue latest;
  for (const TImportRecord& record : records_) {
    if (record.Date.Packed() > latest.Packed())
      latest = record.Date;
  }
  return latest;
}
