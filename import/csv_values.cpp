#include "import/csv_values.h"

#include <array>
#include <cctype>
#include <string>

#include "core/amount_expression.h"
#include "import/statement_text.h"

namespace {

// Longer cells are no date or amount; the bound keeps every reading short.
constexpr size_t kMaxValueText = 64;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// The month a name stands for: at least its first three letters ("Mar", "March", "Sept").
unsigned MonthFromName(std::string_view name) {
  static constexpr std::array<std::string_view, 12> kMonths = {
      "january", "february", "march",     "april",   "may",      "june",
      "july",    "august",   "september", "october", "november", "december"};
  if (name.size() < 3)
    return 0;
  std::string lower(name);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (size_t m = 0; m < kMonths.size(); ++m) {
    if (kMonths[m].starts_with(lower))
      return static_cast<unsigned>(m + 1);
  }
  return 0;
}

// The date's parts: runs of digits or of letters, at most three, after which only a time may
// follow.
bool DateParts(std::string_view text, std::array<std::string_view, 3>& parts, size_t& count) {
  count = 0;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (!IsDigit(c) && !IsLetter(c)) {
      ++i;
      continue;
    }
    if (count == 3) {
      // "2011-03-15 10:30" or "2011-03-15T10:30:00"
      if (c == 'T')
        return i + 1 < text.size() && IsDigit(text[i + 1]);
      return text[i - 1] == ' ' && IsDigit(c);
    }
    size_t end = i;
    while (end < text.size() && (IsDigit(c) ? IsDigit(text[end]) : IsLetter(text[end])))
      ++end;
    parts[count++] = text.substr(i, end - i);
    i = end;
  }
  return true;
}

bool AllDigits(std::string_view text, size_t minimum, size_t maximum) {
  if (text.size() < minimum || text.size() > maximum)
    return false;
  for (char c : text) {
    if (!IsDigit(c))
      return false;
  }
  return true;
}

// Currency signs in the budget's text: $, €, £, ¥.
bool IsCurrencySign(char c) {
  return c == '$' || c == '\x80' || c == '\xA3' || c == '\xA5';
}

bool IsSpace(char c) {
  return c == ' ' || c == '\xA0';
}

// `text` without currency signs, codes and spaces at its front (`front`) or back.
void StripCurrency(std::string_view& text, bool front) {
  while (!text.empty()) {
    const char c = front ? text.front() : text.back();
    if (IsSpace(c) || IsCurrencySign(c)) {
      front ? text.remove_prefix(1) : text.remove_suffix(1);
      continue;
    }
    const std::string_view code = text.size() < 3 ? std::string_view()
                                  : front         ? text.substr(0, 3)
                                                  : text.substr(text.size() - 3);
    if (code.size() == 3 && std::isupper(static_cast<unsigned char>(code[0])) &&
        std::isupper(static_cast<unsigned char>(code[1])) &&
        std::isupper(static_cast<unsigned char>(code[2]))) {
      front ? text.remove_prefix(3) : text.remove_suffix(3);
      continue;
    }
    return;
  }
}

}  // namespace

