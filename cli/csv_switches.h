#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "import/csv_mapping.h"

class TCsvTable;

/// The `--csv-*` switches of `quenbrook-cli import`: the columns of a CSV statement by 1-based
/// number or header name, and how its dates, amounts and first row are read. What they leave
/// open comes from the account's stored mapping or the guess.
class TCsvSwitches {
 public:
  /// Takes `word` (and the `value` after it, stepping `i` past it) when it is a CSV switch;
  /// false for any other word or a switch without its value.
  bool Take(const std::string& word, const std::string* value, size_t& i);

  /// `base` with the switches applied to `table`; nothing, with a one-line reason in `error`,
  /// when a column is not in the table or the result has no date or amount.
  std::optional<TCsvMapping> Apply(TCsvMapping base, const TCsvTable& table,
                                   std::string& error) const;

 private:
  // Column switches as given, empty when not given.
  std::string date_, amount_, debit_, credit_, payee_, memo_, check_;
  std::optional<TCsvDateOrder> dateOrder_;
  std::optional<char> decimalMark_;
  std::optional<bool> header_;
};
