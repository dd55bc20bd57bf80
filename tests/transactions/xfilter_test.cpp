// The fixed filters the manager's own walks use: transfer halves of an account, the parts of a
// multiple, and the narrowing to live records.
#include "transactions/xfilter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/transactions/record_builder.h"

namespace {

constexpr uint32_t kCheckingId = 3;
constexpr uint32_t kSavingsId = 4;
constexpr uint32_t kFood = 7;

struct TCase {
  std::string name;
  TXRecord record;
  bool accepted;
};

void ExpectCases(const TXFilter& filter, const std::vector<TCase>& cases) {
  for (const TCase& c : cases)
    EXPECT_EQ(filter.Accepts(c.record), c.accepted) << c.name;
}

TEST(AccountTransferFilterTest, TakesTheTransferHalvesOfOneAccount) {
  ExpectCases(TAccountTransferFilter(kCheckingId),
              {
                  {"half in the account", AccountTransferHalf(kCheckingId, -500), true},
                  {"blank half in the account", AccountTransferHalf(kCheckingId, 0).Blank(), true},
                  {"half in another account", AccountTransferHalf(kSavingsId, 500), false},
                  {"payment", Payment(kCheckingId, kFood, -500), false},
                  {"multiple", MultipleParent(kCheckingId, -500), false},
                  {"envelope transfer half", EnvelopeTransferHalf(kFood, 500), false},
              });
}

TEST(MultKidsFilterTest, TakesThePartsOfOneMultiple) {
  ExpectCases(
      TMultKidsFilter(40),
      {
          {"part", MultiplePart(kCheckingId, kFood, -500).Parent(40), true},
          {"part of another multiple", MultiplePart(kCheckingId, kFood, -500).Parent(41), false},
          {"the multiple itself", MultipleParent(kCheckingId, -500).Parent(40), false},
          {"payment naming the multiple", Payment(kCheckingId, kFood, -5).Parent(40), false},
      });
}

TEST(XBlankFilterTest, NarrowsAnotherFilterToLiveRecords) {
  const TAccountFilter account(kCheckingId);
  ExpectCases(TXBlankFilter(account),
              {
                  {"live payment", Payment(kCheckingId, kFood, -500), true},
                  {"empty row", Payment(kCheckingId, kFood, 0).Blank(), false},
                  {"live payment elsewhere", Payment(kSavingsId, kFood, -500), false},
              });
  ExpectCases(TXAnyFilter(), {{"empty row", Payment(kCheckingId, kFood, 0).Blank(), true}});
}

}  // namespace
