// Feeds arbitrary bytes to the plan file reader. Whatever the bytes, it must name at most four
// columns and no more rows than asked for, keep names within their limits and without control
// characters or blanks at either end, give finite amounts of a size money can have, and hand
// back element values that lie inside the bytes it was given.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "planning/plan_file.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

void CheckName(const std::string& name, size_t limit) {
  Require(name.size() <= limit);
  if (name.empty())
    return;
  Require(name.front() != ' ' && name.back() != ' ');
  for (char c : name)
    Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  // The first byte says how many rows the plan holds, the rest is the file.
  const size_t maxRows = data[0];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const TPlanFile plan = ParsePlanFile(bytes, maxRows);
  Require(plan.columns.size() <= 4);
  Require(plan.rows.size() <= maxRows);
  for (const std::string& column : plan.columns)
    CheckName(column, kMaxPlanColumnName);
  for (const TPlanFileRow& row : plan.rows) {
    CheckName(row.label, kMaxPlanRowName);
    for (double amount : row.amounts)
      Require(std::isfinite(amount) && std::fabs(amount) < 1e14);
  }

  for (std::string_view tag : {"label", "amount"}) {
    size_t position = 0;
    while (auto value = FindPlanElement(bytes, position, tag)) {
      Require(value->data() >= bytes.data() &&
              value->data() + value->size() <= bytes.data() + bytes.size());
      Require(position <= bytes.size());
    }
  }
  return 0;
}
