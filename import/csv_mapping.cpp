#include "import/csv_mapping.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/setting_list.h"
#include "import/csv_table.h"
#include "import/import_record.h"

namespace {

constexpr std::string_view kHeaderKey = "importer.CSVHeader";
constexpr std::string_view kDateKey = "importer.CSVDate";
constexpr std::string_view kAmountKey = "importer.CSVAmount";
constexpr std::string_view kDebitKey = "importer.CSVDebit";
constexpr std::string_view kCreditKey = "importer.CSVCredit";
constexpr std::string_view kPayeeKey = "importer.CSVPayee";
constexpr std::string_view kMemoKey = "importer.CSVMemo";
constexpr std::string_view kCheckKey = "importer.CSVCheck";
constexpr std::string_view kDateOrderKey = "importer.CSVDateOrder";
constexpr std::string_view kDecimalKey = "importer.CSVDecimal";
constexpr std::string_view kDebitPositiveKey = "importer.CSVDebitPositive";

constexpr std::array<TCsvDateOrder, 3> kOrders = {
    TCsvDateOrder::MonthDayYear, TCsvDateOrder::DayMonthYear, TCsvDateOrder::YearMonthDay};
constexpr std::array<std::string_view, 3> kOrderNames = {"mdy", "dmy", "ymd"};
constexpr std::array<char, 2> kMarks = {'.', ','};
// The guess looks at the rows at the start; a bank's columns keep their form all the way down.
constexpr size_t kSampleRows = 500;

// Columns are stored from 1, as users count them; 0 is none.
int ColumnFromSetting(const TSettingList& settings, std::string_view key, uint32_t account) {
  const int32_t number = settings.GetNumber(key, 0, account);
  return number >= 1 && number <= static_cast<int32_t>(TCsvTable::kMaxColumns) ? number - 1
                                                                               : TCsvMapping::kNone;
}

bool Inside(int column, size_t columns) {
  return column == TCsvMapping::kNone || (column >= 0 && static_cast<size_t>(column) < columns);
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool Names(const std::string& header, std::initializer_list<std::string_view> words) {
  return std::any_of(words.begin(), words.end(),
                     [&](std::string_view word) { return header.find(word) != std::string::npos; });
}

// "15 Mar 2011": one or two digits, then a month's name.
bool DayBeforeMonthName(std::string_view cell) {
  const size_t digits = cell.find_first_not_of("0123456789");
  return digits >= 1 && digits <= 2 && std::any_of(cell.begin(), cell.end(), [](char c) {
           return std::isalpha(static_cast<unsigned char>(c)) != 0;
         });
}

bool IsValue(std::string_view cell) {
  for (TCsvDateOrder order : kOrders) {
    if (ReadCsvDate(cell, order))
      return true;
  }
  return ReadCsvAmount(cell, '.') || ReadCsvAmount(cell, ',');
}

// What the sampled rows of one column hold.
struct TColumnFacts {
  size_t filled = 0;
  std::array<size_t, 3> dates{};    // by kOrders
  std::array<size_t, 2> amounts{};  // by kMarks
  size_t letters = 0;
  bool dayFirst = false;  // some date is written with dots, or a number before a month's name
  bool negative = false;  // some amount (read with the chosen mark) is below 0
  std::string header;     // lower case
};

class TGuess {
 public:
  explicit TGuess(const TCsvTable& table) : table_(table), facts_(table.Columns()) {}

  TCsvMapping Run() {
    mapping_.header = HasHeaderRow();
    first_ = FirstCsvDataRow(table_, mapping_);
    last_ = std::min(table_.Rows(), first_ + kSampleRows);
    Gather();
    ChooseDate();
    ChooseDecimalMark();
    ChooseAmount();
    ChooseTexts();
    return mapping_;
  }

 private:
  bool HasHeaderRow() const {
    if (table_.Rows() < 2)
      return false;
    bool named = false;
    for (size_t c = 0; c < table_.CellsIn(0); ++c) {
      const std::string_view cell = table_.Cell(0, c);
      if (!cell.empty() && IsValue(cell))
        return false;
      named = named || !cell.empty();
    }
    return named;
  }

  void Gather() {
    for (size_t c = 0; c < facts_.size(); ++c) {
      TColumnFacts& facts = facts_[c];
      if (mapping_.header)
        facts.header = Lower(table_.Cell(0, c));
      for (size_t row = first_; row < last_; ++row) {
        const std::string_view cell = table_.Cell(row, c);
        if (cell.empty())
          continue;
        ++facts.filled;
        for (size_t o = 0; o < kOrders.size(); ++o)
          facts.dates[o] += ReadCsvDate(cell, kOrders[o]) ? 1 : 0;
        for (size_t m = 0; m < kMarks.size(); ++m)
          facts.amounts[m] += ReadCsvAmount(cell, kMarks[m]) ? 1 : 0;
        facts.letters += static_cast<size_t>(std::count_if(cell.begin(), cell.end(), [](char ch) {
          return std::isalpha(static_cast<unsigned char>(ch));
        }));
        facts.dayFirst =
            facts.dayFirst || cell.find('.') != std::string_view::npos || DayBeforeMonthName(cell);
      }
    }
  }

  // Most sampled rows: a few rows that cannot be read must not hide a bank's date or amount.
  bool Most(size_t count) const { return count * 2 > last_ - first_; }

  bool Taken(int column) const {
    return column == mapping_.date || column == mapping_.amount || column == mapping_.debit ||
           column == mapping_.credit || column == mapping_.payee || column == mapping_.memo ||
           column == mapping_.check;
  }

  // The date column is the one whose dates read best (a column named for a date among those
  // that most rows read), in the order that reads most of its cells.
  void ChooseDate() {
    size_t best = 0;
    for (size_t c = 0; c < facts_.size(); ++c) {
      const TColumnFacts& facts = facts_[c];
      const size_t reads = *std::max_element(facts.dates.begin(), facts.dates.end());
      if (!Most(reads))
        continue;
      const bool named = facts.header.find("date") != std::string::npos;
      if ((named && !dateNamed_) || (named == dateNamed_ && reads > best)) {
        mapping_.date = static_cast<int>(c);
        dateNamed_ = named;
        best = reads;
      }
    }
    if (mapping_.date == TCsvMapping::kNone)
      return;
    const TColumnFacts& facts = facts_[static_cast<size_t>(mapping_.date)];
    const auto reads = [&](TCsvDateOrder order) { return facts.dates[static_cast<size_t>(order)]; };
    mapping_.dateOrder =
        *std::max_element(kOrders.begin(), kOrders.end(),
                          [&](TCsvDateOrder a, TCsvDateOrder b) { return reads(a) < reads(b); });
    const bool dayFirst = facts.dayFirst || table_.Separator() == ';';
    if (reads(TCsvDateOrder::MonthDayYear) == reads(TCsvDateOrder::DayMonthYear) &&
        reads(TCsvDateOrder::MonthDayYear) == best)
      mapping_.dateOrder = dayFirst ? TCsvDateOrder::DayMonthYear : TCsvDateOrder::MonthDayYear;
  }

  void ChooseDecimalMark() {
    std::array<size_t, 2> reads{};
    for (size_t c = 0; c < facts_.size(); ++c) {
      if (static_cast<int>(c) == mapping_.date)
        continue;
      reads[0] += facts_[c].amounts[0];
      reads[1] += facts_[c].amounts[1];
    }
    if (reads[0] == reads[1])
      mapping_.decimalMark = table_.Separator() == ';' ? ',' : '.';
    else
      mapping_.decimalMark = reads[1] > reads[0] ? ',' : '.';
    mark_ = mapping_.decimalMark == ',' ? 1 : 0;
  }

  // A column of amounts: most of its cells read as one, and its header names nothing else.
  bool AmountLike(size_t c) const {
    const TColumnFacts& facts = facts_[c];
    return static_cast<int>(c) != mapping_.date && facts.filled > 0 &&
           facts.amounts[mark_] * 2 > facts.filled &&
           !Names(facts.header, {"balance", "check", "cheque", "chq", "ref", "number", "no."});
  }

  // Debit and credit: together they give most rows an amount, and no row fills both.
  bool Pair(size_t a, size_t b) const {
    if (!Most(facts_[a].filled + facts_[b].filled))
      return false;
    for (size_t row = first_; row < last_; ++row) {
      if (!table_.Cell(row, a).empty() && !table_.Cell(row, b).empty())
        return false;
    }
    return true;
  }

  void ChooseAmount() {
    constexpr int kNone = TCsvMapping::kNone;
    int named = kNone, debit = kNone, credit = kNone, single = kNone;
    std::vector<size_t> candidates;
    for (size_t c = 0; c < facts_.size(); ++c) {
      if (!AmountLike(c))
        continue;
      candidates.push_back(c);
      const std::string& header = facts_[c].header;
      const int column = static_cast<int>(c);
      if (named == kNone && Names(header, {"amount", "betrag", "montant"}))
        named = column;
      if (debit == kNone &&
          Names(header, {"debit", "withdraw", "paid out", "money out", "outflow", "payment"}))
        debit = column;
      else if (credit == kNone &&
               Names(header, {"credit", "deposit", "paid in", "money in", "inflow"}))
        credit = column;
      if (single == kNone && Most(facts_[c].amounts[mark_]))
        single = column;
    }
    if (named == kNone && (debit == kNone || credit == kNone)) {
      debit = credit = kNone;
      for (size_t i = 0; i < candidates.size() && debit == kNone; ++i) {
        for (size_t j = i + 1; j < candidates.size() && debit == kNone; ++j) {
          if (Pair(candidates[i], candidates[j])) {
            debit = static_cast<int>(candidates[i]);
            credit = static_cast<int>(candidates[j]);
          }
        }
      }
    }
    if (named != kNone || debit == kNone) {
      mapping_.amount = named != kNone ? named : single;
      return;
    }
    mapping_.debit = debit;
    mapping_.credit = credit;
    for (size_t row = first_; row < last_; ++row) {
      const std::optional<TAmount> value =
          ReadCsvAmount(table_.Cell(row, static_cast<size_t>(debit)), mapping_.decimalMark);
      if (value && value->Cents() < 0)
        mapping_.debitPositive = false;
    }
  }

  int NamedColumn(std::initializer_list<std::string_view> words) const {
    for (std::string_view word : words) {
      for (size_t c = 0; c < facts_.size(); ++c) {
        if (!Taken(static_cast<int>(c)) && Names(facts_[c].header, {word}))
          return static_cast<int>(c);
      }
    }
    return TCsvMapping::kNone;
  }

  void ChooseTexts() {
    mapping_.check = NamedColumn({"check", "cheque", "chq"});
    mapping_.payee = NamedColumn(
        {"payee", "description", "name", "merchant", "beneficiary", "counterparty", "narrative"});
    mapping_.memo = NamedColumn({"memo", "note", "reference", "remark", "purpose", "detail"});
    if (mapping_.payee != TCsvMapping::kNone)
      return;
    size_t most = 0;
    for (size_t c = 0; c < facts_.size(); ++c) {
      if (!Taken(static_cast<int>(c)) && facts_[c].letters > most) {
        most = facts_[c].letters;
        mapping_.payee = static_cast<int>(c);
      }
    }
  }

  const TCsvTable& table_;
  std::vector<TColumnFacts> facts_;
  TCsvMapping mapping_;
  size_t first_ = 0;
  size_t last_ = 0;
  size_t mark_ = 0;
  bool dateNamed_ = false;
};

std::string_view CellOf(const TCsvTable& table, size_t row, int column) {
  return column == TCsvMapping::kNone ? std::string_view()
                                      : table.Cell(row, static_cast<size_t>(column));
}

std::optional<TAmount> ReadAmount(const TCsvTable& table, size_t row, const TCsvMapping& mapping) {
  if (mapping.amount != TCsvMapping::kNone)
    return ReadCsvAmount(CellOf(table, row, mapping.amount), mapping.decimalMark);
  const std::string_view debitCell = CellOf(table, row, mapping.debit);
  const std::string_view creditCell = CellOf(table, row, mapping.credit);
  if (debitCell.empty() && creditCell.empty())
    return std::nullopt;
  TAmount amount;
  if (!creditCell.empty()) {
    const std::optional<TAmount> credit = ReadCsvAmount(creditCell, mapping.decimalMark);
    if (!credit)
      return std::nullopt;
    amount += *credit;
  }
  if (!debitCell.empty()) {
    const std::optional<TAmount> debit = ReadCsvAmount(debitCell, mapping.decimalMark);
    if (!debit)
      return std::nullopt;
    amount += mapping.debitPositive ? -*debit : *debit;
  }
  return amount;
}

}  // namespace

bool TCsvMapping::Usable(size_t columns) const {
  const bool amounts = amount != kNone || (debit != kNone && credit != kNone);
  return date != kNone && amounts && Inside(date, columns) && Inside(amount, columns) &&
         Inside(debit, columns) && Inside(credit, columns) && Inside(payee, columns) &&
         Inside(memo, columns) && Inside(check, columns);
}

std::optional<TCsvMapping> TCsvMapping::Load(const TSettingList& settings, uint32_t account) {
  if (!settings.Contains(kDateKey, account))
    return std::nullopt;
  TCsvMapping mapping;
  mapping.header = settings.GetNumber(kHeaderKey, 0, account) != 0;
  mapping.date = ColumnFromSetting(settings, kDateKey, account);
  mapping.amount = ColumnFromSetting(settings, kAmountKey, account);
  mapping.debit = ColumnFromSetting(settings, kDebitKey, account);
  mapping.credit = ColumnFromSetting(settings, kCreditKey, account);
  mapping.payee = ColumnFromSetting(settings, kPayeeKey, account);
  mapping.memo = ColumnFromSetting(settings, kMemoKey, account);
  mapping.check = ColumnFromSetting(settings, kCheckKey, account);
  const std::string order = settings.GetText(kDateOrderKey, "mdy", account);
  for (size_t o = 0; o < kOrders.size(); ++o) {
    if (order == kOrderNames[o])
      mapping.dateOrder = kOrders[o];
  }
  mapping.decimalMark = settings.GetText(kDecimalKey, ".", account) == "," ? ',' : '.';
  mapping.debitPositive = settings.GetNumber(kDebitPositiveKey, 1, account) != 0;
  return mapping;
}

void TCsvMapping::Store(TSettingList& settings, uint32_t account) const {
  settings.SetNumber(kHeaderKey, header ? 1 : 0, account);
  settings.SetNumber(kDateKey, date + 1, account);
  settings.SetNumber(kAmountKey, amount + 1, account);
  settings.SetNumber(kDebitKey, debit + 1, account);
  settings.SetNumber(kCreditKey, credit + 1, account);
  settings.SetNumber(kPayeeKey, payee + 1, account);
  settings.SetNumber(kMemoKey, memo + 1, account);
  settings.SetNumber(kCheckKey, check + 1, account);
  settings.SetText(kDateOrderKey, kOrderNames[static_cast<size_t>(dateOrder)], account);
  settings.SetText(kDecimalKey, std::string(1, decimalMark), account);
  settings.SetNumber(kDebitPositiveKey, debitPositive ? 1 : 0, account);
}

size_t FirstCsvDataRow(const TCsvTable& table, const TCsvMapping& mapping) {
  return mapping.header && table.Rows() > 0 ? 1 : 0;
}

TCsvRow ReadCsvRow(const TCsvTable& table, size_t row, const TCsvMapping& mapping) {
  TCsvRow read;
  if (mapping.date != TCsvMapping::kNone)
    read.date = ReadCsvDate(CellOf(table, row, mapping.date), mapping.dateOrder);
  if (mapping.amount != TCsvMapping::kNone ||
      (mapping.debit != TCsvMapping::kNone && mapping.credit != TCsvMapping::kNone))
    read.amount = ReadAmount(table, row, mapping);
  read.check = CellOf(table, row, mapping.check);
  read.memo = CellOf(table, row, mapping.memo);
  read.payee = CellOf(table, row, mapping.payee);
  return read;
}

TCsvMapping GuessCsvMapping(const TCsvTable& table) {
  return TGuess(table).Run();
}

TCsvReadCount ReadCsvRecords(const TCsvTable& table, const TCsvMapping& mapping,
                             TImportBatch& batch) {
  const size_t first = FirstCsvDataRow(table, mapping);
  size_t textBytes = 0;
  for (size_t row = first; row < table.Rows(); ++row) {
    textBytes += CellOf(table, row, mapping.check).size() +
                 CellOf(table, row, mapping.memo).size() + CellOf(table, row, mapping.payee).size();
  }
  batch.Reserve(table.Rows() - first, textBytes);
  TCsvReadCount count;
  for (size_t row = first; row < table.Rows(); ++row) {
    const TCsvRow read = ReadCsvRow(table, row, mapping);
    if (!read.date || !read.amount) {
      ++count.leftOut;
      continue;
    }
    batch.Add(*read.date, *read.amount, read.check, read.memo, read.payee);
    ++count.read;
  }
  return count;
}

std::string LeftOutRowsMessage(size_t leftOut) {
  if (leftOut == 0)
    return {};
  if (leftOut == 1)
    return "1 row could not be read (its date or amount) and was left out.";
  return std::to_string(leftOut) +
         " rows could not be read (their date or amount) and were left out.";
}
