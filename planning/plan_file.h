#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// A plan file: the columns and rows a new budget's allocation plan starts with, written as
/// simple marked-up elements ("<label>Rent</label>", "<amount>650</amount>", or the empty forms
/// "<label/>" and "<amount/>"). The first up to four labels name the plan's columns; after them
/// every label names a row and the amounts that follow it give that row's monthly amounts for
/// the four columns.
struct TPlanFileRow {
  std::string label;
  /// Currency units per month; an amount the file leaves out or cannot state is 0.
  std::array<double, 4> amounts{};
};

struct TPlanFile {
  std::vector<std::string> columns;
  std::vector<TPlanFileRow> rows;
};

/// The longest plan file that is read at all: real ones hold a few hundred short elements.
constexpr size_t kMaxPlanFileBytes = 1 << 20;
/// The longest column name (a template name) and row name (an envelope name) kept from a file.
constexpr size_t kMaxPlanColumnName = 127;
constexpr size_t kMaxPlanRowName = 31;

/// Looks for the next element `tag` at or after `position` and before `limit`: whichever comes
/// first of an opening mark with its closing mark and the empty form. On success `position`
/// moves just past the element and its value is returned (empty for the empty form); an opening
/// mark without a closing mark counts as no element, and then `position` stays.
std::optional<std::string_view> FindPlanElement(std::string_view text, size_t& position,
                                                std::string_view tag,
                                                size_t limit = std::string_view::npos);

/// The amount an element's value states, in currency units: a decimal number after optional
/// blanks and sign, read as far as it goes; 0 for text that is no number and for numbers too
/// large to be money.
double PlanFileAmount(std::string_view value);

/// The columns and at most `maxRows` rows the bytes of a plan file name. Names are cut to their
/// limits, control characters become blanks and blanks at either end are dropped. Any bytes give
/// a result; nothing outside `bytes` is read.
TPlanFile ParsePlanFile(std::string_view bytes, size_t maxRows);
