#include "cli/csv_switches.h"

#include <utility>

#include "cli/command_words.h"
#include "core/cp1252.h"
#include "import/csv_table.h"

namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCp1252(a[i]) != FoldCp1252(b[i]))
      return false;
  }
  return true;
}

// The column a switch names: a number from 1, else a name in the header row (which the
// mapping then has). False with the reason when there is no such column.
bool ResolveColumn(const std::string& given, const TCsvTable& table, TCsvMapping& mapping,
                   int& column, std::string& error) {
  if (given.empty())
    return true;
  if (const std::optional<uint64_t> number = ParseWholeNumber(given, TCsvTable::kMaxColumns)) {
    if (*number >= 1 && *number <= table.Columns()) {
      column = static_cast<int>(*number - 1);
      return true;
    }
    error = "the statement has " + std::to_string(table.Columns()) +
            " columns; there is no column " + given;
    return false;
  }
  const std::optional<std::string> name = Utf8ToCp1252(given);
  for (size_t c = 0; name && table.Rows() > 0 && c < table.CellsIn(0); ++c) {
    if (SameName(table.Cell(0, c), *name)) {
      column = static_cast<int>(c);
      mapping.header = true;
      return true;
    }
  }
  error = "the statement has no column named \"" + given + "\"";
  return false;
}

}  // namespace

bool TCsvSwitches::Take(const std::string& word, const std::string* value, size_t& i) {
  if (word == "--csv-header" || word == "--csv-no-header") {
    header_ = word == "--csv-header";
    return true;
  }
  if (value == nullptr || value->empty())
    return false;
  std::pair<const char*, std::string*> columns[] = {
      {"--csv-date", &date_},     {"--csv-amount", &amount_}, {"--csv-debit", &debit_},
      {"--csv-credit", &credit_}, {"--csv-payee", &payee_},   {"--csv-memo", &memo_},
      {"--csv-check", &check_}};
  for (auto& [name, column] : columns) {
    if (word == name) {
      *column = *value;
      ++i;
      return true;
    }
  }
  if (word == "--csv-date-order") {
    constexpr std::pair<const char*, TCsvDateOrder> kOrders[] = {
        {"mdy", TCsvDateOrder::MonthDayYear},
        {"dmy", TCsvDateOrder::DayMonthYear},
        {"ymd", TCsvDateOrder::YearMonthDay}};
    for (const auto& [name, order] : kOrders) {
      if (*value == name) {
        dateOrder_ = order;
        ++i;
        return true;
      }
    }
    return false;
  }
  if (word == "--csv-decimal" && (*value == "." || *value == ",")) {
    decimalMark_ = (*value)[0];
    ++i;
    return true;
  }
  return false;
}

std::optional<TCsvMapping> TCsvSwitches::Apply(TCsvMapping base, const TCsvTable& table,
                                               std::string& error) const {
  TCsvMapping& m = base;
  if (!amount_.empty())
    m.debit = m.credit = TCsvMapping::kNone;
  if (!debit_.empty() || !credit_.empty())
    m.amount = TCsvMapping::kNone;
  const std::pair<const std::string*, int*> columns[] = {
      {&date_, &m.date},   {&amount_, &m.amount}, {&debit_, &m.debit}, {&credit_, &m.credit},
      {&payee_, &m.payee}, {&memo_, &m.memo},     {&check_, &m.check}};
  for (const auto& [given, column] : columns) {
    if (!ResolveColumn(*given, table, m, *column, error))
      return std::nullopt;
  }
  if (header_)
    m.header = *header_;
  if (dateOrder_)
    m.dateOrder = *dateOrder_;
  if (decimalMark_)
    m.decimalMark = *decimalMark_;
  if (!m.Usable(table.Columns())) {
    error =
        "the statement's columns are not known: give --csv-date and --csv-amount (or "
        "--csv-debit and --csv-credit)";
    return std::nullopt;
  }
  return base;
}
