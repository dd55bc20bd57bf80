#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/transactions/record_builder.h"
#include "transactions/fixed_filters.h"
#include "transactions/xfilter.h"

namespace {

constexpr uint32_t kCheckingAccount = 3;
constexpr uint32_t kSavingsAccount = 4;
constexpr uint32_t kFood = 7;

struct TFilterCase {
  std::string name;
  TXRecord record;
  bool accepted;
};

void ExpectCases(const TXFilter& filter, const std::vector<TFilterCase>& cases) {
  for (const TFilterCase& c : cases) {
    EXPECT_EQ(filter.Accepts(c.record), c.accepted) << c.name;
  }
}

// ---- account and envelope ledgers ----------------------------------------

TEST(AccountFilterTest, ReconcileModeKeepsOpenRecordsAndThoseConfirmedToday) {
  const TDateValue today(15, 3, 2024);
  const TAccountFilter reconcile(kCheckingAccount, true, today);
  const TAccountFilter plain(kCheckingAccount, false, today);
  struct TCase {
    std::string name;
    TXRecord record;
    bool inReconcile;
    bool inPlain;
  };
  const std::vector<TCase> cases = {
      {"not cleared", Payment(kCheckingAccount, kFood, -4000), true, true},
      {"confirmed today",
       Payment(kCheckingAccount, kFood, -4000).AccountCleared(ConfirmedOn(15, 3, 2024)), true,
       true},
      {"confirmed yesterday",
       Payment(kCheckingAccount, kFood, -4000).AccountCleared(ConfirmedOn(14, 3, 2024)), false,
       true},
      {"pending", Payment(kCheckingAccount, kFood, -4000).AccountCleared(1), false, true},
      {"envelope side cleared only", Payment(kCheckingAccount, kFood, -4000).EnvelopeCleared(1),
       true, true},
      {"another account", Payment(kSavingsAccount, kFood, -4000), false, false},
      {"part of a multiple", MultiplePart(kCheckingAccount, kFood, -4000), false, false},
      {"multiple", MultipleParent(kCheckingAccount, -4000), true, true},
      {"account transfer half", AccountTransferHalf(kCheckingAccount, -4000), true, true},
      {"envelope-only entry", EnvelopeEntry(kFood, -4000).Account(kCheckingAccount), false, false},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(reconcile.Accepts(c.record), c.inReconcile) << c.name;
    EXPECT_EQ(plain.Accepts(c.record), c.inPlain) << c.name;
  }
}

TEST(EnvelopeFilterTest, TakesThePartsOfAMultipleButNeverTheMultiple) {
  const TEnvelopeFilter filter(kFood);
  // Records of a damaged file may name the envelope even where their kind has none.
  ExpectCases(filter, {
                          {"part of a multiple", MultiplePart(kCheckingAccount, kFood, -400), true},
                          {"multiple", MultipleParent(kCheckingAccount, -400), false},
                          {"multiple naming the envelope",
                           MultipleParent(kCheckingAccount, -400).Envelope(kFood), false},
                          {"account transfer half naming the envelope",
                           AccountTransferHalf(kCheckingAccount, -400).Envelope(kFood), false},
                          {"payment", Payment(kCheckingAccount, kFood, -400), true},
                          {"envelope transfer half", EnvelopeTransferHalf(kFood, 400), true},
                          {"envelope entry", EnvelopeEntry(kFood, 400), true},
                          {"empty envelope row", EnvelopeEntry(kFood, 0).Blank(), true},
                          {"another envelope", Payment(kCheckingAccount, kFood + 1, -400), false},
                      });
}

// ---- import candidates ----------------------------------------------------

TEST(ImportFindFilterTest, TakesLiveAccountRecordsNotConfirmedBeforeTheDate) {
  const TImportFindFilter filter(kCheckingAccount, TDateValue(10, 3, 2024));
  ExpectCases(
      filter,
      {
          {"uncleared payment", Payment(kCheckingAccount, kFood, -4000), true},
          {"confirmed on the date",
           Payment(kCheckingAccount, kFood, -4000).AccountCleared(ConfirmedOn(10, 3, 2024)), true},
          {"confirmed later",
           Payment(kCheckingAccount, kFood, -4000).AccountCleared(ConfirmedOn(2, 4, 2024)), true},
          {"confirmed the day before",
           Payment(kCheckingAccount, kFood, -4000).AccountCleared(ConfirmedOn(9, 3, 2024)), false},
          {"confirmed a year earlier",
           Payment(kCheckingAccount, kFood, -4000).AccountCleared(ConfirmedOn(10, 3, 2023)), false},
          {"pending lies before every date",
           Payment(kCheckingAccount, kFood, -4000).AccountCleared(1), false},
          {"only the envelope side cleared long ago",
           Payment(kCheckingAccount, kFood, -4000).EnvelopeCleared(ConfirmedOn(1, 1, 2020)), true},
          {"another account", Payment(kSavingsAccount, kFood, -4000), false},
          {"an empty row", Payment(kCheckingAccount, kFood, 0).Blank(), false},
          {"an account transfer half", AccountTransferHalf(kCheckingAccount, 2500), true},
          {"a multiple", MultipleParent(kCheckingAccount, -9000), true},
          {"a part of a multiple", MultiplePart(kCheckingAccount, kFood, -4500), false},
          {"an envelope-only entry", EnvelopeEntry(kFood, -300), false},
      });
}

// ---- envelope entries waiting to become transfers -------------------------

TEST(EnvelopeNoTransferFilterTest, TakesEnvelopeEntriesThatCarryMoney) {
  const TEnvelopeNoTransferFilter filter;
  ExpectCases(filter,
              {
                  {"entry with money", EnvelopeEntry(kFood, -300), true},
                  {"entry with a deposit", EnvelopeEntry(kFood, 1), true},
                  {"entry of 0.00", EnvelopeEntry(kFood, 0), false},
                  // Liveness is the walk's business, not this filter's.
                  {"empty row with money", EnvelopeEntry(kFood, -300).Blank(), true},
                  {"envelope transfer half", EnvelopeTransferHalf(kFood, -300), false},
                  {"payment", Payment(kCheckingAccount, kFood, -300), false},
                  {"account transfer half", AccountTransferHalf(kCheckingAccount, -300), false},
                  {"part of a multiple", MultiplePart(kCheckingAccount, kFood, -300), false},
              });
}

}  // namespace