std::optional<TDateValue> ReadCsvDate(std::string_view cell, TCsvDateOrder order) {
  cell = TrimStatementBlanks(cell);
  if (cell.empty() || cell.size() > kMaxValueText)
    return std::nullopt;
  std::array<std::string_view, 3> parts;
  size_t count = 0;
  if (!DateParts(cell, parts, count))
    return std::nullopt;
  if (count == 1 && order == TCsvDateOrder::YearMonthDay && AllDigits(parts[0], 8, 8)) {
    const std::string_view compact = parts[0];
    parts = {compact.substr(0, 4), compact.substr(4, 2), compact.substr(6, 2)};
    count = 3;
  }
  if (count != 3)
    return std::nullopt;

  std::string_view day, month, year;
  unsigned namedMonth = 0;
  for (size_t i = 0; i < 3; ++i) {
    if (IsLetter(parts[i][0])) {
      if (namedMonth != 0 || (namedMonth = MonthFromName(parts[i])) == 0)
        return std::nullopt;
      month = parts[i];
    }
  }
  if (namedMonth != 0) {
    // The two numbers keep the order's places of day and year; a four-digit first one is the
    // year whatever the order says.
    std::array<std::string_view, 2> numbers;
    size_t n = 0;
    for (const std::string_view part : parts) {
      if (part != month)
        numbers[n++] = part;
    }
    const bool yearFirst = order == TCsvDateOrder::YearMonthDay || numbers[0].size() == 4;
    year = numbers[yearFirst ? 0 : 1];
    day = numbers[yearFirst ? 1 : 0];
  } else if (order == TCsvDateOrder::MonthDayYear) {
    month = parts[0], day = parts[1], year = parts[2];
  } else if (order == TCsvDateOrder::DayMonthYear) {
    day = parts[0], month = parts[1], year = parts[2];
  } else {
    year = parts[0], month = parts[1], day = parts[2];
  }
  if (!AllDigits(day, 1, 2) || (namedMonth == 0 && !AllDigits(month, 1, 2)) ||
      !(AllDigits(year, 2, 2) || AllDigits(year, 4, 4))) {
    return std::nullopt;
  }
  // The budget's one date reading decides the calendar and the century of two-digit years. A
  // four-digit year before 1900 takes the default year 0, which no valid date has.
  const std::string text = (namedMonth != 0 ? std::to_string(namedMonth) : std::string(month)) +
                           "/" + std::string(day) + "/" + std::string(year);
  const TDateValue date = TDateValue::Parse(text, 0, 0);
  if (!date.IsValid())
    return std::nullopt;
  return date;
}

std::optional<TAmount> ReadCsvAmount(std::string_view cell, char decimalMark) {
  cell = TrimStatementBlanks(cell);
  if (cell.empty() || cell.size() > kMaxValueText)
    return std::nullopt;
  bool negative = false;
  if (cell.front() == '(' && cell.back() == ')') {
    negative = true;
    cell = cell.substr(1, cell.size() - 2);
  }
  StripCurrency(cell, true);
  if (!cell.empty() && (cell.front() == '-' || cell.front() == '+')) {
    if (negative)
      return std::nullopt;
    negative = cell.front() == '-';
    cell.remove_prefix(1);
    StripCurrency(cell, true);
  } else {
    StripCurrency(cell, false);
    if (!cell.empty() && (cell.back() == '-' || cell.back() == '+')) {
      if (negative)
        return std::nullopt;
      negative = cell.back() == '-';
      cell.remove_suffix(1);
    }
  }
  StripCurrency(cell, false);

  // Whole digits in groups (after the first mark every group has three), then the decimals.
  const char otherMark = decimalMark == ',' ? '.' : ',';
  std::string whole;
  size_t i = 0;
  size_t group = 0;
  bool grouped = false;
  for (; i < cell.size() && cell[i] != decimalMark; ++i) {
    const char c = cell[i];
    if (IsDigit(c)) {
      whole += c;
      ++group;
      continue;
    }
    const bool mark = c == otherMark || c == '\'' || IsSpace(c);
    if (!mark || group == 0 || (grouped && group != 3) || (!grouped && group > 3))
      return std::nullopt;
    grouped = true;
    group = 0;
  }
  if (grouped && group != 3)
    return std::nullopt;
  std::string decimals;
  if (i < cell.size()) {
    decimals = cell.substr(i + 1);
    if (!AllDigits(decimals, 1, 2))
      return std::nullopt;
  }
  if (whole.empty() && decimals.empty())
    return std::nullopt;
  const size_t first = whole.find_first_not_of('0');
  whole = first == std::string::npos ? "0" : whole.substr(first);
  // 20,000,000.00 and beyond would become 0 in a transaction: unreadable instead.
  if (whole.size() > 8 || (whole.size() == 8 && whole >= "20000000"))
    return std::nullopt;
  const TAmount amount = AmountFromText(whole + "." + (decimals.empty() ? "0" : decimals));
  return negative ? -amount : amount;
}
