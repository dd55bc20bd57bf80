#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/amount.h"
#include "core/date_value.h"

class TImportBatch;

/// One transaction read from a bank statement; it lives for one import only. Its texts live in
/// the batch that holds it (TImportBatch::CheckNumber, Memo, Name): a statement of millions of
/// lines would otherwise spend more on three strings a record than on the statement itself.
class TImportRecord {
 public:
  /// The bank's posting date; the empty date when missing or unreadable.
  TDateValue Date;
  /// The transaction this record was paired with; 0 when none.
  uint32_t MatchedId = 0;
  /// Negative is money out of the account.
  TAmount Amount;

 private:
  friend class TImportBatch;
  // Check number, memo and name, one after the other in the batch's text.
  uint32_t textAt_ = 0;
  uint32_t checkLength_ = 0;
  uint32_t memoLength_ = 0;
  uint32_t nameLength_ = 0;
};

/// The cents a statement amount becomes in a transaction. A transaction holds 32 bits, and an
/// amount typed into a ledger that reaches 20,000,000.00 in size counts as 0; a statement line is
/// taken by the same rule rather than wrapped into some unrelated amount.
int32_t ImportCents(TAmount amount);

/// The working set of one import: the statement's path and its records in file order, their
/// texts kept together in one buffer. The records may be reordered (Swap) without moving any
/// text. A batch holds at most 2^32 - 1 records and 4 GiB of text; a statement file is far
/// smaller (kMaxStatementBytes), and Add throws std::length_error past either bound.
class TImportBatch {
 public:
  std::string Path;

  size_t Size() const { return records_.size(); }
  bool Empty() const { return records_.empty(); }
  TImportRecord& operator[](size_t i) { return records_[i]; }
  const TImportRecord& operator[](size_t i) const { return records_[i]; }
  std::span<TImportRecord> Records() { return records_; }
  std::span<const TImportRecord> Records() const { return records_; }

  /// A record's texts, as read (each may be empty); valid until the next Add.
  std::string_view CheckNumber(const TImportRecord& record) const {
    return Text(record.textAt_, record.checkLength_);
  }
  std::string_view Memo(const TImportRecord& record) const {
    return Text(record.textAt_ + record.checkLength_, record.memoLength_);
  }
  /// The payee.
  std::string_view Name(const TImportRecord& record) const {
    return Text(record.textAt_ + record.checkLength_ + record.memoLength_, record.nameLength_);
  }

  /// Appends a record (not paired) with copies of its texts.
  void Add(TDateValue date, TAmount amount, std::string_view checkNumber = {},
           std::string_view memo = {}, std::string_view name = {});
  /// Room for `records` more records and `textBytes` more bytes of text, so that a statement of
  /// millions of lines is not copied while its records are appended. Room never written costs
  /// the system nothing.
  void Reserve(size_t records, size_t textBytes);
  void Swap(size_t a, size_t b) { std::swap(records_[a], records_[b]); }

  /// The earliest record date, never later than `today`; the empty date when a record has
  /// none. Compared as packed dates.
  TDateValue EarliestDate(TDateValue today) const;
  /// The latest record date, starting from the empty date.
  TDateValue LatestDate() const;

 private:
  std::string_view Text(size_t at, size_t length) const {
    return std::string_view(texts_).substr(at, length);
  }

  std::vector<TImportRecord> records_;
  std::string texts_;
};
