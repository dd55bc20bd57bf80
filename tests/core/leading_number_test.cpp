#include "core/leading_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string_view>

namespace {

constexpr uint64_t kMost = std::numeric_limits<uint64_t>::max();
constexpr int64_t kLargestSigned = std::numeric_limits<int64_t>::max();

struct TLeadingCase {
  std::string_view text;
  TLeadingNumberRules rules;
  uint64_t magnitude;
  int64_t signedValue;
};

// Each rule set as a caller uses it: check numbers (no sign), filters (tabs too), count fields
// (a low ceiling) and the defaults.
TEST(LeadingNumberTest, ReadsEachCallersRules) {
  const TLeadingNumberRules checkNumber{.blanks = " ", .sign = false};
  const TLeadingNumberRules filter{.blanks = " \t"};
  const TLeadingNumberRules countField{.ceiling = uint64_t{1} << 40};
  const TLeadingCase cases[] = {
      {"1042", {}, 1042, 1042},
      {"  12abc", {}, 12, 12},
      {"DEBIT", {}, 0, 0},
      {"", {}, 0, 0},
      {"   ", {}, 0, 0},
      {"-5", {}, 5, -5},
      {"+7x", {}, 7, 7},
      {"- 5", {}, 0, 0},
      {"\t9", {}, 0, 0},
      {"\t9", filter, 9, 9},
      {" \t-3", filter, 3, -3},
      {"-5", checkNumber, 0, 0},
      {"9999999999999999999", checkNumber, 9999999999999999999u, kLargestSigned},
      {"99999999999999999999999", {}, kMost, kLargestSigned},
      {"-99999999999999999999999", {}, kMost, -kLargestSigned},
      {"2000000000000", countField, uint64_t{1} << 40, int64_t{1} << 40},
      {"-2000000000000", countField, uint64_t{1} << 40, -(int64_t{1} << 40)},
      {"1099511627776", countField, uint64_t{1} << 40, int64_t{1} << 40},
      {"1099511627775", countField, (uint64_t{1} << 40) - 1, (int64_t{1} << 40) - 1},
  };
  for (const TLeadingCase& c : cases) {
    SCOPED_TRACE(c.text);
    const TLeadingNumber number = ReadLeadingNumber(c.text, c.rules);
    EXPECT_EQ(number.magnitude, c.magnitude);
    EXPECT_EQ(number.Signed(), c.signedValue);
  }
}

}  // namespace
