#include "planning/plan_file.h"

#include <charconv>
#include <cmath>

#include "core/cp1252.h"

namespace {

// Amounts this size or larger are no money any budget holds.
constexpr double kAmountLimit = 1e14;

std::string Mark(std::string_view before, std::string_view tag, std::string_view after) {
  std::string mark(before);
  mark.append(tag);
  mark.append(after);
  return mark;
}

std::string CleanName(std::string_view value, size_t limit) {
  std::string name(value);
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      c = ' ';
  }
  const size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos)
    return {};
  name = name.substr(first, name.find_last_not_of(' ') - first + 1);
  if (name.size() > limit)
    name.resize(limit);
  // Cutting may leave blanks at the end again.
  while (!name.empty() && name.back() == ' ')
    name.pop_back();
  return name;
}

// Where the next label element of either form starts, or the end of the text.
size_t NextLabel(std::string_view text, size_t position) {
  const size_t open = text.find("<label>", position);
  const size_t empty = text.find("<label/>", position);
  const size_t next = std::min(open, empty);
  return next == std::string_view::npos ? text.size() : next;
}

}  // namespace

std::optional<std::string_view> FindPlanElement(std::string_view text, size_t& position,
                                                std::string_view tag, size_t limit) {
  if (limit < text.size())
    text = text.substr(0, limit);
  if (position > text.size())
    return std::nullopt;
  const std::string open = Mark("<", tag, ">");
  const std::string empty = Mark("<", tag, "/>");
  const std::string close = Mark("</", tag, ">");
  const size_t opening = text.find(open, position);
  const size_t emptyForm = text.find(empty, position);
  // The element that comes first wins: an empty form before a full element is an element of
  // its own, not something to pass over.
  if (emptyForm != std::string_view::npos &&
      (opening == std::string_view::npos || emptyForm < opening)) {
    position = emptyForm + empty.size();
    return text.substr(position, 0);
  }
  if (opening == std::string_view::npos)
    return std::nullopt;
  const size_t start = opening + open.size();
  const size_t closing = text.find(close, start);
  if (closing == std::string_view::npos)
    return std::nullopt;
  position = closing + close.size();
  return text.substr(start, closing - start);
}

double PlanFileAmount(std::string_view value) {
  size_t first = 0;
  while (first < value.size() && (value[first] == ' ' || value[first] == '\t' ||
                                  value[first] == '\r' || value[first] == '\n')) {
    ++first;
  }
  value.remove_prefix(first);
  if (!value.empty() && value.front() == '+')
    value.remove_prefix(1);
  double units = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), units);
  (void)end;
  if (error != std::errc() || !std::isfinite(units) || std::fabs(units) >= kAmountLimit)
    return 0;
  return units;
}

TPlanFile ParsePlanFile(std::string_view bytes, size_t maxRows) {
  TPlanFile plan;
  size_t position = 0;
  for (int column = 0; column < 4; ++column) {
    std::optional<std::string_view> label = FindPlanElement(bytes, position, "label");
    if (!label)
      break;
    plan.columns.push_back(CleanName(*label, kMaxPlanColumnName));
  }
  while (plan.rows.size() < maxRows) {
    std::optional<std::string_view> label = FindPlanElement(bytes, position, "label");
    if (!label)
      break;
    TPlanFileRow row;
    row.label = CleanName(*label, kMaxPlanRowName);
    // A row's amounts stop at the next row: a row that states fewer than four never takes the
    // next row's amounts as its own.
    const size_t limit = NextLabel(bytes, position);
    for (double& amount : row.amounts) {
      std::optional<std::string_view> value = FindPlanElement(bytes, position, "amount", limit);
      if (!value)
        break;
      amount = PlanFileAmount(*value);
    }
    plan.rows.push_back(std::move(row));
  }
  return plan;
}
