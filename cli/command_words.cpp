#include "cli/command_words.h"

std::optional<uint64_t> ParseWholeNumber(const std::string& text, uint64_t most) {
  // Nineteen digits cannot overflow 64 bits, whatever they are.
  if (text.empty() || text.size() > 19)
    return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > most)
    return std::nullopt;
  return value;
}

std::optional<TDateValue> ParseCommandDate(const std::string& text) {
  unsigned parts[3] = {0, 0, 0};
  size_t part = 0, digits = 0;
  for (char c : text) {
    if (c == '/' && part < 2 && digits > 0) {
      ++part;
      digits = 0;
    } else if (c >= '0' && c <= '9' && digits < (part == 2 ? 4u : 2u)) {
      parts[part] = parts[part] * 10 + static_cast<unsigned>(c - '0');
      ++digits;
    } else {
      return std::nullopt;
    }
  }
  if (part != 2 || digits != 4)
    return std::nullopt;
  const TDateValue date(parts[1], parts[0], parts[2]);
  if (!date.IsValid())
    return std::nullopt;
  return date;
}

std::optional<DateRangeKind> ParseRangeWord(const std::string& text) {
  struct TRangeWord {
    const char* word;
    DateRangeKind kind;
  };
  static constexpr TRangeWord kWords[] = {
      {"this-month", DateRangeKind::ThisMonth},     {"this-quarter", DateRangeKind::ThisQuarter},
      {"this-year", DateRangeKind::ThisYear},       {"last-month", DateRangeKind::LastMonth},
      {"last-quarter", DateRangeKind::LastQuarter}, {"last-year", DateRangeKind::LastYear},
  };
  for (const TRangeWord& range : kWords) {
    if (text == range.word)
      return range.kind;
  }
  return std::nullopt;
}
